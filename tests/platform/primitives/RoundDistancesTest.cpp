// Line, segment, circle and ellipse distances: against long double references, the
// out-point order, the symmetry of circle pairs and the inside rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>

#include "Reference.h"

using namespace Ostrel::Vision::Private;
using namespace PrimitiveReference;

namespace {

// Distance between a line and an ellipse outline that it misses: the smallest |offset| of
// the outline from the line, by sampling and bisection of the offset's derivative.
Real LineEllipseReference(const TarnEllipse& e, const Line2D& line)
{
    const Real len = std::hypot(static_cast<Real>(line.direction.x), static_cast<Real>(line.direction.y));
    const Real nx = -line.direction.y / len, ny = line.direction.x / len;
    const Real c = std::cos(static_cast<Real>(e.Rotation())), s = std::sin(static_cast<Real>(e.Rotation()));
    const auto offset = [&](Real t) {
        const RPoint w = World(e, {e.RadiusX() * std::cos(t), e.RadiusY() * std::sin(t)});
        return std::fabs(nx * (w.x - line.point.x) + ny * (w.y - line.point.y));
    };
    const auto slope = [&](Real t) { // derivative of the offset, up to its sign
        const Real dx = -e.RadiusX() * std::sin(t), dy = e.RadiusY() * std::cos(t);
        return nx * (c * dx - s * dy) + ny * (s * dx + c * dy);
    };
    Real best = INFINITY, bestT = 0;
    for (int i = 0; i < 4096; ++i)
        if (offset(i * M_PI / 2048) < best)
            best = offset(i * M_PI / 2048), bestT = i * M_PI / 2048;
    Real lo = bestT - M_PI / 2048, hi = bestT + M_PI / 2048;
    const bool rising = slope(lo) < 0;
    for (int k = 0; k < 70; ++k) {
        const Real mid = (lo + hi) / 2;
        ((slope(mid) < 0) == rising ? lo : hi) = mid;
    }
    return std::min(best, offset((lo + hi) / 2));
}

} // namespace

TEST(RoundDistances, LineAndSegmentToEllipseMatchReference)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (double ratio : {1.0, 30.0, 1e4})
        for (double scale : {1e-3, 1.0, 1e5})
            for (int k = 0; k < 3; ++k) {
                const TarnEllipse e(scale * unit(rng), scale * unit(rng), scale, scale / ratio,
                                    M_PI * unit(rng));
                const double phi = M_PI * unit(rng);
                const Point2D n{std::cos(phi), std::sin(phi)};
                // A line a little beyond the support in direction n.
                Point2D touch, onLine, onEllipse;
                double h = 0;
                {
                    const Point2D probe{e.CenterX() + 10 * scale * n.x, e.CenterY() + 10 * scale * n.y};
                    Point2D c;
                    e.DistanceToPoint(probe, c);
                    h = Dot(c - Point2D{e.CenterX(), e.CenterY()}, n);
                }
                const double gap = scale * (k == 0 ? 1e-6 : 0.3);
                const Point2D base{e.CenterX() + (2 * h + gap) * n.x, e.CenterY() + (2 * h + gap) * n.y};
                const Line2D line{base + 1e3 * scale * Point2D{-n.y, n.x}, {-n.y, n.x}};
                const double d = DistanceEllipseLine(e, line, onLine, onEllipse);
                const Real ref = LineEllipseReference(e, line);
                EXPECT_LE(std::fabs(d - ref), 1e-10 * scale);
                RPoint c;
                EXPECT_LE(PointEllipse(e, onEllipse, c), 1e-10 * scale); // on the outline
                EXPECT_NEAR(std::fabs(SignedLineOffset(line, onLine)), 0, 1e-10 * scale);
                // The segment through the line's closest point has the same distance; a
                // segment ending short of it measures from its end.
                const Point2D along = Point2D{-n.y, n.x};
                Point2D onSeg, onE2;
                EXPECT_NEAR(
                    DistanceEllipseSegment(e, {onLine - scale * along, onLine + scale * along}, onSeg, onE2),
                    d, 1e-10 * scale);
                const Segment2D shortSeg{onLine + scale * along, onLine + 2 * scale * along};
                RPoint ignored;
                EXPECT_NEAR(DistanceEllipseSegment(e, shortSeg, onSeg, onE2),
                            static_cast<double>(PointEllipse(e, shortSeg.start, ignored)), 1e-10 * scale);
            }
}

