// The wrapper's checks guard against programming errors and stay active in
// every build type, so NDEBUG is lifted for this file before <cassert>.
#undef NDEBUG
#include "window/window.h"

#include <GL/glut.h>

#include <cassert>

namespace GlutWrapper {

MenuEntry::MenuEntry(const std::string& label, int id) : label(label), id(id) {}

IRunner::~IRunner() {}

IMenuListener::~IMenuListener() {}

IRunner* Window::m_runner = nullptr;
IMenuListener* Window::m_menuListener = nullptr;

Window::Window(int argc, char** argv, int x, int y, int width, int height, const std::string& title,
               IRunner* runner, const std::vector<MenuEntry>& menuEntries,
               IMenuListener* menuListener, bool idle) {
    create(argc, argv, x, y, width, height, title, runner, menuEntries, menuListener, idle);
}

Window::~Window() {}

void Window::create(int argc, char** argv, int x, int y, int width, int height,
                    const std::string& title, IRunner* runner,
                    const std::vector<MenuEntry>& menuEntries, IMenuListener* menuListener,
                    bool idle) {
    assert(runner);
    m_runner = runner;
    m_menuListener = menuListener;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(x, y);
    glutInitWindowSize(width, height);
    glutCreateWindow(title.c_str());

    glutDisplayFunc(displayCallback);
    glutReshapeFunc(reshapeCallback);
    if (idle) {
        // Redraw on every pass of the loop: nothing else asks for a redisplay.
        glutIdleFunc(displayCallback);
    }

    if (menuListener) {
        glutCreateMenu(menuCallback);
        const std::size_t count = menuEntries.size();
        for (std::size_t i = 0; i < count; ++i) {
            glutAddMenuEntry(menuEntries[i].label.c_str(), menuEntries[i].id);
        }
        glutAttachMenu(GLUT_RIGHT_BUTTON);
    }

    // The size asked for, not one read back from GLUT.
    runner->init(width, height);
    glutMainLoop();
}

void Window::displayCallback() {
    assert(m_runner);
    m_runner->display();
}

void Window::reshapeCallback(int width, int height) {
    assert(m_runner);
    m_runner->reshape(width, height);
}

void Window::menuCallback(int value) {
    assert(m_menuListener);
    m_menuListener->onMenuEntry(value);
}

} // namespace GlutWrapper
