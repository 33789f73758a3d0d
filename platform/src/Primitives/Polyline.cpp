#include <Ostrel/Vision/Private/Polyline.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>
#include <Ostrel/Vision/Transform2D.h>

#include "RoundShapesDetail.h"

namespace Ostrel::Vision::Private {

Polyline::Polyline(std::vector<Point2D> vertices, bool closed)
    : vertices_(std::move(vertices)), closed_(closed)
{
    if (vertices_.empty())
        OutlineDetail::RejectEmptyOutline();
    for (const auto& v : vertices_)
        CheckValue(v, "polyline vertex");
}

std::size_t Polyline::EdgeCount() const
{
    const std::size_t n = vertices_.size();
    return n == 1 ? 1 : (closed_ ? n : n - 1);
}

Segment2D Polyline::Edge(std::size_t i) const
{
    const std::size_t n = vertices_.size();
    return {vertices_[i], vertices_[i + 1 < n ? i + 1 : 0]};
}

Polyline Polyline::MapLinear(const Transform2DLinear& transform) const
{
    std::vector<Point2D> mapped;
    mapped.reserve(vertices_.size());
    for (const auto& v : vertices_)
        mapped.push_back(Private::MapLinear(v, transform));
    return {std::move(mapped), closed_};
}

double Polyline::NearestPoint(const Point2D& point, Point2D& nearest) const
{
    Require(point, "point");
    // One pass comparing squared distances; the winning edge's point is formed once, after.
    const Point2D* v = vertices_.data();
    const std::size_t n = vertices_.size();
    double best = std::numeric_limits<double>::infinity();
    std::size_t bestEdge = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double d2 = OutlineDetail::EdgeDistance2(point, v[i], v[i + 1]);
        if (d2 < best) {
            best = d2;
            bestEdge = i;
        }
    }
    if ((closed_ || n == 1) && OutlineDetail::EdgeDistance2(point, v[n - 1], v[0]) < best)
        bestEdge = n - 1;
    const Segment2D e = Edge(bestEdge);
    nearest = OutlineDetail::NearestOnEdge(point, e.start, e.end);
    return Distance(point, nearest);
}

bool Polyline::Inside(const Point2D& point) const
{
    Require(point, "point");
    if (!closed_)
        return false;
    bool inside = false, onOutline = false;
    const Point2D* v = vertices_.data();
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        OutlineDetail::InsideStep(v[j], v[i], point, inside, onOutline);
    return inside || onOutline;
}

void OutlineDetail::RejectEmptyOutline()
{
    throw PrimitiveFailure(PrimitiveFailureKind::DegenerateShape, "A polyline needs at least one vertex.");
}

double DistanceSegmentSegment(const Segment2D& a, const Segment2D& b, Point2D& onA, Point2D& onB)
{
    Point2D common;
    if (IntersectSegmentSegment(a, b, nullptr, &common)) {
        onA = onB = common;
        return 0;
    }
    Point2D c;
    double best = DistancePointSegment(a.start, b, c);
    onA = a.start;
    onB = c;
    const auto consider = [&](double d, Point2D pa, Point2D pb) {
        if (d < best) {
            best = d;
            onA = pa;
            onB = pb;
        }
    };
    double d = DistancePointSegment(a.end, b, c);
    consider(d, a.end, c);
    d = DistancePointSegment(b.start, a, c);
    consider(d, c, b.start);
    d = DistancePointSegment(b.end, a, c);
    consider(d, c, b.end);
    return best;
}

