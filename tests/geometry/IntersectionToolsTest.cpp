// What the intersection tools do beyond the shared frame: how many crossings they report and
// where, which getters exist for that count, their markers, the shape a missing-input run
// names, and the legacy names of their shapes.
#include <cmath>
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

#include "ToolFrame.h"
#include "common/PlaneReference.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace {

// A round shape sits at the origin with its top at (0, 10); a straight one runs along
// y = 10 + gap, so that a negative gap crosses, 0 touches at (0, 10) and a positive gap
// misses. Shape B of a one-point tool runs along x = 3.
void Place(Circle& c, double) { c.SetCenterRadius(0, 0, 10); }
void Place(Ellipse& e, double) { e.SetCenterXYRadiusXYRotation(0, 0, 20, 10, 0); }
void Place(Line& l, double gap) { l.SetXYRotation(0, 10 + gap, 0); }
void Place(LineSegment& s, double gap) { s.SetStartEnd(-30, 10 + gap, 30, 10 + gap); }
void PlaceAcross(Line& l) { l.SetXYRotation(3, 0, std::numbers::pi / 2); }
void PlaceAcross(LineSegment& s) { s.SetStartEnd(3, -30, 3, 30); }
template <class A, class B>
void PlacePair(A& a, B& b, double gap)
{
    Place(a, gap);
    if constexpr (std::is_same_v<A, Circle>)
        b.SetCenterRadius(0, 20 + gap, 10);
    else
        Place(b, gap);
}

} // namespace

namespace ToolFrameTests {

struct OnePointKind {
    static constexpr std::uint64_t resetFlags = 0x1E000, outputFlags = 0x1E000, dragFlags = 0;
    static Names ResultKeys() { return {"IntersectionPoint"}; }
    static constexpr double expected = 1;
    template <class A, class B>
    static void Place(A& a, B& b) { ::Place(a, 0), PlaceAcross(b); }
};
struct LineLineKind : OnePointKind {
    static constexpr std::uint64_t resetFlags = 0x3E000, outputFlags = 0x3E000;
};
struct TwoPointKind {
    static constexpr std::uint64_t resetFlags = 0x7E000, outputFlags = 0x7E000, dragFlags = 0;
    static Names ResultKeys() { return {"IntersectionPoint1", "IntersectionPoint2"}; }
    static constexpr double expected = 2;
    template <class A, class B>
    static void Place(A& a, B& b) { PlacePair(a, b, -1); }
};

// A tool's row: its kind, its shapes (property, record key), and whether the image-retention
// mask rather than the diagnostic mask decides the copies of its shapes.
#define INTERSECTION_TRAITS(Tool, Kind, A, keyA, B, keyB, retention)                                                \
    template <>                                                                                                     \
    struct ToolTraits<Tool> : Kind {                                                                                \
        static constexpr const char *recordA = keyA, *recordB = keyB;                                             \
        static constexpr bool copiesByRetention = retention;                                                        \
        static Names LastRunKeys() { return Concat({keyA, keyB}, Kind::ResultKeys()); }                             \
        static auto Shapes(const Tool& t) { return std::pair{t.A(), t.B()}; }                                       \
        static void SetShapes(Tool& t, decltype(t.A()) a, decltype(t.B()) b) { t.set##A(a), t.set##B(b); }          \
        static void SetInputs(Tool& t) { Kind::Place(*t.A(), *t.B()); }                                             \
    };

inline Names Concat(Names a, const Names& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INTERSECTION_TRAITS(IntersectLineLineTool, LineLineKind, LineA, "LineA", LineB, "LineB", false)
INTERSECTION_TRAITS(IntersectSegmentLineTool, OnePointKind, Segment, "Segment", Line, "Line", false)
INTERSECTION_TRAITS(IntersectSegmentSegmentTool, OnePointKind, SegmentA, "SegmentA", SegmentB, "SegmentB", false)
INTERSECTION_TRAITS(IntersectLineCircleTool, TwoPointKind, Line, "Line", InputCircle, "Circle", false)
INTERSECTION_TRAITS(IntersectLineEllipseTool, TwoPointKind, Line, "Line", Ellipse, "Ellipse", true)
INTERSECTION_TRAITS(IntersectSegmentCircleTool, TwoPointKind, Segment, "Segment", InputCircle, "Circle", false)
INTERSECTION_TRAITS(IntersectSegmentEllipseTool, TwoPointKind, Segment, "Segment", Ellipse, "Ellipse", true)
INTERSECTION_TRAITS(IntersectCircleCircleTool, TwoPointKind, CircleA, "CircleA", CircleB, "CircleB", true)

using OnePointTools = ::testing::Types<IntersectLineLineTool, IntersectSegmentLineTool, IntersectSegmentSegmentTool>;
using TwoPointTools = ::testing::Types<IntersectLineCircleTool, IntersectLineEllipseTool, IntersectSegmentCircleTool,
                                       IntersectSegmentEllipseTool, IntersectCircleCircleTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(OnePointIntersection, ToolFrame, OnePointTools);
INSTANTIATE_TYPED_TEST_SUITE_P(TwoPointIntersection, ToolFrame, TwoPointTools);

} // namespace ToolFrameTests

namespace {

using ToolFrameTests::Concat;
using ToolFrameTests::Names;

template <class Tool>
class IntersectionTools : public ::testing::Test {
protected:
    using Traits = ToolFrameTests::ToolTraits<Tool>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);

