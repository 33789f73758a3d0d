// What the shape-to-shape distance tools do beyond the shared frame: their two shape
// inputs, the distance and closest points they compute, the rules for touching shapes and
// ties, and their legacy names.
#include <cmath>
#include <map>
#include <type_traits>

#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Ostrel/Vision/ToolPin.h>

#include "DistanceReference.h"
#include "ToolFrame.h"
#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace {

// The shape types of a tool, A then B.
template <class A, class B>
std::pair<A, B> ShapesOf(const Geometry::Implementation::ShapePairDistanceTool<A, B>&);

} // namespace

namespace ToolFrameTests {

// Shapes 25 apart, set by the rest of the row. Beyond the frame's rows: the shapes' names
// and their flags, A then B; the golden archives hold their defaults.
#define OSTREL_SHAPE_PAIR_TRAITS(Tool, A, B, flagB, reset, ...)                                                     \
    template <>                                                                                                     \
    struct ToolTraits<Tool> {                                                                                       \
        static constexpr std::uint64_t resetFlags = reset, outputFlags = reset, dragFlags = 0;                      \
        static Names LastRunKeys() { return {B, A, "Arrow"}; }                                                      \
        static constexpr const char* names[2] = {A, B};                                                             \
        static constexpr std::uint64_t shapeFlags[2] = {0x800, flagB};                                              \
        static constexpr double expected = 25;                                                                      \
        static void SetInputs(Tool& t) { __VA_ARGS__; }                                                             \
    };
OSTREL_SHAPE_PAIR_TRAITS(DistanceCircleCircleTool, "CircleA", "CircleB", 0x1000, 0x3E000,
                         t.CircleA()->SetCenterRadius(0, 0, 10), t.CircleB()->SetCenterRadius(30, 40, 15))
OSTREL_SHAPE_PAIR_TRAITS(DistanceLineCircleTool, "Line", "Circle", 0x1000, 0x3E000,
                         t.Line()->SetXYRotation(0, 0, 0), t.InputCircle()->SetCenterRadius(0, 40, 15))
OSTREL_SHAPE_PAIR_TRAITS(DistanceLineEllipseTool, "Line", "Ellipse", 0x1000, 0x3E000,
                         t.Line()->SetXYRotation(0, 0, 0), t.Ellipse()->SetCenterXYRadiusXYRotation(0, 40, 10, 15, 0))
OSTREL_SHAPE_PAIR_TRAITS(DistanceSegmentLineTool, "Segment", "Line", 0x4000, 0x3B000,
                         t.Segment()->SetStartEnd(0, 30, 10, 25), t.Line()->SetXYRotation(0, 0, 0))
OSTREL_SHAPE_PAIR_TRAITS(DistanceSegmentSegmentTool, "SegmentA", "SegmentB", 0x1000, 0x3E000,
                         t.SegmentA()->SetStartEnd(0, 0, 0, 10), t.SegmentB()->SetStartEnd(7, 34, 100, 100))
OSTREL_SHAPE_PAIR_TRAITS(DistanceSegmentCircleTool, "Segment", "Circle", 0x4000, 0x3B000,
                         t.Segment()->SetStartEnd(-10, 0, 10, 0), t.InputCircle()->SetCenterRadius(0, 40, 15))
OSTREL_SHAPE_PAIR_TRAITS(DistanceSegmentEllipseTool, "Segment", "Ellipse", 0x4000, 0x3B000,
                         t.Segment()->SetStartEnd(-10, 0, 10, 0), t.Ellipse()->SetCenterXYRadiusXYRotation(0, 40, 10, 15, 0))
#undef OSTREL_SHAPE_PAIR_TRAITS

using ShapePairTools = ::testing::Types<DistanceCircleCircleTool, DistanceLineCircleTool, DistanceLineEllipseTool,
                                        DistanceSegmentLineTool, DistanceSegmentSegmentTool, DistanceSegmentCircleTool,
                                        DistanceSegmentEllipseTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(ShapePair, ToolFrame, ShapePairTools);

} // namespace ToolFrameTests

namespace {

// A tool's shapes reached through its pins, as a host reaches them.
template <class Tool>
class ShapePairTool : public ::testing::Test {
protected:
    using Traits = ToolFrameTests::ToolTraits<Tool>;
    using A = typename decltype(ShapesOf(std::declval<Tool&>()))::first_type;
    using B = typename decltype(ShapesOf(std::declval<Tool&>()))::second_type;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(8, 8);

