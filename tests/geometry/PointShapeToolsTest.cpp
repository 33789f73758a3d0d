// What the point-to-shape distance tools do beyond the shared frame: their shape input,
// the distance and closest point they compute, and their records.
#include <cmath>

#include <Geometry/DistancePointCircleTool.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/LineSegment.h>

#include "RegistrationRows.h"
#include "ToolFrame.h"
#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace ToolFrameTests {

template <>
struct ToolTraits<DistancePointCircleTool> {
    static constexpr const char* name = "DistancePointCircleTool";
    static constexpr std::uint32_t masks[3] = {0x7, 0x71, 0x0};
    static Names Inputs() { return {"InputImage", "X", "Y", "InputCircle"}; }
    static Names Outputs() { return {"Distance", "CircleX", "CircleY"}; }
    static constexpr std::uint64_t resetFlags = 0x1C000, outputFlags = 0x1C000, dragFlags = 0x1800, nextFlag = 0x20000;
    static Names LastRunKeys() { return {"Circle", "Point", "Arrow"}; }
    static void SetInputs(DistancePointCircleTool& t) { t.setX(0), t.setY(40), t.InputCircle()->SetCenterRadius(0, 0, 25); }
    static constexpr double expected = 15;
};

using PointShapeTools = ::testing::Types<DistancePointCircleTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(PointShape, ToolFrame, PointShapeTools);

} // namespace ToolFrameTests

TEST(DistancePointCircleTool, MeasuresToTheClosestPointOfTheCircle)
{
    auto tool = Quill::Create<DistancePointCircleTool>();
    EXPECT_EQ(tool->InputCircle()->Color().ToUInt32(), 0xFFFF00FFu);
    EXPECT_EQ(tool->InputCircle()->GraphicDOFEnable(), 0xFFFFFFFFu);
    tool->setInputImage(Quill::Create<Image8Grey>(8, 8));
    RunOk(*tool);
    EXPECT_NEAR(tool->Distance(), std::sqrt(5300.0) - 20, 1e-12);
    EXPECT_NEAR(tool->CircleX(), 80 - 70 * 20 / std::sqrt(5300.0), 1e-12);
    EXPECT_NEAR(tool->CircleY(), 30 - 20 * 20 / std::sqrt(5300.0), 1e-12);
    const auto arrow = tool->CreateLastRunRecord()->SubRecords()[0]->SubRecords()[2]->ValueAs<LineSegment>();
    EXPECT_EQ((std::vector<double>{arrow->StartX(), arrow->StartY(), arrow->EndX(), arrow->EndY()}),
              (std::vector<double>{10, 10, tool->CircleX(), tool->CircleY()}));

    tool->setImageRetentionMask(0);  // no image kept: nothing to draw the rows over
    RunOk(*tool);
    EXPECT_EQ(tool->CreateLastRunRecord()->SubRecords()[0]->SubRecords().Count(), 0u);

    EventRecorder events(*tool);
    tool->setInputCircle(tool->InputCircle());
    tool->setInputCircle(nullptr);
    EXPECT_EQ(events.flags, std::vector<std::uint64_t>{0x2004});
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Message(), Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"Circle"}));
    EXPECT_THROW(tool->CircleX(), ToolNoResultException);
}

TEST(DistancePointCircleTool, ConvertsItsLegacyShapes)
{
    ConversionContext table;
    table.Add(1, ObjectInfo("DistancePointCircleTool", {{"InputImage", LegacyHandle{2}}, {"Point", LegacyHandle{3}},
                                                        {"Circle", LegacyHandle{4}}}));
    table.Add(2, ObjectInfo("Image8Grey", {{"Width", 16}, {"Height", 8}}));
    table.Add(3, ObjectInfo("PointMarker", {{"X", 0.0}, {"Y", 40.0}, {"Rotation", 0.0}, {"Size", 11}}));
    table.Add(4, ObjectInfo("Circle", {{"CenterX", 0.0}, {"CenterY", 0.0}, {"Radius", 25.0}}));
    auto tool = std::dynamic_pointer_cast<DistancePointCircleTool>(Orv9xConverter::Orv9xConvert(1, &table));
    ASSERT_TRUE(tool);
    RunOk(*tool);
    EXPECT_DOUBLE_EQ(tool->Distance(), 15);
}

TEST(PointShapeTools, RegisteredAsTheirRows)
{
    using namespace ToolRowTests;
    const ToolRow rows[] = {
        {New<DistancePointCircleTool>, "DistancePointCircleTool", "GeometryToolBase", {{"Point", 0x2}, {"Circle", 0x4}},
         {{"None", 0}}, {{"Point", 0x10}, {"Circle", 0x20}, {"Arrow", 0x40}}},
    };
    ExpectToolRows(rows);
}
