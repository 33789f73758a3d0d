// The distance between two ellipse outlines: the support search settles pairs apart or
// nested with room to spare, the crossing search pairs that cross or touch, and sampling
// what neither settles.
#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <array>

#include "EllipsePair.h"

namespace Ostrel::Vision::Private {

using namespace EllipsePair;

double DistanceEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, Point2D& onA, Point2D& onB)
{
    const bool aSmaller = std::max(a.RadiusX(), a.RadiusY()) <= std::max(b.RadiusX(), b.RadiusY());
    const TarnEllipse& small = aSmaller ? a : b;
    const TarnEllipse& large = aSmaller ? b : a;
    const bool separated = SeparatedAlongCentres(a, b);
    const bool proper = !Flat(a) && !Flat(b);
    Point2D onSmall, onLarge;
    double distance = 0;
    // The support search settles pairs that lie apart or nested with room to spare; a
    // crossing, a touch or a gap too narrow to call is left to the crossing search.
    bool supported = false, apartUnsettled = false;
    if (proper) {
        // Sixteen outline points of each, some inside the other ellipse and some outside,
        // show the outlines crossing. Otherwise the smaller one is nested when its points
        // lie inside, unless the outlines cross between the points.
        int inside = 0;
        if (!separated) {
            inside = PointsInside(small, large);
            if (inside == 0 && PointsInside(large, small) != 0)
                inside = -1;
        }
        if (inside == 0 || inside == kStartPieces)
            supported =
                DistanceBySupport(small, large, inside > 0, separated, false, onSmall, onLarge, distance);
        apartUnsettled = !supported && !separated && inside == 0;
    }
    if (!separated && !(supported && distance > kClearGap * std::max(large.RadiusX(), large.RadiusY()))) {
        int count = 0;
        std::array<Point2D, 4> crossings;
        bool crossing;
        // Both argument orders ask the same question, and so report the same point.
        const bool aFirst = SearchAlongFirst(a, b);
        const TarnEllipse& first = aFirst ? a : b;
        const TarnEllipse& second = aFirst ? b : a;
        if (Flat(a) || Flat(b)) {
            crossing = (Flat(large) || !ClearOfCrossing(small, large, OutlineInFrame(small, large))) &&
                       IntersectEllipseEllipse(first, second, count, crossings[0], crossings[1], crossings[2],
                                               crossings[3]);
        } else {
            // The search the intersection runs, ended at the first point found.
            const OutlineInFrame f(first, second);
            crossing = !ClearOfCrossing(small, large, &small == &first ? f : OutlineInFrame(small, large)) &&
                       IntersectProper(first, second, f, crossings, true) > 0;
        }
        if (crossing) {
            onA = onB = crossings[0];
            return 0;
        }
    }
    // Apart after all: the maximum gap is bracketed between samples.
    if (apartUnsettled)
        supported = DistanceBySupport(small, large, false, false, true, onSmall, onLarge, distance);
    if (!supported)
        distance = DistanceBySampling(small, large, onSmall, onLarge);
    (aSmaller ? onA : onB) = onSmall;
    (aSmaller ? onB : onA) = onLarge;
    return distance;
}

} // namespace Ostrel::Vision::Private
