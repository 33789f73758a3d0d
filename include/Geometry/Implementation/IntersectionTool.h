#pragma once
// What the tools that intersect two shapes have in common: two interactive input shapes, A
// and B, with their last-run copies; a result that counts the crossings and holds their
// points; and accessors for both. A tool of the family writes
//
//   class IntersectLineCircleTool : public Implementation::GeometryToolBase {
//   public:
//       OSTREL_GEOMETRY_TOOL(IntersectLineCircle, Implementation::GeometryToolBase,
//                            (Line)(InputCircle)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))
//       OSTREL_GEOMETRY_SHAPE_INPUT(Line, Line, shapes_.a)
//       OSTREL_GEOMETRY_SHAPE_INPUT(Circle, InputCircle, shapes_.b)
//       OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)
//       OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectLineCircleTool, Line, Circle,
//                                              Implementation::TwoPointIntersection)
//   };
//
// Its state flags list the two shapes first and then the outputs, so that every flag after
// shape B's is an output flag. Its run and records come from the family's frame, given the
// row the tool's source states (IntersectionToolFrame.h).

#include <array>
#include <memory>

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry::Implementation {

// The input shapes of a two-shape tool and the record-graphic copies a run keeps of them.
template <class A, class B>
struct ShapePair {
    using ShapeA = A;
    using ShapeB = B;
    std::shared_ptr<A> a;
    std::shared_ptr<B> b;
    struct Copies {
        std::shared_ptr<A> a;
        std::shared_ptr<B> b;
    } copies;
};

// At most one crossing of two straight shapes. numPoints is 1 for a crossing, 0 for none
// and -1 when the shapes coincide along a line (then the point is only a representative, and
// the tool does not report it).
struct OnePointIntersection {
    static constexpr std::array OutputPins{"NumPoints", "X", "Y"};
    int numPoints;
    double x, y;
    bool intersects;
};

// Crossings of two lines: the one-point result and the angle that turns line A onto line B,
// which exists also for parallel lines.
struct LineLineIntersection {
    static constexpr std::array OutputPins{"NumPoints", "X", "Y", "Angle"};
    int numPoints;
    double x, y, angle;
    bool intersects;
};

// Up to two crossings with a round shape, in the order the computation gives them; a
// tangent shape gives one.
struct TwoPointIntersection {
    static constexpr std::array OutputPins{"NumPoints", "X0", "Y0", "X1", "Y1"};
    int numPoints;
    double x0, y0, x1, y1;
    bool intersects;
};

// What a tool of the family does the same way as the others, given its row; defined in the
// library's sources.
template <class Tool>
struct IntersectionToolFrame;

} // namespace Ostrel::Vision::Geometry::Implementation

// A shape input: Name() returns the stored pointer; setName stores another one and raises
// SfName with the current-record flag (nothing for the same pointer). The type is named in
// full, since the property may bear the type's own name (Line, Ellipse).
#define OSTREL_GEOMETRY_SHAPE_INPUT(Type, Name, member)                                                             \
    const std::shared_ptr<::Ostrel::Vision::Type>& Name() const { return member; }                                  \
    void set##Name(const std::shared_ptr<::Ostrel::Vision::Type>& shape) { ChangeShape(member, shape, Sf##Name); }

// The outputs of a one-point tool. All throw ToolNoResultException until a run succeeds;
// X and Y also while no single crossing was found (numPoints 0 or -1).
#define OSTREL_GEOMETRY_ONE_POINT_OUTPUTS(result)                                                                   \
    int NumPoints() const { return Result(result.numPoints); }                                                      \
    bool Intersects() const { return Result(result.intersects); }                                                   \
    double X() const { return ResultIf(result.numPoints >= 1, result.x); }                                          \
    double Y() const { return ResultIf(result.numPoints >= 1, result.y); }

// The outputs of a two-point tool: the first point exists from one crossing on, the second
// from two.
#define OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result)                                                                   \
    int NumPoints() const { return Result(result.numPoints); }                                                      \
    bool Intersects() const { return Result(result.intersects); }                                                   \
    double X0() const { return ResultIf(result.numPoints >= 1, result.x0); }                                        \
    double Y0() const { return ResultIf(result.numPoints >= 1, result.y0); }                                        \
    double X1() const { return ResultIf(result.numPoints >= 2, result.x1); }                                        \
    double Y1() const { return ResultIf(result.numPoints >= 2, result.y1); }

// The rest of a tool of the family, last in its class: its constructors, its legacy
// conversion (the base parts, then shapes A and B under their legacy names), the run and
// the records its frame makes, and its members: the shapes, the result, and the frame's
// access to both. Leaves the class in its private section.
#define OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(Tool, A, B, ResultType)                                              \
public:                                                                                                             \
    explicit Tool(ObjectCreateAccessToken);                                                                         \
    ~Tool() override;                                                                                               \
    void Orv9xConvert(long long handle, void* context) override;                                                    \
                                                                                                                    \
protected:                                                                                                          \
    ToolResultConstants InternalRun(std::string& message) override;                                                 \
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;    \
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,              \
                                     std::uint32_t diagMask) override;                                              \
                                                                                                                    \
private:                                                                                                            \
    Tool();                                                                                                         \
    template <class>                                                                                                \
    friend struct Implementation::IntersectionToolFrame;                                                            \
    Implementation::ShapePair<::Ostrel::Vision::A, ::Ostrel::Vision::B> shapes_;                                    \
    ResultType result_{};                                                                                           \
    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