    template <class Shape>
    std::shared_ptr<Shape> Get(int pin) const
    {
        return tool->Inputs()[pin]->GetValue(tool).template get_value<std::shared_ptr<Shape>>();
    }
    template <class Shape>
    void Set(int pin, const std::shared_ptr<Shape>& shape)
    {
        tool->Inputs()[pin]->SetValue(tool, rttr::variant(shape));
    }
};
TYPED_TEST_SUITE(ShapePairTool, ToolFrameTests::ShapePairTools);

TYPED_TEST(ShapePairTool, ShapeInputsColoursFlagsAndMissingShapes)
{
    using Traits = typename TestFixture::Traits;
    using A = typename TestFixture::A;
    using B = typename TestFixture::B;
    const auto a = this->template Get<A>(1);
    const auto b = this->template Get<B>(2);
    EXPECT_EQ((std::vector<std::uint32_t>{a->Color().ToUInt32(), b->Color().ToUInt32(), a->GraphicDOFEnable()}),
              (std::vector<std::uint32_t>{0xFF00FFFF, 0xFFFF00FF, 0xFFFFFFFF}));
    EXPECT_EQ(Keys(*this->tool->CreateCurrentRecord()->SubRecords()[0]), (std::vector<std::string>{Traits::names[0], Traits::names[1]}));

    EventRecorder events(*this->tool);
    this->Set(1, a);
    this->Set(2, b);
    this->Set(1, std::shared_ptr<A>());
    this->Set(2, std::shared_ptr<B>());
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{Traits::shapeFlags[0] | 0x4, Traits::shapeFlags[1] | 0x4}));

    // Shape A is missing first, then B; the tool runs again once both are back.
    this->tool->setInputImage(this->image);
    for (int pin : {1, 2}) {
        this->tool->Run();
        EXPECT_EQ(this->tool->RunStatus().Message(),
                  Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {Traits::names[pin - 1]}));
        EXPECT_THROW(this->tool->RunStatus().Exception()->ThrowException(), ArgumentNullException);
        EXPECT_THROW(this->tool->Distance(), ToolNoResultException);
        pin == 1 ? this->Set(1, a) : this->Set(2, b);
    }
    RunOk(*this->tool);
}

// Each tool against the reference, for random shapes in a rotated, scaled fixture space
// into which both shapes are mapped, its arrow shown only for shapes apart. The seeds give
// every tool crossing shapes and shapes apart.
TEST(ShapePairTools, MeasureAsTheReferenceInARotatedScaledSpace)
{
    using namespace DistanceReference;
    std::map<std::string, std::pair<int, int>> outcomes;  // per tool: runs apart, runs crossing
    for (unsigned seed = 0; seed < 24; ++seed) {
        RandomSpace space(seed);
        auto expect = [&](auto tool, auto a, auto b, const Nearest& reference) {
            SCOPED_TRACE(testing::Message() << rttr::type::get(*tool).get_name().to_string() << " seed " << seed);
            tool->Inputs()[1]->SetValue(tool, rttr::variant(a));
            tool->Inputs()[2]->SetValue(tool, rttr::variant(b));
            tool->setInputImage(space.image);
            RunOk(*tool);
            auto& counts = outcomes[rttr::type::get(*tool).get_name().to_string()];
            // Shapes that touch or cross: distance 0, closest-point getters that throw, no arrow.
            const bool crossing = reference.distance == 0;
            EXPECT_EQ(Keys(*tool->CreateLastRunRecord()->SubRecords()[0]).back() == "Arrow", !crossing);
            if (crossing) {
                ++counts.second;
                EXPECT_EQ(tool->Distance(), 0);
                for (int pin = 1; pin <= 4; ++pin)
                    EXPECT_THROW(tool->Outputs()[pin]->GetValue(tool), ToolNoResultException) << pin;
                return;
            }
            ++counts.first;
            ExpectOutputs(tool, {reference.distance, reference.a.x, reference.a.y, reference.b.x, reference.b.y},
                          space.Tolerance());
        };
        P a0, a1, b0, b1, l0, l1;
        DistanceReference::Ellipse ca, cb, e;
        const auto circleA = space.Circle(ca), circleB = space.Circle(cb);
        const auto ellipse = space.Ellipse(e);
        const auto segmentA = space.Segment(a0, a1), segmentB = space.Segment(b0, b1);
        const auto line = space.Line(l0, l1);
        expect(Quill::Create<DistanceCircleCircleTool>(), circleA, circleB, CircleCircle(ca, cb));
        expect(Quill::Create<DistanceLineCircleTool>(), line, circleA, StraightEllipse(l0, l1, ca, false));
        expect(Quill::Create<DistanceLineEllipseTool>(), line, ellipse, StraightEllipse(l0, l1, e, false));
        expect(Quill::Create<DistanceSegmentLineTool>(), segmentA, line, SegmentLine(a0, a1, l0, l1));
        expect(Quill::Create<DistanceSegmentSegmentTool>(), segmentA, segmentB, SegmentSegment(a0, a1, b0, b1));
        expect(Quill::Create<DistanceSegmentCircleTool>(), segmentA, circleA, StraightEllipse(a0, a1, ca, true));
        expect(Quill::Create<DistanceSegmentEllipseTool>(), segmentA, ellipse, StraightEllipse(a0, a1, e, true));
    }
    ASSERT_EQ(outcomes.size(), 7u);
    for (const auto& [tool, counts] : outcomes)
        EXPECT_TRUE(counts.first > 0 && counts.second > 0) << tool << " " << counts.first << " " << counts.second;
}

} // namespace
