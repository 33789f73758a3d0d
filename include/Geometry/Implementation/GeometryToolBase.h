#pragma once
// The common base of the measurement, construction and label tools: the input image, the
// steps that frame every run (PreRun, PostRun), the has-result mark that guards the output
// getters, the image space name in which results are expressed, and the helpers every tool
// builds on: compare-then-raise setters, marker subscriptions, record rows, record-graphic
// copies and the result graphics of the last-run records.

#include <cstdint>
#include <memory>
#include <string>

#include <boost/signals2/connection.hpp>

#include <Geometry/GeometryExport.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/ToolBase.h>

namespace Ostrel::Vision::Geometry::Implementation {

class OSTREL_GEOMETRY_API GeometryToolBase : public Vision::Implementation::ToolBase {
public:
    static constexpr std::uint64_t sf0_ = Vision::Implementation::ToolBase::sfNextSf_;  // 0x80
    static constexpr std::uint64_t SfInputImage = sf0_;
    static constexpr std::uint64_t sfNextSf_ = SfInputImage << 1;  // 0x100

    ~GeometryToolBase() override;

    // The image whose coordinate space the results are expressed in. A tool cannot run
    // without one, even where its computation does not read it.
    const std::shared_ptr<IImage>& InputImage() const { return inputImage_; }
    // Nothing for the same image; otherwise stores it and raises SfInputImage with the
    // current-record flag.
    void setInputImage(const std::shared_ptr<IImage>& image);

    std::shared_ptr<GeometryToolBase> shared_from_this() { return SharedFromThisAs<GeometryToolBase>(); }
    std::shared_ptr<const GeometryToolBase> shared_from_this() const
    {
        return SharedFromThisAs<GeometryToolBase>();
    }

    // Reads the framework part, then the input image from "InputImage" or, failing that,
    // from "mInputImage"; a failed fetch is logged and leaves the image as it was.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    GeometryToolBase();

    // The start of every run: releases the last-run image, clears the has-result mark and
    // the image space name. The tool clears its outputs and raises their flags itself.
    void ClearRunState();
    // Throws OperatorNoInputImageException without an input image; keeps the image for the
    // last-run record as `imageRetentionMask` asks (bit 0x4 a copy, else bit 0x1 the image
    // itself); records the image's fully qualified space name.
    void PreRun(std::uint32_t imageRetentionMask);
    void PostRun() { hasResult_ = true; }

    bool HasResult() const { return hasResult_; }
    const std::string& ImageSpaceName() const { return imageSpaceName_; }
    const std::shared_ptr<IImage>& LastRunImage() const { return lastRunImage_; }

    // An output's value; throws ToolNoResultException until a run has succeeded.
    template <class T>
    const T& Output(const T& value) const
    {
        if (!hasResult_)
            ThrowNoResult();
        return value;
    }

    // Compare-then-raise setters: nothing for an equal value (for a shape, the same
    // object); otherwise store and raise `flag` (a shape also raises the current-record
    // flag, since the record shows it).
    template <class T>
    void SetValue(T& member, const T& value, std::uint64_t flag)
    {
        if (member == value)
            return;
        member = value;
        OnChanged_(flag);
    }
    template <class Shape>
    void SetShape(std::shared_ptr<Shape>& member, const std::shared_ptr<Shape>& shape, std::uint64_t flag)
    {
        if (member == shape)
            return;
        member = shape;
        OnChanged_(flag | SfCurrentRecord);
    }

    // A subscription of this tool to a graphic's changed event: a slot tracked on a weak
    // pointer to the tool, so that a destroyed tool is never called and never kept alive.
    // Empty while the tool is not yet owned by a shared pointer.
    template <class Tool>
    boost::signals2::connection Subscribe(Quill::ChangedEventShareableBase& graphic,
                                          void (Tool::*handler)(const std::shared_ptr<Quill::ChangedEventArgs>&))
    {
        const std::weak_ptr<Quill::ShareableBase> weak = weak_from_this();
        if (weak.expired())
            return {};
        return graphic.ChangedEvent().connect(
            Quill::ChangedSignal::slot_type(handler, static_cast<Tool*>(this), boost::placeholders::_1)
                .track_foreign(weak));
    }

