// The progress bar drawn with the Qt style's look against the built-in
// theme and the flat look, one repaint of a 400 x 24 bar with its caption
// as the status bar does it. Run by hand (offscreen is fine):
//   QT_QPA_PLATFORM=offscreen build/backends/qt/bench_qt_progress
#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <memory>
#include <vector>

#include "QtFontEngine.h"
#include "QtTheme.h"
#include "platform/DC.h"
#include "platform/FontEngine.h"
#include "platform/Theme.h"
#include "progress/CTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
#define TGCL_BENCH(fn) \
    BENCHMARK(fn)->Repetitions(9)->ComputeStatistics("min", fastest)->ReportAggregatesOnly(true)

enum class Look { Flat, Builtin, Qt };

void paintBar(benchmark::State& state, Look look) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    setThemingEnabled(look != Look::Flat);
    installTheme(look == Look::Qt ? std::make_shared<qt::QtTheme>() : nullptr);
    Surface window(w, h);
    DC dc(&window);
    CTgProgressBar bar;
    bar.setShowText(true);
    bar.setText("Measuring 42%");
    bar.setValue(42);
    bar.DrawToDC(1, &dc, 0, 0, w, h);
    int v = 0;
    for (auto _ : state) {
        bar.setBarStop(v = (v + 7) % 101);
        bar.DrawToDC(1, &dc, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    installTheme(nullptr);
    setThemingEnabled(true);
}

void BM_Progress_Flat(benchmark::State& s) { paintBar(s, Look::Flat); }
void BM_Progress_BuiltinTheme(benchmark::State& s) { paintBar(s, Look::Builtin); }
void BM_Progress_QtTheme(benchmark::State& s) { paintBar(s, Look::Qt); }
TGCL_BENCH(BM_Progress_Flat)->Args({400, 24});
TGCL_BENCH(BM_Progress_BuiltinTheme)->Args({400, 24});
TGCL_BENCH(BM_Progress_QtTheme)->Args({400, 24});

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Captions in every look are drawn with Qt's fonts, as under the backend.
    installFontEngine(std::make_shared<qt::QtFontEngine>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    installFontEngine(nullptr);
    return 0;
}
