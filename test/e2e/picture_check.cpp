#include "picture_check.h"

#include "view_projection.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace e2e {

namespace {

// How far (pixels) a stroke's pixels may lie from the ideal line.
constexpr double kStrokeTolerance = 2.5;
// How far from a sample along a stroke its pixels are looked for.
constexpr double kSampleRadius = 2.0;
// Sites are 5 by 5 squares: pixels with centres this close (in both axes)
// to a site's position are certainly covered, and anything within
// kSiteReach of it may be.
constexpr double kSiteCore = 1.5;
constexpr double kSiteReach = 3.5;
// The program draws each circle as a closed outline of this many vertices.
constexpr int kCircleSegments = 50;
constexpr int kMaxReports = 8;

struct Segment {
    PixelPoint a;
    PixelPoint b;
};

double distanceToSegment(PixelPoint p, const Segment& s) {
    const double dx = s.b.u - s.a.u;
    const double dy = s.b.v - s.a.v;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = std::clamp(((p.u - s.a.u) * dx + (p.v - s.a.v) * dy) / lengthSquared, 0.0, 1.0);
    }
    return std::hypot(p.u - (s.a.u + t * dx), p.v - (s.a.v + t * dy));
}

PixelPoint centreOf(int col, int row) {
    return {col + 0.5, row + 0.5};
}

// Cuts a segment to the rectangle [low, high] in both axes (Liang-Barsky);
// false when nothing of it is left.
bool clip(Segment& s, PixelPoint low, PixelPoint high) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double du = s.b.u - s.a.u;
    const double dv = s.b.v - s.a.v;
    const double p[4] = {-du, du, -dv, dv};
    const double q[4] = {s.a.u - low.u, high.u - s.a.u, s.a.v - low.v, high.v - s.a.v};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const Segment whole = s;
    s.a = {whole.a.u + t0 * du, whole.a.v + t0 * dv};
    s.b = {whole.a.u + t1 * du, whole.a.v + t1 * dv};
    return true;
}

// Calls visit(point) at points `step` pixels apart along the part of the
// segment inside the rectangle [low, high].
template <typename Visit>
void walkSegment(Segment s, PixelPoint low, PixelPoint high, double step, Visit visit) {
    if (!clip(s, low, high)) {
        return;
    }
    const double length = std::hypot(s.b.u - s.a.u, s.b.v - s.a.v);
    const int steps = static_cast<int>(length / step);
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        visit(PixelPoint{s.a.u + t * (s.b.u - s.a.u), s.a.v + t * (s.b.v - s.a.v)});
    }
}

// Calls visit(col, row) for the window pixels whose centres lie within
// `radius` of p.
template <typename Visit>
void forPixelsNear(PixelPoint p, double radius, Visit visit) {
    const int colLow = std::max(0, static_cast<int>(std::floor(p.u - radius)));
    const int colHigh = std::min(kWindowWidth - 1, static_cast<int>(std::floor(p.u + radius)));
    const int rowLow = std::max(0, static_cast<int>(std::floor(p.v - radius)));
    const int rowHigh = std::min(kWindowHeight - 1, static_cast<int>(std::floor(p.v + radius)));
    for (int row = rowLow; row <= rowHigh; ++row) {
        for (int col = colLow; col <= colHigh; ++col) {
            const PixelPoint c = centreOf(col, row);
            if (std::hypot(c.u - p.u, c.v - p.v) <= radius) {
                visit(col, row);
            }
        }
    }
}

class Mask {
public:
    Mask() : m_bits(static_cast<std::size_t>(kWindowWidth) * kWindowHeight, false) {}
    void set(int col, int row) { m_bits[index(col, row)] = true; }
    bool operator()(int col, int row) const { return m_bits[index(col, row)]; }

    void markStroke(const Segment& s, double tolerance) {
        const PixelPoint low{-tolerance, -tolerance};
        const PixelPoint high{kWindowWidth + tolerance, kWindowHeight + tolerance};
        walkSegment(s, low, high, 0.5, [&](PixelPoint p) {
            forPixelsNear(p, tolerance + 0.5, [&](int col, int row) {
                if (distanceToSegment(centreOf(col, row), s) <= tolerance) {
                    set(col, row);
                }
            });
        });
    }

private:
    static std::size_t index(int col, int row) {
        return static_cast<std::size_t>(row) * kWindowWidth + static_cast<std::size_t>(col);
    }
    std::vector<bool> m_bits;
};

