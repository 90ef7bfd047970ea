#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ToolTest {

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessaro-tools-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TemporaryDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::vector<SiteCase>& knownSiteCases() {
    static const std::vector<SiteCase> cases{
        {"FiveConvex", {{0, 0}, {6, 0}, {7, 4}, {3, 7}, {-1, 4}}, 7, 3},
        {"FourOnHull", {{0, 0}, {7, 0}, {6, 6}, {-1, 5}, {3, 2}}, 8, 4},
        {"ThreeOnHull", {{0, 0}, {10, 0}, {4, 9}, {4, 3}, {6, 2}}, 9, 5},
        {"Three", {{0, 0}, {4, 1}, {1, 3}}, 3, 1},
        {"Collinear", {{0, 0}, {2, 1}, {4, 2}, {-2, -1}, {6, 3}}, 4, 0},
    };
    return cases;
}

namespace {

std::pair<float, float> corner(const Point& p) {
    return {p.x, p.y};
}

} // namespace

EdgeKey edgeKey(const Point& a, const Point& b) {
    return std::minmax(corner(a), corner(b));
}

TriangleKey triangleKey(const Point& a, const Point& b, const Point& c) {
    std::array<std::pair<float, float>, 3> corners{corner(a), corner(b), corner(c)};
    std::sort(corners.begin(), corners.end());
    return {corners[0], corners[1], corners[2]};
}

double orientation(const Point& a, const Point& b, const Point& c) {
    return (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
           (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x);
}

namespace {

// Positive when d lies strictly inside the circle through the
// counterclockwise a, b, c.
double inCircle(const Point& a, const Point& b, const Point& c, const Point& d) {
    const double adx = a.x - d.x, ady = a.y - d.y;
    const double bdx = b.x - d.x, bdy = b.y - d.y;
    const double cdx = c.x - d.x, cdy = c.y - d.y;
    const double ad = adx * adx + ady * ady, bd = bdx * bdx + bdy * bdy, cd = cdx * cdx + cdy * cdy;
    return adx * (bdy * cd - bd * cdy) - ady * (bdx * cd - bd * cdx) + ad * (bdx * cdy - bdy * cdx);
}

} // namespace

std::multiset<TriangleKey> bruteForceTriangles(const std::vector<Point>& sites) {
    std::multiset<TriangleKey> triangles;
    const std::size_t n = sites.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            for (std::size_t k = j + 1; k < n; ++k) {
                Point a = sites[i], b = sites[j], c = sites[k];
                const double turn = orientation(a, b, c);
                if (turn == 0.0) {
                    continue;
                }
                if (turn < 0.0) {
                    std::swap(b, c);
                }
                bool empty = true;
                for (std::size_t m = 0; m < n && empty; ++m) {
                    empty = m == i || m == j || m == k || inCircle(a, b, c, sites[m]) <= 0.0;
                }
                if (empty) {
                    triangles.insert(triangleKey(a, b, c));
                }
            }
        }
    }
    return triangles;
}

std::multiset<EdgeKey> edgesOfTriangles(const std::multiset<TriangleKey>& triangles) {
    std::set<EdgeKey> edges;
    for (const TriangleKey& t : triangles) {
        const Point a(std::get<0>(t).first, std::get<0>(t).second);
        const Point b(std::get<1>(t).first, std::get<1>(t).second);
        const Point c(std::get<2>(t).first, std::get<2>(t).second);
        edges.insert(edgeKey(a, b));
        edges.insert(edgeKey(b, c));
        edges.insert(edgeKey(a, c));
    }
    return {edges.begin(), edges.end()};
}

std::vector<std::vector<float>> parseNumberLines(const std::string& text, std::size_t perLine) {
    std::vector<std::vector<float>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<float> numbers;
        std::string field;
        while (fields >> field) {
            char* end = nullptr;
            numbers.push_back(std::strtof(field.c_str(), &end));
            EXPECT_EQ(*end, '\0') << "not a number: " << field;
        }
        EXPECT_EQ(numbers.size(), perLine) << "line: " << line;
        lines.push_back(numbers);
    }
    return lines;
}

} // namespace ToolTest

namespace ToolTest {

TessaroTools::PlanarInput siteInput(const std::vector<Point>& sites) {
    TessaroTools::PlanarInput input;
    for (const Point& p : sites) {
        input.coords.push_back(p.x);
        input.coords.push_back(p.y);
    }
    return input;
}

Point siteOf(const TessaroTools::TriangulationShapes& shapes, std::uint32_t rank) {
    return Point(static_cast<float>(shapes.sites[rank].x),
                 static_cast<float>(shapes.sites[rank].y));
}

std::multiset<EdgeKey> chainEdges(std::vector<Point> sites) {
    std::sort(sites.begin(), sites.end(),
              [](const Point& a, const Point& b) { return corner(a) < corner(b); });
    std::multiset<EdgeKey> edges;
    for (std::size_t i = 1; i < sites.size(); ++i) {
        edges.insert(edgeKey(sites[i - 1], sites[i]));
    }
    return edges;
}

std::multiset<EdgeKey> expectedEdges(const SiteCase& siteCase) {
    if (siteCase.triangleCount == 0) {
        return chainEdges(siteCase.sites);
    }
    return edgesOfTriangles(bruteForceTriangles(siteCase.sites));
}

} // namespace ToolTest
