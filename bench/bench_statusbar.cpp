// One animation tick of the status bar (set the bar range and repaint:
// gradient and bar), alone and with the labels composed over the image as
// a host without a toolkit shows it, and one value repaint of the progress control.
// Each benchmark reports `x_floor`, its time against the floor measured in
// the same run (a plain memcpy of as many 32-bit pixels as the control
// has), and `allocs`, the heap allocations in all ticks after the first
// (counted by replacing the global allocation functions).
#include <time.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <benchmark/benchmark.h>

#include "frame/CTgStandardSel.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"
#include "progress/XTgProgressBar.h"

namespace {
// Only allocations inside a measured tick count, not the framework's own.
std::atomic<long long> g_allocations{0};
thread_local bool g_counting = false;
}

// GCC cannot see that these replace the allocation functions as a pair and
// warns about free() on memory from operator new; malloc is what they use.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
    if (g_counting) g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

using namespace tavixTGCL2;

namespace {

// Thread CPU time, so that other work on a busy machine does not enter
// into either side of the ratio.
double cpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Nanoseconds of one memcpy of `pixels` 32-bit values.
double floorNs(std::size_t pixels) {
    std::vector<std::uint32_t> from(pixels, 0x12345678u), to(pixels);
    constexpr int kRounds = 5000;
    const double start = cpuNs();
    for (int i = 0; i < kRounds; ++i) {
        from[static_cast<std::size_t>(i) % pixels] = static_cast<std::uint32_t>(i);
        std::memcpy(to.data(), from.data(), pixels * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return (cpuNs() - start) / kRounds;
}

// Runs `tick` in the benchmark loop and reports the ratio and allocations.
template <class F>
void measure(benchmark::State& state, std::size_t pixels, F&& tick) {
    tick();  // the first paint may allocate (work surface, saved states)
    const double floor = floorNs(pixels);
    const long long before = g_allocations.load();
    const double start = cpuNs();
    for (auto _ : state) {
        g_counting = true;
        tick();
        g_counting = false;
    }
    const double ns = cpuNs() - start;
    state.counters["x_floor"] = ns / static_cast<double>(state.iterations()) / floor;
    state.counters["allocs"] = static_cast<double>(g_allocations.load() - before);
}

std::shared_ptr<XStatusBar> animatedStatusBar(int w, int h, bool themed) {
    setThemingEnabled(themed);
    auto sb = std::make_shared<XStatusBar>("xsbStatus");
    sb->moveTwips(0, 0, Screen::toTwips(w), Screen::toTwips(h));
    CTgStandardSel sel;
    sel.CompleteName = "IEC 60601-1";
    sb->SetStandardName(sel);
    sb->setStatus(1);
    sb->setMessage("Measuring leakage current...");
    sb->ProgressBarInterface().setVisible(true);
    sb->ProgressBarInterface().setAnimate(true);
    return sb;
}

void BM_StatusBarTick(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = 40;
    auto sb = animatedStatusBar(w, h, state.range(1) != 0);
    measure(state, static_cast<std::size_t>(w) * h, [&] { sb->AnimationTick(); });
    setThemingEnabled(true);
}
BENCHMARK(BM_StatusBarTick)->ArgNames({"width", "themed"})->Args({400, 0})->Args({600, 0})->Args({600, 1});

void BM_StatusBarTickWithLabels(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = 40;
    auto sb = animatedStatusBar(w, h, state.range(1) != 0);
    Surface screen;
    measure(state, static_cast<std::size_t>(w) * h, [&] {
        sb->AnimationTick();
        sb->snapshotInto(screen);
    });
    benchmark::DoNotOptimize(screen.data());
    setThemingEnabled(true);
}
BENCHMARK(BM_StatusBarTickWithLabels)->ArgNames({"width", "themed"})->Args({400, 0})->Args({600, 0})->Args({600, 1});

void BM_ProgressControlValueRepaint(benchmark::State& state) {
    setThemingEnabled(false);
    auto pb = std::make_shared<XTgProgressBar>("pb");
    pb->moveTwips(0, 0, Screen::toTwips(400), Screen::toTwips(24));
    pb->setText("Working");
    pb->setAnimate(true);
    std::int16_t v = 0;
    // The tick itself is private to the timer; a value change repaints the
    // same way (range, then the whole control).
    measure(state, 400u * 24u, [&] { pb->setValue(v = static_cast<std::int16_t>((v + 5) % 105)); });
    setThemingEnabled(true);
}
BENCHMARK(BM_ProgressControlValueRepaint);

}  // namespace

BENCHMARK_MAIN();