struct Strokes {
    std::vector<std::vector<Segment>> red;  // one polyline per edge
    std::vector<std::vector<Segment>> blue; // one outline per circle
    std::vector<PixelPoint> sites;
};

std::vector<Segment> circleOutline(const ReferenceCircle& circle) {
    constexpr double kTwoPi = 6.283185307179586;
    std::vector<PixelPoint> corners;
    for (int j = 0; j < kCircleSegments; ++j) {
        const double angle = j * kTwoPi / kCircleSegments;
        corners.push_back(projectToWindow(circle.center.x + circle.radius * std::cos(angle),
                                          circle.center.y + circle.radius * std::sin(angle)));
    }
    std::vector<Segment> outline;
    for (int j = 0; j < kCircleSegments; ++j) {
        outline.push_back({corners[j], corners[(j + 1) % kCircleSegments]});
    }
    return outline;
}

Strokes strokesOf(const ExpectedPicture& expected) {
    Strokes strokes;
    for (const SitePoint& site : expected.sites) {
        strokes.sites.push_back(projectToWindow(site.x, site.y));
    }
    for (const auto& edge : expected.edges) {
        strokes.red.push_back(
            {{projectToWindow(edge[0].x, edge[0].y), projectToWindow(edge[1].x, edge[1].y)}});
    }
    for (const ReferenceCircle& circle : expected.circles) {
        strokes.blue.push_back(circleOutline(circle));
    }
    return strokes;
}

std::string at(int col, int row) {
    std::ostringstream text;
    text << "(" << col << ", " << row << ")";
    return text.str();
}

class Checker {
public:
    Checker(const Image& window, const ExpectedPicture& expected)
        : m_window(window), m_strokes(strokesOf(expected)) {
        for (const auto& polyline : m_strokes.red) {
            for (const Segment& s : polyline) {
                m_nearRed.markStroke(s, kStrokeTolerance);
            }
        }
        for (const auto& outline : m_strokes.blue) {
            for (const Segment& s : outline) {
                m_nearBlue.markStroke(s, kStrokeTolerance);
            }
        }
        for (const PixelPoint& site : m_strokes.sites) {
            forPixelsNear(site, kSiteReach * 1.5, [&](int col, int row) {
                const PixelPoint c = centreOf(col, row);
                if (std::abs(c.u - site.u) <= kSiteReach && std::abs(c.v - site.v) <= kSiteReach) {
                    m_nearSite.set(col, row);
                }
            });
        }
    }

    std::vector<std::string> run() {
        checkEveryPixelIsExplained();
        checkSites();
        checkStrokes(m_strokes.red, Hue::Red, "red edge", 2.0);
        checkStrokes(m_strokes.blue, Hue::Blue, "blue circle", 3.0);
        return m_reports;
    }

private:
    void report(const std::string& text) {
        if (static_cast<int>(m_reports.size()) < kMaxReports) {
            m_reports.push_back(text);
        }
    }

    bool expectedHere(Hue hue, int col, int row) const {
        switch (hue) {
        case Hue::Background:
            return true;
        case Hue::Red:
            return m_nearRed(col, row);
        case Hue::Blue:
            return m_nearBlue(col, row);
        case Hue::Green:
            return m_nearSite(col, row);
        case Hue::Other:
            break;
        }
        return m_nearRed(col, row) || m_nearBlue(col, row) || m_nearSite(col, row);
    }

