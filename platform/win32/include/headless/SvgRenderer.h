// Draws a window and its visible controls as an SVG picture at the geometry the window system
// keeps (for a dialog made from a template, its dialog units at the dialog font's base units):
// frame and caption, push buttons, check boxes and radio buttons with their marks as checked,
// group boxes, labels, edit texts, and list views with their columns and rows.
#pragma once

#include "../winuser.h"

#include <string>

namespace headless {

// The SVG text; empty for a handle that names no window.
std::string renderSvg(HWND window);
// Writes renderSvg's text to a file; false when there is no window or the file cannot be written.
bool writeSvg(HWND window, const std::string& fileName);

} // namespace headless
