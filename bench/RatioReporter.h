#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Console output plus, after the run, the time of each benchmark as a ratio of its peer's time
// from the same process ("ours / peer = 0.62"), which is what a shared, noisy machine can compare.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : m_pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                m_seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints every pair and returns the ratios in the order of the pairs (0 when one side did not run).
    std::vector<double> printRatios() const {
        std::vector<double> ratios;
        for (const auto &[ours, peer] : m_pairs) {
            const auto a = m_seconds.find(ours);
            const auto b = m_seconds.find(peer);
            const double ratio =
                a != m_seconds.end() && b != m_seconds.end() && b->second > 0 ? a->second / b->second : 0;
            std::printf("ratio %s / %s = %.2f\n", ours.c_str(), peer.c_str(), ratio);
            ratios.push_back(ratio);
        }
        return ratios;
    }

private:
    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, double> m_seconds;
};
