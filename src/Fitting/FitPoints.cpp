#include <string>

#include <fmt/format.h>

#include <Geometry/Private/FitPoints.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry::Private {

std::string PointTipText(std::int32_t index, double x, double y)
{
    using Vision::Private::MiscUtils::AppendFixedPrecisionNumericString;
    constexpr int decimals = 3;
    const fmt::format_int id(index);
    std::string text;
    text.reserve(64);
    text.append("ID=").append(id.data(), id.size()).append(", XY=(");
    AppendFixedPrecisionNumericString(text, x, decimals);
    text += ',';
    AppendFixedPrecisionNumericString(text, y, decimals);
    text += ')';
    return text;
}

ReadOnlyPoints::ReadOnlyPoints(ObjectCreateAccessToken) {}

ReadOnlyPoints::ReadOnlyPoints(ObjectCreateAccessToken, std::vector<korm_vect> points, std::vector<bool> used)
    : points_(std::move(points)), used_(std::move(used))
{
    if (points_.size() != used_.size())
        throw ArgumentException(
            "A point list needs one used flag per point: " + std::to_string(points_.size()) +
            " points were given with " + std::to_string(used_.size()) + " flags.");
}

ReadOnlyPoints::ReadOnlyPoints() : ReadOnlyPoints(MakeAccessToken()) {}
ReadOnlyPoints::~ReadOnlyPoints() = default;

void ReadOnlyPoints::CheckIndex(std::int32_t i, const char* operation) const
{
    if (i < 0 || i >= NumPoints())
        throw ArgumentOutOfRangeException(Strings::Substitute(Strings::IDS_Ost_InvalidArgGEandLT_3,
                                                              {operation, "0", std::to_string(NumPoints())}));
}

double ReadOnlyPoints::GetX(std::int32_t i) const
{
    CheckIndex(i, "GetX");
    return points_[static_cast<std::size_t>(i)].x;
}

double ReadOnlyPoints::GetY(std::int32_t i) const
{
    CheckIndex(i, "GetY");
    return points_[static_cast<std::size_t>(i)].y;
}

bool ReadOnlyPoints::GetUsed(std::int32_t i) const
{
    CheckIndex(i, "GetUsed");
    return used_[static_cast<std::size_t>(i)];
}

ReadWritePoints::ReadWritePoints(ObjectCreateAccessToken token) : ReadOnlyPoints(token) {}
ReadWritePoints::ReadWritePoints() : ReadWritePoints(MakeAccessToken()) {}
ReadWritePoints::~ReadWritePoints() = default;

void ReadWritePoints::AddPoint(double x, double y)
{
    points_.push_back({x, y});
    used_.push_back(true);
}

bool ReadWritePoints::SetX(std::int32_t i, double x)
{
    CheckIndex(i, "SetX");
    double& stored = points_[static_cast<std::size_t>(i)].x;
    const bool changed = stored != x;
    stored = x;
    return changed;
}

bool ReadWritePoints::SetY(std::int32_t i, double y)
{
    CheckIndex(i, "SetY");
    double& stored = points_[static_cast<std::size_t>(i)].y;
    const bool changed = stored != y;
    stored = y;
    return changed;
}

void ReadWritePoints::SetPoint(std::int32_t i, double x, double y)
{
    CheckIndex(i, "SetPoint");
    points_[static_cast<std::size_t>(i)] = {x, y};
}

void ReadWritePoints::DeletePoint(std::int32_t i)
{
    CheckIndex(i, "DeletePoint");
    points_.erase(points_.begin() + i);
    used_.erase(used_.begin() + i);
}

bool ReadWritePoints::SetNumPoints(std::int32_t n)
{
    if (n < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"NumPoints", "0"}));
    if (n == NumPoints())
        return false;
    points_.resize(static_cast<std::size_t>(n), korm_vect{0, 0});
    used_.resize(static_cast<std::size_t>(n), true);
    return true;
}

} // namespace Ostrel::Vision::Geometry::Private
