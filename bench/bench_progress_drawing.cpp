// Cost of painting progress bars and gradients, each against the floor of the
// same run: a plain copy (memcpy) of as many 32-bit pixels as the painted
// area holds. Heap allocations during repaints after the first are counted by
// replacing the global allocation functions; the figure must stay 0.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/DC.h"
#include "platform/Theme.h"
#include "progress/CTgProgressBar.h"
#include "progress/MGradient.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
// Both new forms above take their memory from malloc, so free is the match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace tavixTGCL2;

namespace {

// Machines shared with builds make single runs noisy: every figure is the
// fastest of nine repetitions, for the floor as for the painting.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
#define TGCL_BENCH(fn) \
    BENCHMARK(fn)->Repetitions(9)->ComputeStatistics("min", fastest)->ReportAggregatesOnly(true)

// The floor: copying W x H pixels from one block to another.
void BM_Floor(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0) * state.range(1));
    std::vector<Pixel> from(n, 0xFF123456u), to(n);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n * sizeof(Pixel));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
TGCL_BENCH(BM_Floor)->Args({400, 24})->Args({300, 20})->Args({600, 40});

// One repaint of a bar with its caption, as the status bar and the progress
// control do it: range 0..100, a value that moves, into a window surface.
void paintBar(benchmark::State& state, bool themed) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    setThemingEnabled(themed);
    Surface window(w, h);
    DC dc(&window);
    CTgProgressBar bar;
    bar.setShowText(true);
    bar.setText("Measuring 42%");
    bar.setValue(42);
    bar.DrawToDC(1, &dc, 0, 0, w, h);  // the first paint makes the work surface
    const long before = g_allocations.load();
    int v = 0;
    for (auto _ : state) {
        bar.setBarStop(v = (v + 7) % 101);
        bar.DrawToDC(1, &dc, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = static_cast<double>(g_allocations.load() - before);
    setThemingEnabled(true);
}
void BM_DrawToDC_Flat(benchmark::State& state) { paintBar(state, false); }
void BM_DrawToDC_Themed(benchmark::State& state) { paintBar(state, true); }
TGCL_BENCH(BM_DrawToDC_Flat)->Args({400, 24})->Args({300, 20});
TGCL_BENCH(BM_DrawToDC_Themed)->Args({400, 24})->Args({300, 20});

void gradient(benchmark::State& state, std::int32_t mode) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    Surface s(w, h);
    DC dc(&s);
    MGradient::GradientFillRect(&dc, {0, 0, w, h}, 0x00FAE0CD, 0x00E4AD87, mode);
    const long before = g_allocations.load();
    for (auto _ : state) {
        MGradient::GradientFillRect(&dc, {0, 0, w, h}, 0x00FAE0CD, 0x00E4AD87, mode);
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = static_cast<double>(g_allocations.load() - before);
}
void BM_GradientFillRect_Vertical(benchmark::State& state) { gradient(state, 1); }
void BM_GradientFillRect_Horizontal(benchmark::State& state) { gradient(state, 0); }
TGCL_BENCH(BM_GradientFillRect_Vertical)->Args({600, 40});
TGCL_BENCH(BM_GradientFillRect_Horizontal)->Args({600, 40});

// Keeps each run's time so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // The fastest repetition stands for the benchmark.
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "min")
                times[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatio to the floor (memcpy of the same number of pixels), fastest of nine, CPU time:\n");
    for (const auto& [name, t] : reporter.times) {
        if (name.rfind("BM_Floor", 0) == 0) continue;
        const std::string size = name.substr(name.find('/'));
        const auto floor = reporter.times.find("BM_Floor" + size);
        if (floor == reporter.times.end() || floor->second <= 0) continue;
        std::printf("  %-52s %8.2f x\n", name.c_str(), t / floor->second);
    }
    benchmark::Shutdown();
    return 0;
}
