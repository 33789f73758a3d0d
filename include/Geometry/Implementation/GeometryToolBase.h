#pragma once
// The common base of the measurement, construction and label tools: the input image, the
// steps that frame every run (PreRun, PostRun), the has-result mark that guards the output
// getters, the image space name in which results are expressed, and the helpers every tool
// builds on: the run frame, compare-then-raise setters, marker inputs, record rows,
// record-graphic copies and the result graphics of the last-run records.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include <Geometry/GeometryExport.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/ToolBase.h>

namespace boost::signals2 {
class scoped_connection;
}

namespace Ostrel::Vision {
class Line;
}

namespace Ostrel::Vision::Geometry::Implementation {

class GeometryToolBase;

// A point the user places by dragging a marker that the tool owns: the tool's two
// coordinates live in the marker. A tool declares one as a member, initialised with
// itself, the flags of the two coordinates, the default centre, the colour and the
// marker's degrees of freedom; from OnFinalConstruct on, a change of the marker (a drag
// in a display, through the current record) raises both coordinate flags. Subscriptions
// are tracked on the tool, so a destroyed tool is never called. At most two per tool.
class OSTREL_GEOMETRY_API MarkerInput {
public:
    static constexpr std::uint32_t MoveOnly = 0x80000000;  // PointMarkerDOFConstants::Position
    static constexpr std::uint32_t AllFreedoms = 0xFFFFFFFF;

    // An interactive marker centred at (x, y), rotation 0, size 11, drawn in `argb`.
    MarkerInput(GeometryToolBase& tool, std::uint64_t xFlag, std::uint64_t yFlag, double x, double y,
                std::uint32_t argb, std::uint32_t degreesOfFreedom = MoveOnly);
    ~MarkerInput();
    MarkerInput(const MarkerInput&) = delete;
    MarkerInput& operator=(const MarkerInput&) = delete;

    double X() const { return marker_->X(); }
    double Y() const { return marker_->Y(); }
    // Nothing if the marker holds the value already; otherwise the subscription is cut
    // while the marker changes (its own event would raise the sibling's flag too),
    // renewed, and the coordinate's flag alone is raised.
    void SetX(double x) { Set(&PointMarker::X, &PointMarker::setX, x, xFlag_); }
    void SetY(double y) { Set(&PointMarker::Y, &PointMarker::setY, y, yFlag_); }

    // Never null.
    const std::shared_ptr<PointMarker>& Marker() const { return marker_; }
    // Takes `marker` (never null) in place of the tool's own and follows it, as loading
    // and conversion do.
    void Replace(std::shared_ptr<PointMarker> marker);

private:
    friend class GeometryToolBase;
    void Follow();
    void Set(double (PointMarker::*getter)() const, void (PointMarker::*setter)(double), double value,
             std::uint64_t flag);

    GeometryToolBase& tool_;
    std::shared_ptr<PointMarker> marker_;
    std::uint64_t xFlag_;
    std::uint64_t yFlag_;
    std::unique_ptr<boost::signals2::scoped_connection> connection_;
};


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

    // Follows the changed events of the tool's marker inputs. A tool that overrides it
    // calls it first.
    void OnFinalConstruct() override;

    // Declared as members: `MarkerInput start_{*this, SfStartX, SfStartY, 10, 10, argb};`.
    using MarkerInput = Implementation::MarkerInput;

    // The run frame. BeginRun is the start of every run: releases the last-run image,
    // clears the has-result mark and the image space name, gives the tool's outputs their
    // empty values and raises `outputFlags`, releases its record copies and raises the
    // last-run flag. FinishRun, after the computation, sets the has-result mark, raises
    // `outputFlags` with the last-run flag and returns Accept. Outputs and copies are
    // aggregates whose value-initialised state is empty (0, false, null).
    template <class Outputs, class Copies>
    void BeginRun(std::uint64_t outputFlags, Outputs& outputs, Copies& copies)
    {
        ClearRunState();
        outputs = Outputs{};
        OnChanged_(outputFlags);
        copies = Copies{};
        OnChanged_(SfLastRunRecord);
    }
    ToolResultConstants FinishRun(std::uint64_t outputFlags)
    {
        PostRun();
        OnChanged_(outputFlags | SfLastRunRecord);
        return ToolResultConstants::Accept;
    }

    // A shape input the run needs: throws ArgumentNullException naming `name` when it is
    // null.
    template <class Shape>
    static const Shape& Required(const std::shared_ptr<Shape>& input, const char* name)
    {
        if (!input)
            ThrowNullInput(name);
        return *input;
    }

    // The start of every run without BeginRun: releases the last-run image, clears the
    // has-result mark and the image space name.
    void ClearRunState();
    // Throws OperatorNoInputImageException without an input image; keeps the image for the
    // last-run record as `imageRetentionMask` asks (bit 0x4 a copy, else bit 0x1 the image
    // itself); records the image's fully qualified space name, looked up again only when
    // the image, its space tree or its selected space changed since the last run.
    void PreRun(std::uint32_t imageRetentionMask);
    // PreRun's keeping of the input image alone, for a tool that runs without PreRun: bit
    // 0x4 of `imageRetentionMask` keeps a copy, else bit 0x1 the image itself; nothing
    // without an input image.
    void KeepLastRunImage(std::uint32_t imageRetentionMask);
    void PostRun() { hasResult_ = true; }

    bool HasResult() const { return hasResult_; }
    const std::string& ImageSpaceName() const { return imageSpaceName_; }
    const std::shared_ptr<IImage>& LastRunImage() const { return lastRunImage_; }

