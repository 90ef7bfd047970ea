#include "popup_menu.h"

#include <algorithm>
#include <utility>

namespace e2e {

namespace {

bool isDark(Rgb p) {
    return p.r < 60 && p.g < 60 && p.b < 60;
}
bool isWhite(Rgb p) {
    return p.r > 240 && p.g > 240 && p.b > 240;
}
// A row is highlighted when, away from the menu's left and right frame, it
// shows only the highlight colour and label text.
bool rowIsHighlighted(const Image& menu, int row) {
    const int margin = menu.width() / 10;
    bool anyWhite = false;
    for (int col = margin; col < menu.width() - margin; ++col) {
        const Rgb p = menu.at(col, row);
        if (!isWhite(p) && !isDark(p)) {
            return false;
        }
        anyWhite = anyWhite || isWhite(p);
    }
    return anyWhite;
}

// Columns from the leftmost to the rightmost dark pixel in the rows
// [top, bottom); 0 when there is none.
int inkWidth(const Image& menu, int top, int bottom) {
    int left = menu.width();
    int right = -1;
    for (int row = top; row < bottom; ++row) {
        for (int col = 0; col < menu.width(); ++col) {
            if (isDark(menu.at(col, row))) {
                left = std::min(left, col);
                right = std::max(right, col);
            }
        }
    }
    return right < 0 ? 0 : right - left + 1;
}

} // namespace

template <typename Condition>
bool PopupMenu::hoverUntil(const Rect& menu, int x, int y, Condition condition) {
    // The menu redraws itself only when the entry under the pointer changes,
    // and it may still hold the entry from its last use, so the pointer comes
    // in from outside the menu, as a hand on a mouse does, and does so again
    // when the menu shows nothing.
    const int outsideX = menu.x > 10 ? menu.x - 10 : menu.x + menu.width + 10;
    return waitUntil(
        [&] {
            m_display.movePointer(outsideX, y);
            m_display.movePointer(x, y);
            return waitUntil(condition, std::chrono::milliseconds(500));
        },
        m_timeout, std::chrono::milliseconds(0));
}

std::optional<Rect> PopupMenu::findMenuWindow() {
    // The menu is an override-redirect window of its own above the program's.
    for (const TopLevel& top : m_display.viewableTopLevels()) {
        if (top.overrideRedirect) {
            return top.geometry;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> PopupMenu::highlightedBandAround(const Rect& menu, int row) {
    const Image image = m_display.captureScreen(menu);
    if (!rowIsHighlighted(image, row)) {
        return std::nullopt;
    }
    int top = row;
    while (top > 0 && rowIsHighlighted(image, top - 1)) {
        --top;
    }
    int bottom = row;
    while (bottom + 1 < image.height() && rowIsHighlighted(image, bottom + 1)) {
        ++bottom;
    }
    return std::make_pair(top, bottom);
}

std::optional<MenuLayout> PopupMenu::measure(const Rect& menu) {
    // Hover over the middle of the menu, away from its frame, so the
    // highlighted band is one whole entry: its height is the entry height,
    // and its position gives where the first entry starts.
    const int middle = menu.height / 2;
    std::optional<std::pair<int, int>> band;
    if (!hoverUntil(menu, menu.x + menu.width / 2, menu.y + middle,
                    [&] { return (band = highlightedBandAround(menu, middle)).has_value(); })) {
        return std::nullopt;
    }
    MenuLayout layout;
    layout.window = menu;
    layout.entryHeight = band->second - band->first + 1;
    layout.firstTop = band->first % layout.entryHeight;
    // The frame is as thick at the bottom as at the top.
    const int inner = menu.height - 2 * layout.firstTop;
    layout.entryCount = inner % layout.entryHeight == 0 ? inner / layout.entryHeight : -1;
    const Image image = m_display.captureScreen(menu);
    for (int entry = 0; entry < layout.entryCount; ++entry) {
        const int top = layout.firstTop + entry * layout.entryHeight;
        layout.labelInkWidths.push_back(inkWidth(image, top, top + layout.entryHeight));
    }
    return layout;
}

std::optional<MenuLayout> PopupMenu::open(int x, int y) {
    m_display.click(3, x, y);
    std::optional<Rect> menu;
    if (!waitUntil([&] { return (menu = findMenuWindow()).has_value(); }, m_timeout)) {
        return std::nullopt;
    }
    return measure(*menu);
}

bool PopupMenu::choose(const MenuLayout& layout, int index) {
    const Rect& menu = layout.window;
    const int row = layout.firstTop + index * layout.entryHeight + layout.entryHeight / 2;
    const int expectedTop = layout.firstTop + index * layout.entryHeight;
    const bool highlighted = hoverUntil(menu, menu.x + menu.width / 2, menu.y + row, [&] {
        const auto band = highlightedBandAround(menu, row);
        // The first entry's band runs into the frame above it.
        return band && band->second == expectedTop + layout.entryHeight - 1;
    });
    if (!highlighted) {
        return false;
    }
    m_display.pressButton(1);
    m_display.releaseButton(1);
    return waitUntil([&] { return !findMenuWindow().has_value(); }, m_timeout);
}

} // namespace e2e
