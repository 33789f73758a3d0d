# Archives and the legacy converter.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Persistence/Archive.cpp)
