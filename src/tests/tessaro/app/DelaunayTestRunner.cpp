#include "app/DelaunayTestRunner.h"

namespace DelaunayTest {

namespace {

// Menu ids, in menu order.
enum MenuId {
    triangulateId = 0,
    resetId = 1,
    toggleCirclesId = 2,
    addSitesId = 3,
    removeSitesId = 4,
};

} // namespace

DelaunayTestRunner::DelaunayTestRunner() {
    m_menuEntries.emplace_back("Triangulate", triangulateId);
    m_menuEntries.emplace_back("Reset", resetId);
    m_menuEntries.emplace_back("Enable Circles", toggleCirclesId);
    m_menuEntries.emplace_back("Add Sites (+5)", addSitesId);
    m_menuEntries.emplace_back("Remove Sites (-5)", removeSitesId);
}

DelaunayTestRunner::~DelaunayTestRunner() {}

void DelaunayTestRunner::init(int width, int height) {
    m_renderer.setup(width, height);
}

void DelaunayTestRunner::display() {
    m_renderer.clear();
    if (m_scene.isTriangulated()) {
        m_renderer.setColor(1.0f, 0.0f, 0.0f);
        m_renderer.drawLines(m_scene.getLines());
    }
    if (m_scene.isCirclesEnabled()) {
        m_renderer.setColor(0.0f, 0.0f, 1.0f);
        m_renderer.drawCircles(m_scene.getCircles());
    }
    // Sites last, so that they lie on top of edges and circles.
    m_renderer.setColor(0.0f, 1.0f, 0.0f);
    m_renderer.drawPoints(m_scene.getPoints());
    m_renderer.swapBuffers();
}

void DelaunayTestRunner::reshape(int width, int height) {
    m_renderer.setup(width, height);
}

// No redraw is requested: the window redraws on every idle pass.
void DelaunayTestRunner::onMenuEntry(int id) {
    switch (id) {
    case triangulateId:
        m_scene.triangulate();
        break;
    case resetId:
        m_scene.reset();
        break;
    case toggleCirclesId:
        m_scene.toggleCircles();
        break;
    case addSitesId:
        m_scene.addSites();
        break;
    case removeSitesId:
        m_scene.removeSites();
        break;
    default:
        break;
    }
}

} // namespace DelaunayTest
