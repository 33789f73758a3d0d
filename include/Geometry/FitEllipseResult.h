#pragma once
// The ellipse fitted to a point list. Its rotation is the constraint when the fit was
// constrained, with the radii exchanged where that puts the X radius across the fitted axis.

#include <Geometry/Implementation/FitResultBase.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/Ellipse.h>

namespace Ostrel::Vision::Geometry {

class FitEllipse;

// What CreateResultGraphics draws.
enum class FitEllipseResultGraphicConstants : std::uint32_t {
    None = 0x0,
    TipText = 0x1,       // tip texts on every graphic made
    UsedPoints = 0x2,    // markers of the points the fit used
    IgnoredPoints = 0x4, // markers of the points it left out
    Ellipse = 0x8,       // the fitted ellipse
    Center = 0x10,       // a marker at the centre
};
OSTREL_GEOMETRY_MASK_OPERATORS(FitEllipseResultGraphicConstants)

class OSTREL_GEOMETRY_API FitEllipseResult : public Implementation::FitResultBase {
public:
    // An empty result (no points, a default ellipse), for loading from an archive.
    explicit FitEllipseResult(ObjectCreateAccessToken);
    ~FitEllipseResult() override;

    // The fitted ellipse itself, in the space the fit was given.
    std::shared_ptr<Ellipse> GetEllipse() const { return ellipse_; }

    std::shared_ptr<GraphicCollection> CreateResultGraphics(FitEllipseResultGraphicConstants switches) const;

protected:
    double GetDistanceInternal(std::int32_t i) const override;
    void ConstructContentInternal(Record& record, std::uint32_t mask) override;

private:
    friend class FitEllipse;
    FitEllipseResult();
    // The radii in the library's order if `keepRadiusOrder`, exchanged otherwise; the
    // rotation as the fit decided it.
    FitEllipseResult(ObjectCreateAccessToken, const korm_ellipseFitResult& fit, std::vector<korm_vect> points,
                     const std::string& spaceName, bool keepRadiusOrder, double rotation);

    std::shared_ptr<Ellipse> ellipse_;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitResultBase)
};

} // namespace Ostrel::Vision::Geometry
