#include "Exercise.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <rttr/type>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/Meta/NullPointer.h>

namespace FuzzSupport {

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using Geometry::Implementation::GeometryToolBase;

// How far CheckNumbers follows objects reported by other objects (a result's circle, a
// tool's image): far enough for every shape a result holds, and no cycles.
constexpr int maxDepth = 2;

void CheckValue(const rttr::variant& value, const std::string& name, int depth);

// Inputs that hold a NaN by design: the label tool prints its double input, and a NaN
// prints as "nan". Such a value is the user's, not a measurement.
bool MayHoldNaN(const rttr::type& type, const rttr::property& property)
{
    return type.get_name() == "Ostrel::Vision::Geometry::CreateGraphicLabelTool" && property.get_name() == "InputDouble";
}

// Every number the object reports through its reflected properties and fake properties
// (GetDistance(i), GetCircle(), ...), and those of the objects it reports, must be finite.
// A getter may refuse with a VisionException (an output without a result).
void CheckNumbers(const rttr::instance& object, int depth)
{
    const rttr::type type = object.get_derived_type();
    for (const auto& property : type.get_properties()) {
        if (MayHoldNaN(type, property))
            continue;
        try {
            CheckValue(property.get_value(object), property.get_name().to_string(), depth);
        } catch (const VisionException&) {
        }
    }
    const auto* fake = object.try_convert<Meta::IHaveFakePropertyMeta>();
    if (fake == nullptr)
        return;
    for (const auto& property : fake->GetFakeProperties()) {
        try {
            CheckValue(property->Get(object), property->DisplayName(), depth);
        } catch (const VisionException&) {
        }
    }
}

void CheckValue(const rttr::variant& value, const std::string& name, int depth)
{
    if (value.is_type<double>() && !std::isfinite(value.get_value<double>()))
        Finding("a reported number is not finite", name.c_str());
    if (value.is_type<float>() && !std::isfinite(value.get_value<float>()))
        Finding("a reported number is not finite", name.c_str());
    if (depth < maxDepth && value.get_type().is_wrapper() && value.get_type().get_wrapped_type().is_class() &&
        !Meta::IsNullPointer(value)) {
        rttr::variant held = value;
        const rttr::instance inner(held);
        if (inner.is_valid())
            CheckNumbers(inner, depth + 1);
    }
}

template <class Fit> bool ExecuteIf(const std::shared_ptr<Quill::IObject>& object)
{
    const auto fit = std::dynamic_pointer_cast<Fit>(object);
    if (!fit)
        return false;
    try {
        const auto result = fit->Execute("#");
        CheckNumbers(*result, 0);
    } catch (const InternalErrorException& e) {
        Finding("fit: internal error", e.what());
    } catch (const VisionException&) {
    }
    return true;
}

void RunTool(GeometryToolBase& tool)
{
    if (!tool.InputImage())
        tool.setInputImage(Quill::Create<Image8Grey>(64, 48));
    tool.Run();
    const auto result = tool.RunStatus().Result();
    if (result == ToolResultConstants::Accept || result == ToolResultConstants::Warning)
        CheckNumbers(tool, 0);
    tool.CreateCurrentRecord();
    tool.CreateLastRunRecord();
}

} // namespace

void Finding(const char* what, const char* detail)
{
    std::fprintf(stderr, "FINDING: %s: %s\n", what, detail);
    std::fflush(stderr);
    std::abort();
}

void Exercise(const std::shared_ptr<Quill::IObject>& object)
{
    if (const auto tool = std::dynamic_pointer_cast<GeometryToolBase>(object)) {
        RunTool(*tool);
        return;
    }
    if (ExecuteIf<Geometry::FitLine>(object) || ExecuteIf<Geometry::FitCircle>(object) ||
        ExecuteIf<Geometry::FitEllipse>(object))
        return;
    CheckNumbers(*object, 0);
}

} // namespace FuzzSupport
