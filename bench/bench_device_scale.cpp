// The status bar's animation tick (gradient and progress bar) at device
// pixel ratios 1, 1.5 and 2. Each reports `x_scale1`: its CPU time per tick
// against the ratio-1 tick measured first in the same run. The device
// pixels grow with the square of the ratio (2.25 and 4 times), so those are
// the ratios a mapping that costs nothing of its own would show; at ratio 1
// the mapping is skipped altogether.
#include <time.h>

#include <benchmark/benchmark.h>

#include "frame/CTgStandardSel.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"

using namespace tavixTGCL2;

namespace {

double cpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

std::shared_ptr<XStatusBar> statusBar() {
    auto sb = std::make_shared<XStatusBar>("xsbStatus");
    sb->moveTwips(0, 0, Screen::toTwips(600), Screen::toTwips(40));
    CTgStandardSel sel;
    sel.CompleteName = "IEC 60601-1";
    sb->SetStandardName(sel);
    sb->setStatus(1);
    sb->ProgressBarInterface().setVisible(true);
    sb->ProgressBarInterface().setAnimate(true);
    return sb;
}

// CPU nanoseconds of one tick at ratio r, over a fixed number of ticks.
double tickNs(double r) {
    Screen::setDevicePixelRatio(r);
    auto sb = statusBar();
    sb->AnimationTick();
    constexpr int kTicks = 300;
    const double start = cpuNs();
    for (int i = 0; i < kTicks; ++i) sb->AnimationTick();
    const double ns = (cpuNs() - start) / kTicks;
    Screen::setDevicePixelRatio(1.0);
    return ns;
}

void BM_StatusBarTickAtRatio(benchmark::State& state) {
    setThemingEnabled(false);
    const double r = static_cast<double>(state.range(0)) / 10.0;
    const double base = tickNs(1.0);
    Screen::setDevicePixelRatio(r);
    auto sb = statusBar();
    sb->AnimationTick();
    const double start = cpuNs();
    for (auto _ : state) sb->AnimationTick();
    const double ns = (cpuNs() - start) / static_cast<double>(state.iterations());
    Screen::setDevicePixelRatio(1.0);
    state.counters["x_scale1"] = ns / base;
    setThemingEnabled(true);
}
BENCHMARK(BM_StatusBarTickAtRatio)->ArgName("ratio_x10")->Arg(10)->Arg(15)->Arg(20);

}  // namespace

BENCHMARK_MAIN();
