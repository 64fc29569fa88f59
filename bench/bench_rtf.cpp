// Reading a procedure's rich text: how long the viewer takes for a document
// of about 100 KB, set against a plain pass over the same bytes so the
// figure reads as a ratio that holds from machine to machine.
#include <benchmark/benchmark.h>

#include <string>

#include "views/RtfReader.h"
#include "views/XRichEdit.h"

using namespace tavixTGCL2;

namespace {

// A procedure as office tools write them: tables of fonts and colours, an
// info block, formatted steps, escapes, Unicode and hyperlink fields.
std::string makeProcedure(std::size_t targetBytes) {
    std::string s =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "{\\*\\generator Riched20 10.0.19041;}{\\info{\\author Test engineering}}\\viewkind4\\uc1\n";
    for (int step = 1; s.size() < targetBytes; ++step) {
        std::string n = std::to_string(step);
        s += "\\pard\\f0\\fs20\\b Step " + n + ":\\b0  Connect the \\i DUT\\i0  to port " + n +
             " and set the supply to 5\\'b0C \\u8364? limit.\\par\n";
        s += "\\cf1\\fs24 Warning:\\cf0\\fs20  check the caf\\'e9 cable\\tab before\\line continuing.\\par\n";
        s += "See {\\field{\\*\\fldinst{HYPERLINK \"http://tg.example/manual/step" + n +
             "\"}}{\\fldrslt{\\ul\\cf2 manual section " + n + "}}} and www.tg.example/s" + n + ".\\par\n";
    }
    return s + "}";
}

const std::string& procedure() {
    static const std::string s = makeProcedure(100 * 1024);
    return s;
}

// The floor: one pass that looks at every byte.
void BM_ScanBytes(benchmark::State& state) {
    const std::string& s = procedure();
    for (auto _ : state) {
        std::size_t braces = 0;
        for (char c : s) braces += (c == '{') | (c == '}') | (c == '\\');
        benchmark::DoNotOptimize(braces);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_ScanBytes);

void BM_ParseRtf(benchmark::State& state) {
    const std::string& s = procedure();
    for (auto _ : state) {
        RtfDocument d = RtfReader::parse(s);
        benchmark::DoNotOptimize(d.paragraphs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_ParseRtf);

// What the procedure pane pays: the switch, then the content.
void BM_ViewerSetContent(benchmark::State& state) {
    const std::string& s = procedure();
    XRichEdit viewer;
    viewer.setAutoURLDetect(true);
    for (auto _ : state) {
        viewer.setTextRTF(s);
        benchmark::DoNotOptimize(viewer.Text().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_ViewerSetContent);

void BM_PlainTextFallback(benchmark::State& state) {
    std::string s = procedure().substr(1);  // no longer starts like RTF
    for (auto _ : state) {
        RtfDocument d = RtfReader::parse(s);
        benchmark::DoNotOptimize(d.paragraphs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_PlainTextFallback);

}  // namespace

BENCHMARK_MAIN();
