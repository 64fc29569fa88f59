#pragma once
// The host's side of a guided test run: a form holding the run toolbar, the
// content pane and the result view; the host objects the controls read (test
// elements, the setup with its standards and DUT information); and the
// answers to the operator's commands.
//
// It is a QObject so that the window talks to it through signals and slots:
// Qt drops those connections by itself, whichever of the two goes first.
// The controls' own events are not Qt signals; their connections are kept
// and cut in the destructor, because the form may outlive this object (the
// window's QtControlHost holds it too).
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <tavixTGCL2/tavixTGCL2.h>

// One element of the test plan.
struct GuideStep {
    std::string caption;
    std::int16_t format;    // tavixTGCL2::ETgProcedureFormat
    std::string procedure;  // plain text, RTF or an HTML fragment
    std::int32_t verdict;   // what the simulated measurement gives: 1 passed, 2 failed
    std::string finding;    // an HTML fragment shown in place of the procedure after a failure
};

class TestRun : public QObject {
    Q_OBJECT

public:
    // The host's own command in the toolbar's Tools menu (900..999 are the host's).
    static constexpr std::int32_t kToolExport = 901;
    // Tenths of a step: each tick moves the progress bar by 10 %.
    static constexpr int kTicksPerStep = 10;

    explicit TestRun(QObject* parent = nullptr);
    ~TestRun() override;
    TestRun(const TestRun&) = delete;
    TestRun& operator=(const TestRun&) = delete;

    // The form the window embeds; the controls are its children.
    const std::shared_ptr<tavixTGCL2::Form>& form() const { return m_form; }
    tavixTGCL2::XTgToolbar& toolbar() const { return *m_toolbar; }
    tavixTGCL2::XTgContentPane& pane() const { return *m_pane; }
    tavixTGCL2::ListView& resultView() const { return *m_results; }

    const std::vector<GuideStep>& steps() const { return m_steps; }
    std::size_t current() const { return m_current; }
    bool running() const { return m_timer.isActive(); }
    bool complete() const { return m_complete; }
    // 0 none yet, 1 passed, 2 failed, 3 not applicable.
    std::int32_t verdict(std::size_t index) const;
    // What the operator typed on the Comment tab for that step.
    std::string comment(std::size_t index) const;

    // Where "Export results" in the Tools menu writes its CSV file.
    void setExportPath(const QString& path) { m_exportPath = path; }
    QString exportPath() const { return m_exportPath; }
    // Milliseconds between two ticks of a simulated measurement.
    void setTickInterval(int ms) { m_timer.setInterval(ms); }

public slots:
    // Presses a toolbar command (ID_TGTBAR_START, kToolExport, a standard's
    // 511...) as the operator's click would; false when it is disabled.
    bool press(int commandId);
    // Shows the Standards menu at a point of the screen (pixels).
    void chooseStandard(int screenX, int screenY);

signals:
    void stepShown(int index, const QString& caption);
    void stepFinished(int index, int verdict);
    void statusChanged(const QString& text);
    void standardChanged(const QString& completeName);
    void commentChanged(int index, const QString& text);
    void resultsExported(const QString& path, int rows);
    void runComplete(const QString& summary);

private slots:
    void tick();

private:
    void buildForm();
    void connectControlEvents();
    void place();
    void showStep(std::size_t index);
    void onButtonClick(const std::shared_ptr<tavixTGCL2::CTgToolbarButton>& button, bool fAccelerator);
    void start();
    void stop();
    void finish();
    void markNotApplicable();
    void next();
    void previous();
    void abort();
    void exportResults();
    void setStatus(const std::string& message, bool showProgress);
    void updateRow(std::size_t index);
    std::string summary() const;

    std::vector<GuideStep> m_steps;
    std::shared_ptr<tavixTGCL2::SimpleTestSetup> m_setup;
    std::vector<std::shared_ptr<tavixTGCL2::SimpleTestResult>> m_resultObjects;
    std::vector<std::shared_ptr<tavixTGCL2::SimpleTestElement>> m_elements;

    std::shared_ptr<tavixTGCL2::Form> m_form;
    std::shared_ptr<tavixTGCL2::XTgToolbar> m_toolbar;
    std::shared_ptr<tavixTGCL2::XTgContentPane> m_pane;
    std::shared_ptr<tavixTGCL2::ListView> m_results;
    std::vector<tavixTGCL2::Connection> m_connections;

    QTimer m_timer;
    int m_ticks = 0;
    std::size_t m_current = 0;
    bool m_complete = false;
    bool m_aborted = false;
    QString m_exportPath;
};