    void SetUp() override { tool->setInputImage(image), Traits::SetInputs(*tool); }
    Names LastRunKeys() const { return Keys(*tool->CreateLastRunRecord()->SubRecords()[0]); }
};
using AllIntersectionTools = ::testing::Types<IntersectLineLineTool, IntersectSegmentLineTool,
                                              IntersectSegmentSegmentTool, IntersectLineCircleTool,
                                              IntersectLineEllipseTool, IntersectSegmentCircleTool,
                                              IntersectSegmentEllipseTool, IntersectCircleCircleTool>;
TYPED_TEST_SUITE(IntersectionTools, AllIntersectionTools);

TYPED_TEST(IntersectionTools, NameTheMissingShapeAFirstAndBeforeTheImage)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const auto [a, b] = Traits::Shapes(tool);
    tool.setInputImage(nullptr);
    for (const auto& [keepA, missing] : {std::pair{false, Traits::recordA}, std::pair{true, Traits::recordB}}) {
        Traits::SetShapes(tool, keepA ? a : nullptr, nullptr);
        tool.Run();
        EXPECT_EQ(tool.RunStatus().Message(), Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {missing}));
        EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), ArgumentNullException);
        EXPECT_THROW(tool.NumPoints(), ToolNoResultException);
    }
    Traits::SetShapes(tool, a, b);
    tool.setInputImage(this->image);
    RunOk(tool);
    EXPECT_EQ(tool.NumPoints(), Traits::expected);
}

TYPED_TEST(IntersectionTools, KeepCopiesAndMarkersAsTheirMasksSay)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    tool.setImageRetentionMask(0x1);  // the image kept, no copies asked of this mask
    RunOk(tool);
    const Names shapes{Traits::recordA, Traits::recordB};
    EXPECT_EQ(this->LastRunKeys(), Concat(Traits::copiesByRetention ? Names{} : shapes, Traits::ResultKeys()));
    tool.setImageRetentionMask(0x0);  // no image kept: the markers still stand beneath its record
    RunOk(tool);
    EXPECT_EQ(this->LastRunKeys(), Traits::ResultKeys());
    tool.setLastRunRecordEnable(static_cast<decltype(tool.LastRunRecordEnable())>(0x0));
    EXPECT_EQ(this->LastRunKeys(), Names{});
    EXPECT_EQ(Keys(*tool.CreateCurrentRecord()->SubRecords()[0]), shapes);
    const auto [a, b] = Traits::Shapes(tool);
    EXPECT_EQ((std::vector{a->Color().ToUInt32(), b->Color().ToUInt32(), a->GraphicDOFEnable() & b->GraphicDOFEnable()}),
              (std::vector{0xFF00FFFFu, 0xFFFF00FFu, 0xFFFFFFFFu}));
}

