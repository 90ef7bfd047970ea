#include "app/DelaunayTestApp.h"

#include <string>

int main(int argc, char** argv) {
    std::string windowName = "Delaunay Tessaro Test";
    const int width = 800;
    const int height = 600;
    // Runs GLUT's main loop; closing the window ends the process from there.
    DelaunayTest::DelaunayTestApp delaunayTestApp(argc, argv, 0, 0, width, height, windowName);
    return 0;
}
