#include "HostWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <tavixTGCL2/qt/QtControlHost.h>

using namespace tavixTGCL2;

HostWindow::HostWindow(TestRun& run, QWidget* parent) : QMainWindow(parent), m_run(&run) {
    setWindowTitle("Guided test: PSU-12 bench power supply");

    // The form with the toolbar, the content pane and the result view. From
    // here on the form follows this widget's size.
    m_host = new qt::QtControlHost(run.form(), this);
    setCentralWidget(m_host);

    // The host's own menus press the toolbar's commands, so a command from
    // the menu and one from the toolbar are handled in one place.
    QMenu* runMenu = menuBar()->addMenu(tr("&Run"));
    addCommand(runMenu, tr("&Start"), ID_TGTBAR_START);
    addCommand(runMenu, tr("S&top"), ID_TGTBAR_STOP);
    addCommand(runMenu, tr("&Next"), ID_TGTBAR_NEXT);
    addCommand(runMenu, tr("&Previous"), ID_TGTBAR_PREV);
    runMenu->addSeparator();
    addCommand(runMenu, tr("&Export results"), TestRun::kToolExport);
    runMenu->addSeparator();
    addCommand(runMenu, tr("&Abort"), ID_TGTBAR_ABORT);
    connect(this, &HostWindow::commandRequested, &run, &TestRun::press);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    const std::pair<QString, std::int32_t> states[] = {
        {tr("&Normal"), ervsNormal}, {tr("&Large results"), ervsLarge}, {tr("&Hide results"), ervsHideResults}};
    for (const auto& [text, state] : states) {
        // The run is the context: the connection goes when the run goes.
        connect(viewMenu->addAction(text), &QAction::triggered, &run,
                [r = &run, s = state] { r->pane().setResultViewState(s); });
    }
    viewMenu->addSeparator();
    connect(viewMenu->addAction(tr("Choose &standard...")), &QAction::triggered, this, [this] {
        // The Standards menu opens at a point of the screen, in pixels.
        const QPoint at = m_host->mapToGlobal(QPoint(m_host->width() / 2, m_host->height() / 3));
        if (m_run) m_run->chooseStandard(at.x(), at.y());
    });

    m_status = new QLabel(this);
    m_standard = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(m_standard);
    connect(&run, &TestRun::statusChanged, this, &HostWindow::showStatus);
    connect(&run, &TestRun::standardChanged, this, &HostWindow::showStandard);
    connect(&run, &TestRun::stepFinished, this, &HostWindow::noteVerdict);
    connect(&run, &TestRun::stepShown, this, [this](int, const QString& caption) { showStatus(caption); });
    showStandard(QString::fromStdString(run.toolbar().StandardSelection().CompleteName));
}

HostWindow::~HostWindow() = default;

void HostWindow::addCommand(QMenu* menu, const QString& text, int commandId) {
    connect(menu->addAction(text), &QAction::triggered, this, [this, commandId] { emit commandRequested(commandId); });
}

QString HostWindow::statusText() const { return m_status->text(); }

QString HostWindow::standardText() const { return m_standard->text(); }

void HostWindow::showStatus(const QString& text) {
    if (!text.isEmpty()) m_status->setText(text);
}

void HostWindow::showStandard(const QString& completeName) { m_standard->setText(tr("Standard: %1").arg(completeName)); }

void HostWindow::noteVerdict(int index, int verdict) {
    static const char* const names[] = {"no verdict", "passed", "failed", "not applicable"};
    const char* name = verdict >= 0 && verdict <= 3 ? names[verdict] : "?";
    m_status->setText(tr("Step %1 %2").arg(index + 1).arg(QString::fromLatin1(name)));
}
