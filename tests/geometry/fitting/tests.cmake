# Fit parameters and results.
ostrel_add_test(GeometryFitTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FitParametersTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitResultsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FitPersistenceTest.cpp)
