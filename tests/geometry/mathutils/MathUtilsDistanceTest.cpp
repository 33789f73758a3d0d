#include <cmath>
#include <functional>
#include <numbers>

#include <gtest/gtest.h>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>

#include "MathUtilsTestSupport.h"

namespace Ostrel::Vision::Geometry {
namespace {

using namespace Testing;
constexpr double kPi = std::numbers::pi;

// Value of the implicit form of an axis-aligned ellipse at (x, y): 1 on the outline.
double OnAxisEllipse(double x, double y, double cx, double cy, double rx, double ry)
{
    return std::pow((x - cx) / rx, 2) + std::pow((y - cy) / ry, 2);
}

TEST(MathUtilsSpaces, WithoutImageShapesKeepTheirCoordinatesWithOneEachIsMappedOnItsOwn)
{
    // Plate millimetres: 2 px per mm along x, 1 px per mm along y, shifted by (10, 0).
    const auto image = ImageWithPlate({2, 0, 0, 1, 10, 0});
    const auto circle = MakeCircle(0, 0, 5, "Plate");
    const auto line = MakeLine(0, 20, 0); // in the image's own space

    double lx, ly, cx, cy;
    // No image: raw coordinates, the circle stays round.
    EXPECT_DOUBLE_EQ(MathUtils::DistanceLineCircle(*line, *circle, nullptr, lx, ly, cx, cy), 15);
    EXPECT_NEAR(cx, 0, 1e-12);
    EXPECT_DOUBLE_EQ(cy, 5);

    // With the image the circle is the ellipse centred at (10, 0) with radii 10 and 5.
    EXPECT_NEAR(MathUtils::DistanceLineCircle(*line, *circle, image.get(), lx, ly, cx, cy), 15, 1e-12);
    EXPECT_NEAR(cx, 10, 1e-12);
    EXPECT_NEAR(cy, 5, 1e-12);

    // A point is never mapped: (30, 0) lies 10 px beyond the ellipse's end at (20, 0).
    EXPECT_NEAR(MathUtils::DistancePointCircle(30, 0, *circle, image.get(), cx, cy), 10, 1e-12);
    EXPECT_NEAR(cx, 20, 1e-12);
    // A general point: the closest point lies on the image ellipse.
    const double d = MathUtils::DistancePointCircle(17, 9, *circle, image.get(), cx, cy);
    EXPECT_NEAR(OnAxisEllipse(cx, cy, 10, 0, 10, 5), 1, 1e-14);
    EXPECT_NEAR(std::hypot(17 - cx, 9 - cy), d, 1e-12);

    // The line is mapped, the point is not: the plate line y = 3 is the pixel line y = 3.
    const auto plateLine = MakeLine(1, 3, 0, "Plate");
    EXPECT_DOUBLE_EQ(MathUtils::DistancePointLine(4, 7, *plateLine, image.get(), lx, ly), 4);
    EXPECT_DOUBLE_EQ(lx, 4);
    EXPECT_DOUBLE_EQ(ly, 3);
}

TEST(MathUtilsSpaces, FailuresLeaveTheOutParametersAsTheyWere)
{
    const auto image = ImageWithPlate({});
    const auto unknown = MakeCircle(0, 0, 1, "Nowhere");
    const auto circle = MakeCircle(0, 0, 1);
    const std::function<void(double&, double&)> calls[] = {
        [&](double& x, double& y) { MathUtils::DistancePointCircle(1, 1, *unknown, image.get(), x, y); },
        [&](double& x, double& y) { MathUtils::DistancePointCircle(NAN, 1, *circle, nullptr, x, y); },
        [&](double& x, double& y) {
            MathUtils::DistancePointLine(1, INFINITY, *MakeLine(0, 0, 0), nullptr, x, y);
        },
        [&](double& x, double& y) {
            MathUtils::DistancePointPolygon(0, 0, *Quill::Create<Polygon>(), nullptr, x, y);
        },
    };
    for (const auto& call : calls) {
        double x = 7, y = 8;
        EXPECT_THROW(call(x, y), VisionException);
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 8);
    }
    double x, y;
    EXPECT_THROW(MathUtils::DistancePointCircle(NAN, 1, *circle, nullptr, x, y), ArgumentException);
    EXPECT_THROW(MathUtils::DistancePointCircle(1, 1, *unknown, image.get(), x, y), ArgumentException);
}

TEST(MathUtilsDistances, MixedShapesReportThePointOnTheStraightShapeFirst)
{
    double sx, sy, cx, cy;
    const auto segment = MakeSegment(-3, 10, 3, 10);
    EXPECT_DOUBLE_EQ(
        MathUtils::DistanceSegmentCircle(*segment, *MakeCircle(0, 0, 4), nullptr, sx, sy, cx, cy), 6);
    EXPECT_DOUBLE_EQ(sy, 10);
    EXPECT_DOUBLE_EQ(cy, 4);
    EXPECT_DOUBLE_EQ(
        MathUtils::DistanceSegmentEllipse(*segment, *MakeEllipse(0, 0, 8, 2, 0), nullptr, sx, sy, cx, cy), 8);
    EXPECT_DOUBLE_EQ(sy, 10);
    EXPECT_NEAR(cy, 2, 1e-15);
    EXPECT_NEAR(MathUtils::DistanceLineEllipse(*MakeLine(0, -9, kPi), *MakeEllipse(0, 0, 8, 2, kPi / 2),
                                               nullptr, sx, sy, cx, cy),
                1, 1e-12);
    EXPECT_DOUBLE_EQ(sy, -9);
    EXPECT_NEAR(cy, -8, 1e-12);

    // Circle pairs: the point on A first, whichever argument comes first.
    const auto a = MakeCircle(0, 0, 1);
    const auto b = MakeCircle(10, 0, 2);
    double ax, ay, bx, by;
    EXPECT_DOUBLE_EQ(MathUtils::DistanceCircleCircle(*a, *b, nullptr, ax, ay, bx, by), 7);
    EXPECT_DOUBLE_EQ(ax, 1);
    EXPECT_DOUBLE_EQ(bx, 8);
    EXPECT_DOUBLE_EQ(MathUtils::DistanceCircleCircle(*b, *a, nullptr, ax, ay, bx, by), 7);
    EXPECT_DOUBLE_EQ(ax, 8);
    EXPECT_DOUBLE_EQ(bx, 1);
    // With an image the circles are measured as ellipses, with the same answer here.
    const auto image = ImageWithPlate({});
    EXPECT_NEAR(MathUtils::DistanceCircleCircle(*a, *b, image.get(), ax, ay, bx, by), 7, 1e-10);
    EXPECT_NEAR(ax, 1, 1e-10);
    EXPECT_NEAR(bx, 8, 1e-10);
}

TEST(MathUtilsDistances, SegmentToLineTakesTheNearerEndAndZeroForTouching)
{
    const auto line = MakeLine(0, 0, 0);
    double sx = 1, sy = 1, lx = 1, ly = 1;
    // One end exactly on the line: 0 and four zeros.
    EXPECT_EQ(MathUtils::DistanceSegmentLine(*MakeSegment(4, 0, 6, 5), *line, nullptr, sx, sy, lx, ly), 0);
    EXPECT_EQ(sx + sy + lx + ly, 0);
    // Crossing.
    EXPECT_EQ(MathUtils::DistanceSegmentLine(*MakeSegment(4, -1, 6, 5), *line, nullptr, sx, sy, lx, ly), 0);
    // Parallel: the tie goes to the end point E.
    EXPECT_DOUBLE_EQ(
        MathUtils::DistanceSegmentLine(*MakeSegment(1, -2, 9, -2), *line, nullptr, sx, sy, lx, ly), 2);
    EXPECT_EQ(sx, 9);
    EXPECT_EQ(lx, 9);
    EXPECT_EQ(ly, 0);
    // Start nearer.
    EXPECT_DOUBLE_EQ(MathUtils::DistanceSegmentLine(*MakeSegment(1, 3, 2, 7), *line, nullptr, sx, sy, lx, ly),
                     3);
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(sy, 3);
    EXPECT_EQ(lx, 1);
}

TEST(MathUtilsDistances, SegmentToSegmentKeepsTheFirstOfEqualCandidates)
{
    double ax = 1, ay = 1, bx = 1, by = 1;
    // Crossing: 0 and four zeros.
    EXPECT_EQ(MathUtils::DistanceSegmentSegment(*MakeSegment(0, 0, 4, 4), *MakeSegment(0, 4, 4, 0), nullptr,
                                                ax, ay, bx, by),
              0);
    EXPECT_EQ(ax + ay + bx + by, 0);
    // Parallel, offset sideways: A0, A1, B0, B1 all at distance 2; A0 wins.
    EXPECT_DOUBLE_EQ(MathUtils::DistanceSegmentSegment(*MakeSegment(0, 0, 4, 0), *MakeSegment(0, 2, 4, 2),
                                                       nullptr, ax, ay, bx, by),
                     2);
    EXPECT_EQ(ax, 0);
    EXPECT_EQ(bx, 0);
    EXPECT_EQ(by, 2);
    // B's start is the nearest candidate: A's point is its foot.
    EXPECT_DOUBLE_EQ(MathUtils::DistanceSegmentSegment(*MakeSegment(0, 0, 10, 0), *MakeSegment(5, 3, 6, 9),
                                                       nullptr, ax, ay, bx, by),
                     3);
    EXPECT_EQ(ax, 5);
    EXPECT_EQ(ay, 0);
    EXPECT_EQ(bx, 5);
    EXPECT_EQ(by, 3);
}

TEST(MathUtilsDistances, PolygonDistancesAreNegativeInsideAndZeroOnTheOutline)
{
    const auto square = MakeRectangle(0, 0, 10, 10);
    double px, py, qx, qy;
    EXPECT_DOUBLE_EQ(MathUtils::DistancePointPolygon(3, 5, *square, nullptr, px, py), -3);
    EXPECT_EQ(px, 0);
    EXPECT_EQ(py, 5);
    EXPECT_DOUBLE_EQ(MathUtils::DistancePointPolygon(13, 5, *square, nullptr, px, py), 3);
    // On an edge: 0 (not -0) and the point itself.
    const double onEdge = MathUtils::DistancePointPolygon(10, 4, *square, nullptr, px, py);
    EXPECT_EQ(onEdge, 0);
    EXPECT_FALSE(std::signbit(onEdge));
    EXPECT_EQ(px, 10);
    EXPECT_EQ(py, 4);

    // A segment wholly inside: minus its distance to the outline.
    EXPECT_DOUBLE_EQ(
        MathUtils::DistanceSegmentPolygon(*MakeSegment(2, 3, 2, 7), *square, nullptr, px, py, qx, qy), -2);
    EXPECT_EQ(px, 2); // on the segment
    EXPECT_EQ(qx, 0); // on the polygon
    double sx = 1, sy = 1;
    EXPECT_EQ(MathUtils::DistanceSegmentPolygon(*MakeSegment(5, 5, 15, 5), *square, nullptr, sx, sy, qx, qy),
              0);
    EXPECT_EQ(sx + sy + qx + qy, 0);

    // B inside A is negative; A inside B positive; overlapping outlines 0 and four zeros.
    const auto inner = MakeRectangle(4, 4, 6, 6);
    EXPECT_DOUBLE_EQ(MathUtils::DistancePolygonPolygon(*square, *inner, nullptr, px, py, qx, qy), -4);
    EXPECT_DOUBLE_EQ(MathUtils::DistancePolygonPolygon(*inner, *square, nullptr, px, py, qx, qy), 4);
    const double overlap =
        MathUtils::DistancePolygonPolygon(*square, *MakeRectangle(5, 5, 20, 20), nullptr, px, py, qx, qy);
    EXPECT_EQ(overlap, 0);
    EXPECT_EQ(px + py + qx + qy, 0);

    // With an image each polygon is mapped by its own transform.
    const auto image = ImageWithPlate({2, 0, 0, 2, 0, 0});
    auto plateSquare = MakeRectangle(0, 0, 5, 5);
    plateSquare->setSelectedSpaceName("Plate");
    EXPECT_DOUBLE_EQ(MathUtils::DistancePolygonPolygon(*plateSquare, *inner, image.get(), px, py, qx, qy),
                     -4);
}

} // namespace
} // namespace Ostrel::Vision::Geometry
