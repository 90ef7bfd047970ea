#pragma once

#include "scene/Circle.h"
#include "scene/Line.h"
#include "scene/Point.h"
#include "scene/RandomSource.h"

#include <map>
#include <vector>

namespace EdgeAlgebra {
class QuadEdge;
}

namespace DelaunayTest {

// Everything the test program shows and its menu changes: the sites, the
// edges and circumcircles of their triangulation, and two flags.
//
// Two states. Editing: sites may be added and removed; no lines or circles.
// Triangulated: lines and circles hold the triangulation of the sites, which
// stay frozen until reset. A command that does not apply in the current state,
// or would cross a limit, changes nothing.
class Scene {
public:
    // Seeds the generator from the calendar time and generates five sites.
    Scene();
    // The same, with a known seed.
    explicit Scene(unsigned seed);
    // Starts in the Editing state with exactly these sites; nothing is
    // generated until the next addSites or reset, which draw from `seed`.
    Scene(std::vector<Point> points, unsigned seed);
    ~Scene();

    void triangulate();
    void reset();
    void toggleCircles();
    void addSites();
    void removeSites();

    const std::vector<Point>& getPoints() const { return m_points; }
    const std::vector<Line>& getLines() const { return m_lines; }
    const std::vector<Circle>& getCircles() const { return m_circles; }
    bool isCirclesEnabled() const { return m_circlesEnabled; }
    bool isTriangulated() const { return m_triangulated; }

private:
    using EdgeMap = std::map<EdgeAlgebra::QuadEdge*, char>;

    void generateSites(int count);
    void buildTriangulation();
    void buildLines(EdgeMap& edges);
    void buildCircles(EdgeMap& edges);
    void addCircumcircle(EdgeAlgebra::QuadEdge* e, EdgeAlgebra::QuadEdge* f);

    int m_initialSiteCount;
    float m_minCoord;
    float m_maxCoord; // never reached by a generated coordinate
    int m_siteStep;
    int m_maxSiteCount;
    std::vector<Point> m_points;
    std::vector<Line> m_lines;
    std::vector<Circle> m_circles;
    bool m_triangulated;
    bool m_circlesEnabled;
    RandomSource m_random;
};

} // namespace DelaunayTest
