// What the intersection tools do beyond the shared frame: how many crossings they report and
// where, which getters exist for that count, their crossing markers, the shapes they name
// when one is missing, and the legacy names of their shapes.
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <random>

#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>
#include <Ostrel/Vision/Legacy.h>

#include "RegistrationRows.h"
#include "ToolFrame.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace {

// Test placements. A round shape sits at the origin with its top at (0, 10); a straight one
// runs along y = 10 + gap (or, as shape B of a one-point tool, along x = 3), so that a
// negative gap crosses, 0 touches at (0, 10) and a positive gap misses.
void Place(Circle& c, double)
{
    c.SetCenterRadius(0, 0, 10);
}
void Place(Ellipse& e, double)
{
    e.SetCenterXYRadiusXYRotation(0, 0, 20, 10, 0);
}
void Place(Line& l, double gap)
{
    l.SetXYRotation(0, 10 + gap, 0);
}
void Place(LineSegment& s, double gap)
{
    s.SetStartEnd(-30, 10 + gap, 30, 10 + gap);
}
void PlaceAcross(Line& l)
{
    l.SetXYRotation(3, 0, std::numbers::pi / 2);
}
void PlaceAcross(LineSegment& s)
{
    s.SetStartEnd(3, -30, 3, 30);
}
void PlaceApart(Circle& b, double gap)
{
    b.SetCenterRadius(0, 20 + gap, 10);
}

template <class A, class B> void PlaceTwoPoint(A& a, B& b, double gap)
{
    Place(a, gap);
    if constexpr (std::is_same_v<A, Circle>)
        PlaceApart(b, gap);
    else
        Place(b, gap);
}

} // namespace

