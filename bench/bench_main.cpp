#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "bench.h"

namespace lumora::bench {

std::vector<Benchmark>& registry() {
    static std::vector<Benchmark> benchmarks;
    return benchmarks;
}

std::vector<Comparison>& comparisons() {
    static std::vector<Comparison> list;
    return list;
}

}  // namespace lumora::bench

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    const char* filter = argc > 1 ? argv[1] : "";
    std::printf("%-34s %12s %16s\n", "benchmark", "best ms", "rate");
    std::map<std::string, double> bests;
    for (const auto& benchmark : lumora::bench::registry()) {
        if (std::strstr(benchmark.name.c_str(), filter) == nullptr) continue;
        const auto pass = benchmark.setUp();
        double best = 1e300;
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            pass();
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            best = std::min(best, ms);
        }
        std::printf("%-34s %12.2f %10.0f %s/s\n", benchmark.name.c_str(), best,
                    benchmark.unitsPerPass / (best / 1000.0), benchmark.unit.c_str());
        bests[benchmark.name] = best;
    }
    for (const auto& comparison : lumora::bench::comparisons()) {
        const auto name = bests.find(comparison.name);
        const auto baseline = bests.find(comparison.baseline);
        if (name == bests.end() || baseline == bests.end() || name->second <= 0) continue;
        std::printf("%s: %.2f x %s\n", comparison.name.c_str(), baseline->second / name->second,
                    comparison.baseline.c_str());
    }
    return 0;
}
