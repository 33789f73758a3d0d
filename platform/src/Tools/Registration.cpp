// Reflection and archive registration of the tool model and its metadata.
#include <rttr/registration>

#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Meta/FakePropertyMeta.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/Meta/MethodMeta.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/RecordConstructor.h>
#include <Ostrel/Vision/RunStatus.h>
#include <Ostrel/Vision/ToolBase.h>
#include <Ostrel/Vision/ToolPin.h>
#include <Ostrel/Vision/ToolResultConstants.h>
#include <Ostrel/Vision/TrackedItemBase.h>

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision;
    using rttr::registration;
    using rttr::value;

    registration::enumeration<ToolResultConstants>("Ostrel::Vision::ToolResultConstants")(
        value("Accept", ToolResultConstants::Accept), value("Warning", ToolResultConstants::Warning),
        value("Reject", ToolResultConstants::Reject), value("Error", ToolResultConstants::Error));
    registration::enumeration<RecordUsageConstants>("Ostrel::Vision::RecordUsageConstants")(
        value("None", RecordUsageConstants::None), value("Container", RecordUsageConstants::Container),
        value("CurrentInteractive", RecordUsageConstants::CurrentInteractive),
        value("CurrentInput", RecordUsageConstants::CurrentInput),
        value("LastRunInput", RecordUsageConstants::LastRunInput),
        value("LastRunResult", RecordUsageConstants::LastRunResult));

    registration::class_<ToolRunStatus>("Ostrel::Vision::ToolRunStatus")
        .property_readonly("Result", &ToolRunStatus::Result)
        .property_readonly("Message", &ToolRunStatus::Message)
        .property_readonly("Exception", &ToolRunStatus::Exception)
        .property_readonly("ProcessingTime", &ToolRunStatus::ProcessingTime);

    registration::class_<Implementation::ITrackingCollectionTrackedItem>(
        "Ostrel::Vision::Implementation::ITrackingCollectionTrackedItem");
    registration::class_<ITool>("Ostrel::Vision::ITool");
    registration::class_<Implementation::TrackedItemBase>("Ostrel::Vision::Implementation::TrackedItemBase")
        .property("Name", &Implementation::TrackedItemBase::Name, &Implementation::TrackedItemBase::setName);
    registration::class_<Implementation::ToolBase>("Ostrel::Vision::Implementation::ToolBase")
        .property("Enabled", &Implementation::ToolBase::Enabled, &Implementation::ToolBase::setEnabled)
        .property("ImageRetentionMask", &Implementation::ToolBase::ImageRetentionMask,
                  &Implementation::ToolBase::setImageRetentionMask)
        .property_readonly("RunStatus", &Implementation::ToolBase::RunStatus)
        .method("Run", &Implementation::ToolBase::Run)
        .method("CreateCurrentRecord", &Implementation::ToolBase::CreateCurrentRecord)
        .method("CreateLastRunRecord", &Implementation::ToolBase::CreateLastRunRecord);

    registration::class_<ToolPin>("Ostrel::Vision::ToolPin").property_readonly("Path", &ToolPin::Path);

    registration::class_<IRecordConstructor>("Ostrel::Vision::IRecordConstructor");
    registration::class_<Record>("Ostrel::Vision::Record")
        .property_readonly("Key", &Record::Key)
        .property_readonly("ValueType", &Record::ValueType)
        .property_readonly("Usage", &Record::Usage)
        .property_readonly("Flag", &Record::Flag)
        .property("Annotation", &Record::Annotation, &Record::setAnnotation)
        .property_readonly("Value", &Record::Value)
        .property("Content", &Record::Content, &Record::setContent);

    registration::class_<Meta::IHaveFakePropertyMeta>("Ostrel::Vision::Meta::IHaveFakePropertyMeta");
    registration::class_<Meta::MethodMeta>("Ostrel::Vision::Meta::MethodMeta")
        .property_readonly("Name", &Meta::MethodMeta::Name)
        .property_readonly("ReturnType", &Meta::MethodMeta::ReturnType)
        .property_readonly("DeclaringType", &Meta::MethodMeta::DeclaringType);
    registration::class_<Meta::FakePropertyMeta>("Ostrel::Vision::Meta::FakePropertyMeta")
        .property_readonly("DisplayName", &Meta::FakePropertyMeta::DisplayName)
        .property_readonly("GetterName", &Meta::FakePropertyMeta::GetterName)
        .property_readonly("SetterName", &Meta::FakePropertyMeta::SetterName)
        .property_readonly("Index", &Meta::FakePropertyMeta::Index)
        .property_readonly("ValueType", &Meta::FakePropertyMeta::ValueType)
        .property_readonly("IsReadOnly", &Meta::FakePropertyMeta::IsReadOnly);
}

// ToolBase is abstract: only its relation to IObject is registered, so that a tool's own
// relation to ToolBase (or to a base in between) chains up to IObject.
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, Ostrel::Vision::Implementation::ToolBase)
