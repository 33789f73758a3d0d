#include <Geometry/AnglePointPointTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using Diag = AnglePointPointLastRunRecordDiagConstants;

AnglePointPointTool::AnglePointPointTool(ObjectCreateAccessToken)
    : startPoint_(CreateInputMarker(10, 10, 0xFF00FFFF)), endPoint_(CreateInputMarker(30, 40, 0xFFFF00FF))
{
    endPoint_->setGraphicType(PointMarkerGraphicTypeConstants::Square);
    // Also keeps the image-retention mask at 0x71, like the diagnostic mask.
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    imageRetentionMask_ = 0x71;
    for (const char* path : {"InputImage", "StartX", "StartY", "EndX", "EndY"})
        Inputs().Add(path);
    Outputs().Add("Angle");
}

AnglePointPointTool::AnglePointPointTool() : AnglePointPointTool(MakeAccessToken()) {}
AnglePointPointTool::~AnglePointPointTool() = default;

void AnglePointPointTool::OnFinalConstruct()
{
    HookStartPointEvents();
    HookEndPointEvents();
}

void AnglePointPointTool::HookStartPointEvents()
{
    startPointConnection_ = Subscribe(*startPoint_, &AnglePointPointTool::OnStartPointChanged);
}
void AnglePointPointTool::HookEndPointEvents()
{
    endPointConnection_ = Subscribe(*endPoint_, &AnglePointPointTool::OnEndPointChanged);
}
void AnglePointPointTool::DisconnectStartPointEvents() { startPointConnection_.disconnect(); }
void AnglePointPointTool::DisconnectEndPointEvents() { endPointConnection_.disconnect(); }
void AnglePointPointTool::OnStartPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>&)
{
    OnChanged_(SfStartX | SfStartY);
}
void AnglePointPointTool::OnEndPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>&)
{
    OnChanged_(SfEndX | SfEndY);
}

void AnglePointPointTool::setStartX(double x)
{
    SetMarkerCoordinate(*startPoint_, &PointMarker::X, &PointMarker::setX, x, SfStartX, startPointConnection_,
                        &AnglePointPointTool::OnStartPointChanged);
}
void AnglePointPointTool::setStartY(double y)
{
    SetMarkerCoordinate(*startPoint_, &PointMarker::Y, &PointMarker::setY, y, SfStartY, startPointConnection_,
                        &AnglePointPointTool::OnStartPointChanged);
}
void AnglePointPointTool::setEndX(double x)
{
    SetMarkerCoordinate(*endPoint_, &PointMarker::X, &PointMarker::setX, x, SfEndX, endPointConnection_,
                        &AnglePointPointTool::OnEndPointChanged);
}
void AnglePointPointTool::setEndY(double y)
{
    SetMarkerCoordinate(*endPoint_, &PointMarker::Y, &PointMarker::setY, y, SfEndY, endPointConnection_,
                        &AnglePointPointTool::OnEndPointChanged);
}

ToolResultConstants AnglePointPointTool::InternalRun(std::string&)
{
    ClearRunState();
    angle_ = 0;
    OnChanged_(SfAngle);
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
    angle_ = MathUtils::AnglePointPoint(x0, y0, x1, y1);

    PostRun();
    OnChanged_(SfAngle | SfLastRunRecord);
    return ToolResultConstants::Accept;
}

void AnglePointPointTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
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

void AnglePointPointTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
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
        CreateAngleLineRecord(startPointCopy_->X(), startPointCopy_->Y(), endPointCopy_->X(), endPointCopy_->Y(),
                              angle_, *image, "Arrow");
}

} // namespace Ostrel::Vision::Geometry
