// What the demo host spends per operator step, without a window: moving to
// the next element (Initialize of toolbar and pane, procedure, status bar,
// result view) and running an element to its verdict on the virtual clock,
// set against moving one control. The windowed demo adds the Qt mirror and
// its pictures; it reports those per step itself (index.html).
#include <benchmark/benchmark.h>

#include "DemoHost.h"
#include <tavixTGCL2/frame/HostServices.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/EventLoop.h>
#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/MemorySettingsStore.h>
#include <tavixTGCL2/platform/SettingsStore.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

using namespace tavixTGCL2;
using namespace tavixTGCL2::demo;

namespace {

TestPlan plan(std::size_t elements) {
    TestPlan p;
    p.dut = {{"Serial", "42"}};
    p.standards = {{"IEC", "IEC 1"}, {"UL", "UL 2"}};
    for (std::size_t i = 0; i < elements; ++i) {
        PlanElement e;
        e.caption = "Element " + std::to_string(i + 1);
        e.procedure.format = static_cast<std::int16_t>(i % 2);  // plain and rich text
        e.procedure.text = i % 2 ? "{\\rtf1 Connect {\\b TP3} and read it.\\par}" : "Connect TP3 and read it.";
        e.durationMs = 500;
        p.elements.push_back(e);
    }
    return p;
}

struct Env {
    Env() {
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
        HostServices::reset();
        EventLoop::current().useVirtualClock(true);
    }
};

// The floor: one control moved (the unit of every layout).
void BM_MoveOneControl(benchmark::State& state) {
    Env env;
    Form f("f");
    auto label = f.create<Label>("l");
    int i = 0;
    for (auto _ : state) label->Move(0, 0, 1000 + (++i & 7), 300);
}
BENCHMARK(BM_MoveOneControl);

void BM_NextElement(benchmark::State& state) {
    Env env;
    DemoHost host(plan(64));
    auto& bars = host.toolbar().CommandBarsControl();
    for (auto _ : state) {
        // Ctrl+N needs a completed element; NA completes and moves on.
        bars.pressKey(etgKeyNA, etgKeyMaskCtrl);
        if (host.complete()) {
            state.PauseTiming();
            while (host.current() > 0) bars.pressKey(etgKeyPrevious, etgKeyMaskCtrl);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_NextElement);

void BM_RunElementToItsVerdict(benchmark::State& state) {
    Env env;
    DemoHost host(plan(2));
    auto& bars = host.toolbar().CommandBarsControl();
    for (auto _ : state) {
        bars.pressKey(etgKeyStart, etgKeyMaskNone);
        EventLoop::current().advance(550);  // 11 progress ticks and the verdict
    }
}
BENCHMARK(BM_RunElementToItsVerdict);

void BM_BuildTheHost(benchmark::State& state) {
    Env env;
    const TestPlan p = plan(6);
    for (auto _ : state) {
        DemoHost host(p);
        benchmark::DoNotOptimize(&host);
    }
}
BENCHMARK(BM_BuildTheHost);

}  // namespace

BENCHMARK_MAIN();
