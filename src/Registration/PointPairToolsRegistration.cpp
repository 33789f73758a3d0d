// Reflection of the tool bases, MathUtils, GeometryException and the point-pair tools:
// identity, properties under the getters' names, and the record-switch enumerations.
#include <rttr/registration>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/GeometryException.h>
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

// The typed record switches every geometry tool exposes as properties.
#define OSTREL_RECORD_SWITCH_PROPERTIES(T)                                                      \
    .property("CurrentRecordEnable", &T::CurrentRecordEnable, &T::setCurrentRecordEnable)       \
    .property("LastRunRecordEnable", &T::LastRunRecordEnable, &T::setLastRunRecordEnable)       \
    .property("LastRunRecordDiagEnable", &T::LastRunRecordDiagEnable, &T::setLastRunRecordDiagEnable)

RTTR_REGISTRATION
{
    using namespace rttr;
    using namespace Ostrel::Vision;
    using namespace Ostrel::Vision::Geometry;
    using Geometry::Implementation::GeometryToolBase;
    using Geometry::Implementation::GeometryToolBaseOutputStyle;

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

    registration::enumeration<DistancePointPointCurrentRecordConstants>(
        "Ostrel::Vision::Geometry::DistancePointPointCurrentRecordConstants")(
        value("InputImage", DistancePointPointCurrentRecordConstants::InputImage),
        value("StartPoint", DistancePointPointCurrentRecordConstants::StartPoint),
        value("EndPoint", DistancePointPointCurrentRecordConstants::EndPoint));
    registration::enumeration<DistancePointPointLastRunRecordConstants>(
        "Ostrel::Vision::Geometry::DistancePointPointLastRunRecordConstants")(
        value("None", DistancePointPointLastRunRecordConstants::None));
    registration::enumeration<DistancePointPointLastRunRecordDiagConstants>(
        "Ostrel::Vision::Geometry::DistancePointPointLastRunRecordDiagConstants")(
        value("InputImageByReference", DistancePointPointLastRunRecordDiagConstants::InputImageByReference),
        value("InputImageByCopy", DistancePointPointLastRunRecordDiagConstants::InputImageByCopy),
        value("StartPoint", DistancePointPointLastRunRecordDiagConstants::StartPoint),
        value("EndPoint", DistancePointPointLastRunRecordDiagConstants::EndPoint),
        value("Arrow", DistancePointPointLastRunRecordDiagConstants::Arrow));
    registration::class_<DistancePointPointTool>("Ostrel::Vision::Geometry::DistancePointPointTool")
        .property("StartX", &DistancePointPointTool::StartX, &DistancePointPointTool::setStartX)
        .property("StartY", &DistancePointPointTool::StartY, &DistancePointPointTool::setStartY)
        .property("EndX", &DistancePointPointTool::EndX, &DistancePointPointTool::setEndX)
        .property("EndY", &DistancePointPointTool::EndY, &DistancePointPointTool::setEndY)
        .property_readonly("Distance", &DistancePointPointTool::Distance)
        .property_readonly("Angle", &DistancePointPointTool::Angle)
        OSTREL_RECORD_SWITCH_PROPERTIES(DistancePointPointTool);

    registration::enumeration<AnglePointPointCurrentRecordConstants>(
        "Ostrel::Vision::Geometry::AnglePointPointCurrentRecordConstants")(
        value("InputImage", AnglePointPointCurrentRecordConstants::InputImage),
        value("StartPoint", AnglePointPointCurrentRecordConstants::StartPoint),
        value("EndPoint", AnglePointPointCurrentRecordConstants::EndPoint));
    registration::enumeration<AnglePointPointLastRunRecordConstants>(
        "Ostrel::Vision::Geometry::AnglePointPointLastRunRecordConstants")(
        value("None", AnglePointPointLastRunRecordConstants::None));
    registration::enumeration<AnglePointPointLastRunRecordDiagConstants>(
        "Ostrel::Vision::Geometry::AnglePointPointLastRunRecordDiagConstants")(
        value("InputImageByReference", AnglePointPointLastRunRecordDiagConstants::InputImageByReference),
        value("InputImageByCopy", AnglePointPointLastRunRecordDiagConstants::InputImageByCopy),
        value("StartPoint", AnglePointPointLastRunRecordDiagConstants::StartPoint),
        value("EndPoint", AnglePointPointLastRunRecordDiagConstants::EndPoint),
        value("Arrow", AnglePointPointLastRunRecordDiagConstants::Arrow));
    registration::class_<AnglePointPointTool>("Ostrel::Vision::Geometry::AnglePointPointTool")
        .property("StartX", &AnglePointPointTool::StartX, &AnglePointPointTool::setStartX)
        .property("StartY", &AnglePointPointTool::StartY, &AnglePointPointTool::setStartY)
        .property("EndX", &AnglePointPointTool::EndX, &AnglePointPointTool::setEndX)
        .property("EndY", &AnglePointPointTool::EndY, &AnglePointPointTool::setEndY)
        .property_readonly("Angle", &AnglePointPointTool::Angle)
        OSTREL_RECORD_SWITCH_PROPERTIES(AnglePointPointTool);
}
