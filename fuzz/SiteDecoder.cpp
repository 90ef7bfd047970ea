#include "SiteDecoder.h"

#include "ByteReader.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>

namespace TessaroFuzz {

namespace {

constexpr float kGridStep = 1.0f / 4096.0f;

// Integer points on the circle of radius 25 around the origin: 25^2 is a sum
// of two squares in three ways, so with signs and swaps there are 20 of them.
constexpr std::array<std::array<int, 2>, 20> kCirclePoints{{
    {25, 0},   {0, 25},    {-25, 0}, {0, -25},  {7, 24},   {-7, 24},   {7, -24},
    {-7, -24}, {24, 7},    {-24, 7}, {24, -7},  {-24, -7}, {15, 20},   {-15, 20},
    {15, -20}, {-15, -20}, {20, 15}, {-20, 15}, {20, -15}, {-20, -15},
}};

enum class Op {
    RawPair,
    GridPoint,
    Duplicate,
    Nudge,
    LineOrBlock,
    Cocircular,
    NearCircle,
    Magnify,
};
constexpr int kOpCount = 8;

float finiteOrClamped(float v) {
    if (std::isnan(v)) {
        return 0.0f;
    }
    if (std::isinf(v)) {
        return std::copysign(FLT_MAX, v);
    }
    return v;
}

// A double rounded to float, kept finite: overflow clamps to the largest float.
float toFiniteFloat(double v) {
    if (v >= static_cast<double>(FLT_MAX)) {
        return FLT_MAX;
    }
    if (v <= -static_cast<double>(FLT_MAX)) {
        return -FLT_MAX;
    }
    return static_cast<float>(v);
}

class Decoder {
public:
    explicit Decoder(ByteReader& in) : m_in(in) {}

    void run(FuzzInput& out) {
        const std::uint8_t header = m_in.byte();
        const int nonFiniteCount = header & 3;
        const bool snap = (header & 4) != 0;
        const int snapExponent = header >> 3;
        out.sceneSeed = header;
        while (!m_in.atEnd() && m_sites.size() < kMaxSites) {
            const std::uint8_t op = m_in.byte();
            apply(static_cast<Op>(op % kOpCount), op / kOpCount);
        }
        if (snap) {
            snapToGrid(std::ldexp(1.0, snapExponent - 8));
        }
        out.sites = m_sites;
        addNonFinite(out, nonFiniteCount, header);
    }

private:
    void add(float x, float y) {
        if (m_sites.size() < kMaxSites) {
            m_sites.push_back(SitePoint{x, y});
        }
    }

    float gridCoordinate() { return m_in.int16() * kGridStep; }

    const SitePoint& earlier() {
        if (m_sites.empty()) {
            add(0.0f, 0.0f);
        }
        return m_sites[m_in.byte() % m_sites.size()];
    }

    void apply(Op op, int arg) {
        switch (op) {
        case Op::RawPair: {
            const float x = finiteOrClamped(m_in.rawFloat());
            add(x, finiteOrClamped(m_in.rawFloat()));
            break;
        }
        case Op::GridPoint: {
            const float x = gridCoordinate();
            add(x, gridCoordinate());
            break;
        }
        case Op::Duplicate: {
            const SitePoint s = earlier();
            add(s.x, s.y);
            break;
        }
        case Op::Nudge:
            nudge();
            break;
        case Op::LineOrBlock:
            if (arg & 16) {
                integerBlock(arg);
            } else {
                collinearRun(arg);
            }
            break;
        case Op::Cocircular:
            cocircular();
            break;
        case Op::NearCircle:
            nearCircle(arg);
            break;
        case Op::Magnify:
            magnify();
            break;
        }
    }

    // A copy of an earlier site moved by up to three ulps in each coordinate.
    void nudge() {
        SitePoint s = earlier();
        const int steps = m_in.byte();
        s.x = stepUlps(s.x, steps % 7 - 3);
        s.y = stepUlps(s.y, steps / 7 % 7 - 3);
        add(s.x, s.y);
    }

