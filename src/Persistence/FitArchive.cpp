// Archives of the point lists, fit parameters and fit results. None of them depends on the
// archive's options: a fit's parameters and its result are written whole.
#include <cmath>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>

#include <Ostrel/Vision/Private/Angles.h>

#include "ArchiveSupport.h"
#include "FitClassVersions.h"

// A point of the fitting library: x, then y.
template <class Archive> void serialize(Archive& ar, korm_vect& point)
{
    ar(point.x, point.y);
}

OSTREL_GEOMETRY_CLASS_VERSION(FitLine)
OSTREL_GEOMETRY_CLASS_VERSION(FitCircle)
OSTREL_GEOMETRY_CLASS_VERSION(FitEllipse)
OSTREL_GEOMETRY_CLASS_VERSION(FitLineResult)
OSTREL_GEOMETRY_CLASS_VERSION(FitCircleResult)
OSTREL_GEOMETRY_CLASS_VERSION(FitEllipseResult)

namespace Ostrel::Vision::Geometry {

using Persistence::RequireLoaded;

namespace {

void Refuse(const char* className, const std::string& what)
{
    throw SerializationException(Strings::Substitute("The archive of %1 holds %2.", {className, what}));
}

} // namespace

namespace Private {

// The used flags (count, then a byte each), then the points as a sequence of (x, y).
template <class Archive> void ReadOnlyPoints::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "ReadOnlyPoints::serialize()");
    ar(used_, points_);
    if constexpr (Archive::is_loading::value) {
        if (points_.size() != used_.size())
            Refuse("ReadOnlyPoints", std::to_string(points_.size()) + " points with " +
                                         std::to_string(used_.size()) + " used flags");
        // Points are added only finite; a list that holds another was not written by us.
        for (std::size_t i = 0; i < points_.size(); ++i)
            if (!std::isfinite(points_[i].x) || !std::isfinite(points_[i].y))
                Refuse("ReadOnlyPoints", "point " + std::to_string(i) + " with a coordinate that is not finite");
    }
}

template <class Archive> void ReadWritePoints::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "ReadWritePoints::serialize()");
    ar(cereal::base_class<ReadOnlyPoints>(this));
}

} // namespace Private

namespace Implementation {

// The framework part of the run parameters (the changed event) holds nothing to archive.
template <class Archive> void FitBase::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitBase::serialize()");
    ar(points_, numToIgnore_);
    if constexpr (Archive::is_loading::value) {
        RequireLoaded(points_, "point list", "FitBase");
        if (numToIgnore_ < 0)
            Refuse("FitBase", "the negative NumToIgnore " + std::to_string(numToIgnore_));
    }
}

// The framework part of a result holds nothing to archive. The distance cache: its count,
// then each point index with its distance.
template <class Archive> void FitResultBase::serialize(Archive& ar, std::uint32_t version)
{
    constexpr const char* name = "FitResultBase";
    if constexpr (Archive::is_loading::value) {
        CheckSerializationVersionMismatch(version, 1, "FitResultBase::serialize()");
        ar(points_, rmsError_);
        RequireLoaded(points_, "point list", name);
        if (!std::isfinite(rmsError_) || rmsError_ < 0)
            Refuse(name, "the RMS error " + std::to_string(rmsError_));
        cereal::size_type count = 0;
        ar(cereal::make_size_tag(count));
        distanceCache_.clear();
        for (cereal::size_type k = 0; k < count; ++k) {
            std::int32_t index = 0;
            double distance = 0;
            ar(index, distance);
            if (index < 0 || index >= NumPoints() || !std::isfinite(distance) || distance < 0)
                Refuse(name, "a distance " + std::to_string(distance) + " for point " +
                                 std::to_string(index) + " of " + std::to_string(NumPoints()));
            distanceCache_[index] = distance;
        }
    } else {
        ar(points_, rmsError_);
        ar(cereal::make_size_tag(static_cast<cereal::size_type>(distanceCache_.size())));
        for (const auto& [index, distance] : distanceCache_)
            ar(index, distance);
    }
}

} // namespace Implementation

template <class Archive> void FitLine::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitLine::serialize()");
    ar(cereal::base_class<Implementation::FitBase>(this));
}

