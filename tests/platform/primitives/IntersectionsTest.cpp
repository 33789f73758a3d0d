// Intersections: every point on both outlines, counts right outside the tangency band,
// far reference points, circle contacts, and the segment cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include <boost/multiprecision/cpp_bin_float.hpp>

#include <Ostrel/Vision/Private/RoundShapes.h>

#include "Reference.h"

using namespace Ostrel::Vision::Private;
using namespace PrimitiveReference;

namespace {

// A crossing is refined to the rounding of the outline: a few ulps of the size off it.
void ExpectOnEllipse(const TarnEllipse& e, Point2D p)
{
    RPoint c;
    EXPECT_LE(static_cast<double>(PointEllipse(e, p, c, 1024)), 1e-14 * std::max(e.RadiusX(), e.RadiusY()));
}

// Offset of the centre of e from the line, and the support of e along the line's normal, in
// 50 digits: the line's point lies up to 1e6 sizes away, and long double (which valgrind
// runs as double) would leave the offset uncertain by more than the gaps tested.
using Wide = boost::multiprecision::cpp_bin_float_50;

Wide LineOffset(const TarnEllipse& e, const Line2D& line)
{
    const Wide ux = line.direction.x, uy = line.direction.y;
    const Wide dx = Wide(e.CenterX()) - line.point.x, dy = Wide(e.CenterY()) - line.point.y;
    return (ux * dy - uy * dx) / sqrt(ux * ux + uy * uy);
}

Wide Support(const TarnEllipse& e, const Line2D& line)
{
    const Wide c = cos(Wide(e.Rotation())), s = sin(Wide(e.Rotation()));
    const Wide len = sqrt(Wide(line.direction.x) * line.direction.x + Wide(line.direction.y) * line.direction.y);
    const Wide nx = Wide(line.direction.y) / len, ny = -Wide(line.direction.x) / len;
    const Wide lx = c * nx + s * ny, ly = c * ny - s * nx, rx = e.RadiusX(), ry = e.RadiusY();
    return sqrt(rx * rx * lx * lx + ry * ry * ly * ly);
}

// An outline point of e with its outward normal.
void OutlinePoint(const TarnEllipse& e, double t, Point2D& p, Point2D& n)
{
    p = e.ToWorld({e.RadiusX() * std::cos(t), e.RadiusY() * std::sin(t)});
    const Point2D nl{e.RadiusY() * std::cos(t), e.RadiusX() * std::sin(t)};
    const Point2D w = e.ToWorld(nl) - Point2D{e.CenterX(), e.CenterY()};
    n = (1 / Length(w)) * w;
}

} // namespace

TEST(Intersections, LineEllipseCountsAndPointsNearTangencyAndFarAway)
{
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (double ratio : {1.0, 1e2, 1e4})
        for (double scale : {1e-3, 1.0, 1e5})
            for (double gap : {-0.5, -1e-9, -1e-11, 1e-11, 1e-9, 0.5})
                for (double far : {0.0, 1e6}) {
                    const TarnEllipse e(scale * unit(rng), scale * unit(rng), scale, scale / ratio,
                                        M_PI * unit(rng));
                    Point2D p, n;
                    OutlinePoint(e, M_PI * unit(rng), p, n);
                    const Point2D tangent{-n.y, n.x};
                    const double size = scale, depth = (std::fabs(gap) > 0.1 ? scale / ratio : size) * gap;
                    const Line2D line{p + depth * n + (far * size) * tangent, tangent};
                    Point2D p1, p2;
                    const int count = e.Intersections(line, p1, p2);
                    const Wide h = abs(LineOffset(e, line)), support = Support(e, line);
                    if (abs(h - support) > 2 * TarnEllipse::kTangencyBand * size) {
                        EXPECT_EQ(count, h < support ? 2 : 0)
                            << "gap " << gap << " ratio " << ratio;
                    }
                    for (int i = 0; i < count; ++i) {
                        const Point2D q = i == 0 ? p1 : p2;
                        ExpectOnEllipse(e, q);
                        EXPECT_LE(std::fabs(SignedLineOffset(line, q)), 1e-10 * size);
                    }
                }
    // Crossings of a segment come from its start to its end; the ends count.
    const TarnEllipse e(0, 0, 2, 1, 0);
    Point2D p1, p2;
    int count = 0;
    EXPECT_TRUE(IntersectEllipseSegment(e, {{3, 0}, {-2, 0}}, count, p1, p2));
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(p1.x, 2, 1e-15);
    EXPECT_NEAR(p2.x, -2, 1e-15);
    EXPECT_TRUE(IntersectCircleSegment({{0, 0}, 1}, {{0, 0}, {0, 1}}, count, p1, p2));
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(IntersectCircleSegment({{0, 0}, 1}, {{0, 0}, {0, 0.5}}, count, p1, p2));
}

