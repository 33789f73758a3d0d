// Values, mapping, failures and their mapping, angles.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>
#include <Ostrel/Vision/Transform2D.h>

#include "common/ToolTestSupport.h"

using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Private;
constexpr double pi = std::numbers::pi;

TEST(PrimitiveValues, FailuresMapToFrameworkExceptions)
{
    const auto guarded = [](PrimitiveFailureKind kind) {
        GuardPrimitives([kind]() -> int { throw PrimitiveFailure(kind, "bad value"); });
    };
    EXPECT_THAT([&] { guarded(PrimitiveFailureKind::NonFiniteInput); },
                ThrowsWith<ArgumentException>("bad value"));
    EXPECT_THROW(guarded(PrimitiveFailureKind::InvalidArgument), ArgumentException);
    EXPECT_THAT([&] { guarded(PrimitiveFailureKind::DegenerateShape); },
                ThrowsWith<ShapeException>("bad value"));
    EXPECT_THROW(GuardPrimitives([]() -> int { throw InvalidOperationException("other"); }),
                 InvalidOperationException);
    EXPECT_EQ(GuardPrimitives([] { return 3; }), 3);
}

TEST(PrimitiveValues, EllipseMappingKeepsSimilaritiesExact)
{
    const TarnEllipse e(1, 2, 3, 1, 0.25);
    const TarnEllipse same = e.MapLinear(Transform2DLinear::Identity());
    EXPECT_EQ(same.RadiusX(), 3);
    EXPECT_EQ(same.Rotation(), 0.25);
    const TarnEllipse turned = e.MapLinear(Transform2DLinear::ScaleRotationTranslation(2, 2, pi / 2, 5, 0));
    EXPECT_NEAR(turned.RadiusX(), 6, 1e-14);
    EXPECT_NEAR(turned.Rotation(), 0.25 + pi / 2, 1e-14);
    EXPECT_NEAR(turned.CenterX(), 1, 1e-14);
    // A circle scaled differently in x and y becomes an axis-aligned ellipse.
    const TarnEllipse stretched = TarnEllipse(0, 0, 1, 1, 0).MapLinear({2, 0, 0, 3, 0, 0});
    EXPECT_NEAR(stretched.RadiusX(), 2, 1e-14);
    EXPECT_NEAR(stretched.RadiusY(), 3, 1e-14);
    EXPECT_THROW(e.MapLinear({1, 1, 1, 1, 0, 0}), ShapeException);
}

TEST(PrimitiveAngles, OneRangeOneReductionForEveryAngle)
{
    // (-π, π], in-range angles kept bit for bit.
    EXPECT_EQ(NormalizeAngle(pi), pi);
    EXPECT_EQ(NormalizeAngle(-pi), pi);
    EXPECT_EQ(NormalizeAngle(1.0), 1.0);
    EXPECT_EQ(NormalizeAngle(std::nextafter(-pi, 0.0)), std::nextafter(-pi, 0.0));
    EXPECT_NEAR(NormalizeAngle(1 + 6 * pi), 1, 1e-14);
    EXPECT_NEAR(NormalizeAngle(-3 * pi / 2), pi / 2, 1e-15);
    EXPECT_NEAR(NormalizeAngle(3 * pi), pi, 1e-15);
    EXPECT_THROW(NormalizeAngle(NAN), PrimitiveFailure);
    EXPECT_THROW(NormalizeAngle(INFINITY), PrimitiveFailure);
    // Any angle, however large, reduces to the direction its cos and sin give; mapping by
    // the identity and by a rotation agree with the reduction.
    for (const double angle : {1e308, -1e308, 1e22, 4e9, -7.5, 100.0}) {
        const double reduced = NormalizeAngle(angle);
        EXPECT_GT(reduced, -pi) << angle;
        EXPECT_LE(reduced, pi) << angle;
        EXPECT_NEAR(std::cos(reduced), std::cos(angle), 1e-15) << angle;
        EXPECT_NEAR(std::sin(reduced), std::sin(angle), 1e-15) << angle;
        EXPECT_EQ(MapAngle(Transform2DLinear::Identity(), angle), reduced) << angle;
        EXPECT_NEAR(MapAngle(Transform2DLinear::ScaleRotationTranslation(2, 2, 0.5, 3, 4), angle),
                    NormalizeAngle(reduced + 0.5), 1e-15)
            << angle;
        EXPECT_NEAR(MapAngle({2, 1e-300, 0, 1, 0, 0}, angle), std::atan2(std::sin(angle), 2 * std::cos(angle)),
                    1e-15)
            << angle;
    }
    EXPECT_NEAR(NormalizeAngle(1e308), 2.6710, 1e-4);
}

TEST(PrimitiveAngles, MappingAndLineAngle)
{
    EXPECT_NEAR(MapAngle(Transform2DLinear::ScaleRotationTranslation(1, 1, pi / 6, 3, 4), pi / 2), 2 * pi / 3,
                1e-15);
    EXPECT_NEAR(MapAngle({1, 0, 0, -1, 0, 0}, pi / 4), -pi / 4, 1e-15); // reflection
    EXPECT_EQ(MapAngle({-1, 0, 0, 1, 0, 0}, 0.0), pi);                  // a reflection onto -x
    EXPECT_THROW(MapAngle({1, 0, 0, 0, 0, 0}, pi / 2), PrimitiveFailure);
    EXPECT_NO_THROW(MapAngle({1, 0, 0, 1e-13, 0, 0}, pi / 2)); // short, but above the tolerance
    EXPECT_THROW(MapAngle({1, 0, 0, 1e-15, 0, 0}, pi / 2), PrimitiveFailure);
    EXPECT_NEAR(AngleLineLine({{0, 0}, {1, 0}}, {{5, 5}, {0, 2}}), pi / 2, 1e-15);
    EXPECT_NEAR(AngleLineLine({{0, 0}, {0, 2}}, {{5, 5}, {1, 0}}), -pi / 2, 1e-15);
    EXPECT_EQ(AngleLineLine({{0, 0}, {1, 0}}, {{0, 1}, {-1, 0}}), pi); // opposite directions
    EXPECT_EQ(AngleLineLine({{0, 0}, {1, 0}}, {{0, 1}, {-1, -0.0}}), pi);
    EXPECT_NEAR(AngleLineLine({{0, 0}, {1, 1e-17}}, {{0, 0}, {1, 0}}), -1e-17, 1e-32);
}
