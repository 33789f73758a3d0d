#include <cmath>
#include <numbers>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/SpaceNameUtils.h>

#include "MathUtilsTestSupport.h"

namespace Ostrel::Vision::Geometry {
namespace {

using namespace Testing;
using testing::DoubleNear, testing::Pointwise;
constexpr double kPi = std::numbers::pi;
using V = std::vector<double>;

TEST(MathUtilsIntersections, LineLineCountsCrossingParallelAndCoincidentLines)
{
    const auto image = ImageWithPlate({});
    int count = 9;
    double x = 9, y = 9, angle = 9;
    const auto cross = [&](const Line& a, const Line& b, const Image8Grey& through) {
        return With(MathUtils::IntersectLineLine(a, b, through, count, x, y, angle), count, x, y, angle);
    };
    EXPECT_THAT(cross(*MakeLine(0, 0, 0), *MakeLine(5, 5, kPi / 2), *image),
                Pointwise(DoubleNear(1e-15), V{1, 1, 5, 0, kPi / 2}));
    // Parallel: every out-parameter written, 0; coincident: line A's point.
    EXPECT_EQ(cross(*MakeLine(0, 0, 0.3), *MakeLine(0, 1, 0.3), *image), (V{0, 0, 0, 0, 0}));
    EXPECT_EQ(cross(*MakeLine(2, 3, 0), *MakeLine(7, 3, 0), *image), (V{1, -1, 2, 3, 0}));

    // Each line is mapped by its own space: a plate turned by 90° makes the plate's x axis
    // the image's y axis.
    const auto turned = ImageWithPlate(Transform2DLinear::ScaleRotationTranslation(1, 1, kPi / 2, 0, 0));
    EXPECT_THAT(cross(*MakeLine(0, 4, 0), *MakeLine(3, 0, 0, "Plate"), *turned),
                Pointwise(DoubleNear(1e-15), V{1, 1, 0, 4, kPi / 2}));
}

TEST(MathUtilsIntersections, SegmentLineCountsBothEndsAndASegmentOnTheLine)
{
    int count;
    double x, y;
    const auto cross = [&](double x0, double y0, double x1, double y1, double rotation = 0) {
        return With(MathUtils::IntersectSegmentLine(*MakeSegment(x0, y0, x1, y1), *MakeLine(0, 0, rotation),
                                                    nullptr, count, x, y),
                    count, x, y);
    };
    EXPECT_EQ(cross(0.7, -5, 0.1, 0), (V{1, 1, 0.1, 0})); // the end point itself, not t = 1 rounded
    EXPECT_EQ(cross(1, 0, 6, 0), (V{1, -1, 1, 0}));
    EXPECT_EQ(cross(1, 1, 6, 2), (V{0, 0, 0, 0}));
    // An end point that lies on a slanted line only up to rounding in the line's terms
    // still counts: the offsets are formed with a single rounding.
    EXPECT_EQ(cross(0, 5, 0, 0, std::atan2(1, 3)), (V{1, 1, 0, 0}));
}

TEST(MathUtilsIntersections, CirclesBecomeEllipsesUnderAnImageAndMayCrossFourTimes)
{
    double p[8];
    int count;
    const auto a = MakeCircle(0, 0, 5);
    const auto b = MakeCircle(6, 0, 5);
    for (double& v : p)
        v = 9;
    EXPECT_TRUE(MathUtils::IntersectCircleCircle(*a, *b, nullptr, count, p[0], p[1], p[2], p[3], p[4], p[5],
                                                 p[6], p[7]));
    EXPECT_THAT((V{double(count), p[0], std::fabs(p[1]), p[4], p[5], p[6], p[7]}),
                Pointwise(DoubleNear(1e-15), V{2, 3, 4, 0, 0, 0, 0}));

    // A plate circle of radius 4 stretched to 12 x 3 px, crossed with a pixel circle of
    // radius 6 centred with it: four points, each on both outlines.
    const auto image = ImageWithPlate({3, 0, 0, 0.75, 0, 0});
    const auto stretched = MakeCircle(0, 0, 4, "Plate");
    const auto round = MakeCircle(0, 0, 6);
    EXPECT_TRUE(MathUtils::IntersectCircleCircle(*stretched, *round, image.get(), count, p[0], p[1], p[2],
                                                 p[3], p[4], p[5], p[6], p[7]));
    ASSERT_EQ(count, 4);
    for (int i = 0; i < 8; i += 2) {
        EXPECT_NEAR(std::hypot(p[i], p[i + 1]), 6, 1e-10);
        EXPECT_NEAR(std::pow(p[i] / 12, 2) + std::pow(p[i + 1] / 3, 2), 1, 1e-10);
    }

    // A line through a mapped circle: the crossings of the image ellipse, in line order.
    double x0, y0, x1, y1;
    EXPECT_THAT(With(MathUtils::IntersectLineCircle(*MakeLine(0, 0, 0), *stretched, image.get(), count, x0,
                                                    y0, x1, y1),
                     count, x0, x1),
                Pointwise(DoubleNear(1e-12), V{1, 2, -12, 12}));
}

TEST(MathUtilsConstructions, LinesAndAveragedSegments)
{
    const auto bisector = MathUtils::CreateLineBisectingPointPoint(0, 0, 10, 0, "#/Plate");
    EXPECT_EQ((V{bisector->X(), bisector->Y()}), (V{5, 0}));
    EXPECT_DOUBLE_EQ(bisector->Rotation(), kPi / 2);
    EXPECT_EQ(bisector->SelectedSpaceName(), "#/Plate");
    EXPECT_THROW(MathUtils::CreateLineBisectingPointPoint(1, 2, 1, 2, "."), ShapeException);
    EXPECT_THROW(MathUtils::CreateLineBisectingPointPoint(0, 0, 1, 0, "#//x"), ArgumentException);

    const auto averaged = MathUtils::CreateSegmentByAveragingSegments(*MakeSegment(0, 0, 10, 0),
                                                                      *MakeSegment(10, 2, 0, 2), nullptr);
    EXPECT_EQ((V{averaged->StartX(), averaged->StartY(), averaged->EndX(), averaged->EndY()}),
              (V{5, 1, 5, 1}));

    // An image turning the plate by 30°: the perpendicular is the line's rotation plus 30°
    // plus 90°, through the unmapped point, in the image's space; style and colour kept.
    const auto image = ImageWithPlate(Transform2DLinear::ScaleRotationTranslation(1, 1, kPi / 6, 4, 4));
    const auto line = MakeLine(1, 1, 0.1, "Plate");
    line->setColor(Color32::FromUInt32(0xFF112233));
    const auto perpendicular = MathUtils::CreateLinePerpendicular(7, 8, *line, image.get());
    EXPECT_NEAR(perpendicular->Rotation(), 0.1 + kPi / 6 + kPi / 2, 1e-14);
    EXPECT_EQ((V{perpendicular->X(), perpendicular->Y()}), (V{7, 8}));
    EXPECT_EQ(perpendicular->SelectedSpaceName(), SpaceNameUtils::ImageSpaceNameFQ(*image));
    EXPECT_EQ(perpendicular->Color(), line->Color());
    EXPECT_EQ(line->X(), 1); // the input is untouched
    const auto parallel = MathUtils::CreateLineParallel(7, 8, *line, nullptr);
    EXPECT_EQ(parallel->Rotation(), 0.1);
    EXPECT_EQ(parallel->SelectedSpaceName(), "Plate");

    EXPECT_NEAR(MathUtils::AngleLineLine(*MakeLine(0, 0, 3), *MakeLine(0, 0, -3), nullptr), 2 * kPi - 6,
                1e-15);
    EXPECT_NEAR(MathUtils::AngleLineLine(*line, *MakeLine(0, 0, 0.1), image.get()), -kPi / 6, 1e-14);
}

TEST(MathUtilsContainment, OutlineCountsAsInsideAndThePointIsNeverMapped)
{
    const auto circle = MakeCircle(0, 0, 5);
    EXPECT_TRUE(MathUtils::InsidePointCircle(3, 4, *circle, nullptr));
    EXPECT_FALSE(MathUtils::InsidePointCircle(3, 4.000001, *circle, nullptr));
    const auto image = ImageWithPlate({2, 0, 0, 1, 0, 0});
    const auto plateCircle = MakeCircle(0, 0, 5, "Plate");
    EXPECT_TRUE(MathUtils::InsidePointCircle(9, 0, *plateCircle, image.get()));
    EXPECT_FALSE(MathUtils::InsidePointCircle(9, 0, *plateCircle, nullptr));
    const auto ellipse = MakeEllipse(0, 0, 5, 2, kPi / 2, "Plate");
    EXPECT_TRUE(MathUtils::InsidePointEllipse(0, 5, *ellipse, nullptr));
    EXPECT_FALSE(MathUtils::InsidePointEllipse(0, 5.1, *ellipse, image.get()));
    EXPECT_TRUE(MathUtils::InsidePointEllipse(4, 0, *ellipse, image.get()));
    EXPECT_THROW(MathUtils::InsidePointEllipse(NAN, 0, *ellipse, nullptr), ArgumentException);
}

} // namespace
} // namespace Ostrel::Vision::Geometry
