#pragma once
// The circle fitted to a point list.

#include <Geometry/Implementation/FitResultBase.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

class FitCircle;

// What CreateResultGraphics draws.
enum class FitCircleResultGraphicConstants : std::uint32_t {
    None = 0x0,
    TipText = 0x1,       // tip texts on every graphic made
    UsedPoints = 0x2,    // markers of the points the fit used
    IgnoredPoints = 0x4, // markers of the points it left out
    Circle = 0x8,        // the fitted circle
    Center = 0x10,       // a marker at the centre
};
OSTREL_GEOMETRY_MASK_OPERATORS(FitCircleResultGraphicConstants)

class OSTREL_GEOMETRY_API FitCircleResult : public Implementation::FitResultBase {
public:
    // An empty result (no points, a default circle), for loading from an archive.
    explicit FitCircleResult(ObjectCreateAccessToken);
    ~FitCircleResult() override;

    // The fitted circle itself, in the space the fit was given.
    std::shared_ptr<Circle> GetCircle() const { return circle_; }

    std::shared_ptr<GraphicCollection> CreateResultGraphics(FitCircleResultGraphicConstants switches) const;

protected:
    double GetDistanceInternal(std::int32_t i) const override;
    void ConstructContentInternal(Record& record, std::uint32_t mask) override;

private:
    friend class FitCircle;
    FitCircleResult();
    FitCircleResult(ObjectCreateAccessToken, const korm_circleFitResult& fit, std::vector<korm_vect> points,
                    const std::string& spaceName);

    std::shared_ptr<Circle> circle_;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitResultBase)
};

} // namespace Ostrel::Vision::Geometry
