#include "SiteSets.h"

#include <algorithm>
#include <cmath>
#include <set>

using EdgeAlgebra::Site;

std::vector<float> flat(const Coordinates& coordinates) {
    std::vector<float> coords;
    for (const auto& [x, y] : coordinates) {
        coords.push_back(x);
        coords.push_back(y);
    }
    return coords;
}

SiteSet::SiteSet(const Coordinates& coordinates) {
    for (const auto& [x, y] : coordinates) {
        m_owned.push_back(std::make_unique<Site>(x, y));
        m_sorted.push_back(m_owned.back().get());
    }
    std::sort(m_sorted.begin(), m_sorted.end(), EdgeAlgebra::siteLess);
}

namespace SiteFamilies {

namespace {

constexpr float kGridStep = 1.0f / 4096.0f;
constexpr double kPi = 3.14159265358979323846;

int uniformInt(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Distinct coordinates only: the geometric checks need sites without duplicates.
Coordinates distinct(const Coordinates& coordinates) {
    std::set<std::pair<float, float>> seen;
    Coordinates result;
    for (const auto& c : coordinates) {
        if (seen.insert(c).second) {
            result.push_back(c);
        }
    }
    return result;
}

} // namespace

Coordinates uniformFloats(std::size_t n, std::mt19937& rng) {
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    Coordinates result;
    for (std::size_t i = 0; i < n; ++i) {
        const float x = coordinate(rng);
        result.emplace_back(x, coordinate(rng));
    }
    return result;
}

Coordinates randomGrid(std::size_t n, std::mt19937& rng) {
    std::set<std::pair<float, float>> seen;
    Coordinates result;
    while (result.size() < n) {
        const std::pair<float, float> c(uniformInt(rng, -16384, 16383) * kGridStep,
                                        uniformInt(rng, -16384, 16383) * kGridStep);
        if (seen.insert(c).second) {
            result.push_back(c);
        }
    }
    return result;
}

Coordinates withDuplicates(std::size_t n, int k, std::mt19937& rng) {
    Coordinates result;
    for (std::size_t i = 0; i < n; ++i) {
        result.emplace_back(uniformInt(rng, 0, k - 1) * 0.25f, uniformInt(rng, 0, k - 1) * 0.25f);
    }
    return result;
}

Coordinates collinear(std::size_t n, std::mt19937& rng) {
    const int dx = uniformInt(rng, -3, 3);
    const int dy = dx == 0 ? uniformInt(rng, 1, 3) : uniformInt(rng, -3, 3);
    const int x0 = uniformInt(rng, -100, 100), y0 = uniformInt(rng, -100, 100);
    std::vector<int> steps;
    for (int i = -200; i <= 200; ++i) {
        steps.push_back(i);
    }
    std::shuffle(steps.begin(), steps.end(), rng);
    Coordinates result;
    for (std::size_t i = 0; i < n && i < steps.size(); ++i) {
        result.emplace_back((x0 + dx * steps[i]) * 8 * kGridStep,
                            (y0 + dy * steps[i]) * 8 * kGridStep);
    }
    return result;
}

Coordinates verticalLines(std::size_t n, int lines, std::mt19937& rng) {
    std::set<std::pair<float, float>> seen;
    Coordinates result;
    while (result.size() < n) {
        const std::pair<float, float> c(uniformInt(rng, 0, lines - 1) * 0.5f,
                                        uniformInt(rng, -16384, 16383) * kGridStep);
        if (seen.insert(c).second) {
            result.push_back(c);
        }
    }
    return result;
}

Coordinates lattice(int w, int h) {
    Coordinates result;
    for (int i = 0; i < w; ++i) {
        for (int j = 0; j < h; ++j) {
            result.emplace_back(i * 0.25f, j * 0.25f);
        }
    }
    return result;
}

namespace {

void addLatticeCircle(int radius, Coordinates& result) {
    for (int x = -radius; x <= radius; ++x) {
        const int ySquared = radius * radius - x * x;
        const int y = static_cast<int>(std::lround(std::sqrt(static_cast<double>(ySquared))));
        if (y * y == ySquared) {
            result.emplace_back(x * kGridStep, y * kGridStep);
            result.emplace_back(x * kGridStep, -y * kGridStep);
        }
    }
}

} // namespace

Coordinates concentricCircles() {
    Coordinates result{{0.0f, 0.0f}};
    for (const int radius : {65, 325, 1105}) {
        addLatticeCircle(radius, result);
    }
    return distinct(result);
}

Coordinates exactCircle(bool withCentre) {
    constexpr int kRadius = 1105; // 5 * 13 * 17: many lattice points on the circle
    Coordinates result;
    addLatticeCircle(kRadius, result);
    if (withCentre) {
        result.emplace_back(0.0f, 0.0f);
    }
    return distinct(result);
}

Coordinates floatCircle(std::size_t n, double radius, double phase) {
    Coordinates result;
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = phase + 2.0 * kPi * static_cast<double>(i) / static_cast<double>(n);
        result.emplace_back(static_cast<float>(radius * std::cos(angle)),
                            static_cast<float>(radius * std::sin(angle)));
    }
    return distinct(result);
}

} // namespace SiteFamilies
