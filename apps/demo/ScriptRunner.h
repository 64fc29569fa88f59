#pragma once
// Plays a plan's script of operator actions on the demo's window through
// its real Qt widgets: keys go to the window, clicks to the mirrored tool
// buttons, tabs and splitter bar, menu choices and the Customize Toolbar
// dialog are made inside the presenter's menus and modal windows, comments
// are typed into the comment box. After every step it takes a picture of
// what the operator would see, menus and dialogs included.
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <filesystem>
#include <string>

#include "DemoHost.h"
#include "Report.h"

class QWidget;

namespace tavixTGCL2::qt {
class QtBackend;
}

namespace tavixTGCL2::demo {

class ScriptRunner {
public:
    // The longest "wait": "idle" waits for a running element.
    static constexpr int kIdleTimeoutMs = 30000;

    ScriptRunner(qt::QtBackend& backend, DemoHost& host, std::filesystem::path outDir);

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
};

}  // namespace tavixTGCL2::demo
