#pragma once

#include "app/DelaunayTestRunner.h"
#include "window/window.h"

#include <string>

namespace DelaunayTest {

// The runner and its window. The member order matters: the window's
// constructor runs the main loop, so the runner must be complete before it.
class DelaunayTestApp {
public:
    DelaunayTestApp(int argc, char** argv, int x, int y, int width, int height,
                    const std::string& title);
    ~DelaunayTestApp();

private:
    DelaunayTestRunner m_testRunner;
    GlutWrapper::Window m_window;
};

} // namespace DelaunayTest
