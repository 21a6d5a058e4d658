#include "win32runtime.h"

#include "button.h"
#include "ui/faces.h"
#include "win32window.h"

#include <algorithm>
#include <cmath>

namespace ui::win32 {

namespace {

int CALLBACK foundFace(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool installed(const wchar_t *face)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, foundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

Win32Runtime::Win32Runtime(HINSTANCE instance)
    : m_instance(instance),
      m_windows(std::make_unique<WindowClass>(instance, L"VeltraneWindow", Win32Window::procedure)),
      m_buttons(std::make_unique<WindowClass>(instance, L"VeltraneButton", Button::procedure)),
      m_digitFaceInstalled(installed(wide(DigitFace).c_str()))
{
    settingsChanged();
    if (m_digitFaceInstalled)
        return;
    // A wide, squared face under the SIL Open Font License, shipped inside the program and
    // private to it.
    const HRSRC found = FindResourceW(instance, L"MICHROMA", MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    DWORD faces = 0;
    if (loaded)
        m_bundledFace = AddFontMemResourceEx(LockResource(loaded), SizeofResource(instance, found),
                                             nullptr, &faces);
}

Win32Runtime::~Win32Runtime()
{
    m_tray.reset();     // its icon goes with the pictures
    m_prepared.reset(); // before the fonts it was drawn with
    m_fonts.clear();
    if (m_bundledFace)
        RemoveFontMemResourceEx(m_bundledFace);
}

std::unique_ptr<Window> Win32Runtime::load(const WindowDefinition &definition)
{
    // The program's icon is its first window's, the main window's.
    if (m_icon.empty())
        m_icon = definition.icon.name;
    if (m_prepared && m_preparedFor == &definition)
        return std::move(m_prepared);
    return std::make_unique<Win32Window>(definition, *this);
}

void Win32Runtime::prepare(const WindowDefinition &definition)
{
    m_prepared = std::make_unique<Win32Window>(definition, *this);
    m_preparedFor = &definition;
    tray(); // the warning tells the desktop too, as soon as it is shown
}

void Win32Runtime::notify(const Notice &notice, Handler act, Handler later)
{
    tray().show(notice, std::move(act), std::move(later));
}

void Win32Runtime::withdrawNotice(const std::string &)
{
    // The shell takes a deleted icon's balloon with it.
    if (m_tray)
        m_tray->withdraw();
}

TrayIcon &Win32Runtime::tray()
{
    if (!m_tray)
        m_tray = std::make_unique<TrayIcon>(m_instance,
                                            picture(m_icon, GetSystemMetrics(SM_CXSMICON), 96),
                                            [this](const Handler &act) { run(act); });
    return *m_tray;
}

void Win32Runtime::fail(const std::string &message)
{
    MessageBoxW(nullptr, wide(message).c_str(), L"Veltrane", MB_OK | MB_ICONERROR);
    quit(1);
}

bool Win32Runtime::dispatch(MSG &message)
{
    if (message.message == WM_QUIT)
        return false;
    // Tab and the dialog keys within whichever of our windows has the message; Enter and Esc
    // come to the window as IDOK and IDCANCEL, which mean nothing here.
    const HWND top = GetAncestor(message.hwnd, GA_ROOT);
    if (top && Win32Window::of(top) && IsDialogMessageW(top, &message))
        return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

int Win32Runtime::exec()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return int(message.wParam);
}

void Win32Runtime::processMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (!dispatch(message)) {
            PostQuitMessage(int(message.wParam)); // for the loop that owns it
            return;
        }
}

void Win32Runtime::quit(int status)
{
    PostQuitMessage(status);
}

COLORREF Win32Runtime::colour(Colour colour) const
{
    // 0x800000nn names system colour nn of the desktop's scheme; 0x00BBGGRR is COLORREF itself.
    if ((colour.value & 0xFF000000u) == 0x80000000u)
        return GetSysColor(int(colour.value & 0xFFu));
    return colour.value & 0x00FFFFFFu;
}

void Win32Runtime::settingsChanged()
{
    HIGHCONTRASTW contrast{sizeof contrast};
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    m_scheme = {rgb(GetSysColor(COLOR_BTNFACE)), rgb(GetSysColor(COLOR_BTNTEXT)), high};
}

HBRUSH Win32Runtime::brush(COLORREF colour)
{
    auto &made = m_brushes[colour];
    if (!made)
        made.reset(CreateSolidBrush(colour));
    return made.get();
}

HFONT Win32Runtime::font(const Font &font, UINT dpi)
{
    auto &made = m_fonts[{font.name, font.points, font.weight, dpi}];
    if (made)
        return made.get();
    // Windows finds a face of its own for any other name it does not have.
    const Font shown =
        shownFont(font, font.name != DigitFace || m_digitFaceInstalled || !m_bundledFace);
    LOGFONTW wanted{};
    wanted.lfHeight = -LONG(std::lround(shown.points * dpi / 72));
    wanted.lfWeight = font.weight;
    wanted.lfCharSet = BYTE(font.charset);
    wanted.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(wanted.lfFaceName, wide(shown.name).c_str(), LF_FACESIZE - 1);
    made.reset(CreateFontIndirectW(&wanted));
    return made.get();
}

HICON Win32Runtime::picture(const std::string &name, int size, UINT dpi)
{
    const int pixels = MulDiv(size, int(dpi), 96);
    auto &made = m_pictures[{name, pixels}];
    if (!made)
        // The icon holds the picture at 100 %, 150 % and 200 %; the nearest is taken.
        made.reset(static_cast<HICON>(LoadImageW(m_instance, wide(name).c_str(), IMAGE_ICON, pixels,
                                                 pixels, LR_DEFAULTCOLOR)));
    return made.get();
}

int Win32Runtime::pictureSize(const std::string &name) const
{
    // The icon's directory: a 6-byte header, then 14 bytes an image, the one a button shows
    // first, at 100 %.
    const HRSRC found = FindResourceW(m_instance, wide(name).c_str(), MAKEINTRESOURCEW(14));
    const HGLOBAL loaded = found ? LoadResource(m_instance, found) : nullptr;
    const auto *directory = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
    return directory && directory[4] ? directory[6] : 0;
}

} // namespace ui::win32
