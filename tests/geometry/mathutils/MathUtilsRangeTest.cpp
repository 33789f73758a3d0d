// The whole range of double: every computation answers for shapes near 1e300 or 1e-300 as it
// does near 1, and a result beyond the range is an exception, never NaN or infinity.
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>

#include "MathUtilsTestSupport.h"

namespace Ostrel::Vision::Geometry {
namespace {

using namespace Testing;
constexpr double kPi = std::numbers::pi;

// A scene of crossing and separate shapes built at a power-of-two scale: every answer is
// the answer at scale 1 times the scale.
class MathUtilsRange : public ::testing::TestWithParam<int> {
protected:
    double s = std::ldexp(1.0, GetParam());
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);
};

TEST_P(MathUtilsRange, AnswersScaleWithTheShapes)
{
    double x0, y0, x1, y1, x2, y2, x3, y3;
    int count = 0;
    const auto segment = MakeSegment(-s, 0, s, 0);
    const auto circle = MakeCircle(3 * s, 0, 2 * s);
    const auto ellipse = MakeEllipse(0, 3 * s, 2 * s, s, 0);
    const auto vertical = MakeLine(2 * s, 0, kPi / 2);
    for (const IImage* im : {static_cast<const IImage*>(nullptr), static_cast<const IImage*>(image.get())}) {
        SCOPED_TRACE(im ? "with an image" : "without an image");
        EXPECT_EQ(MathUtils::DistancePointSegment(s, s, *segment, im, x0, y0), s);
        EXPECT_EQ(x0, s);
        EXPECT_NEAR(MathUtils::DistancePointCircle(3 * s, 5 * s, *circle, im, x0, y0), 3 * s, 1e-12 * s);
        EXPECT_NEAR(y0, 2 * s, 1e-12 * s);
        EXPECT_NEAR(MathUtils::DistancePointEllipse(0, 6 * s, *ellipse, im, x0, y0), 2 * s, 1e-12 * s);
        EXPECT_NEAR(MathUtils::DistancePointEllipse(0, 3 * s, *ellipse, im, x0, y0), s, 1e-12 * s); // its centre
        EXPECT_NEAR(MathUtils::DistanceLineCircle(*MakeLine(0, 5 * s, 0), *circle, im, x0, y0, x1, y1), 3 * s,
                    1e-12 * s);
        EXPECT_NEAR(MathUtils::DistanceSegmentCircle(*segment, *MakeCircle(4 * s, 0, 2 * s), im, x0, y0, x1, y1), s,
                    1e-12 * s);
        EXPECT_NEAR(MathUtils::DistanceSegmentEllipse(*segment, *ellipse, im, x0, y0, x1, y1), 2 * s, 1e-12 * s);
        EXPECT_EQ(MathUtils::DistanceSegmentLine(*segment, *MakeLine(0, 0, kPi / 4), im, x0, y0, x1, y1), 0);
        EXPECT_NEAR(MathUtils::DistanceSegmentLine(*segment, *vertical, im, x0, y0, x1, y1), s, 1e-12 * s);
        EXPECT_NEAR(MathUtils::DistanceCircleCircle(*circle, *MakeCircle(-3 * s, 0, s), im, x0, y0, x1, y1),
                    3 * s, 1e-12 * s);

        EXPECT_TRUE(MathUtils::IntersectLineCircle(*vertical, *circle, im, count, x0, y0, x1, y1));
        EXPECT_EQ(count, 2);
        EXPECT_NEAR(x0, 2 * s, 1e-12 * s);
        EXPECT_NEAR(x1, 2 * s, 1e-12 * s);
        EXPECT_NEAR(y0, -std::sqrt(3.0) * s, 1e-12 * s); // in the line's direction
        EXPECT_NEAR(y1, std::sqrt(3.0) * s, 1e-12 * s);
        EXPECT_TRUE(MathUtils::IntersectLineEllipse(*MakeLine(0, 3 * s, 0), *ellipse, im, count, x0, y0, x1, y1));
        EXPECT_EQ(count, 2);
        EXPECT_NEAR(std::fabs(x0), 2 * s, 1e-12 * s);
        EXPECT_FALSE(MathUtils::IntersectLineEllipse(*vertical, *MakeEllipse(0, 0, s, s, 0), im, count, x0, y0, x1,
                                                     y1));
        EXPECT_TRUE(MathUtils::IntersectSegmentCircle(*segment, *MakeCircle(s, 0, s), im, count, x0, y0, x1, y1));
        EXPECT_EQ(count, 1);
        EXPECT_TRUE(MathUtils::IntersectCircleCircle(*circle, *MakeCircle(0, 0, 2 * s), im, count, x0, y0, x1, y1,
                                                     x2, y2, x3, y3));
        EXPECT_EQ(count, 2);
        EXPECT_NEAR(x0, 1.5 * s, 1e-12 * s);
        EXPECT_FALSE(MathUtils::IntersectCircleCircle(*circle, *MakeCircle(-3 * s, 0, s), im, count, x0, y0, x1,
                                                      y1, x2, y2, x3, y3));
        EXPECT_TRUE(MathUtils::IntersectSegmentLine(*segment, *MakeLine(0, 0, kPi / 4), im, count, x0, y0));
        EXPECT_EQ(count, 1);
        EXPECT_TRUE(MathUtils::IntersectLineLine(*vertical, *MakeLine(0, s, 0), *image, count, x0, y0, x1));
        EXPECT_NEAR(x0, 2 * s, 1e-12 * s);
    }
}

// From 2^-1020 (every square below the smallest double) to 2^1020 (coordinates near the
// largest double).
INSTANTIATE_TEST_SUITE_P(PowersOfTwo, MathUtilsRange, ::testing::Values(-1020, -700, -400, 0, 400, 512, 700, 1020));

TEST(MathUtilsRangeEdges, ShapesFarApartAndTinyShapes)
{
    const auto image = Quill::Create<Image8Grey>(64, 48);
    double x0, y0, x1, y1, x2, y2, x3, y3;
    int count = -7;
    // Squared lengths and differences beyond the range of double.
    EXPECT_EQ(MathUtils::DistancePointSegment(1, 1, *MakeSegment(-1e154, 0, 1e154, 0), nullptr, x0, y0), 1);
    EXPECT_FALSE(MathUtils::IntersectCircleCircle(*MakeCircle(1e308, 1e308, 1), *MakeCircle(-1e308, 0, 1), nullptr,
                                                  count, x0, y0, x1, y1, x2, y2, x3, y3));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(MathUtils::IntersectLineCircle(*MakeLine(-1e308, 1e308, 0), *MakeCircle(1e308, -1e308, 1),
                                                nullptr, count, x0, y0, x1, y1));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(MathUtils::DistanceSegmentLine(*MakeSegment(-1e308, -1e308, 1e308, 1e308), *MakeLine(0, 0, 0),
                                             nullptr, x0, y0, x1, y1),
              0);
    // A distance beyond the range is refused with its reason, leaving the out-parameters.
    double angle = 5;
    EXPECT_THROW(MathUtils::DistancePointPoint(-1e308, 0, 1e308, 0, angle), ArgumentException);
    EXPECT_EQ(angle, 5);
    EXPECT_EQ(MathUtils::DistancePointPoint(-1e308, 0, 0.5e308, 0, angle), 1.5e308);
    EXPECT_EQ(angle, 0);
    EXPECT_EQ(MathUtils::AnglePointPoint(1e308, 0, -1e308, -0.0), kPi);
    x0 = 7;
    EXPECT_THROW(MathUtils::DistanceCircleCircle(*MakeCircle(-1.5e308, 0, 1), *MakeCircle(1.5e308, 0, 1), nullptr,
                                                 x0, y0, x1, y1),
                 ArgumentException);
    EXPECT_EQ(x0, 7);

    // Tiny round shapes, also seen through an image (as ellipses).
    for (const IImage* im : {static_cast<const IImage*>(nullptr), static_cast<const IImage*>(image.get())}) {
        SCOPED_TRACE(im ? "with an image" : "without an image");
        EXPECT_NEAR(MathUtils::DistancePointEllipse(1, 1, *MakeEllipse(0, 0, 1e-310, 0.5e-310, 0), im, x0, y0),
                    std::sqrt(2.0), 1e-15);
        EXPECT_NEAR(x0, 1e-310 / std::sqrt(1.25), 1e-320);
        EXPECT_NEAR(MathUtils::DistancePointCircle(0, 1, *MakeCircle(0, 0, 1e-310), im, x0, y0), 1, 1e-15);
        EXPECT_NEAR(y0, 1e-310, 1e-320);
        EXPECT_TRUE(MathUtils::IntersectLineEllipse(*MakeLine(0, 0, 0), *MakeEllipse(0, 0, 2e-200, 1e-200, 0), im,
                                                    count, x0, y0, x1, y1));
        EXPECT_EQ(count, 2);
        EXPECT_NEAR(std::fabs(x0), 2e-200, 1e-212);
        EXPECT_TRUE(MathUtils::IntersectLineCircle(*MakeLine(0, 0.5e-300, 0), *MakeCircle(0, 0, 1e-300), im, count,
                                                   x0, y0, x1, y1));
        EXPECT_EQ(count, 2);
        EXPECT_NEAR(x0, -std::sqrt(0.75) * 1e-300, 1e-312);
        EXPECT_NEAR(y0, 0.5e-300, 1e-312);
        EXPECT_NEAR(y1, 0.5e-300, 1e-312);
    }
}

TEST(MathUtilsRangeEdges, FlatEllipsesAreTheirSegments)
{
    // Radius y 0: the segment from (-5, 0) to (5, 0) turned by 0.5 about (1, 2).
    const auto flat = MakeEllipse(1, 2, 5, 0, 0.5);
    const double c = std::cos(0.5), s = std::sin(0.5);
    double x, y;
    // Beside the segment: the foot of the perpendicular; beyond its end: the end.
    EXPECT_NEAR(MathUtils::DistancePointEllipse(1 + 2 * c - 3 * s, 2 + 2 * s + 3 * c, *flat, nullptr, x, y), 3, 1e-12);
    EXPECT_NEAR(x, 1 + 2 * c, 1e-12);
    EXPECT_NEAR(y, 2 + 2 * s, 1e-12);
    EXPECT_NEAR(MathUtils::DistancePointEllipse(1 - 9 * c, 2 - 9 * s, *flat, nullptr, x, y), 4, 1e-12);
    EXPECT_NEAR(x, 1 - 5 * c, 1e-12);
    int count;
    double x1, y1;
    EXPECT_TRUE(MathUtils::IntersectLineEllipse(*MakeLine(1, 2, 0.5 + kPi / 2), *flat, nullptr, count, x, y, x1, y1));
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(x, 1, 1e-12);
}

TEST(MathUtilsRangeEdges, AnglesFollowOneRule)
{
    // Coinciding points have no direction, whatever the signs of their zeros.
    double angle = 5;
    EXPECT_EQ(MathUtils::AnglePointPoint(0, 0, -0.0, -0.0), 0);
    EXPECT_EQ(MathUtils::DistancePointPoint(0.0, -0.0, -0.0, 0.0, angle), 0);
    EXPECT_EQ(angle, 0);
    EXPECT_EQ(MathUtils::AnglePointPoint(0, 0, -1, -0.0), kPi);
    // A huge rotation stands for the direction its line is drawn in, with or without an image.
    const auto image = Quill::Create<Image8Grey>(64, 48);
    const auto huge = MakeLine(0, 0, 1e308), flat = MakeLine(0, 0, 0), near = MakeLine(0, 0, 1);
    const double without = MathUtils::AngleLineLine(*flat, *huge, nullptr);
    EXPECT_NEAR(without, std::atan2(std::sin(1e308), std::cos(1e308)), 1e-15);
    EXPECT_EQ(MathUtils::AngleLineLine(*flat, *huge, image.get()), without);
    EXPECT_NEAR(MathUtils::AngleLineLine(*huge, *near, nullptr), MathUtils::AngleLineLine(*huge, *near, image.get()),
                1e-15);
    EXPECT_NEAR(MathUtils::AngleLineLine(*huge, *near, nullptr), 1 - without, 1e-15);
    EXPECT_EQ(MathUtils::AngleLineLine(*flat, *MakeLine(0, 0, -kPi), nullptr), kPi);
}

} // namespace
} // namespace Ostrel::Vision::Geometry
