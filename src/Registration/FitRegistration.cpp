// Reflection of the point lists, fit parameters and fit results: identity, properties under
// the getters' names, the per-point methods behind the indexed fake properties, the shape
// getters behind "Result.GetLine()" and the result-graphic enumerations.
#include <rttr/registration>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>

RTTR_REGISTRATION
{
    using namespace rttr;
    using namespace Ostrel::Vision::Geometry;
    using Implementation::FitBase;
    using Implementation::FitResultBase;
    using Private::ReadOnlyPoints;
    using Private::ReadWritePoints;

    registration::class_<ReadOnlyPoints>("Ostrel::Vision::Geometry::Private::ReadOnlyPoints")
        .property_readonly("NumPoints", &ReadOnlyPoints::NumPoints)
        .method("GetX", &ReadOnlyPoints::GetX)
        .method("GetY", &ReadOnlyPoints::GetY)
        .method("GetUsed", &ReadOnlyPoints::GetUsed);
    registration::class_<ReadWritePoints>("Ostrel::Vision::Geometry::Private::ReadWritePoints")
        .method("AddPoint", &ReadWritePoints::AddPoint)
        .method("SetX", &ReadWritePoints::SetX)
        .method("SetY", &ReadWritePoints::SetY)
        .method("SetPoint", &ReadWritePoints::SetPoint)
        .method("DeletePoint", &ReadWritePoints::DeletePoint)
        .method("SetNumPoints", &ReadWritePoints::SetNumPoints);

    registration::class_<FitBase>("Ostrel::Vision::Geometry::Implementation::FitBase")
        .property("NumPoints", &FitBase::NumPoints, &FitBase::setNumPoints)
        .property("NumToIgnore", &FitBase::NumToIgnore, &FitBase::setNumToIgnore)
        .method("AddPoint", &FitBase::AddPoint)
        .method("DeletePoint", &FitBase::DeletePoint)
        .method("GetPoint", &FitBase::GetPoint)
        .method("GetX", &FitBase::GetX)
        .method("GetY", &FitBase::GetY)
        .method("SetPoint", &FitBase::SetPoint)
        .method("SetX", &FitBase::SetX)
        .method("SetY", &FitBase::SetY);
    registration::class_<FitLine>("Ostrel::Vision::Geometry::FitLine").method("Execute", &FitLine::Execute);
    registration::class_<FitCircle>("Ostrel::Vision::Geometry::FitCircle")
        .property("RadiusConstraint", &FitCircle::RadiusConstraint, &FitCircle::setRadiusConstraint)
        .property("RadiusConstraintEnabled", &FitCircle::RadiusConstraintEnabled,
                  &FitCircle::setRadiusConstraintEnabled)
        .method("Execute", &FitCircle::Execute);
    registration::class_<FitEllipse>("Ostrel::Vision::Geometry::FitEllipse")
        .property("RotationConstraint", &FitEllipse::RotationConstraint, &FitEllipse::setRotationConstraint)
        .property("RotationConstraintEnabled", &FitEllipse::RotationConstraintEnabled,
                  &FitEllipse::setRotationConstraintEnabled)
        .method("Execute", &FitEllipse::Execute);

    registration::class_<FitResultBase>("Ostrel::Vision::Geometry::Implementation::FitResultBase")
        .property_readonly("NumPoints", &FitResultBase::NumPoints)
        .property_readonly("RMSError", &FitResultBase::RMSError)
        .method("GetX", &FitResultBase::GetX)
        .method("GetY", &FitResultBase::GetY)
        .method("GetUsed", &FitResultBase::GetUsed)
        .method("GetDistance", &FitResultBase::GetDistance)
        .method("GetXYUsedDistance", &FitResultBase::GetXYUsedDistance);

    registration::enumeration<FitLineResultGraphicConstants>(
        "Ostrel::Vision::Geometry::FitLineResultGraphicConstants")(
        value("None", FitLineResultGraphicConstants::None),
        value("TipText", FitLineResultGraphicConstants::TipText),
        value("UsedPoints", FitLineResultGraphicConstants::UsedPoints),
        value("IgnoredPoints", FitLineResultGraphicConstants::IgnoredPoints),
        value("Line", FitLineResultGraphicConstants::Line));
    registration::class_<FitLineResult>("Ostrel::Vision::Geometry::FitLineResult")
        .method("GetLine", &FitLineResult::GetLine)
        .method("CreateResultGraphics", &FitLineResult::CreateResultGraphics);

    registration::enumeration<FitCircleResultGraphicConstants>(
        "Ostrel::Vision::Geometry::FitCircleResultGraphicConstants")(
        value("None", FitCircleResultGraphicConstants::None),
        value("TipText", FitCircleResultGraphicConstants::TipText),
        value("UsedPoints", FitCircleResultGraphicConstants::UsedPoints),
        value("IgnoredPoints", FitCircleResultGraphicConstants::IgnoredPoints),
        value("Circle", FitCircleResultGraphicConstants::Circle),
        value("Center", FitCircleResultGraphicConstants::Center));
    registration::class_<FitCircleResult>("Ostrel::Vision::Geometry::FitCircleResult")
        .method("GetCircle", &FitCircleResult::GetCircle)
        .method("CreateResultGraphics", &FitCircleResult::CreateResultGraphics);

    registration::enumeration<FitEllipseResultGraphicConstants>(
        "Ostrel::Vision::Geometry::FitEllipseResultGraphicConstants")(
        value("None", FitEllipseResultGraphicConstants::None),
        value("TipText", FitEllipseResultGraphicConstants::TipText),
        value("UsedPoints", FitEllipseResultGraphicConstants::UsedPoints),
        value("IgnoredPoints", FitEllipseResultGraphicConstants::IgnoredPoints),
        value("Ellipse", FitEllipseResultGraphicConstants::Ellipse),
        value("Center", FitEllipseResultGraphicConstants::Center));
    registration::class_<FitEllipseResult>("Ostrel::Vision::Geometry::FitEllipseResult")
        .method("GetEllipse", &FitEllipseResult::GetEllipse)
        .method("CreateResultGraphics", &FitEllipseResult::CreateResultGraphics);
}
