#include "app/DelaunayTestApp.h"

namespace DelaunayTest {

DelaunayTestApp::DelaunayTestApp(int argc, char** argv, int x, int y, int width, int height,
                                 const std::string& title)
    : m_testRunner(), m_window(argc, argv, x, y, width, height, title, &m_testRunner,
                               m_testRunner.getMenuEntries(), &m_testRunner, true) {}

DelaunayTestApp::~DelaunayTestApp() {}

} // namespace DelaunayTest
