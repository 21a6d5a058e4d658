#pragma once

#include "app/request.h"
#include "app/status.h"
#include "handles.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace ui::win32 {

// One Veltrane per desktop session: the first start makes a named mutex of the session and a
// message window; a later start finds the mutex, and sends its request to that window.
class Instance final {
public:
    using Handler = std::function<app::Answer(const app::Request &)>;
    using Status = std::function<app::Status()>;

    // Asks the running one, where one runs in this session; needs no window of its own.
    static std::optional<app::Answer> ask(const app::Request &request);
    static std::optional<std::variant<app::Status, app::Answer>> askStatus();

    explicit Instance(HINSTANCE instance) : m_instance(instance) {}
    // Where this start is the first, it answers from here on, once served.
    app::Claim claim();
    void serve(Handler handle, Status status)
    {
        m_handle = std::move(handle);
        m_status = std::move(status);
    }

private:
    LRESULT answer(const COPYDATASTRUCT *data);
    // The running one's answer to the request in its words: an answer's number + 1, or for the
    // status, the status packed; none where none runs.
    static std::optional<LRESULT> send(const std::string &text);

    HINSTANCE m_instance;
    UniqueHandle m_mutex;
    std::unique_ptr<MessageWindow> m_window;
    Handler m_handle;
    Status m_status;
};

} // namespace ui::win32
