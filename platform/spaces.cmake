# Transforms, coordinate spaces, images.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Spaces/Transform2D.cpp
  src/Spaces/Transform2DLensDistortion.cpp
  src/Spaces/SpaceNameUtils.cpp
  src/Spaces/CoordinateSpaceTree.cpp
  src/Spaces/Image.cpp
  src/Spaces/Registration.cpp)
