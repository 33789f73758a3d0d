#pragma once
// Shared by the segment crossings and the segment distances of the round shapes.

#include <algorithm>
#include <cmath>

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace Ostrel::Vision::Private {

// Keeps the line crossings that lie on the closed segment, in order from its start. A
// crossing computed a rounding error beyond an end still counts: the tolerance on the
// parameter is kTangencyBand of the larger of the shape's size and the segment's length.
inline int KeepOnSegment(const Segment2D& segment, double shapeSize, int lineCount, Point2D q1, Point2D q2,
                         Point2D& p1, Point2D& p2)
{
    const Point2D d = segment.end - segment.start;
    const double len2 = Dot(d, d);
    const double tol = TarnEllipse::kTangencyBand * std::max(1.0, shapeSize / std::sqrt(len2));
    int count = 0;
    const Point2D found[2] = {q1, q2};
    for (int i = 0; i < lineCount; ++i) {
        const double t = Dot(found[i] - segment.start, d) / len2;
        if (t >= -tol && t <= 1 + tol)
            (count++ == 0 ? p1 : p2) = found[i];
    }
    return count;
}

} // namespace Ostrel::Vision::Private
