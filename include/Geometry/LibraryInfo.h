#pragma once

#include <string>

#include <Geometry/GeometryExport.h>

namespace Ostrel::Vision::Geometry {

// The version of the geometry tool library, "major.minor.patch".
OSTREL_GEOMETRY_API std::string LibraryVersion();

} // namespace Ostrel::Vision::Geometry
