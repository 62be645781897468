#pragma once

#include <vector>

#include <benchmark/benchmark.h>

namespace veltrano::bench {

// Runs the registered benchmarks interleaved and repeated, reporting aggregates only, so that
// ours and its floor see the same machine; a flag given on the command line still wins.
inline int runInterleaved(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {interleave, aggregates});
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace veltrano::bench
