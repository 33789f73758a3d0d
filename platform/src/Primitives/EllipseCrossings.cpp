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

// Root of g in [lo, hi] where g(lo) and g(hi) differ in sign, from the start x (with cos
// c and sin s): Newton steps kept inside the shrinking bracket, bisection when a step
// leaves it. Ends when the Newton step, the error left after it or the bracket is below
// the angle resolution, or
// when Newton, close to the root (|g| <= nearRoot), stops converging: its steps then only
// follow the rounding noise of g, and the root is as accurate as g allows. c and s return
// the cos and sin of the root. With `slope` the same for g' (an extremum of g), glo then
// being g'(lo).
double RefineRoot(const OutlineInFrame& f, double lo, double hi, double glo, double x, double& c, double& s,
                  double nearRoot, double resolution, bool slope = false)
{
    double lastStep = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kMaxRefineSteps; ++i) {
        double g, dg, g2;
        f.Eval(c, s, g, dg, g2);
        // Newton's error after a step d is about d²·|g''| / (2|g'|) (for g', with the
        // bound of g''' in place of g'').
        double curvature = std::fabs(g2);
        if (slope) {
            g = dg;
            dg = g2;
            curvature = f.bound3;
        }
        if (g == 0)
            return x;
        if ((g < 0) == (glo < 0))
            lo = x;
        else
            hi = x;
        const double newtonStep = dg != 0 ? g / dg : std::numeric_limits<double>::infinity();
        if (std::fabs(newtonStep) <= resolution)
            return x; // at the root to the resolution (the step may not even leave x)
        double next = x - newtonStep;
        const bool newton = next > lo && next < hi;
        if (!newton)
            next = 0.5 * (lo + hi);
        const double step = next - x;
        const bool stalled = newton && std::fabs(g) <= nearRoot && std::fabs(step) > 0.5 * lastStep;
        const bool last = newton && step * step * curvature <= 2 * resolution * std::fabs(dg);
        lastStep = newton ? std::fabs(step) : std::numeric_limits<double>::infinity();
        Turn(c, s, step);
        x = next;
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

void Turn(double& c, double& s, double d)
{
    double cd, sd;
    if (std::fabs(d) > 0.5) {
        cd = std::cos(d);
        sd = std::sin(d);
    } else if (std::fabs(d) <= 1e-3) {
        const double x = d * d;
        cd = 1 - x * (1.0 / 2 - x * (1.0 / 24 - x * (1.0 / 720)));
        sd = d * (1 - x * (1.0 / 6 - x * (1.0 / 120 - x * (1.0 / 5040))));
    } else {
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
            items_[count_++] = {angle, angle, point, 1, fromStart_};
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
        std::array<std::pair<double, Point2D>, 64> points;
        for (std::size_t i = 0; i < count_; ++i) {
            const Item& c = items_[i];
            // One root is a crossing at its refined point; a stretch of several members is
            // one contact, reported at the middle of the stretch.
            const double mid = 0.5 * (c.first + c.last);
            points[i] = {mid < 0 ? mid + kTwoPi : mid, c.members == 1 ? c.point : OutlinePoint(a, mid)};
        }
        std::sort(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(count_),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
        const std::size_t n = std::min(count_, out.size());
        for (std::size_t i = 0; i < n; ++i)
            out[i] = points[i].second;
        return static_cast<int>(n);
    }

private:
    struct Item {
        double first, last;
        Point2D point; // of the first member
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
    struct Piece {
        double lo, hi, c, s; // ends, cos and sin of the middle
        int depth;
    };
    std::array<Piece, kStartPieces + kMaxDepth + 2> stack;
    std::size_t top = 0;
    for (int i = kStartPieces - 1; i >= 0; --i) {
        const auto k = static_cast<std::size_t>(i);
        stack[top++] = {kTwoPi * i / kStartPieces, kTwoPi * (i + 1) / kStartPieces, t.midCos[k], t.midSin[k],
                        0};
    }
    // Coincident outlines: g vanishes everywhere; there is no isolated crossing.
    if (f.coefficientSize <= 1e-13)
        return 0;
    // Pieces come in order of angle, so a piece's start is often the end of the last
    // piece whose ends were evaluated.
    double lastEnd = -1, lastG = 0, lastSlope = 0;
    bool lastNear = false;
    Clusters clusters;
    for (int examined = 0; top > 0 && examined < kMaxPieces && !(firstOnly && clusters.Certain());
         ++examined) {
        const Piece piece = stack[--top];
        const double w = 0.5 * (piece.hi - piece.lo) + kAngleDrift;
        double g, g1, g2;
        f.Eval(piece.c, piece.s, g, g1, g2);
        // |v| <= 1 + |g|, so this covers a few ulps of |v|·(|p| + |A| + |B|).
        const double slack = slackScale * (2 + std::fabs(g));
        // Taylor about the middle with the global bound of g''': neither a root nor a
        // point within the band when the quadratic part keeps the sign of g over the
        // piece by more than the remainder can take away. Seen from the sign of g, the
        // quadratic's least value over [-w, w] is at an end or at its vertex.
        const double sign = g < 0 ? -1 : 1, q1 = sign * g1, q2 = sign * g2;
        double least = std::fabs(g) - std::fabs(q1) * w + 0.5 * q2 * w * w;
        if (q2 > 0 && std::fabs(q1) < q2 * w)
            least = std::fabs(g) - 0.5 * q1 * q1 / q2;
        if (least > f.bound3 * w * w * w / 6 + slack + bandG * (1 + std::fabs(g))) {
            clusters.Break();
            continue;
        }
        // The root of a monotone stretch [lo, hi] of g within the piece, when its ends differ
        // in sign (a zero counts as positive, so a root on a shared end is found once). The
        // refinement starts from the root of the Taylor quadratic about the middle that lies
        // in the stretch (the middle of the stretch if none does), its cos and sin turned
        // from the middle's.
        const double m = 0.5 * (piece.lo + piece.hi);
        const auto addRoot = [&](double lo, double hi, double glo, double ghi) {
            if ((glo < 0) == (ghi < 0))
                return;
            double x = 0.5 * (lo + hi);
            const double disc = g1 * g1 - 2 * g * g2;
            if (disc >= 0) {
                // The two roots of g + g1·d + g2·d²/2, the first formed without cancellation.
                const double r = -(g1 + std::copysign(std::sqrt(disc), g1));
                for (const double d : {r != 0 ? 2 * g / r : 0.0, g2 != 0 ? r / g2 : 0.0})
                    if (m + d > lo && m + d < hi)
                        x = m + d;
            }
            double c = piece.c, s = piece.s;
            Turn(c, s, x - m);
            const double root = RefineRoot(f, lo, hi, glo, x, c, s, nearRoot, resolution);
            clusters.Add(root, OutlinePoint(a, c, s));
        };
        // g, g' and nearness at the piece's ends, the start taken over from the last piece
        // evaluated when they meet; an end farther off than the band breaks the stretch.
        struct Ends {
            double glo, ghi, slopeLo, slopeHi;
            bool nearHi;
        };
        const auto evalEnds = [&](Ends& e) {
            bool nearLo = lastNear;
            e.glo = lastG;
            e.slopeLo = lastSlope;
            if (piece.lo != lastEnd)
                f.EvalEnd(piece.lo, band, e.glo, e.slopeLo, nearLo);
            f.EvalEnd(piece.hi, band, e.ghi, e.slopeHi, e.nearHi);
            lastEnd = piece.hi;
            lastG = e.ghi;
            lastSlope = e.slopeHi;
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
            addRoot(piece.lo, piece.hi, ends.glo, ends.ghi);
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
            const double glo = ends.glo, ghi = ends.ghi, slopeLo = ends.slopeLo, slopeHi = ends.slopeHi;
            const bool nearHi = ends.nearHi;
            // The extremum's value lies within the remainder bound of the Taylor quadratic's
            // extreme over the piece; when that keeps it clear of the band, its sign tells
            // on which side of it the root of ends of opposite sign lies, without finding it.
            const double vertex = std::clamp(-g1 / g2, -w, w),
                         qe = g + g1 * vertex + 0.5 * g2 * vertex * vertex;
            const bool clear =
                std::fabs(qe) > f.bound3 * w * w * w / 6 + slack + bandG * (1 + std::fabs(g) + std::fabs(qe));
            if ((slopeLo < 0) == (slopeHi < 0)) {
                addRoot(piece.lo, piece.hi, glo, ghi);
            } else if ((clear || firstOnly) && (glo < 0) != (ghi < 0)) {
                // (Where only whether the outlines meet matters, the root settles it.)
                if ((glo < 0) != (qe < 0)) {
                    addRoot(piece.lo, piece.hi, glo, ghi);
                    clusters.Break();
                } else {
                    clusters.Break();
                    addRoot(piece.lo, piece.hi, glo, ghi);
                }
            } else if (clear && (glo < 0) == (qe < 0)) {
                clusters.Break();
            } else {
                // First step: Newton on g' from the middle, with the values at hand.
                const double start = m - g1 / g2, x = start > piece.lo && start < piece.hi ? start : m;
                double c = piece.c, s = piece.s;
                Turn(c, s, x - m);
                const double e =
                    RefineRoot(f, piece.lo, piece.hi, slopeLo, x, c, s, nearRoot, resolution, true);
                double ge, g1e, g2e;
                f.Eval(c, s, ge, g1e, g2e);
                if (f.Offset(c, s, ge) <= band) {
                    clusters.Add(e, OutlinePoint(a, c, s));
                } else {
                    addRoot(piece.lo, e, glo, ge);
                    clusters.Break();
                    addRoot(e, piece.hi, ge, ghi);
                }
            }
            if (!nearHi)
                clusters.Break();
            continue;
        }
        if (piece.depth >= kMaxDepth) {
            // Neither excluded nor monotone at the finest resolution: a touching point when
            // it lies on b within the tangency band.
            if (f.Offset(piece.c, piece.s, g) <= band)
                clusters.Add(0.5 * (piece.lo + piece.hi), OutlinePoint(a, piece.c, piece.s));
            else
                clusters.Break();
            continue;
        }
        const auto d = static_cast<std::size_t>(piece.depth + 1);
        const double hc = t.halfCos[d], hs = t.halfSin[d];
        stack[top++] = {m, piece.hi, piece.c * hc - piece.s * hs, piece.s * hc + piece.c * hs,
                        piece.depth + 1};
        stack[top++] = {piece.lo, m, piece.c * hc + piece.s * hs, piece.s * hc - piece.c * hs,
                        piece.depth + 1};
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
    if (!Flat(b)) {
        count = IntersectProper(a, b, OutlineInFrame(a, b), found, false);
    } else if (!Flat(a)) {
        count = IntersectEllipseSegment(a, AsSegment(b), count, found[0], found[1]) ? count : 0;
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
