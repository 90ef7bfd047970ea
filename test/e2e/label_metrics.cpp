#include "label_metrics.h"

#include <GL/freeglut.h>

namespace e2e {

namespace {

void initialiseGlutOnce() {
    static const bool initialised = [] {
        int argc = 1;
        char name[] = "tessaro_e2e_test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        return true;
    }();
    (void)initialised;
}

} // namespace

int menuLabelWidth(const std::string& label) {
    initialiseGlutOnce();
    return glutBitmapLength(GLUT_BITMAP_HELVETICA_18,
                            reinterpret_cast<const unsigned char*>(label.c_str()));
}

} // namespace e2e
