#pragma once
// The frame of the tools that measure the distance between two shapes, A and B, and report
// the closest point on each. A tool of the family is this frame with one row of data: the
// pins and names of its shapes, its output pins, the flags its run raises and the
// MathUtils function that measures. The tool's own class adds its named getters and
// setters and its defaults.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry::Implementation {

// What sets one shape-to-shape tool apart. A shape's name is its record key, the legacy
// property it is read from and the word the missing-input message uses; its pin is the
// property path of the shape. The closest points, A's then B's, are reported by the
// outputs pinned after "Distance".
template <class ShapeA, class ShapeB>
struct ShapePairRow {
    struct Input {
        const char* pin;
        const char* name;
    };
    Input a, b;
    std::array<const char*, 4> closestPins;
    std::uint64_t outputFlags;  // raised when a run clears the outputs, and with the last-run flag when it succeeds
    double (*measure)(const ShapeA& a, const ShapeB& b, const IImage* image, double& aX, double& aY, double& bX,
                      double& bY);
};

// Both shapes are mapped into the input image's space before they are measured. Shapes that
// touch or cross have distance 0 and no closest points: the coordinate getters then throw
// and the last-run record has no arrow.
//
// Records: the current record shows the live shapes A (bit 0x2) and B (0x4); the last-run
// record the copies of B (0x20) and A (0x10) and an "Arrow" from A's closest point to B's
// (0x40), beneath the image of the run.
template <class ShapeA, class ShapeB>
class ShapePairDistanceTool : public GeometryToolBase {
public:
    using Row = ShapePairRow<ShapeA, ShapeB>;

    // Throws ToolNoResultException until a run succeeds.
    double Distance() const { return Result(result_.distance); }

    // The base parts, then both shapes under their names.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // Two new interactive shapes, A drawn in cyan and B in magenta; the tool gives them
    // their geometry.
    explicit ShapePairDistanceTool(const Row& row)
        : a_(CreateInputShape<ShapeA>(0xFF00FFFF)), b_(CreateInputShape<ShapeB>(0xFFFF00FF)), row_(row)
    {
        InitializeRecordSwitches(0x7, 0x71, 0x0);
        for (const char* path : {"InputImage", row.a.pin, row.b.pin})
            Inputs().Add(path);
        Outputs().Add("Distance");
        for (const char* path : row.closestPins)
            Outputs().Add(path);
    }

    ToolResultConstants InternalRun(std::string&) override
    {
        BeginRun(row_.outputFlags, result_, copies_);
        const ShapeA& a = Required(a_, row_.a.name);
        const ShapeB& b = Required(b_, row_.b.name);
        PreRun(imageRetentionMask_);
        KeepRecordCopy(copies_.a, a, CopyA);
        KeepRecordCopy(copies_.b, b, CopyB);
        result_.distance = row_.measure(a, b, InputImage().get(), result_.aX, result_.aY, result_.bX, result_.bY);
        return FinishRun(row_.outputFlags);
    }

    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override
    {
        AddCurrentRecords(*parent, currentMask, {{0x2, row_.a.name, a_}, {0x4, row_.b.name, b_}});
    }

    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                     std::uint32_t diagMask) override
    {
        const auto image =
            AddLastRunRecords(*parent, diagMask, {{CopyB, row_.b.name, copies_.b}, {CopyA, row_.a.name, copies_.a}});
        if (image && (diagMask & Arrow) && HasResult() && result_.distance != 0)
            CreateDistanceLineRecord(result_.aX, result_.aY, result_.bX, result_.bY, result_.distance, *image, "Arrow");
    }

    // A coordinate of a closest point: there is none without a result, nor for shapes that
    // touch or cross.
    double Closest(const double& coordinate) const { return ResultIf(result_.distance != 0, coordinate); }

    // The diagnostic bits of the family.
    static constexpr std::uint32_t CopyA = 0x10, CopyB = 0x20, Arrow = 0x40;

    std::shared_ptr<ShapeA> a_;
    std::shared_ptr<ShapeB> b_;
    struct {
        std::shared_ptr<ShapeA> a;
        std::shared_ptr<ShapeB> b;
    } copies_;
    struct {
        double distance, aX, aY, bX, bY;
    } result_{};

private:
    const Row& row_;
};

} // namespace Ostrel::Vision::Geometry::Implementation
