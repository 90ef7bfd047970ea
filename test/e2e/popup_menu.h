// The program's pop-up menu, used as a person uses it: a right click opens
// it, the pointer moves onto an entry (which the menu highlights), a left
// click chooses it. The layout (entry height, count) is read off the menu
// window itself, not assumed.
#pragma once

#include "wait_until.h"
#include "x_display.h"

#include <chrono>
#include <optional>
#include <vector>

namespace e2e {

struct MenuLayout {
    Rect window;      // the menu's own window, in screen coordinates
    int firstTop = 0; // first entry's top row, relative to the menu window
    int entryHeight = 0;
    int entryCount = 0;
    // Width of the label text (dark pixels on the menu face) of each entry,
    // in menu order; 0 for an entry without text.
    std::vector<int> labelInkWidths;
};

class PopupMenu {
public:
    // `timeout` bounds each wait (menu shown, entry highlighted, menu gone);
    // a program running under valgrind needs far more than the default.
    explicit PopupMenu(XDisplay& display, std::chrono::milliseconds timeout = kDefaultTimeout)
        : m_display(display), m_timeout(timeout) {}

    // Right click at (x, y); waits until the menu is shown and measures it.
    // Returns nothing when no menu appears.
    std::optional<MenuLayout> open(int x, int y);

    // Moves onto entry `index` of the open menu, waits for its highlight and
    // clicks it; then waits until the menu has gone. False when any of those
    // steps does not happen in time.
    bool choose(const MenuLayout& layout, int index);

private:
    template <typename Condition>
    bool hoverUntil(const Rect& menu, int x, int y, Condition condition);
    std::optional<Rect> findMenuWindow();
    // The rows of the highlighted band that contains `row`, or nothing.
    std::optional<std::pair<int, int>> highlightedBandAround(const Rect& menu, int row);
    std::optional<MenuLayout> measure(const Rect& menu);

    XDisplay& m_display;
    std::chrono::milliseconds m_timeout;
};

} // namespace e2e
