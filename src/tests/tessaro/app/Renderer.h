#pragma once

#include "scene/Circle.h"
#include "scene/Line.h"
#include "scene/Point.h"

#include <vector>

namespace DelaunayTest {

// Draws the scene with OpenGL immediate mode, everything in the plane
// z = m_depth in front of a 45-degree perspective camera at the origin.
// Every operation needs the window's GL context to be current.
class Renderer {
public:
    Renderer();
    ~Renderer();

    // GL state, viewport and projection for a drawable area of this size.
    void setup(int width, int height);
    void clear();
    void setColor(float red, float green, float blue);
    void drawPoints(const std::vector<Point>& points);
    void drawLines(const std::vector<Line>& lines);
    void drawCircles(const std::vector<Circle>& circles);
    void swapBuffers();

private:
    float m_depth;
    float m_pointSize;
    int m_circleSegments;
};

} // namespace DelaunayTest
