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
// of the current model; it returns false to stop there. Stops after a last step (below
// tol * scale, or leaving the minimum within that by the steps' rate of convergence, or
// lowering the cost by less than its rounding), which is taken without an evaluation; when an
// accepted step lowers the cost by a relative tol^2 or less; when no step lowers the cost; or
// after maxIterations. Returns the iterations made, and finalCost the cost of the model
// returned (for a last step taken unevaluated, the cost before it).
// How the damping starts and moves: it starts at `initial` times the diagonal, falls by ten
// after an accepted step and rises by ten after a rejected one; with keepRaised, a damping
// just raised to get a step accepted is kept for the next step; with halveAfterReject, it
// rises after a rejected step until the step is at most half as long, solving without
// evaluating on the way (along a valley the data hardly constrain, the first tenfold rises
// barely shorten the step), and the rate tests below take only steps of an iteration's first
// damping, since a damped step says nothing of the rate.
struct Damping {
    double initial = 1e-3;
    bool keepRaised = false;
    bool halveAfterReject = false;
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
        double shrinkTo = HUGE_VAL; // with halveAfterReject: half the last rejected step
        while (lambda < 1e16) {
            Mat a = jtj;
            for (int k = 0; k < N; ++k)
                a(k, k) += lambda * std::max(jtj(k, k), floor);
            const Vecn step = a.ldlt().solve(-jtr);
            if (!step.allFinite())
                break;
            // A step that is the last one that matters is taken without evaluating it: one
            // below the tolerance; one the rate of convergence shows to leave the minimum within
            // it (Gauss–Newton converges linearly near a minimum with residuals: with the ratio
            // q of successive steps the remaining distance is about |step| q / (1 - q)); or,
            // while the steps contract, one whose predicted decrease of the cost is below the
            // cost's own rounding, which an evaluation could not judge and which leaves a minute
            // part of the parameters' standard errors. The cost reported is the current one,
            // which such a step changes by less than its rounding.
            const double size = step.norm(), q = size / previous;
            if (size > shrinkTo) {
                lambda *= 10;
                continue;
            }
            const bool contracting = !(raised && damping.halveAfterReject) && previous < HUGE_VAL && q < 0.5;
            if (size <= tol * scale || (contracting && size * q / (1 - q) <= tol * scale) ||
                (contracting && -jtr.dot(step) - 0.5 * step.dot(jtj * step) <= 0x1p-52 * current)) {
                m = apply(m, step);
                finalCost = current;
                return it + 1;
            }
            const Model trial = apply(m, step);
            trialJtj.setZero();
            trialJtr.setZero();
            const double c = evaluate(trial, trialJtj, trialJtr);
            // Near the minimum the cost changes by rounding only; such a change is no reason
            // to reject the step and pay another evaluation.
            if (c <= current * (1 + 1e-13)) {
                converged = current - c <= tol * tol * current;
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
            if (damping.halveAfterReject)
                shrinkTo = 0.5 * size;
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
