#pragma once

#include "scene/Point.h"

namespace DelaunayTest {

// One segment to draw: an edge of the triangulation.
class Line {
public:
    Line(const Point& start, const Point& end) : start(start), end(end) {}

    Point start;
    Point end;
};

} // namespace DelaunayTest