template <class Tool>
class TwoPointTools : public IntersectionTools<Tool> {};
TYPED_TEST_SUITE(TwoPointTools, ToolFrameTests::TwoPointTools);

template <class Read>
bool ThrowsNoResult(Read read)
{
    try {
        read();
    } catch (const ToolNoResultException&) {
        return true;
    }
    return false;
}

// Crossing, touching and apart: a tangent shape gives one point, not two nearly equal ones,
// and the getters of points that do not exist throw.
TYPED_TEST(TwoPointTools, CountTwoCrossingsOneTouchAndNoneApart)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const auto [a, b] = Traits::Shapes(tool);
    for (const auto& [gap, count] : {std::pair{-1.0, 2}, std::pair{0.0, 1}, std::pair{1.0, 0}}) {
        SCOPED_TRACE(gap);
        PlacePair(*a, *b, gap);
        RunOk(tool);
        EXPECT_EQ(tool.NumPoints(), count);
        EXPECT_EQ(tool.Intersects(), count > 0);
        if (count == 1) {
            EXPECT_NEAR(std::hypot(tool.X0(), tool.Y0() - 10), 0, 1e-9);
        }
        if (count == 2) {  // symmetric about x = 0
            EXPECT_NEAR(tool.X0() + tool.X1(), 0, 1e-9);
            EXPECT_NEAR(tool.Y0(), tool.Y1(), 1e-9);
        }
        EXPECT_EQ(count < 1, ThrowsNoResult([&] { tool.X0(); }) && ThrowsNoResult([&] { tool.Y0(); }));
        EXPECT_EQ(count < 2, ThrowsNoResult([&] { tool.X1(); }) && ThrowsNoResult([&] { tool.Y1(); }));
        const Names markers = Traits::ResultKeys();
        EXPECT_EQ(this->LastRunKeys(), Concat({Traits::recordA, Traits::recordB}, {markers.begin(), markers.begin() + count}));
    }
    PlacePair(*a, *b, 0);
    RunOk(tool);
    const auto marker = tool.CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2]->template ValueAs<PointMarker>();
    EXPECT_EQ(marker->TipText(), "X=0.000000, Y=10.000000");
}

// ---- Against an independent computation on random shapes in a rotated, scaled space ----

using PlaneReference::Cross;
using PlaneReference::Dot;
using Vec = PlaneReference::P;
using Round = PlaneReference::Ellipse;

// A straight shape p + t·u for lo <= t <= hi.
struct Straight {
    Vec p, u;
    double lo, hi;
};

// Counts are compared outside this band around touching and end cases: far wider than the
// tangency band of the computation, far narrower than the shapes.
constexpr double Margin = 1e-6, Size = 100, Infinite = std::numeric_limits<double>::infinity();

