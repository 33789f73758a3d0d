// Reflection of the tool bases, MathUtils, GeometryException and the point-pair tools:
// identity, properties under the getters' names, and the record-switch enumerations.
#include <rttr/registration>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/GeometryException.h>
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "RegistrationSupport.h"

RTTR_REGISTRATION
{
    using namespace rttr;
    using namespace Ostrel::Vision;
    using namespace Ostrel::Vision::Geometry;
    using Geometry::Implementation::GeometryToolBase;
    using Geometry::Implementation::GeometryToolBaseOutputStyle;
    using Geometry::Registration::RegisterTool;

    // An image of the concrete class can be written through a pin typed by IImage.
    type::register_wrapper_converter_for_base_classes<std::shared_ptr<Image8Grey>>();

    registration::enumeration<GeometryExceptionCodes>("Ostrel::Vision::Geometry::GeometryExceptionCodes")(
        value("NotEnoughPoints", GeometryExceptionCodes::NotEnoughPoints),
        value("AmbiguousPoints", GeometryExceptionCodes::AmbiguousPoints));
    registration::class_<GeometryException>("Ostrel::Vision::Geometry::GeometryException")
        .property_readonly("GeometryCode", &GeometryException::GeometryCode);
    registration::class_<MathUtils>("Ostrel::Vision::Geometry::MathUtils")
        .method("DistancePointPoint", &MathUtils::DistancePointPoint)
        .method("AnglePointPoint", &MathUtils::AnglePointPoint);

    registration::class_<GeometryToolBase>("Ostrel::Vision::Geometry::Implementation::GeometryToolBase")
        .property("InputImage", &GeometryToolBase::InputImage, &GeometryToolBase::setInputImage);
    registration::class_<GeometryToolBaseOutputStyle>(
        "Ostrel::Vision::Geometry::Implementation::GeometryToolBaseOutputStyle")
        .property("OutputColor", &GeometryToolBaseOutputStyle::OutputColor, &GeometryToolBaseOutputStyle::setOutputColor)
        .property("OutputLineStyle", &GeometryToolBaseOutputStyle::OutputLineStyle,
                  &GeometryToolBaseOutputStyle::setOutputLineStyle)
        .property("OutputLineWidthInScreenPixels", &GeometryToolBaseOutputStyle::OutputLineWidthInScreenPixels,
                  &GeometryToolBaseOutputStyle::setOutputLineWidthInScreenPixels);

    RegisterTool<DistancePointPointTool>("DistancePointPointTool")
        .property("StartX", &DistancePointPointTool::StartX, &DistancePointPointTool::setStartX)
        .property("StartY", &DistancePointPointTool::StartY, &DistancePointPointTool::setStartY)
        .property("EndX", &DistancePointPointTool::EndX, &DistancePointPointTool::setEndX)
        .property("EndY", &DistancePointPointTool::EndY, &DistancePointPointTool::setEndY)
        .property_readonly("Distance", &DistancePointPointTool::Distance)
        .property_readonly("Angle", &DistancePointPointTool::Angle);
    RegisterTool<AnglePointPointTool>("AnglePointPointTool")
        .property("StartX", &AnglePointPointTool::StartX, &AnglePointPointTool::setStartX)
        .property("StartY", &AnglePointPointTool::StartY, &AnglePointPointTool::setStartY)
        .property("EndX", &AnglePointPointTool::EndX, &AnglePointPointTool::setEndX)
        .property("EndY", &AnglePointPointTool::EndY, &AnglePointPointTool::setEndY)
        .property_readonly("Angle", &AnglePointPointTool::Angle);
}
