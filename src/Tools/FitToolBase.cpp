#include <Geometry/Implementation/FitToolBase.h>

#include <cmath>

#include <fmt/format.h>

#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

// The flags of a run-parameter change that moves, adds or removes points.
constexpr std::uint64_t PointSetFlags = FitBase::SfNumPoints | FitBase::SfGetX | FitBase::SfGetY;
// The flags of a composite's change that a drag of its marker raises (position, members);
// style changes (colour, tip text, selection) are not moves.
constexpr std::uint64_t ManipPointMoveFlags = 0xFFFFFFFFFFFC8001;

// The "InputImage" record of either record tree, under `parent`; the tool's rows go beneath it.
std::shared_ptr<Record> AddImageRecord(Record& parent, const std::shared_ptr<IImage>& image,
                                       RecordUsageConstants usage)
{
    const rttr::type type = image ? rttr::type::get(*image) : rttr::type::get<IImage>();
    auto record = Quill::Create<Record>("InputImage", type, usage, false, image, "InputImage");
    parent.SubRecords().Add(record);
    return record;
}

} // namespace

struct FitToolBase::Connections {
    boost::signals2::scoped_connection runParams;
    boost::signals2::scoped_connection manipPoints;
};

FitToolBase::FitToolBase(std::shared_ptr<FitBase> runParams, const std::type_info& resultClass)
    : runParams_(std::move(runParams)), runParamsClass_(typeid(*runParams_)), resultClass_(resultClass),
      connections_(std::make_unique<Connections>())
{
    InitializeRecordSwitches(0x3, 0x1, 0x7);
}

FitToolBase::~FitToolBase() = default;

void FitToolBase::setInputImage(const std::shared_ptr<IImage>& image)
{
    if (inputImage_ == image)
        return;
    inputImage_ = image;
    OnChanged_(SfInputImage | SfCurrentRecord);
}

void FitToolBase::AddPins(std::int32_t pinnedPoints, std::initializer_list<const char*> outputs)
{
    Inputs().Add("InputImage");
    for (std::int32_t i = 0; i < pinnedPoints; ++i) {
        const std::string index = fmt::format("({})", i);
        Inputs().Add("RunParams.SetX" + index);
        Inputs().Add("RunParams.SetY" + index);
    }
    for (const char* path : outputs)
        Outputs().Add(path);
}

void FitToolBase::OnFinalConstruct()
{
    ToolBase::OnFinalConstruct();
    HookOperatorChangedEvent();
}

void FitToolBase::HookOperatorChangedEvent()
{
    connections_->runParams.disconnect();
    const std::weak_ptr<Quill::ShareableBase> weak = weak_from_this();
    if (!runParams_ || weak.expired())
        return; // not yet owned: OnFinalConstruct follows the run parameters
    connections_->runParams = runParams_->ChangedEvent().connect(
        Quill::ChangedSignal::slot_type([this](const std::shared_ptr<Quill::ChangedEventArgs>& args) {
            OnOperatorChanged(args);
        }).track_foreign(weak));
}

void FitToolBase::ChangeRunParams(const std::shared_ptr<FitBase>& runParams, std::uint64_t flag)
{
    if (runParams_ == runParams)
        return;
    if (runParams && !IsOwnRunParams(*runParams))
        throw ArgumentException(
            Strings::Substitute("Run parameters of class %1 do not belong to this fit tool.",
                                {rttr::type::get(*runParams).get_name().to_string()}));
    runParams_ = runParams;
    DropManipPoints();
    HookOperatorChangedEvent();
    OnChanged_(flag | SfCurrentRecord);
}

void FitToolBase::OnOperatorChanged(const std::shared_ptr<Quill::ChangedEventArgs>& args)
{
    if (!(args->StateFlags() & PointSetFlags))
        return;
    DropManipPoints();
    OnChanged_(SfCurrentRecord);
}

void FitToolBase::FollowManipPoints()
{
    if (manipPoints_)
        return;
    manipPoints_ = Quill::Create<GraphicCollection>();
    // The collection's own changes (the composites coming and going) name no graphic.
    connections_->manipPoints = manipPoints_->ChangedEvent().connect(
        Quill::ChangedSignal::slot_type([this](const std::shared_ptr<Quill::ChangedEventArgs>& args) {
            if (const auto* change = dynamic_cast<const GraphicChangedEventArgs*>(args.get()))
                if (const auto* composite = dynamic_cast<const CompositeShape*>(change->Graphic().get()))
                    OnManipPointChanged(*composite, change->StateFlags());
        }).track_foreign(weak_from_this()));
}

// The composite whose drag is being reported may be let go here, inside its own changed
// event: the composite and the collections it reports to are held for the report, and
// nothing touches the composite after the drop.
void FitToolBase::DropManipPoints()
{
    if (manipPoints_)
        manipPoints_->Clear();
}

