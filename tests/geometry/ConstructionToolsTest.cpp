// What the construction tools do beyond the shared frame: the output they publish (a new
// shape per run, in the image's space, in the tool's style), their null inputs, their
// records and their legacy names.
#include <cmath>
#include <map>
#include <numbers>

#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>

#include "ToolFrame.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace ToolFrameTests {

// What the pass-through tools share: one live input that the tool does not follow, an
// output shape shown (as its display copy) under the key of the input.
struct PassThroughTraits {
    static constexpr std::uint64_t resetFlags = 0x8008, outputFlags = 0x8000, dragFlags = 0;
    static constexpr bool recordsCopyInputs = false;
    using UnresolvedSpaceException = ArgumentException;
};

// A pass-through tool's row: its shape and input property, the name a missing input gets,
// the input's tip text, the input set by `init`, and the output's measure that is then 45.
#define OSTREL_PASS_THROUGH_TRAITS(Tool, ShapeType, Property, null, tip, measure, init)                             \
    template <>                                                                                                     \
    struct ToolTraits<Tool> : PassThroughTraits {                                                                   \
        using Shape = ShapeType;                                                                                    \
        static constexpr const char *nullName = null, *tipText = tip;                                               \
        static Names LastRunKeys() { return {#Property}; }                                                          \
        static auto& Input(Tool& t) { return t.Property(); }                                                        \
        static void SetInput(Tool& t, std::shared_ptr<Shape> shape) { t.set##Property(shape); }                     \
        static void SetInputs(Tool& t) { t.Property()->init; }                                                      \
        static double Measure(const rttr::variant& v) { return v.get_value<std::shared_ptr<Shape>>()->measure(); }  \
        static constexpr double expected = 45;                                                                      \
    };
OSTREL_PASS_THROUGH_TRAITS(CreateSegmentTool, LineSegment, Segment, "InputSegment", "Segment", Length,
                           SetStartEnd(3, 4, 30, 40))
OSTREL_PASS_THROUGH_TRAITS(CreateLineTool, Line, Line, "inputLine", "Line", X, SetXYRotation(45, 7, 0.3))
OSTREL_PASS_THROUGH_TRAITS(CreateCircleTool, Circle, Circle, "inputCircle", "", Radius, SetCenterRadius(20, 30, 45))
OSTREL_PASS_THROUGH_TRAITS(CreateEllipseTool, Ellipse, Ellipse, "inputEllipse", "Ellipse", RadiusX,
                           SetCenterXYRadiusXYRotation(20, 30, 45, 12, 0.5))
#undef OSTREL_PASS_THROUGH_TRAITS

using PassThroughTools = ::testing::Types<CreateSegmentTool, CreateLineTool, CreateCircleTool, CreateEllipseTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(PassThrough, ToolFrame, PassThroughTools);


// The derived tools show their output first in the last-run record, above the copies of
// the inputs.
template <class Tool>
struct LineThroughPointTraits {
    static constexpr std::uint64_t resetFlags = 0x20008, outputFlags = 0x20000, dragFlags = 0xC000;
    static Names LastRunKeys() { return {"OutputLine", "Point", "Line"}; }
    static void SetInputs(Tool& t) { t.setX(3), t.setY(7), t.Line()->SetXYRotation(0, 0, 0.25); }
    static double Measure(const rttr::variant& v) { return v.get_value<std::shared_ptr<Line>>()->Rotation(); }
};

template <>
struct ToolTraits<CreateLineParallelTool> : LineThroughPointTraits<CreateLineParallelTool> {
    static constexpr double expected = 0.25;
};

template <>
struct ToolTraits<CreateLinePerpendicularTool> : LineThroughPointTraits<CreateLinePerpendicularTool> {
    static constexpr double expected = 0.25 + std::numbers::pi / 2;
};

template <>
struct ToolTraits<CreateLineBisectPointsTool>  {
    static constexpr std::uint64_t resetFlags = 0x40008, outputFlags = 0x40000, dragFlags = 0xC000;
    static Names LastRunKeys() { return {"OutputLine", "StartPoint", "EndPoint"}; }
    static void SetInputs(CreateLineBisectPointsTool& t) { t.setStartX(0), t.setStartY(0), t.setEndX(10), t.setEndY(0); }
    static double Measure(const rttr::variant& v) { return v.get_value<std::shared_ptr<Line>>()->X(); }
    static constexpr double expected = 5;
};

template <>
struct ToolTraits<CreateSegmentAvgSegsTool>  {
    static constexpr std::uint64_t resetFlags = 0x10008, outputFlags = 0x10000, dragFlags = 0;
    static Names LastRunKeys() { return {"OutputSegment", "SegmentA", "SegmentB"}; }
    static void SetInputs(CreateSegmentAvgSegsTool& t)
    {
        t.SegmentA()->SetStartEnd(0, 0, 10, 0);
        t.SegmentB()->SetStartEnd(0, 4, 10, 4);
    }
    static double Measure(const rttr::variant& v) { return v.get_value<std::shared_ptr<LineSegment>>()->StartY(); }
    static constexpr double expected = 2;
};

using DerivedTools = ::testing::Types<CreateLineParallelTool, CreateLinePerpendicularTool, CreateLineBisectPointsTool,
                                      CreateSegmentAvgSegsTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(Derived, ToolFrame, DerivedTools);

// Every construction tool converts its legacy inputs and output style.
template <class Tool>
class Construction : public ::testing::Test {};
using ConstructionTools = ::testing::Types<CreateSegmentTool, CreateLineTool, CreateCircleTool, CreateEllipseTool,
                                           CreateLineParallelTool, CreateLinePerpendicularTool,
                                           CreateLineBisectPointsTool, CreateSegmentAvgSegsTool>;
TYPED_TEST_SUITE(Construction, ConstructionTools);

template <class Tool>
class PassThrough : public ToolFrame<Tool> {
protected:
    double Output() { return this->FirstOutput(); }
};
TYPED_TEST_SUITE(PassThrough, PassThroughTools);

// A space in which every length is half what it is in the image's pixels.
void AddHalfScaleSpace(IImage& image)
{
    image.CoordinateSpaceTree()->AddSpace("#", "Half", Transform2DLinear(0.5, 0, 0, 0.5, 0, 0));
}

TYPED_TEST(PassThrough, PublishesANewStyledShapeInTheImageSpaceEveryRun)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    Traits::SetInputs(tool);
    AddHalfScaleSpace(*this->image);
    Traits::Input(tool)->setSelectedSpaceName("Half");
    tool.setInputImage(this->image);
    tool.setOutputColor(Color32::FromUInt32(0xFF123456));
    tool.setOutputLineWidthInScreenPixels(3);
    tool.setOutputLineStyle(GraphicLineStyleConstants::Dash);
    RunOk(tool);
    EXPECT_NEAR(this->Output(), 2 * Traits::expected, 1e-12);
    const auto first = std::dynamic_pointer_cast<GraphicBase>(
        tool.Outputs()[0]->GetValue(this->tool).template get_value<std::shared_ptr<typename Traits::Shape>>());
    ASSERT_TRUE(first);
    EXPECT_NE(first, Traits::Input(tool));
    EXPECT_EQ(first->SelectedSpaceName(), "#");
    EXPECT_EQ(first->Color().ToUInt32(), 0xFF123456u);
    EXPECT_EQ(first->LineWidthInScreenPixels(), 3);
    EXPECT_EQ(first->LineStyle(), GraphicLineStyleConstants::Dash);

    // A host holding the first output sees it unchanged by the next run.
    Traits::Input(tool)->setSelectedSpaceName("#");
    RunOk(tool);
    EXPECT_NEAR(this->Output(), Traits::expected, 1e-12);
    EXPECT_NEAR(Traits::Measure(rttr::variant(std::dynamic_pointer_cast<typename Traits::Shape>(first))),
                2 * Traits::expected, 1e-12);
}

TYPED_TEST(PassThrough, ShowsItsLiveInputAndNamesItWhenMissing)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const auto input = Traits::Input(tool);
    tool.setInputImage(this->image);
    EXPECT_EQ(this->CurrentImageRecord()->SubRecords()[0]->Value(), input);
    EXPECT_EQ(input->TipText(), Traits::tipText);

    EventRecorder events(tool);
    Traits::SetInput(tool, input);
    Traits::SetInput(tool, nullptr);
    Traits::SetInput(tool, nullptr);
    EXPECT_EQ(events.flags, std::vector<std::uint64_t>{0x4004});
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Message(), Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {Traits::nullName}));
    ASSERT_TRUE(tool.RunStatus().Exception());
    EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), ArgumentNullException);
    EXPECT_EQ(Keys(*this->CurrentImageRecord()), Names{});
    Traits::SetInput(tool, input);
    RunOk(tool);
}

} // namespace ToolFrameTests

