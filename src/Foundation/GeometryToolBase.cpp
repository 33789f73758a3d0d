#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/SpaceNameUtils.h>

namespace Ostrel::Vision::Geometry::Implementation {

GeometryToolBase::GeometryToolBase() = default;
GeometryToolBase::~GeometryToolBase() = default;

void GeometryToolBase::setInputImage(const std::shared_ptr<IImage>& image)
{
    if (inputImage_ == image)
        return;
    inputImage_ = image;
    OnChanged_(SfInputImage | SfCurrentRecord);
}

void GeometryToolBase::OnFinalConstruct()
{
    for (std::size_t i = 0; i < markerInputCount_; ++i)
        markerInputs_[i]->Follow();
}

void GeometryToolBase::ClearRunState()
{
    lastRunImage_.reset();
    hasResult_ = false;
    imageSpaceName_.clear();
}

void GeometryToolBase::PreRun(std::uint32_t imageRetentionMask)
{
    if (!inputImage_)
        throw OperatorNoInputImageException(std::string(Strings::E_OstOperator_NoInputImage));
    KeepLastRunImage(imageRetentionMask);
    imageSpaceName_ = FindImageSpaceName(*inputImage_);
}

void GeometryToolBase::KeepLastRunImage(std::uint32_t imageRetentionMask)
{
    if (!inputImage_)
        return;
    if (imageRetentionMask & 0x4)
        lastRunImage_ = inputImage_->Copy(static_cast<std::uint32_t>(ImageCopyConstants::All));
    else if (imageRetentionMask & 0x1)
        lastRunImage_ = inputImage_;
}

const std::string& GeometryToolBase::FindImageSpaceName(const IImage& image)
{
    const auto& tree = image.CoordinateSpaceTree();
    auto& key = spaceNameKey_;
    const bool sameTree = !key.tree.owner_before(tree) && !tree.owner_before(key.tree) && !key.tree.expired();
    if (!sameTree || key.spaceCount != tree->Count() || key.selected != image.SelectedSpaceName()) {
        std::string name = SpaceNameUtils::ImageSpaceNameFQ(image);
        key.tree = tree;
        key.spaceCount = tree->Count();
        key.selected = image.SelectedSpaceName();
        key.name = std::move(name);
    }
    return key.name;
}

void GeometryToolBase::ThrowNoResult()
{
    throw ToolNoResultException(std::string(Strings::E_OstTool_NoResult));
}

void GeometryToolBase::ThrowNullInput(const char* name)
{
    throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {name}));
}

std::string GeometryToolBase::ResolveRecordSpaceName(const std::string& spaceName) const
{
    auto fail = [&] {
        throw InvalidOperationException(Strings::Substitute(
            "The space \"%1\" of an input graphic cannot be resolved in the coordinate space tree of the input image.",
            {spaceName}));
    };
    if (!inputImage_)
        fail();
    const auto& tree = *inputImage_->CoordinateSpaceTree();
    const std::string resolved = tree.ResolvePartialName(inputImage_->SelectedSpaceName(), spaceName);
    if (resolved.empty())
        fail();
    if (resolved == "#")
        return resolved;
    std::string qualified = tree.LookUpName(resolved, true);
    if (qualified.empty())
        fail();
    return qualified;
}

// ---- Marker inputs ----

MarkerInput::MarkerInput(GeometryToolBase& tool, std::uint64_t xFlag, std::uint64_t yFlag,
                                           double x, double y, std::uint32_t argb, std::uint32_t degreesOfFreedom)
    : tool_(tool), marker_(Quill::Create<PointMarker>()), xFlag_(xFlag), yFlag_(yFlag),
      connection_(std::make_unique<boost::signals2::scoped_connection>())
{
    if (tool.markerInputCount_ == tool.markerInputs_.size())
        throw InvalidOperationException("A geometry tool holds at most two marker inputs.");
    tool.markerInputs_[tool.markerInputCount_++] = this;
    marker_->setGraphicDOFEnable(degreesOfFreedom);
    marker_->setInteractive(true);
    marker_->SetCenterRotationSize(x, y, 0, 11);
    marker_->setColor(Color32::FromUInt32(argb));
}

MarkerInput::~MarkerInput() = default;

void MarkerInput::Follow()
{
    connection_->disconnect();
    const std::weak_ptr<Quill::ShareableBase> weak = tool_.weak_from_this();
    if (weak.expired())
        return;  // not yet owned: OnFinalConstruct follows the marker
    *connection_ = marker_->ChangedEvent().connect(
        Quill::ChangedSignal::slot_type([this](const std::shared_ptr<Quill::ChangedEventArgs>&) {
            tool_.OnChanged_(xFlag_ | yFlag_);
        }).track_foreign(weak));
}

void MarkerInput::Replace(std::shared_ptr<PointMarker> marker)
{
    if (!marker)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"marker"}));
    connection_->disconnect();
    marker_ = std::move(marker);
    Follow();
}

void MarkerInput::Set(double (PointMarker::*getter)() const, void (PointMarker::*setter)(double),
                                        double value, std::uint64_t flag)
{
    if (((*marker_).*getter)() == value)
        return;
    connection_->disconnect();
    try {
        ((*marker_).*setter)(value);
    } catch (...) {
        Follow();
        throw;
    }
    Follow();
    tool_.OnChanged_(flag);
}

// ---- Record rows ----

namespace {

template <class T>
rttr::type ValueTypeOf(const std::shared_ptr<T>& value)
{
    return value ? rttr::type::get(*value) : rttr::type::get<T>();
}

std::shared_ptr<Record> AddImageRecord(Record& parent, const std::shared_ptr<IImage>& image, RecordUsageConstants usage)
{
    auto record = Quill::Create<Record>("InputImage", ValueTypeOf(image), usage, false, image, "InputImage");
    parent.SubRecords().Add(record);
    return record;
}

template <class Rows>
void AddRows(Record& parent, std::uint32_t mask, Rows rows, RecordUsageConstants usage, bool flag)
{
    for (const auto& row : rows)
        if ((mask & row.bit) && row.value)
            parent.SubRecords().Add(
                Quill::Create<Record>(row.key, ValueTypeOf(row.value), usage, flag, row.value, row.key));
}

} // namespace

void GeometryToolBase::AddCurrentRecords(Record& parent, std::uint32_t currentMask, RecordRows rows) const
{
    if (!(currentMask & 0x1))
        return;
    auto image = AddImageRecord(parent, inputImage_, RecordUsageConstants::CurrentInput);
    AddRows(*image, currentMask, rows, RecordUsageConstants::CurrentInteractive, true);
}

std::shared_ptr<Record> GeometryToolBase::AddLastRunInputImageRecord(Record& parent, std::uint32_t diagMask) const
{
    if (!(diagMask & 0x5))
        return nullptr;
    return AddImageRecord(parent, lastRunImage_, RecordUsageConstants::LastRunInput);
}

void GeometryToolBase::AddLastRunRows(Record& image, std::uint32_t diagMask, RecordRows rows)
{
    AddRows(image, diagMask, rows, RecordUsageConstants::LastRunInput, false);
}

std::shared_ptr<Record> GeometryToolBase::AddLastRunRecords(Record& parent, std::uint32_t diagMask,
                                                            RecordRows rows) const
{
    auto image = AddLastRunInputImageRecord(parent, diagMask);
    if (!image || !lastRunImage_)
        return nullptr;
    AddLastRunRows(*image, diagMask, rows);
    return image;
}

} // namespace Ostrel::Vision::Geometry::Implementation
