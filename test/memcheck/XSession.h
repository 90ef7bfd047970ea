#pragma once

#include <chrono>
#include <string>

// Xlib's macros clash with ordinary names, so Xlib stays inside XSession.cpp.
struct _XDisplay;

namespace memcheck {

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Pixels of the program's three drawing colours in a screen area.
struct ColourCounts {
    long red = 0;   // triangulation edges
    long green = 0; // sites
    long blue = 0;  // circumcircles
};

// What a person at the screen does, through Xlib and XTest: find the
// program's window, look at it, use its pop-up menu, close it.
class XSession {
public:
    explicit XSession(std::chrono::seconds stepTimeout);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Waits for a viewable top-level window with this title.
    bool waitForWindow(const std::string& title);
    ColourCounts countColours();

    // Opens the pop-up menu with a right click inside the window, moves onto
    // entry `index` (of `entryCount`) until the menu highlights it, clicks,
    // and waits for the menu to close.
    bool chooseMenuEntry(int index, int entryCount);

    // Asks the window to close, as a window manager does (WM_DELETE_WINDOW).
    void requestClose();

private:
    bool findMenu(Area& menu);
    bool rowIsHighlighted(const Area& menu, int row);
    void moveTo(int x, int y);
    void click(unsigned button);

    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0;
    unsigned long m_window = 0;
    Area m_area;
    std::chrono::seconds m_timeout;
};

} // namespace memcheck
