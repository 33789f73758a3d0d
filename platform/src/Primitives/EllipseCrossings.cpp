// The crossings of two ellipse outlines: the outline of one in the frame of the other,
// where the crossings are the roots of a trigonometric polynomial of degree 2, searched
// over a subdivision of the angle with certified exclusion and monotony tests.
#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

#include "EllipsePair.h"

namespace Ostrel::Vision::Private::EllipsePair {

namespace {

// Safeguarded Newton steps to refine a bracketed root; from a certified monotone piece
// Newton converges quadratically, so the bound only guards against rounding noise.
constexpr int kMaxRefineSteps = 60;
// The cos/sin pairs of a piece's middle come from its parent's by a rotation; after 40
// levels they stand for an angle up to a few 1e-14 rad away from the stored middle. The
// exclusion and monotony tests widen each piece by this much to cover that.
constexpr double kAngleDrift = 1e-13;

// The Taylor quadratic h0 + h1·d + h2·d²/2 of a function about a point. Its roots are
// 2·h0 / r, the nearer, and r / h2, with r = -(h1 + sign(h1)·√(h1² - 2·h0·h2)) formed
// without cancellation; r is 0 when there is no root.
inline double TaylorRoots(double h0, double h1, double h2)
{
    const double disc = h1 * h1 - 2 * h0 * h2;
    return disc >= 0 ? -(h1 + std::copysign(std::sqrt(disc), h1)) : 0;
}

// Root of g in [lo, hi] where g(lo) and g(hi) differ in sign, from the start x (with cos
// c and sin s). Each step goes to the nearer root of the Taylor quadratic at the current
// point (a Newton step where that quadratic has none): the error then shrinks to about
// its cube, and a stretch where g curves strongly, as where a thin outline enters and
// leaves the other, is crossed in a step or two rather than by Newton's halvings. A step
// that would leave the shrinking bracket is replaced by bisection. Ends when the step,
// the error left after it or the bracket is below the angle resolution, or when, close to
// the root (|g| <= nearRoot), the steps stop shrinking: they then only follow the
// rounding noise of g, and the root is as accurate as g allows. c and s return the cos and
// sin of the root. With `slope` the same for g' (an extremum of g), glo then being g'(lo).
double RefineRoot(const OutlineInFrame& f, double lo, double hi, double glo, double x, double& c, double& s,
                  double nearRoot, double resolution, bool slope = false)
{
    double lastStep = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kMaxRefineSteps; ++i) {
        double d[5];
        f.Eval(c, s, d);
        const double* h = slope ? d + 1 : d; // g or g', and its next three derivatives
        if (h[0] == 0)
            return x;
        if ((h[0] < 0) == (glo < 0))
            lo = x;
        else
            hi = x;
        // The quadratic's nearer root is -q·2/(1 + √(1 - 2ε)) with q = h/h' and
        // ε = q·h''/h'; close to the root ε is tiny, and its series to ε² is exact to the
        // resolution without the square root. Where the quadratic has no root, a Newton step.
        const double q = h[0] / h[1], e = q * (h[2] / h[1]);
        bool quadratic = e * e * std::fabs(q) <= 0.1 * resolution;
        double step = -q * (1 + e * (0.5 + 0.5 * e));
        if (!quadratic) {
            const double r = TaylorRoots(h[0], h[1], h[2]);
            quadratic = r != 0;
            step = quadratic ? 2 * h[0] / r : -q;
        }
        if (std::fabs(step) <= resolution)
            return x; // at the root to the resolution (the step may not even leave x)
        const bool inside = x + step > lo && x + step < hi;
        if (!inside)
            step = 0.5 * (lo + hi) - x;
        // The error left after a quadratic step d is about |h'''|·|d|³ / (6|h'|), widened by
        // the bound of the next derivative over the step; after a Newton step, d²·|h''| /
        // (2|h'|).
        const double a = std::fabs(step);
        const bool last = inside && (quadratic ? (std::fabs(h[3]) + 0.25 * a * f.bound5) * a * a * a <=
                                                     6 * resolution * std::fabs(h[1])
                                               : a * a * std::fabs(h[2]) <= 2 * resolution * std::fabs(h[1]));
        const bool stalled = inside && std::fabs(h[0]) <= nearRoot && a > 0.5 * lastStep;
        lastStep = inside ? a : std::numeric_limits<double>::infinity();
        Turn(c, s, step);
        x += step;
        if (hi - lo <= resolution || stalled || last)
            break;
    }
    return x;
}

} // namespace

