// Crossings near tangency against 50-digit references: ellipse pairs that touch from
// outside or inside, one or both thin, in both argument orders; circles of very different
// radii that nearly touch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include <Ostrel/Vision/Private/RoundShapes.h>

#include "HighPrecision.h"

using namespace Ostrel::Vision::Private;
using namespace HighPrecision;

namespace {

// The ellipse whose outline point with outward normal m lies at q.
TarnEllipse Touching(Point2D q, Point2D m, double rx, double ry, double rotation)
{
    const double c = std::cos(rotation), s = std::sin(rotation);
    const double lx = c * m.x + s * m.y, ly = c * m.y - s * m.x, k = std::hypot(rx * lx, ry * ly);
    const double px = rx * rx * lx / k, py = ry * ry * ly / k;
    return {q.x - (c * px - s * py), q.y - (s * px + c * py), rx, ry, rotation};
}

double Size(const TarnEllipse& a, const TarnEllipse& b)
{
    return std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
}

double Apart(const RVec& x, Point2D p)
{
    return static_cast<double>(hypot(x.x - p.x, x.y - p.y));
}

// Both argument orders against the reference: the count, one point per stretch of the
// reference (a crossing at its root, a contact near its features), every point within the
// band of both outlines, and a distance that is 0 exactly when points are reported.
void ExpectPairAsReference(const TarnEllipse& a, const TarnEllipse& b, const std::string& what)
{
    const double size = Size(a, b), band = TarnEllipse::kTangencyBand * size;
    const std::vector<Feature> features = PairFeatures(a, b);
    // An extremum close to the band's edge may fall either way.
    const auto narrow = Stretches(features, Real(band / 2)), wide = Stretches(features, Real(2 * band));
    const Frame fa(a), fb(b);
    Real nearest = 1;
    for (const Feature& f : features)
        if (!f.root)
            nearest = std::min(nearest, f.offset / size);
    std::vector<std::pair<double, double>> seen[2];
    for (bool swap : {false, true}) {
        const TarnEllipse& x = swap ? b : a;
        const TarnEllipse& y = swap ? a : b;
        int count = -1;
        Point2D q[4];
        IntersectEllipseEllipse(x, y, count, q[0], q[1], q[2], q[3]);
        const auto& stretches = static_cast<std::size_t>(count) == wide.size() ? wide : narrow;
        ASSERT_EQ(static_cast<std::size_t>(count), stretches.size())
            << what << (swap ? " (b, a)" : " (a, b)") << ": reference " << narrow.size() << " or "
            << wide.size();
        std::vector<bool> taken(stretches.size());
        double angle = -1; // of x, in [0, 2π)
        for (int i = 0; i < count; ++i) {
            seen[swap].emplace_back(q[i].x, q[i].y);
            const Point2D l = x.ToLocal(q[i]);
            const double t = std::atan2(l.y / x.RadiusY(), l.x / x.RadiusX());
            EXPECT_LT(angle, t < 0 ? t + 2 * M_PI : t) << what << ": out of the order of the first's angle";
            angle = t < 0 ? t + 2 * M_PI : t;
            EXPECT_LE(static_cast<double>(fa.Offset(Promote(q[i]))), 2 * band) << what;
            EXPECT_LE(static_cast<double>(fb.Offset(Promote(q[i]))), 2 * band) << what;
            std::size_t best = 0;
            double bestApart = INFINITY;
            for (std::size_t k = 0; k < stretches.size(); ++k)
                for (const Feature& f : stretches[k])
                    if (Apart(f.point, q[i]) < bestApart)
                        bestApart = Apart(f.point, q[i]), best = k;
            // A crossing lies on both outlines to their rounding.
            const bool crossing = stretches[best].size() == 1 && stretches[best][0].root;
            EXPECT_LE(bestApart, (crossing ? 1e-9 : 1e-5) * size) << what << " point " << i;
            EXPECT_TRUE(!crossing ||
                        std::max(fa.Offset(Promote(q[i])), fb.Offset(Promote(q[i]))) <= 1e-14 * size)
                << what << " point " << i;
            EXPECT_FALSE(taken[best]) << what << ": two points for one crossing or contact";
            taken[best] = true;
        }
        Point2D onX, onY;
        const double distance = DistanceEllipseEllipse(x, y, onX, onY);
        EXPECT_EQ(distance == 0, count > 0) << what << " distance " << distance;
        if (count == 0 && nearest < 1e-10) {
            EXPECT_NEAR(distance / size, static_cast<double>(nearest), 1e-3 * static_cast<double>(nearest))
                << what;
        }
    }
    // The same points, bit for bit, whichever comes first.
    std::sort(seen[0].begin(), seen[0].end());
    std::sort(seen[1].begin(), seen[1].end());
    EXPECT_EQ(seen[0], seen[1]) << what;
}

} // namespace

