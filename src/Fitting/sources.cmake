# Point lists, fit parameters and fit results over the fitting library, with their archives,
# legacy conversion and reflection.
target_sources(Ostrel.Vision.Geometry PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FitPoints.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitParameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitResultBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitResults.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../Persistence/FitArchive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../Persistence/FitLegacy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../Registration/FitRegistration.cpp)
# The fitting library is linked into the shared geometry library; its point type korm_vect
# appears in the public headers of the point lists, so its headers are public too.
set_property(TARGET korm PROPERTY POSITION_INDEPENDENT_CODE ON)
target_link_libraries(Ostrel.Vision.Geometry PRIVATE korm)
target_include_directories(Ostrel.Vision.Geometry PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/fitting/include>)