const AngleTables& Tables()
{
    static const AngleTables tables;
    return tables;
}

void TurnFar(double& c, double& s, double d)
{
    double cd, sd;
    if (std::fabs(d) <= 0.5) {
        const double x = d * d;
        cd = 1 - x * (1.0 / 2 -
                      x * (1.0 / 24 -
                           x * (1.0 / 720 -
                                x * (1.0 / 40320 - x * (1.0 / 3628800 - x * (1.0 / 479001600 -
                                                                             x * (1.0 / 87178291200.0)))))));
        sd = d * (1 - x * (1.0 / 6 - x * (1.0 / 120 -
                                          x * (1.0 / 5040 - x * (1.0 / 362880 -
                                                                 x * (1.0 / 39916800 -
                                                                      x * (1.0 / 6227020800.0 -
                                                                           x * (1.0 / 1307674368000.0))))))));
    } else {
        cd = std::cos(d);
        sd = std::sin(d);
    }
    const double nc = c * cd - s * sd;
    s = s * cd + c * sd;
    c = nc;
}

namespace {

// The crossings and contacts of one search, gathered in order of the angle. A cluster is a
// stretch of a's outline along which the outlines stay within the tangency band of each
// other, with the roots and touching pieces found along it. The stretch is broken wherever
// the search sees the outlines farther apart than the band.
class Clusters {
public:
    // The outlines are farther apart than the band here: the open cluster ends.
    void Break()
    {
        open_ = false;
        fromStart_ = false;
    }
    // A root or a touching piece at `angle`, with its outline point.
    void Add(double angle, const Point2D& point)
    {
        if (open_) {
            Item& c = items_[count_ - 1];
            c.last = angle;
            ++c.members;
        } else if (count_ < items_.size()) {
            items_[count_++] = {angle, angle, point.x, point.y, 1, fromStart_};
            open_ = true;
        }
    }
    // Whether a point will be reported whatever the rest of the turn holds: a cluster has
    // been found, and the turn is not wholly within the band.
    bool Certain() const { return count_ > 0 && !fromStart_; }
    // Writes one point per cluster, in order of the angle, and returns their number; 0 when
    // the whole turn lies within the band (coincident outlines). Once the search has covered
    // the turn, a cluster still open at its end and one open from its start are one stretch
    // across the seam.
    int Finish(const TarnEllipse& a, std::array<Point2D, 4>& out, bool wholeTurn)
    {
        if (count_ == 0 || (open_ && fromStart_))
            return 0;
        if (wholeTurn && open_ && count_ > 1 && items_[0].fromStart) {
            const Item& last = items_[count_ - 1];
            items_[0].first = last.first - kTwoPi;
            items_[0].members += last.members;
            --count_;
        }
        for (std::size_t i = 0; i < count_; ++i) {
            Item& c = items_[i];
            // One root is a crossing at its refined point; a stretch of several members is
            // one contact, reported at the middle of the stretch. `first` becomes the angle
            // the point is reported at.
            const double mid = 0.5 * (c.first + c.last);
            if (c.members > 1) {
                const Point2D point = OutlinePoint(a, mid);
                c.x = point.x;
                c.y = point.y;
            }
            c.first = mid < 0 ? mid + kTwoPi : mid;
        }
        // Only the seam's cluster can be out of order: a few items, sorted by insertion.
        for (std::size_t i = 1; i < count_; ++i)
            for (std::size_t k = i; k > 0 && items_[k].first < items_[k - 1].first; --k)
                std::swap(items_[k], items_[k - 1]);
        const std::size_t n = std::min(count_, out.size());
        for (std::size_t i = 0; i < n; ++i)
            out[i] = {items_[i].x, items_[i].y};
        return static_cast<int>(n);
    }

private:
    struct Item {
        double first, last;
        double x, y; // the point of the first member
        int members;
        bool fromStart;
    };
    std::array<Item, 64> items_;
    std::size_t count_ = 0;
    bool open_ = false;
    bool fromStart_ = true; // no break yet since the start of the turn
};

} // namespace

