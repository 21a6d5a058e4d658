#pragma once

#include "clock.h"
#include "colours.h"
#include "handles.h"
#include "trayicon.h"
#include "ui/contrast.h"
#include "ui/window.h"
#include "windowhost.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace ui::win32 {

// Builds native Win32 windows from window definitions: twips become pixels at the window's DPI,
// colour values become system or direct colours, pictures come from the program's resources.
class Win32Runtime final : public Runtime, public WindowHost {
public:
    explicit Win32Runtime(HINSTANCE instance);
    ~Win32Runtime() override;

    std::unique_ptr<Window> load(const WindowDefinition &definition) override;
    // Under Wine making a window costs milliseconds: the warning is made a second ahead.
    void prepare(const WindowDefinition &definition) override;
    // A balloon from the program's icon in the notification area.
    void notify(const Notice &notice, Handler act, Handler later) override;
    std::string clockTime(std::time_t when, bool seconds) const override
    {
        return localClockTime(when, seconds);
    }
    void withdrawNotice(const std::string &outcome) override;

    // The message loop, until the program ends; returns its exit status.
    int exec();
    // Handles the messages waiting now, as the loop would.
    void processMessages();

    void run(const Handler &handler) override { runHandler(handler); }
    void quit(int status) override;
    HINSTANCE instance() const override { return m_instance; }
    COLORREF colour(Colour colour) const override;
    const Scheme &scheme() const override { return m_scheme; }
    void settingsChanged() override;
    HBRUSH brush(COLORREF colour) override;
    HFONT font(const Font &font, UINT dpi) override;
    HICON picture(const std::string &name, int size, UINT dpi) override;
    int pictureSize(const std::string &name) const override;

private:
    // A message box with the error, then the program ends with status 1.
    void fail(const std::string &message) override;
    bool dispatch(MSG &message);

    HINSTANCE m_instance;
    Scheme m_scheme;
    std::unique_ptr<WindowClass> m_windows;
    std::unique_ptr<WindowClass> m_buttons;
    HANDLE m_bundledFace = nullptr;
    bool m_digitFaceInstalled = false;
    TrayIcon &tray();

    std::unique_ptr<TrayIcon> m_tray;
    std::string m_icon; // the program's: its main window's
    std::unique_ptr<Window> m_prepared;
    const WindowDefinition *m_preparedFor = nullptr;
    std::map<COLORREF, UniqueBrush> m_brushes;
    std::map<std::tuple<std::string, double, int, UINT>, UniqueFont> m_fonts;
    std::map<std::tuple<std::string, int>, UniqueIcon> m_pictures;
};

} // namespace ui::win32
