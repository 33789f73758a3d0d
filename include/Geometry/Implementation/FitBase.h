#pragma once
// The run parameters every fit shares: the points to fit and how many of them the fit may
// leave out as outliers. FitLine, FitCircle and FitEllipse add their constraint and their
// Execute, which fits the shape and returns a new result; Execute never changes the
// parameters, so it may be called any number of times.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <korm/korm.h>

#include <Geometry/GeometryExport.h>
#include <Geometry/Private/FitPoints.h>
#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>

namespace cereal {
class access;
}

namespace Ostrel::Vision::Geometry::Implementation {

class OSTREL_GEOMETRY_API FitBase : public Quill::ChangedEventShareableBase,
                                    public Meta::IHaveFakePropertyMeta,
                                    public Vision::Implementation::Internal::ILegacyConvertible {
public:
    static constexpr std::uint64_t sf0_ = 0x1;
    static constexpr std::uint64_t SfNumPoints = sf0_;
    static constexpr std::uint64_t SfGetX = sf0_ << 1;
    static constexpr std::uint64_t SfGetY = sf0_ << 2;
    static constexpr std::uint64_t SfNumToIgnore = sf0_ << 3;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 4; // 0x10

    explicit FitBase(ObjectCreateAccessToken);
    ~FitBase() override;

    // Point edits. Each index is checked first (ArgumentOutOfRangeException naming the
    // operation; GetPoint reports as "GetX"); a failed call changes nothing and raises
    // nothing.
    void AddPoint(double x, double y); // raises SfNumPoints
    void DeletePoint(std::int32_t i);  // raises SfNumPoints | SfGetX | SfGetY
    void GetPoint(std::int32_t i, double& x, double& y) const;
    double GetX(std::int32_t i) const;
    double GetY(std::int32_t i) const;
    void SetPoint(std::int32_t i, double x, double y); // raises SfGetX | SfGetY, even for equal values
    void SetX(std::int32_t i, double x);               // raises SfGetX if x differs
    void SetY(std::int32_t i, double y);               // raises SfGetY if y differs

    std::int32_t NumPoints() const { return points_->NumPoints(); }
    // Cuts the list to its first n points or appends points (0, 0); raises SfNumPoints if
    // the count changes. ArgumentOutOfRangeException for n < 0.
    void setNumPoints(std::int32_t n);

    // How many points the fit may leave out. Only Execute bounds it from above (by
    // NumPoints minus the shape's minimum). ArgumentOutOfRangeException for n < 0.
    std::int32_t NumToIgnore() const { return numToIgnore_; }
    void setNumToIgnore(std::int32_t n);

    // The fake properties of the no-argument methods, then "GetX(i)"/"SetX(i)" and
    // "GetY(i)"/"SetY(i)" for every point, so that pins such as "RunParams.SetX(0)" resolve.
    Meta::FakePropertyList GetFakeProperties() const override;

    // "PointsCount", then "Points<i>.X" and "Points<i>.Y" for each point, then "NumToIgnore".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // A copy of the points, in their order, as the fitting library takes them.
    std::vector<korm_vect> GetPoints() const;

    // The checks every fit makes before it calls the library, in this order: at least
    // `minimumPoints` points (GeometryException, NotEnoughPoints); NumToIgnore no more than
    // NumPoints - minimumPoints (GeometryException, NotEnoughPoints, with the range
    // message); a space name of valid syntax; finite coordinates (ArgumentException naming
    // the point).
    void CheckFitInput(std::int32_t minimumPoints, const std::string& spaceName) const;

    // The status of a fit call: the library's "too few points" and "ambiguous points" become
    // GeometryExceptions; any other failure goes through the framework's status mapper.
    static void ThrowOnFitStatus(korm_status status);

private:
    FitBase();

    std::shared_ptr<Private::ReadWritePoints> points_;
    std::int32_t numToIgnore_ = 0;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Quill::ChangedEventShareableBase, Meta::IHaveFakePropertyMeta,
                Vision::Implementation::Internal::ILegacyConvertible)
};

} // namespace Ostrel::Vision::Geometry::Implementation
