#pragma once
// The frame of the tools that measure from a draggable point to one shape and report the
// shape's closest point. A tool of the family is this frame with one row of data: the
// shape's pin and name, its output pins, the flags its run raises and the MathUtils
// function that measures. The tool's own class adds its named getters and setters and its
// defaults.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry::Implementation {

// What sets one point-to-shape tool apart. The shape's name is its record key, the legacy
// property it is read from and the word the missing-input message uses; its pin is the
// property path of the shape. The closest point is reported by the outputs pinned after
// "Distance".
template <class Shape>
struct PointShapeRow {
    const char* shapePin;
    const char* shapeName;
    std::array<const char*, 2> closestPins;
    std::uint64_t resetFlags;   // raised when a run clears the outputs
    std::uint64_t outputFlags;  // raised, with the last-run flag, when a run succeeds
    double (*measure)(double x, double y, const Shape& shape, const IImage* image, double& shapeX, double& shapeY);
};

// Records: the current record shows the live marker "Point" (bit 0x2) and the shape (0x4);
// the last-run record the shape's copy (0x20), the point's copy (0x10) and an "Arrow" from
// the point to the closest point (0x40), beneath the image of the run.
template <class Tool, class Shape>
class PointShapeDistanceTool : public GeometryToolBase {
public:
    using Row = PointShapeRow<Shape>;

    // The point, the centre of the tool's marker. It is taken in the input image's space as
    // it is, while the shape is mapped there.
    double X() const { return point_.X(); }
    double Y() const { return point_.Y(); }
    void setX(double x) { point_.SetX(x); }
    void setY(double y) { point_.SetY(y); }

    // Throws ToolNoResultException until a run succeeds.
    double Distance() const { return Result(result_.distance); }

    // The base parts, then the marker "Point" and the shape under its name.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // A marker at (x, y) and a new interactive shape; the tool gives the shape its geometry.
    PointShapeDistanceTool(const Row& row, double x, double y)
        : point_(*this, Tool::SfX, Tool::SfY, x, y, 0xFF00FFFF), shape_(CreateInputShape<Shape>(0xFFFF00FF)), row_(row)
    {
        InitializeRecordSwitches(0x7, 0x71, 0x0);
        for (const char* path : {"InputImage", "X", "Y", row.shapePin})
            Inputs().Add(path);
        for (const char* path : {"Distance", row.closestPins[0], row.closestPins[1]})
            Outputs().Add(path);
    }

    ToolResultConstants InternalRun(std::string&) override
    {
        BeginRun(row_.resetFlags, result_, copies_);
        const Shape& shape = Required(shape_, row_.shapeName);
        PreRun(imageRetentionMask_);
        KeepRecordCopy(copies_.point, point_, PointCopy | Arrow);
        KeepRecordCopy(copies_.shape, shape, ShapeCopy);
        result_.distance = row_.measure(point_.X(), point_.Y(), shape, InputImage().get(), result_.x, result_.y);
        return FinishRun(row_.outputFlags);
    }

    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override
    {
        AddCurrentRecords(*parent, currentMask, {{0x2, "Point", point_.Marker()}, {0x4, row_.shapeName, shape_}});
    }

    // The arrow starts at the point as the run saw it, so it needs the point's copy: a mask
    // that gained the arrow bit after the run shows no arrow.
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                     std::uint32_t diagMask) override
    {
        const auto image = AddLastRunRecords(*parent, diagMask,
                                             {{ShapeCopy, row_.shapeName, copies_.shape}, {PointCopy, "Point", copies_.point}});
        if (image && (diagMask & Arrow) && copies_.point && HasResult())
            CreateDistanceLineRecord(copies_.point->X(), copies_.point->Y(), result_.x, result_.y, result_.distance,
                                     *image, "Arrow");
    }

    // The diagnostic bits of the family.
    static constexpr std::uint32_t PointCopy = 0x10, ShapeCopy = 0x20, Arrow = 0x40;

    MarkerInput point_;
    std::shared_ptr<Shape> shape_;
    struct {
        std::shared_ptr<PointMarker> point;
        std::shared_ptr<Shape> shape;
    } copies_;
    struct {
        double distance, x, y;
    } result_{};

private:
    const Row& row_;
};

} // namespace Ostrel::Vision::Geometry::Implementation
