#include "app/Renderer.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>
#include <cmath>

namespace DelaunayTest {

namespace {

// 2 pi as a float, as the circle outlines use it (not the exact value).
const float fullTurn = 6.283185f;

} // namespace

Renderer::Renderer() : m_depth(-10.0f), m_pointSize(5.0f), m_circleSegments(50) {}

Renderer::~Renderer() {}

void Renderer::setup(int width, int height) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.5f, 0.5f, 0.7f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glViewport(0, 0, width, height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A minimised window reports a height (or width) of 0. Dividing by it
    // would put an infinite or NaN aspect into the projection, and GLU leaves
    // a zero aspect as no projection at all; clamping both to 1 keeps the
    // matrix finite and the same camera, and the empty viewport draws nothing.
    const double aspect =
        static_cast<double>(std::max(width, 1)) / static_cast<double>(std::max(height, 1));
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);

    // The eye sits at the origin looking down -z with y up.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPointSize(m_pointSize);
}

void Renderer::clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Renderer::setColor(float red, float green, float blue) {
    glColor3f(red, green, blue);
}

void Renderer::drawPoints(const std::vector<Point>& points) {
    const std::size_t count = points.size();
    glBegin(GL_POINTS);
    for (std::size_t i = 0; i < count; ++i) {
        glVertex3f(points[i].x, points[i].y, m_depth);
    }
    glEnd();
}

void Renderer::drawLines(const std::vector<Line>& lines) {
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        glBegin(GL_LINES);
        glVertex3f(lines[i].start.x, lines[i].start.y, m_depth);
        glVertex3f(lines[i].end.x, lines[i].end.y, m_depth);
        glEnd();
    }
}

void Renderer::drawCircles(const std::vector<Circle>& circles) {
    const std::size_t count = circles.size();
    for (std::size_t i = 0; i < count; ++i) {
        const float cx = circles[i].center.x;
        const float cy = circles[i].center.y;
        const float radius = circles[i].radius;
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < m_circleSegments; ++j) {
            const float angle = static_cast<float>(j * static_cast<double>(fullTurn) /
                                                   static_cast<double>(m_circleSegments));
            const float dx = std::cos(angle) * radius;
            const float dy = std::sin(angle) * radius;
            glVertex3f(cx + dx, cy + dy, m_depth);
        }
        glEnd();
    }
}

void Renderer::swapBuffers() {
    glutSwapBuffers();
}

} // namespace DelaunayTest
