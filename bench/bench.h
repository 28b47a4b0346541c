// A tiny benchmark harness: each benchmark registers a function that runs
// one measured pass; the harness repeats it and prints the best time.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumora::bench {

struct Benchmark {
    std::string name;
    // Prepares the data and returns the pass to measure.
    std::function<std::function<void()>()> setUp;
    std::string unit;  // what one pass handles, for the rate column
    double unitsPerPass = 1;
};

std::vector<Benchmark>& registry();

struct Register {
    explicit Register(Benchmark benchmark) { registry().push_back(std::move(benchmark)); }
};

// A ratio printed after the run when both benchmarks ran: how many times
// faster `name` ran than `baseline` (the baseline's best time over its own).
struct Comparison {
    std::string name;
    std::string baseline;
};
std::vector<Comparison>& comparisons();

struct Compare {
    explicit Compare(Comparison comparison) { comparisons().push_back(std::move(comparison)); }
};

}  // namespace lumora::bench
