# The geometry computations of MathUtils (beyond the point-pair functions).
target_sources(Ostrel.Vision.Geometry PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ShapeValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Distances.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Intersections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Constructions.cpp)
