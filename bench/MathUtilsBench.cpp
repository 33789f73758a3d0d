// Costs of the MathUtils computations on framework shapes (fixed seeds), one call per
// iteration cycling through prepared shapes; "/Image" variants map every shape through an
// image's space tree (a plate space scaled, turned and moved), as the tools do on each run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <boost/geometry.hpp>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Polygon.h>

using namespace Ostrel::Vision;
namespace Quill = Ostrel::Quill;
using Geometry::MathUtils;

namespace {

constexpr std::size_t kSet = 64;
constexpr double kPi = std::numbers::pi;

struct Shapes {
    std::vector<std::shared_ptr<Line>> lines;
    std::vector<std::shared_ptr<LineSegment>> segments;
    std::vector<std::shared_ptr<Circle>> circles;
    std::vector<std::shared_ptr<Ellipse>> ellipses;
    std::vector<std::shared_ptr<Polygon>> polygons;
    std::vector<double> xs, ys;
    std::shared_ptr<Image8Grey> image;

    explicit Shapes(const char* space)
    {
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> u(-10, 10);
        std::uniform_real_distribution<double> r(0.5, 5);
        for (std::size_t i = 0; i < kSet; ++i) {
            lines.push_back(Quill::Create<Line>());
            lines.back()->SetXYRotation(u(rng), u(rng), u(rng));
            segments.push_back(Quill::Create<LineSegment>());
            segments.back()->SetStartEnd(u(rng), u(rng), u(rng), u(rng));
            circles.push_back(Quill::Create<Circle>());
            circles.back()->SetCenterRadius(u(rng), u(rng), r(rng));
            ellipses.push_back(Quill::Create<Ellipse>());
            ellipses.back()->SetCenterXYRadiusXYRotation(u(rng), u(rng), r(rng), r(rng), u(rng));
            polygons.push_back(Quill::Create<Polygon>());
            for (int k = 0; k < 8; ++k)
                polygons.back()->AddVertex(u(rng), u(rng));
            xs.push_back(u(rng));
            ys.push_back(u(rng));
            for (GraphicBase* g : {static_cast<GraphicBase*>(lines.back().get()),
                                   static_cast<GraphicBase*>(segments.back().get()),
                                   static_cast<GraphicBase*>(circles.back().get()),
                                   static_cast<GraphicBase*>(ellipses.back().get()),
                                   static_cast<GraphicBase*>(polygons.back().get())})
                g->setSelectedSpaceName(space);
        }
        image = Quill::Create<Image8Grey>(640, 480);
        image->CoordinateSpaceTree()->AddSpace(
            "#", "Plate", Transform2DLinear::ScaleRotationTranslation(0.05, 0.04, 0.3, -5, 3));
    }
};

const Shapes& Plain()
{
    static const Shapes shapes(".");
    return shapes;
}
const Shapes& Plate()
{
    static const Shapes shapes("Plate");
    return shapes;
}

// Runs `call(shapes, i, image)` once per iteration over the prepared set; range(0) != 0
// passes the image.
template <class Call> void Cycle(benchmark::State& state, Call call)
{
    const bool mapped = state.range(0) != 0;
    const Shapes& s = mapped ? Plate() : Plain();
    const IImage* image = mapped ? s.image.get() : nullptr;
    std::size_t i = 0;
    for (auto _ : state) {
        call(s, i % kSet, (i * 7 + 3) % kSet, image);
        ++i;
    }
}

#define MATHUTILS_BENCH(Name, body)                                                                          \
    void Name(benchmark::State& state)                                                                       \
    {                                                                                                        \
        Cycle(state, [](const Shapes& s, std::size_t i, std::size_t j, const IImage* image) {                \
            (void)j;                                                                                         \
            double ax, ay, bx, by;                                                                           \
            int n;                                                                                           \
            (void)n;                                                                                         \
            benchmark::DoNotOptimize(body);                                                                  \
            benchmark::DoNotOptimize(ax + ay);                                                               \
            (void)bx, (void)by;                                                                              \
        });                                                                                                  \
    }                                                                                                        \
    BENCHMARK(Name)->ArgName("Image")->Arg(0)->Arg(1)

MATHUTILS_BENCH(DistancePointLine,
                (bx = by = 0, MathUtils::DistancePointLine(s.xs[i], s.ys[i], *s.lines[i], image, ax, ay)));
MATHUTILS_BENCH(DistancePointSegment,
                (bx = by = 0,
                 MathUtils::DistancePointSegment(s.xs[i], s.ys[i], *s.segments[i], image, ax, ay)));
MATHUTILS_BENCH(DistancePointCircle,
                (bx = by = 0,
                 MathUtils::DistancePointCircle(s.xs[i], s.ys[i], *s.circles[i], image, ax, ay)));
MATHUTILS_BENCH(DistancePointEllipse,
                (bx = by = 0,
                 MathUtils::DistancePointEllipse(s.xs[i], s.ys[i], *s.ellipses[i], image, ax, ay)));
MATHUTILS_BENCH(DistancePointPolygon8,
                (bx = by = 0,
                 MathUtils::DistancePointPolygon(s.xs[i], s.ys[i], *s.polygons[i], image, ax, ay)));
MATHUTILS_BENCH(DistanceSegmentLine,
                MathUtils::DistanceSegmentLine(*s.segments[i], *s.lines[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceSegmentSegment,
                MathUtils::DistanceSegmentSegment(*s.segments[i], *s.segments[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceLineCircle,
                MathUtils::DistanceLineCircle(*s.lines[i], *s.circles[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceLineEllipse,
                MathUtils::DistanceLineEllipse(*s.lines[i], *s.ellipses[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceSegmentCircle,
                MathUtils::DistanceSegmentCircle(*s.segments[i], *s.circles[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceSegmentEllipse,
                MathUtils::DistanceSegmentEllipse(*s.segments[i], *s.ellipses[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceCircleCircle,
                MathUtils::DistanceCircleCircle(*s.circles[i], *s.circles[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistanceSegmentPolygon8,
                MathUtils::DistanceSegmentPolygon(*s.segments[i], *s.polygons[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(DistancePolygonPolygon8,
                MathUtils::DistancePolygonPolygon(*s.polygons[i], *s.polygons[j], image, ax, ay, bx, by));
MATHUTILS_BENCH(IntersectSegmentLine,
                (bx = by = 0,
                 MathUtils::IntersectSegmentLine(*s.segments[i], *s.lines[j], image, n, ax, ay)));
MATHUTILS_BENCH(IntersectSegmentSegment,
                (bx = by = 0,
                 MathUtils::IntersectSegmentSegment(*s.segments[i], *s.segments[j], image, n, ax, ay)));
MATHUTILS_BENCH(IntersectLineCircle,
                MathUtils::IntersectLineCircle(*s.lines[i], *s.circles[j], image, n, ax, ay, bx, by));
MATHUTILS_BENCH(IntersectLineEllipse,
                MathUtils::IntersectLineEllipse(*s.lines[i], *s.ellipses[j], image, n, ax, ay, bx, by));
MATHUTILS_BENCH(IntersectSegmentCircle,
                MathUtils::IntersectSegmentCircle(*s.segments[i], *s.circles[j], image, n, ax, ay, bx, by));
MATHUTILS_BENCH(IntersectSegmentEllipse,
                MathUtils::IntersectSegmentEllipse(*s.segments[i], *s.ellipses[j], image, n, ax, ay, bx, by));
MATHUTILS_BENCH(AngleLineLine,
                (bx = by = ax = ay = 0, MathUtils::AngleLineLine(*s.lines[i], *s.lines[j], image)));
MATHUTILS_BENCH(InsidePointCircle, (bx = by = ax = ay = 0,
                                    MathUtils::InsidePointCircle(s.xs[i], s.ys[i], *s.circles[i], image)));
MATHUTILS_BENCH(InsidePointEllipse, (bx = by = ax = ay = 0,
                                     MathUtils::InsidePointEllipse(s.xs[i], s.ys[i], *s.ellipses[i], image)));
MATHUTILS_BENCH(CreateLinePerpendicular,
                (bx = by = ax = ay = 0,
                 MathUtils::CreateLinePerpendicular(s.xs[i], s.ys[i], *s.lines[j], image)));
MATHUTILS_BENCH(CreateSegmentByAveragingSegments,
                (bx = by = ax = ay = 0,
                 MathUtils::CreateSegmentByAveragingSegments(*s.segments[i], *s.segments[j], image)));

void IntersectLineLine(benchmark::State& state)
{
    const Shapes& s = Plain();
    std::size_t i = 0;
    for (auto _ : state) {
        int n;
        double x, y, angle;
        benchmark::DoNotOptimize(MathUtils::IntersectLineLine(
            *s.lines[i % kSet], *s.lines[(i * 7 + 3) % kSet], *s.image, n, x, y, angle));
        benchmark::DoNotOptimize(x + y + angle);
        ++i;
    }
}
BENCHMARK(IntersectLineLine);

void IntersectCircleCircle(benchmark::State& state)
{
    Cycle(state, [](const Shapes& s, std::size_t i, std::size_t j, const IImage* image) {
        int n;
        double p[8];
        benchmark::DoNotOptimize(MathUtils::IntersectCircleCircle(
            *s.circles[i], *s.circles[j], image, n, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]));
        benchmark::DoNotOptimize(p);
    });
}
BENCHMARK(IntersectCircleCircle)->ArgName("Image")->Arg(0)->Arg(1);

// Large polygons: jagged rings of n vertices around two centres, the second ring partly
// inside the first's hull so that the nearest pair is not at an obvious place.
std::shared_ptr<Polygon> Ring(std::size_t n, double cx, double cy, double radius, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> jitter(0.97, 1.03);
    auto polygon = Quill::Create<Polygon>();
    for (std::size_t k = 0; k < n; ++k) {
        const double t = 2 * kPi * static_cast<double>(k) / static_cast<double>(n);
        const double r = radius * jitter(rng);
        polygon->AddVertex(cx + r * std::cos(t), cy + r * std::sin(t));
    }
    return polygon;
}

void DistancePolygonPolygonLarge(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto a = Ring(n, 0, 0, 1000, 1);
    const auto b = Ring(n, 2100, 300, 1000, 2);
    for (auto _ : state) {
        double ax, ay, bx, by;
        benchmark::DoNotOptimize(MathUtils::DistancePolygonPolygon(*a, *b, nullptr, ax, ay, bx, by));
    }
}
BENCHMARK(DistancePolygonPolygonLarge)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void DistanceSegmentPolygonLarge(benchmark::State& state)
{
    const auto polygon = Ring(static_cast<std::size_t>(state.range(0)), 0, 0, 1000, 1);
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(-300, 1100, 400, 1200);
    for (auto _ : state) {
        double ax, ay, bx, by;
        benchmark::DoNotOptimize(
            MathUtils::DistanceSegmentPolygon(*segment, *polygon, nullptr, ax, ay, bx, by));
    }
}
BENCHMARK(DistanceSegmentPolygonLarge)->Arg(100000)->Unit(benchmark::kMillisecond);

// One query on a polygon of 10^5 vertices: the signed distance and nearest point through
// MathUtils, without an image or through the plate space. "Indexed:0" makes every query
// the first on its polygon (a vertex set to itself drops the index), so each is one pass
// over the edges; "Indexed:1" repeats the query on an unchanged polygon, which answers from
// its index. Beside them two references for the same answer on the same vertices:
// "PlainLoop" is the textbook single pass (clamped projection, squared distance, even-odd
// crossing count); "GeneralLibrary" is what a user of a general-purpose geometry library
// writes, the distance to the outline and a within test (Boost.Geometry's two passes).
constexpr double kQueryX = 120, kQueryY = -40;

void DistancePointPolygonLarge(benchmark::State& state)
{
    const auto polygon = Ring(static_cast<std::size_t>(state.range(0)), 0, 0, 1000, 1);
    const IImage* image = state.range(1) ? Plate().image.get() : nullptr;
    if (image)
        polygon->setSelectedSpaceName("Plate");
    const bool indexed = state.range(2) != 0;
    const double x0 = polygon->VertexX(0), y0 = polygon->VertexY(0);
    for (auto _ : state) {
        if (!indexed)
            polygon->SetVertex(0, x0, y0);
        double x, y;
        benchmark::DoNotOptimize(MathUtils::DistancePointPolygon(kQueryX, kQueryY, *polygon, image, x, y));
    }
}
BENCHMARK(DistancePointPolygonLarge)
    ->ArgNames({"n", "Image", "Indexed"})
    ->ArgsProduct({{100000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// 1000 queries at scattered points on one polygon of 10^5 vertices, per iteration. The
// polygon keeps an index over its outline from the second query on; with the argument 1
// every iteration starts from a polygon never queried (its copy made outside the timing),
// so the first pass and the index build are counted too.
void DistancePointPolygonThousandQueries(benchmark::State& state)
{
    const auto polygon = Ring(100000, 0, 0, 1000, 1);
    const IImage* image = Plate().image.get();
    polygon->setSelectedSpaceName("Plate");
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1200, 1200);
    std::vector<std::pair<double, double>> queries(1000);
    const auto toImage = image->TransformToImage("Plate");
    for (auto& [x, y] : queries) // around and across the ring, in the image
        toImage->MapPoint(u(rng), u(rng), x, y);
    for (auto _ : state) {
        std::shared_ptr<Polygon> target = polygon;
        if (state.range(0)) {
            state.PauseTiming();
            target = polygon->Copy(0);
            target->setSelectedSpaceName("Plate");
            state.ResumeTiming();
        }
        for (const auto& [x, y] : queries) {
            double px, py;
            benchmark::DoNotOptimize(MathUtils::DistancePointPolygon(x, y, *target, image, px, py));
        }
    }
}
BENCHMARK(DistancePointPolygonThousandQueries)->ArgName("FirstUse")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void DistancePointPolygonPlainLoop(benchmark::State& state)
{
    const auto polygon = Ring(static_cast<std::size_t>(state.range(0)), 0, 0, 1000, 1);
    const auto& v = polygon->Vertices();
    for (auto _ : state) {
        double best = INFINITY, nx = 0, ny = 0;
        bool inside = false;
        for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
            const auto [ax, ay] = v[j];
            const auto [bx, by] = v[i];
            const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
            double t = len2 > 0 ? ((kQueryX - ax) * dx + (kQueryY - ay) * dy) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double px = ax + t * dx, py = ay + t * dy;
            const double d2 = (kQueryX - px) * (kQueryX - px) + (kQueryY - py) * (kQueryY - py);
            if (d2 < best) {
                best = d2;
                nx = px;
                ny = py;
            }
            if ((ay > kQueryY) != (by > kQueryY) && kQueryX < ax + (kQueryY - ay) * dx / dy)
                inside = !inside;
        }
        benchmark::DoNotOptimize(inside ? -std::sqrt(best) : std::sqrt(best));
        benchmark::DoNotOptimize(nx + ny);
    }
}
BENCHMARK(DistancePointPolygonPlainLoop)->Arg(100000)->ArgName("n")->Unit(benchmark::kMicrosecond);

void DistancePointPolygonGeneralLibrary(benchmark::State& state)
{
    namespace bg = boost::geometry;
    using BPoint = bg::model::d2::point_xy<double>;
    const auto polygon = Ring(static_cast<std::size_t>(state.range(0)), 0, 0, 1000, 1);
    bg::model::linestring<BPoint> outline;
    bg::model::polygon<BPoint> area;
    for (const auto& [x, y] : polygon->Vertices()) {
        outline.emplace_back(x, y);
        bg::append(area.outer(), BPoint(x, y));
    }
    outline.push_back(outline.front());
    bg::correct(area);
    const BPoint query(kQueryX, kQueryY);
    for (auto _ : state) {
        const double d = bg::distance(query, outline);
        benchmark::DoNotOptimize(bg::within(query, area) ? -d : d);
    }
}
BENCHMARK(DistancePointPolygonGeneralLibrary)->Arg(100000)->ArgName("n")->Unit(benchmark::kMicrosecond);

} // namespace