class RandomShapes {
public:
    Straight Set(Line& line)
    {
        const double x = U(-40, 40), y = U(-40, 40), r = U(-3, 3);
        return line.SetXYRotation(x, y, r), Straight{{x, y}, {std::cos(r), std::sin(r)}, -Infinite, Infinite};
    }
    Straight Set(LineSegment& segment)
    {
        const Vec s{U(-60, 60), U(-60, 60)}, e{U(-60, 60), U(-60, 60)};
        return segment.SetStartEnd(s.x, s.y, e.x, e.y), Straight{s, e - s, 0, 1};
    }
    Round Set(Circle& circle)
    {
        const Vec c{U(-40, 40), U(-40, 40)};
        const double r = U(5, 40);
        return circle.SetCenterRadius(c.x, c.y, r), Round{c, r, r, 0};
    }
    Round Set(Ellipse& ellipse)
    {
        const Round r{{U(-40, 40), U(-40, 40)}, U(5, 40), U(5, 40), U(-3, 3)};
        return ellipse.SetCenterXYRadiusXYRotation(r.c.x, r.c.y, r.a, r.b, r.rot), r;
    }

private:
    double U(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    std::mt19937 rng_{20261206};
};

// Whether t lies on the straight shape, or nothing when it lies too near an end to tell.
std::optional<int> On(const Straight& s, double t)
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
    const auto onA = On(a, Cross(b.p - a.p, b.u) / d), onB = On(b, Cross(b.p - a.p, a.u) / d);
    return onA && onB ? std::optional(*onA * *onB) : std::nullopt;
}
std::optional<int> ExpectedCount(const Straight& s, const Round& r)
{
    const Vec p = r.Unit(s.p), u = r.Scale(s.u);
    const double a = Dot(u, u), b = Dot(p, u), distance = std::abs(Cross(p, u)) / std::sqrt(a);
    if (std::abs(distance - 1) < Margin)
        return std::nullopt;
    const double root = std::sqrt(std::max(0.0, b * b - a * (Dot(p, p) - 1)));
    const auto first = On(s, (-b - root) / a), second = On(s, (-b + root) / a);
    if (distance > 1)
        return 0;
    return first && second ? std::optional(*first + *second) : std::nullopt;
}
std::optional<int> ExpectedCount(const Round& a, const Round& b)  // circles
{
    const double d = std::hypot(a.c.x - b.c.x, a.c.y - b.c.y), outer = a.a + b.a, inner = std::abs(a.a - b.a);
    if (std::abs(d - outer) < Margin * Size || std::abs(d - inner) < Margin * Size)
        return std::nullopt;
    return inner < d && d < outer ? 2 : 0;
}

// How far q lies from the outline; for a straight shape also where along it.
double Off(const Straight& s, Vec q, double& t)
{
    const double length = std::sqrt(Dot(s.u, s.u));
    t = Dot(q - s.p, s.u) / Dot(s.u, s.u);
    return std::abs(Cross(q - s.p, s.u)) / length + std::max({0.0, s.lo - t, t - s.hi}) * length;
}
double Off(const Round& r, Vec q, double&)
{
    const Vec unit = r.Unit(q);
    return std::abs(std::hypot(unit.x, unit.y) - 1) * std::max(r.a, r.b);
}

template <class Tool>
std::vector<Vec> ReportedPoints(const Tool& tool)
{
    std::vector<Vec> points;
    if constexpr (requires { tool.X0(); }) {
        if (tool.NumPoints() >= 1)
            points.push_back({tool.X0(), tool.Y0()});
        if (tool.NumPoints() >= 2)
            points.push_back({tool.X1(), tool.Y1()});
    } else if (tool.NumPoints() == 1) {
        points.push_back({tool.X(), tool.Y()});
    }
    return points;
}

