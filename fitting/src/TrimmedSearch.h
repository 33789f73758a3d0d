// Least trimmed squares: the fit that keeps the n - k points it fits best.
//
// Candidates come from minimal point sets drawn by a seeded generator (and one from all the
// points); each is improved by concentration steps, which refit on the n - k points closest
// to the current shape, a step that never raises the trimmed sum of squares. The best few
// candidates are concentrated until their point set stops changing, the best of them is
// refined geometrically, and the kept set is chosen again by exact distances until it is
// stable. The same input and seed give the same result, bit for bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

#include "FitCore.h"

namespace korm::core {

// Traits of a shape T: Model; kMinimal points per candidate; kTrials candidates;
// kNeedsStart: Final refines a model given to it (else it fits from scratch);
// Minimal(points), Algebraic(points) -> optional<Model>; Rank(model, p): the distance used
// while searching; Final(points, model&) -> iterations, or -1 when the points define no
// shape; Exact(model, p): the orthogonal distance.
template <class Traits> struct TrimmedFit {
    typename Traits::Model model{};
    std::vector<int> kept;    // ascending indices of the points fitted
    std::vector<int> leftOut; // ascending indices of the others
    double rms = 0;
    int iterations = 0;
};

template <class Traits> class TrimmedSearch {
public:
    using Model = typename Traits::Model;

    TrimmedSearch(const Traits& traits, std::span<const Vec> points) : t_(traits), p_(points) {}

    // nullopt when no candidate defines a shape (the points are ambiguous).
    std::optional<TrimmedFit<Traits>> Run(int k, std::uint32_t seed, int maxConcentration = 50)
    {
        const int n = static_cast<int>(p_.size()), h = n - k;
        if (k > 0) {
            order_.resize(n);
            dist_.resize(n);
            gathered_.reserve(n);
        }
        std::optional<Model> best;
        std::vector<int> bestSet;
        if (k > 0) {
            struct Candidate {
                Model m;
                double cost;
            };
            std::vector<Candidate> pool;
            auto consider = [&](std::optional<Model> m) {
                for (int step = 0; m && step < 2; ++step) {
                    Select(*m, h, false);
                    m = t_.Algebraic(Gather());
                }
                if (!m)
                    return;
                pool.push_back({*m, Select(*m, h, false)});
            };
            consider(t_.Algebraic(p_));
            Random rng(0x6A09E667F3BCC908ull ^ (std::uint64_t{seed} << 32) ^ static_cast<std::uint64_t>(n));
            int picks[Traits::kMinimal];
            Vec sample[Traits::kMinimal];
            for (int trial = 0; trial < Traits::kTrials; ++trial) {
                for (int i = 0; i < Traits::kMinimal; ++i) {
                    do
                        picks[i] = rng.Below(n);
                    while (std::find(picks, picks + i, picks[i]) != picks + i);
                    sample[i] = p_[picks[i]];
                }
                consider(t_.Minimal(std::span<const Vec, Traits::kMinimal>(sample)));
            }
            if (pool.empty())
                return std::nullopt;
            std::stable_sort(pool.begin(), pool.end(),
                             [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
            pool.resize(std::min<std::size_t>(pool.size(), 5));
            double bestCost = 0;
            for (Candidate& c : pool) {
                std::vector<int> set;
                double cost = Select(c.m, h, false);
                for (int step = 0; step < maxConcentration && set != set_; ++step) {
                    set = set_;
                    auto m = t_.Algebraic(Gather());
                    if (!m)
                        break;
                    c.m = *m;
                    cost = Select(c.m, h, false);
                }
                if (!best || cost < bestCost) {
                    best = c.m;
                    bestCost = cost;
                    bestSet = set_;
                }
            }
        } else {
            if constexpr (Traits::kNeedsStart) {
                best = t_.Algebraic(p_);
                if (!best)
                    return std::nullopt;
            } else {
                best = Model{};
            }
            bestSet.resize(n);
            std::iota(bestSet.begin(), bestSet.end(), 0);
        }

        TrimmedFit<Traits> fit;
        fit.model = *best;
        set_ = bestSet;
        for (int step = 0; step < 10; ++step) {
            const std::vector<int> set = set_;
            const int it = t_.Final(k == 0 ? p_ : Gather(), fit.model);
            if (it < 0)
                return std::nullopt;
            fit.iterations += it;
            if (k == 0)
                break;
            Select(fit.model, h, true);
            if (set_ == set)
                break;
        }
        fit.kept = set_;
        // The last selection measured every point against the final model; without one,
        // the refinement may report the sum itself.
        double sum = 0;
        bool summed = false;
        if (k > 0) {
            for (int i : fit.kept)
                sum += dist_[i] * dist_[i];
            summed = true;
        }
        if constexpr (requires { t_.FinalSumOfSquares(); }) {
            if (!summed) {
                sum = t_.FinalSumOfSquares();
                summed = true;
            }
        }
        if (!summed) {
            for (int i : fit.kept) {
                const double d = t_.Exact(fit.model, p_[i]);
                sum += d * d;
            }
        }
        fit.rms = std::sqrt(sum / h);
        for (int i = 0, j = 0; i < n; ++i) {
            if (j < h && fit.kept[j] == i)
                ++j;
            else
                fit.leftOut.push_back(i);
        }
        return fit;
    }

private:
    // Keeps the h points nearest the model in set_ (ascending indices; ties by index) and
    // returns their sum of squared distances.
    double Select(const Model& m, int h, bool exact)
    {
        const int n = static_cast<int>(p_.size());
        for (int i = 0; i < n; ++i) {
            const double d = exact ? t_.Exact(m, p_[i]) : t_.Rank(m, p_[i]);
            dist_[i] = std::isfinite(d) ? d : HUGE_VAL; // NaN would break the ordering
            order_[i] = i;
        }
        auto closer = [&](int a, int b) { return dist_[a] < dist_[b] || (dist_[a] == dist_[b] && a < b); };
        if (h < n)
            std::nth_element(order_.begin(), order_.begin() + h, order_.end(), closer);
        // The kept indices in ascending order by marking them: one pass instead of a sort.
        kept_.assign(static_cast<std::size_t>(n), 0);
        for (int i = 0; i < h; ++i)
            kept_[static_cast<std::size_t>(order_[i])] = 1;
        set_.clear();
        for (int i = 0; i < n; ++i)
            if (kept_[static_cast<std::size_t>(i)])
                set_.push_back(i);
        double sum = 0;
        for (int i : set_)
            sum += dist_[i] * dist_[i];
        return sum;
    }

    std::span<const Vec> Gather()
    {
        gathered_.clear();
        for (int i : set_)
            gathered_.push_back(p_[i]);
        return gathered_;
    }

    const Traits& t_;
    std::span<const Vec> p_;
    std::vector<int> order_, set_;
    std::vector<char> kept_;
    std::vector<double> dist_;
    std::vector<Vec> gathered_;
};

} // namespace korm::core
