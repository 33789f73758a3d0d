#pragma once
// Fake properties: a method pair read and written as if it were a property, so that a pin
// path or a display can address it. "GetLine()" is the fake property of a method without
// arguments; "GetX(3)" reads point 3 through GetX(int) and writes it through SetX(int,
// value). A fake property's display name is exactly the step a pin path uses for it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rttr/type>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Vision::Meta {

class FakePropertyMeta : public Quill::ShareableBase {
public:
    // getter: returns the value and takes the index (index >= 0) or nothing (index -1).
    // setter (optional): takes the index and the value (index >= 0) or the value alone.
    // Throws ArgumentException when a method does not fit that shape.
    FakePropertyMeta(ObjectCreateAccessToken, const rttr::method& getter, std::optional<rttr::method> setter,
                     int index);

    // "GetX(3)" for an indexed fake property, "GetLine()" for a method without arguments.
    const std::string& DisplayName() const { return displayName_; }
    const std::string& GetterName() const { return getterName_; }
    // Empty for a read-only fake property.
    const std::string& SetterName() const { return setterName_; }
    int Index() const { return index_; }
    rttr::type ValueType() const { return getter_.get_return_type(); }
    bool IsReadOnly() const { return !setter_.has_value(); }

    // Reads through the getter. Throws InvalidOperationException when the object is not of
    // the getter's class; the getter's own exceptions (an index out of range) pass through.
    rttr::variant Get(const rttr::instance& object) const;
    // Converts the value to the setter's parameter type and writes it. Throws
    // InvalidOperationException for a read-only fake property or an object of another
    // class, ArgumentException for a value that cannot be converted.
    void Set(const rttr::instance& object, const rttr::variant& value) const;

    // The same method pair at another index (used to reach an index the object does not
    // list, so that the object itself reports the bad index). Throws
    // InvalidOperationException on a fake property without an index.
    std::shared_ptr<FakePropertyMeta> WithIndex(int index) const;

private:
    rttr::variant ConvertIndex(const rttr::method& method) const;

    rttr::method getter_;
    std::optional<rttr::method> setter_;
    int index_;
    std::string getterName_;
    std::string setterName_;
    std::string displayName_;

    RTTR_ENABLE(Quill::ShareableBase)
};

using FakePropertyList = std::vector<std::shared_ptr<FakePropertyMeta>>;

// One read-only fake property per method of GetNoArgMethods(type), in the same (name) order.
FakePropertyList GetFakePropertiesForNoArgMethods(const rttr::type& type);

// Appends, for i = 0 .. count-1, the fake property "getterName(i)" read through
// getterName(int) and written through setterName(int, value) (read-only when setterName is
// empty). Throws InvalidOperationException when `type` has no such registered methods.
void AppendIndexedFakeProperties(FakePropertyList& properties, const rttr::type& type, std::string_view getterName,
                                 std::string_view setterName, int count);

} // namespace Ostrel::Vision::Meta
