// The measured pieces of work, each for a number of items, and the
// benchmarks made of them.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>

namespace quillmere_bench {

// One unit of a piece of work, with everything it needs (files, script
// values, plain data) made beforehand. Making one throws std::runtime_error
// when the plug-in does not do the work right.
using Work = std::function<void()>;

// Through the simulated host and the real plug-in.
Work ExportWork(int items);
Work ImportWork(int items);
// Yardsticks on the same blueprint, without the plug-in: reading its bytes,
// one jsoncpp parse of it, and building and serialising the same document
// with jsoncpp alone.
Work ReadBytesWork(int items);
Work BareParseWork(int items);
Work BuildWriteWork(int items);

// A benchmark of `work`, its argument the number of items: time, items and
// bytes per second, peak memory growth.
void WorkBenchmark(benchmark::State& state, Work (*make)(int items));

// Two pieces of work timed in alternation, round after round, so that both
// meet the same machine: a core shared with other programs changes speed
// from one moment to the next. Reports the median over the rounds of the
// ratio of their processor times (ratio) and wall-clock times (ratio_wall).
// `repeatA` and `repeatB` units make up one round's share of each; the
// ratio is per unit. Every unit starts from a heap that has given its free
// pages back to the system.
void PairedBenchmark(benchmark::State& state, Work a, int repeatA, Work b, int repeatB, int rounds);

}  // namespace quillmere_bench