template <class Archive> void FitCircle::serialize(Archive& ar, std::uint32_t version)
{
    constexpr const char* name = "FitCircle";
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitCircle::serialize()");
    ar(cereal::base_class<Implementation::FitBase>(this), radiusConstraint_, radiusConstraintEnabled_);
    if constexpr (Archive::is_loading::value) {
        if (!std::isfinite(radiusConstraint_) || radiusConstraint_ < 0)
            Refuse(name, "the RadiusConstraint " + std::to_string(radiusConstraint_));
    }
}

template <class Archive> void FitEllipse::serialize(Archive& ar, std::uint32_t version)
{
    constexpr const char* name = "FitEllipse";
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitEllipse::serialize()");
    ar(cereal::base_class<Implementation::FitBase>(this), rotationConstraint_, rotationConstraintEnabled_);
    if constexpr (Archive::is_loading::value) {
        if (!std::isfinite(rotationConstraint_))
            Refuse(name, "the RotationConstraint " + std::to_string(rotationConstraint_));
        rotationConstraint_ = Vision::Private::NormalizeAngle(rotationConstraint_);
    }
}

template <class Archive> void FitLineResult::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitLineResult::serialize()");
    ar(cereal::base_class<Implementation::FitResultBase>(this), line_);
    if constexpr (Archive::is_loading::value)
        RequireLoaded(line_, "line", "FitLineResult");
}

template <class Archive> void FitCircleResult::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitCircleResult::serialize()");
    ar(cereal::base_class<Implementation::FitResultBase>(this), circle_);
    if constexpr (Archive::is_loading::value)
        RequireLoaded(circle_, "circle", "FitCircleResult");
}

template <class Archive> void FitEllipseResult::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "FitEllipseResult::serialize()");
    ar(cereal::base_class<Implementation::FitResultBase>(this), ellipse_);
    if constexpr (Archive::is_loading::value)
        RequireLoaded(ellipse_, "ellipse", "FitEllipseResult");
}

// The bases are written through cereal::base_class from the derived classes of other
// sources (the fit tools hold a FitBase and a FitResultBase), so their serialize functions
// are instantiated here for both archives.
template void Private::ReadOnlyPoints::serialize(cereal::PortableBinaryOutputArchive&, std::uint32_t);
template void Private::ReadOnlyPoints::serialize(cereal::PortableBinaryInputArchive&, std::uint32_t);
template void Implementation::FitBase::serialize(cereal::PortableBinaryOutputArchive&, std::uint32_t);
template void Implementation::FitBase::serialize(cereal::PortableBinaryInputArchive&, std::uint32_t);
template void Implementation::FitResultBase::serialize(cereal::PortableBinaryOutputArchive&, std::uint32_t);
template void Implementation::FitResultBase::serialize(cereal::PortableBinaryInputArchive&, std::uint32_t);

} // namespace Ostrel::Vision::Geometry

CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::Implementation::FitBase,
                               "Ostrel::Vision::Geometry::Implementation::FitBase")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitLine, "Ostrel::Vision::Geometry::FitLine")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitCircle, "Ostrel::Vision::Geometry::FitCircle")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitEllipse, "Ostrel::Vision::Geometry::FitEllipse")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitLineResult,
                               "Ostrel::Vision::Geometry::FitLineResult")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitCircleResult,
                               "Ostrel::Vision::Geometry::FitCircleResult")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::FitEllipseResult,
                               "Ostrel::Vision::Geometry::FitEllipseResult")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::ShareableBase,
                                     Ostrel::Vision::Geometry::Implementation::FitBase)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitBase,
                                     Ostrel::Vision::Geometry::FitLine)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitBase,
                                     Ostrel::Vision::Geometry::FitCircle)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitBase,
                                     Ostrel::Vision::Geometry::FitEllipse)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::ShareableBase,
                                     Ostrel::Vision::Geometry::Implementation::FitResultBase)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitResultBase,
                                     Ostrel::Vision::Geometry::FitLineResult)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitResultBase,
                                     Ostrel::Vision::Geometry::FitCircleResult)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::FitResultBase,
                                     Ostrel::Vision::Geometry::FitEllipseResult)
