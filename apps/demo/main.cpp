// tgcl-demo: a test-automation host that guides an operator through a test
// plan with the library's controls in a Qt window.
//
//   tgcl-demo [--plan FILE] [--out DIR] [--script | --window] [--scale F] [--keys-only]
//   tgcl-demo --export-plan DIR
//
// With a display and no --script the window opens and the operator drives
// it. Without a display, or with --script, the plan's script of operator
// actions runs offscreen; every step leaves a picture, and DIR/index.html
// shows them in order with the events each caused.
#include <QApplication>
#include <QWidget>

#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>
#include <filesystem>
#include <iostream>
#include <string>

#include "DemoHost.h"
#include <tavixTGCL2/qt/QtBackend.h>
#include "Report.h"
#include "ScriptRunner.h"
#include "TestPlan.h"
#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/MemorySettingsStore.h>
#include <tavixTGCL2/platform/SettingsStore.h>

namespace fs = std::filesystem;
using namespace tavixTGCL2;
using namespace tavixTGCL2::demo;

namespace {

struct Options {
    fs::path plan;
    fs::path out = "demo-out";
    fs::path exportTo;
    bool script = false;
    bool window = false;
    bool quiet = false;
    bool keysOnly = false;
    double scale = 1;     // --scale: the window's, or a second scripted run's
    bool atScale = false;  // --at-scale: this scripted run is at `scale` only
};

// "2x", "1.5x": how a scale is named in folders and the report.
std::string scaleLabel(double f) {
    char b[32];
    std::snprintf(b, sizeof b, "%gx", f);
    return b;
}

bool parseScale(const std::string& text, double& into) {
    char* end = nullptr;
    const double f = std::strtod(text.c_str(), &end);
    // Qt draws at any factor, but past 4 a form no longer fits a screen.
    if (!end || *end || !(f >= 1 && f <= 4)) return false;
    into = f;
    return true;
}

// Runs this program again for the same script at another scale: Qt takes
// its scale factor once, before the application starts.
int runAtScale(const Options& opt, const fs::path& plan, const fs::path& out) {
    std::vector<std::string> args = {"/proc/self/exe", "--script", "--quiet", "--plan", plan.string(), "--out",
                                     out.string(), "--at-scale", std::to_string(opt.scale)};
    if (opt.keysOnly) args.push_back("--keys-only");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void usage(std::ostream& o) {
    o << "usage: tgcl-demo [--plan FILE] [--out DIR] [--script | --window] [--scale F] [--keys-only] [--quiet]\n"
         "       tgcl-demo --export-plan DIR\n"
         "  --plan FILE        a test plan (JSON, see docs/demo.md); default: the built-in plan\n"
         "  --out DIR          where a scripted run writes its pictures, events.log and index.html\n"
         "                     (default demo-out)\n"
         "  --script           run the plan's script offscreen, even with a display\n"
         "  --window           open the window for an operator (needs a display)\n"
         "  --scale F          scale factor 1..4: the window's; a scripted run is made at 1 and again\n"
         "                     at F into DIR/scale-Fx/, and index.html shows the two side by side\n"
         "  --at-scale F       a scripted run at F only\n"
         "  --keys-only        the scripted run operates everything with the keyboard; it reports\n"
         "                     how many mouse events reached a widget (none, when all is well)\n"
         "  --export-plan DIR  write the built-in plan and its files into DIR, to edit\n"
         "  --quiet            do not print the events\n";
}

// The offscreen platform and the browser engine report, at length, what
// they cannot do without a screen; none of it concerns the run.
void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    static const char* const noise[] = {"This plugin does not support", "QStandardPaths: XDG_RUNTIME_DIR",
                                        "Sandboxing disabled"};
    if (type == QtInfoMsg || type == QtDebugMsg) return;
    for (const char* n : noise)
        if (msg.startsWith(QLatin1String(n))) return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, msg)) << "\n";
}

