#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quell::bench {

// The console report, plus what is needed to print each figure as a ratio to a baseline measured
// in the same run: absolute times on a shared two-core machine say little, ratios travel.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // One printed figure: measured / baseline, both benchmark function names.
    struct Ratio {
        // Braces as for a plain record; the last two may be left out.
        Ratio(std::string label, std::string measured, std::string baseline, bool realTime = false,
              std::string times = {})
            : label(std::move(label)), measured(std::move(measured)), baseline(std::move(baseline)),
              realTime(realTime), times(std::move(times))
        {
        }

        std::string label;
        std::string measured;
        std::string baseline;
        bool realTime = false; // compare wall time (work spread over threads or processes)
        // What the two times are, when not the usual wall or CPU time (a baseline that
        // measures its own time, say); printed in their place.
        std::string times;
    };

    RatioReporter();

    void ReportRuns(const std::vector<Run>& runs) override;

    // CPU seconds per iteration of a benchmark ("BM_Name" or "BM_Name/arg:1"): the median of its
    // repetitions (or of their reported median); a negative value when it did not run.
    double secondsPerIteration(const std::string& name, bool realTime = false) const;

    // Prints "label: X" for each ratio whose two benchmarks ran, with both times per iteration.
    void printRatios(std::ostream& out, const std::vector<Ratio>& ratios) const;

private:
    // Keyed by name, then by whether the time is wall time.
    std::map<std::pair<std::string, bool>, std::vector<double>> iterations_;
    std::map<std::pair<std::string, bool>, double> medians_;
};

} // namespace quell::bench
