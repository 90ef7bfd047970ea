#pragma once

namespace DelaunayTest {

// A position in scene units.
class Point {
public:
    Point() : x(0.0f), y(0.0f) {}
    Point(float x, float y) : x(x), y(y) {}

    float x;
    float y;
};

} // namespace DelaunayTest
