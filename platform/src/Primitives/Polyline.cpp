#include <Ostrel/Vision/Private/Polyline.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>

namespace Ostrel::Vision::Private {

Polyline::Polyline(std::vector<Point2D> vertices, bool closed)
    : vertices_(std::move(vertices)), closed_(closed)
{
    if (vertices_.empty())
        throw PrimitiveFailure(PrimitiveFailureKind::DegenerateShape,
                               "A polyline needs at least one vertex.");
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
    CheckValue(point, "point");
    double best = std::numeric_limits<double>::infinity();
    const std::size_t edges = EdgeCount();
    for (std::size_t i = 0; i < edges; ++i) {
        const Segment2D e = Edge(i);
        const Point2D d = e.end - e.start;
        const double len2 = Dot(d, d);
        double t = len2 > 0 ? Dot(point - e.start, d) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const Point2D c = t == 1 ? e.end : e.start + t * d;
        const Point2D diff = point - c;
        const double dist2 = Dot(diff, diff);
        if (dist2 < best) {
            best = dist2;
            nearest = c;
        }
    }
    return Distance(point, nearest);
}

bool Polyline::Inside(const Point2D& point) const
{
    CheckValue(point, "point");
    if (!closed_)
        return false;
    bool inside = false;
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point2D a = vertices_[j], b = vertices_[i];
        const double o = DiffOfProducts(b.x - a.x, point.y - a.y, b.y - a.y, point.x - a.x);
        if (o == 0 && point.x >= std::min(a.x, b.x) && point.x <= std::max(a.x, b.x) &&
            point.y >= std::min(a.y, b.y) && point.y <= std::max(a.y, b.y))
            return true; // on the outline
        // Half-open rule on y: each crossing of the horizontal ray counted once.
        if ((a.y > point.y) != (b.y > point.y)) {
            // The ray crosses when the edge passes the point on its right: the sign of the
            // orientation, taken along the edge's upward direction.
            if ((b.y > a.y) == (o > 0))
                inside = !inside;
        }
    }
    return inside;
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

namespace {

struct Box {
    double x0, y0, x1, y1;
};

// Squared distance between two boxes: the search compares it with the squared best
// distance, which spares a square root per node pair.
double BoxDistance2(const Box& a, const Box& b)
{
    const double dx = std::max({0.0, a.x0 - b.x1, b.x0 - a.x1});
    const double dy = std::max({0.0, a.y0 - b.y1, b.y0 - a.y1});
    return dx * dx + dy * dy;
}

// A bounding-volume tree over the edges of a chain: nodes split the edges at the median
// of their midpoints along the box's longer side; leaves hold up to kLeafSize edges.
class EdgeTree {
public:
    static constexpr std::size_t kLeafSize = 4;

    struct Node {
        Box box;
        std::size_t begin, end; // range of order_
        int left = -1, right = -1;
    };

    explicit EdgeTree(const Polyline& chain) : chain_(chain)
    {
        const std::size_t n = chain.EdgeCount();
        order_.resize(n);
        mids_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            order_[i] = i;
            const Segment2D e = chain.Edge(i);
            mids_[i] = 0.5 * (e.start + e.end);
        }
        nodes_.reserve(2 * n / kLeafSize + 2);
        Build(0, n);
    }

    const std::vector<Node>& Nodes() const { return nodes_; }
    Segment2D Edge(std::size_t k) const { return chain_.Edge(order_[k]); }

private:
    int Build(std::size_t begin, std::size_t end)
    {
        Box box{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
        for (std::size_t k = begin; k < end; ++k) {
            const Segment2D e = chain_.Edge(order_[k]);
            box.x0 = std::min({box.x0, e.start.x, e.end.x});
            box.y0 = std::min({box.y0, e.start.y, e.end.y});
            box.x1 = std::max({box.x1, e.start.x, e.end.x});
            box.y1 = std::max({box.y1, e.start.y, e.end.y});
        }
        const int index = static_cast<int>(nodes_.size());
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
            const int left = Build(begin, mid);
            const int right = Build(mid, end);
            nodes_[static_cast<std::size_t>(index)].left = left;
            nodes_[static_cast<std::size_t>(index)].right = right;
        }
        return index;
    }

    const Polyline& chain_;
    std::vector<std::size_t> order_;
    std::vector<Point2D> mids_;
    std::vector<Node> nodes_;
};

} // namespace

double NearestPair(const Polyline& f, const Polyline& g, Point2D& onF, Point2D& onG)
{
    const EdgeTree tf(f), tg(g);
    const auto& nf = tf.Nodes();
    const auto& ng = tg.Nodes();
    double best = std::numeric_limits<double>::infinity();
    // Depth-first over node pairs, nearer child pair first; a pair whose boxes lie at least
    // `best` apart cannot improve (bounds are squared distances). The stack holds at most the tree depths'
    // sum of pairs per level, and every pair is visited once, which bounds the search.
    struct Pair {
        int a, b;
        double bound;
    };
    std::vector<Pair> stack;
    stack.push_back({0, 0, BoxDistance2(nf[0].box, ng[0].box)});
    while (!stack.empty() && best > 0) {
        const Pair top = stack.back();
        stack.pop_back();
        if (top.bound >= best * best)
            continue;
        const auto& a = nf[static_cast<std::size_t>(top.a)];
        const auto& b = ng[static_cast<std::size_t>(top.b)];
        const bool aLeaf = a.left < 0, bLeaf = b.left < 0;
        if (aLeaf && bLeaf) {
            for (std::size_t i = a.begin; i < a.end && best > 0; ++i)
                for (std::size_t j = b.begin; j < b.end && best > 0; ++j) {
                    Point2D pa, pb;
                    const double d = DistanceSegmentSegment(tf.Edge(i), tg.Edge(j), pa, pb);
                    if (d < best) {
                        best = d;
                        onF = pa;
                        onG = pb;
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
        if (c2.bound < best * best)
            stack.push_back(c2);
        if (c1.bound < best * best)
            stack.push_back(c1);
    }
    return best;
}

} // namespace Ostrel::Vision::Private
