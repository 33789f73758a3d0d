#pragma once
// An independent reference for the distance tools. Random shapes are given in the pixel
// space "#" of an image whose selected space is a rotated, scaled and shifted fixture; the
// reference maps them into that space itself and measures there from first principles:
// closed forms for straight shapes and tangents, and bisection on the orthogonality
// condition for a point and an ellipse.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Transform2D.h>

#include "common/PlaneReference.h"

namespace DistanceReference {

using namespace PlaneReference;

// The distance and the closest points on the first and on the second shape; all zero for
// shapes that touch or cross.
struct Nearest {
    double distance;
    P a, b;
};

inline Nearest Swap(Nearest n) { return {n.distance, n.b, n.a}; }

// The point of the line through s0 and s1 nearest p, and its parameter along s0 → s1.
inline P Foot(P p, P s0, P s1, double& t)
{
    t = Dot(p - s0, s1 - s0) / Dot(s1 - s0, s1 - s0);
    return s0 + t * (s1 - s0);
}

inline Nearest PointLine(P p, P l0, P l1)
{
    double t;
    const P f = Foot(p, l0, l1, t);
    return {Norm(p - f), p, f};
}

inline Nearest PointSegment(P p, P s0, P s1)
{
    double t;
    Foot(p, s0, s1, t);
    const P f = s0 + std::clamp(t, 0.0, 1.0) * (s1 - s0);
    return {Norm(p - f), p, f};
}

// The closest point of the outline is where p − e(t) is normal to it: every sign change of
// (p − e(t))·e'(t) over a fine sampling is bisected to the last bit, and the nearest root kept.
inline Nearest PointEllipse(P p, const Ellipse& e)
{
    auto g = [&](double t) { return Dot(p - e.At(t), e.Tangent(t)); };
    Nearest best{INFINITY, p, p};
    const int samples = 4096;
    for (int i = 0; i < samples; ++i) {
        double lo = 2 * std::numbers::pi * i / samples, hi = 2 * std::numbers::pi * (i + 1) / samples;
        if ((g(lo) > 0) == (g(hi) > 0))
            continue;
        for (int step = 0; step < 200 && lo < hi; ++step) {
            const double mid = 0.5 * (lo + hi);
            if (mid == lo || mid == hi)
                break;
            ((g(mid) > 0) == (g(lo) > 0) ? lo : hi) = mid;
        }
        const P q = e.At(lo);
        if (Norm(p - q) < best.distance)
            best = {Norm(p - q), p, q};
    }
    return best;
}

// A line (bounded = false) or segment through l0 and l1 against an ellipse's outline. Apart
// from crossing, the nearest pair is an end point against the outline, or a point of the
// outline whose tangent is parallel to the line against its foot.
inline Nearest StraightEllipse(P l0, P l1, const Ellipse& e, bool bounded)
{
    const P u0 = e.Unit(l0), u1 = e.Unit(l1);
    const Nearest centre = bounded ? PointSegment({0, 0}, u0, u1) : PointLine({0, 0}, u0, u1);
    if (centre.distance <= 1 && (!bounded || std::max(Norm(u0), Norm(u1)) >= 1))
        return {0, {0, 0}, {0, 0}};
    const P d = Turn(l1 - l0, -e.rot);
    Nearest best{INFINITY, {0, 0}, {0, 0}};
    for (double t : {std::atan2(-e.b * d.x, e.a * d.y), std::atan2(-e.b * d.x, e.a * d.y) + std::numbers::pi}) {
        double along;
        const P f = Foot(e.At(t), l0, l1, along);
        if ((!bounded || (along >= 0 && along <= 1)) && Norm(e.At(t) - f) < best.distance)
            best = {Norm(e.At(t) - f), f, e.At(t)};
    }
    if (bounded)
        for (P end : {l0, l1})
            if (const Nearest n = PointEllipse(end, e); n.distance < best.distance)
                best = n;
    return best;
}

// The end point nearer the line (the end on a tie) and its foot; 0 when the ends lie on
// both sides or on the line.
inline Nearest SegmentLine(P s0, P s1, P l0, P l1)
{
    if (Cross(l1 - l0, s0 - l0) * Cross(l1 - l0, s1 - l0) <= 0)
        return {0, {0, 0}, {0, 0}};
    const Nearest n0 = PointLine(s0, l0, l1), n1 = PointLine(s1, l0, l1);
    return n1.distance > n0.distance ? n0 : n1;
}

// The candidates A0, A1 against B, then B0, B1 against A; the earlier wins a tie.
inline Nearest SegmentSegment(P a0, P a1, P b0, P b1)
{
    const double d0 = Cross(a1 - a0, b0 - a0), d1 = Cross(a1 - a0, b1 - a0);
    const double d2 = Cross(b1 - b0, a0 - b0), d3 = Cross(b1 - b0, a1 - b0);
    if (d0 * d1 <= 0 && d2 * d3 <= 0)
        return {0, {0, 0}, {0, 0}};
    Nearest best = PointSegment(a0, b0, b1);
    for (Nearest n : {PointSegment(a1, b0, b1), Swap(PointSegment(b0, a0, a1)), Swap(PointSegment(b1, a0, a1))})
        if (n.distance < best.distance)
            best = n;
    return best;
}

// Circles apart or one inside the other: the points on the line of the centres.
inline Nearest CircleCircle(const Ellipse& a, const Ellipse& b)
{
    const double d = Norm(b.c - a.c);
    const P u = (1 / d) * (b.c - a.c);
    if (d >= a.a + b.a)
        return {d - a.a - b.a, a.c + a.a * u, b.c - b.a * u};
    if (d <= std::abs(a.a - b.a)) {
        const P v = a.a > b.a ? u : -1.0 * u;
        return {std::abs(a.a - b.a) - d, a.c + a.a * v, b.c + b.a * v};
    }
    return {0, {0, 0}, {0, 0}};
}

// An image whose selected space is a fixture rotated by `angle`, scaled by `scale` and
// shifted from the pixel space, and the shapes drawn at random in the pixel space "#",
// each with the copy that the fixture sees.
class RandomSpace {
public:
    explicit RandomSpace(unsigned seed) : rng_(seed)
    {
        angle_ = Uniform(-std::numbers::pi, std::numbers::pi);
        scale_ = Uniform(0.5, 2);
        shift_ = {Uniform(-50, 50), Uniform(-50, 50)};
        image = Ostrel::Quill::Create<Ostrel::Vision::Image8Grey>(64, 48);
        const double c = scale_ * std::cos(angle_), s = scale_ * std::sin(angle_);
        image->CoordinateSpaceTree()->AddSpace("#", "Fixture",
                                               Ostrel::Vision::Transform2DLinear(c, -s, s, c, shift_.x, shift_.y));
        image->setSelectedSpaceName("Fixture");
    }

