#include "button.h"

#include "accessible.h"
#include "colours.h"
#include "handles.h"
#include "ui/captionfit.h"
#include "windowhost.h"

#include <windowsx.h>

namespace ui::win32 {

namespace {

struct Creation {
    const ButtonProperties *properties;
    bool toggle;
    WindowHost *runtime;
    UINT dpi;
};

} // namespace

HWND Button::create(HWND parent, int id, const RECT &rect, const ButtonProperties &properties,
                    bool toggle, WindowHost &runtime, UINT dpi)
{
    Creation creation{&properties, toggle, &runtime, dpi};
    return CreateWindowExW(0, L"VeltraneButton", wide(properties.caption).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), runtime.instance(),
                           &creation);
}

Button *Button::of(HWND button)
{
    return reinterpret_cast<Button *>(GetWindowLongPtrW(button, GWLP_USERDATA));
}

Button::Button(HWND window, const ButtonProperties &properties, bool toggle, WindowHost &runtime,
               UINT dpi)
    : m_window(window), m_properties(properties), m_runtime(runtime), m_dpi(dpi),
      m_caption(wide(properties.caption)), m_toggle(toggle),
      m_presented(std::make_shared<const Present>([this] {
          return Presentation{
              m_toggle ? Role::ToggleButton : Role::PushButton, m_caption, {}, m_toggle && m_state};
      }))
{
}

LRESULT CALLBACK Button::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = static_cast<const Creation *>(
            reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        auto *button = new Button(window, *creation->properties, creation->toggle,
                                  *creation->runtime, creation->dpi);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
    }
    Button *button = of(window);
    if (!button)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete button;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return button->handle(message, wParam, lParam);
}

void Button::setCaption(const std::wstring &caption)
{
    // The window's text is its name for a screen reader: always what it shows.
    m_caption = caption;
    SetWindowTextW(m_window, caption.c_str());
    InvalidateRect(m_window, nullptr, FALSE);
}

void Button::setDpi(UINT dpi)
{
    m_dpi = dpi;
    InvalidateRect(m_window, nullptr, FALSE);
}

void Button::setState(bool state)
{
    if (state == m_state)
        return;
    m_state = state;
    // A screen reader says a focused toggle's new state: pressed, or not.
    if (m_toggle)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_window, OBJID_CLIENT, CHILDID_SELF);
}

void Button::click()
{
    // The state flips before anyone hears of the click.
    setState(!m_state);
    SendMessageW(GetParent(m_window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_window), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_window));
}

COLORREF Button::face() const
{
    return m_runtime.colour(m_properties.face(
        {bool(IsWindowEnabled(m_window)), m_pressed, m_hover, GetFocus() == m_window}));
}

LRESULT Button::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON; // Enter stays the window's, and means nothing there
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(m_window, &paint);
        this->paint(dc);
        EndPaint(m_window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: // drawn into another's device context
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_GETOBJECT:
        return answerGetObject(m_window, wParam, lParam, m_presented);
    case BM_CLICK: // a screen reader's default action
        click();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        InvalidateRect(m_window, nullptr, FALSE);
        break;
    case WM_MOUSEMOVE:
        if (!m_hover) {
            m_hover = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_window, 0};
            TrackMouseEvent(&track);
            InvalidateRect(m_window, nullptr, FALSE);
        }
        return 0;
    case WM_MOUSELEAVE:
        m_hover = false;
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(m_window);
        SetCapture(m_window);
        m_pressed = true;
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        if (!m_pressed)
            return 0;
        ReleaseCapture();
        m_pressed = false;
        InvalidateRect(m_window, nullptr, FALSE);
        RECT inside;
        GetClientRect(m_window, &inside);
        if (PtInRect(&inside, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            click();
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !m_pressed) {
            m_pressed = true;
            InvalidateRect(m_window, nullptr, FALSE);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_pressed) {
            m_pressed = false;
            InvalidateRect(m_window, nullptr, FALSE);
            click();
        }
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Button::paint(HDC dc) const
{
    RECT bounds;
    GetClientRect(m_window, &bounds);
    const int width = bounds.right;
    const int height = bounds.bottom;
    // Drawn off screen, then shown at once: no flicker on each change of look.
    const UniqueDc memory(CreateCompatibleDC(dc));
    const UniqueBitmap canvas(CreateCompatibleBitmap(dc, width, height));
    const Selected onCanvas(memory.get(), canvas.get());
    const HDC out = memory.get();

    const std::string &name = m_properties.shownPicture(IsWindowEnabled(m_window)).name;
    const int pixels = MulDiv(m_runtime.pictureSize(name), int(m_dpi), 96);
    // A face unreadable under the caption, or under high contrast, is the scheme's.
    const ButtonColours colours = buttonColours(
        rgb(face()), rgb(m_runtime.colour(m_properties.borderColor)), m_runtime.scheme());

    // The caption, made smaller until it fits clear of the focus rectangle.
    Font font = m_properties.font;
    font.points = fittedPoints(font.points, captionRoom(width, int(m_dpi)), [&](double points) {
        Font tried = font;
        tried.points = points;
        const Selected chosen(out, m_runtime.font(tried, m_dpi));
        SIZE extent{};
        GetTextExtentPoint32W(out, m_caption.c_str(), int(m_caption.size()), &extent);
        // The ink may lean out of the advance at either end, as an "f" does.
        ABC first{}, last{};
        if (!m_caption.empty() &&
            GetCharABCWidthsW(out, m_caption.front(), m_caption.front(), &first) &&
            GetCharABCWidthsW(out, m_caption.back(), m_caption.back(), &last))
            extent.cx += std::max(0, -first.abcA) + std::max(0, -last.abcC);
        return int(extent.cx);
    });
    const Selected chosen(out, m_runtime.font(font, m_dpi));
    TEXTMETRICW metrics{};
    GetTextMetricsW(out, &metrics);
    const ButtonLayout layout = ButtonLayout::of(m_properties, width, height, pixels,
                                                 metrics.tmAscent, m_pressed, m_dpi / 96.0);
    // The border is what is left of a fill once the face is laid inside it: whole at any DPI.
    FillRect(out, &bounds, m_runtime.brush(colorref(colours.border)));
    RECT inner = bounds;
    InflateRect(&inner, -layout.line, -layout.line);
    FillRect(out, &inner, m_runtime.brush(colorref(colours.face)));
    if (const HICON picture = m_runtime.picture(name, m_runtime.pictureSize(name), m_dpi))
        DrawIconEx(out, layout.pictureLeft + layout.shift, layout.pictureTop + layout.shift,
                   picture, pixels, pixels, 0, nullptr, DI_NORMAL);
    SetBkMode(out, TRANSPARENT);
    SetTextColor(out, GetSysColor(IsWindowEnabled(m_window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT caption{layout.shift, layout.captionTop + layout.shift, width + layout.shift, height};
    DrawTextW(out, m_caption.c_str(), int(m_caption.size()), &caption,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);

    // The focus always shows, not only after a key press.
    if (GetFocus() == m_window) {
        RECT focus = bounds;
        InflateRect(&focus, -focusInset(int(m_dpi)), -focusInset(int(m_dpi)));
        DrawFocusRect(out, &focus);
    }
    BitBlt(dc, 0, 0, width, height, out, 0, 0, SRCCOPY);
}

} // namespace ui::win32
