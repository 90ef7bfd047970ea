#include "x_display.h"

#include "wait_until.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace e2e {

namespace {

// Position of the lowest set bit, and the mask shifted down to 8 bits, so a
// pixel of any TrueColor layout turns into 8-bit channels.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) {
        ++shift;
    }
    const unsigned long maxValue = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(value * 255UL / maxValue);
}

// The program's windows come and go while the tests look at them (menus
// open and close); a request about a window that has just gone must not end
// the test process, which is what Xlib's default error handler does.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};

} // namespace

XDisplay::XDisplay() {
    if (std::getenv("DISPLAY") == nullptr) {
        throw std::runtime_error("DISPLAY is not set: run through scripts/with-xvfb.sh");
    }
    // An X server resets when its last client leaves and refuses connections
    // meanwhile, so a refusal is retried for a while.
    waitUntil([this] { return (m_display = XOpenDisplay(nullptr)) != nullptr; });
    if (m_display == nullptr) {
        throw std::runtime_error("cannot open the X display (is DISPLAY set?)");
    }
    m_root = DefaultRootWindow(m_display);
    XSetErrorHandler(ignoreXError);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(m_display);
        throw std::runtime_error("the X server has no XTest extension");
    }
}

XDisplay::~XDisplay() {
    XCloseDisplay(m_display);
}

std::vector<TopLevel> XDisplay::viewableTopLevels() {
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<TopLevel> result;
    if (!XQueryTree(m_display, m_root, &rootReturn, &parent, &children, &count)) {
        return result;
    }
    std::unique_ptr<Window, XFreeDeleter> owned(children);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, children[i], &attributes) ||
            attributes.map_state != IsViewable) {
            continue;
        }
        TopLevel top;
        top.id = children[i];
        top.geometry = {attributes.x, attributes.y, attributes.width, attributes.height};
        top.overrideRedirect = attributes.override_redirect != 0;
        result.push_back(top);
    }
    return result;
}

std::string XDisplay::titleOf(WindowId window) {
    char* name = nullptr;
    if (!XFetchName(m_display, window, &name) || name == nullptr) {
        return {};
    }
    std::unique_ptr<char, XFreeDeleter> owned(name);
    return std::string(name);
}

std::optional<WindowId> XDisplay::findTopLevelByTitle(const std::string& title) {
    for (const TopLevel& top : viewableTopLevels()) {
        if (titleOf(top.id) == title) {
            return top.id;
        }
    }
    return std::nullopt;
}

Rect XDisplay::geometryOf(WindowId window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes)) {
        throw std::runtime_error("cannot read the window's attributes");
    }
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, window, m_root, 0, 0, &rootX, &rootY, &child);
    return {rootX, rootY, attributes.width, attributes.height};
}

Image XDisplay::captureScreen(const Rect& area) {
    XImage* raw = XGetImage(m_display, m_root, area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (raw == nullptr) {
        throw std::runtime_error("XGetImage failed");
    }
    Image image(area.width, area.height);
    for (int row = 0; row < area.height; ++row) {
        for (int col = 0; col < area.width; ++col) {
            const unsigned long pixel = XGetPixel(raw, col, row);
            image.set(col, row,
                      {channel(pixel, raw->red_mask), channel(pixel, raw->green_mask),
                       channel(pixel, raw->blue_mask)});
        }
    }
    XDestroyImage(raw);
    return image;
}

void XDisplay::movePointer(int x, int y) {
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), x, y, CurrentTime);
    XSync(m_display, False);
}

void XDisplay::pressButton(unsigned button) {
    XTestFakeButtonEvent(m_display, button, True, CurrentTime);
    XSync(m_display, False);
}

void XDisplay::releaseButton(unsigned button) {
    XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    XSync(m_display, False);
}

void XDisplay::click(unsigned button, int x, int y) {
    movePointer(x, y);
    pressButton(button);
    releaseButton(button);
}

void XDisplay::requestClose(WindowId window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XSync(m_display, False);
}

} // namespace e2e
