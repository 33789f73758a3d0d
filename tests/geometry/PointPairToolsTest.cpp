// The tool frame shared by every geometry tool, run over both point-pair tools; a later
// tool joins by adding its traits to ToolTypes.
#include <cmath>
#include <numbers>
#include <sstream>

#include <gtest/gtest.h>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/EventRecorder.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

template <class T>
struct PointPairTraits;

template <>
struct PointPairTraits<DistancePointPointTool> {
    static constexpr const char* name = "Ostrel::Vision::Geometry::DistancePointPointTool";
    static constexpr double defaultEndX = 70;
    static constexpr std::uint64_t outputFlags = 0x18000;
    static constexpr std::uint64_t nextFlag = 0x20000;
    static std::vector<std::string> outputs() { return {"Distance", "Angle"}; }
    static constexpr const char* arrowLabel = "Distance=5.000000";
};
template <>
struct PointPairTraits<AnglePointPointTool> {
    static constexpr const char* name = "Ostrel::Vision::Geometry::AnglePointPointTool";
    static constexpr double defaultEndX = 30;
    static constexpr std::uint64_t outputFlags = 0x8000;
    static constexpr std::uint64_t nextFlag = 0x10000;
    static std::vector<std::string> outputs() { return {"Angle"}; }
    static constexpr const char* arrowLabel = "Angle=0.927295 rad, 53.130102 deg";
};

template <class Tool>
class PointPairTools : public ::testing::Test {
protected:
    using Traits = PointPairTraits<Tool>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);

    void SetPoints(double x0, double y0, double x1, double y1)
    {
        tool->setStartX(x0);
        tool->setStartY(y0);
        tool->setEndX(x1);
        tool->setEndY(y1);
    }
    void RunOk()
    {
        tool->Run();
        ASSERT_EQ(tool->RunStatus().Result(), ToolResultConstants::Accept) << tool->RunStatus().Message();
    }
};

using ToolTypes = ::testing::Types<DistancePointPointTool, AnglePointPointTool>;
TYPED_TEST_SUITE(PointPairTools, ToolTypes);

std::vector<std::string> Keys(const Record& record)
{
    std::vector<std::string> keys;
    for (const auto& sub : record.SubRecords())
        keys.push_back(sub->Key());
    return keys;
}

} // namespace

TYPED_TEST(PointPairTools, DefaultsFlagsAndPins)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    EXPECT_EQ(static_cast<std::uint32_t>(tool.CurrentRecordEnable()), 0x7u);
    EXPECT_EQ(static_cast<std::uint32_t>(tool.LastRunRecordDiagEnable()), 0x71u);
    EXPECT_EQ(static_cast<std::uint32_t>(tool.LastRunRecordEnable()), 0x0u);
    EXPECT_EQ(tool.ImageRetentionMask(), 0x71u);
    EXPECT_EQ(tool.StartX(), 10);
    EXPECT_EQ(tool.StartY(), 10);
    EXPECT_EQ(tool.EndX(), Traits::defaultEndX);
    EXPECT_EQ(tool.EndY(), 40);
    EXPECT_EQ(TypeParam::sf0_, 0x100u);
    EXPECT_EQ((std::vector<std::uint64_t>{TypeParam::SfLastRunRecordEnable, TypeParam::SfLastRunRecordDiagEnable,
                                          TypeParam::SfCurrentRecordEnable, TypeParam::SfStartX, TypeParam::SfStartY,
                                          TypeParam::SfEndX, TypeParam::SfEndY}),
              (std::vector<std::uint64_t>{0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000}));
    EXPECT_EQ(TypeParam::sfNextSf_, Traits::nextFlag);

    std::vector<std::string> inputs, outputs;
    for (const auto& pin : tool.Inputs())
        inputs.push_back(pin->Path());
    for (const auto& pin : tool.Outputs())
        outputs.push_back(pin->Path());
    EXPECT_EQ(inputs, (std::vector<std::string>{"InputImage", "StartX", "StartY", "EndX", "EndY"}));
    EXPECT_EQ(outputs, Traits::outputs());
    EXPECT_EQ(rttr::type::get(tool).get_name(), Traits::name);

    auto record = tool.CreateCurrentRecord();
    ASSERT_EQ(Keys(*record), std::vector<std::string>{"InputImage"});
    const auto& imageRecord = *record->SubRecords()[0];
    EXPECT_EQ(Keys(imageRecord), (std::vector<std::string>{"StartPoint", "EndPoint"}));
    auto start = imageRecord.SubRecords()[0]->template ValueAs<PointMarker>();
    auto end = imageRecord.SubRecords()[1]->template ValueAs<PointMarker>();
    EXPECT_EQ(start->Color().ToUInt32(), 0xFF00FFFFu);
    EXPECT_EQ(end->Color().ToUInt32(), 0xFFFF00FFu);
    EXPECT_EQ(start->GraphicDOFEnable(), 0x80000000u);
    EXPECT_EQ(start->Size(), 11);
    EXPECT_EQ(static_cast<int>(end->GraphicType()), 1);
    EXPECT_TRUE(start->Interactive());
    EXPECT_EQ(imageRecord.SubRecords()[0]->Usage(), RecordUsageConstants::CurrentInteractive);
    EXPECT_TRUE(imageRecord.SubRecords()[0]->Flag());
}