TEST(CreateCircleTool, StaysACircleOnlyWhileTheRadiiAgree)
{
    auto tool = Quill::Create<CreateCircleTool>();
    auto image = Quill::Create<Image8Grey>(8, 8);
    image->CoordinateSpaceTree()->AddSpace("#", "Near", Transform2DLinear(0.5, 0, 0, 1 / 2.000005, 0, 0));
    image->CoordinateSpaceTree()->AddSpace("#", "Far", Transform2DLinear(0.5, 0, 0, 1 / 2.0001, 0, 0));
    tool->setInputImage(image);
    tool->Circle()->SetCenterRadius(10, 20, 4);
    tool->Circle()->setSelectedSpaceName("Near");
    RunOk(*tool);
    const auto output = tool->GetOutputCircle();
    EXPECT_NEAR(output->Radius(), 4 * (2 + 2.000005) / 2, 1e-12);
    EXPECT_NEAR(output->CenterX(), 20, 1e-12);
    EXPECT_NEAR(output->CenterY(), 40.0001, 1e-12);

    tool->Circle()->setSelectedSpaceName("Far");
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Message(), "The input circle would become an ellipse when mapped to the space of the image.");
    ASSERT_TRUE(tool->RunStatus().Exception());
    EXPECT_THROW(tool->RunStatus().Exception()->ThrowException(), ArgumentException);
    EXPECT_THROW(tool->GetOutputCircle(), ToolNoResultException);
}

