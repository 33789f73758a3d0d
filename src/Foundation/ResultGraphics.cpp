// The result graphics of the last-run records: distance and angle lines, angle arcs and
// intersection markers, each labelled with the value it shows.
#include <numbers>

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/MiscUtils.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

constexpr Color32 ResultColor = Color32::FromUInt32(0xFFFFFF00);
constexpr int LabelPrecision = 6;
constexpr double DegreesPerRadian = 180.0 / 3.141592653589793;

std::string Number(double value)
{
    return Vision::Private::MiscUtils::GetFixedPrecisionNumericString(value, LabelPrecision);
}

std::string AngleLabel(double radians)
{
    return Strings::Substitute("Angle=%1 rad, %2 deg", {Number(radians), Number(radians * DegreesPerRadian)});
}

} // namespace

void GeometryToolBase::AddResultGraphicRecord(GraphicBase& graphic, const std::shared_ptr<Quill::IObject>& value,
                                              const std::string& tipText, Record& parent,
                                              const std::string& name) const
{
    graphic.setSelectedSpaceName(imageSpaceName_);
    graphic.setInteractive(true);
    graphic.setColor(ResultColor);
    graphic.setTipText(tipText);
    graphic.setSelectedLineStyle(GraphicLineStyleConstants::Solid);
    graphic.setSelectedColor(ResultColor);
    parent.SubRecords().Add(
        Quill::Create<Record>(name, rttr::type::get(graphic), RecordUsageConstants::LastRunResult, false, value, name));
}

void GeometryToolBase::CreateDistanceLineRecord(double x0, double y0, double x1, double y1, double distance,
                                                Record& parent, const std::string& name) const
{
    if (imageSpaceName_.empty() || (x0 == x1 && y0 == y1))
        return;
    auto line = Quill::Create<LineSegment>();
    line->SetStartEnd(x0, y0, x1, y1);
    line->setStartPointAdornment(LineSegmentAdornmentConstants::Arrow);
    line->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    AddResultGraphicRecord(*line, line, Strings::Substitute("Distance=%1", {Number(distance)}), parent, name);
}

void GeometryToolBase::CreateAngleLineRecord(double x0, double y0, double x1, double y1, double angle,
                                             Record& parent, const std::string& name) const
{
    if (imageSpaceName_.empty() || (x0 == x1 && y0 == y1))
        return;
    auto line = Quill::Create<LineSegment>();
    line->SetStartEnd(x0, y0, x1, y1);
    line->setStartPointAdornment(LineSegmentAdornmentConstants::Arrow);
    line->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    AddResultGraphicRecord(*line, line, AngleLabel(angle), parent, name);
}

void GeometryToolBase::CreateCircularArcRecord(double centerX, double centerY, double radius, double angleStart,
                                               double angleSpan, Record& parent, const std::string& name) const
{
    if (imageSpaceName_.empty())
        return;
    auto arc = Quill::Create<CircularArc>();
    arc->SetCenterRadiusAngleStartAngleSpan(centerX, centerY, radius, angleStart, angleSpan);
    arc->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    AddResultGraphicRecord(*arc, arc, AngleLabel(angleSpan), parent, name);
}

void GeometryToolBase::CreateIntersectionPointRecord(double x, double y, Record& parent,
                                                     const std::string& name) const
{
    if (imageSpaceName_.empty())
        return;
    auto marker = Quill::Create<PointMarker>();
    marker->setX(x);
    marker->setY(y);
    AddResultGraphicRecord(*marker, marker, Strings::Substitute("X=%1, Y=%2", {Number(x), Number(y)}), parent,
                           name);
}

} // namespace Ostrel::Vision::Geometry::Implementation
