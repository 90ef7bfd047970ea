#pragma once

#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace DelaunayTest {

inline bool operator==(const Point& a, const Point& b) {
    return a.x == b.x && a.y == b.y;
}

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}

// Everything a command may change, for comparing a scene before and after.
struct SceneSnapshot {
    explicit SceneSnapshot(const Scene& scene)
        : points(scene.getPoints()), lineCount(scene.getLines().size()),
          circleCount(scene.getCircles().size()), triangulated(scene.isTriangulated()),
          circlesEnabled(scene.isCirclesEnabled()) {}

    bool operator==(const SceneSnapshot& other) const {
        return points == other.points && lineCount == other.lineCount &&
               circleCount == other.circleCount && triangulated == other.triangulated &&
               circlesEnabled == other.circlesEnabled;
    }

    std::vector<Point> points;
    std::size_t lineCount;
    std::size_t circleCount;
    bool triangulated;
    bool circlesEnabled;
};

inline void PrintTo(const SceneSnapshot& s, std::ostream* os) {
    *os << s.points.size() << " sites, " << s.lineCount << " lines, " << s.circleCount
        << " circles, triangulated " << s.triangulated << ", circles " << s.circlesEnabled;
}

// The sites a scene seeded with `seed` generates, computed independently of
// the scene: the top 15 bits of each output of the standard Mersenne Twister,
// x before y, mapped to -4 + r / 4096.
inline std::vector<Point> expectedSites(unsigned seed, int skip, int count) {
    std::mt19937 engine(seed);
    for (int i = 0; i < 2 * skip; ++i) {
        engine();
    }
    std::vector<Point> sites;
    for (int i = 0; i < count; ++i) {
        const float x = -4.0f + static_cast<float>(engine() >> 17) / 4096.0f;
        const float y = -4.0f + static_cast<float>(engine() >> 17) / 4096.0f;
        sites.emplace_back(x, y);
    }
    return sites;
}

} // namespace DelaunayTest