// Pairs that touch, from outside and with one inside the other, moved apart or into each
// other by less and more than the band, and well apart or across; axis ratios 1 to 1e4,
// sizes 1e-3 to 1e3.
TEST(Tangency, TouchingEllipsePairsAsTheReference)
{
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto ratio = [&] { return std::pow(10.0, 4 * unit(rng)); };
    for (int kind = 0; kind < 3; ++kind)
        for (double gap : {-1e-3, -1e-9, -1e-11, -2e-13, 0.0, 2e-13, 1e-11, 1e-9, 1e-3})
            for (double ratioA : {1.0, 1e2, 1e4})
                for (const double scale : {1e-3, 1.0, 1e3}) {
                    const double rx = scale * (0.5 + unit(rng));
                    const TarnEllipse a(scale * (unit(rng) - 0.5), scale * (unit(rng) - 0.5), rx, rx / ratioA,
                                        7 * unit(rng));
                    const double t = 7 * unit(rng);
                    const Point2D p = a.ToWorld({a.RadiusX() * std::cos(t), a.RadiusY() * std::sin(t)});
                    const Point2D nl = a.ToWorld({a.RadiusY() * std::cos(t), a.RadiusX() * std::sin(t)}) -
                                       Point2D{a.CenterX(), a.CenterY()};
                    const Point2D n = (1 / Length(nl)) * nl;
                    // Outside a; inside a (smaller than its narrow side); around a.
                    const double rb = kind == 0   ? scale * (0.2 + unit(rng))
                                      : kind == 1 ? a.RadiusY() * unit(rng)
                                                  : scale * (2 + unit(rng));
                    const double rotation = 7 * unit(rng), shift = gap * std::max(rx, rb);
                    const TarnEllipse b =
                        kind == 0   ? Touching(p + shift * n, -1 * n, rb, rb / ratio(), rotation)
                        : kind == 1 ? Touching(p - shift * n, n, rb, rb / ratio(), rotation)
                                    : Touching(p + shift * n, n, rb, rb / ratio(), rotation);
                    ExpectPairAsReference(a, b,
                                          "kind " + std::to_string(kind) + " gap " + std::to_string(gap) +
                                              " ratio " + std::to_string(ratioA) + " size " +
                                              std::to_string(scale));
                }
    // Thin pairs met in use, in full precision.
    ExpectPairAsReference({-0.20265263278120485, -0.03569286372482789, 0.12737636393496174,
                           0.00035590030236712714, 1.6320910942252744},
                          {-0.18457832833594381, -0.31336159204960612, 0.43042566741447114,
                           0.00015100557486413609, -1.5013419088724396},
                          "thin pair 1");
    ExpectPairAsReference({-2.7854127475072525, -5.5990178520980898, 0.00044106445288800961,
                           4.2313973522543744, 1.6538711626037463},
                          {0.22955034486335202, -3.5154666749387151, 2.1271354039009931, 1.272845753340978,
                           -3.9346036111476339},
                          "thin pair 2");
    ExpectPairAsReference({-0.5540922061453416, -0.078905259940284661, 0.5879407225746901,
                           0.00029199030999550469, 1.6951524433103524},
                          {0.079638869618768426, -2.6642964910988121, 3.7063794226494493, 0.14875133288908102,
                           -4.5151115034854215},
                          "thin pair 3");
}

// Circles with radius ratios 1 to 1e6 that overlap by about 1e-9 of the larger radius,
// outside and inside each other: both crossings to 1e-13 of the larger radius.
TEST(Tangency, NearlyTouchingCirclesOfVeryDifferentRadii)
{
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> unit(0, 1);
    for (double ratio = 1; ratio <= 1e6; ratio *= 10)
        for (bool inside : {false, true})
            for (int k = 0; k < 8; ++k) {
                const double big = 0.5 + unit(rng), small = big / ratio, angle = 7 * unit(rng);
                const double overlap = big * 1e-9 * (0.5 + unit(rng));
                if (inside && ratio == 1)
                    continue;
                const double d = inside ? big - small + overlap : big + small - overlap;
                const Circle2D a{{unit(rng) - 0.5, unit(rng) - 0.5}, big};
                const Circle2D b{{a.center.x + d * std::cos(angle), a.center.y + d * std::sin(angle)}, small};
                // The reference from the circles as given.
                const RVec u{Real(b.center.x) - a.center.x, Real(b.center.y) - a.center.y};
                const Real dd = sqrt(u.x * u.x + u.y * u.y);
                const Real x = (dd * dd + Real(big) * big - Real(small) * small) / (2 * dd);
                const Real h = sqrt(Real(big) * big - x * x);
                const RVec want[2] = {
                    {a.center.x + (x * u.x - h * u.y) / dd, a.center.y + (x * u.y + h * u.x) / dd},
                    {a.center.x + (x * u.x + h * u.y) / dd, a.center.y + (x * u.y - h * u.x) / dd}};
                for (bool swap : {false, true}) {
                    int count = 0;
                    Point2D p[2];
                    IntersectCircleCircle(swap ? b : a, swap ? a : b, count, p[0], p[1]);
                    ASSERT_EQ(count, 2) << "ratio " << ratio;
                    for (const Point2D& q : p)
                        EXPECT_LE(std::min(Apart(want[0], q), Apart(want[1], q)), 1e-13 * big)
                            << "ratio " << ratio << (inside ? " inside" : " outside");
                }
            }
}
