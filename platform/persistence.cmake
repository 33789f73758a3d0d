# Archives and the legacy converter.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Persistence/Archive.cpp
  src/Persistence/Legacy.cpp
  src/Persistence/LegacyShapes.cpp
  src/Persistence/LegacyTable.cpp)

