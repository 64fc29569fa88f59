#pragma once
// Plays a plan's script of operator actions on the demo's window through
// its real Qt widgets: keys go to the window, clicks to the mirrored tool
// buttons, tabs and splitter bar, menu choices and the Customize Toolbar
// dialog are made inside the presenter's menus and modal windows, comments
// are typed into the comment box. After every step it takes a picture of
// what the operator would see, menus and dialogs included.
//
// With keysOnly the same steps are done as an operator without a mouse
// does them: Tab to the part, arrows, Space, Enter, Shift+F10 for menus and
// the toolbar's accelerators for its commands. The runner counts every
// mouse event any widget receives, so a run can prove it used none.
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <functional>

#include <filesystem>
#include <string>

#include "DemoHost.h"
#include "Report.h"

#include <QObject>

class QWidget;
class QMenu;
class QAction;

namespace tavixTGCL2::qt {
class QtBackend;
}

namespace tavixTGCL2 {
class Control;
class FCustomizeToolbar;
}  // namespace tavixTGCL2

namespace tavixTGCL2::demo {

// Moves through a menu with the arrow keys until an entry that `wanted`
// accepts is active, then presses Enter unless `enter` is false. False (the
// menu left open) when a full round finds none.
bool chooseByKeys(QMenu& menu, const std::function<bool(QAction&)>& wanted, bool enter = true);

class ScriptRunner {
public:
    // The longest "wait": "idle" waits for a running element.
    static constexpr int kIdleTimeoutMs = 30000;

    ScriptRunner(qt::QtBackend& backend, DemoHost& host, std::filesystem::path outDir, bool keysOnly = false);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Runs every step; the report holds one entry per step plus the start.
    // Returns false when a step could not be done (the run goes on).
    bool run(Report& report);

private:
    bool perform(const ScriptStep& step, ReportStep& out);
    bool key(const std::string& spec, std::string& problem);
    bool click(std::int32_t command, ReportStep& out, std::string& problem);
    bool tab(std::int32_t index, std::string& problem);
    bool splitter(bool menu, std::int32_t item, ReportStep& out, std::string& problem);
    bool type(const std::string& text, std::string& problem);
    bool standard(const std::string& name, ReportStep& out, std::string& problem);
    bool customize(const CustomizeAction& action, ReportStep& out, std::string& problem);
    bool wait(const ScriptStep& step, std::string& problem);
    bool openToolsMenu(std::string& problem);

    // The keyboard's way of doing the same steps (ScriptRunnerKeys.cpp).
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget* in = nullptr);
    bool focusByKeys(Control& target, QWidget* in = nullptr);
    // focusByKeys, saying in problem that Tab never reaches `what`.
    bool reachByKeys(Control& target, const char* what, std::string& problem, QWidget* in = nullptr);
    bool commandByKey(std::int32_t command, std::string& problem);
    bool toolsMenuByKeys(std::string& problem);
    bool tabByKeys(std::int32_t index, std::string& problem);
    bool splitterByKeys(bool menu, std::int32_t item, ReportStep& out, std::string& problem);
    bool typeByKeys(const std::string& text, std::string& problem);
    bool customizeByKeys(FCustomizeToolbar& dialog, const CustomizeAction& action, QWidget& window, ReportStep& out,
                         std::string& problem);

    void settle();
    QWidget* window();
    // What the operator sees: the form, with menus and an open dialog laid
    // over it where they appear.
    QImage screen();
    std::string picture(const std::string& suffix);

    qt::QtBackend& m_backend;
    DemoHost& m_host;
    std::filesystem::path m_out;
    int m_stepNo = 0;
    int m_shotNo = 0;
    qint64 m_pictureNs = 0;
    bool m_keysOnly = false;

public:
    // Mouse events delivered to any widget while the runner lived.
    int mouseEvents() const { return m_mouseWatch.count; }

private:
    struct MouseWatch : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override;
    } m_mouseWatch;
};

}  // namespace tavixTGCL2::demo
