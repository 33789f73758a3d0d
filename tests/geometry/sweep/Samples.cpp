#include "Samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>

#include <fmt/format.h>
#include <rttr/type>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Color32.h>
#include <Ostrel/Vision/Meta/NullPointer.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/EventRecorder.h"

namespace Sweep {

using namespace Ostrel;
using namespace Ostrel::Vision;
using Quill::IObject;

namespace {

// Deep enough for a tool's shape and a fit tool's result shape; no further, which also
// stops at links that lead back.
constexpr int MaxDepth = 2;

std::shared_ptr<IObject> AsObject(const rttr::variant& made)
{
    rttr::variant held = made;
    const rttr::instance instance(held);
    if (auto* shareable = instance.try_convert<Quill::ShareableBase>())
        return shareable->shared_from_this();
    throw std::logic_error("not a shareable object: " + made.get_type().get_name().to_string());
}

// A value away from `value`: numbers move by a small step that differs per property (so
// that no two fields hold the same number, and shapes keep their sense), booleans flip,
// record switches get every bit, other enumerations their next enumerator, colours and
// texts change. Nothing (invalid) for a value of another kind.
rttr::variant Changed(const rttr::variant& value, const std::string& name, int step)
{
    const rttr::type type = value.get_type();
    if (type == rttr::type::get<double>())
        return value.get_value<double>() + 0.0625 + step / 1024.0;
    if (type == rttr::type::get<bool>())
        return !value.get_value<bool>();
    if (type == rttr::type::get<int>())
        return value.get_value<int>() + 1;
    if (type == rttr::type::get<unsigned>())
        return value.get_value<unsigned>() ^ 0x1u;
    if (type == rttr::type::get<Color32>())
        return Color32::FromUInt32(0x80000000u + 0x010305u * static_cast<std::uint32_t>(step + 1));
    if (type == rttr::type::get<std::string>())
        return name == "SelectedSpaceName" ? std::string("#/Plate")
                                           : value.get_value<std::string>() + " (9x)";
    if (type.is_enumeration()) {
        const auto enumeration = type.get_enumeration();
        std::vector<std::uint64_t> values;
        for (const auto& v : enumeration.get_values())
            values.push_back(v.to_uint64());
        std::sort(values.begin(), values.end());
        const std::uint64_t current = value.to_uint64();
        std::uint64_t next = values.front();
        if (name.ends_with("RecordEnable") || name.ends_with("RecordDiagEnable")) {
            next = 0;
            for (auto bit : values)
                next |= bit;
        } else {
            for (auto v : values)
                if (v > current) {
                    next = v;
                    break;
                }
        }
        // A mask of several bits is no enumerator, and reflection converts only those: an
        // enumerator's value is taken and its 32 bits overwritten.
        if (type.get_sizeof() != sizeof(std::uint32_t))
            return {};
        rttr::variant result = *enumeration.get_values().begin();
        rttr::argument(result).get_value<std::uint32_t>() = static_cast<std::uint32_t>(next);
        return result;
    }
    return {};
}

void ChangeProperties(rttr::instance object, int depth, int& step);

// Shapes, point lists and run parameters a property holds are changed inside; the input
// image is the sample image's.
void ChangeProperty(rttr::instance object, const rttr::property& property, int depth, int& step)
{
    const std::string name = property.get_name().to_string();
    if (property.is_readonly() || name == "Enabled" || name == "NumPoints" || name == "ImageRetentionMask")
        return;
    rttr::variant value = property.get_value(object);
    if (name == "InputImage") {
        property.set_value(object, std::static_pointer_cast<IImage>(SampleImage()));
        return;
    }
    if (value.get_type().is_wrapper()) {
        if (depth < 1 && !Meta::IsNullPointer(value)) {
            const rttr::instance inner = rttr::instance(value).get_wrapped_instance();
            if (inner.is_valid())
                ChangeProperties(inner, depth + 1, step);
        }
        return;
    }
    rttr::variant changed = Changed(value, name, ++step);
    if (!changed.is_valid() || !property.set_value(object, changed))
        throw std::logic_error(fmt::format("cannot change the property {} of {} ({})", name,
                                           object.get_derived_type().get_name().to_string(),
                                           value.get_type().get_name().to_string()));
}

void ChangeProperties(rttr::instance object, int depth, int& step)
{
    if (auto* fit = object.try_convert<Geometry::Implementation::FitBase>()) {
        // Points around an ellipse with one outlier that the fit leaves out.
        fit->setNumPoints(0);
        for (int k = 0; k < 7; ++k)
            fit->AddPoint(20 + 9 * std::cos(0.9 * k + 0.1 * step), 15 + 6 * std::sin(0.9 * k));
        fit->AddPoint(40, 2);
    }
    for (const auto& property : object.get_derived_type().get_properties())
        ChangeProperty(object, property, depth, step);
}

std::string ExceptionName(const std::exception& e)
{
    const auto* vision = dynamic_cast<const VisionException*>(&e);
    return vision ? rttr::type::get(*vision).get_name().to_string() : "std::exception";
}

void Add(Description& description, const std::string& path, const std::function<rttr::variant()>& get,
         int depth);

void AddObject(Description& description, const std::string& prefix, rttr::instance object, int depth)
{
    for (const auto& property : object.get_derived_type().get_properties()) {
        const std::string name = property.get_name().to_string();
        if (name != "RunStatus")
            Add(
                description, prefix + name, [&] { return property.get_value(object); }, depth);
    }
    if (const auto* fake = object.try_convert<Meta::IHaveFakePropertyMeta>())
        for (const auto& property : fake->GetFakeProperties())
            Add(
                description, prefix + property->DisplayName(), [&] { return property->Get(object); }, depth);
}

void Add(Description& description, const std::string& path, const std::function<rttr::variant()>& get,
         int depth)
{
    rttr::variant value;
    try {
        value = get();
    } catch (const std::exception& e) {
        description[path] = {"throws " + ExceptionName(e), std::nullopt};
        return;
    }
    const rttr::type type = value.get_type();
    if (type == rttr::type::get<double>() || type == rttr::type::get<float>()) {
        const double number = value.to_double();
        description[path] = {fmt::format("{}", number), number};
    } else if (type == rttr::type::get<Color32>()) {
        description[path] = {fmt::format("0x{:08X}", value.get_value<Color32>().ToUInt32()), std::nullopt};
    } else if (type.is_wrapper()) {
        const rttr::instance inner =
            Meta::IsNullPointer(value) ? rttr::instance() : rttr::instance(value).get_wrapped_instance();
        if (!inner.is_valid()) {
            description[path] = {"null", std::nullopt};
        } else {
            description[path] = {inner.get_derived_type().get_name().to_string(), std::nullopt};
            if (depth < MaxDepth)
                AddObject(description, path + ".", inner, depth + 1);
        }
    } else if (type.is_arithmetic() || type.is_enumeration() || type == rttr::type::get<std::string>()) {
        bool ok = false;
        std::string text = value.to_string(&ok);
        if (type.is_enumeration())
            text += fmt::format(" ({})", value.to_uint64());
        description[path] = {ok || type.is_enumeration() ? text : "?", std::nullopt};
    }
}

} // namespace

std::vector<std::string> RegisteredClasses()
{
    const auto& bindings =
        cereal::detail::StaticObject<
            cereal::detail::InputBindingMap<cereal::PortableBinaryInputArchive>>::getInstance()
            .map;
    std::vector<std::string> names;
    for (const auto& [name, serializers] : bindings)
        if (name.starts_with(LibraryNamespace))
            names.push_back(name);
    return names;
}

std::string ShortName(const std::string& qualified)
{
    const auto at = qualified.rfind("::");
    return at == std::string::npos ? qualified : qualified.substr(at + 2);
}

std::shared_ptr<Image8Grey> SampleImage()
{
    auto image = Quill::Create<Image8Grey>(8, 6);
    image->SetPixel(3, 2, 200);
    image->CoordinateSpaceTree()->AddSpace("#", "Plate",
                                           Transform2DLinear::ScaleRotationTranslation(1, 1, 0, 0.5, -0.25));
    return image;
}

std::shared_ptr<IObject> NewObject(const std::string& qualified)
{
    using namespace Geometry;
    static const std::map<std::string, std::function<std::shared_ptr<IObject>()>> withoutConstructor = {
        {"Implementation::FitBase", [] { return Quill::Create<Geometry::Implementation::FitBase>(); }},
        {"FitLine", [] { return Quill::Create<FitLine>(); }},
        {"FitCircle", [] { return Quill::Create<FitCircle>(); }},
        {"FitEllipse", [] { return Quill::Create<FitEllipse>(); }},
        {"FitLineResult", [] { return Quill::Create<FitLineResult>(); }},
        {"FitCircleResult", [] { return Quill::Create<FitCircleResult>(); }},
        {"FitEllipseResult", [] { return Quill::Create<FitEllipseResult>(); }},
        {"MathUtils", [] { return std::make_shared<MathUtils>(); }},
    };
    const auto found = withoutConstructor.find(qualified.substr(std::strlen(LibraryNamespace)));
    return found != withoutConstructor.end() ? found->second()
                                             : AsObject(rttr::type::get_by_name(qualified).create());
}

std::shared_ptr<IObject> MakeSample(const std::string& qualified)
{
    const std::string name = qualified.substr(std::strlen(LibraryNamespace));
    if (name.ends_with("Result")) {
        auto fit = MakeSample(qualified.substr(0, qualified.size() - 6));
        rttr::instance instance(*fit);
        const auto execute = instance.get_derived_type().get_method("Execute");
        return AsObject(execute.invoke(instance, std::string("#/Plate")));
    }
    auto object = NewObject(qualified);
    int step = 0;
    ChangeProperties(rttr::instance(*object), 0, step);
    if (auto tool = std::dynamic_pointer_cast<ITool>(object)) {
        tool->Run();
        if (tool->RunStatus().Result() != ToolResultConstants::Accept)
            throw std::logic_error(name + " does not run on its sample: " + tool->RunStatus().Message());
    }
    return object;
}

Description Describe(const std::shared_ptr<IObject>& object)
{
    Description description;
    rttr::instance instance(*object);
    AddObject(description, "", instance, 0);
    if (auto tool = std::dynamic_pointer_cast<ITool>(object))
        for (const auto* pins : {&tool->Inputs(), &tool->Outputs()})
            for (const auto& pin : *pins)
                Add(
                    description, "pin " + pin->Path(), [&] { return pin->GetValue(tool); }, 1);
    return description;
}

bool SameValue(const Field& a, const Field& b)
{
    if (a.number && b.number)
        return std::abs(*a.number - *b.number) <= 1e-9 * std::max(1.0, std::abs(*a.number));
    return a.text == b.text;
}

std::vector<std::uint64_t> DragFirstLiveGraphic(const std::shared_ptr<IObject>& object)
{
    auto tool = std::dynamic_pointer_cast<ITool>(object);
    EventRecorder events(dynamic_cast<Quill::IChangedEvent&>(*object));
    const auto record = tool->CreateCurrentRecord();
    for (const auto& row :
         record->SubRecords().Count() ? record->SubRecords()[0]->SubRecords() : record->SubRecords()) {
        if (const auto marker = row->ValueAs<PointMarker>()) {
            marker->setX(marker->X() + 1);
            break;
        }
        if (const auto graphic = row->ValueAs<GraphicBase>()) {
            graphic->setTipText("moved");
            break;
        }
    }
    return events.flags;
}

std::string GoldenArchiveName(const std::string& qualified, std::uint32_t options)
{
    return fmt::format("{}.{:#05x}.bin", ShortName(qualified), options);
}

} // namespace Sweep