    // No pixel may show a colour that nothing expected explains.
    void checkEveryPixelIsExplained() {
        constexpr int kHues = static_cast<int>(Hue::Other) + 1;
        int count[kHues] = {};
        std::string first[kHues];
        for (int row = 0; row < kWindowHeight; ++row) {
            for (int col = 0; col < kWindowWidth; ++col) {
                const Hue hue = m_window.hueAt(col, row);
                if (!expectedHere(hue, col, row) && count[static_cast<int>(hue)]++ == 0) {
                    const Rgb p = m_window.at(col, row);
                    first[static_cast<int>(hue)] = at(col, row) + " rgb " + std::to_string(p.r) +
                                                   "," + std::to_string(p.g) + "," +
                                                   std::to_string(p.b);
                }
            }
        }
        for (int hue = 0; hue < kHues; ++hue) {
            if (count[hue] > 0) {
                report(std::to_string(count[hue]) + " unexpected " +
                       hueName(static_cast<Hue>(hue)) + " pixels, the first at " + first[hue]);
            }
        }
    }

    // Every site shows as a green square; stray green is caught above.
    void checkSites() {
        for (const PixelPoint& site : m_strokes.sites) {
            bool covered = true;
            forPixelsNear(site, kSiteCore * 1.5, [&](int col, int row) {
                const PixelPoint c = centreOf(col, row);
                if (std::abs(c.u - site.u) <= kSiteCore && std::abs(c.v - site.v) <= kSiteCore) {
                    covered = covered && m_window.hueAt(col, row) == Hue::Green;
                }
            });
            if (!covered) {
                report("no green site at " +
                       at(static_cast<int>(site.u), static_cast<int>(site.v)));
            }
        }
    }

    bool nearAnySite(PixelPoint p, double distance) const {
        return std::any_of(m_strokes.sites.begin(), m_strokes.sites.end(), [&](PixelPoint s) {
            return std::abs(s.u - p.u) <= distance && std::abs(s.v - p.v) <= distance;
        });
    }

    // Samples along each expected stroke must find its colour close by. A
    // sample may be hidden by something drawn later (sites over everything,
    // circles over edges); such samples are skipped, and a stroke counts as
    // seen only when most of its samples found it.
    void checkStrokes(const std::vector<std::vector<Segment>>& strokes, Hue hue,
                      const std::string& name, double step) {
        const PixelPoint low{kSampleRadius, kSampleRadius};
        const PixelPoint high{kWindowWidth - kSampleRadius, kWindowHeight - kSampleRadius};
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            int found = 0;
            int hidden = 0;
            int missing = 0;
            PixelPoint firstMissing;
            for (const Segment& s : strokes[i]) {
                walkSegment(s, low, high, step, [&](PixelPoint p) {
                    if (nearAnySite(p, kSiteReach + kSampleRadius + 1.0)) {
                        return;
                    }
                    const SampleResult result = sample(p, hue);
                    found += result == SampleResult::Found ? 1 : 0;
                    hidden += result == SampleResult::Hidden ? 1 : 0;
                    if (result == SampleResult::Missing && missing++ == 0) {
                        firstMissing = p;
                    }
                });
            }
            if (missing > 0) {
                report(name + " " + std::to_string(i) + " missing at " + std::to_string(missing) +
                       " places, first near " +
                       at(static_cast<int>(firstMissing.u), static_cast<int>(firstMissing.v)));
            } else if (hidden > found) {
                report(name + " " + std::to_string(i) + " mostly hidden, cannot be told apart");
            }
        }
    }

    enum class SampleResult { Found, Hidden, Missing };

    SampleResult sample(PixelPoint p, Hue hue) const {
        bool found = false;
        bool hidden = false;
        forPixelsNear(p, kSampleRadius, [&](int col, int row) {
            const Hue seen = m_window.hueAt(col, row);
            found = found || seen == hue;
            hidden = hidden || seen == Hue::Green || (hue == Hue::Red && seen == Hue::Blue);
        });
        if (found) {
            return SampleResult::Found;
        }
        return hidden ? SampleResult::Hidden : SampleResult::Missing;
    }

    const Image& m_window;
    Strokes m_strokes;
    Mask m_nearRed;
    Mask m_nearBlue;
    Mask m_nearSite;
    std::vector<std::string> m_reports;
};

} // namespace

std::vector<std::string> pictureDifferences(const Image& window, const ExpectedPicture& expected) {
    if (window.width() != kWindowWidth || window.height() != kWindowHeight) {
        return {"screenshot is " + std::to_string(window.width()) + "x" +
                std::to_string(window.height()) + ", not the window's 800x600"};
    }
    return Checker(window, expected).run();
}

} // namespace e2e