// Distances and crossings of circle pairs do not depend on the argument order; the points
// lie on the outlines.
TEST(RoundDistances, CirclePairsAreSymmetricInDistanceAndCrossings)
{
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 300; ++i) {
        const Circle2D a{{unit(rng), unit(rng)}, 1 + unit(rng)}, b{{unit(rng) * 2, unit(rng)}, 1 + unit(rng)};
        Point2D a1, b1, a2, b2;
        const double d1 = DistanceCircleCircle(a, b, a1, b1), d2 = DistanceCircleCircle(b, a, b2, a2);
        EXPECT_EQ(d1, d2);
        EXPECT_TRUE(a1 == a2 && b1 == b2);
        EXPECT_NEAR(Distance(a1, a.center), a.radius, 1e-14);
        EXPECT_NEAR(Distance(b1, b.center), b.radius, 1e-14);
        EXPECT_NEAR(Distance(a1, b1), d1, 1e-14);
        int n1 = 0, n2 = 0;
        Point2D p1[2], p2[2];
        IntersectCircleCircle(a, b, n1, p1[0], p1[1]);
        IntersectCircleCircle(b, a, n2, p2[0], p2[1]);
        ASSERT_EQ(n1, n2);
        for (int k = 0; k < n1; ++k) {
            EXPECT_TRUE(p1[k] == p2[k]);
            EXPECT_NEAR(Distance(p1[k], a.center), a.radius, 1e-13);
            EXPECT_NEAR(Distance(p1[k], b.center), b.radius, 1e-13);
        }
    }
    Point2D p, q;
    EXPECT_DOUBLE_EQ(DistanceCircleCircle({{0, 0}, 5}, {{1, 0}, 1}, p, q), 3); // nested
    EXPECT_TRUE(p == (Point2D{5, 0}) && q == (Point2D{2, 0}));
    EXPECT_DOUBLE_EQ(DistanceCircleCircle({{0, 0}, 1}, {{0, 0}, 3}, p, q), 2); // concentric: +x
    EXPECT_TRUE(p == (Point2D{1, 0}) && q == (Point2D{3, 0}));
}

TEST(RoundDistances, SegmentsInsideAndAcrossMeasureToTheOutline)
{
    Point2D s, c;
    // Wholly inside: the farther end, positive distance to the outline.
    EXPECT_DOUBLE_EQ(DistanceCircleSegment({{0, 0}, 10}, {{1, 0}, {-4, 0}}, s, c), 6);
    EXPECT_TRUE(s == (Point2D{-4, 0}) && c == (Point2D{-10, 0}));
    const TarnEllipse e(0, 0, 10, 5, 0);
    EXPECT_NEAR(DistanceEllipseSegment(e, {{0, 1}, {0, -2}}, s, c), 3, 1e-15); // nearer end (0, -2)
    EXPECT_TRUE(s == (Point2D{0, -2}));
    // Crossing: 0 at the first crossing from the start; touching the line: 0.
    EXPECT_EQ(DistanceCircleSegment({{0, 0}, 1}, {{-3, 0}, {0, 0}}, s, c), 0);
    EXPECT_NEAR(s.x, -1, 1e-15);
    EXPECT_EQ(DistanceCircleLine({{0, 0}, 1}, {{5, 1}, {1, 0}}, s, c), 0);
    // Outside: the line's foot and the circle point towards it; the order is line first.
    EXPECT_DOUBLE_EQ(DistanceCircleLine({{0, 0}, 1}, {{5, 3}, {-2, 0}}, s, c), 2);
    EXPECT_TRUE(s == (Point2D{0, 3}) && c == (Point2D{0, 1}));
    EXPECT_DOUBLE_EQ(DistanceCirclePoint({{1, 1}, 2}, {1, 1}, c), 2); // centre: +x
    EXPECT_TRUE(c == (Point2D{3, 1}));
    EXPECT_THROW(DistanceCircleLine({{0, 0}, 1}, {{0, 0}, {0, 0}}, s, c), PrimitiveFailure);
    EXPECT_THROW(DistanceCirclePoint({{0, 0}, -1}, {0, 0}, c), PrimitiveFailure);
}

TEST(RoundDistances, EllipsePairDistanceKeepsItsDigitsFarFromTheOrigin)
{
    // World points 1e7 from the origin round to 2e-9; the distance must not. The pairs are
    // made there and moved to the origin, which subtracts exactly.
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> unit(-1, 1);
    const auto far = [](double x, double y, double rx, double ry, double rotation) {
        return TarnEllipse(x + 1e7, y - 1e7, rx, ry, rotation);
    };
    const auto home = [](const TarnEllipse& e) {
        return TarnEllipse(e.CenterX() - 1e7, e.CenterY() + 1e7, e.RadiusX(), e.RadiusY(), e.Rotation());
    };
    for (int i = 0; i < 20; ++i) {
        const TarnEllipse outer = far(0, 0, 1.5 + 0.5 * unit(rng), 0.5 + 0.4 * unit(rng), M_PI * unit(rng));
        const TarnEllipse inner =
            far(0.2 * unit(rng), 0.1 * unit(rng), 0.1 + 0.05 * unit(rng), 0.02, M_PI * unit(rng));
        const TarnEllipse apart = far(3 + unit(rng), unit(rng), 0.7, 0.1, M_PI * unit(rng));
        Point2D p, q;
        EXPECT_NEAR(DistanceEllipseEllipse(inner, outer, p, q),
                    DistanceEllipseEllipse(home(inner), home(outer), p, q), 1e-14);
        EXPECT_NEAR(DistanceEllipseEllipse(outer, apart, p, q),
                    DistanceEllipseEllipse(home(outer), home(apart), p, q), 1e-14);
    }
}

