#pragma once
// Tool pins: a named path from a tool to one of its values, through which a host reads a
// tool's outputs and writes another tool's inputs.
//
// A path is a sequence of steps separated by "." (outside parentheses):
//   "StartX"                     a registered property of the tool;
//   "Segment.StartX"             a property of the object a property holds;
//   "GetOutputSegment()"         a registered method without arguments, whose result may be
//   "GetOutputSegment().CreateLine()"   followed by more steps;
//   "RunParams.SetX(0)"          an indexed fake property of an object that implements
//                                Meta::IHaveFakePropertyMeta: the one whose getter or setter
//                                is named SetX, at index 0.
// Each step is resolved by reflection on the most derived type of the object it reaches
// (shared pointers are followed to their pointee). Reading reads every step; writing reads
// all steps but the last and writes the last: a property through its setter, an indexed
// fake property through its setter. The value written is converted to the property's type.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rttr/type>

#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/KeyedCollection.h>

namespace Ostrel::Vision {

class ToolPin : public Quill::ShareableBase {
public:
    // Parses the path once; throws ArgumentException naming the path and the bad step for
    // a syntax error (an empty path or step, "A..B", "X(", "X(a)", a name that is not an
    // identifier, text after ")").
    ToolPin(ObjectCreateAccessToken, std::string path);

    const std::string& Path() const { return path_; }

    // The value at the end of the path. Throws ArgumentNullException for a null tool,
    // ArgumentException for a step that names nothing known on the object it reaches, and
    // InvalidOperationException for a null object along the way. Exceptions of the getters
    // themselves (a tool without a result, an index out of range) pass through.
    rttr::variant GetValue(const std::shared_ptr<Quill::IObject>& tool) const;

    // Writes `value` at the end of the path. Besides the failures of GetValue: a value
    // that cannot be converted to the target's type gives ArgumentException; a read-only
    // property, a method call as last step, or a step in the middle that yields a copy
    // (writing into it would be lost) gives InvalidOperationException.
    void SetValue(const std::shared_ptr<Quill::IObject>& tool, const rttr::variant& value) const;

private:
    enum class StepKind { Property, Method, Indexed };
    struct Step {
        StepKind kind;
        std::string name;
        int index = -1;
        std::string text;  // the step as written in the path
        // What the step resolved to on the type it last met; pins are read repeatedly on
        // the same tool, so the name lookup is done once per type.
        mutable std::optional<rttr::type> resolvedOn;
        mutable std::optional<rttr::property> property;
        mutable std::optional<rttr::method> method;
    };
    struct Walk;

    void Resolve(const Step& step, const rttr::type& type) const;
    rttr::variant Read(const Step& step, Walk& walk) const;
    void Write(const Step& step, Walk& walk, const rttr::variant& value) const;
    void Descend(const Step& step, Walk& walk, rttr::variant value, bool forWriting) const;
    [[noreturn]] void Fail(const Step& step, const std::string& problem, bool argument = true) const;

    std::string path_;
    std::vector<Step> steps_;

    RTTR_ENABLE(Quill::ShareableBase)
};

struct ToolPinPath {
    const std::string& operator()(const ToolPin& pin) const { return pin.Path(); }
};

// A tool's input or output pins, in the order the tool added them. Paths are unique.
class ToolPinCollection : public Implementation::KeyedCollection<ToolPin, ToolPinPath> {
public:
    // `owner` (may be null) is told of every added pin with `changedFlag`.
    ToolPinCollection(std::string name, Quill::ChangedEventShareableBase* owner, std::uint64_t changedFlag)
        : KeyedCollection(std::move(name)), owner_(owner), changedFlag_(changedFlag) {}

    // Appends a pin; throws ArgumentNullException for a null pin and ArgumentException for
    // a path the collection already holds.
    void Add(std::shared_ptr<ToolPin> pin);
    // Creates the pin for `path` and appends it.
    std::shared_ptr<ToolPin> Add(std::string path);

private:
    Quill::ChangedEventShareableBase* owner_;
    std::uint64_t changedFlag_;
};

} // namespace Ostrel::Vision
