#pragma once
// Reflection metadata on top of RTTR: a registered method that takes no argument.

#include <memory>
#include <string>
#include <vector>

#include <rttr/type>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Vision::Meta {

class MethodMeta : public Quill::ShareableBase {
public:
    // Throws ArgumentException for an invalid method or one that takes arguments.
    MethodMeta(ObjectCreateAccessToken, const rttr::method& method);

    std::string Name() const { return method_.get_name().to_string(); }
    rttr::type ReturnType() const { return method_.get_return_type(); }
    rttr::type DeclaringType() const { return method_.get_declaring_type(); }
    const rttr::method& Method() const { return method_; }

    // Calls the method on `object`. Throws InvalidOperationException when the object is
    // not of the declaring type (or derived from it); the method's own exceptions pass
    // through.
    rttr::variant Invoke(const rttr::instance& object) const;

private:
    rttr::method method_;

    RTTR_ENABLE(Quill::ShareableBase)
};

// The registered methods of `type` (its own and its bases') that take no argument, are not
// static and return a value, in name order (a name registered on both a base and a derived
// class appears once, as the derived class resolves it).
std::vector<std::shared_ptr<MethodMeta>> GetNoArgMethods(const rttr::type& type);

} // namespace Ostrel::Vision::Meta
