// What the point-to-shape distance tools do beyond the shared frame: their shape input, the
// distance and closest point they compute, their arrow and their legacy names.
#include <cmath>
#include <type_traits>

#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointSegmentTool.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/LineSegment.h>

#include "DistanceReference.h"
#include "ToolFrame.h"
#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace ToolFrameTests {

// A point (0, 40) and a shape 15 away from it, set by the rest of the row. Beyond the
// frame's rows: the shape's accessors (pin) and name; the golden archives hold their defaults.
#define OSTREL_POINT_SHAPE_TRAITS(Tool, Pin, Shape, reset, ...)                                                     \
    template <>                                                                                                     \
    struct ToolTraits<Tool> {                                                                                       \
        static constexpr std::uint64_t resetFlags = reset, outputFlags = 0x1C000, dragFlags = 0x1800;               \
        static Names LastRunKeys() { return {Shape, "Point", "Arrow"}; }                                            \
        static constexpr double expected = 15;                                                                      \
        static constexpr auto get = &Tool::Pin;                                                                     \
        static constexpr auto set = &Tool::set##Pin;                                                                \
        static constexpr const char* shape = Shape;                                                                 \
        static void SetInputs(Tool& t) { t.setX(0), t.setY(40), t.Pin()->__VA_ARGS__; }                             \
    };
OSTREL_POINT_SHAPE_TRAITS(DistancePointCircleTool, InputCircle, "Circle", 0x1C000, SetCenterRadius(0, 0, 25))
OSTREL_POINT_SHAPE_TRAITS(DistancePointLineTool, Line, "Line", 0x1C000, SetXYRotation(-7, 25, 0))
OSTREL_POINT_SHAPE_TRAITS(DistancePointSegmentTool, Segment, "Segment", 0x10000, SetStartEnd(9, 52, 30, 80))
OSTREL_POINT_SHAPE_TRAITS(DistancePointEllipseTool, Ellipse, "Ellipse", 0x1C000, SetCenterXYRadiusXYRotation(0, 0, 10, 25, 0))
#undef OSTREL_POINT_SHAPE_TRAITS

using PointShapeTools = ::testing::Types<DistancePointCircleTool, DistancePointLineTool, DistancePointSegmentTool,
                                         DistancePointEllipseTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(PointShape, ToolFrame, PointShapeTools);

} // namespace ToolFrameTests

namespace {

template <class Tool>
class PointShapeTool : public ::testing::Test {
protected:
    using Input = ToolFrameTests::ToolTraits<Tool>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    using ShapePtr = std::remove_cvref_t<std::invoke_result_t<decltype(Input::get), const Tool&>>;
    const ShapePtr& Shape() const { return ((*tool).*Input::get)(); }
    void SetShape(const ShapePtr& shape) { ((*tool).*Input::set)(shape); }
};
TYPED_TEST_SUITE(PointShapeTool, ToolFrameTests::PointShapeTools);

TYPED_TEST(PointShapeTool, ShapeInputColoursFlagsAndMissingShape)
{
    using Input = typename TestFixture::Input;
    auto& tool = *this->tool;
    const auto marker = tool.CreateCurrentRecord()->SubRecords()[0]->SubRecords()[0]->template ValueAs<PointMarker>();
    EXPECT_EQ((std::vector<std::uint32_t>{this->Shape()->Color().ToUInt32(), marker->Color().ToUInt32(),
                                          this->Shape()->GraphicDOFEnable()}),
              (std::vector<std::uint32_t>{0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF}));

    EventRecorder events(tool);
    const auto shape = this->Shape();
    this->SetShape(shape);
    this->SetShape(nullptr);
    tool.setX(tool.X());
    tool.setY(-1);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x2004, 0x1000}));

    tool.setInputImage(Quill::Create<Image8Grey>(8, 8));
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Message(), Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {Input::shape}));
    EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), ArgumentNullException);
    EXPECT_THROW(tool.Distance(), ToolNoResultException);
    this->SetShape(shape);
    RunOk(tool);
}

// The arrow starts at the point as the run saw it, even when the point row is not shown,
// and needs the copy of that point: a mask that gains the arrow after the run shows none.
TYPED_TEST(PointShapeTool, ArrowRunsFromThePointOfTheRun)
{
    auto& tool = *this->tool;
    tool.setInputImage(Quill::Create<Image8Grey>(8, 8));
    tool.setLastRunRecordDiagEnable(static_cast<decltype(tool.LastRunRecordDiagEnable())>(0x41));
    RunOk(tool);
    const double x = tool.X(), y = tool.Y();
    tool.setX(x + 1);
    const auto rows = tool.CreateLastRunRecord()->SubRecords()[0];
    ASSERT_EQ(Keys(*rows), std::vector<std::string>{"Arrow"});
    const auto arrow = rows->SubRecords()[0]->template ValueAs<LineSegment>();
    EXPECT_EQ((std::vector<double>{arrow->StartX(), arrow->StartY(), arrow->EndX(), arrow->EndY()}),
              (std::vector<double>{x, y, tool.Outputs()[1]->GetValue(this->tool).template get_value<double>(),
                                   tool.Outputs()[2]->GetValue(this->tool).template get_value<double>()}));

    tool.setLastRunRecordDiagEnable(static_cast<decltype(tool.LastRunRecordDiagEnable())>(0x1));
    RunOk(tool);
    tool.setLastRunRecordDiagEnable(static_cast<decltype(tool.LastRunRecordDiagEnable())>(0x41));
    EXPECT_EQ(tool.CreateLastRunRecord()->SubRecords()[0]->SubRecords().Count(), 0u);
}

// Each tool against the reference, for random points and shapes in a rotated, scaled
// fixture space: the point is taken in that space as it is, the shape is mapped there.
TEST(PointShapeTools, MeasureAsTheReferenceInARotatedScaledSpace)
{
    using namespace DistanceReference;
    for (unsigned seed = 0; seed < 20; ++seed) {
        RandomSpace space(seed);
        const P p = space.Point();
        const double tol = space.Tolerance();
        auto expect = [&](auto tool, auto shape, const Nearest& reference) {
            SCOPED_TRACE(testing::Message() << tool->Inputs()[3]->Path() << " seed " << seed);
            tool->setX(p.x);
            tool->setY(p.y);
            tool->Inputs()[3]->SetValue(tool, rttr::variant(shape));
            tool->setInputImage(space.image);
            RunOk(*tool);
            ExpectOutputs(tool, {reference.distance, reference.b.x, reference.b.y}, tol);
        };
        P s0, s1;
        DistanceReference::Ellipse seen;
        auto line = space.Line(s0, s1);
        expect(Quill::Create<DistancePointLineTool>(), line, PointLine(p, s0, s1));
        auto segment = space.Segment(s0, s1);
        expect(Quill::Create<DistancePointSegmentTool>(), segment, PointSegment(p, s0, s1));
        auto circle = space.Circle(seen);
        expect(Quill::Create<DistancePointCircleTool>(), circle, PointEllipse(p, seen));
        auto ellipse = space.Ellipse(seen);
        expect(Quill::Create<DistancePointEllipseTool>(), ellipse, PointEllipse(p, seen));
    }
}

} // namespace
