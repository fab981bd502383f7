// quillmere_bench: export and import at 1,000, 10,000 and 100,000 items
// beside their jsoncpp yardsticks, the targets' ratios measured in
// alternation, then the targets with a pass or a miss.
// Exits 1 when a target misses. Google Benchmark's own flags work as usual
// (--benchmark_filter, --benchmark_repetitions, --benchmark_out ...); by
// default every plain benchmark runs three times and the median counts,
// and every paired one runs once (its rounds give its median).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "benchmarks.h"
#include "targets.h"

namespace {

const std::vector<int> kSizes = {1000, 10000, 100000};

void Register() {
    using namespace quillmere_bench;
    struct Entry {
        const char* name;
        Work (*make)(int items);
    };
    // Per size, the plug-in's export first: it makes the blueprint that the
    // others read.
    const Entry entries[] = {
        {"Export", ExportWork}, {"ReadBytes", ReadBytesWork},          {"BareParse", BareParseWork},
        {"Import", ImportWork}, {"JsoncppBuildWrite", BuildWriteWork},
    };
    for (int n : kSizes) {
        for (const Entry& e : entries) {
            auto* b = benchmark::RegisterBenchmark(e.name, WorkBenchmark, e.make)->Arg(n);
            b->UseRealTime()->Unit(benchmark::kMillisecond);
            // A 100,000-item run takes a second or more; smaller ones repeat
            // for at least half a second.
            if (n >= 100000) {
                b->Iterations(1);
            } else {
                b->MinTime(0.5);
            }
        }
    }
    // The targets' ratios, each measured in alternation.
    const auto paired = [](const char* name, int items, auto run) {
        const auto guarded = [run](benchmark::State& s) {
            try {
                run(s);
            } catch (const std::exception& e) {
                s.SkipWithError(e.what());
            }
        };
        benchmark::RegisterBenchmark(name, guarded)
            ->Arg(items)
            ->Iterations(1)
            ->Repetitions(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    };
    paired("ImportVsParse", 10000, [](benchmark::State& s) {
        PairedBenchmark(s, ImportWork(10000), 1, BareParseWork(10000), 1, 9);
    });
    paired("ExportVsBuildWrite", 10000, [](benchmark::State& s) {
        PairedBenchmark(s, ExportWork(10000), 1, BuildWriteWork(10000), 1, 9);
    });
    paired("ExportGrowth", 100000, [](benchmark::State& s) {
        PairedBenchmark(s, ExportWork(100000), 1, ExportWork(1000), 20, 3);
    });
    paired("ImportGrowth", 100000, [](benchmark::State& s) {
        PairedBenchmark(s, ImportWork(100000), 1, ImportWork(1000), 20, 3);
    });
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) repetitionsGiven = true;
    }
    std::string repetitions = "--benchmark_repetitions=3";
    std::string aggregates = "--benchmark_display_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions.data());
        args.push_back(aggregates.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

    Register();
    // Colours only for a terminal.
    quillmere_bench::TargetsReporter reporter(isatty(STDOUT_FILENO)
                                                  ? benchmark::ConsoleReporter::OO_Defaults
                                                  : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool pass = quillmere_bench::PrintTargets(reporter, kSizes, std::cout);
    benchmark::Shutdown();
    return pass ? 0 : 1;
}
