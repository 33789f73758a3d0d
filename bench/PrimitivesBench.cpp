// Costs of the geometry primitives on randomised inputs (fixed seeds), one query per
// iteration cycling through a prepared set so that branch prediction sees variety.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include <Ostrel/Vision/Private/Polyline.h>
#include <Ostrel/Vision/Private/RoundShapes.h>
#include <Ostrel/Vision/Transform2D.h>

using namespace Ostrel::Vision::Private;

namespace {

constexpr std::size_t kSet = 1024;

std::vector<Point2D> Points(double spread, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(-spread, spread);
    std::vector<Point2D> out(kSet);
    for (auto& p : out)
        p = {u(rng), u(rng)};
    return out;
}

std::vector<TarnEllipse> Ellipses(unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<TarnEllipse> out;
    for (std::size_t i = 0; i < kSet; ++i)
        out.emplace_back(u(rng), u(rng), 1 + u(rng), (1 + u(rng)) * std::pow(10.0, -4 * u(rng)), 6 * u(rng));
    return out;
}

void PointEllipseDistance(benchmark::State& state)
{
    const auto es = Ellipses(1);
    const auto ps = Points(3, 2);
    std::size_t i = 0;
    for (auto _ : state) {
        Point2D c;
        benchmark::DoNotOptimize(es[i % kSet].DistanceToPoint(ps[i % kSet], c));
        benchmark::DoNotOptimize(c);
        ++i;
    }
}
BENCHMARK(PointEllipseDistance);

void PointEllipseDistanceNearMajorAxis(benchmark::State& state)
{
    const auto es = Ellipses(1);
    std::vector<Point2D> ps;
    for (std::size_t k = 0; k < kSet; ++k)
        ps.push_back(es[k].ToWorld({0.9 * es[k].RadiusX() * (k % 2 ? 1 : -1), 1e-13 * es[k].RadiusY()}));
    std::size_t i = 0;
    for (auto _ : state) {
        Point2D c;
        benchmark::DoNotOptimize(es[i % kSet].DistanceToPoint(ps[i % kSet], c));
        ++i;
    }
}
BENCHMARK(PointEllipseDistanceNearMajorAxis);

template <class Query> void Run(benchmark::State& state, Query query)
{
    std::size_t i = 0;
    for (auto _ : state) {
        query(i % kSet);
        ++i;
    }
}

void CircleQueries(benchmark::State& state)
{
    const auto a = Points(2, 3), b = Points(2, 4);
    std::vector<Circle2D> circles;
    for (std::size_t k = 0; k < kSet; ++k)
        circles.push_back({a[k], 0.5 + std::fabs(b[k].x)});
    const int which = static_cast<int>(state.range(0));
    Run(state, [&](std::size_t k) {
        Point2D p, q;
        int n = 0;
        const Circle2D& c = circles[k];
        const Circle2D& d = circles[(k + 1) % kSet];
        const Line2D line{b[k], a[(k + 7) % kSet]};
        const Segment2D seg{b[k], a[(k + 7) % kSet]};
        switch (which) {
        case 0:
            benchmark::DoNotOptimize(DistanceCircleLine(c, line, p, q));
            break;
        case 1:
            benchmark::DoNotOptimize(DistanceCircleSegment(c, seg, p, q));
            break;
        case 2:
            benchmark::DoNotOptimize(DistanceCircleCircle(c, d, p, q));
            break;
        case 3:
            benchmark::DoNotOptimize(IntersectCircleLine(c, line, n, p, q));
            break;
        case 4:
            benchmark::DoNotOptimize(IntersectCircleSegment(c, seg, n, p, q));
            break;
        case 5:
            benchmark::DoNotOptimize(IntersectCircleCircle(c, d, n, p, q));
            break;
        case 6:
            benchmark::DoNotOptimize(IntersectSegmentSegment(seg, {a[k], b[(k + 3) % kSet]}, &n, &p));
            break;
        default:
            benchmark::DoNotOptimize(DistancePointSegment(a[k], seg, p));
            break;
        }
        benchmark::DoNotOptimize(p);
    });
}
BENCHMARK(CircleQueries)
    ->DenseRange(0, 7)
    ->ArgName("DistLine_DistSeg_DistCircle_IntLine_IntSeg_IntCircle_SegSeg_PtSeg");

void EllipseQueries(benchmark::State& state)
{
    const auto es = Ellipses(5);
    const auto a = Points(3, 6), b = Points(3, 7);
    const int which = static_cast<int>(state.range(0));
    Run(state, [&](std::size_t k) {
        Point2D p, q, r, s;
        int n = 0;
        const Line2D line{a[k], b[k]};
        const Segment2D seg{a[k], b[k]};
        switch (which) {
        case 0:
            benchmark::DoNotOptimize(es[k].Intersections(line, p, q));
            break;
        case 1:
            benchmark::DoNotOptimize(DistanceEllipseLine(es[k], line, p, q));
            break;
        case 2:
            benchmark::DoNotOptimize(DistanceEllipseSegment(es[k], seg, p, q));
            break;
        case 3:
            benchmark::DoNotOptimize(IntersectEllipseSegment(es[k], seg, n, p, q));
            break;
        case 4:
            benchmark::DoNotOptimize(IntersectEllipseEllipse(es[k], es[(k + 1) % kSet], n, p, q, r, s));
            break;
        default:
            benchmark::DoNotOptimize(DistanceEllipseEllipse(es[k], es[(k + 1) % kSet], p, q));
            break;
        }
        benchmark::DoNotOptimize(p);
    });
}
BENCHMARK(EllipseQueries)
    ->DenseRange(0, 5)
    ->ArgName("IntLine_DistLine_DistSeg_IntSeg_IntEllipse_DistEllipse");

// Ellipse pairs by how they lie: apart, one nested inside the other, and crossing. Axis
// ratios up to 1e4, sizes 1 to 2, rotations at random; the distance of a pair apart or
// nested ranges from touching to several sizes.
std::vector<std::pair<TarnEllipse, TarnEllipse>> EllipsePairs(int kind, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::pair<TarnEllipse, TarnEllipse>> out;
    const auto random = [&](double size, Point2D c) {
        return TarnEllipse(c.x, c.y, size * (1 + u(rng)), size * (1 + u(rng)) * std::pow(10.0, -4 * u(rng)),
                           6 * u(rng));
    };
    while (out.size() < kSet) {
        const TarnEllipse a = random(1, {0, 0});
        Point2D p, q, r, s, x, y;
        int n = 0;
        if (kind == 1) {
            // Inside a, clear of its outline by the small ellipse's size.
            const Point2D c = a.ToWorld({a.RadiusX() * (2 * u(rng) - 1), a.RadiusY() * (2 * u(rng) - 1)});
            const double room = a.WithinFullEllipse(c) ? a.DistanceToPoint(c, x) : 0;
            if (room <= 0)
                continue;
            const TarnEllipse b = random(0.5 * room * u(rng), c);
            out.emplace_back(u(rng) < 0.5 ? std::make_pair(a, b) : std::make_pair(b, a));
            continue;
        }
        const double angle = 6 * u(rng), reach = 4 * u(rng);
        const TarnEllipse b = random(0.2 + u(rng), {reach * std::cos(angle), reach * std::sin(angle)});
        const bool cross = IntersectEllipseEllipse(a, b, n, p, q, r, s);
        const bool nested = a.WithinFullEllipse({b.CenterX(), b.CenterY()}) ||
                            b.WithinFullEllipse({a.CenterX(), a.CenterY()});
        if (kind == 2 ? cross : (!cross && !nested))
            out.emplace_back(a, b);
    }
    return out;
}

void EllipsePairDistance(benchmark::State& state)
{
    const auto pairs = EllipsePairs(static_cast<int>(state.range(0)), 11);
    Run(state, [&](std::size_t k) {
        Point2D p, q;
        benchmark::DoNotOptimize(DistanceEllipseEllipse(pairs[k].first, pairs[k].second, p, q));
        benchmark::DoNotOptimize(p);
    });
}
BENCHMARK(EllipsePairDistance)->DenseRange(0, 2)->ArgName("Apart_Nested_Crossing");

// Pairs that touch, outside or one inside the other, axis ratios 1 to 1e4: the slow path
// of the crossing search. Each pair is timed on its own (best of 16 runs) so that the
// median and the worst pair are reported beside the mean; the argument swaps the order.
std::vector<std::pair<TarnEllipse, TarnEllipse>> TouchingPairs(unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::pair<TarnEllipse, TarnEllipse>> out;
    for (std::size_t k = 0; k < kSet; ++k) {
        const double rx = 0.5 + u(rng);
        const TarnEllipse a(u(rng), u(rng), rx, rx * std::pow(10.0, -4 * u(rng)), 7 * u(rng));
        const double t = 7 * u(rng);
        const Point2D p = a.ToWorld({a.RadiusX() * std::cos(t), a.RadiusY() * std::sin(t)});
        const Point2D nl = a.ToWorld({a.RadiusY() * std::cos(t), a.RadiusX() * std::sin(t)}) -
                           Point2D{a.CenterX(), a.CenterY()};
        // b's outline point with outward normal m at p: outside a (m = -n) or around it.
        const bool around = k % 2 == 1;
        const double len = std::hypot(nl.x, nl.y), mx = (around ? 1 : -1) * nl.x / len,
                     my = (around ? 1 : -1) * nl.y / len;
        const double rb = around ? 2 + u(rng) : 0.2 + u(rng), ry = rb * std::pow(10.0, -4 * u(rng));
        const double rot = 7 * u(rng), c = std::cos(rot), s = std::sin(rot);
        const double lx = c * mx + s * my, ly = c * my - s * mx, h = std::hypot(rb * lx, ry * ly);
        const double px = rb * rb * lx / h, py = ry * ry * ly / h;
        out.emplace_back(a, TarnEllipse(p.x - (c * px - s * py), p.y - (s * px + c * py), rb, ry, rot));
    }
    return out;
}

void EllipsePairIntersectTouching(benchmark::State& state)
{
    const auto pairs = TouchingPairs(21);
    const bool swap = state.range(0) != 0;
    const auto query = [&](std::size_t k) {
        Point2D p, q, r, s;
        int n = 0;
        const auto& [a, b] = pairs[k];
        benchmark::DoNotOptimize(IntersectEllipseEllipse(swap ? b : a, swap ? a : b, n, p, q, r, s));
        benchmark::DoNotOptimize(p);
    };
    Run(state, query);
    std::vector<double> times;
    for (std::size_t k = 0; k < kSet; ++k) {
        double best = INFINITY;
        for (int r = 0; r < 16; ++r) {
            const auto start = std::chrono::steady_clock::now();
            query(k);
            best = std::min(
                best,
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        times.push_back(best);
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[kSet / 2];
    state.counters["worst_us"] = times.back();
}
BENCHMARK(EllipsePairIntersectTouching)->DenseRange(0, 1)->ArgName("swapped");

void EllipseMapLinear(benchmark::State& state)
{
    const auto es = Ellipses(12);
    const auto m = Points(2, 13), t = Points(5, 14);
    std::vector<Ostrel::Vision::Transform2DLinear> maps;
    for (std::size_t k = 0; k < kSet; ++k)
        maps.emplace_back(m[k].x, m[k].y, m[(k + 1) % kSet].x, m[(k + 1) % kSet].y, t[k].x, t[k].y);
    Run(state, [&](std::size_t k) { benchmark::DoNotOptimize(es[k].MapLinear(maps[k])); });
}
BENCHMARK(EllipseMapLinear);

Polyline Star(std::size_t n, Point2D c, double radius, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.9, 1);
    std::vector<Point2D> v;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n), r = radius * u(rng);
        v.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
    }
    return Polyline::FromPolygon(std::move(v));
}

void PolylineNearestPair(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const Polyline f = Star(n, {0, 0}, 100, 8);
    // Apart, and nested (the second inside the first).
    const Polyline g = state.range(1) ? Star(n, {5, 0}, 50, 9) : Star(n, {250, 30}, 100, 9);
    for (auto _ : state) {
        Point2D p, q;
        benchmark::DoNotOptimize(NearestPair(f, g, p, q));
    }
}
BENCHMARK(PolylineNearestPair)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);

void PolylineNearestPointAndInside(benchmark::State& state)
{
    const Polyline f = Star(100000, {0, 0}, 100, 8);
    for (auto _ : state) {
        Point2D p;
        benchmark::DoNotOptimize(f.NearestPoint({3, 4}, p));
        benchmark::DoNotOptimize(f.Inside({3, 4}));
    }
}
BENCHMARK(PolylineNearestPointAndInside)->Unit(benchmark::kMillisecond);

} // namespace