namespace ToolFrameTests {

struct OnePointKind {
    static constexpr std::uint32_t masks[3] = {0x7, 0x31, 0x1};
    static Names Outputs() { return {"NumPoints", "X", "Y"}; }
    static constexpr std::uint64_t resetFlags = 0x1E000, outputFlags = 0x1E000, nextFlag = 0x20000;
    static Names ResultKeys() { return {"IntersectionPoint"}; }
    static constexpr double expected = 1;
    template <class A, class B> static void Place(A& a, B& b)
    {
        ::Place(a, 0);
        PlaceAcross(b);
    }
};
struct LineLineKind : OnePointKind {
    static Names Outputs() { return {"NumPoints", "X", "Y", "Angle"}; }
    static constexpr std::uint64_t resetFlags = 0x3E000, outputFlags = 0x3E000, nextFlag = 0x40000;
};
struct TwoPointKind {
    static constexpr std::uint32_t masks[3] = {0x7, 0x31, 0x1};
    static Names Outputs() { return {"NumPoints", "X0", "Y0", "X1", "Y1"}; }
    static constexpr std::uint64_t resetFlags = 0x7E000, outputFlags = 0x7E000, nextFlag = 0x80000;
    static Names ResultKeys() { return {"IntersectionPoint1", "IntersectionPoint2"}; }
    static constexpr double expected = 2;
    template <class A, class B> static void Place(A& a, B& b) { PlaceTwoPoint(a, b, -1); }
};

// A tool's row: its kind, its shapes (property, record key), and whether the image-retention
// mask rather than the diagnostic mask decides the copies of its shapes.
#define INTERSECTION_TRAITS(Tool, Kind, A, keyA, B, keyB, retention)                                         \
    template <> struct ToolTraits<Tool> : Kind {                                                             \
        static constexpr const char *name = #Tool, *recordA = keyA, *recordB = keyB;                         \
        static constexpr bool copiesByRetention = retention;                                                 \
        static Names Inputs() { return {"InputImage", #A, #B}; }                                             \
        static Names LastRunKeys()                                                                           \
        {                                                                                                    \
            Names keys{keyA, keyB};                                                                          \
            for (const auto& key : Kind::ResultKeys())                                                       \
                keys.push_back(key);                                                                         \
            return keys;                                                                                     \
        }                                                                                                    \
        using ShapeA = std::decay_t<decltype(*std::declval<Tool&>().A())>;                                   \
        using ShapeB = std::decay_t<decltype(*std::declval<Tool&>().B())>;                                   \
        static auto Shapes(const Tool& t) { return std::pair{t.A(), t.B()}; }                                \
        static void SetShapes(Tool& t, std::shared_ptr<ShapeA> a, std::shared_ptr<ShapeB> b)                 \
        {                                                                                                    \
            t.set##A(a), t.set##B(b);                                                                        \
        }                                                                                                    \
        static void SetInputs(Tool& t) { Kind::Place(*t.A(), *t.B()); }                                      \
    };

INTERSECTION_TRAITS(IntersectLineLineTool, LineLineKind, LineA, "LineA", LineB, "LineB", false)
INTERSECTION_TRAITS(IntersectSegmentLineTool, OnePointKind, Segment, "Segment", Line, "Line", false)
INTERSECTION_TRAITS(IntersectSegmentSegmentTool, OnePointKind, SegmentA, "SegmentA", SegmentB, "SegmentB",
                    false)
INTERSECTION_TRAITS(IntersectLineCircleTool, TwoPointKind, Line, "Line", InputCircle, "Circle", false)
INTERSECTION_TRAITS(IntersectLineEllipseTool, TwoPointKind, Line, "Line", Ellipse, "Ellipse", true)
INTERSECTION_TRAITS(IntersectSegmentCircleTool, TwoPointKind, Segment, "Segment", InputCircle, "Circle",
                    false)
INTERSECTION_TRAITS(IntersectSegmentEllipseTool, TwoPointKind, Segment, "Segment", Ellipse, "Ellipse", true)
INTERSECTION_TRAITS(IntersectCircleCircleTool, TwoPointKind, CircleA, "CircleA", CircleB, "CircleB", true)

using OnePointTools =
    ::testing::Types<IntersectLineLineTool, IntersectSegmentLineTool, IntersectSegmentSegmentTool>;
using TwoPointTools =
    ::testing::Types<IntersectLineCircleTool, IntersectLineEllipseTool, IntersectSegmentCircleTool,
                     IntersectSegmentEllipseTool, IntersectCircleCircleTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(OnePointIntersection, ToolFrame, OnePointTools);
INSTANTIATE_TYPED_TEST_SUITE_P(TwoPointIntersection, ToolFrame, TwoPointTools);

} // namespace ToolFrameTests

namespace {

using ToolFrameTests::Names;
using ToolFrameTests::ToolTraits;

bool ThrowsNoResult(const std::function<void()>& read)
{
    try {
        read();
    } catch (const ToolNoResultException&) {
        return true;
    }
    return false;
}

template <class Tool> class IntersectionTools : public ::testing::Test {
protected:
    using Traits = ToolTraits<Tool>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);

    void SetUp() override { tool->setInputImage(image); }
    Names LastRunKeys() const { return Keys(*tool->CreateLastRunRecord()->SubRecords()[0]); }
};
using AllIntersectionTools =
    ::testing::Types<IntersectLineLineTool, IntersectSegmentLineTool, IntersectSegmentSegmentTool,
                     IntersectLineCircleTool, IntersectLineEllipseTool, IntersectSegmentCircleTool,
                     IntersectSegmentEllipseTool, IntersectCircleCircleTool>;
TYPED_TEST_SUITE(IntersectionTools, AllIntersectionTools);

TYPED_TEST(IntersectionTools, MissingShapesAreNamedShapeAFirstAndBeforeTheImage)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    Traits::SetInputs(tool);
    const auto [a, b] = Traits::Shapes(tool);
    tool.setInputImage(nullptr);
    for (const auto& [keepA, missing] :
         {std::pair{false, Traits::recordA}, std::pair{true, Traits::recordB}}) {
        Traits::SetShapes(tool, keepA ? a : nullptr, nullptr);
        tool.Run();
        EXPECT_EQ(tool.RunStatus().Message(),
                  Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {missing}));
        EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), ArgumentNullException);
        EXPECT_THROW(tool.NumPoints(), ToolNoResultException);
    }
    Traits::SetShapes(tool, a, b);
    tool.setInputImage(this->image);
    RunOk(tool);
    EXPECT_EQ(tool.NumPoints(), Traits::expected);
}

