#include "expected_scene.h"

#include "view_projection.h"

#include <cmath>
#include <stdexcept>

namespace e2e {

namespace {

constexpr std::size_t kSiteStep = 5;
constexpr std::size_t kMaxSites = 30;
constexpr double kMinSiteDistancePixels = 14.0;
constexpr double kMaxCircleRadius = 20.0;

std::vector<SitePoint> toSitePoints(const std::vector<DelaunayTest::Point>& points) {
    std::vector<SitePoint> sites;
    for (const DelaunayTest::Point& p : points) {
        sites.push_back({p.x, p.y});
    }
    return sites;
}

} // namespace

int menuPosition(MenuCommand command) {
    return static_cast<int>(command);
}

const char* labelOf(MenuCommand command) {
    switch (command) {
    case MenuCommand::Triangulate:
        return "Triangulate";
    case MenuCommand::Reset:
        return "Reset";
    case MenuCommand::EnableCircles:
        return "Enable Circles";
    case MenuCommand::AddSites:
        return "Add Sites (+5)";
    case MenuCommand::RemoveSites:
        break;
    }
    return "Remove Sites (-5)";
}

ExpectedScene::ExpectedScene(unsigned seed)
    : m_generator(seed), m_sites(toSitePoints(m_generator.getPoints())) {}

std::vector<SitePoint> ExpectedScene::nextFiveSites() {
    m_generator.reset();
    return toSitePoints(m_generator.getPoints());
}

void ExpectedScene::apply(MenuCommand command) {
    switch (command) {
    case MenuCommand::Triangulate:
        m_triangulated = true;
        break;
    case MenuCommand::Reset:
        m_sites = nextFiveSites();
        m_triangulated = false;
        m_circlesEnabled = false;
        break;
    case MenuCommand::EnableCircles:
        m_circlesEnabled = !m_circlesEnabled;
        break;
    case MenuCommand::AddSites:
        if (!m_triangulated && m_sites.size() + kSiteStep <= kMaxSites) {
            const std::vector<SitePoint> added = nextFiveSites();
            m_sites.insert(m_sites.end(), added.begin(), added.end());
        }
        break;
    case MenuCommand::RemoveSites:
        if (!m_triangulated && m_sites.size() > kSiteStep) {
            m_sites.resize(m_sites.size() - kSiteStep);
        }
        break;
    }
}

ExpectedPicture ExpectedScene::picture() const {
    ExpectedPicture picture;
    picture.sites = m_sites;
    if (!m_triangulated) {
        return picture;
    }
    const ReferenceTriangulation reference = triangulateByBruteForce(m_sites);
    for (const auto& edge : reference.edges) {
        picture.edges.push_back({m_sites[edge[0]], m_sites[edge[1]]});
    }
    if (m_circlesEnabled) {
        picture.circles = reference.circles;
    }
    return picture;
}

bool drawableUnambiguously(const std::vector<SitePoint>& sites) {
    const double minDistance = kMinSiteDistancePixels / pixelsPerUnit();
    for (std::size_t i = 0; i < sites.size(); ++i) {
        for (std::size_t j = i + 1; j < sites.size(); ++j) {
            if (std::hypot(sites[i].x - sites[j].x, sites[i].y - sites[j].y) < minDistance) {
                return false;
            }
        }
    }
    if (!inGeneralPosition(sites)) {
        return false;
    }
    for (const ReferenceCircle& circle : triangulateByBruteForce(sites).circles) {
        if (circle.radius > kMaxCircleRadius) {
            return false;
        }
    }
    return true;
}

namespace {

bool meets(const std::vector<SitePoint>& sites, FinalSites final) {
    return final == FinalSites::Any || triangulateByBruteForce(sites).hullSize == 3;
}

} // namespace

unsigned findSeed(unsigned first, const std::vector<MenuCommand>& commands, FinalSites final) {
    for (unsigned seed = first; seed < first + 10000; ++seed) {
        ExpectedScene scene(seed);
        bool usable = drawableUnambiguously(scene.sites());
        for (MenuCommand command : commands) {
            if (!usable) {
                break;
            }
            scene.apply(command);
            usable = drawableUnambiguously(scene.sites());
        }
        if (usable && meets(scene.sites(), final)) {
            return seed;
        }
    }
    throw std::runtime_error("no seed gives unambiguous pictures for this scenario");
}

} // namespace e2e
