#include "instance.h"

#include "log/log.h"

namespace ui::win32 {

namespace {

// Local: one per desktop session, as fast user switching gives each user their own.
const wchar_t MutexName[] = L"Local\\org.veltrane.Veltrane";
const wchar_t ClassName[] = L"VeltraneInstance";
// Marks the messages meant for it; anything else sent to the window is not a request.
constexpr ULONG_PTR RequestMark = 0x566C7431; // "Vlt1"
constexpr DWORD LongestRequest = 64;

} // namespace

std::optional<LRESULT> Instance::send(const std::string &request)
{
    const UniqueHandle running(OpenMutexW(SYNCHRONIZE, FALSE, MutexName));
    if (!running)
        return std::nullopt;
    // The first start makes its window just after the mutex: it may be a moment away.
    HWND window = nullptr;
    for (int tries = 0; tries < 100 && !window; ++tries) {
        window = FindWindowW(ClassName, nullptr);
        if (!window)
            Sleep(20);
    }
    if (!window)
        return 0; // no answer
    // The user started this one: the running one may take the foreground from it.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    std::string text = request;
    COPYDATASTRUCT data{RequestMark, static_cast<DWORD>(text.size()), text.data()};
    DWORD_PTR answered = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 10000, &answered))
        return 0;
    return LRESULT(answered);
}

namespace {

app::Answer answerOf(LRESULT answered)
{
    return answered < 1 || answered > app::AnswerCount ? app::Answer::NoAnswer
                                                       : static_cast<app::Answer>(answered - 1);
}

} // namespace

std::optional<app::Answer> Instance::ask(const app::Request &request)
{
    const std::optional<LRESULT> answered = send(request.text());
    return answered ? std::optional(answerOf(*answered)) : std::nullopt;
}

std::optional<std::variant<app::Status, app::Answer>> Instance::askStatus()
{
    const std::optional<LRESULT> answered = send(app::Request{app::Request::Kind::Status}.text());
    if (!answered)
        return std::nullopt;
    if (const std::optional<app::Status> status = app::Status::unpacked(*answered))
        return *status;
    return answerOf(*answered);
}

app::Claim Instance::claim()
{
    m_mutex.reset(CreateMutexW(nullptr, FALSE, MutexName));
    if (!m_mutex) {
        logging::log("running alone: no mutex for the session (error " +
                     std::to_string(GetLastError()) + ")");
        return app::Claim::Alone;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        m_mutex.reset(); // held on, it would outlive the running one
        return app::Claim::Taken;
    }
    m_window = std::make_unique<MessageWindow>(
        m_instance, ClassName, [this](UINT message, WPARAM, LPARAM lParam) {
            return message == WM_COPYDATA
                       ? std::optional(answer(reinterpret_cast<const COPYDATASTRUCT *>(lParam)))
                       : std::nullopt;
        });
    return app::Claim::Owned;
}

LRESULT Instance::answer(const COPYDATASTRUCT *data)
{
    std::optional<app::Request> request;
    if (data && data->dwData == RequestMark && data->lpData && data->cbData <= LongestRequest)
        request = app::Request::fromText(
            std::string(static_cast<const char *>(data->lpData), data->cbData));
    if (!request) {
        logging::log("a message from another start refused: not a request");
        return 1 + static_cast<LRESULT>(app::Answer::NotUnderstood);
    }
    if (request->kind == app::Request::Kind::Status && m_status)
        return LRESULT(m_status().packed());
    // Not served yet, or no longer: the program is starting or going.
    return 1 + static_cast<LRESULT>(m_handle ? m_handle(*request) : app::Answer::NoAnswer);
}

} // namespace ui::win32
