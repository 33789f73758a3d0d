#pragma once
// What every fit result holds besides its shape: the fitted points with a used flag each,
// the RMS error the fit reports, and each point's distance from the fitted shape (computed
// on first request and kept). A result never changes after it is made, except that its
// distance cache grows; a result shared between threads needs its users' guard.
//
// A result draws itself: markers of the used and the left-out points, the fitted shape and,
// for round shapes, a centre marker. As a record constructor it turns a fit tool's record
// mask into those graphics.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <korm/korm.h>

#include <Geometry/GeometryExport.h>
#include <Geometry/Private/FitPoints.h>
#include <Ostrel/Vision/Graphic.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/RecordConstructor.h>

namespace Ostrel::Vision::Geometry::Implementation {

class OSTREL_GEOMETRY_API FitResultBase : public Quill::ShareableBase,
                                          public Meta::IHaveFakePropertyMeta,
                                          public IRecordConstructor {
public:
    ~FitResultBase() override;

    std::int32_t NumPoints() const { return points_->NumPoints(); }
    double RMSError() const { return rmsError_; }

    // Per point; each checks 0 <= i < NumPoints first (ArgumentOutOfRangeException naming
    // the operation).
    double GetX(std::int32_t i) const;
    double GetY(std::int32_t i) const;
    // Whether the point took part in the fit (false for the points it left out).
    bool GetUsed(std::int32_t i) const;
    // The point's distance from the fitted shape, never negative.
    double GetDistance(std::int32_t i) const;
    void GetXYUsedDistance(std::int32_t i, double& x, double& y, bool& used, double& distance) const;

    // The fake properties of the no-argument methods, then read-only "GetX(i)", "GetY(i)",
    // "GetUsed(i)" and "GetDistance(i)" for every point.
    Meta::FakePropertyList GetFakeProperties() const override;

    // Record mask 0x1 shows the used points, 0x2 the left-out points, 0x4 the fitted shape
    // (with its centre marker for round shapes), all with tip texts; the graphics become the
    // record's content. A mask that selects none of them adds nothing.
    void ConstructContent(Record& record, std::uint32_t mask) override;
    void ConstructAnnotation(Record& record, std::uint32_t mask) override;
    void ConstructSubRecords(Record& record, std::uint32_t mask) override;

protected:
    // An empty result, to be filled from an archive.
    FitResultBase();
    // The result of a fit: `points` as they were fitted, each used unless its index is in
    // the library's left-out list.
    FitResultBase(double rmsError, std::vector<korm_vect> points, const kors_vector32& leftOut);

    // |distance| from point i (index already checked) to the fitted shape.
    virtual double GetDistanceInternal(std::int32_t i) const = 0;
    virtual void ConstructContentInternal(Record& record, std::uint32_t mask) = 0;

    // The graphic switches a record mask asks for: 0x1 → used points (0x2), 0x2 → left-out
    // points (0x4), 0x4 → `shapeSwitches`; with tip texts (0x1) added unless nothing is
    // asked for, in which case 0.
    static std::uint32_t RecordMaskToGraphicSwitches(std::uint32_t mask, std::uint32_t shapeSwitches);

    // The point markers of the result graphics: switch 0x2 the used points (green), 0x4
    // the left-out ones (red), each a marker in a composite of the point's index placed in
    // `spaceName`; with 0x1, tip texts stating index, position and distance.
    std::shared_ptr<GraphicCollection> CreateResultGraphicsCommon(std::uint32_t switches,
                                                                  const std::string& spaceName) const;

    // The fitted shape or centre marker of the result graphics: in `spaceName`, green and,
    // with tip texts, interactive with `tipText`.
    static void StyleShapeGraphic(GraphicBase& graphic, const std::string& spaceName, bool withTipText,
                                  const std::string& tipText);
    // The centre marker of a fitted circle or ellipse at (x, y), styled as above with the
    // tip text "Center=(x,y)".
    static std::shared_ptr<GraphicBase> CenterGraphic(double x, double y, const std::string& spaceName,
                                                      bool withTipText);
    // A number of a tip text: three decimals.
    static std::string TipNumber(double value);

private:
    std::shared_ptr<Private::ReadOnlyPoints> points_;
    double rmsError_ = 0;
    mutable std::map<std::int32_t, double> distanceCache_;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Quill::ShareableBase, Meta::IHaveFakePropertyMeta, IRecordConstructor)
};

} // namespace Ostrel::Vision::Geometry::Implementation