    static float stepUlps(float v, int ulps) {
        const float toward = ulps < 0 ? -FLT_MAX : FLT_MAX;
        for (int i = 0; i < std::abs(ulps); ++i) {
            v = std::nextafter(v, toward);
        }
        return v;
    }

    // Sites base + i * direction on the 1/4096 grid: exactly collinear.
    void collinearRun(int arg) {
        const float bx = gridCoordinate();
        const float by = gridCoordinate();
        const int dx = static_cast<std::int8_t>(m_in.byte());
        const int dy = static_cast<std::int8_t>(m_in.byte());
        for (int i = 0; i < arg % 16 + 2; ++i) {
            add(bx + static_cast<float>(i * dx) * kGridStep,
                by + static_cast<float>(i * dy) * kGridStep);
        }
    }

    // A small block of integer points scaled by a power of two: full of
    // cocircular quadruples and collinear rows.
    void integerBlock(int arg) {
        const int width = arg % 4 + 2;
        const int height = m_in.byte() % 4 + 2;
        const int exponent = m_in.byte() % 41 - 20;
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                add(std::ldexp(static_cast<float>(i), exponent),
                    std::ldexp(static_cast<float>(j), exponent));
            }
        }
    }

    // A chosen subset of the 20 integer points of a circle, scaled by a power
    // of two and moved to a grid centre: exactly cocircular in float.
    void cocircular() {
        const float cx = gridCoordinate();
        const float cy = gridCoordinate();
        const int exponent = m_in.byte() % 24 - 16;
        const unsigned mask = static_cast<unsigned>(m_in.byte()) |
                              static_cast<unsigned>(m_in.byte()) << 8 |
                              static_cast<unsigned>(m_in.byte() & 0x0f) << 16;
        for (std::size_t i = 0; i < kCirclePoints.size(); ++i) {
            if ((mask >> i) & 1u) {
                add(cx + std::ldexp(static_cast<float>(kCirclePoints[i][0]), exponent),
                    cy + std::ldexp(static_cast<float>(kCirclePoints[i][1]), exponent));
            }
        }
    }

    // Float points computed on a circle and rounded: nearly cocircular, the
    // inputs on which rounded in-circle decisions contradict one another.
    void nearCircle(int arg) {
        const double cx = gridCoordinate();
        const double cy = gridCoordinate();
        const double radius = std::ldexp(1.0 + m_in.byte() / 256.0, m_in.byte() % 40 - 20);
        const double phase = m_in.byte() / 256.0;
        const int count = arg % 16 + 3;
        const double turn = 2.0 * 3.14159265358979323846 / count;
        for (int i = 0; i < count; ++i) {
            const double angle = (i + phase) * turn;
            add(toFiniteFloat(cx + radius * std::cos(angle)),
                toFiniteFloat(cy + radius * std::sin(angle)));
        }
    }

    // A copy of an earlier site scaled by 2^e, e from -128 to 127, clamped to
    // the finite range: extreme magnitudes and subnormals.
    void magnify() {
        const SitePoint s = earlier();
        const int exponent = m_in.byte() - 128;
        add(toFiniteFloat(std::ldexp(static_cast<double>(s.x), exponent)),
            toFiniteFloat(std::ldexp(static_cast<double>(s.y), exponent)));
    }

    void snapToGrid(double step) {
        for (SitePoint& s : m_sites) {
            s.x = toFiniteFloat(std::round(s.x / step) * step);
            s.y = toFiniteFloat(std::round(s.y / step) * step);
        }
    }

    static void addNonFinite(FuzzInput& out, int count, std::uint8_t header) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        const std::array<SitePoint, 6> kinds{
            {{nan, 0.0f}, {0.0f, nan}, {inf, 1.0f}, {-inf, 2.0f}, {nan, nan}, {1.0f, -inf}}};
        for (int i = 0; i < count; ++i) {
            out.nonFinite.push_back(kinds[(header / 4 + i) % kinds.size()]);
        }
    }

    ByteReader& m_in;
    std::vector<SitePoint> m_sites;
};

} // namespace

FuzzInput decodeFuzzInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    FuzzInput out;
    Decoder(in).run(out);
    return out;
}

} // namespace TessaroFuzz
