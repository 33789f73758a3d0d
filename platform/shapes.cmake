# Shapes and graphics: the common graphic base and collection, the shapes, their mapping
# by affine transforms, reflection and archive registration.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Shapes/ShapeChecks.cpp
  src/Shapes/ShapeMath.cpp
  src/Shapes/Graphic.cpp
  src/Shapes/Circle.cpp
  src/Shapes/Ellipse.cpp
  src/Shapes/Line.cpp
  src/Shapes/LineSegment.cpp
  src/Shapes/Polygon.cpp
  src/Shapes/PointMarker.cpp
  src/Shapes/CircularArc.cpp
  src/Shapes/GraphicLabel.cpp
  src/Shapes/CompositeShape.cpp
  src/Shapes/Registration.cpp
  src/Shapes/Serialization.cpp)
