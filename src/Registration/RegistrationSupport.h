#pragma once
// What the reflection registration of every tool shares: the class under its qualified
// name, its three record-switch enumerations with all their bits, and the typed record
// switches as properties. A tool's registration then adds only its own properties:
//
//   RegisterTool<DistancePointCircleTool>("DistancePointCircleTool")
//       .property("X", &DistancePointCircleTool::X, &DistancePointCircleTool::setX) ...;

#include <string>
#include <string_view>
#include <utility>

#include <rttr/registration>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Vision::Geometry::Registration {

inline constexpr std::string_view Namespace = "Ostrel::Vision::Geometry::";

// A record-switch enumeration E under its qualified name, with the bits its declaration
// lists (SwitchBits, found by argument lookup).
template <class E, std::size_t... I>
void RegisterSwitchEnumeration(const std::string& name, std::index_sequence<I...>)
{
    static constexpr auto bits = SwitchBits(E{});
    rttr::registration::enumeration<E>(name)(
        rttr::value(rttr::string_view(bits[I].name.data(), bits[I].name.size()), bits[I].value)...);
}
template <class E>
void RegisterSwitchEnumeration(const std::string& name)
{
    RegisterSwitchEnumeration<E>(name, std::make_index_sequence<SwitchBits(E{}).size()>());
}

// `className` is the tool's name without its namespace ("DistancePointCircleTool"); its
// enumerations are named by the class name without "Tool". The class is constructible
// by name (rttr::type::create gives a std::shared_ptr made by the factory), which is how a
// host builds a tool block from a file. The class is constructible
// by name (rttr::type::create gives a std::shared_ptr made by the factory), which is how a
// host builds a tool block from a file.
template <class Tool>
rttr::registration::class_<Tool> RegisterTool(std::string_view className)
{
    using Current = decltype(std::declval<const Tool&>().CurrentRecordEnable());
    using LastRun = decltype(std::declval<const Tool&>().LastRunRecordEnable());
    using Diag = decltype(std::declval<const Tool&>().LastRunRecordDiagEnable());
    const std::string name = std::string(Namespace) + std::string(className);
    const std::string stem = name.substr(0, name.size() - std::string_view("Tool").size());
    RegisterSwitchEnumeration<Current>(stem + "CurrentRecordConstants");
    RegisterSwitchEnumeration<LastRun>(stem + "LastRunRecordConstants");
    RegisterSwitchEnumeration<Diag>(stem + "LastRunRecordDiagConstants");
    rttr::registration::class_<Tool>(name)
        .constructor(&Quill::Create<Tool>)
        .property("CurrentRecordEnable", &Tool::CurrentRecordEnable, &Tool::setCurrentRecordEnable)
        .property("LastRunRecordEnable", &Tool::LastRunRecordEnable, &Tool::setLastRunRecordEnable)
        .property("LastRunRecordDiagEnable", &Tool::LastRunRecordDiagEnable, &Tool::setLastRunRecordDiagEnable);
    return rttr::registration::class_<Tool>(name);
}

// A getter or setter a tool inherits from the frame of its family, as a member of the tool
// itself: RTTR finds a member on an object only through the classes the object's type
// names as bases, and a frame is not one of them.
template <class Tool, class R, class Frame>
constexpr auto Own(R (Frame::*getter)() const) -> R (Tool::*)() const
{
    return getter;
}
template <class Tool, class Frame, class V>
constexpr auto Own(void (Frame::*setter)(V)) -> void (Tool::*)(V)
{
    return setter;
}

} // namespace Ostrel::Vision::Geometry::Registration
