#pragma once
// The enumerations of the graphics: line styles, copy modes, adornments, marker types,
// degrees of freedom, label alignment and composition modes. Masks (CopyShapeConstants,
// PointMarkerDOFConstants) travel as std::uint32_t; `|` on two members gives that mask.

#include <cstdint>

namespace Ostrel::Vision {

// How a graphic's outline is stroked.
enum class GraphicLineStyleConstants : std::int32_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
};

// What Copy and MapLinear carry over besides the geometry, which is always copied, like
// every property a class declares for itself (a label's text and alignment, a segment's
// adornments, a marker's type and size, a composite's ID, mode and shapes).
enum class CopyShapeConstants : std::uint32_t {
    GeometryOnly = 0x0,
    // SelectedSpaceName, Color, LineStyle, LineWidthInScreenPixels: where the graphic
    // lies and how it looks. Without it the copy is in the selected space "." with the
    // default style.
    GraphicProperties = 0x1,
    TipText = 0x2,
    // Interactive, Selectable, SelectedColor, SelectedLineStyle.
    InteractiveProperties = 0x4,
    // GraphicDOFEnable.
    GraphicDOF = 0x8,
    // Copies of the child graphics, made with the same mode.
    ChildGraphics = 0x10,
    All = 0xFFFFFFFF,
};

// The ornament drawn at an end of a segment or an arc.
enum class LineSegmentAdornmentConstants : std::int32_t {
    None = 0,
    Arrow = 1,  // an arrow head pointing outwards
};

// The symbol a point marker is drawn with, turned by its Rotation.
enum class PointMarkerGraphicTypeConstants : std::int32_t {
    Cross = 0,
    Square = 1,
    Circle = 2,
    Diamond = 3,
    Dot = 4,
};

// What a user may change on a point marker by dragging it. 0x80000000 is the bit that
// moves a graphic as a whole, for every graphic (see GraphicBase::GraphicDOFEnable).
enum class PointMarkerDOFConstants : std::uint32_t {
    None = 0x0,
    Rotation = 0x1,
    Size = 0x2,
    Position = 0x80000000,
    All = 0xFFFFFFFF,
};

// Which point of a label's text box sits at the label's anchor (X, Y).
enum class GraphicLabelAlignmentConstants : std::int32_t {
    TopLeft = 0,
    TopCenter = 1,
    TopRight = 2,
    CenterLeft = 3,
    Center = 4,
    CenterRight = 5,
    BottomLeft = 6,
    BottomCenter = 7,
    BottomRight = 8,
};

// How a display treats the members of a composite shape.
enum class CompositeShapeCompositionModeConstants : std::int32_t {
    Separate = 0,  // each member is selected and dragged on its own
    Grouped = 1,   // the members are selected and dragged together
};

constexpr std::uint32_t operator|(CopyShapeConstants a, CopyShapeConstants b)
{
    return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b);
}
constexpr std::uint32_t operator|(PointMarkerDOFConstants a, PointMarkerDOFConstants b)
{
    return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b);
}

} // namespace Ostrel::Vision
