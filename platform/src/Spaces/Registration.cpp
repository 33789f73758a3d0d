// Reflection and archive registration of transforms, coordinate spaces and images.
#include <rttr/registration>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Transform2D.h>
#include <Ostrel/Vision/Transform2DComposed.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision;
    using rttr::registration;
    using rttr::select_overload;

    registration::class_<Transform2D>("Ostrel::Vision::Transform2D")
        .method("LinearTransform", &Transform2D::LinearTransform)
        .method("Inverse", &Transform2D::Inverse)
        .method("IsLinear", &Transform2D::IsLinear)
        .method("Compose", &Transform2D::Compose);
    registration::class_<Transform2DLinear>("Ostrel::Vision::Transform2DLinear")
        .property_readonly("A", &Transform2DLinear::A)
        .property_readonly("B", &Transform2DLinear::B)
        .property_readonly("C", &Transform2DLinear::C)
        .property_readonly("D", &Transform2DLinear::D)
        .property_readonly("TX", &Transform2DLinear::TX)
        .property_readonly("TY", &Transform2DLinear::TY)
        .property_readonly("Determinant", &Transform2DLinear::Determinant)
        .method("Determinant", &Transform2DLinear::Determinant)
        .method("InverseLinear", &Transform2DLinear::InverseLinear)
        .method("IsFinite", &Transform2DLinear::IsFinite)
        .method("MapAngle", &Transform2DLinear::MapAngle);
    registration::class_<Transform2DComposed>("Ostrel::Vision::Transform2DComposed")
        .property_readonly("Outer", &Transform2DComposed::Outer)
        .property_readonly("Inner", &Transform2DComposed::Inner);
    registration::class_<Transform2DLensDistortion>("Ostrel::Vision::Transform2DLensDistortion")
        .property_readonly("CenterX", &Transform2DLensDistortion::CenterX)
        .property_readonly("CenterY", &Transform2DLensDistortion::CenterY)
        .property_readonly("NormalizingRadius", &Transform2DLensDistortion::NormalizingRadius)
        .property_readonly("K1", &Transform2DLensDistortion::K1)
        .property_readonly("K2", &Transform2DLensDistortion::K2)
        .property_readonly("P1", &Transform2DLensDistortion::P1)
        .property_readonly("P2", &Transform2DLensDistortion::P2)
        .property_readonly("IsInverse", &Transform2DLensDistortion::IsInverse);

    registration::class_<CoordinateSpaceTree>("Ostrel::Vision::CoordinateSpaceTree")
        .property_readonly("Count", &CoordinateSpaceTree::Count)
        .property_readonly("SpaceNames", &CoordinateSpaceTree::SpaceNames)
        .method("Count", &CoordinateSpaceTree::Count)
        .method("SpaceNames", &CoordinateSpaceTree::SpaceNames)
        .method("Copy", &CoordinateSpaceTree::Copy)
        .method("AddSpace", select_overload<std::string(const std::string&, const std::string&,
                                                        const std::shared_ptr<const Transform2D>&)>(
                                &CoordinateSpaceTree::AddSpace))
        .method("GetTransform", &CoordinateSpaceTree::GetTransform)
        .method("LookUpName", &CoordinateSpaceTree::LookUpName)
        .method("ResolvePartialName", &CoordinateSpaceTree::ResolvePartialName)
        .method("ChildFromParent", &CoordinateSpaceTree::ChildFromParent);

    registration::enumeration<ImageCopyConstants>("Ostrel::Vision::ImageCopyConstants")(
        rttr::value("Shallow", ImageCopyConstants::Shallow), rttr::value("Pixels", ImageCopyConstants::Pixels),
        rttr::value("CoordinateSpaceTree", ImageCopyConstants::CoordinateSpaceTree),
        rttr::value("All", ImageCopyConstants::All));
    registration::class_<IImage>("Ostrel::Vision::IImage")
        .property_readonly("Width", &IImage::Width)
        .property_readonly("Height", &IImage::Height)
        .property("CoordinateSpaceTree", &IImage::CoordinateSpaceTree, &IImage::setCoordinateSpaceTree)
        .property("SelectedSpaceName", &IImage::SelectedSpaceName, &IImage::setSelectedSpaceName)
        .method("Width", &IImage::Width)
        .method("Height", &IImage::Height)
        .method("CoordinateSpaceTree", &IImage::CoordinateSpaceTree)
        .method("SelectedSpaceName", &IImage::SelectedSpaceName)
        .method("Copy", &IImage::Copy)
        .method("ResolveSpaceName", &IImage::ResolveSpaceName)
        .method("GetTransform", &IImage::GetTransform)
        .method("TransformToImage", &IImage::TransformToImage)
        .method("LinearTransformToImage", &IImage::LinearTransformToImage);
    registration::class_<Image8Grey>("Ostrel::Vision::Image8Grey")
        .method("At", &Image8Grey::At)
        .method("SetPixel", &Image8Grey::SetPixel)
        .method("Fill", &Image8Grey::Fill);

    registration::method("Ostrel::Vision::SpaceNameUtils::CheckSpaceNameSyntax",
                         select_overload<void(const std::string&, bool)>(&SpaceNameUtils::CheckSpaceNameSyntax));
    registration::method("Ostrel::Vision::SpaceNameUtils::ImageSpaceNameFQ",
                         select_overload<std::string(const IImage&)>(&SpaceNameUtils::ImageSpaceNameFQ));
}

CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Transform2DLinear, "Ostrel::Vision::Transform2DLinear")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Transform2DComposed, "Ostrel::Vision::Transform2DComposed")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Transform2DLensDistortion,
                               "Ostrel::Vision::Transform2DLensDistortion")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::CoordinateSpaceTree, "Ostrel::Vision::CoordinateSpaceTree")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Image8Grey, "Ostrel::Vision::Image8Grey")

CEREAL_CLASS_VERSION(Ostrel::Vision::Transform2DLinear, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::Transform2DComposed, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::Transform2DLensDistortion, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::CoordinateSpaceTree, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::IImage, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::Image8Grey, 1)

CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, Ostrel::Quill::ShareableBase)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::ShareableBase, Ostrel::Vision::Transform2D)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Transform2D, Ostrel::Vision::Transform2DLinear)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Transform2D, Ostrel::Vision::Transform2DComposed)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Transform2D, Ostrel::Vision::Transform2DLensDistortion)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::ShareableBase, Ostrel::Vision::CoordinateSpaceTree)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::ShareableBase, Ostrel::Vision::IImage)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::IImage, Ostrel::Vision::Image8Grey)
