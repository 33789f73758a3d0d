// Conversion of the platform's graphics and images from legacy tables. Each legacy type
// name below is registered with Orv9xConverter when the library loads; the new object is
// filled through its public API, so that every value passes the same checks as a value a
// host sets.
//
// Every graphic reads the common graphic properties, each optional (a table without one
// leaves the constructed default):
//   SelectedSpaceName (text), Color (colour), LineStyle (integer, GraphicLineStyleConstants),
//   LineWidthInScreenPixels (integer), TipText (text), Interactive (bool), Selectable
//   (bool), SelectedColor (colour), SelectedLineStyle (integer), GraphicDOFEnable
//   (integer; a negative one is its 32-bit two's complement), and the child graphics as
//   ChildGraphicsCount (integer) with ChildGraphics0, ChildGraphics1, ... (references).
// Then each type reads its geometry, every property required:
//   "Circle"        CenterX, CenterY, Radius
//   "Ellipse"       CenterX, CenterY, RadiusX, RadiusY, Rotation
//   "Line"          X, Y, Rotation
//   "LineSegment"   StartX, StartY, EndX, EndY; optional StartPointAdornment and
//                   EndPointAdornment (integers, LineSegmentAdornmentConstants)
//   "PointMarker"   X, Y, Rotation, Size; optional GraphicType (integer,
//                   PointMarkerGraphicTypeConstants)
//   "Polygon"       VerticesCount, then Vertices0.X, Vertices0.Y, Vertices1.X, ...
//   "GraphicLabel"  Text, X, Y; optional Alignment (integer, GraphicLabelAlignmentConstants)
// and the image:
//   "Image8Grey"    Width, Height; optional SelectedSpaceName. Its pixels are not part of
//                   a legacy table: the image is black.
// Angles are radians. A missing required property throws std::out_of_range, a null or
// non-numeric value std::runtime_error ("Bad Fetch, null variant"), and a value the
// object refuses the object's own exception.

#include <limits>
#include <string>

#include <fmt/format.h>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

