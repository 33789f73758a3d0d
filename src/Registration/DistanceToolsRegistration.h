#pragma once
// What the registrations of the distance tools share. Their tools inherit part of their
// getters and setters from the frame of their family; RTTR finds a member on an object
// only through the classes the object's type names as bases, so an inherited member is
// registered as a member of the tool itself.

namespace Ostrel::Vision::Geometry::Registration {

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
