#pragma once
// The host's main window: the test run's form (toolbar, content pane,
// result view) as the central widget, and the host's own Qt code around it
// (a menu bar, a status bar) talking to the run through signals and slots.
#include <QMainWindow>
#include <QPointer>

#include "TestRun.h"

class QLabel;
class QMenu;

namespace tavixTGCL2::qt {
class QtControlHost;
}

class HostWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HostWindow(TestRun& run, QWidget* parent = nullptr);
    ~HostWindow() override;

    // The widget that shows the run's form.
    tavixTGCL2::qt::QtControlHost* controlHost() const { return m_host; }
    QString statusText() const;
    QString standardText() const;

signals:
    // A menu entry asks for a toolbar command (an ETgToolbarButtonID).
    void commandRequested(int commandId);

private slots:
    void showStatus(const QString& text);
    void showStandard(const QString& completeName);
    void noteVerdict(int index, int verdict);

private:
    void addCommand(QMenu* menu, const QString& text, int commandId);

    QPointer<TestRun> m_run;
    tavixTGCL2::qt::QtControlHost* m_host = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_standard = nullptr;
};
