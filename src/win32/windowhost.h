#pragma once

#include "ui/contrast.h"
#include "ui/window.h"

#include <windows.h>

#include <string>

namespace ui::win32 {

// What a window and its controls need of the runtime that made them: the program's resources,
// drawn for a DPI; the desktop's scheme; a place to run their event handlers.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual HINSTANCE instance() const = 0;
    virtual COLORREF colour(Colour colour) const = 0;
    // The scheme's face and text colours, and whether high contrast is on; read again when the
    // desktop's settings change (settingsChanged).
    virtual const Scheme &scheme() const = 0;
    virtual void settingsChanged() = 0;
    virtual HBRUSH brush(COLORREF colour) = 0;
    // The font asked for where it is installed, otherwise a face that keeps its look and size.
    virtual HFONT font(const Font &font, UINT dpi) = 0;
    // A picture of the given size at 96 dpi, drawn for the given DPI.
    virtual HICON picture(const std::string &name, int size, UINT dpi) = 0;
    // The size of a picture at 96 dpi, as a button shows it.
    virtual int pictureSize(const std::string &name) const = 0;
    // Runs an event handler; an exception it throws is an error that nothing handles.
    virtual void run(const Handler &handler) = 0;
    // Ends the program with that status.
    virtual void quit(int status) = 0;
};

} // namespace ui::win32
