// Command bars: finding by identifier through menus, key dispatch, moving a
// control, laying a bar out and loading a definition.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "platform/CommandBars.h"

using namespace tavixTGCL2;

namespace {

// 100 controls; every tenth is a pop-up with a menu of ten buttons, the
// last of which opens a sub-menu of five. Identifiers grow in bar order, so
// the largest one is the last control a find reaches.
std::shared_ptr<CommandBar> fillBar(CommandBars& cbr) {
    auto bar = cbr.Add("Bench", cbpTop);
    std::int32_t next = 1000;
    for (int i = 0; i < 100; ++i) {
        bool popup = i % 10 == 9;
        auto c = bar->Controls().Add(popup ? cbcPopup : cbcButton, next++, "Command " + std::to_string(i));
        c->setBeginGroup(i % 7 == 0);
        if (!popup) continue;
        auto menu = c->CommandBar();
        for (int j = 0; j < 10; ++j) {
            bool sub = j == 9;
            auto m = menu->Controls().Add(sub ? cbcPopup : cbcButton, next++, "Item " + std::to_string(j));
            if (sub)
                for (int k = 0; k < 5; ++k) m->CommandBar()->Controls().Add(cbcButton, next++, "Sub");
        }
    }
    return bar;
}

std::int32_t lastId(const CommandBar& bar) {
    std::int32_t id = 0;
    for (const auto& c : bar.Controls()) {
        id = std::max(id, c->Id());
        if (auto menu = c->CommandBar()) id = std::max(id, lastId(*menu));
    }
    return id;
}

void BM_FindFirstControl(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    for (auto _ : state) benchmark::DoNotOptimize(bar->FindControl(0, 1000, false, true));
}
BENCHMARK(BM_FindFirstControl);

void BM_FindLastControlThroughMenus(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    const std::int32_t id = lastId(*bar);
    for (auto _ : state) benchmark::DoNotOptimize(bar->FindControl(0, id, false, true));
}
BENCHMARK(BM_FindLastControlThroughMenus);

void BM_FindMissingThroughMenus(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    for (auto _ : state) benchmark::DoNotOptimize(bar->FindControl(0, 1, false, true));
}
BENCHMARK(BM_FindMissingThroughMenus);

void BM_KeyBindingDispatch(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    const std::int32_t id = lastId(*bar);
    for (int k = 0; k < 7; ++k) cbr.KeyBindings().Add(FCONTROL, 65 + k, 1000 + k);
    cbr.KeyBindings().Add(0, 120, id);
    std::int64_t reports = 0;
    cbr.Execute.connect([&](std::shared_ptr<CommandBarControl>) { ++reports; });
    for (auto _ : state) benchmark::DoNotOptimize(cbr.pressKey(120, 0));
    state.counters["reports"] = static_cast<double>(reports);
}
BENCHMARK(BM_KeyBindingDispatch);

void BM_MoveControlWithMenu(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    for (auto _ : state) {
        // What a layout string does: copy before a position, delete the original.
        auto last = bar->Controls().Item(bar->Controls().Count());
        auto copy = last->Copy(bar, 1);
        last->Delete();
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_MoveControlWithMenu);

void BM_LayoutBarOf100(benchmark::State& state) {
    CommandBars cbr;
    auto bar = fillBar(cbr);
    bar->SetIconSize(24, 24);
    for (int i = 1; i <= bar->Controls().Count(); i += 3) bar->Controls().Item(i)->setStyle(cbsIconAndCaption);
    cbr.setClientSize(static_cast<std::int32_t>(state.range(0)), 400);
    for (auto _ : state) {
        cbr.RecalcLayout();
        benchmark::DoNotOptimize(bar->WindowRect());
    }
}
BENCHMARK(BM_LayoutBarOf100)->Arg(800)->Arg(100000);

const char* const kDefinition = R"(commandbars 1
bar 100 "Test Guide" category="Test Guide" {
  button 101 "250::Abort" tooltip="210::Abort test"
  button 102 "251::Previous" tooltip="211::Go to previous test element"
  button 103 "Next" tooltip="212::Go to next test element"
  button 201 "Stop" tooltip="214::Stop test" group
  button 202 "Start" tooltip="213::Start automatic test"
  button 301 "256::NA" tooltip="215::Mark this test as Not Applicable" group
  button 302 "257::Skip" tooltip="216::Skip this test and erase any existing test results"
  popup 401 "258::Tools" tooltip="217::Tools" group menu="Tools" {
    popup 500 "259::Standards" menu="Standards" {
      button 501 "260::Show calculated limits"
    }
    button 402 "261::Customize..." tooltip="221::Customize toolbar" group
  }
}
)";

void BM_LoadDesignerBars(benchmark::State& state) {
    CommandBars cbr;
    for (auto _ : state) {
        cbr.LoadDesignerBars(kDefinition);
        benchmark::DoNotOptimize(cbr.Count());
    }
}
BENCHMARK(BM_LoadDesignerBars);

}  // namespace

BENCHMARK_MAIN();