bool hasDisplay() {
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* s = std::getenv(v); s && *s) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](fs::path& into) {
            if (i + 1 >= argc) {
                std::cerr << "tgcl-demo: " << a << " needs a value\n";
                std::exit(2);
            }
            into = argv[++i];
        };
        if (a == "--plan") value(opt.plan);
        else if (a == "--out") value(opt.out);
        else if (a == "--export-plan") value(opt.exportTo);
        else if (a == "--script") opt.script = true;
        else if (a == "--window") opt.window = true;
        else if (a == "--quiet") opt.quiet = true;
        else if (a == "--keys-only") opt.keysOnly = true;
        else if (a == "--scale" || a == "--at-scale") {
            fs::path v;
            value(v);
            if (!parseScale(v.string(), opt.scale)) {
                std::cerr << "tgcl-demo: " << a << " takes a factor from 1 to 4, not " << v.string() << "\n";
                return 2;
            }
            opt.atScale = a == "--at-scale";
        }
        else if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "tgcl-demo: unknown argument " << a << "\n";
            usage(std::cerr);
            return 2;
        }
    }
    if (opt.script && opt.window) {
        std::cerr << "tgcl-demo: --script and --window exclude each other\n";
        return 2;
    }
    std::string error;
    if (!opt.exportTo.empty()) {
        auto file = exportDefaultPlan(opt.exportTo, error);
        if (!file) {
            std::cerr << "tgcl-demo: " << error << "\n";
            return 1;
        }
        std::cout << "the built-in plan is in " << file->string() << "\n";
        return 0;
    }
    const bool scripted = opt.script || (!opt.window && !hasDisplay());
    if (opt.window && !hasDisplay()) {
        std::cerr << "tgcl-demo: --window needs a display (DISPLAY or WAYLAND_DISPLAY)\n";
        return 2;
    }

    std::error_code ec;
    if (scripted) {
        fs::create_directories(opt.out, ec);
        if (ec) {
            std::cerr << "tgcl-demo: " << opt.out.string() << ": " << ec.message() << "\n";
            return 1;
        }
        // Pictures of earlier runs would mix with this one's.
        for (const auto& e : fs::directory_iterator(opt.out, ec))
            if (e.path().extension() == ".png") fs::remove(e.path(), ec);
    }
    fs::path planFile = opt.plan;
    if (planFile.empty()) {
        // The built-in plan's linked pages must exist as files to be loaded.
        const fs::path dir = scripted ? opt.out / "plan" : fs::temp_directory_path() / "tgcl-demo-plan";
        auto file = exportDefaultPlan(dir, error);
        if (!file) {
            std::cerr << "tgcl-demo: " << error << "\n";
            return 1;
        }
        planFile = *file;
    }
    PlanResult loaded = loadPlan(planFile);
    if (!loaded.plan) {
        std::cerr << "tgcl-demo: " << loaded.error << "\n";
        return 1;
    }
    if (scripted && loaded.plan->script.empty()) {
        std::cerr << "tgcl-demo: " << planFile.string() << " has no script to run without a display\n";
        return 1;
    }

    // The other scale's run first: this process's Qt is not started yet,
    // and its pictures are then there when the report is written.
    std::optional<ScaleRun> otherScale;
    if (scripted && !opt.atScale && opt.scale != 1) {
        otherScale = ScaleRun{scaleLabel(opt.scale), "scale-" + scaleLabel(opt.scale), {}};
        const fs::path dir = opt.out / otherScale->folder;
        std::cout << "tgcl-demo: the run at " << otherScale->label << " goes into " << dir.string() << "/" << std::endl;
        if (runAtScale(opt, planFile, dir) != 0) std::cerr << "tgcl-demo: the run at " << otherScale->label << " failed\n";
        for (const auto& e : fs::directory_iterator(dir, ec))
            if (e.path().extension() == ".png") otherScale->pictures.insert(e.path().filename().string());
    }
    const double runScale = scripted && !opt.atScale ? 1.0 : opt.scale;
    if (runScale != 1 && !qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        qputenv("QT_SCALE_FACTOR", QByteArray::number(runScale));
    if (scripted && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A scripted run starts from the library's defaults every time, so its
    // pictures are the same run after run; an operator keeps their toolbar.
    if (scripted) setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
    if (scripted) {
        qInstallMessageHandler(quietQtMessages);
        if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES")) qputenv("QT_LOGGING_RULES", "qt.webenginecontext.info=false");
    }
    qt::QtBackend::prepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName("tgcl-demo");
    int rc = 0;
    {
        qt::QtBackend backend;
        DemoHost host(std::move(*loaded.plan));
        if (!opt.quiet) {
            for (const auto& line : host.log().lines()) std::cout << "  " << line << "\n";
            host.log().echo = [](const std::string& line) { std::cout << "  " << line << std::endl; };
        }
        host.form()->show();
        QWidget* win = backend.widgetFor(*host.form());
        if (!scripted) {
            QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
            if (win) win->window()->show();
            std::cout << "tgcl-demo: the window is open (F9 starts, Ctrl+N moves on, the Help tab has the rest);"
                         " close it to end" << std::endl;
            rc = app.exec();
        } else {
            Report report;
            report.title = "tgcl-demo: " + host.plan().title;
            report.scaleLabel = scaleLabel(runScale);
            if (otherScale) report.otherScales.push_back(*otherScale);
            ScriptRunner runner(backend, host, opt.out, opt.keysOnly);
            const bool allDone = runner.run(report);
            report.summary = "Plan " + planFile.string() + ": " + std::to_string(host.plan().elements.size()) +
                             " elements; " + host.summary() + (host.aborted() ? "; the run was aborted." : ".");
            // What a step costs the demo, apart from the time its script
            // asks to wait.
            double acting = 0, pictures = 0, waits = 0;
            int acts = 0, shots = 0;
            for (std::size_t i = 1; i < report.steps.size(); ++i) {
                const auto& st = host.plan().script[i - 1];
                if (st.kind == ScriptStep::Kind::Wait) waits += report.steps[i].actMs;
                else {
                    acting += report.steps[i].actMs;
                    ++acts;
                }
                pictures += report.steps[i].pictureMs;
                shots += static_cast<int>(report.steps[i].pictures.size());
            }
            char cost[256];
            std::snprintf(cost, sizeof cost,
                          " Per step: %.1f ms acting (mean of %d non-wait steps), %.1f ms per picture (%d pictures); "
                          "%.1f s in waits.",
                          acts ? acting / acts : 0.0, acts, shots ? pictures / shots : 0.0, shots, waits / 1000.0);
            report.summary += cost;
            if (runScale != 1) report.summary += " Scale factor " + report.scaleLabel + ".";
            if (opt.keysOnly) {
                report.summary += " Operated with the keyboard only: " + std::to_string(runner.mouseEvents()) +
                                  " mouse events reached a widget.";
                std::cout << "tgcl-demo: keyboard only, " << runner.mouseEvents() << " mouse events\n";
            }
            std::cout << "tgcl-demo:" << cost << "\n";
            if (!writeReport(report, opt.out, error)) {
                std::cerr << "tgcl-demo: " << error << "\n";
                rc = 1;
            } else {
                std::cout << "tgcl-demo: " << report.steps.size() << " steps, " << host.log().size()
                          << " events; pictures and the event log are in " << fs::absolute(opt.out).string()
                          << "/ (open index.html)\n";
            }
            if (opt.keysOnly && runner.mouseEvents() != 0) {
                std::cerr << "tgcl-demo: a keyboard-only run received mouse events\n";
                rc = 1;
            }
            if (!allDone) {
                std::cerr << "tgcl-demo: some steps could not be done; see events.log\n";
                rc = 1;
            }
        }
    }
    setDefaultSettingsStore(nullptr);
    return rc;
}
