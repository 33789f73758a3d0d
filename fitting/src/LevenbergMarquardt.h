// Levenberg–Marquardt shared by the geometric circle and ellipse fits.
#pragma once

#include <algorithm>
#include <cmath>

#include <Eigen/Dense>

namespace korm::core {

// Levenberg–Marquardt over N parameters: `cost(m)` is the sum of squared residuals,
// `normal(m, JtJ, Jtr)` accumulates the normal equations, `apply(m, step)` returns the moved
// model. Marquardt's scaling by the diagonal keeps the step invariant to the parameters'
// units. Stops when a step is below tol * scale, when no step lowers the cost, or after
// maxIterations; returns the iterations made.
template <int N, class Model, class Cost, class Normal, class Apply>
int LevenbergMarquardt(Model& m, Cost cost, Normal normal, Apply apply, int maxIterations, double tol,
                       double scale)
{
    using Mat = Eigen::Matrix<double, N, N>;
    using Vecn = Eigen::Matrix<double, N, 1>;
    double lambda = 1e-3;
    double current = cost(m);
    int it = 0;
    for (; it < maxIterations; ++it) {
        Mat jtj = Mat::Zero();
        Vecn jtr = Vecn::Zero();
        normal(m, jtj, jtr);
        // A parameter the points do not determine (the rotation of a circle-like ellipse)
        // has a zero column; a floor on the damping keeps the system solvable.
        const double floor = 1e-12 * jtj.trace() / N + 1e-300;
        bool accepted = false, converged = false;
        while (lambda < 1e16) {
            Mat a = jtj;
            for (int k = 0; k < N; ++k)
                a(k, k) += lambda * std::max(jtj(k, k), floor);
            const Vecn step = a.ldlt().solve(-jtr);
            if (!step.allFinite())
                break;
            Model trial = apply(m, step);
            const double c = cost(trial);
            if (c <= current) {
                converged = step.norm() <= tol * scale || current - c <= tol * tol * current;
                m = trial;
                current = c;
                lambda = std::max(lambda * 0.1, 1e-12);
                accepted = true;
                break;
            }
            lambda *= 10;
        }
        if (!accepted || converged)
            break;
    }
    return it + 1;
}

// The same iteration for residuals whose evaluation dominates the cost (the ellipse's foot
// points): `evaluate(m, JtJ, Jtr)` fills the normal equations and returns the cost in one
// pass, so that an accepted trial brings the next iteration's system with it. It stops also
// when the steps' rate of convergence puts the minimum within tol * scale, and when a rejected
// step is already below that. A non-finite
// cost rejects the trial. `accepted()` is called after the start's evaluation and after each
// accepted trial's, so that the evaluation can keep state of the current model. finalCost
// receives the cost of the model returned.
template <int N, class Model, class Evaluate, class Accepted, class Apply>
int LevenbergMarquardtFused(Model& m, Evaluate evaluate, Accepted accepted, Apply apply, int maxIterations,
                            double tol, double scale, double& finalCost)
{
    using Mat = Eigen::Matrix<double, N, N>;
    using Vecn = Eigen::Matrix<double, N, 1>;
    double lambda = 1e-3;
    Mat jtj = Mat::Zero(), trialJtj;
    Vecn jtr = Vecn::Zero(), trialJtr;
    double current = evaluate(m, jtj, jtr), previous = HUGE_VAL;
    accepted();
    int it = 0;
    for (; it < maxIterations; ++it) {
        const double floor = 1e-12 * jtj.trace() / N + 1e-300;
        bool taken = false, converged = false;
        while (lambda < 1e16) {
            Mat a = jtj;
            for (int k = 0; k < N; ++k)
                a(k, k) += lambda * std::max(jtj(k, k), floor);
            const Vecn step = a.ldlt().solve(-jtr);
            if (!step.allFinite())
                break;
            const Model trial = apply(m, step);
            trialJtj.setZero();
            trialJtr.setZero();
            const double c = evaluate(trial, trialJtj, trialJtr);
            // Near the minimum the cost changes by rounding only; such a change is no reason
            // to reject the step and pay another evaluation.
            if (c <= current * (1 + 1e-13)) {
                // Gauss–Newton converges linearly near a minimum with residuals; with the ratio
                // q of successive steps the remaining distance is about |step| q / (1 - q).
                const double size = step.norm(), q = size / previous;
                converged = size <= tol * scale ||
                            (previous < HUGE_VAL && q < 0.5 && size * q / (1 - q) <= tol * scale) ||
                            current - c <= tol * tol * current;
                previous = size;
                m = trial;
                current = c;
                jtj = trialJtj;
                jtr = trialJtr;
                accepted();
                lambda = std::max(lambda * 0.1, 1e-12);
                taken = true;
                break;
            }
            // A step this small that does not lower the cost is the minimum to rounding;
            // raising the damping further would only repeat the evaluation.
            if (step.norm() <= tol * scale)
                break;
            lambda *= 10;
        }
        if (!taken || converged)
            break;
    }
    finalCost = current;
    return it + 1;
}

} // namespace korm::core
