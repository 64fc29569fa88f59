#pragma once
// The demo's host: a test-run form with the run toolbar across the top, the
// content pane below it and a result view of its own (the elements run so
// far with their verdicts) placed where the pane says. It runs a test plan
// through the controls as a test-automation host does and answers the
// operator's commands. It uses the controls only, so it runs headless (on
// the virtual clock in tests) as well as mirrored into Qt windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/Diagnostics.h>

#include "TestPlan.h"

namespace tavixTGCL2 {
class CTgToolbarButton;
class Form;
class ListView;
class SimpleTestResult;
class SimpleElementInfo;
class SimpleTestElement;
class SimpleTestSetup;
class Timer;
class XRichEdit;
class XTgContentPane;
class XTgToolbar;
}  // namespace tavixTGCL2

namespace tavixTGCL2::demo {

// Everything the controls report and the host does, in order.
class EventLog {
public:
    void add(std::string line);
    const std::vector<std::string>& lines() const { return m_lines; }
    std::size_t size() const { return m_lines.size(); }
    // Called with each line as it is added (the demo prints them).
    std::function<void(const std::string&)> echo;

private:
    std::vector<std::string> m_lines;
    std::string m_lastGeometry;
    std::size_t m_commentRun = 0;
    std::size_t m_commentLine = 0;
    friend class DemoHost;
};

class DemoHost {
public:
    // Form size in twips (800 x 600 pixels at the default 15 twips a pixel).
    static constexpr std::int32_t kFormWidth = 12000;
    static constexpr std::int32_t kFormHeight = 9000;
    // How often a running element moves its progress.
    static constexpr std::int32_t kTickMs = 50;
    // The host's own tool in the Tools menu.
    static constexpr std::int32_t kToolReport = 901;

    explicit DemoHost(TestPlan plan);
    ~DemoHost();
    DemoHost(const DemoHost&) = delete;
    DemoHost& operator=(const DemoHost&) = delete;

    const TestPlan& plan() const { return m_plan; }
    const std::shared_ptr<Form>& form() const { return m_form; }
    XTgToolbar& toolbar() const { return *m_toolbar; }
    XTgContentPane& pane() const { return *m_pane; }
    ListView& resultView() const { return *m_results; }
    EventLog& log() { return m_log; }

    // The element shown (0-based).
    std::size_t current() const { return m_current; }
    bool running() const { return m_running; }
    bool aborted() const { return m_aborted; }
    // Every element has been left by Next after the last one.
    bool complete() const { return m_complete; }
    // The outcome of each element: empty while it has none (not run,
    // stopped, skipped).
    std::optional<Verdict> outcome(std::size_t index) const;
    std::string comment(std::size_t index) const;
    // Lets the host's loop run a stepwise element's steps faster in tests.
    std::int32_t progressPercent() const;

    // A one-line summary of the verdicts ("3 passed, 1 failed, ...").
    std::string summary() const;

private:
    struct Row;
    void buildForm();
    void place();
    void connectEvents();
    void showElement(std::size_t index);
    void onButton(const std::shared_ptr<CTgToolbarButton>& button, bool accelerator);
    void start(bool stepwise);
    void tick();
    void finish();
    void stop();
    void markNotApplicable();
    void skip();
    void next();
    void previous();
    void abort();
    void endRun();
    void updateRow(std::size_t index);
    void showMeasurements();
    void host(const std::string& what);
    void status(const std::string& message, bool showProgress, bool animate);

    TestPlan m_plan;
    EventLog m_log;
    std::shared_ptr<Form> m_form;
    std::shared_ptr<XTgToolbar> m_toolbar;
    std::shared_ptr<XTgContentPane> m_pane;
    std::shared_ptr<ListView> m_results;
    std::shared_ptr<ListView> m_measurements;
    std::shared_ptr<XRichEdit> m_help;
    std::shared_ptr<Timer> m_timer;
    std::shared_ptr<SimpleTestSetup> m_setup;
    std::vector<std::shared_ptr<SimpleTestResult>> m_resultObjects;
    std::vector<std::shared_ptr<SimpleTestElement>> m_elements;
    std::vector<std::optional<Verdict>> m_outcomes;
    std::size_t m_current = 0;
    bool m_running = false;
    bool m_stepwise = false;
    bool m_aborted = false;
    bool m_complete = false;
    std::int32_t m_elapsedMs = 0;
    std::int16_t m_customTab = 0;
    std::string m_message;
    // The library's contained errors go to the log while this host lives
    // (one host at a time: the sink is the library's, not the form's).
    std::shared_ptr<EventLog*> m_diagnosticsTarget;
    DiagnosticsSink m_previousSink;
};

}  // namespace tavixTGCL2::demo
