// The width of a menu label as GLUT's pop-up menus draw it.
#pragma once

#include <string>

namespace e2e {

// Advance width in pixels of `label` in the menu font (Helvetica 18).
// Initialises GLUT in the test process on first use; needs the X display.
int menuLabelWidth(const std::string& label);

} // namespace e2e