TEST(Intersections, CirclesTouchOnlyWithinTheBandAndCrossInOrder)
{
    int n = 0;
    Point2D p1, p2;
    EXPECT_TRUE(IntersectCircleCircle({{0, 0}, 1}, {{2, 0}, 1}, n, p1, p2)); // touching
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(p1 == (Point2D{1, 0}));
    // Circles and lines 1e-8 of the size apart or across are apart or crossing, not touching;
    // 1e-14 apart, within the band, they touch.
    EXPECT_FALSE(IntersectCircleCircle({{0, 0}, 1}, {{2 + 1e-8, 0}, 1}, n, p1, p2));
    EXPECT_TRUE(IntersectCircleCircle({{0, 0}, 1}, {{2 - 1e-8, 0}, 1}, n, p1, p2) && n == 2);
    EXPECT_TRUE(IntersectCircleCircle({{0, 0}, 1}, {{2 + 1e-14, 0}, 1}, n, p1, p2) && n == 1);
    EXPECT_FALSE(IntersectCircleLine({{0, 0}, 1}, {{0, 1 + 1e-8}, {1, 0}}, n, p1, p2));
    EXPECT_TRUE(IntersectCircleLine({{0, 0}, 1}, {{0, 1 - 1e-8}, {1, 0}}, n, p1, p2) && n == 2);
    EXPECT_FALSE(IntersectCircleCircle({{0, 0}, 1}, {{0, 0}, 1}, n, p1, p2)); // coincident
    // Inside contact, the centres a little nearer than the radii's difference (within the
    // tangency band): one point, on the far side.
    EXPECT_TRUE(IntersectCircleCircle({{0, 0}, 2}, {{1 - 1e-13, 0}, 1}, n, p1, p2));
    EXPECT_EQ(n, 1);
    EXPECT_NEAR(p1.x, 2, 1e-12);
    // Two points come in order of x, then y: (0, 1) before (1, 0).
    EXPECT_TRUE(IntersectCircleCircle({{0, 0}, 1}, {{1, 1}, 1}, n, p1, p2));
    ASSERT_EQ(n, 2);
    EXPECT_NEAR(p1.x, 0, 1e-15);
    EXPECT_NEAR(p1.y, 1, 1e-15);
    EXPECT_NEAR(p2.x, 1, 1e-15);
}

// Near tangency the pairs are checked against 50-digit references (TangencyTest.cpp).
TEST(Intersections, EllipsePairsCrossingFourTimesCoincidentAndFlat)
{
    // Four crossings of two centred ellipses, on both outlines.
    const TarnEllipse a(0, 0, 4, 1, 0.3), b(0, 0, 1, 4, 0.3);
    int count = 0;
    Point2D q[4];
    EXPECT_TRUE(IntersectEllipseEllipse(a, b, count, q[0], q[1], q[2], q[3]));
    EXPECT_EQ(count, 4);
    for (const auto& p : q) {
        ExpectOnEllipse(a, p);
        ExpectOnEllipse(b, p);
    }
    EXPECT_FALSE(IntersectEllipseEllipse(a, a, count, q[0], q[1], q[2], q[3])); // coincident
    // A zero-width ellipse through another: each crossing once, first or second, and in
    // order along it when first.
    const TarnEllipse needle(0, 0, 2, 0, 0.3), round(0.1, 0.05, 1, 0.7, 0.2);
    for (bool swap : {false, true}) {
        IntersectEllipseEllipse(swap ? round : needle, swap ? needle : round, count, q[0], q[1], q[2], q[3]);
        ASSERT_EQ(count, 2);
        for (int i = 0; i < count; ++i)
            ExpectOnEllipse(round, q[i]);
        EXPECT_TRUE(swap || needle.ToLocal(q[0]).x < needle.ToLocal(q[1]).x);
    }
}

