#include "targets.h"

#include <cstdio>
#include <optional>

namespace quillmere_bench {

void TargetsReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred || run.iterations == 0) continue;
        const bool median = run.run_type == Run::RT_Aggregate;
        if (median && run.aggregate_name != "median") continue;
        Figures figures;
        const auto iterations = static_cast<double>(run.iterations);
        figures.seconds = run.real_accumulated_time / iterations;
        figures.cpuSeconds = run.cpu_accumulated_time / iterations;
        for (const auto& [name, counter] : run.counters) figures.counters[name] = counter.value;
        const std::string& args = run.run_name.args;
        const auto key = std::pair(run.run_name.function_name, args.empty() ? 0 : std::stoi(args));
        (median ? median_ : single_)[key] = figures;
    }
}

const Figures* TargetsReporter::Find(const std::string& name, int items) const {
    const auto key = std::pair(name, items);
    if (auto it = median_.find(key); it != median_.end()) return &it->second;
    if (auto it = single_.find(key); it != single_.end()) return &it->second;
    return nullptr;
}

namespace {

using Optional = std::optional<double>;

// One way of measuring the cost of an iteration.
enum class Measure { Wall, Cpu };

Optional CounterOf(const Figures* f, const char* name) {
    if (f == nullptr) return std::nullopt;
    auto it = f->counters.find(name);
    if (it == f->counters.end() || it->second < 0) return std::nullopt;
    return it->second;
}

Optional Cost(const Figures* f, Measure m) {
    if (f == nullptr) return std::nullopt;
    switch (m) {
        case Measure::Wall:
            return f->seconds;
        case Measure::Cpu:
            return f->cpuSeconds;
    }
    return std::nullopt;
}

Optional Ratio(const Figures* a, const Figures* b, Measure m) {
    const Optional x = Cost(a, m), y = Cost(b, m);
    if (!x || !y || *y <= 0) return std::nullopt;
    return *x / *y;
}

std::string Cell(Optional value, const char* format) {
    if (!value) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

Optional Millis(const Figures* f) {
    return f ? Optional(f->cpuSeconds * 1e3) : std::nullopt;
}
Optional Rate(const Figures* f, double amount) {
    return f && f->cpuSeconds > 0 ? Optional(amount / f->cpuSeconds) : std::nullopt;
}

// `ratio` gives a target's ratio by one measure.
template <typename RatioOf>
bool TargetLine(std::ostream& out, const char* what, RatioOf ratio, double limit) {
    const Optional cpu = ratio(Measure::Cpu);
    const bool pass = cpu && *cpu <= limit;
    char line[200];
    std::snprintf(line, sizeof line, "  %-52s %6s  (<= %4.1f)  %-4s   wall-clock %6s\n", what,
                  Cell(cpu, "%.2fx").c_str(), limit, pass ? "pass" : "MISS",
                  Cell(ratio(Measure::Wall), "%.2fx").c_str());
    out << line;
    return pass;
}

}  // namespace

bool PrintTargets(const TargetsReporter& r, const std::vector<int>& sizes, std::ostream& out) {
    char line[256];
    out << "\nFigures (processor time, median of the repetitions; MB = 10^6 bytes)\n";
    std::snprintf(line, sizeof line, "%8s %8s | %9s %8s %7s %7s | %9s %8s %7s %7s %7s\n", "items",
                  "file MB", "export ms", "items/s", "MB/s", "x build", "import ms", "items/s",
                  "MB/s", "x parse", "x read");
    out << line;
    for (int n : sizes) {
        const Figures* ex = r.Find("Export", n);
        const Figures* im = r.Find("Import", n);
        const Optional fileBytes = CounterOf(im ? im : ex, "file_bytes");
        const double bytes = fileBytes.value_or(0);
        std::snprintf(line, sizeof line, "%8d %8s | %9s %8s %7s %7s | %9s %8s %7s %7s %7s\n", n,
                      Cell(fileBytes ? Optional(bytes / 1e6) : std::nullopt, "%.2f").c_str(),
                      Cell(Millis(ex), "%.1f").c_str(), Cell(Rate(ex, n), "%.0f").c_str(),
                      Cell(Rate(ex, bytes / 1e6), "%.1f").c_str(),
                      Cell(Ratio(ex, r.Find("JsoncppBuildWrite", n), Measure::Cpu), "%.2f").c_str(),
                      Cell(Millis(im), "%.1f").c_str(), Cell(Rate(im, n), "%.0f").c_str(),
                      Cell(Rate(im, bytes / 1e6), "%.1f").c_str(),
                      Cell(Ratio(im, r.Find("BareParse", n), Measure::Cpu), "%.2f").c_str(),
                      Cell(Ratio(im, r.Find("ReadBytes", n), Measure::Cpu), "%.0f").c_str());
        out << line;
    }
    out << "\nYardsticks (processor ms): read the bytes / one bare parse / jsoncpp build + "
           "serialise\n";
    for (int n : sizes) {
        std::snprintf(line, sizeof line, "%8d %9s %9s %9s\n", n,
                      Cell(Millis(r.Find("ReadBytes", n)), "%.2f").c_str(),
                      Cell(Millis(r.Find("BareParse", n)), "%.1f").c_str(),
                      Cell(Millis(r.Find("JsoncppBuildWrite", n)), "%.1f").c_str());
        out << line;
    }
    out << "\nPeak memory growth in MB (and as a multiple of the file's size): export / import "
           "/ bare parse\n";
    for (int n : sizes) {
        const Figures* im = r.Find("Import", n);
        const Optional fileBytes = CounterOf(im, "file_bytes");
        const auto mb = [](Optional b) { return b ? Optional(*b / 1e6) : std::nullopt; };
        const auto times = [&](Optional b) {
            return b && fileBytes && *fileBytes > 0 ? Optional(*b / *fileBytes) : std::nullopt;
        };
        const Optional ex = CounterOf(r.Find("Export", n), "peak_bytes");
        const Optional ip = CounterOf(im, "peak_bytes");
        const Optional bp = CounterOf(r.Find("BareParse", n), "peak_bytes");
        std::snprintf(line, sizeof line, "%8d %9s (%5s) %9s (%5s) %9s (%5s)\n", n,
                      Cell(mb(ex), "%.1f").c_str(), Cell(times(ex), "%.1fx").c_str(),
                      Cell(mb(ip), "%.1f").c_str(), Cell(times(ip), "%.1fx").c_str(),
                      Cell(mb(bp), "%.1f").c_str(), Cell(times(bp), "%.1fx").c_str());
        out << line;
    }

    out << "\nTargets (ratios of processor time, measured in alternation; wall-clock beside)\n";
    bool all = true;
    const auto paired = [&](const char* name, int items, double scale, Measure m) -> Optional {
        const Optional ratio =
            CounterOf(r.Find(name, items), m == Measure::Cpu ? "ratio" : "ratio_wall");
        return ratio ? Optional(*ratio / scale) : std::nullopt;
    };
    all &= TargetLine(
        out, "1. import, 10,000 items / one bare parse",
        [&](Measure m) { return paired("ImportVsParse", 10000, 1, m); }, 1.5);
    all &= TargetLine(
        out, "2. export, 10,000 items / jsoncpp build + serialise",
        [&](Measure m) { return paired("ExportVsBuildWrite", 10000, 1, m); }, 1.5);
    all &= TargetLine(
        out, "3. export, cost per item at 100,000 / at 1,000",
        [&](Measure m) { return paired("ExportGrowth", 100000, 100, m); }, 1.3);
    all &= TargetLine(
        out, "3. import, cost per item at 100,000 / at 1,000",
        [&](Measure m) { return paired("ImportGrowth", 100000, 100, m); }, 1.3);
    const Figures* big = r.Find("Import", 100000);
    const Optional peak = CounterOf(big, "peak_bytes");
    const Optional file = CounterOf(big, "file_bytes");
    const Optional memory = peak && file && *file > 0 ? Optional(*peak / *file) : std::nullopt;
    const bool memoryPass = memory && *memory <= 10.0;
    std::snprintf(line, sizeof line, "  %-52s %6s  (<= %4.1f)  %s\n",
                  "4. peak memory importing 100,000 items / file size",
                  Cell(memory, "%.2fx").c_str(), 10.0, memoryPass ? "pass" : "MISS");
    out << line;
    all &= memoryPass;
    out << (all ? "All targets pass.\n" : "Some targets MISS.\n");
    return all;
}

}  // namespace quillmere_bench
