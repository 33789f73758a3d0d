#pragma once
// The point lists of the fits. ReadOnlyPoints holds points in the order given and, for a
// fit result, whether each point took part in the fit; ReadWritePoints adds the edits that
// run parameters make. Every per-point operation checks its index and names itself in the
// message, so that a host sees which call was wrong.

#include <cstdint>
#include <string>
#include <vector>

#include <korm/korm.h>

#include <Geometry/GeometryExport.h>
#include <Ostrel/Quill/IObject.h>

namespace cereal {
class access;
}

namespace Ostrel::Vision::Geometry::Private {

// "ID=i, XY=(x,y)", the start of the tip text of a point's marker in the fit records
// (positions with three decimals), with room for what a record appends.
std::string PointTipText(std::int32_t index, double x, double y);

class OSTREL_GEOMETRY_API ReadOnlyPoints : public Quill::ShareableBase {
public:
    explicit ReadOnlyPoints(ObjectCreateAccessToken);
    // `used` holds one flag per point; ArgumentException when the lengths differ.
    ReadOnlyPoints(ObjectCreateAccessToken, std::vector<korm_vect> points, std::vector<bool> used);
    ~ReadOnlyPoints() override;

    std::int32_t NumPoints() const { return static_cast<std::int32_t>(points_.size()); }
    double GetX(std::int32_t i) const;
    double GetY(std::int32_t i) const;
    // Whether point i took part in the fit; meaningless in run parameters.
    bool GetUsed(std::int32_t i) const;
    const std::vector<korm_vect>& Points() const { return points_; }

    // Throws ArgumentOutOfRangeException (IDS_Ost_InvalidArgGEandLT_3, naming `operation`)
    // unless 0 <= i < NumPoints().
    void CheckIndex(std::int32_t i, const char* operation) const;

protected:
    std::vector<korm_vect> points_;
    std::vector<bool> used_;

private:
    ReadOnlyPoints();

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Quill::ShareableBase)
};

// Points that run parameters edit. Every point added is marked used, so that the used
// flags always match the points in number.
class OSTREL_GEOMETRY_API ReadWritePoints : public ReadOnlyPoints {
public:
    explicit ReadWritePoints(ObjectCreateAccessToken);
    ~ReadWritePoints() override;

    void AddPoint(double x, double y);
    // Store the value; return whether it differed from the one held.
    bool SetX(std::int32_t i, double x);
    bool SetY(std::int32_t i, double y);
    void SetPoint(std::int32_t i, double x, double y);
    // Removes point i; later points move down by one.
    void DeletePoint(std::int32_t i);
    // Cuts the list to its first n points or appends points (0, 0) up to n; returns whether
    // the count changed. ArgumentOutOfRangeException (IDS_Ost_InvalidArgGE_2, "NumPoints")
    // for n < 0.
    bool SetNumPoints(std::int32_t n);

private:
    ReadWritePoints();

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(ReadOnlyPoints)
};

} // namespace Ostrel::Vision::Geometry::Private
