#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision {

// A segment from (StartX, StartY) to (EndX, EndY), with an optional ornament at each
// end. The ends may coincide. A new segment runs from (10, 10) to (100, 100) without
// ornaments.
class LineSegment : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfNextSf_;
    static constexpr std::uint64_t SfStartPointAdornment = 0x800;
    static constexpr std::uint64_t SfEndPointAdornment = 0x1000;
    static constexpr std::uint64_t SfStartX = 0x40000;
    static constexpr std::uint64_t SfStartY = 0x80000;
    static constexpr std::uint64_t SfEndX = 0x100000;
    static constexpr std::uint64_t SfEndY = 0x200000;
    static constexpr std::uint64_t sfNextSf_ = 0x400000;

    explicit LineSegment(ObjectCreateAccessToken);

    double StartX() const { return startX_; }
    void setStartX(double value);
    double StartY() const { return startY_; }
    void setStartY(double value);
    double EndX() const { return endX_; }
    void setEndX(double value);
    double EndY() const { return endY_; }
    void setEndY(double value);
    LineSegmentAdornmentConstants StartPointAdornment() const { return startPointAdornment_; }
    void setStartPointAdornment(LineSegmentAdornmentConstants value);
    LineSegmentAdornmentConstants EndPointAdornment() const { return endPointAdornment_; }
    void setEndPointAdornment(LineSegmentAdornmentConstants value);

    void SetStartEnd(double startX, double startY, double endX, double endY);
    void GetStartEnd(double& startX, double& startY, double& endX, double& endY) const;
    double Length() const;
    // The direction from start to end, atan2(EndY - StartY, EndX - StartX); 0 for
    // coinciding ends.
    double Rotation() const;

    // The line through the segment, from its start in its direction, in the segment's
    // space and style (CopyShapeConstants::GraphicProperties). Throws ShapeException
    // (E_OstShape_CoordinatesMustDiffer) for coinciding ends.
    std::shared_ptr<Line> CreateLine() const;

    std::shared_ptr<LineSegment> Copy(std::uint32_t copyShapeMode) const;
    // Both ends mapped by `transform`.
    std::shared_ptr<LineSegment> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the start
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    LineSegment() : LineSegment(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "LineSegment::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), startX_, startY_, endX_, endY_, startPointAdornment_,
           endPointAdornment_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(startX_, "start x", name);
            CheckFinite(startY_, "start y", name);
            CheckFinite(endX_, "end x", name);
            CheckFinite(endY_, "end y", name);
            CheckEnumRange(static_cast<std::int32_t>(startPointAdornment_), 0, 1, "start adornment", name);
            CheckEnumRange(static_cast<std::int32_t>(endPointAdornment_), 0, 1, "end adornment", name);
        }
    }

    double startX_ = 10;
    double startY_ = 10;
    double endX_ = 100;
    double endY_ = 100;
    LineSegmentAdornmentConstants startPointAdornment_ = LineSegmentAdornmentConstants::None;
    LineSegmentAdornmentConstants endPointAdornment_ = LineSegmentAdornmentConstants::None;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::LineSegment, 1)
