#include "VerticalCuts.h"

#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <algorithm>

namespace EdgeAlgebra {

void VerticalCuts::triangulate(std::vector<Site*>& sites, QuadEdge** leftEdge,
                               QuadEdge** rightEdge) {
    if (sites.size() >= 2) {
        divideAndConquer(sites, 0, static_cast<int>(sites.size()), leftEdge, rightEdge);
    }
}

inline bool VerticalCuts::isValid(QuadEdge* e, QuadEdge* basel) {
    return e->dest()->rightOf(basel);
}

void VerticalCuts::divideAndConquer(std::vector<Site*>& sites, int lo, int hi, QuadEdge** le,
                                    QuadEdge** re) {
    if (hi <= lo + 3) {
        // The leaves run left to right: fetch the sites of the leaves a few
        // steps ahead now, as the caller's sites lie scattered in memory.
        constexpr int kPrefetchAhead = 16;
        const int end = std::min(hi + kPrefetchAhead, static_cast<int>(sites.size()));
        for (int i = lo + kPrefetchAhead; i < end; ++i) {
            __builtin_prefetch(sites[static_cast<std::size_t>(i)]);
        }
    }
    if (hi == lo + 2) {
        QuadEdge* a = new QuadEdge;
        a->setOrg(sites[lo]);
        a->setDest(sites[lo + 1]);
        *le = a;
        *re = a->sym();
        return;
    }
    if (hi == lo + 3) {
        Site* s1 = sites[lo];
        Site* s2 = sites[lo + 1];
        Site* s3 = sites[lo + 2];
        QuadEdge* a = new QuadEdge;
        QuadEdge* b = new QuadEdge;
        a->sym()->splice(b);
        a->setOrg(s1);
        a->setDest(s2);
        b->setOrg(s2);
        b->setDest(s3);
        if (s1->ccw(s2, s3)) {
            b->connect(a);
            *le = a;
            *re = b->sym();
        } else if (s1->ccw(s3, s2)) {
            QuadEdge* c = b->connect(a);
            *le = c->sym();
            *re = c;
        } else {
            *le = a;
            *re = b->sym();
        }
        return;
    }

    QuadEdge* ldo = nullptr;
    QuadEdge* ldi = nullptr;
    QuadEdge* rdi = nullptr;
    QuadEdge* rdo = nullptr;
    const int mid = (lo + hi) / 2;
    divideAndConquer(sites, lo, mid, &ldo, &ldi);
    divideAndConquer(sites, mid, hi, &rdi, &rdo);

    // Lower common tangent of the two halves.
    for (;;) {
        if (rdi->org()->leftOf(ldi)) {
            ldi = ldi->lnext();
        } else if (ldi->org()->rightOf(rdi)) {
            rdi = rdi->rprev();
        } else {
            break;
        }
    }

    QuadEdge* basel = rdi->sym()->connect(ldi);
    if (ldi->org() == ldo->org()) {
        ldo = basel->sym();
    }
    if (rdi->org() == rdo->org()) {
        rdo = basel;
    }

    // Merge: zip the halves together from the tangent upwards, deleting (and
    // freeing at once) every edge whose circle holds the next candidate. A
    // candidate's validity is tested again after its deletion loop only if the
    // loop replaced it: the same test on the same edge gives the same answer.
    for (;;) {
        Site* baseOrg = basel->org();
        Site* baseDest = basel->dest();
        QuadEdge* lcand = basel->sym()->onext();
        bool lvalid = isValid(lcand, basel);
        if (lvalid) {
            bool replaced = false;
            while (lcand->onext()->dest()->inCircle(baseDest, baseOrg, lcand->dest())) {
                QuadEdge* t = lcand->onext();
                lcand->deleteEdge();
                delete lcand->canonical();
                lcand = t;
                replaced = true;
            }
            if (replaced) {
                lvalid = isValid(lcand, basel);
            }
        }
        QuadEdge* rcand = basel->oprev();
        bool rvalid = isValid(rcand, basel);
        if (rvalid) {
            bool replaced = false;
            while (rcand->oprev()->dest()->inCircle(baseDest, baseOrg, rcand->dest())) {
                QuadEdge* t = rcand->oprev();
                rcand->deleteEdge();
                delete rcand->canonical();
                rcand = t;
                replaced = true;
            }
            if (replaced) {
                rvalid = isValid(rcand, basel);
            }
        }
        if (!lvalid && !rvalid) {
            break;
        }
        if (!lvalid ||
            (rvalid && rcand->dest()->inCircle(lcand->dest(), lcand->org(), rcand->org()))) {
            basel = rcand->connect(basel->sym());
        } else {
            basel = basel->sym()->connect(lcand->sym());
        }
    }

    *le = ldo;
    *re = rdo;
}

} // namespace EdgeAlgebra