namespace ChainTrees {

struct Box {
    double x0, y0, x1, y1;
};

Box Merge(const Box& a, const Box& b)
{
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// Squared distance between two boxes: the search compares it with the squared best
// distance, which spares a square root per node pair.
double BoxDistance2(const Box& a, const Box& b)
{
    const double dx = std::max({0.0, a.x0 - b.x1, b.x0 - a.x1});
    const double dy = std::max({0.0, a.y0 - b.y1, b.y0 - a.y1});
    return dx * dx + dy * dy;
}

// A bounding-volume tree over the edges of a chain. Consecutive edges of an outline lie
// close together, so the tree first halves the chain's index range: tight boxes without
// any sorting, built in one linear pass (leaf boxes, then each parent the union of its
// children). A chain whose consecutive edges wander all over (vertices in a scattered
// order) gives leaf boxes that together cover its box many times over, and would leave
// the search without bounds; such a chain is rebuilt with spatial splits instead (at the
// median of the edge midpoints along the longer side of each box). Leaves hold up to
// kLeafSize edges.
class EdgeTree {
public:
    static constexpr std::size_t kLeafSize = 4;
    // Leaf boxes covering the root box more often than this call for spatial splits.
    static constexpr double kMaxLeafCover = 16;

    struct Node {
        Box box;
        std::size_t begin, end; // range of edges (of order_ after spatial splits)
        int left = -1, right = -1;
    };

    explicit EdgeTree(const Polyline& chain) : chain_(chain)
    {
        const std::size_t n = chain.EdgeCount();
        nodes_.reserve(2 * (n / kLeafSize) + 2);
        Build(0, n);
        const Box& root = nodes_[0].box;
        if (leafArea_ > kMaxLeafCover * (root.x1 - root.x0) * (root.y1 - root.y0)) {
            nodes_.clear();
            order_.resize(n);
            mids_.resize(n);
            for (std::size_t i = 0; i < n; ++i) {
                order_[i] = i;
                const Segment2D e = chain.Edge(i);
                mids_[i] = 0.5 * (e.start + e.end);
            }
            BuildSpatial(0, n);
        }
    }

    const std::vector<Node>& Nodes() const { return nodes_; }
    std::size_t ChainIndex(std::size_t k) const { return order_.empty() ? k : order_[k]; }
    Segment2D Edge(std::size_t k) const { return chain_.Edge(ChainIndex(k)); }

private:
    Box LeafBox(std::size_t begin, std::size_t end) const
    {
        const Segment2D first = Edge(begin);
        Box box{first.start.x, first.start.y, first.start.x, first.start.y};
        for (std::size_t k = begin; k < end; ++k) {
            const Segment2D e = Edge(k);
            box = Merge(box, {std::min(e.start.x, e.end.x), std::min(e.start.y, e.end.y),
                              std::max(e.start.x, e.end.x), std::max(e.start.y, e.end.y)});
        }
        return box;
    }

    int Build(std::size_t begin, std::size_t end)
    {
        const int index = static_cast<int>(nodes_.size());
        nodes_.push_back({{}, begin, end});
        Box box;
        if (end - begin > kLeafSize) {
            // Split at a multiple of the leaf size so that leaves are full.
            const std::size_t half = (end - begin) / 2;
            const std::size_t mid = begin + std::max(kLeafSize, half - half % kLeafSize);
            const int left = Build(begin, mid);
            const int right = Build(mid, end);
            box = Merge(nodes_[static_cast<std::size_t>(left)].box, nodes_[static_cast<std::size_t>(right)].box);
            nodes_[static_cast<std::size_t>(index)].left = left;
            nodes_[static_cast<std::size_t>(index)].right = right;
        } else {
            box = LeafBox(begin, end);
            leafArea_ += (box.x1 - box.x0) * (box.y1 - box.y0);
        }
        nodes_[static_cast<std::size_t>(index)].box = box;
        return index;
    }

    int BuildSpatial(std::size_t begin, std::size_t end)
    {
        const int index = static_cast<int>(nodes_.size());
        const Box box = LeafBox(begin, end);
        nodes_.push_back({box, begin, end});
        if (end - begin > kLeafSize) {
            const std::size_t mid = begin + (end - begin) / 2;
            const bool alongX = box.x1 - box.x0 >= box.y1 - box.y0;
            std::nth_element(order_.begin() + static_cast<std::ptrdiff_t>(begin),
                             order_.begin() + static_cast<std::ptrdiff_t>(mid),
                             order_.begin() + static_cast<std::ptrdiff_t>(end),
                             [&](std::size_t i, std::size_t j) {
                                 return alongX ? mids_[i].x < mids_[j].x : mids_[i].y < mids_[j].y;
                             });
            const int left = BuildSpatial(begin, mid);
            const int right = BuildSpatial(mid, end);
            nodes_[static_cast<std::size_t>(index)].left = left;
            nodes_[static_cast<std::size_t>(index)].right = right;
        }
        return index;
    }

    const Polyline& chain_;
    std::vector<std::size_t> order_; // empty while the tree follows the chain order
    std::vector<Point2D> mids_;
    std::vector<Node> nodes_;
    double leafArea_ = 0;
};

// Squared distance from `p` to the segment s + t·d, t in [0, 1].
double PointSegment2(Point2D p, Point2D s, Point2D d, double len2)
{
    const double wx = p.x - s.x, wy = p.y - s.y;
    const double t = OutlineDetail::Clamp01((wx * d.x + wy * d.y) / len2);
    const double rx = wx - t * d.x, ry = wy - t * d.y;
    return rx * rx + ry * ry;
}

// A cheap estimate of the squared distance between two segments, within rounding of the
// true value unless they may cross (then 0): the least of the four end-to-segment squared
// distances, with plain orientation signs for the crossing test. The search calls the
// exact DistanceSegmentSegment only for pairs whose estimate can beat the best so far.
double SegmentSegmentEstimate2(const Segment2D& a, const Segment2D& b)
{
    const Point2D da = a.end - a.start, db = b.end - b.start;
    const double o1 = Cross(da, b.start - a.start), o2 = Cross(da, b.end - a.start);
    const double o3 = Cross(db, a.start - b.start), o4 = Cross(db, a.end - b.start);
    const bool apart = (o1 > 0 && o2 > 0) || (o1 < 0 && o2 < 0) || (o3 > 0 && o4 > 0) || (o3 < 0 && o4 < 0);
    if (!apart)
        return 0;
    const double la = Dot(da, da), lb = Dot(db, db);
    return std::min(std::min(PointSegment2(a.start, b.start, db, lb), PointSegment2(a.end, b.start, db, lb)),
                    std::min(PointSegment2(b.start, a.start, da, la), PointSegment2(b.end, a.start, da, la)));
}

} // namespace ChainTrees

double NearestPair(const Polyline& f, const Polyline& g, Point2D& onF, Point2D& onG)
{
    using namespace ChainTrees;
    const EdgeTree tf(f), tg(g);
    const auto& nf = tf.Nodes();
    const auto& ng = tg.Nodes();
    // Rounding allowance of the estimates: a few ulps of the largest coordinate.
    const Box all = Merge(nf[0].box, ng[0].box);
    const double slack =
        1e-13 * std::max({std::fabs(all.x0), std::fabs(all.y0), std::fabs(all.x1), std::fabs(all.y1)});
    double best = std::numeric_limits<double>::infinity(), best2 = best;
    // Depth-first over node pairs, nearer child pair first; a pair whose boxes lie at least
    // `best` apart cannot improve (bounds are squared distances). Every pair is visited
    // once, which bounds the search.
    struct Pair {
        int a, b;
        double bound;
    };
    std::vector<Pair> stack;
    stack.push_back({0, 0, BoxDistance2(nf[0].box, ng[0].box)});
    while (!stack.empty() && best > 0) {
        const Pair top = stack.back();
        stack.pop_back();
        if (top.bound >= best2)
            continue;
        const auto& a = nf[static_cast<std::size_t>(top.a)];
        const auto& b = ng[static_cast<std::size_t>(top.b)];
        const bool aLeaf = a.left < 0, bLeaf = b.left < 0;
        if (aLeaf && bLeaf) {
            for (std::size_t i = a.begin; i < a.end && best > 0; ++i) {
                const Segment2D ea = tf.Edge(i);
                for (std::size_t j = b.begin; j < b.end && best > 0; ++j) {
                    const Segment2D eb = tg.Edge(j);
                    const double reach = best + slack;
                    if (SegmentSegmentEstimate2(ea, eb) >= reach * reach)
                        continue;
                    Point2D pa, pb;
                    const double d = DistanceSegmentSegment(ea, eb, pa, pb);
                    if (d < best) {
                        best = d;
                        best2 = d * d;
                        onF = pa;
                        onG = pb;
                    }
                }
            }
            continue;
        }
        // Split the larger box (or the one that is not a leaf).
        const bool splitA = bLeaf || (!aLeaf && (a.box.x1 - a.box.x0) + (a.box.y1 - a.box.y0) >=
                                                    (b.box.x1 - b.box.x0) + (b.box.y1 - b.box.y0));
        Pair c1, c2;
        if (splitA) {
            c1 = {a.left, top.b, BoxDistance2(nf[static_cast<std::size_t>(a.left)].box, b.box)};
            c2 = {a.right, top.b, BoxDistance2(nf[static_cast<std::size_t>(a.right)].box, b.box)};
        } else {
            c1 = {top.a, b.left, BoxDistance2(a.box, ng[static_cast<std::size_t>(b.left)].box)};
            c2 = {top.a, b.right, BoxDistance2(a.box, ng[static_cast<std::size_t>(b.right)].box)};
        }
        if (c1.bound > c2.bound)
            std::swap(c1, c2);
        if (c2.bound < best2)
            stack.push_back(c2);
        if (c1.bound < best2)
            stack.push_back(c1);
    }
    return best;
}

struct OutlineIndex::Tree {
    explicit Tree(const Polyline& outline) : edges(outline) {}
    ChainTrees::EdgeTree edges;
};

OutlineIndex::OutlineIndex(std::vector<Point2D> vertices, const Transform2DLinear& mapping)
    : outline_(std::move(vertices), true), mapping_(mapping), tree_(std::make_unique<const Tree>(outline_))
{
}

OutlineIndex::~OutlineIndex() = default;

bool OutlineIndex::MappedBy(const Transform2DLinear& m) const
{
    return m.A() == mapping_.A() && m.B() == mapping_.B() && m.C() == mapping_.C() && m.D() == mapping_.D() &&
           m.TX() == mapping_.TX() && m.TY() == mapping_.TY();
}

namespace {

double PointBoxDistance2(const Point2D& p, const ChainTrees::Box& box)
{
    const double dx = std::max({0.0, box.x0 - p.x, p.x - box.x1});
    const double dy = std::max({0.0, box.y0 - p.y, p.y - box.y1});
    return dx * dx + dy * dy;
}

} // namespace

OutlineNearest OutlineIndex::Nearest(const Point2D& point) const
{
    Require(point, "point");
    const ChainTrees::EdgeTree& tree = tree_->edges;
    const auto& nodes = tree.Nodes();
    // Depth-first, nearer child first. A node is passed over only when its box lies beyond
    // the best distance by more than the rounding of the edge distances (a few ulps of the
    // largest coordinate), so that every edge the pass would pick, ties included, is seen.
    const ChainTrees::Box& root = nodes[0].box;
    const double slack = 1e-13 * std::max({std::fabs(root.x0), std::fabs(root.y0), std::fabs(root.x1),
                                           std::fabs(root.y1), std::fabs(point.x), std::fabs(point.y)});
    double best = std::numeric_limits<double>::infinity(), reach2 = best;
    std::size_t bestIndex = std::numeric_limits<std::size_t>::max();
    Segment2D bestEdge{};
    std::vector<int> stack;
    stack.reserve(64);
    stack.push_back(0);
    while (!stack.empty()) {
        const auto& node = nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        if (PointBoxDistance2(point, node.box) > reach2)
            continue;
        if (node.left < 0) {
            for (std::size_t k = node.begin; k < node.end; ++k) {
                const Segment2D e = tree.Edge(k);
                const double d2 = OutlineDetail::EdgeDistance2(point, e.start, e.end);
                const std::size_t index = tree.ChainIndex(k);
                if (d2 < best || (d2 == best && index < bestIndex)) {
                    best = d2;
                    bestIndex = index;
                    bestEdge = e;
                    const double reach = std::sqrt(best) + slack;
                    reach2 = reach * reach;
                }
            }
            continue;
        }
        const auto& l = nodes[static_cast<std::size_t>(node.left)];
        const auto& r = nodes[static_cast<std::size_t>(node.right)];
        const bool leftFirst = PointBoxDistance2(point, l.box) <= PointBoxDistance2(point, r.box);
        stack.push_back(leftFirst ? node.right : node.left);
        stack.push_back(leftFirst ? node.left : node.right);
    }
    // The inside test visits only the edges whose boxes reach the point's height and its
    // right: no other edge can cross the ray towards +x or hold the point.
    bool inside = false, onOutline = false;
    stack.push_back(0);
    while (!stack.empty()) {
        const auto& node = nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        if (node.box.y1 < point.y || node.box.y0 > point.y || node.box.x1 < point.x)
            continue;
        if (node.left < 0) {
            for (std::size_t k = node.begin; k < node.end; ++k) {
                const Segment2D e = tree.Edge(k);
                OutlineDetail::InsideStep(e.start, e.end, point, inside, onOutline);
            }
            continue;
        }
        stack.push_back(node.right);
        stack.push_back(node.left);
    }
    const Point2D nearest = OutlineDetail::NearestOnEdge(point, bestEdge.start, bestEdge.end);
    return {Distance(point, nearest), nearest, inside || onOutline};
}

} // namespace Ostrel::Vision::Private
