// Seeded synthetic point sets and a C++ face of the fitting interface for the tests.
#pragma once

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <korm/korm.h>

namespace fitdata {

enum class Shape { Line, Circle, Ellipse };
constexpr double pi = std::numbers::pi;

// Line: {distance, angle}; circle: {cx, cy, r}; ellipse: {cx, cy, a, b, theta} with a >= b
// and theta in (-pi/2, pi/2].
using Params = std::vector<double>;

struct Fitted {
    korm_status status = KORM_E_FAIL;
    Params params;
    std::vector<int> leftOut;
    double rms = 0;
};

inline Params Canonical(Shape shape, Params p)
{
    if (shape != Shape::Ellipse)
        return p;
    if (p[2] < p[3]) {
        std::swap(p[2], p[3]);
        p[4] += pi / 2;
    }
    p[4] = std::remainder(p[4], pi);
    if (p[4] <= -pi / 2)
        p[4] += pi;
    return p;
}

inline Fitted Fit(Shape shape, const std::vector<korm_vect>& pts, int k = 0,
                  const double* constraint = nullptr)
{
    korm_fitParams params;
    korm_lineFitParams_init(&params);
    params.numToIgnore = k;
    params.constraintEnabled = constraint ? 1 : 0;
    params.constraintValue = constraint ? *constraint : 0.0;
    const auto n = static_cast<int32_t>(pts.size());
    Fitted f;
    const kors_vector32* list = nullptr;
    korm_lineFitResult line;
    korm_circleFitResult circle;
    korm_ellipseFitResult ellipse;
    korm_lineFitResult_construct(&line);
    korm_circleFitResult_construct(&circle);
    korm_ellipseFitResult_construct(&ellipse);
    if (shape == Shape::Line) {
        f.status = korm_lineFit(pts.data(), n, &params, &line);
        f.params = {line.line.distance, line.line.angle};
        f.rms = line.rmsError;
        list = &line.leftOut;
    } else if (shape == Shape::Circle) {
        f.status = korm_circleFit(pts.data(), n, &params, &circle);
        f.params = {circle.centerX, circle.centerY, circle.radius};
        f.rms = circle.rmsError;
        list = &circle.leftOut;
    } else {
        f.status = korm_ellipseFit(pts.data(), n, &params, &ellipse);
        const korm_shapeEllipse& e = ellipse.ellipse;
        f.params = {e.center.x, e.center.y, e.radii.x, e.radii.y, e.angle};
        f.rms = ellipse.rmsError;
        list = &ellipse.leftOut;
    }
    const int32_t* begin;
    int32_t size;
    kors_vector32_getBeginSizeConst(list, &begin, &size);
    f.leftOut.assign(begin, begin + size);
    korm_lineFitResult_destruct(&line);
    korm_circleFitResult_destruct(&circle);
    korm_ellipseFitResult_destruct(&ellipse);
    return f;
}

// n points evenly spread over `arc` radians of the shape (a line: over 2 * arc * 50 units),
// with Gaussian noise of sigma on each coordinate. Returns the points; `jacobian` receives
// the rows of the Jacobian of the orthogonal distances at the true points.
inline std::vector<korm_vect> Sample(Shape shape, const Params& p, int n, double arc, double sigma,
                                     std::mt19937_64& rng,
                                     std::vector<std::vector<double>>* jacobian = nullptr)
{
    std::normal_distribution<double> noise(0, sigma);
    std::vector<korm_vect> pts;
    for (int i = 0; i < n; ++i) {
        const double t = (arc < 2 * pi - 1e-9 ? arc * i / (n - 1) : arc * i / n) - arc / 2;
        double x, y;
        std::vector<double> row;
        if (shape == Shape::Line) {
            const double s = 50 * t, c = std::cos(p[1]), sn = std::sin(p[1]);
            x = -p[0] * sn + s * c;
            y = p[0] * c + s * sn;
            row = {-1, -(c * x + sn * y)};
        } else if (shape == Shape::Circle) {
            x = p[0] + p[2] * std::cos(t);
            y = p[1] + p[2] * std::sin(t);
            row = {-std::cos(t), -std::sin(t), -1};
        } else {
            const double c = std::cos(p[4]), s = std::sin(p[4]), fx = p[2] * std::cos(t),
                         fy = p[3] * std::sin(t);
            x = p[0] + c * fx - s * fy;
            y = p[1] + s * fx + c * fy;
            double nx = std::cos(t) / p[2], ny = std::sin(t) / p[3];
            const double nn = std::hypot(nx, ny);
            nx /= nn, ny /= nn;
            row = {-(c * nx - s * ny), -(s * nx + c * ny), -nx * std::cos(t), -ny * std::sin(t),
                   nx * fy - ny * fx};
        }
        if (jacobian)
            jacobian->push_back(row);
        pts.push_back({x + noise(rng), y + noise(rng)});
    }
    return pts;
}

} // namespace fitdata
