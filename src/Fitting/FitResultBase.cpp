#include <fmt/format.h>

#include <Geometry/Implementation/FitResultBase.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/StatusMapper.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

constexpr Color32 UsedColor = Color32::FromUInt32(0xFF00FF00);
constexpr Color32 IgnoredColor = Color32::FromUInt32(0xFFFF0000);
constexpr int TipDecimals = 3;
constexpr std::int32_t CenterMarkerSize = 20;

constexpr std::uint32_t TipTexts = 0x1;
constexpr std::uint32_t UsedPoints = 0x2;
constexpr std::uint32_t IgnoredPoints = 0x4;

const char* const IndexedResultGetters[] = {"GetX", "GetY", "GetUsed", "GetDistance"};

// "ID=i, XY=(x,y), Distance=d", with " (ignored)" for a point the fit left out.
std::string PointTipText(std::int32_t index, double x, double y, double distance, bool used)
{
    std::string text = Private::PointTipText(index, x, y);
    text += ", Distance=";
    Vision::Private::MiscUtils::AppendFixedPrecisionNumericString(text, distance, TipDecimals);
    if (!used)
        text += " (ignored)";
    return text;
}

std::vector<bool> UsedFlags(std::size_t count, const kors_vector32& leftOut)
{
    std::vector<bool> used(count, true);
    const std::int32_t* begin = nullptr;
    std::int32_t size = 0;
    ThrowOnFailedStatus(kors_vector32_getBeginSizeConst(&leftOut, &begin, &size));
    for (std::int32_t k = 0; k < size; ++k) {
        const std::int32_t index = begin[k];
        if (index < 0 || static_cast<std::size_t>(index) >= count)
            throw InternalErrorException("The fitting library left out point " + std::to_string(index) +
                                         " of " + std::to_string(count) + ".");
        used[static_cast<std::size_t>(index)] = false;
    }
    return used;
}

} // namespace

FitResultBase::FitResultBase() : points_(Quill::Create<Private::ReadOnlyPoints>()) {}

FitResultBase::FitResultBase(double rmsError, std::vector<korm_vect> points, const kors_vector32& leftOut)
    : rmsError_(rmsError)
{
    auto used = UsedFlags(points.size(), leftOut);
    points_ = Quill::Create<Private::ReadOnlyPoints>(std::move(points), std::move(used));
}

FitResultBase::~FitResultBase() = default;

double FitResultBase::GetX(std::int32_t i) const
{
    return points_->GetX(i);
}

double FitResultBase::GetY(std::int32_t i) const
{
    return points_->GetY(i);
}

bool FitResultBase::GetUsed(std::int32_t i) const
{
    return points_->GetUsed(i);
}

double FitResultBase::GetDistance(std::int32_t i) const
{
    points_->CheckIndex(i, "GetDistance");
    if (const auto cached = distanceCache_.find(i); cached != distanceCache_.end())
        return cached->second;
    const double distance = GetDistanceInternal(i);
    distanceCache_.emplace(i, distance);
    return distance;
}

void FitResultBase::GetXYUsedDistance(std::int32_t i, double& x, double& y, bool& used,
                                      double& distance) const
{
    points_->CheckIndex(i, "GetXYUsedDistance");
    x = points_->GetX(i);
    y = points_->GetY(i);
    used = points_->GetUsed(i);
    distance = GetDistance(i);
}

Meta::FakePropertyList FitResultBase::GetFakeProperties() const
{
    const rttr::type type = rttr::type::get(*this);
    auto properties = Meta::GetFakePropertiesForNoArgMethods(type);
    for (const char* getter : IndexedResultGetters)
        Meta::AppendIndexedFakeProperties(properties, type, getter, "", NumPoints());
    return properties;
}

void FitResultBase::ConstructContent(Record& record, std::uint32_t mask)
{
    ConstructContentInternal(record, mask);
}

void FitResultBase::ConstructAnnotation(Record&, std::uint32_t) {}
void FitResultBase::ConstructSubRecords(Record&, std::uint32_t) {}

std::uint32_t FitResultBase::RecordMaskToGraphicSwitches(std::uint32_t mask, std::uint32_t shapeSwitches)
{
    std::uint32_t switches = 0;
    if (mask & 0x1)
        switches |= UsedPoints;
    if (mask & 0x2)
        switches |= IgnoredPoints;
    if (mask & 0x4)
        switches |= shapeSwitches;
    return switches ? switches | TipTexts : 0;
}

std::string FitResultBase::TipNumber(double value)
{
    return Vision::Private::MiscUtils::GetFixedPrecisionNumericString(value, TipDecimals);
}

std::shared_ptr<GraphicCollection>
FitResultBase::CreateResultGraphicsCommon(std::uint32_t switches, const std::string& spaceName) const
{
    auto graphics = Quill::Create<GraphicCollection>();
    if (!(switches & (UsedPoints | IgnoredPoints)))
        return graphics;
    const auto shown = [&](std::int32_t i) {
        return (switches & (points_->GetUsed(i) ? UsedPoints : IgnoredPoints)) != 0;
    };
    std::int32_t count = 2; // room for the shape and its centre
    for (std::int32_t i = 0; i < NumPoints(); ++i)
        count += shown(i);
    graphics->Reserve(count);
    for (std::int32_t i = 0; i < NumPoints(); ++i) {
        if (!shown(i))
            continue;
        const bool used = points_->GetUsed(i);
        double x, y, distance;
        bool usedToo;
        GetXYUsedDistance(i, x, y, usedToo, distance);

        auto marker = Quill::Create<PointMarker>();
        marker->setX(x);
        marker->setY(y);
        marker->setSelectedSpaceName("$");
        marker->setColor(used ? UsedColor : IgnoredColor);
        marker->setInteractive(true);
        if (switches & TipTexts)
            marker->setTipText(PointTipText(i, x, y, distance, used));

        auto composite = Quill::Create<CompositeShape>();
        composite->setID(i);
        composite->setSelectedSpaceName(spaceName);
        composite->setInteractive(true);
        composite->setCompositionMode(CompositeShapeCompositionModeConstants::Grouped);
        composite->Shapes().Add(std::move(marker));
        graphics->Add(std::move(composite));
    }
    return graphics;
}

void FitResultBase::StyleShapeGraphic(GraphicBase& graphic, const std::string& spaceName, bool withTipText,
                                      const std::string& tipText)
{
    graphic.setSelectedSpaceName(spaceName);
    graphic.setColor(UsedColor);
    if (!withTipText)
        return;
    graphic.setInteractive(true);
    graphic.setTipText(tipText);
    graphic.setSelectedColor(UsedColor);
    graphic.setSelectedLineStyle(GraphicLineStyleConstants::Solid);
}

std::shared_ptr<GraphicBase> FitResultBase::CenterGraphic(double x, double y, const std::string& spaceName,
                                                          bool withTipText)
{
    auto marker = Quill::Create<PointMarker>();
    marker->SetCenterRotationSize(x, y, 0, CenterMarkerSize);
    StyleShapeGraphic(*marker, spaceName, withTipText,
                      Strings::Substitute("Center=(%1,%2)", {TipNumber(x), TipNumber(y)}));
    return marker;
}

} // namespace Ostrel::Vision::Geometry::Implementation
