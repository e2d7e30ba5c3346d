#include "bench/RatioReporter.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace quell::bench {

namespace {

benchmark::ConsoleReporter::OutputOptions consoleOptions()
{
    // Colour codes only help a terminal; in a CI log they are noise.
    return ::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                   : benchmark::ConsoleReporter::OO_Tabular;
}

std::string formatNanoseconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
    return text;
}

} // namespace

RatioReporter::RatioReporter() : benchmark::ConsoleReporter(consoleOptions())
{
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        if (run.error_occurred) {
            continue;
        }
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        const double multiplier = benchmark::GetTimeUnitMultiplier(run.time_unit);
        for (const bool realTime : {false, true}) {
            const double seconds =
                (realTime ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) / multiplier;
            if (run.run_type == Run::RT_Iteration) {
                iterations_[{name, realTime}].push_back(seconds);
            } else if (run.aggregate_name == "median") {
                medians_[{name, realTime}] = seconds;
            }
        }
    }
    benchmark::ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::secondsPerIteration(const std::string& name, bool realTime) const
{
    if (const auto found = iterations_.find({name, realTime}); found != iterations_.end()) {
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        const std::size_t middle = times.size() / 2;
        return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }
    if (const auto found = medians_.find({name, realTime}); found != medians_.end()) {
        return found->second;
    }
    return -1.0;
}

void RatioReporter::printRatios(std::ostream& out, const std::vector<Ratio>& ratios) const
{
    out << "\nRatios to baselines measured in this run (time per iteration):\n";
    for (const Ratio& ratio : ratios) {
        const double measured = secondsPerIteration(ratio.measured, ratio.realTime);
        const double baseline = secondsPerIteration(ratio.baseline, ratio.realTime);
        if (measured < 0 || baseline <= 0) {
            out << ratio.label << ": not measured\n";
            continue;
        }
        char value[32];
        std::snprintf(value, sizeof value, "%.2f", measured / baseline);
        out << ratio.label << ": " << value << "  (" << formatNanoseconds(measured) << " / "
            << formatNanoseconds(baseline) << ", "
            << (!ratio.times.empty() ? ratio.times
                : ratio.realTime     ? "wall time"
                                     : "CPU time")
            << ")\n";
    }
}

} // namespace quell::bench