int IntersectProper(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f,
                    std::array<Point2D, 4>& out, bool firstOnly)
{
    const AngleTables& t = Tables();
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double band = TarnEllipse::kTangencyBand * size;
    // The band in units of g: the gradient of b's implicit form is at most 2|v| / (b's
    // smaller radius), and |v| <= 1 + |g|.
    const double bandG = 2 * band * std::max(f.invRx, f.invRy);
    // Rounding allowance of g: a few ulps of |v|·(|p| + |A| + |B|), widened for the
    // drift of the rotated cos/sin pairs.
    const double slackScale = 1e-13 * (1 + f.scale);
    // Where g is this small, a refinement that stops converging has met rounding noise.
    const double nearRoot = 1e-10 * (1 + f.scale);
    // A point that only shows that the outlines meet (for their distance) needs the
    // accuracy of that distance, 1e-10 of the sizes, not the full one.
    const double resolution = firstOnly ? 1e-10 : kAngleResolution;
    // Coincident outlines: g vanishes everywhere; there is no isolated crossing.
    if (f.coefficientSize <= 1e-13)
        return 0;
    // An angle where g and its first two derivatives are known, with its cos and sin.
    struct Known {
        double x, c, s, g, g1, g2;
    };
    // A piece carries its ends and middle with their cos and sin. Halving a piece turns its
    // middle's pair to its children's middles, and each child takes its ends from the
    // parent's middle and ends: no angle is evaluated from two different pairs.
    struct Angle {
        double x, c, s;
    };
    struct Piece {
        Angle lo, mid, hi;
        int depth;
    };
    std::array<Piece, kStartPieces + kMaxDepth + 2> stack;
    std::size_t top = 0;
    for (int i = kStartPieces - 1; i >= 0; --i) {
        const auto k = static_cast<std::size_t>(i), next = (k + 1) % kStartPieces;
        stack[top++] = {{kTwoPi * i / kStartPieces, t.sampleCos[k], t.sampleSin[k]},
                        {kTwoPi * (2 * i + 1) / (2 * kStartPieces), t.midCos[k], t.midSin[k]},
                        {kTwoPi * (i + 1) / kStartPieces, t.sampleCos[next], t.sampleSin[next]},
                        0};
    }
    // Pieces come in order of angle, so a piece's start is often the end of the last
    // piece whose ends were evaluated.
    Known last{-1, 0, 0, 0, 0, 0};
    bool lastNear = false;
    Clusters clusters;
    for (int examined = 0; top > 0 && examined < kMaxPieces && !(firstOnly && clusters.Certain());
         ++examined) {
        const Piece piece = stack[--top];
        const double w = 0.5 * (piece.hi.x - piece.lo.x) + kAngleDrift;
        double g, g1, g2;
        f.Eval(piece.mid.c, piece.mid.s, g, g1, g2);
        // |v| <= 1 + |g|, so this covers a few ulps of |v|·(|p| + |A| + |B|).
        const double slack = slackScale * (2 + std::fabs(g));
        // Taylor about the middle with the global bound of g''': neither a root nor a
        // point within the band when the quadratic part keeps the sign of g over the
        // piece by more than the remainder can take away. Seen from the sign of g, the
        // quadratic's least value over [-w, w] is at an end or at its vertex.
        const double sign = g < 0 ? -1 : 1, q1 = sign * g1, q2 = sign * g2;
        const double allowance = (1.0 / 6) * f.bound3 * w * w * w + slack + bandG * (1 + std::fabs(g));
        // (At the vertex, |g| - q1²/(2 q2) > allowance, multiplied out.)
        if (q2 > 0 && std::fabs(q1) < q2 * w
                ? 2 * q2 * (std::fabs(g) - allowance) > q1 * q1
                : std::fabs(g) - std::fabs(q1) * w + 0.5 * q2 * w * w > allowance) {
            clusters.Break();
            continue;
        }
        const double m = piece.mid.x;
        // The root of a monotone stretch [lo, hi] of g within the piece, when its ends differ
        // in sign (a zero counts as positive, so a root on a shared end is found once). Each
        // point where g is known to second order (the middle, the ends, an extremum) offers
        // the root of its Taylor quadratic; the refinement starts from the one that lies in
        // the stretch nearest to its point, where the remainder is least, its cos and sin
        // turned from that point's.
        const Known middle{m, piece.mid.c, piece.mid.s, g, g1, g2};
        const auto addRoot = [&](double lo, double hi, const Known& atLo, const Known& atHi,
                                 const Known* extremum = nullptr) {
            if ((atLo.g < 0) == (atHi.g < 0))
                return;
            const Known* from = nullptr;
            double step = std::numeric_limits<double>::infinity();
            const auto offer = [&](const Known& k) {
                const double r = TaylorRoots(k.g, k.g1, k.g2);
                const auto take = [&](double d) {
                    if (k.x + d > lo && k.x + d < hi && std::fabs(d) < std::fabs(step))
                        from = &k, step = d;
                };
                if (r != 0) {
                    take(2 * k.g / r);
                    // Beside an extremum the two roots are about as near, on either side.
                    if (&k == extremum)
                        take(r / k.g2);
                }
            };
            // (A root in the middle half of the piece lies nearer to the middle than to an
            // end; an extremum is an end of the stretch.)
            offer(middle);
            if (!from || extremum || std::fabs(step) > 0.5 * w)
                offer(atLo), offer(atHi);
            if (!from)
                from = &middle, step = 0.5 * (lo + hi) - m;
            double c = from->c, s = from->s;
            Turn(c, s, step);
            const double root = RefineRoot(f, lo, hi, atLo.g, from->x + step, c, s, nearRoot, resolution);
            clusters.Add(root, OutlinePoint(a, c, s));
        };
        // g, its derivatives and nearness at the piece's ends, the start taken over from the
        // last piece evaluated when they meet; an end farther off than the band breaks the
        // stretch.
        struct Ends {
            Known lo, hi;
            bool nearHi;
        };
        const auto evalEnds = [&](Ends& e) {
            bool nearLo = lastNear;
            e.lo = last;
            if (piece.lo.x != last.x) {
                e.lo = {piece.lo.x, piece.lo.c, piece.lo.s, 0, 0, 0};
                f.EvalEnd(piece.lo.c, piece.lo.s, band, e.lo.g, e.lo.g1, e.lo.g2, nearLo);
            }
            e.hi = {piece.hi.x, piece.hi.c, piece.hi.s, 0, 0, 0};
            f.EvalEnd(piece.hi.c, piece.hi.s, band, e.hi.g, e.hi.g1, e.hi.g2, e.nearHi);
            last = e.hi;
            lastNear = e.nearHi;
            if (!nearLo)
                clusters.Break();
        };
        if (std::fabs(g1) > std::fabs(g2) * w + 0.5 * f.bound3 * w * w + slack) {
            // Monotone: one root at most. With g monotone the outlines stay within the band
            // along the piece when they do at its ends; an end farther off breaks the
            // stretch there.
            Ends ends;
            evalEnds(ends);
            addRoot(piece.lo.x, piece.hi.x, ends.lo, ends.hi);
            if (!ends.nearHi)
                clusters.Break();
            continue;
        }
        if (std::fabs(g2) > f.bound3 * w + slack) {
            // g' is monotone: g has one extremum here at most, found by Newton on g', and is
            // monotone on either side of it. An extremum within the band is a contact that
            // takes in the roots beside it (g stays between 0 and its value there); one
            // farther off breaks the stretch between them.
            Ends ends;
            evalEnds(ends);
            const double glo = ends.lo.g, ghi = ends.hi.g, slopeLo = ends.lo.g1, slopeHi = ends.hi.g1;
            const bool nearHi = ends.nearHi;
            // The extremum's value lies within the remainder bound of the Taylor quadratic's
            // extreme over the piece; when that keeps it clear of the band, its sign tells
            // on which side of it the root of ends of opposite sign lies, without finding it.
            const double vertex = std::clamp(-g1 / g2, -w, w),
                         qe = g + g1 * vertex + 0.5 * g2 * vertex * vertex;
            const bool clear = std::fabs(qe) > (1.0 / 6) * f.bound3 * w * w * w + slack +
                                                   bandG * (1 + std::fabs(g) + std::fabs(qe));
            if ((slopeLo < 0) == (slopeHi < 0)) {
                addRoot(piece.lo.x, piece.hi.x, ends.lo, ends.hi);
            } else if ((clear || firstOnly) && (glo < 0) != (ghi < 0)) {
                // (Where only whether the outlines meet matters, the root settles it.)
                if ((glo < 0) != (qe < 0)) {
                    addRoot(piece.lo.x, piece.hi.x, ends.lo, ends.hi);
                    clusters.Break();
                } else {
                    clusters.Break();
                    addRoot(piece.lo.x, piece.hi.x, ends.lo, ends.hi);
                }
            } else if (clear && (glo < 0) == (qe < 0)) {
                clusters.Break();
            } else {
                // A point between the roots beside the extremum. Where g at the Taylor
                // quadratic's vertex has the other sign than at the ends and the outlines lie
                // farther apart there than the band (as they do when qe is clear of it), that
                // point separates two roots without the extremum being found. Otherwise the
                // extremum is found as the root of g', and is a contact when it lies within
                // the band.
                Known split{m + vertex, piece.mid.c, piece.mid.s, 0, 0, 0};
                bool between = false;
                if ((glo < 0) == (ghi < 0) && std::fabs(vertex) < 0.5 * (piece.hi.x - piece.lo.x)) {
                    Turn(split.c, split.s, vertex);
                    f.Eval(split.c, split.s, split.g, split.g1, split.g2);
                    const double away = std::fabs(split.g);
                    between =
                        (split.g < 0) != (glo < 0) && away > slackScale * (2 + away) + bandG * (1 + away);
                }
                if (!between) {
                    // It starts from the root of the Taylor quadratic of g' about the middle
                    // or from a Newton step on g' from an end, whichever stays inside nearest
                    // to its point (from the middle itself if none does).
                    double d[5];
                    f.Eval(piece.mid.c, piece.mid.s, d);
                    const double r = TaylorRoots(d[1], d[2], d[3]);
                    const Known* from = &middle;
                    double step = 0;
                    bool inside = false;
                    const std::pair<const Known*, double> candidates[] = {
                        {&middle, r != 0 ? 2 * d[1] / r : -g1 / g2},
                        {&ends.lo, -ends.lo.g1 / ends.lo.g2},
                        {&ends.hi, -ends.hi.g1 / ends.hi.g2}};
                    for (const auto& [k, dk] : candidates)
                        if (k->x + dk > piece.lo.x && k->x + dk < piece.hi.x &&
                            (!inside || std::fabs(dk) < std::fabs(step)))
                            from = k, step = dk, inside = true;
                    split = {0, from->c, from->s, 0, 0, 0};
                    Turn(split.c, split.s, step);
                    split.x = RefineRoot(f, piece.lo.x, piece.hi.x, slopeLo, from->x + step, split.c, split.s,
                                         nearRoot, resolution, true);
                    f.Eval(split.c, split.s, split.g, split.g1, split.g2);
                }
                if (!between && f.Offset(split.c, split.s, split.g) <= band) {
                    clusters.Add(split.x, OutlinePoint(a, split.c, split.s));
                } else {
                    addRoot(piece.lo.x, split.x, ends.lo, split, &split);
                    clusters.Break();
                    addRoot(split.x, piece.hi.x, split, ends.hi, &split);
                }
            }
            if (!nearHi)
                clusters.Break();
            continue;
        }
        if (piece.depth >= kMaxDepth) {
            // Neither excluded nor monotone at the finest resolution: a touching point when
            // it lies on b within the tangency band.
            if (f.Offset(piece.mid.c, piece.mid.s, g) <= band)
                clusters.Add(m, OutlinePoint(a, piece.mid.c, piece.mid.s));
            else
                clusters.Break();
            continue;
        }
        const auto d = static_cast<std::size_t>(piece.depth + 1);
        const double hc = t.halfCos[d], hs = t.halfSin[d];
        const Angle& mid = piece.mid;
        const Angle upper{0.5 * (mid.x + piece.hi.x), mid.c * hc - mid.s * hs, mid.s * hc + mid.c * hs};
        const Angle lower{0.5 * (piece.lo.x + mid.x), mid.c * hc + mid.s * hs, mid.s * hc - mid.c * hs};
        stack[top++] = {mid, upper, piece.hi, piece.depth + 1};
        stack[top++] = {piece.lo, lower, mid, piece.depth + 1};
    }
    return clusters.Finish(a, out, top == 0);
}

