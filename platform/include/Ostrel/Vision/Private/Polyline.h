#pragma once
// Polyline: a chain of vertices, closed (a polygon's outline) or open (a segment's two end
// points), with its nearest point, inside test and the nearest pair between two chains.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Private {

class Polyline {
public:
    // Throws PrimitiveFailure for an empty chain or a non-finite vertex. One vertex is a
    // point; a closed chain of two vertices runs there and back.
    Polyline(std::vector<Point2D> vertices, bool closed);
    static Polyline FromPolygon(std::vector<Point2D> vertices) { return {std::move(vertices), true}; }
    static Polyline FromSegment(const Segment2D& segment) { return {{segment.start, segment.end}, false}; }

    const std::vector<Point2D>& Vertices() const { return vertices_; }
    bool Closed() const { return closed_; }
    // Edges: i runs to i + 1, and for a closed chain the last vertex back to the first.
    // A single vertex has one zero-length edge.
    std::size_t EdgeCount() const;
    Segment2D Edge(std::size_t i) const;

    Polyline MapLinear(const Transform2DLinear& transform) const;

    // Distance from `point` to the chain and its nearest point, in one pass over the edges;
    // on a tie the earlier edge wins.
    double NearestPoint(const Point2D& point, Point2D& nearest) const;

    // Even-odd inside test of a closed chain (an open chain contains nothing). A point on an
    // edge (orientation exactly 0 within the edge's box) counts as inside, so a point on
    // the outline of a polygon is inside it.
    bool Inside(const Point2D& point) const;

private:
    std::vector<Point2D> vertices_;
    bool closed_;
};

namespace OutlineDetail {

// t clamped to [0, 1], NaN to 0, without a branch: the projections of a point onto the
// edges of a ragged outline fall before and beyond the edges at random, and a branch
// there mispredicts half the time (the compiler turns the plain comparisons into one).
inline double Clamp01(double t)
{
#if defined(__SSE2__)
    return _mm_cvtsd_f64(_mm_min_sd(_mm_max_sd(_mm_set_sd(t), _mm_setzero_pd()), _mm_set_sd(1.0)));
#else
    return t > 0 ? (t < 1 ? t : 1) : 0;
#endif
}

// Squared distance from `point` to the edge start + t·(end - start), t clamped to [0, 1];
// no square root and no branch, so that a pass over many edges stays tight. A
// zero-length edge gives t = 0/0, which the clamp turns into 0.
inline double EdgeDistance2(const Point2D& point, const Point2D& start, const Point2D& end)
{
    const double dx = end.x - start.x, dy = end.y - start.y;
    const double wx = point.x - start.x, wy = point.y - start.y;
    const double t = Clamp01((wx * dx + wy * dy) / (dx * dx + dy * dy));
    const double rx = wx - t * dx, ry = wy - t * dy;
    return rx * rx + ry * ry;
}

// Even-odd step of the inside test for the edge a → b: flips `inside` when the edge
// crosses the horizontal ray from `point` towards +x, and sets `onOutline` when the point
// lies on the edge. Edges whose y-range misses the point (most edges of a large outline)
// are dismissed by two comparisons.
inline void InsideStep(const Point2D& a, const Point2D& b, const Point2D& point, bool& inside, bool& onOutline)
{
    if ((a.y < point.y && b.y < point.y) || (a.y > point.y && b.y > point.y))
        return;
    const double o = DiffOfProducts(b.x - a.x, point.y - a.y, b.y - a.y, point.x - a.x);
    if (o == 0 && point.x >= std::min(a.x, b.x) && point.x <= std::max(a.x, b.x))
        onOutline = true;
    // Half-open rule on y: each crossing of the ray counted once. The ray crosses when the
    // edge passes the point on its right: the sign of the orientation, taken along the
    // edge's upward direction.
    if ((a.y > point.y) != (b.y > point.y) && (b.y > a.y) == (o > 0))
        inside = !inside;
}

// The point of the edge start → end nearest to `point` (the end itself when the
// projection reaches it, so that a vertex is returned exactly).
inline Point2D NearestOnEdge(const Point2D& point, const Point2D& start, const Point2D& end)
{
    const Point2D d = end - start;
    const double len2 = Dot(d, d);
    const double t = len2 > 0 ? std::clamp(Dot(point - start, d) / len2, 0.0, 1.0) : 0.0;
    return t == 1 ? end : start + t * d;
}

[[noreturn]] void RejectEmptyOutline();

} // namespace OutlineDetail

