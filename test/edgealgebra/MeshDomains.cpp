#include "MeshDomains.h"

#include <cmath>

namespace MeshDomains {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Appends a closed ring of points to the domain, joined by segments.
void addRing(Domain& domain, const std::vector<double>& ring) {
    const auto first = static_cast<std::uint32_t>(domain.coords.size() / 2);
    const auto n = static_cast<std::uint32_t>(ring.size() / 2);
    domain.coords.insert(domain.coords.end(), ring.begin(), ring.end());
    for (std::uint32_t k = 0; k < n; ++k) {
        domain.segments.insert(domain.segments.end(), {first + k, first + (k + 1) % n});
    }
}

std::vector<double> regularPolygon(double cx, double cy, double r, int sides) {
    std::vector<double> ring;
    for (int k = 0; k < sides; ++k) {
        ring.push_back(cx + r * std::cos(2 * kPi * k / sides));
        ring.push_back(cy + r * std::sin(2 * kPi * k / sides));
    }
    return ring;
}

} // namespace

Domain plate(int sides) {
    Domain domain;
    addRing(domain, {0, 0, 1, 0, 1, 1, 0, 1});
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double cx = 0.1 + 0.2 * i, cy = 0.125 + 0.25 * j;
            addRing(domain, regularPolygon(cx, cy, 0.06, sides));
            domain.holes.insert(domain.holes.end(), {cx, cy});
        }
    }
    return domain;
}

Domain comb(int teeth, double toothDegrees) {
    const double height = 0.5 / std::tan(toothDegrees * kPi / 360);
    std::vector<double> ring{0, 0, static_cast<double>(teeth), 0};
    for (int k = teeth; k > 0; --k) {
        ring.insert(ring.end(), {static_cast<double>(k), 1.0, k - 0.5, 1.0 + height});
    }
    ring.insert(ring.end(), {0.0, 1.0});
    Domain domain;
    addRing(domain, ring);
    return domain;
}

Domain coastline(int levels) {
    std::vector<double> ring = regularPolygon(0, 0, 1, 3);
    for (int level = 0; level < levels; ++level) {
        std::vector<double> finer;
        const std::size_t n = ring.size() / 2;
        for (std::size_t k = 0; k < n; ++k) {
            const double ax = ring[2 * k], ay = ring[2 * k + 1];
            const double bx = ring[2 * ((k + 1) % n)], by = ring[2 * ((k + 1) % n) + 1];
            const double dx = (bx - ax) / 3, dy = (by - ay) / 3;
            // The middle third replaced by two sides of an outward triangle
            // (the ring runs counterclockwise, so outward is to the right).
            const double mx = ax + 1.5 * dx + dy * std::sqrt(3.0) / 2;
            const double my = ay + 1.5 * dy - dx * std::sqrt(3.0) / 2;
            finer.insert(finer.end(), {ax, ay, ax + dx, ay + dy, mx, my, ax + 2 * dx, ay + 2 * dy});
        }
        ring = std::move(finer);
    }
    Domain domain;
    addRing(domain, ring);
    return domain;
}

Domain randomPolygonWithHoles(std::size_t n, std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> angles;
    for (std::size_t k = 0; k < n; ++k) {
        angles.push_back(2 * kPi * (k + 0.8 * unit(rng)) / static_cast<double>(n));
    }
    std::vector<double> ring;
    for (const double a : angles) {
        const double r = 0.6 + 0.4 * unit(rng);
        ring.insert(ring.end(), {r * std::cos(a), r * std::sin(a)});
    }
    Domain domain;
    addRing(domain, ring);
    const int holes = static_cast<int>(unit(rng) * 4);
    for (int h = 0; h < holes; ++h) {
        // Squares of side 0.1 in disjoint sectors of the disc of radius 0.45.
        const double a = 2 * kPi * (h + 0.5) / 3, r = 0.3 * unit(rng) + 0.1;
        const double cx = r * std::cos(a), cy = r * std::sin(a);
        addRing(domain, regularPolygon(cx, cy, 0.07, 4));
        domain.holes.insert(domain.holes.end(), {cx, cy});
    }
    return domain;
}

Domain wedge(double degrees) {
    const double a = degrees * kPi / 180;
    Domain domain;
    addRing(domain, {0, 0, 1, 0, std::cos(a), std::sin(a)});
    return domain;
}

} // namespace MeshDomains
