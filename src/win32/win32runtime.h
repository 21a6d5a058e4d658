#pragma once

#include "handles.h"
#include "trayicon.h"
#include "ui/contrast.h"
#include "ui/window.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace ui::win32 {

inline Rgb rgb(COLORREF colour)
{
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

inline COLORREF colorref(Rgb colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

// Builds native Win32 windows from window definitions: twips become pixels at the window's DPI,
// colour values become system or direct colours, pictures come from the program's resources.
class Win32Runtime final : public Runtime {
public:
    explicit Win32Runtime(HINSTANCE instance);
    ~Win32Runtime() override;

    std::unique_ptr<Window> load(const WindowDefinition &definition) override;
    // Under Wine making a window costs milliseconds: the warning is made a second ahead.
    void prepare(const WindowDefinition &definition) override;
    // A message box with the error, then the program ends with status 1.
    void fatal(const std::string &message) override;
    // A balloon from the program's icon in the notification area.
    void notify(const Notice &notice, Handler act) override;
    void withdrawNotice(const std::string &outcome) override;

    // Runs an event handler; an exception it throws is an error that nothing handles.
    void run(const Handler &handler);
    // The message loop, until the program ends; returns its exit status.
    int exec();
    // Handles the messages waiting now, as the loop would.
    void processMessages();
    void quit(int status);

    HINSTANCE instance() const { return m_instance; }
    COLORREF colour(Colour colour) const;
    // The scheme's face and text colours, and whether high contrast is on; read again when the
    // desktop's settings change (settingsChanged).
    const Scheme &scheme() const { return m_scheme; }
    void settingsChanged();
    HBRUSH brush(COLORREF colour);
    // The font asked for where it is installed, otherwise a face that keeps its look and size.
    HFONT font(const Font &font, UINT dpi);
    // A picture of the given size at 96 dpi, drawn for the given DPI.
    HICON picture(const std::string &name, int size, UINT dpi);
    // The size of a picture at 96 dpi, as a button shows it.
    int pictureSize(const std::string &name) const;

private:
    bool dispatch(MSG &message);

    HINSTANCE m_instance;
    Scheme m_scheme;
    std::unique_ptr<WindowClass> m_windows;
    std::unique_ptr<WindowClass> m_buttons;
    HANDLE m_bundledFace = nullptr;
    bool m_digitFaceInstalled = false;
    TrayIcon &tray();

    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<Window> m_prepared;
    const WindowDefinition *m_preparedFor = nullptr;
    std::map<COLORREF, UniqueBrush> m_brushes;
    std::map<std::tuple<std::string, double, int, UINT>, UniqueFont> m_fonts;
    std::map<std::tuple<std::string, int>, UniqueIcon> m_pictures;
};

} // namespace ui::win32