TYPED_TEST(IntersectionTools, RecordsFollowTheirMasks)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    Traits::SetInputs(tool);
    tool.setImageRetentionMask(0x1); // the image kept, no copies asked of this mask
    RunOk(tool);
    Names keys = Traits::copiesByRetention ? Names{} : Names{Traits::recordA, Traits::recordB};
    for (const auto& key : Traits::ResultKeys())
        keys.push_back(key);
    EXPECT_EQ(this->LastRunKeys(), keys);

    tool.setImageRetentionMask(0x0); // no image kept: the markers still stand beneath the record
    RunOk(tool);
    EXPECT_EQ(this->LastRunKeys(), Traits::ResultKeys());
    tool.setLastRunRecordEnable(static_cast<decltype(tool.LastRunRecordEnable())>(0x0));
    EXPECT_EQ(this->LastRunKeys(), Names{});

    EXPECT_EQ(Keys(*tool.CreateCurrentRecord()->SubRecords()[0]), (Names{Traits::recordA, Traits::recordB}));
    const auto [a, b] = Traits::Shapes(tool);
    EXPECT_EQ((std::vector{a->Color().ToUInt32(), b->Color().ToUInt32(), a->GraphicDOFEnable(),
                           b->GraphicDOFEnable()}),
              (std::vector{0xFF00FFFFu, 0xFFFF00FFu, 0xFFFFFFFFu, 0xFFFFFFFFu}));
}

ObjectInfo LegacyShape(const Line& l)
{
    return ObjectInfo("Line", {{"X", l.X()}, {"Y", l.Y()}, {"Rotation", l.Rotation()}});
}
ObjectInfo LegacyShape(const LineSegment& s)
{
    return ObjectInfo(
        "LineSegment",
        {{"StartX", s.StartX()}, {"StartY", s.StartY()}, {"EndX", s.EndX()}, {"EndY", s.EndY()}});
}
ObjectInfo LegacyShape(const Circle& c)
{
    return ObjectInfo("Circle", {{"CenterX", c.CenterX()}, {"CenterY", c.CenterY()}, {"Radius", c.Radius()}});
}
ObjectInfo LegacyShape(const Ellipse& e)
{
    return ObjectInfo("Ellipse", {{"CenterX", e.CenterX()},
                                  {"CenterY", e.CenterY()},
                                  {"RadiusX", e.RadiusX()},
                                  {"RadiusY", e.RadiusY()},
                                  {"Rotation", e.Rotation()}});
}

TYPED_TEST(IntersectionTools, ConvertsLegacyShapesUnderTheirRecordNames)
{
    using Traits = typename TestFixture::Traits;
    Traits::SetInputs(*this->tool);
    const auto [a, b] = Traits::Shapes(*this->tool);
    ConversionContext table;
    table.Add(1, ObjectInfo(Traits::name, {{"InputImage", LegacyHandle{2}},
                                           {Traits::recordA, LegacyHandle{3}},
                                           {Traits::recordB, LegacyHandle{4}}}));
    table.Add(2, ObjectInfo("Image8Grey", {{"Width", 16}, {"Height", 8}}));
    table.Add(3, LegacyShape(*a));
    table.Add(4, LegacyShape(*b));
    auto converted = std::dynamic_pointer_cast<TypeParam>(Orv9xConverter::Orv9xConvert(1, &table));
    ASSERT_TRUE(converted);
    RunOk(*converted);
    EXPECT_EQ(converted->NumPoints(), Traits::expected);

    table.Add(5, ObjectInfo(Traits::name, {{Traits::recordA, LegacyHandle{3}}}));
    EXPECT_THROW(Orv9xConverter::Orv9xConvert(5, &table), std::out_of_range);
}

// ---- Two crossings ----

template <class Tool> class TwoPointTools : public IntersectionTools<Tool> {
};
TYPED_TEST_SUITE(TwoPointTools, ToolFrameTests::TwoPointTools);

