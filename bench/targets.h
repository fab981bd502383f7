// The performance targets, checked against the figures of one benchmark run:
// a reporter that prints the usual console table and keeps each benchmark's
// time per iteration (the median over repetitions, when there are several)
// and counters, and the summary and target lines printed from them.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quillmere_bench {

struct Figures {
    double seconds = 0;     // wall-clock time of one iteration
    double cpuSeconds = 0;  // processor time of one iteration (user and system)
    std::map<std::string, double> counters;
};

class TargetsReporter : public benchmark::ConsoleReporter {
  public:
    using ConsoleReporter::ConsoleReporter;
    void ReportRuns(const std::vector<Run>& runs) override;

    // Figures of "Name/items", or null when that benchmark did not run.
    const Figures* Find(const std::string& name, int items) const;

  private:
    std::map<std::pair<std::string, int>, Figures> single_, median_;
};

// Prints a table of every size's figures and ratios, then one line per
// target with its ratio and "pass" or "MISS". The targets' ratios come from
// the paired benchmarks (see PairedBenchmark), of processor time, which
// waiting for a core shared with other programs does not inflate; the
// wall-clock ratio stands beside it. True when every target passed (one
// whose benchmark did not run misses).
bool PrintTargets(const TargetsReporter& results, const std::vector<int>& sizes, std::ostream& out);

}  // namespace quillmere_bench
