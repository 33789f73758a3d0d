#include <Geometry/CreateCircleTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

namespace {

// How far the two radii of the mapped circle may differ, as a ratio, for it to stay a
// circle: a space that scales x and y alike up to rounding of its calibration.
constexpr double kRoundness = 1.00001;

// The mapped shape of a circle is an ellipse; the output stays a circle, centred where
// the ellipse is, with the mean of its radii, as long as the radii agree.
std::shared_ptr<Vision::Circle> MapCircle(const Vision::Circle& circle, const IImage& image)
{
    const auto mapped = Tools::MapIntoImage(circle, image, 0);
    const double rx = mapped->RadiusX(), ry = mapped->RadiusY();
    if ((rx > ry ? rx / ry : ry / rx) > kRoundness)
        throw ArgumentException(
            "The input circle would become an ellipse when mapped to the space of the image.");
    auto output = circle.Copy(static_cast<std::uint32_t>(CopyShapeConstants::All));
    output->SetCenterRadius(mapped->CenterX(), mapped->CenterY(), (ry + rx) * 0.5);
    return output;
}

} // namespace

// A circle's live record carries no tip text of its own.
static constexpr CreateCircleTool::Row createCircleRow{"Circle",
                                                       "inputCircle",
                                                       "InputCircle",
                                                       {"Circle.CenterX", "Circle.CenterY", "Circle.Radius"},
                                                       {"GetOutputCircle()"},
                                                       CreateCircleTool::SfGetOutputCircle,
                                                       false,
                                                       &MapCircle};

CreateCircleTool::CreateCircleTool(ObjectCreateAccessToken) : PassThroughTool(createCircleRow) {}
CreateCircleTool::CreateCircleTool() : CreateCircleTool(MakeAccessToken()) {}
CreateCircleTool::~CreateCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
