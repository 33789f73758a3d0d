#include <Geometry/CreateCircleTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

CreateCircleTool::CreateCircleTool(ObjectCreateAccessToken)
    : circle_(CreateInputShape<Vision::Circle>(0xFF00FF00))
{
    InitializeRecordSwitches(0x3, 0x11, 0x0);
    for (const char* path : {"InputImage", "Circle.CenterX", "Circle.CenterY", "Circle.Radius"})
        Inputs().Add(path);
    Outputs().Add("GetOutputCircle()");
}

CreateCircleTool::CreateCircleTool() : CreateCircleTool(MakeAccessToken()) {}
CreateCircleTool::~CreateCircleTool() = default;

// How far the two radii of the mapped circle may differ, as a ratio, for it to stay a
// circle: a space that scales x and y alike up to rounding of its calibration.
static constexpr double kRoundness = 1.00001;

ToolResultConstants CreateCircleTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputCircle, output_);
    const Vision::Circle& circle = Required(circle_, "inputCircle");
    PreRun(imageRetentionMask_);
    // The mapped shape of a circle is an ellipse; the output stays a circle, centred where
    // the ellipse is, with the mean of its radii, as long as the radii agree.
    const auto mapped = Tools::MapIntoImage(circle, *InputImage(), 0);
    const double rx = mapped->RadiusX(), ry = mapped->RadiusY();
    if ((rx > ry ? rx / ry : ry / rx) > kRoundness)
        throw ArgumentException("The input circle would become an ellipse when mapped to the space of the image.");
    auto output = circle.Copy(static_cast<std::uint32_t>(CopyShapeConstants::All));
    output->SetCenterRadius(mapped->CenterX(), mapped->CenterY(), (ry + rx) * 0.5);
    return FinishConstruction(output_, std::move(output), CreateCircleLastRunRecordDiagConstants::Circle,
                              SfGetOutputCircle);
}

// A circle's live record carries no tip text of its own.
void CreateCircleTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask, {{0x2, "Circle", circle_}});
}

void CreateCircleTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                    std::uint32_t diagMask)
{
    if (const auto image = AddLastRunInputImageRecord(*parent, diagMask))
        AddLastRunRows(*image, diagMask, {{0x10, "Circle", output_.copy}});
}

} // namespace Ostrel::Vision::Geometry
