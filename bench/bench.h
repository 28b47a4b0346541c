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

}  // namespace lumora::bench
