#pragma once
// The cereal headers used by framework and library archives, included with default symbol
// visibility: cereal's polymorphic registration lives in function-local statics that must
// be one object across shared libraries, also in a library built with hidden visibility.

#pragma GCC visibility push(default)
#include <cereal/archives/portable_binary.hpp>
#include <cereal/cereal.hpp>
#include <cereal/types/base_class.hpp>
#include <cereal/types/memory.hpp>
#include <cereal/types/polymorphic.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/utility.hpp>
#include <cereal/types/vector.hpp>

namespace cereal {
// Every length read from an input archive is checked against the bytes left in the stream
// (defined with the archive classes). Declared here so that every archive of the
// framework and the library reads lengths through it: include cereal only through this
// header.
void serialize(PortableBinaryInputArchive& ar, SizeTag<size_type&>& tag);
} // namespace cereal
#pragma GCC visibility pop
