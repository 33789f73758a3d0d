#pragma once
// Null pointers among reflected values.

#include <rttr/variant.h>

namespace Ostrel::Vision::Meta {

// Whether a value of pointer or shared-pointer type holds no object. Such a value must not
// be made into an `rttr::instance`: reflection would dereference the null pointer to find
// the object's type.
bool IsNullPointer(const rttr::variant& value);

} // namespace Ostrel::Vision::Meta
