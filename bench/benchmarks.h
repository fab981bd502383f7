// The measured pieces of work, each taking the item count as its argument.
#pragma once

#include <benchmark/benchmark.h>

namespace quillmere_bench {

// Through the simulated host and the real plug-in.
void ExportBenchmark(benchmark::State& state);
void ImportBenchmark(benchmark::State& state);

// Yardsticks on the same blueprint, without the plug-in: reading its bytes,
// one jsoncpp parse of it, and building and serialising the same document
// with jsoncpp alone.
void ReadBytesBenchmark(benchmark::State& state);
void BareParseBenchmark(benchmark::State& state);
void JsoncppBuildWriteBenchmark(benchmark::State& state);

}  // namespace quillmere_bench