// Crossing, touching and missing: a tangent shape gives one point, not two nearly equal
// ones, and the getters of points that do not exist throw.
TYPED_TEST(TwoPointTools, CountTwoCrossingsOneTouchAndNoneApart)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const auto [a, b] = Traits::Shapes(tool);
    for (const double gap : {-1.0, 0.0, 1.0}) {
        SCOPED_TRACE(gap);
        PlaceTwoPoint(*a, *b, gap);
        RunOk(tool);
        const int count = gap < 0 ? 2 : gap == 0 ? 1 : 0;
        EXPECT_EQ(tool.NumPoints(), count);
        EXPECT_EQ(tool.Intersects(), count > 0);
        if (count == 1) {
            EXPECT_NEAR(tool.X0(), 0, 1e-9);
            EXPECT_NEAR(tool.Y0(), 10, 1e-9);
        }
        if (count == 2) { // symmetric about x = 0
            EXPECT_NEAR(tool.X0() + tool.X1(), 0, 1e-9);
            EXPECT_NEAR(tool.Y0(), tool.Y1(), 1e-9);
            EXPECT_GT(std::abs(tool.X0()), 1);
        }
        EXPECT_EQ(count < 1, ThrowsNoResult([&] { tool.X0(); }) && ThrowsNoResult([&] { tool.Y0(); }));
        EXPECT_EQ(count < 2, ThrowsNoResult([&] { tool.X1(); }) && ThrowsNoResult([&] { tool.Y1(); }));
        const Names markers = Traits::ResultKeys();
        Names keys{Traits::recordA, Traits::recordB};
        keys.insert(keys.end(), markers.begin(), markers.begin() + count);
        EXPECT_EQ(this->LastRunKeys(), keys);
    }
    // The markers state their points.
    PlaceTwoPoint(*a, *b, 0);
    RunOk(tool);
    const auto marker = tool.CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2];
    EXPECT_EQ(marker->template ValueAs<PointMarker>()->TipText(), "X=0.000000, Y=10.000000");
}

// ---- Against an independent computation on random shapes in a rotated, scaled space ----

struct Vec {
    double x, y;
    Vec operator-(Vec o) const { return {x - o.x, y - o.y}; }
};
double Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y;
}
double Cross(Vec a, Vec b)
{
    return a.x * b.y - a.y * b.x;
}

// A straight shape p + t·u for lo <= t <= hi; a round one about its centre.
struct Straight {
    Vec p, u;
    double lo, hi;
};
struct Round {
    Vec c;
    double rx, ry, rotation;
    // A point in the frame where the outline is the unit circle.
    Vec Unit(Vec q, bool direction = false) const
    {
        const Vec d = direction ? q : q - c;
        const double cs = std::cos(rotation), sn = std::sin(rotation);
        return {(cs * d.x + sn * d.y) / rx, (cs * d.y - sn * d.x) / ry};
    }
};

// Counts and points are compared outside this band around touching and end cases, far
// wider than the tangency band of the computation and far narrower than the shapes.
constexpr double Margin = 1e-6, Size = 100;
constexpr double Infinite = std::numeric_limits<double>::infinity();