namespace Ostrel::Vision::Implementation::Internal {

namespace {

// An enumeration stored as its integer, which must be one of the values first..last.
template <class E>
std::optional<E> FetchOptionalEnum(const ObjectInfo& info, const std::string& name, E first, E last)
{
    if (!info.HasProperty(name))
        return std::nullopt;
    return static_cast<E>(
        FetchInteger(info, name, static_cast<std::int64_t>(first), static_cast<std::int64_t>(last)));
}

// A count of indexed properties ("VerticesCount" for "Vertices0.X", ...).
std::int32_t FetchCount(const ObjectInfo& info, const std::string& name)
{
    return static_cast<std::int32_t>(FetchInteger(info, name, 0, std::numeric_limits<std::int32_t>::max()));
}

void ConvertGraphic(GraphicBase& graphic, const ObjectInfo& info, void* context)
{
    using LineStyle = GraphicLineStyleConstants;
    if (auto value = FetchOptionalValue<std::string>(info, "SelectedSpaceName"))
        graphic.setSelectedSpaceName(*value);
    if (info.HasProperty("Color"))
        graphic.setColor(info.FetchColor32("Color"));
    if (auto value = FetchOptionalEnum(info, "LineStyle", LineStyle::Solid, LineStyle::DashDotDot))
        graphic.setLineStyle(*value);
    if (auto value = FetchOptionalValue<std::int32_t>(info, "LineWidthInScreenPixels"))
        graphic.setLineWidthInScreenPixels(*value);
    if (auto value = FetchOptionalValue<std::string>(info, "TipText"))
        graphic.setTipText(*value);
    if (auto value = FetchOptionalValue<bool>(info, "Interactive"))
        graphic.setInteractive(*value);
    if (auto value = FetchOptionalValue<bool>(info, "Selectable"))
        graphic.setSelectable(*value);
    if (info.HasProperty("SelectedColor"))
        graphic.setSelectedColor(info.FetchColor32("SelectedColor"));
    if (auto value = FetchOptionalEnum(info, "SelectedLineStyle", LineStyle::Solid, LineStyle::DashDotDot))
        graphic.setSelectedLineStyle(*value);
    if (info.HasProperty("GraphicDOFEnable"))
        graphic.setGraphicDOFEnable(static_cast<std::uint32_t>(
            FetchInteger(info, "GraphicDOFEnable", std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::uint32_t>::max())));
    if (info.HasProperty("ChildGraphicsCount")) {
        const std::int32_t count = FetchCount(info, "ChildGraphicsCount");
        for (std::int32_t i = 0; i < count; ++i) {
            const std::string name = "ChildGraphics" + std::to_string(i);
            auto child = FetchObject<GraphicBase>(info, name, context);
            if (!child)
                throw std::runtime_error(
                    fmt::format("Bad Fetch, \"{}\" of {} refers to no graphic", name, info.Description()));
            graphic.ChildGraphics().Add(std::move(child));
        }
    }
}

// Registers `legacyTypeName` for T, filled by the common graphic properties and then by
// `geometry`.
template <class T, class Geometry> void RegisterGraphic(const std::string& legacyTypeName, Geometry geometry)
{
    Orv9xConverter::Register<T>(legacyTypeName, [geometry](T& graphic, long long handle, void* context) {
        const ObjectInfo& info = LookUpObjectInfo(context, handle);
        ConvertGraphic(graphic, info, context);
        geometry(graphic, info);
    });
}

double D(const ObjectInfo& info, const char* name)
{
    return FetchValue<double>(info, name);
}

void RegisterPlatformTypes()
{
    RegisterGraphic<Circle>("Circle", [](Circle& circle, const ObjectInfo& info) {
        circle.SetCenterRadius(D(info, "CenterX"), D(info, "CenterY"), D(info, "Radius"));
    });
    RegisterGraphic<Ellipse>("Ellipse", [](Ellipse& ellipse, const ObjectInfo& info) {
        ellipse.SetCenterXYRadiusXYRotation(D(info, "CenterX"), D(info, "CenterY"), D(info, "RadiusX"),
                                            D(info, "RadiusY"), D(info, "Rotation"));
    });
    RegisterGraphic<Line>("Line", [](Line& line, const ObjectInfo& info) {
        line.SetXYRotation(D(info, "X"), D(info, "Y"), D(info, "Rotation"));
    });
    RegisterGraphic<LineSegment>("LineSegment", [](LineSegment& segment, const ObjectInfo& info) {
        using Adornment = LineSegmentAdornmentConstants;
        segment.SetStartEnd(D(info, "StartX"), D(info, "StartY"), D(info, "EndX"), D(info, "EndY"));
        if (auto value = FetchOptionalEnum(info, "StartPointAdornment", Adornment::None, Adornment::Arrow))
            segment.setStartPointAdornment(*value);
        if (auto value = FetchOptionalEnum(info, "EndPointAdornment", Adornment::None, Adornment::Arrow))
            segment.setEndPointAdornment(*value);
    });
    RegisterGraphic<PointMarker>("PointMarker", [](PointMarker& marker, const ObjectInfo& info) {
        using Type = PointMarkerGraphicTypeConstants;
        marker.SetCenterRotationSize(D(info, "X"), D(info, "Y"), D(info, "Rotation"),
                                     FetchValue<std::int32_t>(info, "Size"));
        if (auto value = FetchOptionalEnum(info, "GraphicType", Type::Cross, Type::Dot))
            marker.setGraphicType(*value);
    });
    RegisterGraphic<Polygon>("Polygon", [](Polygon& polygon, const ObjectInfo& info) {
        const std::int32_t count = FetchCount(info, "VerticesCount");
        for (std::int32_t i = 0; i < count; ++i) {
            const std::string vertex = "Vertices" + std::to_string(i);
            polygon.AddVertex(FetchValue<double>(info, vertex + ".X"),
                              FetchValue<double>(info, vertex + ".Y"));
        }
    });
    RegisterGraphic<GraphicLabel>("GraphicLabel", [](GraphicLabel& label, const ObjectInfo& info) {
        using Alignment = GraphicLabelAlignmentConstants;
        label.setText(FetchValue<std::string>(info, "Text"));
        label.setX(D(info, "X"));
        label.setY(D(info, "Y"));
        if (auto value = FetchOptionalEnum(info, "Alignment", Alignment::TopLeft, Alignment::BottomRight))
            label.setAlignment(*value);
    });
    Orv9xConverter::RegisterMaker("Image8Grey", [](long long handle, void* context) {
        const ObjectInfo& info = LookUpObjectInfo(context, handle);
        auto image = Quill::Create<Image8Grey>(FetchValue<std::int32_t>(info, "Width"),
                                               FetchValue<std::int32_t>(info, "Height"));
        if (auto value = FetchOptionalValue<std::string>(info, "SelectedSpaceName"))
            image->setSelectedSpaceName(*value);
        return std::static_pointer_cast<Quill::IObject>(image);
    });
}

// Registers the platform's legacy types when the library loads.
[[maybe_unused]] const bool registered = (RegisterPlatformTypes(), true);

} // namespace

} // namespace Ostrel::Vision::Implementation::Internal
