// Reflection of the graphics: every class under its qualified name, its getter and setter
// pairs as properties under the getter's name, read-only values with property_readonly,
// its operations as methods, and the enumerations with their members. The collections
// (ChildGraphics, Shapes) are reached in code: they are members, not values to copy.
#include <rttr/registration>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

RTTR_REGISTRATION
{
    using namespace rttr;
    using namespace Ostrel::Vision;

    registration::enumeration<GraphicLineStyleConstants>("Ostrel::Vision::GraphicLineStyleConstants")(
        value("Solid", GraphicLineStyleConstants::Solid), value("Dash", GraphicLineStyleConstants::Dash),
        value("Dot", GraphicLineStyleConstants::Dot), value("DashDot", GraphicLineStyleConstants::DashDot),
        value("DashDotDot", GraphicLineStyleConstants::DashDotDot));
    registration::enumeration<CopyShapeConstants>("Ostrel::Vision::CopyShapeConstants")(
        value("GeometryOnly", CopyShapeConstants::GeometryOnly),
        value("GraphicProperties", CopyShapeConstants::GraphicProperties),
        value("TipText", CopyShapeConstants::TipText),
        value("InteractiveProperties", CopyShapeConstants::InteractiveProperties),
        value("GraphicDOF", CopyShapeConstants::GraphicDOF), value("ChildGraphics", CopyShapeConstants::ChildGraphics),
        value("All", CopyShapeConstants::All));
    registration::enumeration<LineSegmentAdornmentConstants>("Ostrel::Vision::LineSegmentAdornmentConstants")(
        value("None", LineSegmentAdornmentConstants::None), value("Arrow", LineSegmentAdornmentConstants::Arrow));
    registration::enumeration<PointMarkerGraphicTypeConstants>("Ostrel::Vision::PointMarkerGraphicTypeConstants")(
        value("Cross", PointMarkerGraphicTypeConstants::Cross),
        value("Square", PointMarkerGraphicTypeConstants::Square),
        value("Circle", PointMarkerGraphicTypeConstants::Circle),
        value("Diamond", PointMarkerGraphicTypeConstants::Diamond), value("Dot", PointMarkerGraphicTypeConstants::Dot));
    registration::enumeration<PointMarkerDOFConstants>("Ostrel::Vision::PointMarkerDOFConstants")(
        value("None", PointMarkerDOFConstants::None), value("Rotation", PointMarkerDOFConstants::Rotation),
        value("Size", PointMarkerDOFConstants::Size), value("Position", PointMarkerDOFConstants::Position),
        value("All", PointMarkerDOFConstants::All));
    registration::enumeration<GraphicLabelAlignmentConstants>("Ostrel::Vision::GraphicLabelAlignmentConstants")(
        value("TopLeft", GraphicLabelAlignmentConstants::TopLeft),
        value("TopCenter", GraphicLabelAlignmentConstants::TopCenter),
        value("TopRight", GraphicLabelAlignmentConstants::TopRight),
        value("CenterLeft", GraphicLabelAlignmentConstants::CenterLeft),
        value("Center", GraphicLabelAlignmentConstants::Center),
        value("CenterRight", GraphicLabelAlignmentConstants::CenterRight),
        value("BottomLeft", GraphicLabelAlignmentConstants::BottomLeft),
        value("BottomCenter", GraphicLabelAlignmentConstants::BottomCenter),
        value("BottomRight", GraphicLabelAlignmentConstants::BottomRight));
    registration::enumeration<CompositeShapeCompositionModeConstants>(
        "Ostrel::Vision::CompositeShapeCompositionModeConstants")(
        value("Separate", CompositeShapeCompositionModeConstants::Separate),
        value("Grouped", CompositeShapeCompositionModeConstants::Grouped));

    registration::class_<IGraphicInteractive>("Ostrel::Vision::IGraphicInteractive")
        .property("Interactive", &IGraphicInteractive::Interactive, &IGraphicInteractive::setInteractive)
        .property("Selectable", &IGraphicInteractive::Selectable, &IGraphicInteractive::setSelectable)
        .property("TipText", &IGraphicInteractive::TipText, &IGraphicInteractive::setTipText)
        .property("SelectedColor", &IGraphicInteractive::SelectedColor, &IGraphicInteractive::setSelectedColor)
        .property("SelectedLineStyle", &IGraphicInteractive::SelectedLineStyle,
                  &IGraphicInteractive::setSelectedLineStyle)
        .property("GraphicDOFEnable", &IGraphicInteractive::GraphicDOFEnable,
                  &IGraphicInteractive::setGraphicDOFEnable);

    registration::class_<GraphicBase>("Ostrel::Vision::GraphicBase")
        .property("SelectedSpaceName", &GraphicBase::SelectedSpaceName, &GraphicBase::setSelectedSpaceName)
        .property("Color", &GraphicBase::Color, &GraphicBase::setColor)
        .property("LineStyle", &GraphicBase::LineStyle, &GraphicBase::setLineStyle)
        .property("LineWidthInScreenPixels", &GraphicBase::LineWidthInScreenPixels,
                  &GraphicBase::setLineWidthInScreenPixels)
        .method("CopyGraphic", &GraphicBase::CopyGraphic)
        .method("MapLinearGraphic", &GraphicBase::MapLinearGraphic)
        .method("ContainsGraphic", &GraphicBase::ContainsGraphic);

    registration::class_<GraphicCollection>("Ostrel::Vision::GraphicCollection")
        .property_readonly("Count", &GraphicCollection::Count)
        .method("Count", &GraphicCollection::Count)
        .method("Item", &GraphicCollection::Item)
        .method("Add", &GraphicCollection::Add)
        .method("RemoveAt", &GraphicCollection::RemoveAt)
        .method("Clear", &GraphicCollection::Clear)
        .method("Copy", &GraphicCollection::Copy);

    registration::class_<Circle>("Ostrel::Vision::Circle")
        .property("CenterX", &Circle::CenterX, &Circle::setCenterX)
        .property("CenterY", &Circle::CenterY, &Circle::setCenterY)
        .property("Radius", &Circle::Radius, &Circle::setRadius)
        .method("SetCenterRadius", &Circle::SetCenterRadius)
        .method("Copy", &Circle::Copy)
        .method("MapLinear", &Circle::MapLinear);

    registration::class_<Ellipse>("Ostrel::Vision::Ellipse")
        .property("CenterX", &Ellipse::CenterX, &Ellipse::setCenterX)
        .property("CenterY", &Ellipse::CenterY, &Ellipse::setCenterY)
        .property("RadiusX", &Ellipse::RadiusX, &Ellipse::setRadiusX)
        .property("RadiusY", &Ellipse::RadiusY, &Ellipse::setRadiusY)
        .property("Rotation", &Ellipse::Rotation, &Ellipse::setRotation)
        .method("SetCenterXYRadiusXYRotation", &Ellipse::SetCenterXYRadiusXYRotation)
        .method("Copy", &Ellipse::Copy)
        .method("MapLinear", &Ellipse::MapLinear);

    registration::class_<Line>("Ostrel::Vision::Line")
        .property("X", &Line::X, &Line::setX)
        .property("Y", &Line::Y, &Line::setY)
        .property("Rotation", &Line::Rotation, &Line::setRotation)
        .method("SetXYRotation", &Line::SetXYRotation)
        .method("SetFromStartXYEndXY", &Line::SetFromStartXYEndXY)
        .method("SetDistanceRotation", &Line::SetDistanceRotation)
        .method("Copy", &Line::Copy)
        .method("MapLinear", &Line::MapLinear);

    registration::class_<LineSegment>("Ostrel::Vision::LineSegment")
        .property("StartX", &LineSegment::StartX, &LineSegment::setStartX)
        .property("StartY", &LineSegment::StartY, &LineSegment::setStartY)
        .property("EndX", &LineSegment::EndX, &LineSegment::setEndX)
        .property("EndY", &LineSegment::EndY, &LineSegment::setEndY)
        .property("StartPointAdornment", &LineSegment::StartPointAdornment, &LineSegment::setStartPointAdornment)
        .property("EndPointAdornment", &LineSegment::EndPointAdornment, &LineSegment::setEndPointAdornment)
        .property_readonly("Length", &LineSegment::Length)
        .property_readonly("Rotation", &LineSegment::Rotation)
        .method("Length", &LineSegment::Length)
        .method("Rotation", &LineSegment::Rotation)
        .method("CreateLine", &LineSegment::CreateLine)
        .method("SetStartEnd", &LineSegment::SetStartEnd)
        .method("Copy", &LineSegment::Copy)
        .method("MapLinear", &LineSegment::MapLinear);

    registration::class_<Polygon>("Ostrel::Vision::Polygon")
        .property_readonly("NumVertices", &Polygon::NumVertices)
        .method("NumVertices", &Polygon::NumVertices)
        .method("VertexX", &Polygon::VertexX)
        .method("VertexY", &Polygon::VertexY)
        .method("AddVertex", &Polygon::AddVertex)
        .method("SetVertex", &Polygon::SetVertex)
        .method("RemoveVertex", &Polygon::RemoveVertex)
        .method("Copy", &Polygon::Copy)
        .method("MapLinear", &Polygon::MapLinear);

    registration::class_<PointMarker>("Ostrel::Vision::PointMarker")
        .property("X", &PointMarker::X, &PointMarker::setX)
        .property("Y", &PointMarker::Y, &PointMarker::setY)
        .property("Rotation", &PointMarker::Rotation, &PointMarker::setRotation)
        .property("Size", &PointMarker::Size, &PointMarker::setSize)
        .property("GraphicType", &PointMarker::GraphicType, &PointMarker::setGraphicType)
        .method("SetCenterRotationSize", &PointMarker::SetCenterRotationSize)
        .method("Copy", &PointMarker::Copy)
        .method("MapLinear", &PointMarker::MapLinear);

    registration::class_<CircularArc>("Ostrel::Vision::CircularArc")
        .property("CenterX", &CircularArc::CenterX, &CircularArc::setCenterX)
        .property("CenterY", &CircularArc::CenterY, &CircularArc::setCenterY)
        .property("Radius", &CircularArc::Radius, &CircularArc::setRadius)
        .property("AngleStart", &CircularArc::AngleStart, &CircularArc::setAngleStart)
        .property("AngleSpan", &CircularArc::AngleSpan, &CircularArc::setAngleSpan)
        .property("StartPointAdornment", &CircularArc::StartPointAdornment, &CircularArc::setStartPointAdornment)
        .property("EndPointAdornment", &CircularArc::EndPointAdornment, &CircularArc::setEndPointAdornment)
        .method("SetCenterRadiusAngleStartAngleSpan", &CircularArc::SetCenterRadiusAngleStartAngleSpan)
        .method("Copy", &CircularArc::Copy)
        .method("MapLinear", &CircularArc::MapLinear);

    registration::class_<GraphicLabel>("Ostrel::Vision::GraphicLabel")
        .property("Text", &GraphicLabel::Text, &GraphicLabel::setText)
        .property("X", &GraphicLabel::X, &GraphicLabel::setX)
        .property("Y", &GraphicLabel::Y, &GraphicLabel::setY)
        .property("Alignment", &GraphicLabel::Alignment, &GraphicLabel::setAlignment)
        .method("Copy", &GraphicLabel::Copy)
        .method("MapLinear", &GraphicLabel::MapLinear);

    registration::class_<CompositeShape>("Ostrel::Vision::CompositeShape")
        .property("ID", &CompositeShape::ID, &CompositeShape::setID)
        .property("CompositionMode", &CompositeShape::CompositionMode, &CompositeShape::setCompositionMode)
        .method("Copy", &CompositeShape::Copy)
        .method("MapLinear", &CompositeShape::MapLinear);
}
