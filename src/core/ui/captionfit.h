#pragma once

#include <functional>
#include <string>

// Fitting a caption into the room it has, for every runtime alike; the runtime only measures.
namespace ui {

// How far inside a button's edge its focus rectangle is drawn, in pixels at the button's DPI.
int focusInset(int dpi = 96);
// How far a caption keeps from a button's edge: clear of the focus rectangle's line, with a
// pixel between them.
int captionClearance(int dpi = 96);
// The room a button's caption has across: its width less the clearance on either side.
int captionRoom(int width, int dpi = 96);

// The size to draw a caption at: the font's own, or the largest below it, in quarter points
// down to 5, at which `width(points)`, the caption measured at that size, fits the room.
double fittedPoints(double points, int room, const std::function<int(double points)> &width);

// The caption where `width(text)` fits the room; otherwise as much of its start as fits, with
// an ellipsis after it. Characters are never cut in two.
std::string elided(const std::string &caption, int room,
                   const std::function<int(const std::string &text)> &width);

} // namespace ui
