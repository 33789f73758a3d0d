#include <Geometry/CreateSegmentTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

CreateSegmentTool::CreateSegmentTool(ObjectCreateAccessToken)
    : segment_(CreateInputShape<LineSegment>(0xFF00FF00))
{
    InitializeRecordSwitches(0x3, 0x11, 0x0);
    for (const char* path : {"InputImage", "Segment.StartX", "Segment.StartY", "Segment.EndX", "Segment.EndY"})
        Inputs().Add(path);
    for (const char* path : {"GetOutputSegment()", "GetOutputSegment().CreateLine()"})
        Outputs().Add(path);
}

CreateSegmentTool::CreateSegmentTool() : CreateSegmentTool(MakeAccessToken()) {}
CreateSegmentTool::~CreateSegmentTool() = default;

ToolResultConstants CreateSegmentTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputSegment, output_);
    const LineSegment& segment = Required(segment_, "InputSegment");
    PreRun(imageRetentionMask_);
    return FinishConstruction(output_, Tools::MapIntoImage(segment, *InputImage()),
                              CreateSegmentLastRunRecordDiagConstants::Segment, SfGetOutputSegment);
}

void CreateSegmentTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    if ((currentMask & 0x3) == 0x3 && segment_)
        segment_->setTipText("Segment");
    AddCurrentRecords(*parent, currentMask, {{0x2, "Segment", segment_}});
}

void CreateSegmentTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                    std::uint32_t diagMask)
{
    if (const auto image = AddLastRunInputImageRecord(*parent, diagMask))
        AddLastRunRows(*image, diagMask, {{0x10, "Segment", output_.copy}});
}

} // namespace Ostrel::Vision::Geometry
