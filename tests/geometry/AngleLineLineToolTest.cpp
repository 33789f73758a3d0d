// What the line-angle tool does beyond the shared frame: the angle between its lines, the arc
// that shows it at their crossing, and the labels that name the lines.
#include <cmath>
#include <numbers>

#include <Geometry/AngleLineLineTool.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/GraphicLabel.h>

#include "ToolFrame.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace ToolFrameTests {

template <> struct ToolTraits<AngleLineLineTool> {
    static constexpr std::uint64_t resetFlags = 0x2000, outputFlags = 0x2000, dragFlags = 0;
    static Names LastRunKeys() { return {"LineA", "LineB", "Angle"}; }
    static Names ResultKeys() { return {"Angle"}; }
    static void SetInputs(AngleLineLineTool& t)
    {
        t.LineA()->SetXYRotation(0, 10, 0), t.LineB()->SetXYRotation(3, 0, -2);
    }
    static constexpr double expected = -2;
};

using LineAngleTools = ::testing::Types<AngleLineLineTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(LineAngle, ToolFrame, LineAngleTools);

} // namespace ToolFrameTests

namespace {

using ToolFrameTests::Names;
using Diag = AngleLineLineLastRunRecordDiagConstants;

class AngleLineLineToolTest : public ::testing::Test {
protected:
    std::shared_ptr<AngleLineLineTool> tool = Quill::Create<AngleLineLineTool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(640, 480);
    void SetUp() override { tool->setInputImage(image); }

    std::shared_ptr<Record> LastRun(Diag diag)
    {
        tool->setLastRunRecordDiagEnable(diag);
        RunOk(*tool);
        return tool->CreateLastRunRecord();
    }
};

TEST_F(AngleLineLineToolTest, MeasuresFromLineAToLineBWithAnArcAtTheCrossing)
{
    EXPECT_EQ(tool->LineA()->Color().ToUInt32(), 0xFF00FFFFu);
    EXPECT_EQ(tool->LineB()->Color().ToUInt32(), 0xFFFF00FFu);
    const auto record = LastRun(static_cast<Diag>(0x31))->SubRecords()[0];
    const double start = std::atan2(10, 30), angle = std::atan2(50, 40) - start;
    EXPECT_NEAR(tool->Angle(), angle, 1e-15);
    ASSERT_EQ(Keys(*record), (Names{"LineA", "LineB", "Angle"}));
    const auto arc = record->SubRecords()[2]->ValueAs<CircularArc>();
    EXPECT_NEAR(arc->CenterX(), 10, 1e-12);
    EXPECT_NEAR(arc->CenterY(), 10, 1e-12);
    EXPECT_EQ(arc->Radius(), 160);
    EXPECT_NEAR(arc->AngleStart(), start, 1e-15);
    EXPECT_NEAR(arc->AngleSpan(), angle, 1e-15);
    EXPECT_EQ(arc->TipText(), "Angle=0.574305 rad, 32.905243 deg");
    EXPECT_EQ(record->SubRecords()[0]->ValueAs<Line>()->TipText(), "LineA");
}

TEST_F(AngleLineLineToolTest, ParallelAndCoincidingLinesHaveAnAngleButNoArc)
{
    double x, y, rotation;
    tool->LineA()->GetXYRotation(x, y, rotation);
    for (const double offset : {20.0, 0.0}) {
        tool->LineB()->SetXYRotation(x, y + offset, rotation);
        EXPECT_EQ(Keys(*LastRun(static_cast<Diag>(0x31))->SubRecords()[0]), (Names{"LineA", "LineB"}))
            << offset;
        EXPECT_EQ(tool->Angle(), 0);
    }
}

TEST_F(AngleLineLineToolTest, RecordsFollowTheMasks)
{
    EXPECT_EQ(Keys(*LastRun(static_cast<Diag>(0x50))), Names{});
    const auto record = LastRun(static_cast<Diag>(0x51))->SubRecords()[0];
    ASSERT_EQ(Keys(*record), Names{"LineA"});
    const auto line = record->SubRecords()[0]->ValueAs<Line>();
    tool->CreateLastRunRecord(); // a second record of the same run labels the line once
    ASSERT_EQ(line->ChildGraphics().Count(), 1);
    const auto label = line->ChildGraphics().ItemAs<GraphicLabel>(0);
    EXPECT_EQ(label->Text(), "LineA");
    EXPECT_EQ(label->Alignment(), GraphicLabelAlignmentConstants::Center);
    EXPECT_EQ(label->SelectedSpaceName(), "$");
    EXPECT_EQ(label->Color().ToUInt32(), 0xFF00FFFFu);
    EXPECT_EQ(label->GraphicDOFEnable(), 0u);

    // The live lines, named, only over an image.
    EXPECT_EQ(Keys(*tool->CreateCurrentRecord()->SubRecords()[0]), (Names{"LineA", "LineB"}));
    EXPECT_EQ(tool->LineB()->TipText(), "LineB");
    tool->setInputImage(nullptr);
    EXPECT_EQ(Keys(*tool->CreateCurrentRecord()->SubRecords()[0]), Names{});
}

// Line A's label stands at its point nearest the image centre (320, 240); line B's moves
// aside when the two would come within 150 across and 70 down of each other.
TEST_F(AngleLineLineToolTest, SecondLabelMovesAsideOnlyWhenTheLabelsWouldMeet)
{
    struct Case {
        double ax, ay, rotationA, by, rotationB, labelX, labelY;
    };
    const double steep = std::numbers::pi / 2;
    for (const auto& c : {Case{220, 0, steep, 290, 0, 470, 290},    // 100 across, 50 down: B flat moves right
                          Case{0, 190, 0, 0, steep, 320, 310},      // B steep moves down
                          Case{470, 0, steep, 290, 0, 320, 290}}) { // 150 across: stays
        tool->LineA()->SetXYRotation(c.ax, c.ay, c.rotationA);
        tool->LineB()->SetXYRotation(320, c.by, c.rotationB);
        const auto record = LastRun(static_cast<Diag>(0x71))->SubRecords()[0];
        const auto label = record->SubRecords()[1]->ValueAs<Line>()->ChildGraphics().ItemAs<GraphicLabel>(0);
        EXPECT_EQ(label->Text(), "LineB");
        EXPECT_NEAR(label->X() + 320, c.labelX, 1e-9) << c.ax;
        EXPECT_NEAR(label->Y() + c.by, c.labelY, 1e-9) << c.ax;
    }
}

} // namespace
