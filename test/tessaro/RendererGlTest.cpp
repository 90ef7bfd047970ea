// The renderer against a real GL context (Mesa under Xvfb), read back with
// glReadPixels from the back buffer before any swap.
#include "app/Renderer.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace DelaunayTest {
namespace {

const int windowWidth = 800;
const int windowHeight = 600;
// Half the visible height at the drawing plane z = -10: 10 tan 22.5 degrees.
const double halfExtent = 10.0 * std::tan(22.5 * M_PI / 180.0);

struct Rgb {
    int r, g, b;
};

struct PixelBox {
    int count = 0;
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    double centerX() const { return (minX + maxX) / 2.0; }
    double centerY() const { return (minY + maxY) / 2.0; }
};

class RendererGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool opened = false;
        if (opened) {
            return;
        }
        int argc = 1;
        char name[] = "tessaro_gl_tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowPosition(0, 0);
        glutInitWindowSize(windowWidth, windowHeight);
        glutCreateWindow("renderer test");
        opened = true;
    }

    // Draws green points on the background into a viewport of this size.
    void drawSites(int width, int height, const std::vector<Point>& sites) {
        renderer.setup(width, height);
        renderer.clear();
        renderer.setColor(0.0f, 1.0f, 0.0f);
        renderer.drawPoints(sites);
        glFinish();
    }

    // Reads the lower-left width x height pixels; row 0 is the bottom.
    static std::vector<unsigned char> readPixels(int width, int height) {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    template <typename Predicate>
    static PixelBox findPixels(int width, int height, int rowFrom, int rowTo, Predicate pred) {
        const std::vector<unsigned char> pixels = readPixels(width, height);
        PixelBox box;
        for (int y = rowFrom; y < rowTo; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
                if (pred(Rgb{p[0], p[1], p[2]})) {
                    ++box.count;
                    box.minX = std::min(box.minX, x);
                    box.maxX = std::max(box.maxX, x);
                    box.minY = std::min(box.minY, y);
                    box.maxY = std::max(box.maxY, y);
                }
            }
        }
        return box;
    }

    static bool isGreen(Rgb c) { return c.g > 200 && c.r < 50 && c.b < 50; }

    static void expectProjectionFinite() {
        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        for (double v : m) {
            EXPECT_TRUE(std::isfinite(v)) << v;
        }
        // The vertical field of view stays 45 degrees.
        EXPECT_NEAR(m[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-6);
    }

    Renderer renderer;
};

TEST_F(RendererGl, ClearsToTheGreyishBlueBackground) {
    drawSites(windowWidth, windowHeight, {});
    const std::vector<unsigned char> pixels = readPixels(windowWidth, windowHeight);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        ASSERT_NEAR(pixels[i], 128, 1) << "pixel " << i / 3;
        ASSERT_NEAR(pixels[i + 1], 128, 1) << "pixel " << i / 3;
        ASSERT_NEAR(pixels[i + 2], 179, 1) << "pixel " << i / 3;
    }
}

TEST_F(RendererGl, SitesAreGreenSquaresFivePixelsWide) {
    drawSites(windowWidth, windowHeight, {{0.0f, 0.0f}});
    const PixelBox box = findPixels(windowWidth, windowHeight, 0, windowHeight, isGreen);
    EXPECT_EQ(box.count, 25);
    EXPECT_EQ(box.maxX - box.minX + 1, 5);
    EXPECT_EQ(box.maxY - box.minY + 1, 5);
}

// The origin lands at the viewport's centre and y = 4 just below its top edge
// whatever the width, so the vertical extent survives a reshape.
TEST_F(RendererGl, OriginAtTheCentreAndYFourBelowTheTopForAnySize) {
    const std::pair<int, int> sizes[] = {{800, 600}, {400, 600}, {800, 300}, {640, 480}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        drawSites(width, height, {{0.0f, 0.0f}, {0.0f, 4.0f}});
        const int half = height / 2;
        const PixelBox centre = findPixels(width, height, 0, half + 10, isGreen);
        const PixelBox top = findPixels(width, height, half + 10, height, isGreen);
        ASSERT_EQ(centre.count, 25);
        ASSERT_EQ(top.count, 25);
        EXPECT_NEAR(centre.centerX(), width / 2.0, 1.0);
        EXPECT_NEAR(centre.centerY(), height / 2.0, 1.0);
        EXPECT_NEAR(top.centerX(), width / 2.0, 1.0);
        const double expectedRow = height / 2.0 * (1.0 + 4.0 / halfExtent);
        EXPECT_NEAR(top.centerY(), expectedRow, 1.0);
        EXPECT_LT(top.maxY, height - 1);
        EXPECT_EQ(top.maxY - top.minY + 1, 5);
    }
}

TEST_F(RendererGl, LinesAndCirclesLieInTheDrawingPlane) {
    renderer.setup(windowWidth, windowHeight);
    renderer.clear();
    renderer.setColor(1.0f, 0.0f, 0.0f);
    renderer.drawLines({Line(Point(-2.0f, 0.0f), Point(2.0f, 0.0f))});
    renderer.setColor(0.0f, 0.0f, 1.0f);
    renderer.drawCircles({Circle(Point(0.0f, 0.0f), 2.0f)});
    glFinish();
    const double pixelsPerUnit = windowHeight / 2.0 / halfExtent;

    const PixelBox red = findPixels(windowWidth, windowHeight, 0, windowHeight,
                                    [](Rgb c) { return c.r > 100 && c.g < 100 && c.b < 100; });
    EXPECT_NEAR(red.maxX - red.minX, 4.0 * pixelsPerUnit, 3.0);
    EXPECT_NEAR(red.centerY(), windowHeight / 2.0, 2.0);

    const PixelBox blue = findPixels(windowWidth, windowHeight, 0, windowHeight,
                                     [](Rgb c) { return c.b > 220 && c.r < 100 && c.g < 100; });
    EXPECT_NEAR(blue.maxX - blue.minX, 4.0 * pixelsPerUnit, 3.0);
    EXPECT_NEAR(blue.maxY - blue.minY, 4.0 * pixelsPerUnit, 3.0);
    EXPECT_NEAR(blue.centerX(), windowWidth / 2.0, 2.0);
    EXPECT_NEAR(blue.centerY(), windowHeight / 2.0, 2.0);
}

TEST_F(RendererGl, ZeroSizeKeepsTheProjectionFinite) {
    const std::pair<int, int> sizes[] = {{800, 0}, {0, 0}, {0, 600}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        drawSites(width, height, {{0.0f, 0.0f}});
        expectProjectionFinite();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // Back to a real size, the picture is as before.
    drawSites(windowWidth, windowHeight, {{0.0f, 0.0f}});
    const PixelBox box = findPixels(windowWidth, windowHeight, 0, windowHeight, isGreen);
    EXPECT_EQ(box.count, 25);
    EXPECT_NEAR(box.centerX(), windowWidth / 2.0, 1.0);
}

} // namespace
} // namespace DelaunayTest
