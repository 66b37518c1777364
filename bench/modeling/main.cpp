// bench_modeling: what the modeling tool costs per drag event on dense meshes. The case files add their
// benchmarks; after the run each prints its ratios against baselines measured in the same run.
#include <benchmark/benchmark.h>

#include "modeling/ratios.h"

std::vector<std::function<void()>>& ratioReporters() {
    static std::vector<std::function<void()>> reporters;
    return reporters;
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& report : ratioReporters()) report();
    return 0;
}
