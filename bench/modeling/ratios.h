#pragma once
// bench_modeling's case files each measure their figures with Google Benchmark and register one reporter
// that prints their "ratio NAME = X" lines once every benchmark has run.
#include <functional>
#include <vector>

std::vector<std::function<void()>>& ratioReporters();

// A file-scope object of this type registers its reporter at start-up.
struct RatioReporter {
    explicit RatioReporter(std::function<void()> report) { ratioReporters().push_back(std::move(report)); }
};