// The nearest point of a closed outline to a point, its distance, and whether the point
// lies inside (even-odd rule; a point on the outline is inside).
struct OutlineNearest {
    double distance;
    Point2D nearest;
    bool inside;
};

// The answers of Polyline::NearestPoint and Polyline::Inside for the closed outline through
// vertexAt(0), ..., vertexAt(count - 1), in a single pass over its edges and without a copy
// of the vertices: `vertexAt(i)` reads (and, for a caller that measures in another space,
// maps) the i-th vertex straight from the caller's storage. Throws PrimitiveFailure for no
// vertices or a non-finite one, as the Polyline constructor does.
template <class VertexAt>
OutlineNearest NearestOnOutline(std::size_t count, VertexAt&& vertexAt, const Point2D& point)
{
    if (count == 0)
        OutlineDetail::RejectEmptyOutline();
    if (!(std::isfinite(point.x) && std::isfinite(point.y)))
        CheckValue(point, "point");
    const Point2D first = vertexAt(std::size_t{0});
    double best = std::numeric_limits<double>::infinity();
    Point2D bestStart = first, bestEnd = first;
    bool inside = false, onOutline = false;
    // 0·v is 0 for a finite coordinate and NaN otherwise: one add per vertex finds a
    // non-finite vertex without a branch in the loop.
    double finite = 0;
    Point2D a = first;
    for (std::size_t i = 1; i <= count; ++i) {
        const Point2D b = i < count ? vertexAt(i) : first; // the last edge closes the outline
        finite += 0 * a.x + 0 * a.y;
        const double d2 = OutlineDetail::EdgeDistance2(point, a, b);
        if (d2 < best) { // on a tie the earlier edge wins
            best = d2;
            bestStart = a;
            bestEnd = b;
        }
        OutlineDetail::InsideStep(a, b, point, inside, onOutline);
        a = b;
    }
    if (finite != 0) {
        for (std::size_t i = 0; i < count; ++i)
            CheckValue(vertexAt(i), "polyline vertex");
    }
    const Point2D nearest = OutlineDetail::NearestOnEdge(point, bestStart, bestEnd);
    return {Distance(point, nearest), nearest, inside || onOutline};
}

// A closed outline held for many queries: its edges in a bounding-volume tree (the one that
// NearestPair builds), so that a nearest-point and inside query costs about the logarithm
// of the vertex count instead of a pass. Nearest() gives NearestOnOutline's answer (the
// same edge, also on ties); only for a point within rounding of the outline may the inside
// flag differ, as both then answer from the last bits of an orientation. `mapping` records
// the transform the vertices were mapped by, for a cache that reuses the index.
class OutlineIndex {
public:
    OutlineIndex(std::vector<Point2D> vertices, const Transform2DLinear& mapping);
    ~OutlineIndex();
    OutlineIndex(const OutlineIndex&) = delete;
    OutlineIndex& operator=(const OutlineIndex&) = delete;

    OutlineNearest Nearest(const Point2D& point) const;
    // True when the index was built over vertices mapped by exactly this transform.
    bool MappedBy(const Transform2DLinear& mapping) const;

private:
    struct Tree;
    Polyline outline_;
    Transform2DLinear mapping_;
    std::unique_ptr<const Tree> tree_;
};

// The nearest pair of points between two chains, `onF` on `f` and `onG` on `g`, and their
// distance (0 when the chains touch or cross; the points are then one common point). The
// edges of both chains are held in bounding-volume trees (built in chain order, in linear
// time) and the pair of trees is searched with the box distances as bounds, so that
// chains of 10^5 vertices each take milliseconds.
// Among pairs at an equal distance the search keeps the first it finds (deterministic).
double NearestPair(const Polyline& f, const Polyline& g, Point2D& onF, Point2D& onG);

// Distance between two segments and their closest points (0 and the common point when they
// share one).
double DistanceSegmentSegment(const Segment2D& a, const Segment2D& b, Point2D& onA, Point2D& onB);

} // namespace Ostrel::Vision::Private
