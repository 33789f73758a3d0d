// The output-style base and the result-graphic operations, through a small tool of the
// test's own that exposes them.
#include <numbers>

#include <gtest/gtest.h>

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/LineSegment.h>

#include "common/EventRecorder.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry::Implementation;

namespace {

class StyledProbe : public GeometryToolBaseOutputStyle {
public:
    explicit StyledProbe(ObjectCreateAccessToken) {}
    using GeometryToolBase::CreateAngleLineRecord;
    using GeometryToolBase::CreateCircularArcRecord;
    using GeometryToolBase::CreateDistanceLineRecord;
    using GeometryToolBase::CreateIntersectionPointRecord;

protected:
    ToolResultConstants InternalRun(std::string&) override
    {
        ClearRunState();
        PreRun(imageRetentionMask_);
        PostRun();
        return ToolResultConstants::Accept;
    }
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>&, std::uint32_t) override {}
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>&, std::uint32_t, std::uint32_t) override {}
};

std::shared_ptr<Record> NewParent()
{
    return Quill::Create<Record>("InputImage", rttr::type::get<IImage>(), RecordUsageConstants::LastRunInput, false,
                                 nullptr, "InputImage");
}

} // namespace

TEST(OutputStyle, SettersAlwaysRaiseWithTheCurrentRecordFlag)
{
    auto probe = Quill::Create<StyledProbe>();
    EXPECT_EQ(probe->OutputColor().ToUInt32(), 0xFF00FF00u);
    EXPECT_EQ(probe->OutputLineWidthInScreenPixels(), 1);
    EventRecorder events(*probe);
    probe->setOutputColor(probe->OutputColor());
    probe->setOutputLineWidthInScreenPixels(1);
    probe->setOutputLineStyle(GraphicLineStyleConstants::Dash);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x104, 0x204, 0x404}));
    EXPECT_THROW(probe->setOutputLineWidthInScreenPixels(-1), ArgumentOutOfRangeException);
    EXPECT_EQ(probe->OutputLineWidthInScreenPixels(), 1);
}

TEST(ResultGraphics, LabelsGeometryAndSkippedCases)
{
    auto probe = Quill::Create<StyledProbe>();
    auto parent = NewParent();
    probe->CreateDistanceLineRecord(0, 0, 1, 1, 12.5, *parent, "Arrow");  // never ran: nothing
    EXPECT_EQ(parent->SubRecords().Count(), 0u);

    auto image = Quill::Create<Image8Grey>(4, 4);
    image->CoordinateSpaceTree()->AddSpace("#", "Plate", Transform2DLinear::Translation(1, 2));
    image->setSelectedSpaceName("Plate");
    probe->setInputImage(image);
    probe->Run();
    probe->CreateDistanceLineRecord(0, 0, 3, 4, 12.5, *parent, "Arrow");
    probe->CreateDistanceLineRecord(2, 2, 2, 2, 0, *parent, "Skipped");  // coinciding ends
    probe->CreateAngleLineRecord(0, 0, 0, 1, std::numbers::pi / 2, *parent, "Line");
    probe->CreateCircularArcRecord(5, 6, 7, 0.25, 0, *parent, "Arc");
    probe->CreateIntersectionPointRecord(-1.25, 2, *parent, "Point");
    ASSERT_EQ(parent->SubRecords().Count(), 4u);

    const auto& arrow = *parent->SubRecords()[0];
    EXPECT_EQ(arrow.Key(), "Arrow");
    EXPECT_EQ(arrow.Annotation(), "Arrow");
    EXPECT_EQ(arrow.Usage(), RecordUsageConstants::LastRunResult);
    EXPECT_FALSE(arrow.Flag());
    auto segment = arrow.ValueAs<LineSegment>();
    EXPECT_EQ(segment->TipText(), "Distance=12.500000");
    EXPECT_EQ(segment->SelectedSpaceName(), "#/Plate");
    EXPECT_EQ(segment->EndX(), 3);
    EXPECT_TRUE(segment->Interactive());
    EXPECT_EQ(segment->SelectedColor().ToUInt32(), 0xFFFFFF00u);
    EXPECT_EQ(parent->SubRecords()[1]->ValueAs<GraphicBase>()->TipText(), "Angle=1.570796 rad, 90.000000 deg");
    auto arc = parent->SubRecords()[2]->ValueAs<CircularArc>();
    EXPECT_EQ(arc->TipText(), "Angle=0.000000 rad, 0.000000 deg");  // the span, not the start
    EXPECT_EQ(arc->AngleStart(), 0.25);
    EXPECT_EQ(static_cast<int>(arc->EndPointAdornment()), 1);
    EXPECT_EQ(parent->SubRecords()[3]->ValueAs<GraphicBase>()->TipText(), "X=-1.250000, Y=2.000000");
}
