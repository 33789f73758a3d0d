#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using Diag = DistancePointCircleLastRunRecordDiagConstants;
static constexpr std::uint64_t OutputFlags = DistancePointCircleTool::SfDistance | DistancePointCircleTool::SfCircleX |
                                             DistancePointCircleTool::SfCircleY;

DistancePointCircleTool::DistancePointCircleTool(ObjectCreateAccessToken) : circle_(CreateInputShape<Circle>(0xFFFF00FF))
{
    circle_->SetCenterRadius(80, 30, 20);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    for (const char* path : {"InputImage", "X", "Y", "InputCircle"})
        Inputs().Add(path);
    for (const char* path : {"Distance", "CircleX", "CircleY"})
        Outputs().Add(path);
}

DistancePointCircleTool::DistancePointCircleTool() : DistancePointCircleTool(MakeAccessToken()) {}
DistancePointCircleTool::~DistancePointCircleTool() = default;

ToolResultConstants DistancePointCircleTool::InternalRun(std::string&)
{
    BeginRun(OutputFlags, result_, copies_);
    const Circle& circle = Required(circle_, "Circle");
    PreRun(imageRetentionMask_);
    KeepRecordCopy(copies_.point, point_, Diag::Point | Diag::Arrow);
    KeepRecordCopy(copies_.circle, circle, Diag::Circle);
    // The point is taken in the image's space; the circle is mapped there (as an ellipse).
    result_.distance = MathUtils::DistancePointCircle(point_.X(), point_.Y(), circle, InputImage().get(),
                                                      result_.circleX, result_.circleY);
    return FinishRun(OutputFlags);
}

void DistancePointCircleTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                          std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask, {{0x2, "Point", point_.Marker()}, {0x4, "Circle", circle_}});
}

void DistancePointCircleTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                          std::uint32_t diagMask)
{
    const auto image = AddLastRunRecords(*parent, diagMask, {{0x20, "Circle", copies_.circle}, {0x10, "Point", copies_.point}});
    if (image && (diagMask & 0x40) && copies_.point)
        CreateDistanceLineRecord(copies_.point->X(), copies_.point->Y(), result_.circleX, result_.circleY,
                                 result_.distance, *image, "Arrow");
}

} // namespace Ostrel::Vision::Geometry
