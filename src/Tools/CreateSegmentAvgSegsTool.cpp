#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using CreateSegmentAvgSegsDiag = CreateSegmentAvgSegsLastRunRecordDiagConstants;

CreateSegmentAvgSegsTool::CreateSegmentAvgSegsTool(ObjectCreateAccessToken)
    : segmentA_(CreateInputShape<LineSegment>(0xFF00FFFF)),
      segmentB_(CreateInputShape<LineSegment>(0xFFFF00FF))
{
    // Two segments leaning towards each other: their average stands upright between them.
    segmentA_->SetStartEnd(60, 10, 100, 50);
    segmentB_->SetStartEnd(160, 10, 120, 50);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    for (const char* path : {"InputImage", "SegmentA", "SegmentB"})
        Inputs().Add(path);
    for (const char* path : {"GetOutputSegment()", "GetOutputSegment().CreateLine()"})
        Outputs().Add(path);
}

CreateSegmentAvgSegsTool::CreateSegmentAvgSegsTool() : CreateSegmentAvgSegsTool(MakeAccessToken()) {}
CreateSegmentAvgSegsTool::~CreateSegmentAvgSegsTool() = default;

ToolResultConstants CreateSegmentAvgSegsTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputSegment, output_, copies_);
    const LineSegment& a = Required(segmentA_, "SegmentA");
    const LineSegment& b = Required(segmentB_, "SegmentB");
    PreRun(imageRetentionMask_);
    KeepRecordCopy(copies_.a, a, CreateSegmentAvgSegsDiag::SegmentA);
    KeepRecordCopy(copies_.b, b, CreateSegmentAvgSegsDiag::SegmentB);
    return FinishConstruction(output_, MathUtils::CreateSegmentByAveragingSegments(a, b, InputImage().get()),
                              CreateSegmentAvgSegsDiag::OutputSegment, SfGetOutputSegment);
}

void CreateSegmentAvgSegsTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                           std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask, {{0x2, "SegmentA", segmentA_}, {0x4, "SegmentB", segmentB_}});
}

void CreateSegmentAvgSegsTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent,
                                                           std::uint32_t, std::uint32_t diagMask)
{
    AddLastRunRecords(*parent, diagMask,
                      {{0x40, "OutputSegment", output_.copy},
                       {0x10, "SegmentA", copies_.a},
                       {0x20, "SegmentB", copies_.b}});
}

} // namespace Ostrel::Vision::Geometry