void FitToolBase::OnManipPointChanged(const CompositeShape& composite, std::uint64_t stateFlags)
{
    if (!(stateFlags & ManipPointMoveFlags) || !runParams_ || composite.Shapes().Count() == 0)
        return;
    const auto marker = std::dynamic_pointer_cast<PointMarker>(composite.Shapes()[0]);
    if (!marker)
        return;
    runParams_->SetPoint(composite.ID(), marker->X(), marker->Y());
}

// ---- Run ----

ToolResultConstants FitToolBase::InternalRun(std::string&)
{
    RunInternal();
    return ToolResultConstants::Accept;
}

void FitToolBase::RunInternal()
{
    lastRunImage_.reset();
    if (result_) {
        result_.reset();
        OnChanged_(SfResult | SfLastRunRecord);
    }
    if (!runParams_)
        throw ToolNoOperatorException("The fit tool has no run parameters to fit.");
    if (!inputImage_)
        throw OperatorNoInputImageException(std::string(Strings::E_OstOperator_NoInputImage));
    if (lastRunRecordDiagEnable_ & 0x4)
        lastRunImage_ = inputImage_->Copy(static_cast<std::uint32_t>(ImageCopyConstants::All));
    else if (lastRunRecordDiagEnable_ & 0x1)
        lastRunImage_ = inputImage_;
    // The points are taken in the image's selected space; nothing is mapped.
    result_ = ExecuteInternal(SpaceNameUtils::ImageSpaceNameFQ(*inputImage_));
    OnChanged_(SfResult | SfLastRunRecord);
}

// ---- Records ----

void FitToolBase::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                              std::uint32_t currentMask)
{
    if (!(currentMask & 0x1))
        return;
    auto image = AddImageRecord(*parent, inputImage_, RecordUsageConstants::CurrentInput);
    if (!(currentMask & 0x2))
        return;
    auto points =
        Quill::Create<Record>("InputPoints", rttr::type::get<GraphicCollection>(),
                              RecordUsageConstants::CurrentInteractive, true, nullptr, "InputPoints");
    points->Construct(std::static_pointer_cast<IRecordConstructor>(shared_from_this()), 0);
    image->SubRecords().Add(points);
}

void FitToolBase::ConstructContent(Record& record, std::uint32_t)
{
    FollowManipPoints();
    DropManipPoints();
    auto collection = Quill::Create<GraphicCollection>();
    if (runParams_) {
        const std::int32_t count = runParams_->NumPoints();
        collection->Reserve(count);
        manipPoints_->Reserve(count);
        // The tool's collection reports its filling once, not once per point.
        const Quill::ScopedChangedEventSuspension filling(*manipPoints_);
        for (std::int32_t i = 0; i < count; ++i) {
            double x = 0, y = 0;
            runParams_->GetPoint(i, x, y);
            // A point that is not finite has no place to be drawn or dragged; the run refuses it.
            if (!std::isfinite(x) || !std::isfinite(y))
                continue;
            auto marker = Quill::Create<PointMarker>();
            marker->setX(x);
            marker->setY(y);
            marker->setInteractive(true);
            marker->setSelectedSpaceName("$");
            marker->setSelectedLineStyle(GraphicLineStyleConstants::Dot);
            marker->setGraphicDOFEnable(0x80000000);
            marker->setTipText(Private::PointTipText(i, x, y));

            auto composite = Quill::Create<CompositeShape>();
            composite->setID(i);
            composite->setCompositionMode(CompositeShapeCompositionModeConstants::Grouped);
            composite->setInteractive(true);
            composite->Shapes().Add(std::move(marker));
            // The tool's collection first, so that a drag reaches the tool before the record.
            manipPoints_->Add(composite);
            collection->Add(std::move(composite));
        }
    }
    record.setContent(collection);
}

void FitToolBase::ConstructAnnotation(Record&, std::uint32_t) {}
void FitToolBase::ConstructSubRecords(Record&, std::uint32_t) {}

void FitToolBase::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent,
                                              std::uint32_t lastRunMask, std::uint32_t diagMask)
{
    if (!(diagMask & 0x5))
        return;
    auto image = AddImageRecord(*parent, lastRunImage_, RecordUsageConstants::LastRunInput);
    // The result draws each row itself; without a result the rows stand empty.
    static constexpr struct {
        std::uint32_t bit;
        const char* key;
    } rows[] = {{0x1, "UsedPoints"}, {0x2, "IgnoredPoints"}, {0x4, "Shape"}};
    for (const auto& row : rows) {
        if (!(lastRunMask & row.bit))
            continue;
        auto record = Quill::Create<Record>(row.key, rttr::type::get<GraphicCollection>(),
                                            RecordUsageConstants::LastRunInput, false, nullptr, row.key);
        record->Construct(result_, row.bit);
        image->SubRecords().Add(record);
    }
}

} // namespace Ostrel::Vision::Geometry::Implementation
