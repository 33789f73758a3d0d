#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using CreateLineBisectPointsDiag = CreateLineBisectPointsLastRunRecordDiagConstants;

CreateLineBisectPointsTool::CreateLineBisectPointsTool(ObjectCreateAccessToken)
{
    // The end point is drawn as a square, to tell it from the start.
    end_.Marker()->setGraphicType(PointMarkerGraphicTypeConstants::Square);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    for (const char* path : {"InputImage", "StartX", "StartY", "EndX", "EndY"})
        Inputs().Add(path);
    Outputs().Add("GetOutputLine()");
}

CreateLineBisectPointsTool::CreateLineBisectPointsTool() : CreateLineBisectPointsTool(MakeAccessToken()) {}
CreateLineBisectPointsTool::~CreateLineBisectPointsTool() = default;

ToolResultConstants CreateLineBisectPointsTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputLine, output_, copies_);
    PreRun(imageRetentionMask_);
    KeepRecordCopy(copies_.start, start_, CreateLineBisectPointsDiag::StartPoint);
    KeepRecordCopy(copies_.end, end_, CreateLineBisectPointsDiag::EndPoint);
    // No input is mapped: the points are the image's, and so is the bisector.
    return FinishConstruction(output_,
                              MathUtils::CreateLineBisectingPointPoint(start_.X(), start_.Y(), end_.X(),
                                                                       end_.Y(), ImageSpaceName()),
                              CreateLineBisectPointsDiag::OutputLine, SfGetOutputLine);
}

void CreateLineBisectPointsTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                             std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask,
                      {{0x2, "StartPoint", start_.Marker()}, {0x4, "EndPoint", end_.Marker()}});
}

void CreateLineBisectPointsTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent,
                                                             std::uint32_t, std::uint32_t diagMask)
{
    AddLastRunRecords(*parent, diagMask,
                      {{0x40, "OutputLine", output_.copy},
                       {0x10, "StartPoint", copies_.start},
                       {0x20, "EndPoint", copies_.end}});
}

} // namespace Ostrel::Vision::Geometry
