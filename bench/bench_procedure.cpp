// SetProcedure for each format, with the page loaded where there is one,
// against moving one control as the unit the figures are read in.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "content/XPaneProcedure.h"
#include "frame/MMain.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

// A procedure of about 2 KB in each form.
std::string paragraph(int i) {
    return "Step " + std::to_string(i) +
           ": connect the probe to test point TP3, switch the supply on and read the voltage once it settles.";
}

struct Bench {
    fs::path dir = fs::temp_directory_path() / ("tgcl-bench-proc-" + std::to_string(::getpid()));
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XPaneProcedure> pane;
    std::string text, rtf, html, link;

    Bench() {
        EventLoop::current().useVirtualClock(true);
        fs::create_directories(dir);
        std::ofstream(dir / "template.html") << "<html><head><title>T</title></head><body></body></html>";
        auto store = std::make_shared<MemorySettingsStore>();
        store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template", "Empty",
                     (dir / "template.html").string());
        setDefaultSettingsStore(store);
        MMain::restart();
        pane = form->create<XPaneProcedure>();
        form->moveTwips(0, 0, 9000, 6000);
        pane->moveTwips(0, 0, 8000, 5000);
        rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}";
        for (int i = 0; i < 20; ++i) {
            text += paragraph(i) + "\n";
            rtf += "{\\b Step " + std::to_string(i) + "}\\cf1 " + paragraph(i).substr(8) + "\\par ";
            html += "<p><b>Step " + std::to_string(i) + "</b>" + paragraph(i).substr(8) + "</p>";
        }
        rtf += "}";
        std::ofstream(dir / "steps.html") << "<html><body>" << html << "</body></html>";
        link = "file://" + (dir / "steps.html").string();
    }
    ~Bench() {
        pane.reset();
        EventLoop::current().advance(60000);
        setDefaultSettingsStore(nullptr);
        fs::remove_all(dir);
    }
    void show(std::int16_t format, const std::string& proc) {
        std::string p = proc;
        pane->SetProcedure(format, p);
        EventLoop::current().waitWhile([this] { return pane->browserView() && pane->browserView()->Busy(); }, 60000);
    }
};

void BM_MoveOneControl(benchmark::State& state) {
    Bench b;
    Control& c = b.pane->textView();
    std::int32_t i = 0;
    for (auto _ : state) {
        c.Move(100, 200 + (i++ & 1), 3000, 2000);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MoveOneControl);

void BM_PlainText(benchmark::State& state) {
    Bench b;
    std::int32_t i = 0;
    for (auto _ : state) {
        b.show(i++ & 1 ? 0 : 2, b.text);  // two formats, so the text is set each time
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainText);

void BM_RichText(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.show(1, b.rtf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RichText);

// The template page read from disk, the fragment written into its body.
void BM_TemplatePage(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.show(3, b.html);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TemplatePage);

void BM_FileLink(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.show(4, b.link);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FileLink);

// A file that is not there: the failure page instead.
void BM_MissingFileLink(benchmark::State& state) {
    Bench b;
    const std::string missing = b.link + ".gone";
    for (auto _ : state) {
        b.show(5, missing);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MissingFileLink);

}  // namespace

BENCHMARK_MAIN();