TEST(RoundDistances, EllipsePairsMatchSampledReference)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> unit(-1, 1);
    const auto check = [&](const TarnEllipse& a, const TarnEllipse& b, double scale) {
        Point2D onA, onB;
        const double d = DistanceEllipseEllipse(a, b, onA, onB);
        // Reference: the outline of a sampled finely, each point measured to b, the best refined.
        Real best = INFINITY;
        const auto at = [&](Real t) {
            const RPoint x = World(a, {a.RadiusX() * std::cos(t), a.RadiusY() * std::sin(t)});
            RPoint c;
            return PointEllipse(b, {static_cast<double>(x.x), static_cast<double>(x.y)}, c, 1024);
        };
        std::array<Real, 256> sampled;
        for (int k = 0; k < 256; ++k)
            sampled[static_cast<std::size_t>(k)] = at(k * M_PI / 128);
        // Every sampled local minimum refined: nested pairs may have several close in value.
        for (int k = 0; k < 256; ++k) {
            const Real v = sampled[static_cast<std::size_t>(k)];
            if (v > sampled[static_cast<std::size_t>((k + 255) % 256)] ||
                v > sampled[static_cast<std::size_t>((k + 1) % 256)])
                continue;
            Real lo = (k - 1) * M_PI / 128, hi = (k + 1) * M_PI / 128;
            for (int i = 0; i < 60; ++i) {
                const Real m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
                if (at(m1) < at(m2))
                    hi = m2;
                else
                    lo = m1;
            }
            best = std::min({best, v, at((lo + hi) / 2)});
        }
        EXPECT_LE(std::fabs(d - best), 1e-10 * scale);
        RPoint c;
        EXPECT_LE(PointEllipse(a, onA, c), 1e-10 * scale);
        EXPECT_LE(PointEllipse(b, onB, c), 1e-10 * scale);
        EXPECT_NEAR(Distance(onA, onB), d, 1e-12 * scale);
    };
    for (int i = 0; i < 12; ++i) {
        const double scale = i % 3 == 0 ? 1e-3 : (i % 3 == 1 ? 1.0 : 1e4);
        const TarnEllipse a(0, 0, scale, scale / (1 + 20 * (1 + unit(rng))), M_PI * unit(rng));
        const TarnEllipse b(scale * (3 + unit(rng)), scale * unit(rng), scale * 0.7, scale * 0.2,
                            M_PI * unit(rng));
        check(a, b, scale);
    }
    for (int i = 0; i < 12; ++i) {
        // Nested: a random ellipse (down to 1e-3 wide) inside another, at a random share of
        // the room around its centre, the smaller one given first (the reference samples it).
        const double scale = i % 3 == 0 ? 1e-3 : (i % 3 == 1 ? 1.0 : 1e4);
        const TarnEllipse outer(0, 0, scale, scale * std::pow(10.0, -2 * (1 + unit(rng))), M_PI * unit(rng));
        const Point2D c = outer.ToWorld({0.8 * scale * unit(rng), 0.8 * outer.RadiusY() * unit(rng)});
        Point2D near;
        const double room = outer.DistanceToPoint(c, near) * (0.5 + 0.49 * unit(rng));
        check(TarnEllipse(c.x, c.y, room, room * std::pow(10.0, -1.5 * (1 + unit(rng))), M_PI * unit(rng)),
              outer, scale);
    }
    // A needle inside a near circle with the nearest pair right beside the sharp turn of the
    // needle's support (its two ends nearly equally near); two thin ellipses side by side,
    // 1e-9 apart, whose centre line runs along them.
    check(TarnEllipse(-2.8645065847657354, -0.99949185915800076, 0.20948872891532513, 0.0070833103851249066,
                      1.9304725934417908),
          TarnEllipse(0, 0, 3.8313660811690378, 3.6234806146846923, 2.0730250657517075), 3.83);
    check(TarnEllipse(0, 0, 1, 1e-4, 0.3),
          TarnEllipse(0.5 * std::cos(0.3) - (2e-4 + 1e-9) * std::sin(0.3),
                      0.5 * std::sin(0.3) + (2e-4 + 1e-9) * std::cos(0.3), 1, 1e-4, 0.3),
          1);
    // The tip of a thin needle (tip radius 1e-8 of the size) 5e-6 from the side of a flat
    // ellipse: the sharpest turn of a parameter near the minimum.
    check(TarnEllipse(0.167298, 0.0412735, 2.76929, 0.0128504, 0.633204),
          TarnEllipse(-0.249337, -0.281259, 3.97601e-05, 0.117342, 2.21043), 2.76929);
}
