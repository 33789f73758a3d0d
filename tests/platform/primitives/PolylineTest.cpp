// Polylines: nearest point, inside test on and off the outline, nearest pair against a
// scan of all edge pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include <Ostrel/Vision/Private/Polyline.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>

using namespace Ostrel::Vision::Private;

namespace {

Polyline RandomStar(std::mt19937_64& rng, Point2D center, double radius, int n)
{
    std::uniform_real_distribution<double> unit(0.3, 1);
    std::vector<Point2D> v;
    for (int i = 0; i < n; ++i) {
        const double t = 2 * M_PI * i / n, r = radius * unit(rng);
        v.push_back({center.x + r * std::cos(t), center.y + r * std::sin(t)});
    }
    return Polyline::FromPolygon(std::move(v));
}

} // namespace

TEST(Polylines, NearestPointAndInsideTest)
{
    const Polyline square = Polyline::FromPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    Point2D n;
    EXPECT_DOUBLE_EQ(square.NearestPoint({2, 7}, n), 2);
    EXPECT_TRUE(n == (Point2D{0, 7}));
    EXPECT_DOUBLE_EQ(square.NearestPoint({13, 14}, n), 5);
    EXPECT_TRUE(n == (Point2D{10, 10}));
    EXPECT_TRUE(square.Inside({3, 7}));
    EXPECT_TRUE(square.Inside({10, 5})); // on an edge: inside
    EXPECT_TRUE(square.Inside({0, 0}));  // on a vertex
    EXPECT_FALSE(square.Inside({10.000001, 5}));
    EXPECT_FALSE(square.Inside({-1, 0})); // on the line of an edge, beyond it
    EXPECT_FALSE(Polyline::FromSegment({{0, 0}, {1, 1}}).Inside({0.5, 0.5}));
    const Polyline concave = Polyline::FromPolygon({{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}});
    EXPECT_FALSE(concave.Inside({2, 3}));
    EXPECT_TRUE(concave.Inside({1, 1}));
    EXPECT_THROW(Polyline({}, true), PrimitiveFailure);
    EXPECT_THROW(Polyline({{0, NAN}}, true), PrimitiveFailure);
}

TEST(Polylines, NearestPairMatchesScanOfAllEdgePairs)
{
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 41; ++i) {
        Polyline f = RandomStar(rng, {0, 0}, 5, 3 + i * 7);
        if (i == 40) { // vertices in a scattered order: edges criss-cross the whole outline
            std::vector<Point2D> v = f.Vertices();
            std::shuffle(v.begin(), v.end(), rng);
            f = Polyline::FromPolygon(std::move(v));
        }
        const Polyline g =
            i % 4 == 3 ? Polyline::FromSegment({{unit(rng), unit(rng)}, {8 * unit(rng), 8}})
                       : RandomStar(rng, {9 * unit(rng), 9 * unit(rng)}, 1 + 4 * (1 + unit(rng)), 5 + i);
        Point2D onF, onG;
        const double d = NearestPair(f, g, onF, onG);
        double best = INFINITY;
        for (std::size_t a = 0; a < f.EdgeCount(); ++a)
            for (std::size_t b = 0; b < g.EdgeCount(); ++b) {
                Point2D pa, pb;
                best = std::min(best, DistanceSegmentSegment(f.Edge(a), g.Edge(b), pa, pb));
            }
        EXPECT_EQ(d, best);
        EXPECT_NEAR(Distance(onF, onG), d, 1e-14);
        Point2D c;
        EXPECT_LE(f.NearestPoint(onF, c), 1e-14);
        EXPECT_LE(g.NearestPoint(onG, c), 1e-14);
    }
}

// The one-pass query and the index answer alike: the same distance and nearest point (the
// same edge, also on ties, and on an outline in scattered vertex order, where the tree uses
// spatial splits), and the same inside flag off the outline and on its vertices.
TEST(Polylines, OutlinePassAndIndexAgreeWithTheChain)
{
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int shape = 0; shape < 3; ++shape) {
        std::vector<Point2D> v = RandomStar(rng, {2, -1}, 5, shape == 0 ? 7 : 1500).Vertices();
        if (shape == 2)
            std::shuffle(v.begin(), v.end(), rng);
        const Polyline chain = Polyline::FromPolygon(v);
        const OutlineIndex index(v, Ostrel::Vision::Transform2DLinear::Identity());
        std::vector<Point2D> queries(v.begin(), v.begin() + std::min<std::ptrdiff_t>(50, std::ssize(v)));
        for (int k = 0; k < 1000; ++k)
            queries.push_back({2 + 7 * unit(rng), -1 + 7 * unit(rng)});
        queries.push_back({2, -1}); // equally far from many edges of the first star
        for (const Point2D& q : queries) {
            Point2D expected;
            const double d = chain.NearestPoint(q, expected);
            const OutlineNearest pass = NearestOnOutline(v.size(), [&](std::size_t i) { return v[i]; }, q);
            const OutlineNearest indexed = index.Nearest(q);
            for (const OutlineNearest& got : {pass, indexed}) {
                EXPECT_EQ(got.distance, d);
                EXPECT_EQ(got.nearest.x, expected.x);
                EXPECT_EQ(got.nearest.y, expected.y);
                EXPECT_EQ(got.inside, chain.Inside(q));
            }
        }
    }
    // A comb of teeth of random heights on integer coordinates, queried on a half-integer grid:
    // many points lie equally far from several edges, where the lower edge index must win.
    std::vector<Point2D> comb;
    std::uniform_int_distribution<int> height(1, 5);
    for (int i = 0; i < 70; ++i) {
        const double h = height(rng);
        comb.insert(comb.end(), {{2.0 * i, 0}, {2.0 * i, h}, {2.0 * i + 1, h}, {2.0 * i + 1, 0}});
    }
    comb.insert(comb.end(), {{139, -3}, {0, -3}});
    const OutlineIndex combIndex(comb, Ostrel::Vision::Transform2DLinear::Identity());
    for (double x = -1; x <= 141; x += 0.5)
        for (double y = -4; y <= 7; y += 0.5) {
            const OutlineNearest pass = NearestOnOutline(comb.size(), [&](std::size_t i) { return comb[i]; }, {x, y});
            const OutlineNearest indexed = combIndex.Nearest({x, y});
            ASSERT_EQ(indexed.nearest.x, pass.nearest.x) << x << ", " << y;
            ASSERT_EQ(indexed.nearest.y, pass.nearest.y) << x << ", " << y;
        }
    EXPECT_THROW(NearestOnOutline(0, [](std::size_t) { return Point2D{}; }, {0, 0}), PrimitiveFailure);
    EXPECT_THROW(OutlineIndex({{1, 1}, {INFINITY, 0}}, {}), PrimitiveFailure);
}
