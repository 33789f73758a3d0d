# Transforms, coordinate spaces, images.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Spaces/Transform2D.cpp)
