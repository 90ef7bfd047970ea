#pragma once

#include "TriangulationShapes.h"
#include "scene/Point.h"

#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace ToolTest {

using DelaunayTest::Point;

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(const std::string& name) const { return m_path / name; }
    // Names of the entries of the directory, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path m_path;
};

void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

// A named set of sites whose Delaunay triangulation is known.
struct SiteCase {
    std::string name;
    std::vector<Point> sites;
    std::size_t edgeCount;
    std::size_t triangleCount;
};

// Test names show the case's name, not its bytes.
inline void PrintTo(const SiteCase& siteCase, std::ostream* os) {
    *os << siteCase.name;
}

// Five sites in convex position, with four on the hull, with three on the
// hull; three sites; five sites on one line. No four of them are cocircular,
// so each triangulation is unique.
const std::vector<SiteCase>& knownSiteCases();

// An undirected edge or an unrotated triangle, written with its corners in
// ascending order, so that sets of them compare independently of direction
// and starting corner.
using EdgeKey = std::pair<std::pair<float, float>, std::pair<float, float>>;
using TriangleKey =
    std::tuple<std::pair<float, float>, std::pair<float, float>, std::pair<float, float>>;
EdgeKey edgeKey(const Point& a, const Point& b);
TriangleKey triangleKey(const Point& a, const Point& b, const Point& c);

// The Delaunay triangles of sites with small integer coordinates, no three
// collinear on a triangle and no four cocircular, by brute force: every
// triple whose circumcircle holds no other site. Exact in double precision.
std::multiset<TriangleKey> bruteForceTriangles(const std::vector<Point>& sites);
std::multiset<EdgeKey> edgesOfTriangles(const std::multiset<TriangleKey>& triangles);

// Twice the signed area of a, b, c, in double precision.
double orientation(const Point& a, const Point& b, const Point& c);

// Parses whitespace-separated numbers, `perLine` to a line; fails the
// calling test on any other line.
std::vector<std::vector<float>> parseNumberLines(const std::string& text, std::size_t perLine);

} // namespace ToolTest

namespace ToolTest {

// The sites as the command's input, without segments.
TessaroTools::PlanarInput siteInput(const std::vector<Point>& sites);

// The site of rank `rank` in the shapes, as a float point.
Point siteOf(const TessaroTools::TriangulationShapes& shapes, std::uint32_t rank);

// The edges of sites on one line: neighbours in ascending (x, y) order.
std::multiset<EdgeKey> chainEdges(std::vector<Point> sites);

// The edges a triangulation of the case must have: those of its brute-force
// triangles, or the chain when the sites lie on one line.
std::multiset<EdgeKey> expectedEdges(const SiteCase& siteCase);

} // namespace ToolTest
