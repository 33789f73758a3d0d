// Values, mapping, failures and their mapping, angles.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>
#include <Ostrel/Vision/Transform2D.h>

using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Private;
constexpr double pi = std::numbers::pi;

TEST(PrimitiveValues, FailuresMapToFrameworkExceptions)
{
    const auto guarded = [](PrimitiveFailureKind kind) {
        GuardPrimitives([kind]() -> int { throw PrimitiveFailure(kind, "bad value"); });
    };
    EXPECT_THROW(guarded(PrimitiveFailureKind::NonFiniteInput), ArgumentException);
    EXPECT_THROW(guarded(PrimitiveFailureKind::InvalidArgument), ArgumentException);
    EXPECT_THROW(guarded(PrimitiveFailureKind::DegenerateShape), ShapeException);
    try {
        guarded(PrimitiveFailureKind::DegenerateShape);
    } catch (const ShapeException& e) {
        EXPECT_EQ(e.Message(), "bad value");
    }
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

TEST(PrimitiveAngles, NormalisationMappingAndLineAngle)
{
    EXPECT_EQ(NormalizeAngleSigned(pi), -pi); // closed at -π
    EXPECT_EQ(NormalizeAngleSigned(-pi), -pi);
    EXPECT_EQ(NormalizeAngleSigned(1.0), 1.0);
    EXPECT_NEAR(NormalizeAngleSigned(1 + 6 * pi), 1 - 2 * pi + 2 * pi, 1e-14);
    EXPECT_NEAR(NormalizeAngleSigned(-3 * pi / 2), pi / 2, 1e-15);
    EXPECT_THROW(NormalizeAngleSigned(NAN), PrimitiveFailure);
    EXPECT_NEAR(MapAngle(Transform2DLinear::ScaleRotationTranslation(1, 1, pi / 6, 3, 4), pi / 2), 2 * pi / 3,
                1e-15);
    EXPECT_NEAR(MapAngle({1, 0, 0, -1, 0, 0}, pi / 4), -pi / 4, 1e-15); // reflection
    EXPECT_THROW(MapAngle({1, 0, 0, 0, 0, 0}, pi / 2), PrimitiveFailure);
    EXPECT_NEAR(AngleLineLine({{0, 0}, {1, 0}}, {{5, 5}, {0, 2}}), pi / 2, 1e-15);
    EXPECT_NEAR(AngleLineLine({{0, 0}, {0, 2}}, {{5, 5}, {1, 0}}), -pi / 2, 1e-15);
    EXPECT_EQ(AngleLineLine({{0, 0}, {1, 0}}, {{0, 1}, {-1, 0}}), -pi); // opposite directions
    EXPECT_NEAR(AngleLineLine({{0, 0}, {1, 1e-17}}, {{0, 0}, {1, 0}}), -1e-17, 1e-32);
}
