#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>
#include <stdexcept>
#include <thread>

namespace memcheck {

namespace {

// Menus come and go while the session looks at them; a request about a
// window that has just gone must not end the driver.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct Rgb {
    int r, g, b;
};

int channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) {
        ++shift;
    }
    return static_cast<int>(((pixel & mask) >> shift) * 255UL / (mask >> shift));
}

// One screenshot of an area of the root window (menus included).
class Capture {
public:
    Capture(Display* display, Window root, const Area& area)
        : m_image(XGetImage(display, root, area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap)) {}
    ~Capture() {
        if (m_image != nullptr) {
            XDestroyImage(m_image);
        }
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    bool valid() const { return m_image != nullptr; }
    Rgb at(int x, int y) const {
        const unsigned long p = XGetPixel(m_image, x, y);
        return {channel(p, m_image->red_mask), channel(p, m_image->green_mask),
                channel(p, m_image->blue_mask)};
    }

private:
    XImage* m_image;
};

bool isWhite(Rgb p) {
    return p.r > 240 && p.g > 240 && p.b > 240;
}
bool isDark(Rgb p) {
    return p.r < 60 && p.g < 60 && p.b < 60;
}

template <typename Condition>
bool waitUntil(std::chrono::seconds timeout, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

} // namespace

XSession::XSession(std::chrono::seconds stepTimeout) : m_timeout(stepTimeout) {
    m_display = XOpenDisplay(nullptr);
    if (m_display == nullptr) {
        throw std::runtime_error("cannot open the X display (run through scripts/with-xvfb.sh)");
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor)) {
        XCloseDisplay(m_display);
        throw std::runtime_error("the X server has no XTest extension");
    }
    XSetErrorHandler(ignoreXError);
    m_root = DefaultRootWindow(m_display);
}

XSession::~XSession() {
    XCloseDisplay(m_display);
}

bool XSession::waitForWindow(const std::string& title) {
    return waitUntil(m_timeout, [&] {
        Window rootReturn, parent;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, m_root, &rootReturn, &parent, &children, &count)) {
            return false;
        }
        std::unique_ptr<Window, int (*)(void*)> owned(children, XFree);
        for (unsigned i = 0; i < count; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes;
            if (XFetchName(m_display, children[i], &name) && name != nullptr) {
                const bool match = title == name;
                XFree(name);
                if (match && XGetWindowAttributes(m_display, children[i], &attributes) &&
                    attributes.map_state == IsViewable) {
                    m_window = children[i];
                    m_area = {attributes.x, attributes.y, attributes.width, attributes.height};
                    return true;
                }
            }
        }
        return false;
    });
}

ColourCounts XSession::countColours() {
    ColourCounts counts;
    const Capture capture(m_display, m_root, m_area);
    if (!capture.valid()) {
        return counts;
    }
    for (int y = 0; y < m_area.height; ++y) {
        for (int x = 0; x < m_area.width; ++x) {
            const Rgb p = capture.at(x, y);
            counts.red += p.r > 200 && p.g < 80 && p.b < 80;
            counts.green += p.g > 200 && p.r < 80 && p.b < 80;
            counts.blue += p.b > 200 && p.r < 80 && p.g < 80;
        }
    }
    return counts;
}

bool XSession::findMenu(Area& menu) {
    Window rootReturn, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, m_root, &rootReturn, &parent, &children, &count)) {
        return false;
    }
    std::unique_ptr<Window, int (*)(void*)> owned(children, XFree);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_display, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.override_redirect) {
            menu = {attributes.x, attributes.y, attributes.width, attributes.height};
            return true;
        }
    }
    return false;
}

// A highlighted entry shows only the highlight colour and its label's ink
// away from the menu's frame.
bool XSession::rowIsHighlighted(const Area& menu, int row) {
    const Capture capture(m_display, m_root, menu);
    if (!capture.valid()) {
        return false;
    }
    bool anyWhite = false;
    for (int x = menu.width / 10; x < menu.width - menu.width / 10; ++x) {
        const Rgb p = capture.at(x, row);
        if (!isWhite(p) && !isDark(p)) {
            return false;
        }
        anyWhite = anyWhite || isWhite(p);
    }
    return anyWhite;
}

void XSession::moveTo(int x, int y) {
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
    XFlush(m_display);
}

void XSession::click(unsigned button) {
    XTestFakeButtonEvent(m_display, button, True, CurrentTime);
    XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    XFlush(m_display);
}

bool XSession::chooseMenuEntry(int index, int entryCount) {
    Area menu;
    moveTo(m_area.x + m_area.width / 3, m_area.y + m_area.height / 4);
    click(3);
    if (!waitUntil(m_timeout, [&] { return findMenu(menu); })) {
        return false;
    }
    const int row = (2 * index + 1) * menu.height / (2 * entryCount);
    const int outsideX = menu.x > 10 ? menu.x - 10 : menu.x + menu.width + 10;
    // The menu redraws its highlight only when the entry under the pointer
    // changes, so the pointer comes in from outside until it shows.
    const bool highlighted = waitUntil(m_timeout, [&] {
        moveTo(outsideX, menu.y + row);
        moveTo(menu.x + menu.width / 2, menu.y + row);
        return waitUntil(std::chrono::seconds(2), [&] { return rowIsHighlighted(menu, row); });
    });
    if (!highlighted) {
        return false;
    }
    click(1);
    return waitUntil(m_timeout, [&] { return !findMenu(menu); });
}

void XSession::requestClose() {
    Atom protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, m_window, False, NoEventMask, &event);
    XFlush(m_display);
}

} // namespace memcheck
