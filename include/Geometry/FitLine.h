#pragma once
// Run parameters of a line fit: at least two points, of which NumToIgnore may be left out.

#include <memory>
#include <string>

#include <Geometry/FitLineResult.h>
#include <Geometry/Implementation/FitBase.h>

namespace Ostrel::Vision::Geometry {

class OSTREL_GEOMETRY_API FitLine : public Implementation::FitBase {
public:
    static constexpr std::uint64_t sf0_ = FitBase::sfNextSf_; // 0x10
    static constexpr std::uint64_t sfNextSf_ = sf0_;          // no flags of its own

    explicit FitLine(ObjectCreateAccessToken);
    ~FitLine() override;

    // Fits a line to the points, taken to lie in the space `spaceName` (nothing is mapped),
    // and returns a new result whose line carries that name. Throws GeometryException for
    // too few points, a NumToIgnore beyond NumPoints - 2 or points that fix no line;
    // ArgumentException for a malformed space name or a coordinate that is not finite.
    std::shared_ptr<FitLineResult> Execute(const std::string& spaceName) const;

private:
    FitLine();

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitBase)
};

} // namespace Ostrel::Vision::Geometry