class RandomShapes {
public:
    Straight Set(Line& line)
    {
        const Vec p{U(-40, 40), U(-40, 40)};
        const double r = U(-3, 3);
        line.SetXYRotation(p.x, p.y, r);
        return {p, {std::cos(r), std::sin(r)}, -Infinite, Infinite};
    }
    Straight Set(LineSegment& segment)
    {
        const Vec s{U(-60, 60), U(-60, 60)}, e{U(-60, 60), U(-60, 60)};
        segment.SetStartEnd(s.x, s.y, e.x, e.y);
        return {s, e - s, 0, 1};
    }
    Round Set(Circle& circle)
    {
        const Round r{{U(-40, 40), U(-40, 40)}, U(5, 40), 0, 0};
        circle.SetCenterRadius(r.c.x, r.c.y, r.rx);
        return {r.c, r.rx, r.rx, 0};
    }
    Round Set(Ellipse& ellipse)
    {
        const Round r{{U(-40, 40), U(-40, 40)}, U(5, 40), U(5, 40), U(-3, 3)};
        ellipse.SetCenterXYRadiusXYRotation(r.c.x, r.c.y, r.rx, r.ry, r.rotation);
        return r;
    }

private:
    double U(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    std::mt19937 rng_{20261206};
};

// Whether t lies in [lo, hi], or nothing when it lies too near an end to tell.
std::optional<bool> Within(const Straight& s, double t)
{
    if (std::abs(t - s.lo) < Margin || std::abs(t - s.hi) < Margin)
        return std::nullopt;
    return s.lo <= t && t <= s.hi;
}

std::optional<int> ExpectedCount(const Straight& a, const Straight& b)
{
    const double d = Cross(a.u, b.u);
    if (std::abs(d) < Margin * std::sqrt(Dot(a.u, a.u) * Dot(b.u, b.u)))
        return std::nullopt;
    const Vec ab = b.p - a.p;
    const auto onA = Within(a, Cross(ab, b.u) / d), onB = Within(b, Cross(ab, a.u) / d);
    if (!onA || !onB)
        return std::nullopt;
    return *onA && *onB ? 1 : 0;
}
std::optional<int> ExpectedCount(const Straight& s, const Round& r)
{
    const Vec p = r.Unit(s.p), u = r.Unit(s.u, true);
    const double a = Dot(u, u), b = Dot(p, u), distance = std::abs(Cross(p, u)) / std::sqrt(a);
    if (std::abs(distance - 1) < Margin)
        return std::nullopt;
    if (distance > 1)
        return 0;
    const double root = std::sqrt(b * b - a * (Dot(p, p) - 1));
    int count = 0;
    for (const double t : {(-b - root) / a, (-b + root) / a}) {
        const auto within = Within(s, t);
        if (!within)
            return std::nullopt;
        count += *within;
    }
    return count;
}
std::optional<int> ExpectedCount(const Round& a, const Round& b) // circles
{
    const double d = std::hypot(a.c.x - b.c.x, a.c.y - b.c.y);
    const double outer = a.rx + b.rx, inner = std::abs(a.rx - b.rx);
    if (std::abs(d - outer) < Margin * Size || std::abs(d - inner) < Margin * Size)
        return std::nullopt;
    return inner < d && d < outer ? 2 : 0;
}

// How far q lies from the outline (for a straight shape, its parameter too).
double Off(const Straight& s, Vec q, double* t = nullptr)
{
    const double length = std::sqrt(Dot(s.u, s.u)), along = Dot(q - s.p, s.u) / Dot(s.u, s.u);
    if (t)
        *t = along;
    const double beyond = std::max({0.0, s.lo - along, along - s.hi}) * length;
    return std::abs(Cross(q - s.p, s.u)) / length + beyond;
}
double Off(const Round& r, Vec q)
{
    const Vec unit = r.Unit(q);
    return std::abs(std::hypot(unit.x, unit.y) - 1) * std::max(r.rx, r.ry);
}

template <class Tool> std::vector<Vec> ReportedPoints(const Tool& tool)
{
    std::vector<Vec> points;
    if constexpr (requires { tool.X0(); }) {
        for (int i = 0; i < tool.NumPoints() && i < 2; ++i)
            points.push_back(i == 0 ? Vec{tool.X0(), tool.Y0()} : Vec{tool.X1(), tool.Y1()});
    } else if (tool.NumPoints() == 1) {
        points.push_back({tool.X(), tool.Y()});
    }
    return points;
}

// The shapes live in a space that the image sees rotated, scaled unevenly and moved, so that
// circles become ellipses; the crossings, mapped back into that space, must lie on both
// outlines, in order along a straight shape A, and as many as the shapes there make.
template <class Tool> void ExpectCrossingsOfRandomShapes(Tool& tool)
{
    using Traits = ToolTraits<Tool>;
    const auto fromImage = Transform2DLinear::ScaleRotationTranslation(1.7, 0.6, 0.7, 30, -20);
    auto image = Quill::Create<Image8Grey>(640, 480);
    image->CoordinateSpaceTree()->AddSpace("#", "Fixture", fromImage);
    tool.setInputImage(image);
    const auto [a, b] = Traits::Shapes(tool);
    a->setSelectedSpaceName("Fixture");
    b->setSelectedSpaceName("Fixture");
    RandomShapes random;
    int compared = 0, crossings = 0;
    for (int i = 0; i < 400; ++i) {
        const auto shapeA = random.Set(*a);
        const auto shapeB = random.Set(*b);
        const auto count = ExpectedCount(shapeA, shapeB);
        if (!count)
            continue;
        RunOk(tool);
        ++compared;
        ASSERT_EQ(tool.NumPoints(), *count) << "case " << i;
        double lastT = -Infinite;
        for (const Vec p : ReportedPoints(tool)) {
            Vec q;
            fromImage.MapPoint(p.x, p.y, q.x, q.y);
            double t = 0;
            if constexpr (std::is_same_v<decltype(shapeA), const Straight>) {
                EXPECT_LT(Off(shapeA, q, &t), 1e-9 * Size) << "case " << i;
                EXPECT_GT(t, lastT) << "case " << i;
            } else {
                EXPECT_LT(Off(shapeA, q), 1e-9 * Size) << "case " << i;
            }
            EXPECT_LT(Off(shapeB, q), 1e-9 * Size) << "case " << i;
            lastT = t;
            ++crossings;
        }
    }
    EXPECT_GT(compared, 350);
    EXPECT_GT(crossings, 100);
}

template <class Tool> class OnePointTools : public IntersectionTools<Tool> {
};
TYPED_TEST_SUITE(OnePointTools, ToolFrameTests::OnePointTools);

TYPED_TEST(OnePointTools, CrossingsOfRandomShapesLieOnBoth)
{
    ExpectCrossingsOfRandomShapes(*this->tool);
}
TYPED_TEST(TwoPointTools, CrossingsOfRandomShapesLieOnBoth)
{
    ExpectCrossingsOfRandomShapes(*this->tool);
}

// ---- One crossing: the straight shapes' own cases ----

TEST(IntersectLineLineTool, CrossesWithAnAngleAndReportsParallelAndCoincidingLines)
{
    auto tool = Quill::Create<IntersectLineLineTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(64, 48));
    RunOk(*tool);
    EXPECT_NEAR(tool->X(), 40 / std::tan(0.5), 1e-12);
    EXPECT_NEAR(tool->Y(), 40, 1e-12);
    EXPECT_NEAR(tool->Angle(), 0.5, 1e-15);
    const auto marker = tool->CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2];
    EXPECT_EQ(marker->Key(), "IntersectionPoint");
    EXPECT_EQ(marker->ValueAs<PointMarker>()->TipText(), "X=73.219509, Y=40.000000");

    // Parallel: an angle but no point; coinciding: -1.
    for (const auto& [y, count] : {std::pair{45.0, 0}, std::pair{40.0, -1}}) {
        tool->LineB()->SetXYRotation(-7, y, 0);
        RunOk(*tool);
        EXPECT_EQ(tool->NumPoints(), count);
        EXPECT_EQ(tool->Intersects(), count != 0);
        EXPECT_EQ(tool->Angle(), 0);
        EXPECT_THROW(tool->X(), ToolNoResultException);
        EXPECT_THROW(tool->Y(), ToolNoResultException);
        EXPECT_EQ(Keys(*tool->CreateLastRunRecord()->SubRecords()[0]), (Names{"LineA", "LineB"}));
    }
}

