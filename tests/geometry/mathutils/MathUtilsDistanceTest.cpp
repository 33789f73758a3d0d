#include <cmath>
#include <functional>
#include <numbers>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>

#include "MathUtilsTestSupport.h"

namespace Ostrel::Vision::Geometry {
namespace {

using namespace Testing;
constexpr double kPi = std::numbers::pi;
using V = std::vector<double>;

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
        [&](double& x, double& y) { // a vertex that the plate's scale of 4 maps beyond the doubles
            auto polygon = MakeRectangle(0, 0, 1, 1e308);
            polygon->setSelectedSpaceName("Plate");
            MathUtils::DistancePointPolygon(0, 0, *polygon, ImageWithPlate({4, 0, 0, 4, 0, 0}).get(), x, y);
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
    using testing::DoubleNear, testing::Pointwise;
    double sx, sy, cx, cy;
    const auto segment = MakeSegment(-3, 10, 3, 10);
    EXPECT_THAT(With(MathUtils::DistanceSegmentCircle(*segment, *MakeCircle(0, 0, 4), nullptr, sx, sy, cx, cy), sy, cy),
                Pointwise(DoubleNear(1e-14), V{6, 10, 4}));
    EXPECT_THAT(With(MathUtils::DistanceSegmentEllipse(*segment, *MakeEllipse(0, 0, 8, 2, 0), nullptr, sx, sy, cx, cy),
                     sy, cy),
                Pointwise(DoubleNear(1e-14), V{8, 10, 2}));
    EXPECT_THAT(With(MathUtils::DistanceLineEllipse(*MakeLine(0, -9, kPi), *MakeEllipse(0, 0, 8, 2, kPi / 2), nullptr,
                                                    sx, sy, cx, cy),
                     sy, cy),
                Pointwise(DoubleNear(1e-12), V{1, -9, -8}));

    // Circle pairs: the point on A first, whichever argument comes first; with an image the
    // circles are measured as ellipses, with the same answer here.
    const auto a = MakeCircle(0, 0, 1);
    const auto b = MakeCircle(10, 0, 2);
    double ax, ay, bx, by;
    EXPECT_EQ(With(MathUtils::DistanceCircleCircle(*a, *b, nullptr, ax, ay, bx, by), ax, bx), (V{7, 1, 8}));
    EXPECT_EQ(With(MathUtils::DistanceCircleCircle(*b, *a, nullptr, ax, ay, bx, by), ax, bx), (V{7, 8, 1}));
    const auto image = ImageWithPlate({});
    EXPECT_THAT(With(MathUtils::DistanceCircleCircle(*a, *b, image.get(), ax, ay, bx, by), ax, bx),
                Pointwise(DoubleNear(1e-10), V{7, 1, 8}));
}

TEST(MathUtilsDistances, SegmentToLineTakesTheNearerEndAndZeroForTouching)
{
    double sx = 1, sy = 1, lx = 1, ly = 1;
    const auto measure = [&](double x0, double y0, double x1, double y1) {
        return With(MathUtils::DistanceSegmentLine(*MakeSegment(x0, y0, x1, y1), *MakeLine(0, 0, 0), nullptr, sx, sy,
                                                   lx, ly),
                    sx, sy, lx, ly);
    };
    EXPECT_EQ(measure(4, 0, 6, 5), (V{0, 0, 0, 0, 0}));    // one end exactly on the line
    EXPECT_EQ(measure(4, -1, 6, 5)[0], 0);                  // crossing
    EXPECT_EQ(measure(1, -2, 9, -2), (V{2, 9, -2, 9, 0})); // parallel: the tie goes to the end point E
    EXPECT_EQ(measure(1, 3, 2, 7), (V{3, 1, 3, 1, 0}));    // the start nearer
}

TEST(MathUtilsDistances, SegmentToSegmentKeepsTheFirstOfEqualCandidates)
{
    double ax = 1, ay = 1, bx = 1, by = 1;
    const auto measure = [&](const V& a, const V& b) {
        return With(MathUtils::DistanceSegmentSegment(*MakeSegment(a[0], a[1], a[2], a[3]),
                                                      *MakeSegment(b[0], b[1], b[2], b[3]), nullptr, ax, ay, bx, by),
                    ax, ay, bx, by);
    };
    EXPECT_EQ(measure({0, 0, 4, 4}, {0, 4, 4, 0}), (V{0, 0, 0, 0, 0})); // crossing
    // Parallel, offset sideways: A0, A1, B0, B1 all at distance 2; A0 wins.
    EXPECT_EQ(measure({0, 0, 4, 0}, {0, 2, 4, 2}), (V{2, 0, 0, 0, 2}));
    // B's start is the nearest candidate: A's point is its foot.
    EXPECT_EQ(measure({0, 0, 10, 0}, {5, 3, 6, 9}), (V{3, 5, 0, 5, 3}));
}

TEST(MathUtilsDistances, PolygonDistancesAreNegativeInsideAndZeroOnTheOutline)
{
    const auto square = MakeRectangle(0, 0, 10, 10);
    double px = 1, py = 1, qx = 1, qy = 1;
    EXPECT_EQ(With(MathUtils::DistancePointPolygon(3, 5, *square, nullptr, px, py), px, py), (V{-3, 0, 5}));
    EXPECT_EQ(MathUtils::DistancePointPolygon(13, 5, *square, nullptr, px, py), 3);
    // On an edge: 0 (not -0) and the point itself.
    const V onEdge = With(MathUtils::DistancePointPolygon(10, 4, *square, nullptr, px, py), px, py);
    EXPECT_EQ(onEdge, (V{0, 10, 4}));
    EXPECT_FALSE(std::signbit(onEdge[0]));

    // A segment wholly inside: minus its distance to the outline; the segment's point first.
    EXPECT_EQ(With(MathUtils::DistanceSegmentPolygon(*MakeSegment(2, 3, 2, 7), *square, nullptr, px, py, qx, qy), px,
                   qx),
              (V{-2, 2, 0}));
    EXPECT_EQ(With(MathUtils::DistanceSegmentPolygon(*MakeSegment(5, 5, 15, 5), *square, nullptr, px, py, qx, qy),
                   px, py, qx, qy),
              (V{0, 0, 0, 0, 0}));

    // B inside A is negative; A inside B positive; overlapping outlines 0 and four zeros.
    const auto inner = MakeRectangle(4, 4, 6, 6);
    EXPECT_EQ(MathUtils::DistancePolygonPolygon(*square, *inner, nullptr, px, py, qx, qy), -4);
    EXPECT_EQ(MathUtils::DistancePolygonPolygon(*inner, *square, nullptr, px, py, qx, qy), 4);
    EXPECT_EQ(With(MathUtils::DistancePolygonPolygon(*square, *MakeRectangle(5, 5, 20, 20), nullptr, px, py, qx, qy),
                   px, py, qx, qy),
              (V{0, 0, 0, 0, 0}));

    // With an image each polygon is mapped by its own transform.
    auto plateSquare = MakeRectangle(0, 0, 5, 5);
    plateSquare->setSelectedSpaceName("Plate");
    EXPECT_EQ(MathUtils::DistancePolygonPolygon(*plateSquare, *inner, ImageWithPlate({2, 0, 0, 2, 0, 0}).get(), px, py,
                                                qx, qy),
              -4);
}

// A large polygon queried again and again answers from its index: the answers stay those of
// a polygon seen for the first time, through an image's mapping and after every kind of
// change of the vertex list.
TEST(MathUtilsDistances, RepeatedPolygonQueriesFollowTheVertices)
{
    const auto ring = [](std::size_t n) {
        auto polygon = Quill::Create<Polygon>();
        for (std::size_t k = 0; k < n; ++k) {
            const double t = 2 * M_PI * static_cast<double>(k) / static_cast<double>(n);
            polygon->AddVertex((k % 2 ? 10 : 9) * std::cos(t), (k % 2 ? 10 : 9) * std::sin(t));
        }
        return polygon;
    };
    const auto image = ImageWithPlate({2, 0, 0, 3, 1, -1});
    const auto measure = [&](const Polygon& polygon, double x, double y, const IImage* through) {
        double px, py; // the query point near the same vertices in either space
        if (through && polygon.SelectedSpaceName() == "Plate")
            x = 2 * x + 1, y = 3 * y - 1;
        return With(MathUtils::DistancePointPolygon(x, y, polygon, through, px, py), px, py);
    };
    const auto fresh = [&](const Polygon& polygon) {
        auto copy = Quill::Create<Polygon>();
        for (const auto& [x, y] : polygon.Vertices())
            copy->AddVertex(x, y);
        copy->setSelectedSpaceName(polygon.SelectedSpaceName());
        return copy;
    };
    auto polygon = ring(400);
    const std::function<void()> changes[] = {
        [&] { polygon->setSelectedSpaceName("Plate"); }, // the index stays, for the identity only
        [&] { polygon->SetVertex(0, 12, 0.5); },
        [&] { polygon->RemoveVertex(0); },
        [&] { polygon->AddVertex(11, 0); },
        [] {},
    };
    for (const auto& change : changes) {
        for (const IImage* through : {static_cast<const IImage*>(image.get()), static_cast<const IImage*>(nullptr)})
            for (const auto& [x, y] : {std::pair{9.5, 0.1}, {11.5, 0.2}, {0.0, 0.0}, {-3.0, 20.0}})
                for (int repeat = 0; repeat < 3; ++repeat)
                    EXPECT_EQ(measure(*polygon, x, y, through), measure(*fresh(*polygon), x, y, through));
        change();
    }
}

} // namespace
} // namespace Ostrel::Vision::Geometry