TEST(DerivedTools, RefuseMissingAndDegenerateInputsAndRecover)
{
    auto image = Quill::Create<Image8Grey>(8, 8);
    auto expectFailure = [](ITool& tool, const std::string& message) {
        tool.Run();
        EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error);
        EXPECT_EQ(tool.RunStatus().Message(), message);
    };
    const auto nullMessage = [](const char* name) { return Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {name}); };

    auto parallel = Quill::Create<CreateLineParallelTool>();
    parallel->setInputImage(image);
    const auto line = parallel->Line();
    parallel->setLine(nullptr);
    expectFailure(*parallel, nullMessage("Line"));
    EXPECT_EQ(Keys(*parallel->CreateCurrentRecord()->SubRecords()[0]), std::vector<std::string>{"Point"});
    parallel->setLine(line);
    RunOk(*parallel);

    auto average = Quill::Create<CreateSegmentAvgSegsTool>();
    average->setInputImage(image);
    const auto a = average->SegmentA();
    average->setSegmentB(nullptr);
    expectFailure(*average, nullMessage("SegmentB"));
    average->setSegmentA(nullptr);
    expectFailure(*average, nullMessage("SegmentA"));
    average->setSegmentA(a);
    average->setSegmentB(a);
    RunOk(*average);

    auto bisect = Quill::Create<CreateLineBisectPointsTool>();
    bisect->setInputImage(image);
    bisect->setEndX(10);
    bisect->setEndY(10);
    EventRecorder events(*bisect);  // the second marker raises the end point's flags
    bisect->CreateCurrentRecord()->SubRecords()[0]->SubRecords()[1]->ValueAs<PointMarker>()->setX(11);
    bisect->setEndX(10);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x30000, 0x10000}));
    // A coordinate that is not a finite number is refused by the point, through a pin too.
    EXPECT_THROW(bisect->Inputs()[1]->SetValue(bisect, rttr::variant(std::nan(""))), ArgumentException);
    EXPECT_EQ(bisect->StartX(), 10);
    expectFailure(*bisect, std::string(Strings::E_OstShape_CoordinatesMustDiffer));
    ASSERT_TRUE(bisect->RunStatus().Exception());
    EXPECT_THROW(bisect->RunStatus().Exception()->ThrowException(), ShapeException);
    EXPECT_THROW(bisect->GetOutputLine(), ToolNoResultException);
    bisect->setEndY(0);
    RunOk(*bisect);
    EXPECT_EQ(bisect->GetOutputLine()->Y(), 5);
}
