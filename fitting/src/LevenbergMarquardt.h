// Levenberg–Marquardt shared by the geometric circle and ellipse fits.
#pragma once

#include <algorithm>
#include <cmath>

#include <Eigen/Dense>

namespace korm::core {

// Levenberg–Marquardt over N parameters, Marquardt's scaling by the diagonal keeping the
// step invariant to the parameters' units. `evaluate(m, JtJ, Jtr)` fills the normal
// equations and returns the cost (the sum of squared residuals) in one pass, so that an
// accepted trial brings the next iteration's system with it; `apply(m, step)` returns the
// moved model. A non-finite cost rejects the trial. `accepted()` is called after the
// start's evaluation and after each accepted trial's, so that the evaluation can keep state
// of the current model; it returns false to stop there. Stops when a step is below tol * scale, when the steps' rate of
// convergence puts the minimum within that, when a rejected step is already below it, when
// no step lowers the cost, or after maxIterations; returns the iterations made, and
// finalCost the cost of the model returned.
// How the damping starts and moves: it starts at `initial` times the diagonal, falls by ten
// after an accepted step and rises by ten after a rejected one; with keepRaised, a damping
// just raised to get a step accepted is kept for the next step.
struct Damping {
    double initial = 1e-3;
    bool keepRaised = false;
};

template <int N, class Model, class Evaluate, class Accepted, class Apply>
int LevenbergMarquardt(Model& m, Evaluate evaluate, Accepted accepted, Apply apply, int maxIterations,
                       double tol, double scale, double& finalCost, Damping damping = {})
{
    using Mat = Eigen::Matrix<double, N, N>;
    using Vecn = Eigen::Matrix<double, N, 1>;
    double lambda = damping.initial;
    Mat jtj = Mat::Zero(), trialJtj;
    Vecn jtr = Vecn::Zero(), trialJtr;
    double current = evaluate(m, jtj, jtr), previous = HUGE_VAL;
    bool goOn = accepted();
    int it = 0;
    for (; goOn && it < maxIterations; ++it) {
        const double floor = 1e-12 * jtj.trace() / N + 1e-300;
        bool taken = false, converged = false, raised = false;
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
                goOn = accepted();
                if (!raised || !damping.keepRaised)
                    lambda = std::max(lambda * 0.1, 1e-12);
                taken = true;
                break;
            }
            // A step this small that does not lower the cost is the minimum to rounding;
            // raising the damping further would only repeat the evaluation.
            if (step.norm() <= tol * scale)
                break;
            lambda *= 10;
            raised = true;
        }
        if (!taken || converged)
            break;
    }
    finalCost = current;
    return it + 1;
}

} // namespace korm::core