TEST(IntersectSegmentLineTool, CountsAnEndOnTheLineAndASegmentLyingOnIt)
{
    auto tool = Quill::Create<IntersectSegmentLineTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(64, 48));
    EXPECT_EQ(tool->Line()->Rotation(), 0);
    for (const auto& [endY, count] : {std::pair{50.0, 1}, std::pair{50.5, 0}, std::pair{49.0, 1}}) {
        tool->Segment()->SetStartEnd(0, 70, 20, endY);
        RunOk(*tool);
        EXPECT_EQ(tool->NumPoints(), count) << endY;
    }
    tool->Segment()->SetStartEnd(0, 70, 20, 50);
    RunOk(*tool);
    EXPECT_EQ(tool->X(), 20); // exactly the end point
    tool->Segment()->SetStartEnd(-5, 50, 20, 50);
    RunOk(*tool);
    EXPECT_EQ(tool->NumPoints(), -1);
    EXPECT_THROW(tool->X(), ToolNoResultException);
}

TEST(IntersectSegmentSegmentTool, CrossesItsDefaultSegmentsAndTouchesAtAnEnd)
{
    auto tool = Quill::Create<IntersectSegmentSegmentTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(64, 48));
    RunOk(*tool);
    EXPECT_NEAR(tool->X(), 20 + 100 * 100.0 / 170, 1e-12); // (78.82, 78.82)
    EXPECT_NEAR(tool->Y(), tool->X(), 1e-12);
    tool->SegmentB()->SetStartEnd(120, 120, 150, 90);
    RunOk(*tool);
    EXPECT_EQ((std::vector{tool->X(), tool->Y()}), (std::vector{120.0, 120.0}));
    tool->SegmentB()->SetStartEnd(60, 60, 150, 150);
    RunOk(*tool);
    EXPECT_EQ(tool->NumPoints(), -1);
}

// ---- Bad input ----

