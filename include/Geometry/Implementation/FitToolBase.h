#pragma once
// The common base of the line, circle and ellipse fit tools. A fit tool holds run
// parameters (the points and the options of one fit) and, after a successful run, the fit
// result; a run hands the parameters the input image's space name and keeps what their
// Execute returns. The current record shows the points as draggable markers whose moves
// write back into the run parameters; the last-run record shows the used points, the
// points the fit left out and the fitted shape, each drawn by the result itself.
//
// A fit tool states only what is its own: its run-parameter and result classes and its
// pins.
//
//   OSTREL_GEOMETRY_FIT_TOOL_SWITCH_ENUMS(FitLine)
//   class FitLineTool : public Implementation::FitToolBase {
//   public:
//       OSTREL_GEOMETRY_FIT_TOOL(FitLine)
//   };
//
// and defines the public constructor, which creates the run parameters and the pins.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include <Geometry/GeometryExport.h>
#include <Geometry/Implementation/FitBase.h>
#include <Geometry/Implementation/FitResultBase.h>
#include <Geometry/Implementation/RecordSwitches.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/RecordConstructor.h>
#include <Ostrel/Vision/ToolBase.h>

namespace Ostrel::Vision::Geometry::Implementation {

class OSTREL_GEOMETRY_API FitToolBase : public Vision::Implementation::ToolBase, public IRecordConstructor {
public:
    static constexpr std::uint64_t sf0_ = Vision::Implementation::ToolBase::sfNextSf_; // 0x80
    static constexpr std::uint64_t SfInputImage = sf0_;
    static constexpr std::uint64_t SfResult = sf0_ << 1;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 2; // 0x200

    ~FitToolBase() override;

    // The image whose selected space the points are taken to lie in. A fit tool cannot run
    // without one.
    const std::shared_ptr<IImage>& InputImage() const { return inputImage_; }
    // Nothing for the same image; otherwise stores it and raises SfInputImage with the
    // current-record flag.
    void setInputImage(const std::shared_ptr<IImage>& image);

    std::shared_ptr<FitToolBase> shared_from_this() { return SharedFromThisAs<FitToolBase>(); }
    std::shared_ptr<const FitToolBase> shared_from_this() const { return SharedFromThisAs<FitToolBase>(); }

    // The record constructor of the "InputPoints" current record: a collection of one
    // draggable marker per point of the run parameters, each in a composite whose ID is the
    // point's index. A drag writes the marker's position back into that point.
    void ConstructContent(Record& record, std::uint32_t mask) override;
    void ConstructAnnotation(Record& record, std::uint32_t mask) override;
    void ConstructSubRecords(Record& record, std::uint32_t mask) override;

    // Reads the framework part, then "InputImage" and "RunParams" (each a guarded fetch:
    // a failure is logged and the field keeps its value; run parameters of another fit's
    // class are dropped), and follows the new run parameters.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // `runParams`, fresh run parameters of the tool's own class, fixes that class for good,
    // as `resultClass` fixes the class of its results: run parameters or results of another
    // fit never enter the tool.
    FitToolBase(std::shared_ptr<FitBase> runParams, const std::type_info& resultClass);

    // Follows the changed event of the run parameters.
    void OnFinalConstruct() override;
    // Replaces the followed run parameters' connection with one to the current ones.
    void HookOperatorChangedEvent();

    // Pins: "InputImage", then "RunParams.SetX(i)" and "RunParams.SetY(i)" for the first
    // `pinnedPoints` points, then `outputs`.
    void AddPins(std::int32_t pinnedPoints, std::initializer_list<const char*> outputs);

    // The fit: Execute of the run parameters with the space name, its result returned.
    virtual std::shared_ptr<FitResultBase> ExecuteInternal(const std::string& spaceName) = 0;

    // Clears the stored result (raising SfResult with the last-run flag if there was one),
    // checks the run parameters and the input image, keeps the image as the diagnostic mask
    // asks, runs ExecuteInternal in the image's space and stores the result, raising
    // SfResult with the last-run flag. A failure leaves the result empty.
    void RunInternal();
    ToolResultConstants InternalRun(std::string& message) override;

    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                     std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

