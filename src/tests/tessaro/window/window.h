#pragma once

#include <string>
#include <vector>

// A thin wrapper over GLUT: one top-level window, an optional pop-up menu on
// the right mouse button, and the GLUT callbacks forwarded to two interfaces.
// It knows nothing of the application it drives.
namespace GlutWrapper {

struct MenuEntry {
    MenuEntry(const std::string& label, int id);

    std::string label;
    int id;
};

// Receives the window's drawing events.
class IRunner {
public:
    // Called once, before the main loop, with the size that was asked for.
    virtual void init(int width, int height) = 0;
    virtual void display() = 0;
    virtual void reshape(int width, int height) = 0;
    virtual ~IRunner() = 0;
};

// Receives the ids of chosen pop-up menu entries.
class IMenuListener {
public:
    virtual void onMenuEntry(int id) = 0;
    virtual ~IMenuListener() = 0;
};

// Opens the window and runs GLUT's main loop from its constructor, which
// therefore does not return while the window exists. GLUT callbacks carry no
// user pointer, so the runner and the listener are kept in statics: there is
// one window per process. Neither object is owned; the caller keeps both alive
// for as long as the main loop runs.
class Window {
public:
    Window(int argc, char** argv, int x, int y, int width, int height, const std::string& title,
           IRunner* runner, const std::vector<MenuEntry>& menuEntries, IMenuListener* menuListener,
           bool idle);
    ~Window();

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

private:
    void create(int argc, char** argv, int x, int y, int width, int height,
                const std::string& title, IRunner* runner,
                const std::vector<MenuEntry>& menuEntries, IMenuListener* menuListener, bool idle);

    static void displayCallback();
    static void reshapeCallback(int width, int height);
    static void menuCallback(int value);

    static IRunner* m_runner;
    static IMenuListener* m_menuListener;
};

} // namespace GlutWrapper
