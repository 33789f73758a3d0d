// What the point-to-shape distance tools do beyond the shared frame: their shape input,
// the distance and closest point they compute, and their records.
#include <cmath>

#include <Geometry/DistancePointCircleTool.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/LineSegment.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

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
