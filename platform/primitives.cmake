# Low-level geometry primitives: point, line, segment, circle and ellipse values, their
# distances and intersections, polylines, angles, and the failure type with its mapper.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Primitives/PrimitiveFailure.cpp
  src/Primitives/Geometry2D.cpp
  src/Primitives/TarnEllipse.cpp
  src/Primitives/EllipseMap.cpp
  src/Primitives/RoundDistances.cpp
  src/Primitives/Intersections.cpp
  src/Primitives/EllipseEllipse.cpp
  src/Primitives/EllipseCrossings.cpp
  src/Primitives/EllipseSupport.cpp
  src/Primitives/EllipseSampling.cpp
  src/Primitives/Polyline.cpp
  src/Primitives/Angles.cpp)
