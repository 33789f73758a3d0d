#include <cctype>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Meta/FakePropertyMeta.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/ToolPin.h>

#include "../Meta/ValueConversion.h"

namespace Ostrel::Vision {

namespace {

bool IsIdentifierStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentifierPart(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

[[noreturn]] void SyntaxError(const std::string& path, const std::string& problem)
{
    throw ArgumentException("Invalid pin path \"" + path + "\": " + problem);
}

std::string TypeName(const rttr::type& type)
{
    return type.get_name().to_string();
}

// Largest index accepted in a path, so that the digits always fit an int.
constexpr std::size_t MaxIndexDigits = 9;

} // namespace

// The object the next step applies to, and the value that keeps it alive.
struct ToolPin::Walk {
    rttr::variant holder;
    std::optional<rttr::instance> object;
};

ToolPin::ToolPin(ObjectCreateAccessToken, std::string path) : path_(std::move(path))
{
    if (path_.empty())
        SyntaxError(path_, "the path is empty.");
    std::size_t pos = 0;
    for (int number = 1;; ++number) {
        const std::size_t start = pos;
        const std::string ordinal = "step " + std::to_string(number);
        if (pos == path_.size() || path_[pos] == '.')
            SyntaxError(path_, ordinal + " is empty.");
        if (!IsIdentifierStart(path_[pos]))
            SyntaxError(path_, ordinal + " starts with '" + path_[pos] + "', not with a name.");
        while (pos < path_.size() && IsIdentifierPart(path_[pos]))
            ++pos;
        Step step;
        step.kind = StepKind::Property;
        step.name = path_.substr(start, pos - start);
        if (pos < path_.size() && path_[pos] == '(') {
            const std::size_t close = path_.find(')', pos);
            if (close == std::string::npos)
                SyntaxError(path_, "the '(' of " + ordinal + " is not closed.");
            const std::string inside = path_.substr(pos + 1, close - pos - 1);
            if (inside.empty()) {
                step.kind = StepKind::Method;
            } else {
                if (inside.size() > MaxIndexDigits ||
                    inside.find_first_not_of("0123456789") != std::string::npos)
                    SyntaxError(path_, "the index \"" + inside + "\" of " + ordinal +
                                           " is not a non-negative whole number.");
                step.kind = StepKind::Indexed;
                step.index = std::stoi(inside);
            }
            pos = close + 1;
        }
        step.text = path_.substr(start, pos - start);
        steps_.push_back(std::move(step));
        if (pos == path_.size())
            break;
        if (path_[pos] != '.')
            SyntaxError(path_, "unexpected '" + std::string(1, path_[pos]) + "' after " + ordinal + ".");
        ++pos;
    }
}

void ToolPin::Fail(const Step& step, const std::string& problem, bool argument) const
{
    const std::string message = "Pin path \"" + path_ + "\", step \"" + step.text + "\": " + problem;
    if (argument)
        throw ArgumentException(message);
    throw InvalidOperationException(message);
}

rttr::variant ToolPin::GetValue(const std::shared_ptr<Quill::IObject>& tool) const
{
    if (!tool)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"tool"}) +
                                    " (pin path \"" + path_ + "\")");
    Walk walk;
    walk.object.emplace(*tool);
    for (std::size_t i = 0;; ++i) {
        rttr::variant value = Read(steps_[i], walk);
        if (i + 1 == steps_.size())
            return value;
        Descend(steps_[i], walk, std::move(value), false);
    }
}

void ToolPin::SetValue(const std::shared_ptr<Quill::IObject>& tool, const rttr::variant& value) const
{
    if (!tool)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"tool"}) +
                                    " (pin path \"" + path_ + "\")");
    Walk walk;
    walk.object.emplace(*tool);
    for (std::size_t i = 0; i + 1 < steps_.size(); ++i)
        Descend(steps_[i], walk, Read(steps_[i], walk), true);
    Write(steps_.back(), walk, value);
}

// Moves the walk onto the object a step yielded: the pointee of a shared or raw pointer,
// or, when only reading, a value held by the variant itself.
void ToolPin::Descend(const Step& step, Walk& walk, rttr::variant value, bool forWriting) const
{
    if (!value.is_valid())
        Fail(step, "yields no value.", false);
    walk.holder = std::move(value);
    const rttr::type type = walk.holder.get_type();
    if (type.is_wrapper() || type.is_pointer()) {
        if (Meta::Private::IsNullPointer(walk.holder))
            Fail(step, "is null, so the path cannot go on.", false);
    } else if (forWriting) {
        Fail(step, "yields a copy of " + TypeName(type) + "; a value written into it would be lost.", false);
    }
    walk.object.emplace(type.is_wrapper() ? rttr::instance(walk.holder).get_wrapped_instance()
                                          : rttr::instance(walk.holder));
}

