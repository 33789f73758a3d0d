# Tools, pins, records and the reflection metadata they resolve through.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Tools/TrackedItemBase.cpp
  src/Tools/ToolBase.cpp
  src/Tools/ToolPin.cpp
  src/Tools/Record.cpp
  src/Tools/Registration.cpp
  src/Meta/ValueConversion.cpp
  src/Meta/MethodMeta.cpp
  src/Meta/FakePropertyMeta.cpp)