// The shapes live in a space that the image sees rotated, scaled unevenly and moved, so that
// circles become ellipses. Mapped back into that space, the crossings must lie on both
// outlines (in order along a straight shape A), as many as the shapes make there.
template <class Tool>
void ExpectCrossingsOfRandomShapes(Tool& tool)
{
    const auto fromImage = Transform2DLinear::ScaleRotationTranslation(1.7, 0.6, 0.7, 30, -20);
    auto image = Quill::Create<Image8Grey>(640, 480);
    image->CoordinateSpaceTree()->AddSpace("#", "Fixture", fromImage);
    tool.setInputImage(image);
    const auto [a, b] = ToolFrameTests::ToolTraits<Tool>::Shapes(tool);
    a->setSelectedSpaceName("Fixture"), b->setSelectedSpaceName("Fixture");
    RandomShapes random;
    int compared = 0, crossings = 0;
    for (int i = 0; i < 400; ++i) {
        const auto shapeA = random.Set(*a), shapeB = random.Set(*b);
        const auto count = ExpectedCount(shapeA, shapeB);
        if (!count)
            continue;
        RunOk(tool);
        ++compared;
        ASSERT_EQ(tool.NumPoints(), *count) << "case " << i;
        double t = 0, lastT = -Infinite, unused;
        for (const Vec p : ReportedPoints(tool)) {
            Vec q;
            fromImage.MapPoint(p.x, p.y, q.x, q.y);
            EXPECT_LT(Off(shapeA, q, t), 1e-9 * Size) << "case " << i;
            EXPECT_LT(Off(shapeB, q, unused), 1e-9 * Size) << "case " << i;
            constexpr bool straightA = std::is_same_v<decltype(shapeA), const Straight>;
            EXPECT_TRUE(t > lastT || !straightA) << "case " << i;
            lastT = t, ++crossings;
        }
    }
    EXPECT_GT(compared, 350);
    EXPECT_GT(crossings, 100);
}

template <class Tool>
class OnePointTools : public IntersectionTools<Tool> {};
TYPED_TEST_SUITE(OnePointTools, ToolFrameTests::OnePointTools);
TYPED_TEST(OnePointTools, CrossingsOfRandomShapesLieOnBoth) { ExpectCrossingsOfRandomShapes(*this->tool); }
TYPED_TEST(TwoPointTools, CrossingsOfRandomShapesLieOnBoth) { ExpectCrossingsOfRandomShapes(*this->tool); }

// B across A, parallel to it, and lying on it: one point, none, and -1 for infinitely many;
// only a single point has coordinates, a marker, and (between lines) a non-zero angle.
TYPED_TEST(OnePointTools, CountACrossingParallelAndCoincidingShapes)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const auto [a, b] = Traits::Shapes(tool);
    for (const auto& [gap, count] : {std::pair{Infinite, 1}, std::pair{5.0, 0}, std::pair{0.0, -1}}) {
        SCOPED_TRACE(gap);
        gap == Infinite ? PlaceAcross(*b) : Place(*b, gap);
        RunOk(tool);
        EXPECT_EQ(tool.NumPoints(), count);
        EXPECT_EQ(tool.Intersects(), count != 0);
        EXPECT_EQ(count != 1, ThrowsNoResult([&] { tool.X(); }) && ThrowsNoResult([&] { tool.Y(); }));
        if (count == 1) {
            EXPECT_NEAR(std::hypot(tool.X() - 3, tool.Y() - 10), 0, 1e-12);
        }
        if constexpr (requires { tool.Angle(); }) {
            EXPECT_NEAR(tool.Angle(), count == 1 ? std::numbers::pi / 2 : 0, 1e-15);
        }
        EXPECT_EQ(this->LastRunKeys(), Concat({Traits::recordA, Traits::recordB}, count == 1 ? Traits::ResultKeys() : Names{}));
    }
}

TEST(IntersectionTools, FailCleanlyOnBadInputAndStayUsable)
{
    auto tool = Quill::Create<IntersectLineCircleTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(64, 48));
    tool->InputCircle()->SetCenterRadius(0, 0, 10);
    tool->Line()->SetXYRotation(0, 0, 0);
    const auto circle = tool->InputCircle();
    auto failsWith = [&](const std::string& text) {
        tool->Run();
        EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Error);
        EXPECT_NE(tool->RunStatus().Message().find(text), std::string::npos) << tool->RunStatus().Message();
        EXPECT_THROW(tool->NumPoints(), ToolNoResultException);
    };
    tool->setLastRunRecordDiagEnable(IntersectLineCircleLastRunRecordDiagConstants::InputImageByReference);
    circle->setSelectedSpaceName("Nowhere");  // a space the image does not know
    failsWith("Nowhere");
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

} // namespace
