#pragma once

#include "app/request.h"
#include "handles.h"

#include <functional>
#include <memory>
#include <optional>

namespace ui::win32 {

// One Veltrane per desktop session: the first start makes a named mutex of the session and a
// message window; a later start finds the mutex, and sends its request to that window.
class Instance final {
public:
    using Handler = std::function<app::Answer(const app::Request &)>;

    // Asks the running one, where one runs in this session; needs no window of its own.
    static std::optional<app::Answer> ask(const app::Request &request);

    explicit Instance(HINSTANCE instance) : m_instance(instance) {}
    // Where this start is the first, it answers from here on, once served.
    app::Claim claim();
    void serve(Handler handle) { m_handle = std::move(handle); }

private:
    LRESULT answer(const COPYDATASTRUCT *data);

    HINSTANCE m_instance;
    UniqueHandle m_mutex;
    std::unique_ptr<MessageWindow> m_window;
    Handler m_handle;
};

} // namespace ui::win32
