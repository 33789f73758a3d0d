#pragma once
// Plane geometry for the independent references of the tool tests, written from first
// principles: points as vectors, and an ellipse (a circle when its radii agree) by centre,
// radii and rotation.
#include <cmath>

namespace PlaneReference {

struct P {
    double x, y;
};
inline P operator+(P a, P b) { return {a.x + b.x, a.y + b.y}; }
inline P operator-(P a, P b) { return {a.x - b.x, a.y - b.y}; }
inline P operator*(double k, P a) { return {k * a.x, k * a.y}; }
inline double Dot(P a, P b) { return a.x * b.x + a.y * b.y; }
inline double Cross(P a, P b) { return a.x * b.y - a.y * b.x; }
inline double Norm(P a) { return std::hypot(a.x, a.y); }
inline P Turn(P a, double angle) { return {a.x * std::cos(angle) - a.y * std::sin(angle), a.x * std::sin(angle) + a.y * std::cos(angle)}; }

// An ellipse (a circle when a = b): e(t) = c + R(rot)·(a cos t, b sin t).
struct Ellipse {
    P c;
    double a, b, rot;
    P At(double t) const { return c + Turn({a * std::cos(t), b * std::sin(t)}, rot); }
    P Tangent(double t) const { return Turn({-a * std::sin(t), b * std::cos(t)}, rot); }
    // A displacement, and a point, in the frame where the ellipse is the unit circle.
    P Scale(P d) const
    {
        const P q = Turn(d, -rot);
        return {q.x / a, q.y / b};
    }
    P Unit(P p) const { return Scale(p - c); }
};

} // namespace PlaneReference
