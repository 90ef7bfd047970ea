#include "scene/Scene.h"

#include <ctime>
#include <utility>

namespace DelaunayTest {

Scene::Scene() : Scene(static_cast<unsigned>(std::time(nullptr))) {}

Scene::Scene(unsigned seed) : Scene(std::vector<Point>(), seed) {
    reset();
}

Scene::Scene(std::vector<Point> points, unsigned seed)
    : m_initialSiteCount(5), m_minCoord(-4.0f), m_maxCoord(4.0f), m_siteStep(5), m_maxSiteCount(30),
      m_points(std::move(points)), m_triangulated(false), m_circlesEnabled(false), m_random(seed) {}

Scene::~Scene() = default;

void Scene::triangulate() {
    if (m_triangulated) {
        return;
    }
    try {
        buildTriangulation();
    } catch (...) {
        // A failed allocation may strike after some lines or circles were
        // appended; drop them so that the scene stays a consistent Editing
        // scene and a later triangulate starts from empty vectors.
        m_lines.clear();
        m_circles.clear();
        throw;
    }
    m_triangulated = true;
}

void Scene::reset() {
    m_points.clear();
    m_lines.clear();
    m_circles.clear();
    generateSites(m_initialSiteCount);
    m_triangulated = false;
    m_circlesEnabled = false;
}

void Scene::toggleCircles() {
    m_circlesEnabled = !m_circlesEnabled;
}

void Scene::addSites() {
    if (m_triangulated) {
        return;
    }
    if (static_cast<int>(m_points.size()) + m_siteStep <= m_maxSiteCount) {
        generateSites(m_siteStep);
    }
}

void Scene::removeSites() {
    const int remaining = static_cast<int>(m_points.size()) - m_siteStep;
    if (m_triangulated || remaining <= 0) {
        return;
    }
    m_points.erase(m_points.begin() + remaining, m_points.end());
}

void Scene::generateSites(int count) {
    const double range = RandomSource::range;
    const double span = static_cast<double>(m_maxCoord) - static_cast<double>(m_minCoord);
    for (int i = 0; i < count; ++i) {
        // x is drawn before y; r / range < 1 keeps m_maxCoord out of reach.
        const int rx = m_random.next();
        const float x = static_cast<float>(m_minCoord + (rx / range) * span);
        const int ry = m_random.next();
        const float y = static_cast<float>(m_minCoord + (ry / range) * span);
        m_points.emplace_back(x, y);
    }
}

} // namespace DelaunayTest
