// A connection to the X server the tests run against, with what a person at
// the screen does: look (screenshots), point and click (XTest), and close a
// window the way a window manager asks it to (WM_DELETE_WINDOW).
#pragma once

#include "image.h"

#include <optional>
#include <string>
#include <vector>

// Xlib's macros (None, Bool, Status, ...) clash with GoogleTest, so Xlib
// stays inside x_display.cpp.
struct _XDisplay;

namespace e2e {

// An X window id (Xlib's Window).
using WindowId = unsigned long;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct TopLevel {
    WindowId id = 0;
    Rect geometry;
    bool overrideRedirect = false;
};

class XDisplay {
public:
    // Opens $DISPLAY and checks that the XTest extension is there; throws otherwise.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // The mapped (viewable) children of the root window, bottom to top.
    std::vector<TopLevel> viewableTopLevels();
    std::optional<WindowId> findTopLevelByTitle(const std::string& title);
    std::string titleOf(WindowId window);
    Rect geometryOf(WindowId window);

    // Pixels as shown on the screen, so windows lying above are included.
    Image captureScreen(const Rect& area);

    void movePointer(int x, int y);
    // button 1 is the left, 3 the right button.
    void pressButton(unsigned button);
    void releaseButton(unsigned button);
    void click(unsigned button, int x, int y);

    // Sends WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager does when
    // the user closes the window.
    void requestClose(WindowId window);

private:
    _XDisplay* m_display = nullptr;
    WindowId m_root = 0;
};

} // namespace e2e
