// The content pane's layout pass and a tab selection, against moving one
// control as the unit they are measured in.
#include <benchmark/benchmark.h>

#include <memory>

#include "content/XMsnSplit.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

struct Form {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::shared_ptr<Control> results = form->create<Control>("ListView", "lvwResults");
    float sink = 0;
    Form() {
        form->moveTwips(0, 0, 12000, 9000);
        pane->moveTwips(0, 0, 12000, 9000);
        pane->ResizeResultView.connect([this](float, float t, float, float h) { sink += t + h; });
        pane->ResultViewPosition.connect([this](float, float t, float, float h) { sink += t + h; });
        pane->setResultView(results);
        std::string proc = "Check the supply voltage at TP3.";
        pane->Content().SetProcedure(0, proc);
    }
};

void BM_MoveOneControl(benchmark::State& state) {
    Form f;
    Control& c = *f.results;
    std::int32_t i = 0;
    for (auto _ : state) {
        c.Move(100, 200 + (i++ & 1), 3000, 2000);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MoveOneControl);

void BM_LayoutPass(benchmark::State& state) {
    Form f;
    for (auto _ : state) {
        f.pane->layout();
        benchmark::DoNotOptimize(f.sink);
    }
}
BENCHMARK(BM_LayoutPass);

// A resize of the pane: its own pass plus the page's, which changes size.
void BM_ResizeThePane(benchmark::State& state) {
    Form f;
    std::int32_t i = 0;
    for (auto _ : state) {
        f.pane->moveTwips(0, 0, 12000, 9000 - 15 * (i++ & 1));
        benchmark::DoNotOptimize(f.sink);
    }
}
BENCHMARK(BM_ResizeThePane);

void BM_ResultViewStateChange(benchmark::State& state) {
    Form f;
    std::int32_t i = 0;
    for (auto _ : state) {
        f.pane->setResultViewState(i++ & 1 ? ervsLarge : ervsNormal);
        benchmark::DoNotOptimize(f.sink);
    }
}
BENCHMARK(BM_ResultViewStateChange);

// Deselects one tab and selects another: both backgrounds copied, the body
// flood-filled, the icons swapped and the tabs restacked.
void BM_TabSelection(benchmark::State& state) {
    XTabStrip strip;
    std::int16_t i = 0;
    for (auto _ : state) {
        strip.setSelected(static_cast<std::int16_t>(1 + (i++ & 1)));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TabSelection);

}  // namespace

BENCHMARK_MAIN();
