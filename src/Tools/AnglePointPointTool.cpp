#include <Geometry/AnglePointPointTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using AnglePointPointDiag = AnglePointPointLastRunRecordDiagConstants;

AnglePointPointTool::AnglePointPointTool(ObjectCreateAccessToken)
{
    end_.Marker()->setGraphicType(PointMarkerGraphicTypeConstants::Square);
    // Also keeps the image-retention mask at 0x71, like the diagnostic mask.
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    imageRetentionMask_ = 0x71;
    for (const char* path : {"InputImage", "StartX", "StartY", "EndX", "EndY"})
        Inputs().Add(path);
    Outputs().Add("Angle");
}

AnglePointPointTool::AnglePointPointTool() : AnglePointPointTool(MakeAccessToken()) {}
AnglePointPointTool::~AnglePointPointTool() = default;

ToolResultConstants AnglePointPointTool::InternalRun(std::string&)
{
    BeginRun(SfAngle, result_, copies_);
    PreRun(imageRetentionMask_);
    KeepRecordCopy(copies_.start, start_, AnglePointPointDiag::StartPoint | AnglePointPointDiag::Arrow);
    KeepRecordCopy(copies_.end, end_, AnglePointPointDiag::EndPoint | AnglePointPointDiag::Arrow);
    result_.angle = MathUtils::AnglePointPoint(start_.X(), start_.Y(), end_.X(), end_.Y());
    return FinishRun(SfAngle);
}

void AnglePointPointTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                      std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask,
                      {{0x2, "StartPoint", start_.Marker()}, {0x4, "EndPoint", end_.Marker()}});
}

void AnglePointPointTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                      std::uint32_t diagMask)
{
    const auto image = AddLastRunInputImageRecord(*parent, diagMask);
    if (!image)
        return;
    AddLastRunRows(*image, diagMask, {{0x10, "StartPoint", copies_.start}, {0x20, "EndPoint", copies_.end}});
    if ((diagMask & 0x40) && copies_.start && copies_.end)
        CreateAngleLineRecord(copies_.start->X(), copies_.start->Y(), copies_.end->X(), copies_.end->Y(),
                              result_.angle, *image, "Arrow");
}

} // namespace Ostrel::Vision::Geometry