    // A coordinate kept in one of the tool's point markers. Nothing if the marker already
    // holds the value; otherwise the subscription is cut while the marker changes (so that
    // its own event does not raise the flags of the sibling coordinate), renewed, and the
    // coordinate's flag alone is raised.
    template <class Tool>
    void SetMarkerCoordinate(PointMarker& marker, double (PointMarker::*getter)() const,
                             void (PointMarker::*setter)(double), double value, std::uint64_t flag,
                             boost::signals2::scoped_connection& connection,
                             void (Tool::*handler)(const std::shared_ptr<Quill::ChangedEventArgs>&))
    {
        if ((marker.*getter)() == value)
            return;
        connection.disconnect();
        try {
            (marker.*setter)(value);
        } catch (...) {
            connection = Subscribe(marker, handler);
            throw;
        }
        connection = Subscribe(marker, handler);
        OnChanged_(flag);
    }

    // A draggable input marker: moved as a whole (degree of freedom 0x80000000),
    // interactive, centred at (x, y) with rotation 0 and size 11, drawn in `argb`.
    static std::shared_ptr<PointMarker> CreateInputMarker(double x, double y, std::uint32_t argb);

    // A copy of `shape` with all its parts for a last-run record, its selected space name
    // made explicit against the input image's space tree ("#" or a fully qualified name).
    // Throws InvalidOperationException when the name does not resolve in that tree.
    template <class Shape>
    std::shared_ptr<Shape> MakeRecordGraphicCopy(const Shape& shape) const
    {
        auto copy = shape.Copy(static_cast<std::uint32_t>(CopyShapeConstants::All));
        copy->setSelectedSpaceName(ResolveRecordSpaceName(shape.SelectedSpaceName()));
        return copy;
    }

    // Record rows. The "InputImage" rows return the new record, or null when the mask
    // asks for no image (then the tool adds nothing at all).
    std::shared_ptr<Record> AddCurrentInputImageRecord(Record& parent, std::uint32_t currentMask) const;
    std::shared_ptr<Record> AddLastRunInputImageRecord(Record& parent, std::uint32_t diagMask) const;
    // A live input graphic the user may drag (usage 2, flag true).
    static void AddCurrentGraphicRecord(Record& parent, const std::string& key,
                                        const std::shared_ptr<Quill::IObject>& graphic);
    // An input as the last run saw it (usage 5, flag false).
    static void AddLastRunInputRecord(Record& parent, const std::string& key,
                                      const std::shared_ptr<Quill::IObject>& value);

    // Result graphics of the last-run records: a shape in the run's image space, drawn in
    // yellow, with a tip text stating the value, held by a record (usage 6) added to
    // `parent`. Nothing is added before a successful PreRun, nor for a line whose ends
    // coincide.
    void CreateDistanceLineRecord(double x0, double y0, double x1, double y1, double distance, Record& parent,
                                  const std::string& name) const;
    void CreateAngleLineRecord(double x0, double y0, double x1, double y1, double angle, Record& parent,
                               const std::string& name) const;
    void CreateCircularArcRecord(double centerX, double centerY, double radius, double angleStart,
                                 double angleSpan, Record& parent, const std::string& name) const;
    void CreateIntersectionPointRecord(double x, double y, Record& parent, const std::string& name) const;

private:
    std::shared_ptr<IImage> inputImage_;
    std::shared_ptr<IImage> lastRunImage_;
    bool hasResult_ = false;
    std::string imageSpaceName_;

    [[noreturn]] static void ThrowNoResult();
    std::string ResolveRecordSpaceName(const std::string& spaceName) const;
    void AddResultGraphicRecord(GraphicBase& graphic, const std::shared_ptr<Quill::IObject>& value,
                                const std::string& tipText, Record& parent, const std::string& name) const;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Vision::Implementation::ToolBase)
};

} // namespace Ostrel::Vision::Geometry::Implementation
