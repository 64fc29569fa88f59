// The toolbar paths a guided run exercises most.
#include <benchmark/benchmark.h>

#include "frame/HostServices.h"
#include "platform/MemorySettingsStore.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

std::shared_ptr<XTgToolbar> makeToolbar() {
    static bool once = [] {
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
        return true;
    }();
    (void)once;
    auto tb = std::make_shared<XTgToolbar>();
    tb->Move(0, 0, 12000, 600);
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateIdle);
    return tb;
}

void BM_Construct(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeToolbar());
}
BENCHMARK(BM_Construct);

void BM_KeyPressToButtonClick(benchmark::State& state) {
    auto tb = makeToolbar();
    int clicks = 0;
    tb->ButtonClick.connect([&](std::shared_ptr<CTgToolbarButton>, bool) { ++clicks; });
    for (auto _ : state) tb->CommandBarsControl().pressKey(120, 0);
    if (clicks != static_cast<int>(state.iterations())) state.SkipWithError("a key press was lost");
}
BENCHMARK(BM_KeyPressToButtonClick);

void BM_SetButtonState(benchmark::State& state) {
    auto tb = makeToolbar();
    int i = 0;
    for (auto _ : state) tb->SetButtonState(i++ % 3);
}
BENCHMARK(BM_SetButtonState);

void BM_DefineButtonsSwitchingStart(benchmark::State& state) {
    auto tb = makeToolbar();
    int i = 0;
    for (auto _ : state) tb->DefineButtons(etgActionAll, (i++ & 1) ? etgRunAllButtons : etgRunStartAndStop);
}
BENCHMARK(BM_DefineButtonsSwitchingStart);

void BM_SaveAndLoadSettings(benchmark::State& state) {
    auto tb = makeToolbar();
    for (auto _ : state) {
        tb->SaveToolbarLayout();
        tb->LoadToolbarLayout();
    }
}
BENCHMARK(BM_SaveAndLoadSettings);

}  // namespace

BENCHMARK_MAIN();
