#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
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
    if (imageRetentionMask & 0x4)
        lastRunImage_ = inputImage_->Copy(static_cast<std::uint32_t>(ImageCopyConstants::All));
    else if (imageRetentionMask & 0x1)
        lastRunImage_ = inputImage_;
    imageSpaceName_ = SpaceNameUtils::ImageSpaceNameFQ(*inputImage_);
}

std::shared_ptr<PointMarker> GeometryToolBase::CreateInputMarker(double x, double y, std::uint32_t argb)
{
    auto marker = Quill::Create<PointMarker>();
    marker->setGraphicDOFEnable(static_cast<std::uint32_t>(PointMarkerDOFConstants::Position));
    marker->setInteractive(true);
    marker->SetCenterRotationSize(x, y, 0, 11);
    marker->setColor(Color32::FromUInt32(argb));
    return marker;
}

void GeometryToolBase::ThrowNoResult()
{
    throw ToolNoResultException(std::string(Strings::E_OstTool_NoResult));
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

namespace {

template <class T>
rttr::type ValueTypeOf(const std::shared_ptr<T>& value)
{
    return value ? rttr::type::get(*value) : rttr::type::get<T>();
}

void AddRow(Record& parent, const std::string& key, const std::shared_ptr<Quill::IObject>& value,
            rttr::type valueType, RecordUsageConstants usage, bool flag)
{
    parent.SubRecords().Add(Quill::Create<Record>(key, valueType, usage, flag, value, key));
}

} // namespace

std::shared_ptr<Record> GeometryToolBase::AddCurrentInputImageRecord(Record& parent, std::uint32_t currentMask) const
{
    if (!(currentMask & 0x1))
        return nullptr;
    auto record = Quill::Create<Record>("InputImage", ValueTypeOf(inputImage_), RecordUsageConstants::CurrentInput,
                                        false, inputImage_, "InputImage");
    parent.SubRecords().Add(record);
    return record;
}

std::shared_ptr<Record> GeometryToolBase::AddLastRunInputImageRecord(Record& parent, std::uint32_t diagMask) const
{
    if (!(diagMask & 0x5))
        return nullptr;
    auto record = Quill::Create<Record>("InputImage", ValueTypeOf(lastRunImage_), RecordUsageConstants::LastRunInput,
                                        false, lastRunImage_, "InputImage");
    parent.SubRecords().Add(record);
    return record;
}

void GeometryToolBase::AddCurrentGraphicRecord(Record& parent, const std::string& key,
                                               const std::shared_ptr<Quill::IObject>& graphic)
{
    AddRow(parent, key, graphic, ValueTypeOf(graphic), RecordUsageConstants::CurrentInteractive, true);
}

void GeometryToolBase::AddLastRunInputRecord(Record& parent, const std::string& key,
                                             const std::shared_ptr<Quill::IObject>& value)
{
    AddRow(parent, key, value, ValueTypeOf(value), RecordUsageConstants::LastRunInput, false);
}

} // namespace Ostrel::Vision::Geometry::Implementation
