// Point-ellipse distance against the long double reference, over axis ratios 1 to 1e4,
// all rotations, scales 1e-3 to 1e5, and the points that break textbook solvers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

#include "Reference.h"

using namespace Ostrel::Vision::Private;
using namespace PrimitiveReference;

namespace {

// The distance and the closest point within 1e-12 of the ellipse's size of the reference.
void ExpectMatchesReference(const TarnEllipse& e, Point2D p)
{
    const double size = std::max(e.RadiusX(), e.RadiusY());
    Point2D closest;
    const double d = e.DistanceToPoint(p, closest);
    RPoint ref;
    const Real dRef = PointEllipse(e, p, ref);
    EXPECT_LE(std::max(static_cast<double>(std::fabs(d - dRef)), static_cast<double>(Gap(ref, closest))),
              1e-12 * size)
        << "ellipse " << e.RadiusX() << " x " << e.RadiusY() << " point " << p.x << ", " << p.y;
}

} // namespace

TEST(TarnEllipseDistance, MatchesReferenceOverShapesScalesAndHardPoints)
{
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (double ratio : {1.0, 1.5, 10.0, 1e2, 1e3, 1e4})
        for (double scale : {1e-3, 1.0, 1e5})
            for (int k = 0; k < 6; ++k) {
                const bool tall = k % 2 == 1; // the major axis along y half the time
                const double major = scale * (1 + 0.5 * unit(rng)), minor = major / ratio;
                const TarnEllipse e(scale * 3 * unit(rng), scale * 3 * unit(rng), tall ? minor : major,
                                    tall ? major : minor, M_PI * unit(rng));
                const double a = major, b = minor;
                const auto at = [&](double lx, double ly) { // point given along major, minor
                    return e.ToWorld(tall ? Point2D{ly, lx} : Point2D{lx, ly});
                };
                // Anywhere within three sizes, near the centre, on the outline.
                ExpectMatchesReference(e, at(3 * a * unit(rng), 3 * a * unit(rng)));
                ExpectMatchesReference(e, at(1e-9 * a * unit(rng), 1e-9 * a * unit(rng)));
                const double t = M_PI * unit(rng);
                ExpectMatchesReference(e, at(a * std::cos(t), b * std::sin(t)));
                // Inside, within 1e-12 of the major axis: the tiny root offset matters.
                ExpectMatchesReference(e, at(a * 0.9 * unit(rng), 1e-12 * b * unit(rng)));
                ExpectMatchesReference(e, at(a * 0.999, 1e-14 * a));
                // Near the minor axis, and just off the outline.
                ExpectMatchesReference(e, at(1e-13 * a * unit(rng), b * 2 * unit(rng)));
                ExpectMatchesReference(e, at(a * std::cos(t) * (1 + 1e-10), b * std::sin(t) * (1 + 1e-10)));
            }
}

TEST(TarnEllipseDistance, AxisPointsZeroRadiiAndBadInput)
{
    Point2D c;
    const TarnEllipse e(0, 0, 4, 2, 0);
    // On the major axis inside the evolute the closest point leaves the axis (+y by rule).
    EXPECT_NEAR(e.DistanceToPoint({1, 0}, c), std::sqrt(33.0 / 9), 1e-15);
    EXPECT_NEAR(c.x, 4.0 / 3, 1e-15);
    EXPECT_GT(c.y, 0);
    EXPECT_DOUBLE_EQ(e.DistanceToPoint({0, 0}, c), 2);
    EXPECT_DOUBLE_EQ(e.DistanceToPoint({10, 0}, c), 6);
    EXPECT_DOUBLE_EQ(c.x, 4);
    // Zero radius: the segment of the other axis; both zero: the centre.
    const TarnEllipse flat(1, 1, 0, 3, 0);
    EXPECT_DOUBLE_EQ(flat.DistanceToPoint({3, 5}, c), std::hypot(2, 1));
    EXPECT_DOUBLE_EQ(c.y, 4);
    EXPECT_DOUBLE_EQ(TarnEllipse(1, 1, 0, 0, 0).DistanceToPoint({4, 5}, c), 5);
    EXPECT_TRUE(flat.WithinFullEllipse({1, 3.5}));
    EXPECT_FALSE(flat.WithinFullEllipse({1.1, 1}));
    EXPECT_TRUE(e.WithinFullEllipse({4, 0}));
    EXPECT_FALSE(e.WithinFullEllipse({4, 1e-7}));
    // Non-finite input and negative radii fail, and the guard maps the failure.
    EXPECT_THROW(e.DistanceToPoint({NAN, 0}, c), PrimitiveFailure);
    EXPECT_THROW(TarnEllipse(0, 0, -1, 1, 0), PrimitiveFailure);
    EXPECT_THROW(GuardPrimitives([] { return TarnEllipse(INFINITY, 0, 1, 1, 0).RadiusX(); }),
                 Ostrel::Vision::ArgumentException);
}
