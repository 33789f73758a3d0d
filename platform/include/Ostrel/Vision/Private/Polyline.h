#pragma once
// Polyline: a chain of vertices, closed (a polygon's outline) or open (a segment's two end
// points), with its nearest point, inside test and the nearest pair between two chains.

#include <cstddef>
#include <vector>

#include <Ostrel/Vision/Private/Geometry2D.h>

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