TYPED_TEST(PointPairTools, RunComputesTheDirectionAndDistance)
{
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    const struct {
        double x0, y0, x1, y1, angle, distance;
    } cases[] = {
        {0, 0, 3, 4, std::atan2(4.0, 3.0), 5},
        {5, 2, -1, 2, std::numbers::pi, 6},
        {1, 1, 1, -2, -std::numbers::pi / 2, 3},
        {7, 7, 7, 7, 0, 0},
        {0, -0.0, -1, 0.0, std::numbers::pi, 1},  // a negative-zero y still gives π, not −π
    };
    for (const auto& c : cases) {
        this->SetPoints(c.x0, c.y0, c.x1, c.y1);
        this->RunOk();
        EXPECT_DOUBLE_EQ(tool.Angle(), c.angle);
        if constexpr (std::is_same_v<TypeParam, DistancePointPointTool>) {
            EXPECT_DOUBLE_EQ(tool.Distance(), c.distance);
        }
    }
}

TYPED_TEST(PointPairTools, MissingImageFailsTheRunAndLaterRunsRecover)
{
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    this->RunOk();
    tool.setInputImage(nullptr);
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error);
    EXPECT_EQ(tool.RunStatus().Message(), Strings::E_OstOperator_NoInputImage);
    EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), OperatorNoInputImageException);
    EXPECT_THROW(tool.Angle(), ToolNoResultException);
    EXPECT_TRUE(tool.CreateLastRunRecord()->SubRecords().Count() == 1);  // "InputImage" with a null image
    EXPECT_FALSE(tool.CreateLastRunRecord()->SubRecords()[0]->Value());

    tool.setInputImage(this->image);
    this->RunOk();
    EXPECT_NO_THROW(tool.Angle());
}

TYPED_TEST(PointPairTools, SettersRaiseExactlyTheirFlags)
{
    auto& tool = *this->tool;
    EventRecorder events(tool);
    tool.setStartX(10);
    tool.setInputImage(nullptr);
    tool.setCurrentRecordEnable(tool.CurrentRecordEnable());
    EXPECT_TRUE(events.flags.empty());

    tool.setStartX(12);
    tool.setEndY(-3);
    tool.setInputImage(this->image);
    tool.setInputImage(this->image);
    using Current = decltype(tool.CurrentRecordEnable());
    using LastRun = decltype(tool.LastRunRecordEnable());
    using Diag = decltype(tool.LastRunRecordDiagEnable());
    tool.setCurrentRecordEnable(static_cast<Current>(0x3));
    tool.setLastRunRecordEnable(static_cast<LastRun>(0x1));
    tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x11));
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x800, 0x4000, 0x84, 0x404, 0x108, 0x200}));
    EXPECT_EQ(tool.ImageRetentionMask(), 0x11u);

    // Dragging a marker (as a display does through the current record) raises both of its
    // coordinates; no event reaches a destroyed tool.
    auto marker = tool.CreateCurrentRecord()->SubRecords()[0]->SubRecords()[0]->template ValueAs<PointMarker>();
    events.flags.clear();
    marker->SetCenterRotationSize(1, 2, 0, 11);
    EXPECT_EQ(events.flags, std::vector<std::uint64_t>{0x1800});
    EXPECT_EQ(tool.StartX(), 1);
    std::weak_ptr<TypeParam> weak = this->tool;
    this->tool.reset();
    EXPECT_TRUE(weak.expired());
    marker->setX(5);
}

TYPED_TEST(PointPairTools, RunRaisesClearThenResult)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    EventRecorder events(tool);
    this->RunOk();
    ASSERT_GE(events.flags.size(), 3u);
    EXPECT_EQ(events.flags[0], Traits::outputFlags);
    EXPECT_EQ(events.flags[1], 0x8u);
    EXPECT_EQ(events.flags[2], Traits::outputFlags | 0x8);
}

