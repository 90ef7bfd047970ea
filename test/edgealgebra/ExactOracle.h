#pragma once

#include "edgealgebra/Site.h"

#include <gmpxx.h>

#include <vector>

// Exact reference geometry for the tests, written independently of the core:
// orientation and the classic 3x3 in-circle determinant. Sites on the grid of
// multiples of 1/4096 are decided in 128-bit integers; any other floats as
// exact rationals (every float is a dyadic rational).
class ExactOracle {
public:
    // Chooses integer arithmetic when every site is on the 1/4096 grid.
    explicit ExactOracle(const std::vector<EdgeAlgebra::Site*>& sites);

    // > 0 when a, b, c turn counterclockwise, 0 when collinear.
    int orientation(const EdgeAlgebra::Site& a, const EdgeAlgebra::Site& b,
                    const EdgeAlgebra::Site& c) const;
    // > 0 when d lies strictly inside the circle through a, b, c taken
    // counterclockwise.
    int inCircle(const EdgeAlgebra::Site& a, const EdgeAlgebra::Site& b, const EdgeAlgebra::Site& c,
                 const EdgeAlgebra::Site& d) const;
    // Twice the signed area of a, b, c.
    static mpq_class doubleArea(const EdgeAlgebra::Site& a, const EdgeAlgebra::Site& b,
                                const EdgeAlgebra::Site& c);

    bool onGrid() const { return m_onGrid; }

private:
    bool m_onGrid;
};

// Signs of the exact determinants, rational arithmetic only.
int exactOrientationSign(const EdgeAlgebra::Site& a, const EdgeAlgebra::Site& b,
                         const EdgeAlgebra::Site& c);
int exactInCircleSign(const EdgeAlgebra::Site& a, const EdgeAlgebra::Site& b,
                      const EdgeAlgebra::Site& c, const EdgeAlgebra::Site& d);

// The same for points in double precision.
struct PointD {
    double x;
    double y;
};
int exactOrientationSign(const PointD& a, const PointD& b, const PointD& c);
int exactInCircleSign(const PointD& a, const PointD& b, const PointD& c, const PointD& d);
// Sign of |q - a|^2 - |q - b|^2, in rationals.
int exactDistanceOrder(const PointD& q, const PointD& a, const PointD& b);

// The in-circle sign under the symbolic perturbation that makes the
// triangulation canonical: the sites lifted to (x, y, x^2 + y^2 + eps^rank,
// 1), ranked in (x, y) order, and the 4x4 determinant expanded along the
// lifted column; zero only for four collinear or repeated points.
int canonicalInCircleSign(const PointD& a, const PointD& b, const PointD& c, const PointD& d);

// Whether the closed circumscribed disk of the triangle a, b, c lies in the
// closed box [xmin, xmax] x [ymin, ymax].
bool circumdiskInBox(const PointD& a, const PointD& b, const PointD& c, double xmin, double ymin,
                     double xmax, double ymax);