bool ClearOfCrossing(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f)
{
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double margin =
        std::max(1e-9 * (1 + f.scale) * (1 + f.scale), 1e-8 * size / std::min(b.RadiusX(), b.RadiusY()));
    return std::fabs(f.mean) - f.reach > margin;
}

} // namespace Ostrel::Vision::Private::EllipsePair

namespace Ostrel::Vision::Private {

using namespace EllipsePair;

bool IntersectEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, int& count, Point2D& p1, Point2D& p2,
                             Point2D& p3, Point2D& p4)
{
    std::array<Point2D, 4> found{p1, p2, p3, p4};
    // Points found in another order, sorted into that of a's angle: compared as directions
    // on the unit circle of a's frame, the upper half turn first, then by the turn between.
    const auto sortByAngleOfA = [&] {
        std::array<Point2D, 4> unit;
        const auto before = [](const Point2D& u, const Point2D& w) {
            const bool lowerU = u.y < 0 || (u.y == 0 && u.x < 0), lowerW = w.y < 0 || (w.y == 0 && w.x < 0);
            return lowerU != lowerW ? lowerW : Cross(u, w) > 0;
        };
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const Point2D l = a.ToLocal(found[i]);
            unit[i] = {l.x / a.RadiusX(), l.y / a.RadiusY()};
            for (std::size_t k = i; k > 0 && before(unit[k], unit[k - 1]); --k) {
                std::swap(unit[k], unit[k - 1]);
                std::swap(found[k], found[k - 1]);
            }
        }
    };
    if (!Flat(a) && !Flat(b)) {
        const bool alongA = SearchAlongFirst(a, b);
        count = alongA ? IntersectProper(a, b, OutlineInFrame(a, b), found, false)
                       : IntersectProper(b, a, OutlineInFrame(b, a), found, false);
        if (!alongA)
            sortByAngleOfA();
    } else if (Flat(a) != Flat(b)) {
        // A zero-width ellipse is its segment (its outline would pass each crossing twice);
        // its points come in order along it.
        const TarnEllipse& segment = Flat(a) ? a : b;
        count = IntersectEllipseSegment(Flat(a) ? b : a, AsSegment(segment), count, found[0], found[1])
                    ? count
                    : 0;
        if (Flat(b))
            sortByAngleOfA();
    } else {
        int n = 0;
        IntersectSegmentSegment(AsSegment(a), AsSegment(b), &n, &found[0]);
        count = n < 0 ? 1 : n;
    }
    p1 = found[0];
    p2 = found[1];
    p3 = found[2];
    p4 = found[3];
    return count != 0;
}

} // namespace Ostrel::Vision::Private
