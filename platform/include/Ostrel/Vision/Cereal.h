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
#pragma GCC visibility pop
