# Objects, events, exceptions, messages, colours.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Objects/Objects.cpp
  src/Objects/Exceptions.cpp
  src/Objects/Strings.cpp
  src/Objects/StatusMapper.cpp
  src/Objects/Registration.cpp)
