#include <algorithm>
#include <map>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Meta/MethodMeta.h>

namespace Ostrel::Vision::Meta {

MethodMeta::MethodMeta(ObjectCreateAccessToken, const rttr::method& method) : method_(method)
{
    if (!method_.is_valid())
        throw ArgumentException("MethodMeta needs a registered method.");
    if (!method_.get_parameter_infos().empty())
        throw ArgumentException("MethodMeta describes methods without arguments; " +
                                method_.get_name().to_string() + " takes arguments.");
}

rttr::variant MethodMeta::Invoke(const rttr::instance& object) const
{
    rttr::variant result = method_.invoke(object);
    if (!result.is_valid())
        throw InvalidOperationException("The method " + Name() + " of " +
                                        DeclaringType().get_name().to_string() +
                                        " cannot be called on this object.");
    return result;
}

std::vector<std::shared_ptr<MethodMeta>> GetNoArgMethods(const rttr::type& type)
{
    // By name: the order does not depend on how registration is split between classes,
    // and a name that a derived class registers again appears once.
    std::map<std::string, rttr::method, std::less<>> byName;
    for (const auto& method : type.get_methods()) {
        if (method.is_static() || !method.get_parameter_infos().empty() ||
            method.get_return_type() == rttr::type::get<void>())
            continue;
        const auto name = method.get_name().to_string();
        if (byName.count(name) == 0)
            byName.emplace(name, type.get_method(method.get_name(), {}));
    }
    std::vector<std::shared_ptr<MethodMeta>> methods;
    methods.reserve(byName.size());
    for (const auto& entry : byName)
        methods.push_back(Quill::Create<MethodMeta>(entry.second));
    return methods;
}

} // namespace Ostrel::Vision::Meta
