#pragma once
// The class versions of the library's archived classes, in one place: every class writes
// version 1 and its loader accepts only that. A class whose layout changes gets its own
// specialisation of ClassVersion here (and a loader for what it wrote before).

#include <cstdint>

#include <cereal/cereal.hpp>

namespace Ostrel::Vision::Geometry::Persistence {

template <class T>
inline constexpr std::uint32_t ClassVersion = 1;

} // namespace Ostrel::Vision::Geometry::Persistence

// Gives a class its version with cereal. At global scope in the file that archives the
// class, before its serialize is defined; the class must be complete there.
#define OSTREL_GEOMETRY_CLASS_VERSION(Class)                                                                        \
    CEREAL_CLASS_VERSION(Ostrel::Vision::Geometry::Class,                                                           \
                         Ostrel::Vision::Geometry::Persistence::ClassVersion<Ostrel::Vision::Geometry::Class>)