    // An output's value; throws ToolNoResultException until a run has succeeded.
    template <class T>
    const T& Result(const T& value) const
    {
        return ResultIf(true, value);
    }
    // An output that exists only when `available` (a point beyond the reported count, say):
    // throws ToolNoResultException without a result or when it is not available.
    template <class T>
    const T& ResultIf(bool available, const T& value) const
    {
        if (!hasResult_ || !available)
            ThrowNoResult();
        return value;
    }

    // Compare-then-raise setters of inputs the tool keeps in its own members: nothing for
    // an equal value (for a shape, the same object); otherwise store and raise `flag` (a
    // shape also raises the current-record flag, since the record shows it).
    template <class T>
    void ChangeInput(T& member, const T& value, std::uint64_t flag)
    {
        if (member == value)
            return;
        member = value;
        OnChanged_(flag);
    }
    template <class Shape>
    void ChangeShape(std::shared_ptr<Shape>& member, const std::shared_ptr<Shape>& shape, std::uint64_t flag)
    {
        if (member == shape)
            return;
        member = shape;
        OnChanged_(flag | SfCurrentRecord);
    }

    // A new interactive input shape drawn in `argb`, with every degree of freedom enabled;
    // the tool gives it its default geometry.
    template <class Shape>
    static std::shared_ptr<Shape> CreateInputShape(std::uint32_t argb)
    {
        auto shape = Quill::Create<Shape>();
        shape->setColor(Color32::FromUInt32(argb));
        shape->setGraphicDOFEnable(0xFFFFFFFF);
        shape->setInteractive(true);
        return shape;
    }

    // The record-graphic copy of an input for the last-run record, made only when the
    // diagnostic mask holds one of `diagBits`.
    template <class Shape, class Bits>
    void KeepRecordCopy(std::shared_ptr<Shape>& copy, const Shape& shape, Bits diagBits) const
    {
        if (lastRunRecordDiagEnable_ & static_cast<std::uint32_t>(diagBits))
            copy = MakeRecordGraphicCopy(shape);
    }
    template <class Bits>
    void KeepRecordCopy(std::shared_ptr<PointMarker>& copy, const MarkerInput& input, Bits diagBits) const
    {
        KeepRecordCopy(copy, *input.Marker(), diagBits);
    }

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

    // Record rows. A row of a record: the bit that asks for it, its key and its value (a
    // live input graphic, or the record copy of one).
    struct RecordRow {
        std::uint32_t bit;
        const char* key;
        std::shared_ptr<Quill::IObject> value;
    };
    using RecordRows = std::initializer_list<RecordRow>;
    // The current record: nothing without mask bit 0x1; otherwise "InputImage" (the input
    // image, usage 4) and beneath it, in the order given, each row whose bit is set and
    // whose graphic exists (usage 2, flag true: the display may drag it).
    void AddCurrentRecords(Record& parent, std::uint32_t currentMask, RecordRows rows) const;
    // The last-run record: nothing without diagnostic bit 0x1 or 0x4; otherwise
    // "InputImage" (the run's image, usage 5) and, only when that image exists, beneath it
    // each row whose bit is set and whose copy exists (usage 5, flag false). Returns the
    // "InputImage" record when the rows were added, for the tool's result graphics; null
    // otherwise.
    std::shared_ptr<Record> AddLastRunRecords(Record& parent, std::uint32_t diagMask, RecordRows rows) const;
    // The same two steps apart, for tools that add their rows beneath an "InputImage"
    // record whatever image it holds: the record (null when the mask asks for no image),
    // then the rows.
    std::shared_ptr<Record> AddLastRunInputImageRecord(Record& parent, std::uint32_t diagMask) const;
    static void AddLastRunRows(Record& image, std::uint32_t diagMask, RecordRows rows);

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
    // Name labels for up to two lines (either may be null), each a child graphic of its line
    // in the line's colour, placed at the line's point nearest the image centre; the second
    // moves aside (down for a steep line, right otherwise) when it would cover the first.
    static void AddLineLabelGraphics(const IImage& image, Line* first, Line* second, const std::string& firstText,
                                     const std::string& secondText);

private:
    std::shared_ptr<IImage> inputImage_;
    std::shared_ptr<IImage> lastRunImage_;
    bool hasResult_ = false;
    std::string imageSpaceName_;

    // The last image space name found, and what it was found from: the tree (held weakly,
    // so that a new tree at the old address cannot pass for it), its space count (which
    // only grows) and the image's selected space name.
    struct SpaceNameKey {
        std::weak_ptr<const Vision::CoordinateSpaceTree> tree;
        std::int32_t spaceCount = -1;
        std::string selected;
        std::string name;
    } spaceNameKey_;

    friend class Implementation::MarkerInput;
    std::array<MarkerInput*, 2> markerInputs_{};
    std::size_t markerInputCount_ = 0;

    [[noreturn]] static void ThrowNoResult();
    [[noreturn]] static void ThrowNullInput(const char* name);
    const std::string& FindImageSpaceName(const IImage& image);
    std::string ResolveRecordSpaceName(const std::string& spaceName) const;
    void AddResultGraphicRecord(GraphicBase& graphic, const std::shared_ptr<Quill::IObject>& value,
                                const std::string& tipText, Record& parent, const std::string& name) const;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Vision::Implementation::ToolBase)
};

} // namespace Ostrel::Vision::Geometry::Implementation
