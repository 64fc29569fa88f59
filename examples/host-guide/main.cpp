// host-guide: the small Qt 6 host that docs/host-guide.md walks through.
//
//   host-guide                          opens the window (needs a display)
//   host-guide --offscreen-check DIR    plays a short run offscreen, resizes the
//                                       window, checks that the controls follow
//                                       and leaves two screenshots in DIR
//   --destroy-order N | all             the order in which backend, window and
//                                       run are destroyed at the end (0..5, below);
//                                       "all" repeats the check once per order
#include <QApplication>
#include <QDir>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/qt/QtBackend.h>
#include <tavixTGCL2/tavixTGCL2.h>

#include "HostWindow.h"
#include "OffscreenCheck.h"
#include "TestRun.h"

namespace {

// w: the window, r: the run (which holds the controls), b: the backend.
// Order 0 is what objects declared in main() in creation order give.
constexpr const char* kDestroyOrders[] = {"wrb", "wbr", "rwb", "rbw", "bwr", "brw"};
constexpr int kOrderCount = 6;

struct Host {
    std::unique_ptr<tavixTGCL2::qt::QtBackend> backend;
    std::unique_ptr<TestRun> run;
    std::unique_ptr<HostWindow> window;

    Host()
        : backend(std::make_unique<tavixTGCL2::qt::QtBackend>()),
          run(std::make_unique<TestRun>()),
          window(std::make_unique<HostWindow>(*run)) {}

    void destroy(int order) {
        for (const char* p = kDestroyOrders[order]; *p; ++p) {
            if (*p == 'w') window.reset();
            if (*p == 'r') run.reset();
            if (*p == 'b') backend.reset();
            // Whatever the step left queued (deferred deletes, timers, the
            // mirror's pending changes) runs before the next one goes.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }
};

int usage(std::ostream& out, int rc) {
    out << "usage: host-guide [--offscreen-check DIR] [--destroy-order N|all]\n"
           "  destruction orders (w window, r run, b backend):";
    for (int i = 0; i < kOrderCount; ++i) out << ' ' << i << '=' << kDestroyOrders[i];
    out << '\n';
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    QString checkDir;
    std::vector<int> orders{0};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--offscreen-check" && i + 1 < argc) {
            checkDir = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--destroy-order" && i + 1 < argc) {
            const std::string v = argv[++i];
            orders.clear();
            if (v == "all") {
                for (int o = 0; o < kOrderCount; ++o) orders.push_back(o);
            } else {
                char* end = nullptr;
                const long o = std::strtol(v.c_str(), &end, 10);
                if (*end || o < 0 || o >= kOrderCount) return usage(std::cerr, 2);
                orders.push_back(static_cast<int>(o));
            }
        } else if (a == "--help" || a == "-h") {
            return usage(std::cout, 0);
        } else {
            return usage(std::cerr, 2);
        }
    }
    const bool check = !checkDir.isEmpty();
    if (check) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // The check starts from the library's defaults, not from the toolbar
        // settings an operator kept on this machine.
        tavixTGCL2::setDefaultSettingsStore(std::make_shared<tavixTGCL2::MemorySettingsStore>());
    }

    // Errors the controls contain (a host object that failed, a value out
    // of range) never reach the host's calls; a sink learns of them.
    int internalFaults = 0;
    tavixTGCL2::setDiagnosticsSink([&internalFaults](const tavixTGCL2::ContainedError& e) {
        if (e.internalFault) ++internalFaults;
        std::cerr << "tavixTGCL2: " << e.operation() << ": " << e.text << "\n";
    });

    // Before the QApplication: the browser engine's needs.
    tavixTGCL2::qt::QtBackend::prepareEnvironment();
    QApplication app(argc, argv);

    if (!check) {
        Host host;
        host.run->setExportPath(QDir::home().filePath(QStringLiteral("psu12-results.csv")));
        host.window->resize(1000, 700);
        host.window->show();
        const int rc = app.exec();
        host.destroy(orders.front());
        return rc;
    }

    if (!QDir().mkpath(checkDir)) {
        std::cerr << "host-guide: cannot create " << checkDir.toStdString() << "\n";
        return 2;
    }
    int failures = 0;
    for (std::size_t round = 0; round < orders.size(); ++round) {
        std::weak_ptr<tavixTGCL2::Form> form;
        {
            Host host;
            form = host.run->form();
            failures += runOffscreenCheck(*host.backend, *host.run, *host.window, checkDir, round == 0);
            host.destroy(orders[round]);
        }
        // Nothing keeps the controls alive once backend, window and run are gone.
        const bool freed = form.expired();
        if (!freed) ++failures;
        std::cout << (freed ? "ok" : "FAILED") << " - destruction order " << orders[round] << " ("
                  << kDestroyOrders[orders[round]] << ") frees the form\n";
    }
    // A fault of the library itself, contained or not, fails the check.
    if (internalFaults) ++failures;
    std::cout << (internalFaults ? "FAILED" : "ok") << " - no internal fault of the library was contained ("
              << internalFaults << ")\n";
    std::cout << (failures ? "host-guide: " + std::to_string(failures) + " check(s) failed\n"
                           : std::string("host-guide: all checks passed\n"));
    return failures ? 1 : 0;
}