TYPED_TEST(PointPairTools, LastRunRecordFollowsTheMasks)
{
    using Traits = typename TestFixture::Traits;
    using Diag = decltype(this->tool->LastRunRecordDiagEnable());
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    this->SetPoints(0, 0, 3, 4);
    this->RunOk();
    auto record = tool.CreateLastRunRecord();
    ASSERT_EQ(Keys(*record), std::vector<std::string>{"InputImage"});
    const auto& imageRecord = *record->SubRecords()[0];
    EXPECT_EQ(imageRecord.Value(), this->image);  // kept by reference
    EXPECT_EQ(imageRecord.Usage(), RecordUsageConstants::LastRunInput);
    ASSERT_EQ(Keys(imageRecord), (std::vector<std::string>{"StartPoint", "EndPoint", "Arrow"}));
    EXPECT_EQ(imageRecord.SubRecords()[0]->template ValueAs<PointMarker>()->SelectedSpaceName(), "#");
    const auto arrow = imageRecord.SubRecords()[2];
    EXPECT_EQ(arrow->Usage(), RecordUsageConstants::LastRunResult);
    auto line = arrow->template ValueAs<LineSegment>();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->TipText(), Traits::arrowLabel);
    EXPECT_EQ(line->Color().ToUInt32(), 0xFFFFFF00u);
    EXPECT_EQ(line->SelectedSpaceName(), "#");
    EXPECT_EQ(static_cast<int>(line->StartPointAdornment()), 1);

    for (std::uint32_t diag : {0x0u, 0x70u}) {
        tool.setLastRunRecordDiagEnable(static_cast<Diag>(diag));
        this->RunOk();
        EXPECT_EQ(tool.CreateLastRunRecord()->SubRecords().Count(), 0u) << diag;
    }
    tool.setCurrentRecordEnable(static_cast<decltype(tool.CurrentRecordEnable())>(0x6));
    EXPECT_EQ(tool.CreateCurrentRecord()->SubRecords().Count(), 0u);

    // A kept copy does not follow later changes of the input image.
    tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x45));
    this->RunOk();
    auto kept = tool.CreateLastRunRecord()->SubRecords()[0]->template ValueAs<Image8Grey>();
    ASSERT_TRUE(kept);
    EXPECT_NE(kept, this->image);
    this->image->SetPixel(0, 0, 200);
    EXPECT_EQ(kept->At(0, 0), 0);

    // Coinciding points: the run succeeds, the arrow is left out.
    this->SetPoints(2, 2, 2, 2);
    this->RunOk();
    EXPECT_EQ(Keys(*tool.CreateLastRunRecord()->SubRecords()[0]), (std::vector<std::string>{}));
}

TYPED_TEST(PointPairTools, RecordCopiesNameTheirSpaceFully)
{
    auto& tool = *this->tool;
    this->image->CoordinateSpaceTree()->AddSpace("#", "Fixture", Transform2DLinear::Translation(5, 5));
    tool.setInputImage(this->image);
    auto startMarker = tool.CreateCurrentRecord()->SubRecords()[0]->SubRecords()[0]->template ValueAs<PointMarker>();
    startMarker->setSelectedSpaceName("Fixture");
    this->RunOk();
    auto copy = tool.CreateLastRunRecord()->SubRecords()[0]->SubRecords()[0]->template ValueAs<PointMarker>();
    EXPECT_EQ(copy->SelectedSpaceName(), "#/Fixture");

    startMarker->setSelectedSpaceName("Nowhere");
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error);
    EXPECT_THROW(tool.RunStatus().Exception()->ThrowException(), InvalidOperationException);
    EXPECT_THROW(tool.Angle(), ToolNoResultException);
}

TYPED_TEST(PointPairTools, PinsReadAndWriteThroughReflection)
{
    auto& tool = *this->tool;
    std::shared_ptr<Quill::IObject> object = this->tool;
    tool.Inputs()["InputImage"]->SetValue(object, rttr::variant(std::shared_ptr<IImage>(this->image)));
    EXPECT_EQ(tool.InputImage(), this->image);
    for (const char* path : {"StartX", "StartY", "EndX", "EndY"})
        tool.Inputs()[path]->SetValue(object, rttr::variant(std::string(path).starts_with("End") ? 4 : 1));
    EXPECT_EQ(tool.EndY(), 4);
    EXPECT_THROW(tool.Outputs()["Angle"]->GetValue(object), ToolNoResultException);
    this->RunOk();
    EXPECT_EQ(tool.Outputs()["Angle"]->GetValue(object).template get_value<double>(), std::numbers::pi / 4);
    EXPECT_EQ(tool.Inputs()["StartX"]->GetValue(object).template get_value<double>(), 1.0);
}
