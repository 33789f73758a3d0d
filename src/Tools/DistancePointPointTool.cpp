#include <Geometry/DistancePointPointTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using DistancePointPointDiag = DistancePointPointLastRunRecordDiagConstants;

DistancePointPointTool::DistancePointPointTool(ObjectCreateAccessToken)
{
    end_.Marker()->setGraphicType(PointMarkerGraphicTypeConstants::Square);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    for (const char* path : {"InputImage", "StartX", "StartY", "EndX", "EndY"})
        Inputs().Add(path);
    for (const char* path : {"Distance", "Angle"})
        Outputs().Add(path);
}

DistancePointPointTool::DistancePointPointTool() : DistancePointPointTool(MakeAccessToken()) {}
DistancePointPointTool::~DistancePointPointTool() = default;

ToolResultConstants DistancePointPointTool::InternalRun(std::string&)
{
    BeginRun(SfDistance | SfAngle, result_, copies_);
    PreRun(imageRetentionMask_);
    KeepRecordCopy(copies_.start, start_, DistancePointPointDiag::StartPoint | DistancePointPointDiag::Arrow);
    KeepRecordCopy(copies_.end, end_, DistancePointPointDiag::EndPoint | DistancePointPointDiag::Arrow);
    // The markers' own coordinates, in their own space: nothing is mapped.
    result_.distance =
        MathUtils::DistancePointPoint(start_.X(), start_.Y(), end_.X(), end_.Y(), result_.angle);
    return FinishRun(SfDistance | SfAngle);
}

void DistancePointPointTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                         std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask,
                      {{0x2, "StartPoint", start_.Marker()}, {0x4, "EndPoint", end_.Marker()}});
}

void DistancePointPointTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                         std::uint32_t diagMask)
{
    const auto image = AddLastRunInputImageRecord(*parent, diagMask);
    if (!image)
        return;
    AddLastRunRows(*image, diagMask, {{0x10, "StartPoint", copies_.start}, {0x20, "EndPoint", copies_.end}});
    if ((diagMask & 0x40) && copies_.start && copies_.end)
        CreateDistanceLineRecord(copies_.start->X(), copies_.start->Y(), copies_.end->X(), copies_.end->Y(),
                                 result_.distance, *image, "Arrow");
}

} // namespace Ostrel::Vision::Geometry