TEST(Intersections, SegmentPairs)
{
    int n = 0;
    Point2D p;
    EXPECT_TRUE(IntersectSegmentSegment({{0, 0}, {2, 2}}, {{0, 2}, {2, 0}}, &n, &p));
    EXPECT_TRUE(n == 1 && p == (Point2D{1, 1}));
    EXPECT_TRUE(IntersectSegmentSegment({{0, 0}, {2, 0}}, {{2, 0}, {3, 5}}, &n, &p)); // touching ends
    EXPECT_TRUE(n == 1 && p == (Point2D{2, 0}));
    EXPECT_TRUE(IntersectSegmentSegment({{4, 0}, {0, 0}}, {{1, 0}, {6, 0}}, &n, &p)); // overlap
    EXPECT_TRUE(n == -1 && p == (Point2D{4, 0}));
    EXPECT_FALSE(IntersectSegmentSegment({{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, &n, &p));
    EXPECT_EQ(n, 0);
    EXPECT_FALSE(IntersectSegmentSegment({{0, 0}, {1, 0}}, {{2, 0}, {3, 0}}));        // collinear apart
    EXPECT_TRUE(IntersectSegmentSegment({{1, 1}, {1, 1}}, {{0, 0}, {2, 2}}, &n, &p)); // a point on b
    EXPECT_TRUE(n == 1 && p == (Point2D{1, 1}));
}

// Crossings exactly at the seam of an angle parameter (0, ±π, ±π/2 of either outline, or
// the ends of an axis) are found once: no lost root, no duplicate.
TEST(Intersections, CrossingsAtTheSeamOfTheAngleParameterAreFoundOnce)
{
    const auto expectPoints = [](int count, const Point2D* got, std::initializer_list<Point2D> want) {
        ASSERT_EQ(count, static_cast<int>(want.size()));
        for (const Point2D& w : want) // each expected point found exactly once
            EXPECT_EQ(std::count_if(got, got + count, [&](Point2D p) { return Distance(p, w) <= 1e-9; }), 1)
                << "near " << w.x << ", " << w.y;
    };
    for (double rot : {0.0, M_PI / 2, -M_PI / 2, M_PI, -M_PI}) {
        const TarnEllipse a(1, -2, 2, 1, rot);
        const auto at = [&](double x, double y) { return a.ToWorld({x, y}); };
        // b = the conic x²/4 + xy/2 + y² = 1 in a's frame, through the four axis ends of a.
        const double qa = 0.25, qb = 0.5, qc = 1, th = 0.5 * std::atan2(qb, qa - qc);
        const double l1 = qa * std::cos(th) * std::cos(th) + qb * std::cos(th) * std::sin(th) +
                          qc * std::sin(th) * std::sin(th);
        const TarnEllipse b(1, -2, 1 / std::sqrt(l1), 1 / std::sqrt(qa + qc - l1), rot + th);
        Point2D q[4];
        int count = 0;
        IntersectEllipseEllipse(a, b, count, q[0], q[1], q[2], q[3]);
        expectPoints(count, q, {at(2, 0), at(0, 1), at(-2, 0), at(0, -1)});
        IntersectEllipseEllipse(b, a, count, q[0], q[1], q[2], q[3]);
        expectPoints(count, q, {at(2, 0), at(0, 1), at(-2, 0), at(0, -1)});
        // A unit circle through a's end (2, 0) at its own angle -π/2, 0, π or π/2 (by its
        // rotation), crossing there and once more.
        for (double rotB : {0.0, -M_PI / 2, M_PI / 2, M_PI}) {
            const Point2D c = at(2, 1);
            const TarnEllipse circle(c.x, c.y, 1, 1, rot + rotB);
            for (bool swap : {false, true}) {
                IntersectEllipseEllipse(swap ? circle : a, swap ? a : circle, count, q[0], q[1], q[2], q[3]);
                ASSERT_EQ(count, 2) << "rotations " << rot << ", " << rotB;
                EXPECT_EQ(std::count_if(q, q + 2, [&](Point2D p) { return Distance(p, at(2, 0)) <= 1e-9; }),
                          1);
                for (int i = 0; i < count; ++i) {
                    ExpectOnEllipse(a, q[i]);
                    ExpectOnEllipse(circle, q[i]);
                }
            }
            Point2D onA, onB;
            EXPECT_EQ(DistanceEllipseEllipse(a, circle, onA, onB), 0);
        }
        // A line and segments through the axis ends.
        Point2D p[2];
        count = a.Intersections({at(2, 0), at(0, 1) - at(2, 0)}, p[0], p[1]);
        expectPoints(count, p, {at(2, 0), at(0, 1)});
        IntersectEllipseSegment(a, {at(2, 0), at(0, 1)}, count, p[0], p[1]);
        expectPoints(count, p, {at(2, 0), at(0, 1)});
        IntersectEllipseSegment(a, {at(-3, 0.5), at(-2, 0)}, count, p[0], p[1]); // ends on the outline
        expectPoints(count, p, {at(-2, 0)});
        IntersectEllipseSegment(a, {at(0, -1), at(0.5, -3)}, count, p[0], p[1]); // starts on it
        expectPoints(count, p, {at(0, -1)});
    }
}
