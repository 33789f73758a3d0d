#pragma once
// The line fitted to a point list, oriented along the points: its direction points from
// the first fitted point towards the last.

#include <Geometry/Implementation/FitResultBase.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

class FitLine;

// What CreateResultGraphics draws.
enum class FitLineResultGraphicConstants : std::uint32_t {
    None = 0x0,
    TipText = 0x1,       // tip texts on every graphic made
    UsedPoints = 0x2,    // markers of the points the fit used
    IgnoredPoints = 0x4, // markers of the points it left out
    Line = 0x8,          // the fitted line
};
OSTREL_GEOMETRY_MASK_OPERATORS(FitLineResultGraphicConstants)

class OSTREL_GEOMETRY_API FitLineResult : public Implementation::FitResultBase {
public:
    // An empty result (no points, a default line), for loading from an archive.
    explicit FitLineResult(ObjectCreateAccessToken);
    ~FitLineResult() override;

    // The fitted line itself, in the space the fit was given.
    std::shared_ptr<Line> GetLine() const { return line_; }

    std::shared_ptr<GraphicCollection> CreateResultGraphics(FitLineResultGraphicConstants switches) const;

protected:
    double GetDistanceInternal(std::int32_t i) const override;
    void ConstructContentInternal(Record& record, std::uint32_t mask) override;

private:
    friend class FitLine;
    FitLineResult();
    FitLineResult(ObjectCreateAccessToken, const korm_lineFitResult& fit, std::vector<korm_vect> points,
                  const std::string& spaceName);

    std::shared_ptr<Line> line_;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitResultBase)
};

} // namespace Ostrel::Vision::Geometry
