#pragma once
// The geometry computations behind the tools, callable by hosts directly. Every function
// is static; no state survives a call.

#include <Geometry/GeometryExport.h>
#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Cereal.h>

namespace Ostrel::Vision::Geometry {

class OSTREL_GEOMETRY_API MathUtils : public Quill::ObjectBase {
public:
    MathUtils() = default;
    ~MathUtils() override;

    // Distance from (x0, y0) to (x1, y1); `angle` receives the direction from the first
    // point to the second, atan2(y1 − y0, x1 − x0) in (−π, π], from the x axis towards the
    // y axis of the points' own coordinates. Coinciding points give distance 0 and angle 0.
    // Throws ArgumentException for a coordinate that is not finite; `angle` is then untouched.
    static double DistancePointPoint(double x0, double y0, double x1, double y1, double& angle);

    // The direction from (x0, y0) to (x1, y1), as DistancePointPoint reports it.
    static double AnglePointPoint(double x0, double y0, double x1, double y1);

private:
    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Quill::ObjectBase)
};

} // namespace Ostrel::Vision::Geometry