TEST(IntersectionTools, FailCleanlyOnBadInputAndStayUsable)
{
    auto tool = Quill::Create<IntersectLineCircleTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(64, 48));
    tool->InputCircle()->SetCenterRadius(0, 0, 10);
    tool->Line()->SetXYRotation(0, 0, 0);
    const auto circle = tool->InputCircle();
    auto fails = [&](const std::string& message) {
        tool->Run();
        EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Error);
        EXPECT_EQ(tool->RunStatus().Message(), message);
        EXPECT_THROW(tool->NumPoints(), ToolNoResultException);
    };
    // A shape unset through its pin, and one in a space the image does not know.
    tool->Inputs()["InputCircle"]->SetValue(tool, rttr::variant(std::shared_ptr<Circle>()));
    fails(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"Circle"}));
    tool->setInputCircle(circle);
    tool->setLastRunRecordDiagEnable(IntersectLineCircleLastRunRecordDiagConstants::InputImageByReference);
    circle->setSelectedSpaceName("Nowhere");
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Error);
    EXPECT_NE(tool->RunStatus().Message().find("Nowhere"), std::string::npos) << tool->RunStatus().Message();
    circle->setSelectedSpaceName(".");
    RunOk(*tool);

    // An archived result whose first point is not a number.
    std::string bytes = SaveToString(tool, 0x1);
    const double x0 = tool->X0(), nan = std::numeric_limits<double>::quiet_NaN();
    const auto at = bytes.rfind(std::string(reinterpret_cast<const char*>(&x0), sizeof x0));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, sizeof nan, std::string(reinterpret_cast<const char*>(&nan), sizeof nan));
    EXPECT_THROW(LoadFromString<IntersectLineCircleTool>(bytes), SerializationException);
    RunOk(*tool);
    EXPECT_EQ(tool->NumPoints(), 2);
}

TEST(IntersectionTools, RegisteredAsTheirRows)
{
    using namespace ToolRowTests;
    const Bits points{{"IntersectionPoints", 0x1}}, point{{"IntersectionPoint", 0x1}};
    auto row = [](auto create, const char* name, std::string a, std::string b, const Bits& lastRun) {
        return ToolRow{
            create, name, "GeometryToolBase", {{a, 0x2}, {b, 0x4}}, lastRun, {{a, 0x10}, {b, 0x20}}};
    };
    const ToolRow rows[] = {
        row(New<IntersectLineLineTool>, "IntersectLineLineTool", "LineA", "LineB", point),
        row(New<IntersectSegmentLineTool>, "IntersectSegmentLineTool", "Segment", "Line", point),
        row(New<IntersectSegmentSegmentTool>, "IntersectSegmentSegmentTool", "SegmentA", "SegmentB", point),
        row(New<IntersectLineCircleTool>, "IntersectLineCircleTool", "Line", "Circle", points),
        row(New<IntersectLineEllipseTool>, "IntersectLineEllipseTool", "Line", "Ellipse", points),
        row(New<IntersectSegmentCircleTool>, "IntersectSegmentCircleTool", "Segment", "Circle", points),
        row(New<IntersectSegmentEllipseTool>, "IntersectSegmentEllipseTool", "Segment", "Ellipse", points),
        row(New<IntersectCircleCircleTool>, "IntersectCircleCircleTool", "CircleA", "CircleB", points),
    };
    ExpectToolRows(rows);
    // Every pin path and every getter resolves by its name.
    for (const auto& [name, properties] : std::vector<std::pair<std::string, Names>>{
             {"IntersectLineLineTool", {"LineA", "LineB", "NumPoints", "X", "Y", "Angle", "Intersects"}},
             {"IntersectSegmentLineTool", {"Segment", "Line", "NumPoints", "X", "Y", "Intersects"}},
             {"IntersectSegmentSegmentTool", {"SegmentA", "SegmentB", "NumPoints", "X", "Y", "Intersects"}},
             {"IntersectLineCircleTool",
              {"Line", "InputCircle", "NumPoints", "X0", "Y0", "X1", "Y1", "Intersects"}},
             {"IntersectLineEllipseTool", {"Line", "Ellipse", "X1", "Intersects"}},
             {"IntersectSegmentCircleTool", {"Segment", "InputCircle", "Y1", "Intersects"}},
             {"IntersectSegmentEllipseTool", {"Segment", "Ellipse", "Y1", "Intersects"}},
             {"IntersectCircleCircleTool", {"CircleA", "CircleB", "Y1", "Intersects"}}}) {
        const auto type = rttr::type::get_by_name("Ostrel::Vision::Geometry::" + name);
        for (const auto& property : properties)
            EXPECT_TRUE(type.get_property(property).is_valid()) << name << "." << property;
    }
}

} // namespace
