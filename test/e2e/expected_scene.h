// What the program must show after a sequence of menu commands, worked out
// in the test: the sites come from the program's own generator seeded with
// the known seed, the behaviour of the commands and the triangulation are
// the test's own.
#pragma once

#include "picture_check.h"
#include "reference_delaunay.h"

#include "scene/Scene.h"

#include <string>
#include <vector>

namespace e2e {

// The menu entries in their order on the menu.
enum class MenuCommand { Triangulate, Reset, EnableCircles, AddSites, RemoveSites };
constexpr int kMenuEntryCount = 5;

int menuPosition(MenuCommand command);
const char* labelOf(MenuCommand command);

class ExpectedScene {
public:
    explicit ExpectedScene(unsigned seed);

    void apply(MenuCommand command);

    const std::vector<SitePoint>& sites() const { return m_sites; }
    bool triangulated() const { return m_triangulated; }
    bool circlesEnabled() const { return m_circlesEnabled; }
    ExpectedPicture picture() const;

private:
    std::vector<SitePoint> nextFiveSites();

    // Used only as the source of the program's random sites: every reset of
    // it draws the next five from the same sequence the program draws from.
    DelaunayTest::Scene m_generator;
    std::vector<SitePoint> m_sites;
    bool m_triangulated = false;
    bool m_circlesEnabled = false;
};

// True when the sites can be checked on screen without doubt: a unique
// triangulation, sites well apart, and no circle so large that the program's
// single-precision centre could stray from the exact one by a pixel.
bool drawableUnambiguously(const std::vector<SitePoint>& sites);

// What a scenario needs of its last site set besides being drawable.
enum class FinalSites {
    Any,
    // Exactly three sites on the convex hull: the outer face is then a
    // triangle too, and must get no circle.
    TriangularHull,
};

// The first seed from `first` on for which every picture along `commands`
// (the start included) is drawable unambiguously and the last one meets `final`.
unsigned findSeed(unsigned first, const std::vector<MenuCommand>& commands,
                  FinalSites final = FinalSites::Any);

} // namespace e2e
