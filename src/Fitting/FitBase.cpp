#include <cmath>
#include <string>
#include <utility>

#include <Geometry/GeometryException.h>
#include <Geometry/Implementation/FitBase.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/StatusMapper.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

// The method pairs behind the indexed fake properties, in the order they are listed.
constexpr std::pair<const char*, const char*> IndexedPointAccessors[] = {{"GetX", "SetX"}, {"GetY", "SetY"}};

void CheckFinite(double value, const char* coordinate, std::int32_t index)
{
    if (!std::isfinite(value))
        throw ArgumentException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgNotFinite_1,
                                {std::string(coordinate) + " of point " + std::to_string(index)}));
}

} // namespace

FitBase::FitBase(ObjectCreateAccessToken) : points_(Quill::Create<Private::ReadWritePoints>()) {}
FitBase::FitBase() : FitBase(MakeAccessToken()) {}
FitBase::~FitBase() = default;

void FitBase::AddPoint(double x, double y)
{
    points_->AddPoint(x, y);
    OnChanged_(SfNumPoints);
}

void FitBase::DeletePoint(std::int32_t i)
{
    points_->DeletePoint(i);
    OnChanged_(SfNumPoints | SfGetX | SfGetY);
}

void FitBase::GetPoint(std::int32_t i, double& x, double& y) const
{
    points_->CheckIndex(i, "GetX");
    x = points_->GetX(i);
    y = points_->GetY(i);
}

double FitBase::GetX(std::int32_t i) const
{
    return points_->GetX(i);
}

double FitBase::GetY(std::int32_t i) const
{
    return points_->GetY(i);
}

void FitBase::SetPoint(std::int32_t i, double x, double y)
{
    points_->SetPoint(i, x, y);
    OnChanged_(SfGetX | SfGetY);
}

void FitBase::SetX(std::int32_t i, double x)
{
    if (points_->SetX(i, x))
        OnChanged_(SfGetX);
}

void FitBase::SetY(std::int32_t i, double y)
{
    if (points_->SetY(i, y))
        OnChanged_(SfGetY);
}

void FitBase::setNumPoints(std::int32_t n)
{
    if (points_->SetNumPoints(n))
        OnChanged_(SfNumPoints);
}

void FitBase::setNumToIgnore(std::int32_t n)
{
    if (n < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"NumToIgnore", "0"}));
    if (n == numToIgnore_)
        return;
    numToIgnore_ = n;
    OnChanged_(SfNumToIgnore);
}

Meta::FakePropertyList FitBase::GetFakeProperties() const
{
    const rttr::type type = rttr::type::get(*this);
    auto properties = Meta::GetFakePropertiesForNoArgMethods(type);
    for (const auto& [getter, setter] : IndexedPointAccessors)
        Meta::AppendIndexedFakeProperties(properties, type, getter, setter, NumPoints());
    return properties;
}

std::vector<korm_vect> FitBase::GetPoints() const
{
    return points_->Points();
}

void FitBase::CheckFitInput(std::int32_t minimumPoints, const std::string& spaceName) const
{
    const std::int32_t count = NumPoints();
    if (count < minimumPoints)
        throw GeometryException(Strings::Substitute("Insufficient points: have %1, minimum is %2",
                                                    {std::to_string(count), std::to_string(minimumPoints)}),
                                GeometryExceptionCodes::NotEnoughPoints);
    // NumToIgnore <= count - minimumPoints, written so that a huge NumToIgnore cannot overflow.
    if (numToIgnore_ > count - minimumPoints)
        throw GeometryException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgRange_3,
                                {"NumToIgnore", "0", std::to_string(count - minimumPoints)}),
            GeometryExceptionCodes::NotEnoughPoints);
    SpaceNameUtils::CheckSpaceNameSyntax(spaceName, true);
    for (std::int32_t i = 0; i < count; ++i) {
        CheckFinite(points_->GetX(i), "x", i);
        CheckFinite(points_->GetY(i), "y", i);
    }
}

void FitBase::ThrowOnFitStatus(korm_status status)
{
    if (status == FitStatus::TooFewPoints)
        throw GeometryException("Not enough points were specified for the fitting operation.",
                                GeometryExceptionCodes::NotEnoughPoints);
    if (status == FitStatus::AmbiguousPoints)
        throw GeometryException("The points specified for the fitting operation are ambiguous",
                                GeometryExceptionCodes::AmbiguousPoints);
    ThrowOnFailedStatus(status);
}

} // namespace Ostrel::Vision::Geometry::Implementation
