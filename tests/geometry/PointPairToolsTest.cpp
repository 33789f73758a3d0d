// What the point-pair tools do beyond the shared frame: their markers, the direction and
// distance they compute, and the arrow of their last-run record.
#include <cmath>
#include <numbers>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/LineSegment.h>

#include "ToolFrame.h"
#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace ToolFrameTests {

template <>
struct ToolTraits<DistancePointPointTool> {
    static constexpr std::uint64_t resetFlags = 0x18000, outputFlags = 0x18000, dragFlags = 0x1800;
    static Names LastRunKeys() { return {"StartPoint", "EndPoint", "Arrow"}; }
    static void SetInputs(DistancePointPointTool& t) { t.setStartX(0), t.setStartY(0), t.setEndX(3), t.setEndY(4); }
    static constexpr double expected = 5;
    static constexpr const char* arrowLabel = "Distance=5.000000";  // for the points (0, 0) and (3, 4)
};
template <>
struct ToolTraits<AnglePointPointTool> {
    static constexpr std::uint64_t resetFlags = 0x8000, outputFlags = 0x8000, dragFlags = 0x1800;
    static Names LastRunKeys() { return {"StartPoint", "EndPoint", "Arrow"}; }
    static void SetInputs(AnglePointPointTool& t) { t.setStartX(1), t.setStartY(1), t.setEndX(1), t.setEndY(3); }
    static constexpr double expected = 1.5707963267948966;
    static constexpr const char* arrowLabel = "Angle=0.927295 rad, 53.130102 deg";
};

using PointPairTools = ::testing::Types<DistancePointPointTool, AnglePointPointTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(PointPair, ToolFrame, PointPairTools);

template <class Tool>
class PointPair : public ToolFrame<Tool> {
protected:
    void SetPoints(double x0, double y0, double x1, double y1)
    {
        this->tool->setStartX(x0), this->tool->setStartY(y0), this->tool->setEndX(x1), this->tool->setEndY(y1);
    }
};
TYPED_TEST_SUITE(PointPair, PointPairTools);

TYPED_TEST(PointPair, MarkersHoldTheCoordinates)
{
    auto& tool = *this->tool;
    const auto image = tool.CreateCurrentRecord()->SubRecords()[0];
    EXPECT_EQ(Keys(*image), (std::vector<std::string>{"StartPoint", "EndPoint"}));
    auto start = image->SubRecords()[0]->template ValueAs<PointMarker>();
    auto end = image->SubRecords()[1]->template ValueAs<PointMarker>();
    EXPECT_EQ(start->Color().ToUInt32(), 0xFF00FFFFu);
    EXPECT_EQ(end->Color().ToUInt32(), 0xFFFF00FFu);
    EXPECT_EQ(start->GraphicDOFEnable(), 0x80000000u);
    EXPECT_EQ(start->Size(), 11);
    EXPECT_EQ(static_cast<int>(end->GraphicType()), 1);
    EXPECT_TRUE(start->Interactive());
    EXPECT_TRUE(image->SubRecords()[0]->Flag());

    EventRecorder events(tool);
    tool.setStartX(10);
    tool.setStartX(12);
    tool.setEndY(-3);
    end->setY(4);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x800, 0x4000, 0x6000}));
    EXPECT_EQ(tool.EndY(), 4);
}

TYPED_TEST(PointPair, RunComputesTheDirectionAndDistance)
{
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    const struct {
        double x0, y0, x1, y1, angle, distance;
    } cases[] = {
        {0, 0, 3, 4, std::atan2(4.0, 3.0), 5},
        {1, 1, 1, -2, -std::numbers::pi / 2, 3},
    };
    for (const auto& c : cases) {
        this->SetPoints(c.x0, c.y0, c.x1, c.y1);
        RunOk(tool);
        EXPECT_DOUBLE_EQ(tool.Angle(), c.angle);
        if constexpr (std::is_same_v<TypeParam, DistancePointPointTool>) {
            EXPECT_DOUBLE_EQ(tool.Distance(), c.distance);
        }
    }
}

TYPED_TEST(PointPair, ArrowShowsTheMeasurement)
{
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    this->SetPoints(0, 0, 3, 4);
    RunOk(tool);
    const auto arrow = tool.CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2];
    auto line = arrow->template ValueAs<LineSegment>();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->TipText(), TestFixture::Traits::arrowLabel);
    EXPECT_EQ(line->Color().ToUInt32(), 0xFFFFFF00u);
    EXPECT_EQ(static_cast<int>(line->StartPointAdornment()), 1);
    EXPECT_EQ((std::vector<double>{line->StartX(), line->StartY(), line->EndX(), line->EndY()}),
              (std::vector<double>{0, 0, 3, 4}));

    // Without a retained image the rows still hang beneath an "InputImage" holding none;
    // coinciding points leave the arrow out.
    tool.setImageRetentionMask(0);
    this->SetPoints(2, 2, 2, 2);
    RunOk(tool);
    const auto image = tool.CreateLastRunRecord()->SubRecords()[0];
    EXPECT_FALSE(image->Value());
    EXPECT_EQ(Keys(*image), (std::vector<std::string>{"StartPoint", "EndPoint"}));
}

} // namespace ToolFrameTests

// The image space name a run finds is kept between runs; it must still follow a new
// selected space, a new tree, a space that makes the selection's name mean another, and a
// new image. The arrow of the last-run record is drawn in it.
TEST(ToolFrameCache, ImageSpaceNameFollowsTheImage)
{
    auto tool = Quill::Create<DistancePointPointTool>();
    auto image = Quill::Create<Image8Grey>(8, 8);
    tool->setInputImage(image);
    auto arrowSpace = [&] {
        RunOk(*tool);
        return tool->CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2]->ValueAs<GraphicBase>()->SelectedSpaceName();
    };
    EXPECT_EQ(arrowSpace(), "#");
    image->CoordinateSpaceTree()->AddSpace("#", "Part", Transform2DLinear::Translation(1, 0));
    image->setSelectedSpaceName("Part");
    EXPECT_EQ(arrowSpace(), "#/Part");

    auto tree = Quill::Create<CoordinateSpaceTree>();
    tree->AddSpace("#", "Plate", Transform2DLinear());
    tree->AddSpace("#/Plate", "Part", Transform2DLinear());
    image->setCoordinateSpaceTree(tree);  // same selected name, same space count, another tree
    EXPECT_EQ(arrowSpace(), "#/Plate/Part");

    tree->AddSpace("#", "Other", Transform2DLinear());
    tree->AddSpace("#/Other", "Part", Transform2DLinear());  // "Part" now names two spaces
    tool->setLastRunRecordDiagEnable(DistancePointPointLastRunRecordDiagConstants::InputImageByReference);
    tool->Run();  // without record copies, only the image's own space name can fail the run
    EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Error);
    tool->setLastRunRecordDiagEnable(static_cast<DistancePointPointLastRunRecordDiagConstants>(0x71));
    image->setSelectedSpaceName("#/Other/Part");
    EXPECT_EQ(arrowSpace(), "#/Other/Part");

    auto second = Quill::Create<Image8Grey>(8, 8);
    tool->setInputImage(second);
    EXPECT_EQ(arrowSpace(), "#");
}
