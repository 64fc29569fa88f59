// By-name calls as a late-bound host makes them, on members that sit late in
// the lookup: a Control property read through a derived control (the content
// pane, the progress bar), a Control property written through the content
// pane, and a content-pane method named by its dispatch number. Each figure
// is the time of one call; compare runs of this program before and after a
// change to the lookup.
#include <benchmark/benchmark.h>

#include <memory>

#include "content/XTgContentPane.h"
#include "views/XRichEdit.h"
#include "platform/Control.h"
#include "progress/XTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

template <class T>
std::shared_ptr<T> placed() {
    static auto form = std::make_shared<Control>("Form", "frmBench");
    auto c = form->create<T>("ctl");
    c->moveTwips(0, 0, 9000, 5000);
    return c;
}

void getName(benchmark::State& state, Object& o) {
    const std::string member = "Name";
    VariantList none;
    for (auto _ : state) benchmark::DoNotOptimize(o.invoke(member, none));
}

void BM_ContentPaneGetName(benchmark::State& state) {
    auto pane = placed<XTgContentPane>();
    getName(state, *pane);
}
BENCHMARK(BM_ContentPaneGetName);

void BM_ProgressBarGetName(benchmark::State& state) {
    auto bar = placed<XTgProgressBar>();
    getName(state, *bar);
}
BENCHMARK(BM_ProgressBarGetName);

void BM_RichEditGetName(benchmark::State& state) {
    auto view = placed<XRichEdit>();
    getName(state, *view);
}
BENCHMARK(BM_RichEditGetName);

void BM_ContentPaneSetTag(benchmark::State& state) {
    auto pane = placed<XTgContentPane>();
    const std::string member = "Tag";
    const Variant value(std::int32_t{7});
    for (auto _ : state) pane->setProperty(member, value);
}
BENCHMARK(BM_ContentPaneSetTag);

void BM_ContentPaneMethodById(benchmark::State& state) {
    auto pane = placed<XTgContentPane>();
    const std::string member = "#0x6003000C";  // LostMouseFocus
    VariantList none;
    for (auto _ : state) benchmark::DoNotOptimize(pane->invoke(member, none));
}
BENCHMARK(BM_ContentPaneMethodById);

}  // namespace

BENCHMARK_MAIN();
