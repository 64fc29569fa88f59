#pragma once
// What every test of the Qt backend shares: one QApplication for the
// process (offscreen unless the environment names a platform), a fresh
// backend per test and a headless-clean state afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "QtBackend.h"
#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SettingsStore.h"

namespace tgcltest {

// Made by the first test that needs it and ended after the last test, while
// main still runs: the browser engine shuts its threads down with the
// application, which must not be left to the process's exit. Never made a
// second time: the engine does not survive a second application object.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    static QApplication& app() {
        if (!s_app) {
            if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
            tavixTGCL2::qt::QtBackend::prepareEnvironment();
            static int argc = 1;
            static char name[] = "tests_qt";
            static char* argv[] = {name, nullptr};
            s_app = new QApplication(argc, argv);
        }
        return *s_app;
    }
    void TearDown() override {
        if (!s_app) return;
        // A window may own another (a menu): each is deleted once.
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) windows.emplace_back(w);
        for (const QPointer<QWidget>& w : windows) delete w.data();
        QCoreApplication::processEvents();
        delete s_app;
    }

private:
    static inline QApplication* s_app = nullptr;
};
inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

inline QApplication& qtApp() { return QtApplicationEnvironment::app(); }

// Where the pictures of a run go; a run at another scale factor has its
// own folder, so runs side by side do not write the same files.
inline QString outDir() {
    QString dir = QStringLiteral(TGCL_TEST_OUT_DIR) + "/qt";
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    if (!scale.isEmpty() && scale != "1") dir += "-scale" + QString::fromLatin1(scale);
    QDir().mkpath(dir);
    return dir;
}

class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        store = std::make_shared<tavixTGCL2::MemorySettingsStore>();
        tavixTGCL2::setDefaultSettingsStore(store);
        tavixTGCL2::HostServices::reset();
        backend = std::make_unique<tavixTGCL2::qt::QtBackend>();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
        backend.reset();
        tavixTGCL2::setDefaultSettingsStore(nullptr);
        tavixTGCL2::HostServices::reset();
        QCoreApplication::processEvents();
    }
    // Lets Qt's queued work and the mirror's deferred updates run.
    void settle() {
        QCoreApplication::processEvents();
        backend->mirror().flush();
        QCoreApplication::processEvents();
    }
    QWidget* widgetOf(const tavixTGCL2::Control& c) { return backend->widgetFor(c); }
    // A form is shown as a host shows it (its window opens by itself); any
    // other control gets a window of its own.
    QWidget* show(const std::shared_ptr<tavixTGCL2::Control>& root) {
        if (auto form = std::dynamic_pointer_cast<tavixTGCL2::Form>(root)) form->show();
        QWidget* w = backend->openWindow(root);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        settle();
        return w;
    }

    std::shared_ptr<tavixTGCL2::MemorySettingsStore> store;
    std::unique_ptr<tavixTGCL2::qt::QtBackend> backend;
};

}  // namespace tgcltest