namespace {

// The fake property a "Name(k)" or "Name()" step designates on an object that lists fake
// properties; an index the object does not list is tried through the method pair of the
// same name, so that the object reports the bad index itself.
std::shared_ptr<Meta::FakePropertyMeta> FindFakeProperty(const Meta::IHaveFakePropertyMeta& owner,
                                                         const std::string& name, int index)
{
    std::shared_ptr<Meta::FakePropertyMeta> sameMethods;
    for (const auto& fake : owner.GetFakeProperties()) {
        if (fake->GetterName() != name && fake->SetterName() != name)
            continue;
        if (fake->Index() == index)
            return fake;
        if (!sameMethods && index >= 0 && fake->Index() >= 0)
            sameMethods = fake;
    }
    return sameMethods ? sameMethods->WithIndex(index) : nullptr;
}

} // namespace

void ToolPin::Resolve(const Step& step, const rttr::type& type) const
{
    if (step.resolvedOn && *step.resolvedOn == type)
        return;
    step.property.reset();
    step.method.reset();
    if (step.kind == StepKind::Property) {
        if (auto property = type.get_property(step.name))
            step.property = property;
    } else if (step.kind == StepKind::Method) {
        if (auto method = type.get_method(step.name, {}))
            step.method = method;
    }
    step.resolvedOn = type;
}

rttr::variant ToolPin::Read(const Step& step, Walk& walk) const
{
    const rttr::instance& object = *walk.object;
    const rttr::type type = object.get_derived_type();
    Resolve(step, type);

    if (step.kind == StepKind::Property) {
        if (!step.property) {
            const bool isMethod = type.get_method(step.name).is_valid();
            Fail(step, TypeName(type) + " has no property \"" + step.name + "\"" +
                           (isMethod ? " (it has a method of that name: call it with \"()\")." : "."));
        }
        rttr::variant value = step.property->get_value(object);
        if (!value.is_valid())
            Fail(step, "the property cannot be read from " + TypeName(type) + ".", false);
        return value;
    }
    if (step.method) {
        rttr::variant value = step.method->invoke(object);
        if (!value.is_valid())
            Fail(step, "the method cannot be called on " + TypeName(type) + ".", false);
        return value;
    }
    const auto* quillObject = object.try_convert<Quill::IObject>();
    const auto* owner = dynamic_cast<const Meta::IHaveFakePropertyMeta*>(quillObject);
    const auto fake = owner ? FindFakeProperty(*owner, step.name, step.index) : nullptr;
    if (!fake)
        Fail(step, TypeName(type) + (step.kind == StepKind::Method
                                         ? " has no method \"" + step.name + "\" without arguments."
                                         : " has no indexed property \"" + step.name + "\"."));
    return fake->Get(object);
}

void ToolPin::Write(const Step& step, Walk& walk, const rttr::variant& value) const
{
    const rttr::instance& object = *walk.object;
    const rttr::type type = object.get_derived_type();
    if (step.kind == StepKind::Method)
        Fail(step, "the result of a method call cannot be written.", false);

    if (step.kind == StepKind::Property) {
        Resolve(step, type);
        if (!step.property)
            Fail(step, TypeName(type) + " has no property \"" + step.name + "\".");
        const rttr::property& property = *step.property;
        if (property.is_readonly())
            Fail(step, "the property \"" + step.name + "\" of " + TypeName(type) + " is read-only.", false);
        const auto converted = Meta::Private::ConvertForWrite(value, property.get_type());
        if (!converted)
            Fail(step, Meta::Private::DescribeValue(value) + " cannot be written to a property of type " +
                           TypeName(property.get_type()) + ".");
        if (!property.set_value(object, *converted))
            Fail(step, "the property cannot be written on " + TypeName(type) + ".", false);
        return;
    }

    const auto* quillObject = object.try_convert<Quill::IObject>();
    const auto* owner = dynamic_cast<const Meta::IHaveFakePropertyMeta*>(quillObject);
    const auto fake = owner ? FindFakeProperty(*owner, step.name, step.index) : nullptr;
    if (!fake)
        Fail(step, TypeName(type) + " has no indexed property \"" + step.name + "\".");
    if (fake->IsReadOnly())
        Fail(step, "the indexed property " + fake->DisplayName() + " of " + TypeName(type) + " is read-only.", false);
    if (!Meta::Private::ConvertForWrite(value, fake->ValueType()))
        Fail(step, Meta::Private::DescribeValue(value) + " cannot be written to an indexed property of type " +
                       TypeName(fake->ValueType()) + ".");
    fake->Set(object, value);
}

void ToolPinCollection::Add(std::shared_ptr<ToolPin> pin)
{
    if (pin && Contains(pin->Path()))
        throw ArgumentException(CollectionName() + " already holds a pin with the path \"" + pin->Path() + "\".");
    Append(std::move(pin));
    if (owner_)
        owner_->OnChanged_(changedFlag_);
}

std::shared_ptr<ToolPin> ToolPinCollection::Add(std::string path)
{
    auto pin = Quill::Create<ToolPin>(std::move(path));
    Add(pin);
    return pin;
}

} // namespace Ostrel::Vision