    // The typed views of the run parameters and the result: the tool's own classes, since
    // nothing else is ever stored.
    template <class Params> std::shared_ptr<Params> RunParamsAs() const
    {
        return std::static_pointer_cast<Params>(runParams_);
    }
    template <class Result> std::shared_ptr<Result> ResultAs() const
    {
        return std::static_pointer_cast<Result>(result_);
    }
    // Compare-then-raise: nothing for the same object; otherwise stores it, follows it and
    // raises `flag` with the current-record flag.
    void ChangeRunParams(const std::shared_ptr<FitBase>& runParams, std::uint64_t flag);

private:
    std::shared_ptr<IImage> inputImage_;
    std::shared_ptr<FitBase> runParams_;
    std::shared_ptr<FitResultBase> result_;
    std::shared_ptr<IImage> lastRunImage_;
    const std::type_info& runParamsClass_;
    const std::type_info& resultClass_;

    // The composites of the latest current record, each holding one marker. Holding them
    // keeps them alive while a display holds only the markers, and every change of a
    // composite is passed on to this collection, whose one connection (with the one to the
    // run parameters, both behind a pointer so that this header needs no signal library)
    // tells the tool which composite changed.
    std::shared_ptr<GraphicCollection> manipPoints_;
    struct Connections;
    std::unique_ptr<Connections> connections_;

    // A change of the point set makes the markers of the current record stale: they are
    // dropped and the current-record flag raised. Other changes of the run parameters
    // (NumToIgnore, a constraint) raise nothing.
    void OnOperatorChanged(const std::shared_ptr<Quill::ChangedEventArgs>& args);
    // A moved marker writes its position into the point of its composite's ID.
    void OnManipPointChanged(const CompositeShape& composite, std::uint64_t stateFlags);
    // Makes the collection of the current record's composites and follows it, once.
    void FollowManipPoints();
    void DropManipPoints();
    // Whether `runParams` (not null) is of the tool's own class.
    bool IsOwnRunParams(const FitBase& runParams) const { return typeid(runParams) == runParamsClass_; }
    bool IsOwnResult(const FitResultBase& result) const { return typeid(result) == resultClass_; }

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Vision::Implementation::ToolBase, IRecordConstructor)
};

} // namespace Ostrel::Vision::Geometry::Implementation

// At namespace scope, before the fit tool's class: its record-switch enumerations. Every fit
// tool has the same bits: the current record's input image and draggable points, the
// last-run record's used points, left-out points and fitted shape, the diagnostics' image
// bits.
#define OSTREL_GEOMETRY_FIT_TOOL_SWITCH_ENUMS(Stem)                                                          \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##CurrentRecordConstants,                                         \
                                       ((InputImage, 0x1))((InputPoints, 0x2)))                              \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##LastRunRecordConstants,                                         \
                                       ((UsedPoints, 0x1))((IgnoredPoints, 0x2))((Shape, 0x4)))              \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##LastRunRecordDiagConstants,                                     \
                                       ((InputImageByReference, 0x1))((InputImageByCopy, 0x4)))

// In the public section of the fit tool Stem##Tool, whose run parameters are of class Stem
// and whose results of class Stem##Result, all that the class declares: the state flags and
// typed record switches of a geometry tool with the one property RunParams; the typed run
// parameters and result; the constructors (the tool's source defines the public one, which
// creates the run parameters and the pins); the fit, Execute of the run parameters. Leaves
// the class in its private section.
#define OSTREL_GEOMETRY_FIT_TOOL(Stem)                                                                       \
    OSTREL_GEOMETRY_TOOL(Stem, Implementation::FitToolBase, (RunParams))                                     \
    /* The run parameters themselves, not a copy; null only if a host set null. */                           \
    std::shared_ptr<Stem> RunParams() const                                                                  \
    {                                                                                                        \
        return RunParamsAs<Stem>();                                                                          \
    }                                                                                                        \
    void setRunParams(std::shared_ptr<Stem> runParams)                                                       \
    {                                                                                                        \
        ChangeRunParams(runParams, SfRunParams);                                                             \
    }                                                                                                        \
    /* The result of the last run; null before a successful run and after a failed one. */                   \
    std::shared_ptr<Stem##Result> Result() const                                                             \
    {                                                                                                        \
        return ResultAs<Stem##Result>();                                                                     \
    }                                                                                                        \
    explicit Stem##Tool(ObjectCreateAccessToken);                                                            \
    ~Stem##Tool() override = default;                                                                        \
                                                                                                             \
protected:                                                                                                   \
    std::shared_ptr<Implementation::FitResultBase> ExecuteInternal(const std::string& spaceName) override    \
    {                                                                                                        \
        return RunParams()->Execute(spaceName);                                                              \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Stem##Tool() : Stem##Tool(MakeAccessToken()) {}                                                          \
    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::FitToolBase)
