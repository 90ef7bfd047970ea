#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <gtest/gtest.h>

#include <exception>
#include <vector>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace {

// All four records of a quad and the onext of each, to compare whole states.
std::vector<QuadEdge*> ringState(const std::vector<QuadEdge*>& quads) {
    std::vector<QuadEdge*> state;
    for (QuadEdge* q : quads) {
        QuadEdge* r = q;
        for (int i = 0; i < 4; ++i, r = r->rot()) {
            state.push_back(r->onext());
        }
    }
    return state;
}

bool isIsolated(QuadEdge* e) {
    return e->onext() == e && e->sym()->onext() == e->sym() && e->rot()->onext() == e->invRot() &&
           e->invRot()->onext() == e->rot();
}

TEST(QuadEdge, FreshQuadIsAnIsolatedEdge) {
    QuadEdge* e = new QuadEdge;
    EXPECT_TRUE(isIsolated(e));
    EXPECT_EQ(e->org(), nullptr);
    EXPECT_EQ(e->dest(), nullptr);
    EXPECT_EQ(e->oprev(), e);
    EXPECT_EQ(e->lnext(), e->sym());
    EXPECT_EQ(e->rprev(), e->sym());
    delete e;
}

TEST(QuadEdge, RotationAlgebraHoldsForEveryRecord) {
    QuadEdge* e = new QuadEdge;
    for (QuadEdge* r : {e, e->rot(), e->sym(), e->invRot()}) {
        EXPECT_EQ(r->rot()->rot(), r->sym());
        EXPECT_EQ(r->rot()->rot()->rot()->rot(), r);
        EXPECT_EQ(r->invRot()->rot(), r);
        EXPECT_EQ(r->rot()->invRot(), r);
        EXPECT_EQ(r->sym()->sym(), r);
        EXPECT_EQ(r->canonical(), e);
    }
    EXPECT_NE(e->rot(), e);
    EXPECT_NE(e->sym(), e->rot());
    delete e;
}

TEST(QuadEdge, SpliceTwiceRestoresTheRings) {
    QuadEdge* a = new QuadEdge;
    QuadEdge* b = new QuadEdge;
    QuadEdge* c = new QuadEdge;
    a->splice(b);
    a->sym()->splice(c);
    const std::vector<QuadEdge*> before = ringState({a, b, c});
    b->splice(a->sym());
    EXPECT_NE(ringState({a, b, c}), before);
    b->splice(a->sym());
    EXPECT_EQ(ringState({a, b, c}), before);
    for (QuadEdge* q : {a, b, c}) {
        delete q;
    }
}

TEST(QuadEdge, ConnectClosesATriangleAndDeleteIsolatesAnEdge) {
    Site p(0, 0), q(1, 0), r(0, 1);
    QuadEdge* a = new QuadEdge;
    QuadEdge* b = new QuadEdge;
    a->setOrg(&p);
    a->setDest(&q);
    b->setOrg(&q);
    b->setDest(&r);
    a->sym()->splice(b);
    QuadEdge* c = b->connect(a);
    EXPECT_EQ(c->org(), &r);
    EXPECT_EQ(c->dest(), &p);
    EXPECT_EQ(a->lnext(), b);
    EXPECT_EQ(b->lnext(), c);
    EXPECT_EQ(c->lnext(), a);
    EXPECT_EQ(a->rprev()->rprev()->rprev(), a) << "right face is the outer triangle";
    EXPECT_EQ(a->rot()->oprev()->invRot(), a->rprev());

    b->deleteEdge();
    EXPECT_TRUE(isIsolated(b));
    EXPECT_EQ(b->org(), &q) << "sites stay set";
    for (QuadEdge* next : ringState({a, c})) {
        EXPECT_NE(next->canonical(), b) << "a ring still points into the deleted quad";
    }
    for (QuadEdge* e : {a, b, c}) {
        delete e->canonical();
    }
}

TEST(QuadEdge, NullArgumentsThrowBeforeAnyChange) {
    QuadEdge* a = new QuadEdge;
    QuadEdge* b = new QuadEdge;
    a->splice(b);
    const std::vector<QuadEdge*> before = ringState({a, b});
    EXPECT_THROW(a->splice(nullptr), std::exception);
    EXPECT_THROW(a->setNext(nullptr), std::exception);
    EXPECT_THROW(b->rot()->setNext(nullptr), std::exception);
    EXPECT_EQ(ringState({a, b}), before);
    delete a;
    delete b;
}

TEST(QuadEdge, LiveCountFollowsMakeEdgeAndDelete) {
    const std::size_t before = QuadEdge::liveCount();
    QuadEdge* a = new QuadEdge;
    QuadEdge* b = a->connect(a->sym());
    EXPECT_EQ(QuadEdge::liveCount(), before + 2);
    delete b->sym()->canonical();
    delete a;
    EXPECT_EQ(QuadEdge::liveCount(), before);
}

} // namespace