    // What one part in 1e9 of the shapes' size is, in the fixture.
    double Tolerance() const { return 1e-9 * 100 * scale_; }

    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    P Point() { return {Uniform(-100, 100), Uniform(-100, 100)}; }
    P Seen(P p) const { return scale_ * Turn(p, angle_) + shift_; }

    template <class Shape>
    std::shared_ptr<Shape> New()
    {
        auto shape = Ostrel::Quill::Create<Shape>();
        shape->setSelectedSpaceName("#");
        return shape;
    }
    std::shared_ptr<Ostrel::Vision::Circle> Circle(Ellipse& seen)
    {
        auto circle = New<Ostrel::Vision::Circle>();
        const P c = Point();
        const double r = Uniform(5, 60);
        circle->SetCenterRadius(c.x, c.y, r);
        seen = {Seen(c), scale_ * r, scale_ * r, 0};
        return circle;
    }
    std::shared_ptr<Ostrel::Vision::Ellipse> Ellipse(PlaneReference::Ellipse& seen)
    {
        auto ellipse = New<Ostrel::Vision::Ellipse>();
        const P c = Point();
        const double a = Uniform(5, 60), b = Uniform(5, 60), rot = Uniform(-3, 3);
        ellipse->SetCenterXYRadiusXYRotation(c.x, c.y, a, b, rot);
        seen = {Seen(c), scale_ * a, scale_ * b, rot + angle_};
        return ellipse;
    }
    std::shared_ptr<Ostrel::Vision::LineSegment> Segment(P& seen0, P& seen1)
    {
        auto segment = New<Ostrel::Vision::LineSegment>();
        const P s0 = Point(), s1 = Point();
        segment->SetStartEnd(s0.x, s0.y, s1.x, s1.y);
        seen0 = Seen(s0), seen1 = Seen(s1);
        return segment;
    }
    // A line, seen as two of its points.
    std::shared_ptr<Ostrel::Vision::Line> Line(P& seen0, P& seen1)
    {
        auto line = New<Ostrel::Vision::Line>();
        const P p = Point();
        const double rotation = Uniform(-3, 3);
        line->SetXYRotation(p.x, p.y, rotation);
        seen0 = Seen(p), seen1 = Seen(p + P{std::cos(rotation), std::sin(rotation)});
        return line;
    }

    std::shared_ptr<Ostrel::Vision::Image8Grey> image;

private:
    std::mt19937 rng_;
    double angle_ = 0, scale_ = 1;
    P shift_{0, 0};
};

// Checks a tool's outputs, read through its pins as a host reads them, against `expected`
// (to `tol`).
template <class Tool>
void ExpectOutputs(const std::shared_ptr<Tool>& tool, const std::vector<double>& expected, double tol)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(tool->Outputs()[i]->GetValue(tool).template get_value<double>(), expected[i], tol) << i;
}

} // namespace DistanceReference
