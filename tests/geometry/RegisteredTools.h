#pragma once
// The library's tools as a host finds them: every class the reflection registry knows as a
// tool of the library, created by its registered name and given good inputs, and what a
// run of one reports (its result and every number of its outputs).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <rttr/type>

#include <Geometry/Implementation/FitBase.h>
#include <Geometry/LibraryInfo.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Graphic.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/ToolBase.h>

namespace RegisteredTools {

using namespace Ostrel;
using namespace Ostrel::Vision;
using ToolPtr = std::shared_ptr<Vision::Implementation::ToolBase>;

// The classes of the library that derive from the framework's tool base and can be created
// by name, as a host finds them.
inline std::vector<std::string> RegisteredToolNames()
{
    (void)Geometry::LibraryVersion();  // keeps the library linked
    std::vector<std::string> names;
    for (const auto& type : rttr::type::get<Vision::Implementation::ToolBase>().get_derived_classes()) {
        const std::string name = type.get_name().to_string();
        if (name.rfind("Ostrel::Vision::Geometry::", 0) == 0 && type.get_constructor().is_valid())
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline ToolPtr CreateByName(const std::string& name)
{
    rttr::variant made = rttr::type::get_by_name(name).create();
    return rttr::instance(made).try_convert<Vision::Implementation::ToolBase>()->SharedFromThisAs<Vision::Implementation::ToolBase>();
}

// A tool's good inputs: its defaults over a small image, and for a fit twelve points on an
// ellipse (its defaults hold none).
inline ToolPtr GoodTool(const std::string& name, const std::shared_ptr<IImage>& image)
{
    auto tool = CreateByName(name);
    tool->Inputs()["InputImage"]->SetValue(tool, rttr::variant(image));
    if (const auto params = rttr::type::get(*tool).get_property("RunParams")) {
        rttr::variant held = params.get_value(*tool);
        auto* fit = rttr::instance(held).try_convert<Geometry::Implementation::FitBase>();
        for (int k = 0; k < 12; ++k)
            fit->AddPoint(30 + 20 * std::cos(0.5 * k), 25 + 12 * std::sin(0.5 * k) + 0.01 * k * k);
    }
    return tool;
}

// The shape a value points to (an invalid instance for anything else).
inline rttr::instance ShapeOf(const rttr::variant& value)
{
    if (!value.get_type().is_wrapper())
        return {};
    const rttr::instance object = rttr::instance(value).get_wrapped_instance();
    return object.is_valid() && object.try_convert<GraphicBase>() ? object : rttr::instance();
}

inline bool IsShape(const rttr::variant& value)
{
    return ShapeOf(value).is_valid();
}

// Every number the value holds: itself, or the double properties of the shape it points to.
inline void CollectNumbers(const rttr::variant& value, std::vector<double>& numbers)
{
    if (value.is_type<double>()) {
        numbers.push_back(value.get_value<double>());
    } else if (const rttr::instance shape = ShapeOf(value); shape.is_valid()) {
        for (const auto& property : shape.get_derived_type().get_properties())
            if (property.get_type() == rttr::type::get<double>())
                numbers.push_back(property.get_value(shape).get_value<double>());
    }
}

// The result of a run and every number of its outputs; an output that refuses to be read
// with the framework's exception (a closest point where shapes cross, the line of a
// zero-length segment) counts in `withoutValue`.
struct Outcome {
    ToolResultConstants result;
    std::vector<double> numbers;
    int withoutValue = 0;
    bool operator==(const Outcome&) const = default;
};

inline Outcome RunAndRead(const ToolPtr& tool)
{
    tool->Run();
    Outcome outcome{tool->RunStatus().Result(), {}};
    if (outcome.result == ToolResultConstants::Accept || outcome.result == ToolResultConstants::Warning)
        for (const auto& pin : tool->Outputs()) {
            try {
                CollectNumbers(pin->GetValue(tool), outcome.numbers);
            } catch (const VisionException&) {
                ++outcome.withoutValue;
            }
        }
    return outcome;
}

} // namespace RegisteredTools
