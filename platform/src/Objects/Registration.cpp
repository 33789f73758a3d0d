// Reflection of the object model and the exception hierarchy.
#include <rttr/registration>

#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/Exceptions.h>

RTTR_REGISTRATION
{
    using namespace Ostrel;
    using namespace Ostrel::Vision;
    rttr::registration::class_<Quill::IObject>("Ostrel::Quill::IObject");
    rttr::registration::class_<Quill::ObjectBase>("Ostrel::Quill::ObjectBase");
    rttr::registration::class_<Quill::ShareableBase>("Ostrel::Quill::ShareableBase")
        .method("ToString", &Quill::ShareableBase::ToString);
    rttr::registration::class_<Quill::IChangedEvent>("Ostrel::Quill::IChangedEvent");
    rttr::registration::class_<Quill::ChangedEventShareableBase>("Ostrel::Quill::ChangedEventShareableBase");
    rttr::registration::class_<Quill::IException>("Ostrel::Quill::IException");
    rttr::registration::class_<VisionException>("Ostrel::Vision::VisionException")
        .property_readonly("Message", &VisionException::Message)
        .property_readonly("Code", &VisionException::Code);
    rttr::registration::class_<ArgumentException>("Ostrel::Vision::ArgumentException");
    rttr::registration::class_<ArgumentNullException>("Ostrel::Vision::ArgumentNullException");
    rttr::registration::class_<ArgumentOutOfRangeException>("Ostrel::Vision::ArgumentOutOfRangeException");
    rttr::registration::class_<InvalidOperationException>("Ostrel::Vision::InvalidOperationException");
    rttr::registration::class_<ShapeException>("Ostrel::Vision::ShapeException");
    rttr::registration::class_<SerializationException>("Ostrel::Vision::SerializationException");
    rttr::registration::class_<InternalErrorException>("Ostrel::Vision::InternalErrorException");
    rttr::registration::class_<ToolNoResultException>("Ostrel::Vision::ToolNoResultException");
    rttr::registration::class_<ToolNoOperatorException>("Ostrel::Vision::ToolNoOperatorException");
    rttr::registration::class_<OperatorNoInputImageException>("Ostrel::Vision::OperatorNoInputImageException");
}
