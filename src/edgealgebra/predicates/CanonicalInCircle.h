#pragma once

#include "predicates/CoordinatePredicates.h"

namespace EdgeAlgebra {

// The in-circle test under a symbolic perturbation that leaves no ties: each
// site is lifted to z = x^2 + y^2 + eps^rank, its rank its place in (x, y)
// order, for an infinitesimal eps > 0. The in-circle determinant is linear in
// each lifted z, so a determinant that is exactly zero takes the sign of its
// eps-term of lowest rank whose cofactor (the orientation of the three other
// sites, signed by the site's place) is not zero. The rule reads only the four
// sites' coordinates, so the triangulation it defines does not depend on which
// other sites are present. Orientation is not perturbed: collinear sites stay
// collinear and the hull is unchanged. Four distinct cocircular sites have no
// three on a line, so there the first term already decides; only four
// collinear sites (or repeated ones) still give 0.
template <typename Coordinate>
struct CanonicalInCircle {
    using Exact = CoordinatePredicates<Coordinate>;

    // Sign of the perturbed in-circle determinant of d against a, b, c:
    // positive when d lies inside the circle through a, b, c taken
    // counterclockwise.
    [[gnu::always_inline]] static int sign(Coordinate ax, Coordinate ay, Coordinate bx,
                                           Coordinate by, Coordinate cx, Coordinate cy,
                                           Coordinate dx, Coordinate dy) {
        const int exact = Exact::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
        return exact != 0 ? exact : tieSign(ax, ay, bx, by, cx, cy, dx, dy);
    }

    // The sign of the perturbation alone, for four sites whose exact
    // determinant is zero. Raising d's lift moves d outside the circle through
    // a, b, c counterclockwise: its cofactor is -orientation(a, b, c). Those of
    // a, b and c follow by swapping rows, the determinant being alternating.
    static int tieSign(Coordinate ax, Coordinate ay, Coordinate bx, Coordinate by, Coordinate cx,
                       Coordinate cy, Coordinate dx, Coordinate dy) {
        struct Lifted {
            Coordinate x, y;
            int cofactor;
        };
        Lifted sites[4] = {
            {ax, ay, Exact::orientation(dx, dy, bx, by, cx, cy)},
            {bx, by, Exact::orientation(ax, ay, dx, dy, cx, cy)},
            {cx, cy, Exact::orientation(ax, ay, bx, by, dx, dy)},
            {dx, dy, -Exact::orientation(ax, ay, bx, by, cx, cy)},
        };
        // The terms in order of rank: insertion sort of four by (x, y).
        for (int i = 1; i < 4; ++i) {
            for (int j = i; j > 0 && precedes(sites[j], sites[j - 1]); --j) {
                const Lifted swapped = sites[j];
                sites[j] = sites[j - 1];
                sites[j - 1] = swapped;
            }
        }
        for (const Lifted& site : sites) {
            if (site.cofactor != 0) {
                return site.cofactor;
            }
        }
        return 0;
    }

private:
    template <typename Lifted>
    static bool precedes(const Lifted& p, const Lifted& q) {
        return p.x < q.x || (p.x == q.x && p.y < q.y);
    }
};

} // namespace EdgeAlgebra
