#include <cmath>
#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Transform2DComposed.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>

#include "platform/spaces/SpacesTestUtils.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace SpacesTest;
using ::testing::HasSubstr;

// inverse(forward(p)) = p over chains of random affine and lens transforms.
TEST(Transform2D, ComposedRoundTripsAreAccurate)
{
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> px(0.0, 640.0), py(0.0, 480.0);
    for (int trial = 0; trial < 200; ++trial) {
        std::shared_ptr<const Transform2D> chain = RandomLens(rng);
        chain = MildAffine(rng)->Compose(chain);
        chain = RandomLens(rng)->Inverse()->Compose(chain);
        chain = RandomAffine(rng)->Compose(chain);
        ASSERT_FALSE(chain->IsLinear());
        const auto inverse = chain->Inverse();
        for (int i = 0; i < 5; ++i) {
            const double x = px(rng), y = py(rng);
            double fx, fy, bx, by;
            chain->MapPoint(x, y, fx, fy);
            inverse->MapPoint(fx, fy, bx, by);
            EXPECT_LE(std::hypot(bx - x, by - y), 1e-12 * std::hypot(x, y)) << "trial " << trial;
        }
    }
    EXPECT_THROW(Transform2DLinear().Compose(nullptr), ArgumentNullException);
}

// The linear form at p agrees with the transform at p and has its Jacobian there.
TEST(Transform2D, LinearFormsMatchCentralDifferences)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> px(0.0, 640.0), py(0.0, 480.0);
    for (int trial = 0; trial < 50; ++trial) {
        const auto lens = RandomLens(rng);
        const std::shared_ptr<const Transform2D> transforms[] = {
            lens, lens->Inverse(), RandomAffine(rng)->Compose(lens->Inverse()->Compose(MildAffine(rng)))};
        for (const auto& t : transforms) {
            const double x = px(rng), y = py(rng);
            const Transform2DLinear linear = t->LinearTransform(x, y);
            double tx, ty, lx, ly;
            t->MapPoint(x, y, tx, ty);
            linear.MapPoint(x, y, lx, ly);
            EXPECT_NEAR(lx, tx, 1e-9);
            EXPECT_NEAR(ly, ty, 1e-9);
            const double h = 1e-3;
            double xp, yp, xm, ym;
            t->MapPoint(x + h, y, xp, yp);
            t->MapPoint(x - h, y, xm, ym);
            EXPECT_NEAR(linear.A(), (xp - xm) / (2 * h), 1e-7);
            EXPECT_NEAR(linear.C(), (yp - ym) / (2 * h), 1e-7);
            t->MapPoint(x, y + h, xp, yp);
            t->MapPoint(x, y - h, xm, ym);
            EXPECT_NEAR(linear.B(), (xp - xm) / (2 * h), 1e-7);
            EXPECT_NEAR(linear.D(), (yp - ym) / (2 * h), 1e-7);
        }
    }
}

TEST(Transform2DLensDistortion, RejectsBadCoefficientsAndPointsWithoutPreimage)
{
    const double nan = std::nan("");
    EXPECT_THAT([&] { Quill::Create<Transform2DLensDistortion>(0.0, 0.0, 100.0, nan, 0.0); },
                ThrowsMessage<ArgumentException>(HasSubstr("k1")));
    EXPECT_THAT([&] { Quill::Create<Transform2DLensDistortion>(0.0, 0.0, 100.0, 0.0, 0.0, 0.0, INFINITY); },
                ThrowsMessage<ArgumentException>(HasSubstr("p2")));
    EXPECT_THAT([&] { Quill::Create<Transform2DLensDistortion>(0.0, 0.0, 0.0, 0.1, 0.0); },
                ThrowsMessage<ArgumentException>(HasSubstr("normalizingRadius")));

    // Strong barrel distortion folds at r = sqrt(2/3); no point maps farther out than r' ≈ 0.544.
    const auto barrel = Quill::Create<Transform2DLensDistortion>(0.0, 0.0, 100.0, -0.5, 0.0);
    const auto undistort = barrel->Inverse();
    double x, y;
    undistort->MapPoint(50.0, 0.0, x, y);  // inside the reachable disc
    double bx, by;
    barrel->MapPoint(x, y, bx, by);
    EXPECT_NEAR(bx, 50.0, 1e-12);
    EXPECT_THAT([&] { undistort->MapPoint(80.0, 0.0, x, y); },
                ThrowsMessage<ArgumentException>(HasSubstr("cannot be undone at (80.000000, 0.000000)")));
    EXPECT_THROW(undistort->LinearTransform(0.0, 90.0), ArgumentException);
    EXPECT_THROW(undistort->MapPoint(std::nan(""), 0.0, x, y), ArgumentException);
}
