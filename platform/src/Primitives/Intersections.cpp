#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

#include "RoundShapesDetail.h"

namespace Ostrel::Vision::Private {

namespace {

// Orientation of r against the directed line p -> q (twice the signed triangle area).
double Orient(Point2D p, Point2D q, Point2D r)
{
    return DiffOfProducts(q.x - p.x, r.y - p.y, q.y - p.y, r.x - p.x);
}

bool SameStrictSide(double o1, double o2)
{
    return (o1 > 0 && o2 > 0) || (o1 < 0 && o2 < 0);
}

// hi + lo = a + b exactly.
void TwoSum(double a, double b, double& hi, double& lo)
{
    hi = a + b;
    const double bb = hi - a;
    lo = (a - (hi - bb)) + (b - bb);
}

// A sum of products with every rounding error carried along (the compensated dot
// product): as accurate as if formed in twice the precision and then rounded.
class CompensatedSum {
public:
    void Add(double x, double y)
    {
        const double p = x * y, pe = std::fma(x, y, -p);
        double hi, lo;
        TwoSum(sum_, p, hi, lo);
        sum_ = hi;
        error_ += lo + pe;
    }
    double Value() const { return sum_ + error_; }

private:
    double sum_ = 0, error_ = 0;
};

// S = (r + R)² - d², D = d² - (R - r)², X = d² + r² - R² and d for circles p (radius r)
// and q (radius R >= r) whose centres lie d apart, from the exact centre difference and
// radius sums and differences, every product's rounding error carried along: each is
// then exact to a few ulps of itself, however small against the sizes.
[[gnu::noinline]] void CompensatedChordTerms(const Circle2D& p, const Circle2D& q, double& S, double& D,
                                             double& X, double& d)
{
    double vx, vxl, vy, vyl, s, sl, m, ml;
    TwoSum(q.center.x, -p.center.x, vx, vxl);
    TwoSum(q.center.y, -p.center.y, vy, vyl);
    TwoSum(p.radius, q.radius, s, sl);
    TwoSum(q.radius, -p.radius, m, ml);
    // (hi + lo)² times sign, added term by term.
    const auto addSquare = [](CompensatedSum& acc, double sign, double hi, double lo) {
        acc.Add(sign * hi, hi);
        acc.Add(2 * sign * hi, lo);
        acc.Add(sign * lo, lo);
    };
    CompensatedSum sum, diff, foot;
    addSquare(sum, 1, s, sl);
    addSquare(sum, -1, vx, vxl);
    addSquare(sum, -1, vy, vyl);
    addSquare(diff, 1, vx, vxl);
    addSquare(diff, 1, vy, vyl);
    addSquare(diff, -1, m, ml);
    addSquare(foot, 1, vx, vxl);
    addSquare(foot, 1, vy, vyl);
    // r² - R² = -(r + R)(R - r)
    foot.Add(-s, m);
    foot.Add(-s, ml);
    foot.Add(-sl, m);
    foot.Add(-sl, ml);
    S = sum.Value();
    D = diff.Value();
    X = foot.Value();
    d = std::sqrt(vx * vx + vy * vy + 2 * (vx * vxl + vy * vyl));
}

} // namespace

bool IntersectSegmentSegment(const Segment2D& a, const Segment2D& b, int* count, Point2D* point)
{
    Require(a, "first segment");
    Require(b, "second segment");
    int n = 0;
    Point2D p;
    const double o1 = Orient(a.start, a.end, b.start), o2 = Orient(a.start, a.end, b.end);
    const double o3 = Orient(b.start, b.end, a.start), o4 = Orient(b.start, b.end, a.end);
    if (o1 == 0 && o2 == 0 && o3 == 0 && o4 == 0) {
        // Collinear (or points): compare the intervals along the longer direction.
        const Point2D da = a.end - a.start, db = b.end - b.start;
        const Point2D w = Dot(da, da) >= Dot(db, db) ? da : db;
        if (w.x == 0 && w.y == 0) {
            n = a.start == b.start ? 1 : 0;
            p = a.start;
        } else {
            const double ta0 = Dot(a.start, w), ta1 = Dot(a.end, w), tb0 = Dot(b.start, w),
                         tb1 = Dot(b.end, w);
            const double lo = std::max(std::min(ta0, ta1), std::min(tb0, tb1));
            const double hi = std::min(std::max(ta0, ta1), std::max(tb0, tb1));
            if (lo <= hi) {
                n = lo == hi ? 1 : -1;
                const double target = ta0 <= ta1 ? lo : hi;
                const Point2D ends[4] = {a.start, a.end, b.start, b.end};
                p = *std::find_if(ends, ends + 4, [&](Point2D e) { return Dot(e, w) == target; });
            }
        }
    } else if (!SameStrictSide(o1, o2) && !SameStrictSide(o3, o4)) {
        n = 1;
        if (o1 == 0)
            p = b.start;
        else if (o2 == 0)
            p = b.end;
        else if (o3 == 0)
            p = a.start;
        else if (o4 == 0)
            p = a.end;
        else
            p = a.start + (o3 / (o3 - o4)) * (a.end - a.start);
    }
    if (count)
        *count = n;
    if (point && n != 0)
        *point = p;
    return n != 0;
}

int CircleLineCrossings(const Circle2D& circle, const Line2D& line, Point2D& p1, Point2D& p2)
{
    const double len = Length(line.direction);
    const Point2D u{line.direction.x / len, line.direction.y / len};
    const double h = ExactLineCross(line, circle.center) / len;
    const Point2D foot = circle.center - h * Point2D{-u.y, u.x};
    const double r = circle.radius, gap = r - std::fabs(h), band = TarnEllipse::kTangencyBand * r;
    if (gap < -band)
        return 0;
    if (gap <= band) {
        p1 = foot;
        return 1;
    }
    // Two roots rather than the root of the product, which underflows for tiny circles.
    const double half = std::sqrt(gap) * std::sqrt(r + std::fabs(h));
    p1 = foot - half * u;
    p2 = foot + half * u;
    return 2;
}

bool IntersectCircleLine(const Circle2D& circle, const Line2D& line, int& count, Point2D& p1, Point2D& p2)
{
    Require(circle, "circle");
    Require(line, "line");
    count = CircleLineCrossings(circle, line, p1, p2);
    return count != 0;
}

bool IntersectCircleSegment(const Circle2D& circle, const Segment2D& segment, int& count, Point2D& p1,
                            Point2D& p2)
{
    Require(circle, "circle");
    Require(segment, "segment");
    if (segment.start == segment.end) {
        const double gap = std::fabs(Distance(segment.start, circle.center) - circle.radius);
        count = gap <= TarnEllipse::kTangencyBand * circle.radius ? 1 : 0;
        if (count)
            p1 = segment.start;
        return count != 0;
    }
    Point2D q1, q2;
    const int lineCount = CircleLineCrossings(circle, {segment.start, segment.end - segment.start}, q1, q2);
    count = KeepOnSegment(segment, circle.radius, lineCount, q1, q2, p1, p2);
    return count != 0;
}

bool IntersectEllipseSegment(const TarnEllipse& ellipse, const Segment2D& segment, int& count, Point2D& p1,
                             Point2D& p2)
{
    Require(segment, "segment");
    const double size = std::max(ellipse.RadiusX(), ellipse.RadiusY());
    if (segment.start == segment.end) {
        Point2D c;
        count = ellipse.DistanceToPoint(segment.start, c) <= TarnEllipse::kTangencyBand * size ? 1 : 0;
        if (count)
            p1 = segment.start;
        return count != 0;
    }
    Point2D q1, q2;
    const int lineCount = ellipse.Intersections({segment.start, segment.end - segment.start}, q1, q2);
    count = KeepOnSegment(segment, size, lineCount, q1, q2, p1, p2);
    return count != 0;
}

bool IntersectCircleCircle(const Circle2D& a, const Circle2D& b, int& count, Point2D& p1, Point2D& p2)
{
    Require(a, "first circle");
    Require(b, "second circle");
    // A canonical order (the smaller circle first) makes the result independent of the
    // argument order.
    const bool ordered =
        std::tie(a.radius, a.center.x, a.center.y) <= std::tie(b.radius, b.center.x, b.center.y);
    const Circle2D& p = ordered ? a : b;
    const Circle2D& q = ordered ? b : a;
    const Point2D v = q.center - p.center;
    count = 0;
    if (v.x == 0 && v.y == 0)
        return false; // concentric: no isolated crossing
    // The half-chord h is the root of h² = S·D / (4d²), with S = (r + R)² - d² and
    // D = d² - (R - r)², and p's centre lies X / (2d) from the chord, X = d² + r² - R².
    // Formed plainly, S and D lose the digits of the gap they stand for; where a gap is
    // below 1/4096 of its scale (near tangency) they are formed again with every rounding
    // error kept, so that h keeps its relative accuracy for any ratio of the radii.
    const double s = p.radius + q.radius, m = q.radius - p.radius;
    double d = Length(v), S = (s - d) * (s + d), D = (d - m) * (d + m), X = d * d - m * s;
    if (std::fabs(S) <= 0x1p-12 * s * (s + d) || std::fabs(D) <= 0x1p-12 * d * (d + m))
        CompensatedChordTerms(p, q, S, D, X, d);
    // S = (r + R - d)(r + R + d) and D = (d - (R - r))(d + R - r) carry the signs of the
    // gaps to the two tangencies: S > 0 when the discs overlap, D > 0 when neither disc
    // holds the other.
    const double band = TarnEllipse::kTangencyBand * std::max(s, d);
    if (S < -band * (s + d) || D < -band * (d + m))
        return false;
    const double inv = 1 / d;
    const Point2D u{v.x * inv, v.y * inv};
    const double x = 0.5 * X * inv;
    if (S <= band * (s + d) || D <= band * (d + m)) {
        count = 1;
        p1 = p.center + std::clamp(x, -p.radius, p.radius) * u;
        return true;
    }
    const Point2D foot = p.center + x * u;
    const double h = 0.5 * std::sqrt(S) * std::sqrt(D) * inv;
    Point2D r1 = foot + h * Point2D{-u.y, u.x}, r2 = foot - h * Point2D{-u.y, u.x};
    if (std::tie(r2.x, r2.y) < std::tie(r1.x, r1.y))
        std::swap(r1, r2);
    count = 2;
    p1 = r1;
    p2 = r2;
    return true;
}

} // namespace Ostrel::Vision::Private
