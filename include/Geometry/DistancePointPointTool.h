#pragma once
// The distance between a start point and an end point, and the direction from the one to
// the other. Both points are draggable markers; the coordinates live in them.

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry {

enum class DistancePointPointCurrentRecordConstants : std::uint32_t {
    InputImage = 0x1,
    StartPoint = 0x2,
    EndPoint = 0x4,
};
enum class DistancePointPointLastRunRecordConstants : std::uint32_t {
    None = 0x0,
};
enum class DistancePointPointLastRunRecordDiagConstants : std::uint32_t {
    InputImageByReference = 0x1,
    InputImageByCopy = 0x4,
    StartPoint = 0x10,
    EndPoint = 0x20,
    Arrow = 0x40,
};
OSTREL_GEOMETRY_MASK_OPERATORS(DistancePointPointCurrentRecordConstants)
OSTREL_GEOMETRY_MASK_OPERATORS(DistancePointPointLastRunRecordConstants)
OSTREL_GEOMETRY_MASK_OPERATORS(DistancePointPointLastRunRecordDiagConstants)

class OSTREL_GEOMETRY_API DistancePointPointTool : public Implementation::GeometryToolBase {
public:
    static constexpr std::uint64_t sf0_ = GeometryToolBase::sfNextSf_;  // 0x100
    static constexpr std::uint64_t SfLastRunRecordEnable = sf0_;
    static constexpr std::uint64_t SfLastRunRecordDiagEnable = sf0_ << 1;
    static constexpr std::uint64_t SfCurrentRecordEnable = sf0_ << 2;
    static constexpr std::uint64_t SfStartX = sf0_ << 3;
    static constexpr std::uint64_t SfStartY = sf0_ << 4;
    static constexpr std::uint64_t SfEndX = sf0_ << 5;
    static constexpr std::uint64_t SfEndY = sf0_ << 6;
    static constexpr std::uint64_t SfDistance = sf0_ << 7;
    static constexpr std::uint64_t SfAngle = sf0_ << 8;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 9;  // 0x20000

    explicit DistancePointPointTool(ObjectCreateAccessToken);
    ~DistancePointPointTool() override;

    double StartX() const { return startPoint_->X(); }
    double StartY() const { return startPoint_->Y(); }
    double EndX() const { return endPoint_->X(); }
    double EndY() const { return endPoint_->Y(); }
    void setStartX(double x);
    void setStartY(double y);
    void setEndX(double x);
    void setEndY(double y);

    // Outputs; throw ToolNoResultException until a run succeeds. The angle is in radians,
    // in (−π, π].
    double Distance() const { return Output(distance_); }
    double Angle() const { return Output(angle_); }

    OSTREL_GEOMETRY_RECORD_SWITCHES(DistancePointPoint)

    std::shared_ptr<DistancePointPointTool> shared_from_this() { return SharedFromThisAs<DistancePointPointTool>(); }
    std::shared_ptr<const DistancePointPointTool> shared_from_this() const
    {
        return SharedFromThisAs<DistancePointPointTool>();
    }

    // The base parts, then the markers "StartPoint" and "EndPoint".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    void OnFinalConstruct() override;
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    DistancePointPointTool();

    void HookStartPointEvents();
    void HookEndPointEvents();
    void DisconnectStartPointEvents();
    void DisconnectEndPointEvents();
    void OnStartPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>& args);
    void OnEndPointChanged(const std::shared_ptr<Quill::ChangedEventArgs>& args);

    std::shared_ptr<PointMarker> startPoint_;
    std::shared_ptr<PointMarker> endPoint_;
    std::shared_ptr<PointMarker> startPointCopy_;
    std::shared_ptr<PointMarker> endPointCopy_;
    double distance_ = 0;
    double angle_ = 0;
    boost::signals2::scoped_connection startPointConnection_;
    boost::signals2::scoped_connection endPointConnection_;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
