#include <Geometry/DistancePointPointTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using Diag = DistancePointPointLastRunRecordDiagConstants;

DistancePointPointTool::DistancePointPointTool(ObjectCreateAccessToken)
    : startPoint_(CreateInputMarker(10, 10, 0xFF00FFFF)), endPoint_(CreateInputMarker(70, 40, 0xFFFF00FF))
{
    endPoint_->setGraphicType(PointMarkerGraphicTypeConstants::Square);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    for (const char* path : {"InputImage", "StartX", "StartY", "EndX", "EndY"})
        Inputs().Add(path);
    for (const char* path : {"Distance", "Angle"})
        Outputs().Add(path);
}

DistancePointPointTool::DistancePointPointTool() : DistancePointPointTool(MakeAccessToken()) {}
DistancePointPointTool::~DistancePointPointTool() = default;

void DistancePointPointTool::OnFinalConstruct()
{
    HookStartPointEvents();
    HookEndPointEvents();
}

void DistancePointPointTool::HookStartPointEvents()
{
    startPointConnection_ = Subscribe(*startPoint_, &DistancePointPointTool::OnStartPointChanged);
}
void DistancePointPointTool::HookEndPointEvents()
{
    endPointConnection_ = Subscribe(*endPoint_, &DistancePointPointTool::OnEndPointChanged);
}
void DistancePointPointTool::DisconnectStartPointEvents() { startPointConnection_.disconnect(); }
void DistancePointPointTool::DisconnectEndPointEvents() { endPointConnection_.disconnect(); }
void DistancePointPointTool::OnStartPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>&)
{
    OnChanged_(SfStartX | SfStartY);
}
void DistancePointPointTool::OnEndPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>&)
{
    OnChanged_(SfEndX | SfEndY);
}

void DistancePointPointTool::setStartX(double x)
{
    SetMarkerCoordinate(*startPoint_, &PointMarker::X, &PointMarker::setX, x, SfStartX, startPointConnection_,
                        &DistancePointPointTool::OnStartPointChanged);
}
void DistancePointPointTool::setStartY(double y)
{
    SetMarkerCoordinate(*startPoint_, &PointMarker::Y, &PointMarker::setY, y, SfStartY, startPointConnection_,
                        &DistancePointPointTool::OnStartPointChanged);
}
void DistancePointPointTool::setEndX(double x)
{
    SetMarkerCoordinate(*endPoint_, &PointMarker::X, &PointMarker::setX, x, SfEndX, endPointConnection_,
                        &DistancePointPointTool::OnEndPointChanged);
}
void DistancePointPointTool::setEndY(double y)
{
    SetMarkerCoordinate(*endPoint_, &PointMarker::Y, &PointMarker::setY, y, SfEndY, endPointConnection_,
                        &DistancePointPointTool::OnEndPointChanged);
}

ToolResultConstants DistancePointPointTool::InternalRun(std::string&)
{
    ClearRunState();
    distance_ = 0;
    angle_ = 0;
    OnChanged_(SfDistance | SfAngle);
    startPointCopy_.reset();
    endPointCopy_.reset();
    OnChanged_(SfLastRunRecord);

    PreRun(imageRetentionMask_);
    const auto diag = static_cast<Diag>(lastRunRecordDiagEnable_);
    if (Any(diag & (Diag::StartPoint | Diag::Arrow)))
        startPointCopy_ = MakeRecordGraphicCopy(*startPoint_);
    if (Any(diag & (Diag::EndPoint | Diag::Arrow)))
        endPointCopy_ = MakeRecordGraphicCopy(*endPoint_);

    // The markers' own coordinates, in their own space: nothing is mapped.
    double x0, y0, x1, y1, rotation;
    std::int32_t size;
    startPoint_->GetCenterRotationSize(x0, y0, rotation, size);
    endPoint_->GetCenterRotationSize(x1, y1, rotation, size);
    distance_ = MathUtils::DistancePointPoint(x0, y0, x1, y1, angle_);

    PostRun();
    OnChanged_(SfDistance | SfAngle | SfLastRunRecord);
    return ToolResultConstants::Accept;
}

void DistancePointPointTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                         std::uint32_t currentMask)
{
    const auto image = AddCurrentInputImageRecord(*parent, currentMask);
    if (!image)
        return;
    if (currentMask & 0x2)
        AddCurrentGraphicRecord(*image, "StartPoint", startPoint_);
    if (currentMask & 0x4)
        AddCurrentGraphicRecord(*image, "EndPoint", endPoint_);
}

void DistancePointPointTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                         std::uint32_t diagMask)
{
    const auto image = AddLastRunInputImageRecord(*parent, diagMask);
    if (!image)
        return;
    if (diagMask & 0x10)
        AddLastRunInputRecord(*image, "StartPoint", startPointCopy_);
    if (diagMask & 0x20)
        AddLastRunInputRecord(*image, "EndPoint", endPointCopy_);
    if ((diagMask & 0x40) && startPointCopy_ && endPointCopy_)
        CreateDistanceLineRecord(startPointCopy_->X(), startPointCopy_->Y(), endPointCopy_->X(), endPointCopy_->Y(),
                                 distance_, *image, "Arrow");
}

} // namespace Ostrel::Vision::Geometry
