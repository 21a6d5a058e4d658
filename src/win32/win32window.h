#pragma once

#include "accessible.h"
#include "handles.h"
#include "questionbox.h"
#include "tooltips.h"
#include "ui/window.h"
#include "windowcontrols.h"
#include "windowhost.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui::win32 {

// A window built from its definition: native controls placed where the definition says, in
// pixels at the window's DPI; no layout moves anything when the window grows. A control's
// messages reach its object through its HWND.
class Win32Window final : public Window {
public:
    Win32Window(const WindowDefinition &definition, WindowHost &host);
    ~Win32Window() override;

    HWND handle() const { return m_window; }
    // A control by its name, for whoever drives the window as a user would.
    HWND control(std::string_view name) const { return m_controls->find(name); }
    static Win32Window *of(HWND window);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Label &label(std::string_view name) override { return m_controls->label(name); }
    ScrollBar &scrollBar(std::string_view name) override { return m_controls->scrollBar(name); }
    Button &button(std::string_view name) override { return m_controls->button(name); }
    Timer &timer(std::string_view name) override { return m_controls->timer(name); }

    void show() override;
    void showModal(Window &owner) override;
    void unload() override;
    void onUnload(Handler handler) override { m_unloaded = std::move(handler); }
    bool isLoaded() const override { return m_loaded; }
    void keepInSight() override;
    void ask(const Question &question, std::function<void(bool keep)> answered) override;
    void withdrawQuestion() override { m_question.withdraw(); }

    // What its controls ask of it.
    WindowHost &host() const { return m_host; }
    HINSTANCE instance() const { return m_host.instance(); }
    UINT dpi() const { return m_dpi; }
    void addTip(HWND control, const std::wstring &text);
    // The answer to a screen reader about a control or the window; what it reads lives as long
    // as this window's controls do.
    LRESULT answer(HWND control, WPARAM wParam, LPARAM lParam, Present present);
    // Around the focused spinner and its field, in the frame's pixels; empty when no spinner
    // has the focus.
    RECT focusArea() const { return m_controls->focusArea(); }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Everything again at a new DPI: sizes, places and fonts.
    void rescale(UINT dpi, const RECT &suggested);
    int pixels(int twips) const { return MulDiv(twips, int(m_dpi), 1440); }
    // To the front, or, where Windows keeps another program there, flashing for attention.
    void claimForeground();
    void setIcons();
    // Behind the controls: the defined colour, or under high contrast the scheme's.
    COLORREF background() const;

    WindowHost &m_host;
    const WindowDefinition &m_definition;
    HWND m_window = nullptr;
    HWND m_owner = nullptr;
    HWND m_focus = nullptr; // the control that has, or last had, the focus
    QuestionBox m_question;
    UINT m_dpi = 96;
    DWORD m_style = 0;
    bool m_sizable = false;
    SIZE m_client{};
    Handler m_unloaded;
    bool m_loaded = true;
    bool m_main = false;
    std::optional<Tooltips> m_tooltips;       // made with the window
    std::optional<WindowControls> m_controls; // made with the window, after its tooltips
    std::map<HWND, std::shared_ptr<const Present>> m_presented; // to screen readers
};

} // namespace ui::win32
