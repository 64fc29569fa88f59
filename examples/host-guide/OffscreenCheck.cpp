#include "OffscreenCheck.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QWidget>

#include <cmath>
#include <functional>
#include <iostream>
#include <string>

#include <tavixTGCL2/qt/QtBackend.h>
#include <tavixTGCL2/qt/QtControlHost.h>
#include <tavixTGCL2/tavixTGCL2.h>

#include "HostWindow.h"
#include "TestRun.h"

using namespace tavixTGCL2;

namespace {

class Checker {
public:
    bool operator()(bool ok, const std::string& what) {
        std::cout << (ok ? "ok" : "FAILED") << " - " << what << std::endl;
        if (!ok) ++failures;
        return ok;
    }
    int failures = 0;
};

// Lets Qt and the controls' loop run until cond holds. The bound only keeps
// a broken run from hanging CI; nothing depends on how long it takes.
bool waitFor(const std::function<bool()>& cond, int boundMs = 60000) {
    QDeadlineTimer deadline(boundMs);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The mirror applies some changes from a zero-time timer: a few rounds of
// events and they are on screen.
void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

template <class T>
T* findControl(Control& root) {
    for (const auto& child : root.Children()) {
        if (auto* hit = dynamic_cast<T*>(child.get()); hit && hit->isShown()) return hit;
        if (T* deeper = findControl<T>(*child)) return deeper;
    }
    return nullptr;
}

// A widget's rectangle in the coordinates of an ancestor.
QRect rectIn(const QWidget* w, const QWidget* ancestor) {
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

bool near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

std::string sizeText(const QSize& s) { return std::to_string(s.width()) + "x" + std::to_string(s.height()); }

// The controls fill the widget that shows the form, and that widget fills
// the window's central area.
void checkFills(Checker& check, qt::QtBackend& backend, TestRun& run, HostWindow& window, const std::string& when) {
    qt::QtControlHost* host = window.controlHost();
    const int tpp = Screen::TwipsPerPixelX();
    const Form& form = *run.form();
    check(window.centralWidget() == host && host->isVisible(), when + ": the form's widget is the central widget");
    check(near(form.widthTwips(), host->width() * tpp, tpp) && near(form.heightTwips(), host->height() * tpp, tpp),
          when + ": the form is " + std::to_string(form.widthTwips()) + "x" + std::to_string(form.heightTwips()) +
              " twips for a widget of " + sizeText(host->size()) + " pixels");

    XTgToolbar& toolbar = run.toolbar();
    XTgContentPane& pane = run.pane();
    check(toolbar.Left() == 0 && toolbar.Top() == 0 && toolbar.Width() == form.ScaleWidth(),
          when + ": the toolbar spans the form");
    check(pane.Top() == toolbar.Height() && pane.Width() == form.ScaleWidth() &&
              pane.Top() + pane.Height() == form.ScaleHeight(),
          when + ": the content pane takes the rest of the form");

    QWidget* toolbarWidget = backend.widgetFor(toolbar);
    QWidget* paneWidget = backend.widgetFor(pane);
    QWidget* listWidget = backend.widgetFor(run.resultView());
    if (!check(toolbarWidget && paneWidget && listWidget, when + ": toolbar, pane and result view have widgets"))
        return;
    const QRect t = rectIn(toolbarWidget, host), p = rectIn(paneWidget, host), l = rectIn(listWidget, host);
    check(t.left() == 0 && t.top() == 0 && near(t.right(), host->width() - 1, 1),
          when + ": the toolbar's widget spans the host widget");
    check(near(p.top(), t.bottom() + 1, 1) && near(p.right(), host->width() - 1, 1) &&
              near(p.bottom(), host->height() - 1, 1),
          when + ": the pane's widget reaches the host widget's right and bottom edges");
    // ResizeResultView's rectangle is the pane's: right of the tab strip,
    // below the splitter, to the pane's right and bottom edges.
    check(listWidget->isVisible() && near(l.right(), p.right(), 2) && near(l.bottom(), p.bottom(), 2) &&
              l.top() > p.top() + p.height() / 2,
          when + ": the result view fills the bottom of the pane (" + std::to_string(l.width()) + "x" +
              std::to_string(l.height()) + " pixels at " + std::to_string(l.left()) + "," + std::to_string(l.top()) +
              ")");
}

bool runStep(TestRun& run, std::size_t index) {
    if (!run.press(ID_TGTBAR_START)) return false;
    return waitFor([&] { return !run.running() && run.verdict(index) != 0; });
}

// The operator's typing, through the comment tab's own widget.
bool typeComment(HostWindow& window, TestRun& run, const QString& text) {
    run.pane().SelectTab(etgCommentTab);
    settle();
    for (QPlainTextEdit* edit : window.controlHost()->findChildren<QPlainTextEdit*>()) {
        if (edit->isVisible() && !edit->isReadOnly()) {
            edit->setFocus();
            edit->insertPlainText(text);
            return true;
        }
    }
    return false;
}

}  // namespace

int runOffscreenCheck(qt::QtBackend& backend, TestRun& run, HostWindow& window, const QString& dir, bool pictures) {
    Checker check;
    qt::QtControlHost* host = window.controlHost();
    run.setTickInterval(10);
    window.resize(1000, 700);
    window.show();
    check(waitFor([&] { return host->controlWidget() && host->controlWidget()->isVisible(); }),
          "the window shows the form");
    settle();
    check(Screen::TwipsPerPixelX() == static_cast<int>(std::lround(1440.0 / host->logicalDpiX())),
          "twips per pixel (" + std::to_string(Screen::TwipsPerPixelX()) + ") follow the screen's " +
              std::to_string(host->logicalDpiX()) + " dpi");
    checkFills(check, backend, run, window, "at 1000x700");

    // Step 1, plain text: Start through the toolbar, as a click does.
    check(runStep(run, 0) && run.verdict(0) == 1, "step 1 runs and passes");
    check(!run.toolbar().ProgressBar().Visible(), "the progress bar is hidden after the step");
    check(run.toolbar().StatusControl().Status() == 1, "the status bar shows PASSED");
    check(window.statusText() == "Step 1 passed", "the window's status bar heard of it");
    const QString remark = QStringLiteral("Scratch on the rear panel");
    check(typeComment(window, run, remark) && waitFor([&] { return run.comment(0) == remark.toStdString(); }, 10000),
          "the operator's comment reaches the host");
    check(run.pane().OperatorComment() == remark.toStdString(), "OperatorComment() reads it");
    run.pane().SelectTab(etgProcedureTab);

    // A standard chosen from the Tools menu's Standards sub-menu.
    check(run.press(ID_TGTBAR_FIRSTSTD + 2), "the second standard is chosen");
    settle();
    check(run.toolbar().StandardSelection().CompleteName == "UL 61010-1 3rd edition" &&
              window.standardText().contains("UL 61010-1"),
          "the selection reaches the toolbar and the window");

    // Step 2, rich text.
    check(run.press(ID_TGTBAR_NEXT) && run.current() == 1, "Next shows step 2");
    settle();
    XRichEdit* rich = findControl<XRichEdit>(run.pane());
    QWidget* richWidget = rich ? backend.widgetFor(*rich) : nullptr;
    auto* browser = qobject_cast<QTextBrowser*>(richWidget);
    check(browser && browser->isVisible() && browser->toPlainText().contains("Apply 500 V DC"),
          "the rich-text procedure is shown");
    // This time Start is clicked on its own widget, found by its command ID.
    auto* startButton = host->findChild<QAbstractButton*>(QString::number(ID_TGTBAR_START));
    check(startButton && startButton->isVisible() && startButton->isEnabled(),
          "the Start button's widget is found by its objectName");
    if (startButton) startButton->click();
    check(waitFor([&] { return !run.running() && run.verdict(1) != 0; }) && run.verdict(1) == 1,
          "step 2 runs and passes");
    check(run.toolbar().StandardSelection().CompleteName == "UL 61010-1 3rd edition", "the standard is kept");

    // Step 3, an HTML fragment in the template page; it fails, and the host
    // shows its finding in place of the procedure.
    check(run.press(ID_TGTBAR_NEXT) && run.current() == 2, "Next shows step 3");
    WebBrowser* page = findControl<WebBrowser>(run.pane());
    check(page && backend.evaluateInBrowser(*page, "document.body.innerText").toString().contains("Limit: 10 mV"),
          "the HTML procedure is shown");
    check(runStep(run, 2) && run.verdict(2) == 2, "step 3 runs and fails");
    check(run.toolbar().StatusControl().Status() == 2, "the status bar shows FAILED");
    page = findControl<WebBrowser>(run.pane());
    check(page && backend.evaluateInBrowser(*page, "document.body.innerText").toString().contains("14.2 mV"),
          "the finding replaces the procedure");

    // The result view follows the layout states; with no room it is hidden.
    run.pane().setResultViewState(ervsHideResults);
    settle();
    check(!run.resultView().Visible(), "Hide results hides the result view");
    run.pane().setResultViewState(ervsLarge);
    settle();
    check(run.resultView().Visible() && run.resultView().Height() > run.pane().ScaleHeight() / 2,
          "Large results gives the result view most of the pane");
    run.pane().setResultViewState(ervsNormal);
    settle();

    // The host's own Tools menu entry, by its key binding and by a press.
    run.setExportPath(dir + "/results.csv");
    int exports = 0;
    QObject::connect(&run, &TestRun::resultsExported, &window, [&exports] { ++exports; });
    QShortcut* exportKey = nullptr;
    for (QShortcut* s : window.findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_R)) exportKey = s;
    check(exportKey, "Ctrl+R is a shortcut of the main window");
    if (exportKey) emit exportKey->activated();
    check(exports == 1, "Ctrl+R exports the results");
    check(run.press(TestRun::kToolExport) && exports == 2, "Export results is pressed");
    QFile csv(dir + "/results.csv");
    QStringList rows;
    if (csv.open(QIODevice::ReadOnly | QIODevice::Text)) rows = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
    check(rows.size() == 4 && rows[1].contains("PASSED") && rows[1].contains(remark) && rows[2].contains("PASSED") &&
              rows[3].contains("FAILED"),
          "results.csv holds the three verdicts and the comment");

    check(run.press(ID_TGTBAR_NEXT) && run.complete(), "Next after the last step completes the run");
    check(run.toolbar().StatusControl().Message() == "Run complete: 2 passed, 1 failed, 0 not applicable, 0 open",
          "the status bar shows the summary");
    check(!run.press(ID_TGTBAR_START), "Start is no longer offered");
    check(window.standardText().contains("UL 61010-1") &&
              run.toolbar().StatusControl().lblStd().Caption().find("UL 61010-1") != std::string::npos,
          "toolbar and window still show the chosen standard");
    settle();
    checkFills(check, backend, run, window, "after the run at 1000x700");

    const QImage before = window.grab().toImage();
    check(before.size() == QSize(1000, 700), "the window is 1000x700 before the resize");
    if (pictures) check(before.save(dir + "/before-resize.png"), "before-resize.png is written");

    window.resize(1280, 800);
    check(waitFor([&] {
              const int tpp = Screen::TwipsPerPixelX();
              return host->width() == 1280 && near(run.form()->widthTwips(), host->width() * tpp, tpp) &&
                     near(run.form()->heightTwips(), host->height() * tpp, tpp);
          }),
          "the form follows the window to 1280 pixels");
    settle();
    checkFills(check, backend, run, window, "at 1280x800");
    // The browser engine lays the page out again and composes a new frame
    // on its own time: the screenshot waits until the page has the new
    // width, then lets the engine's frame through.
    if (WebBrowser* shown = findControl<WebBrowser>(run.pane())) {
        QWidget* view = backend.widgetFor(*shown);
        check(view && waitFor([&] {
                  const int width = backend.evaluateInBrowser(*shown, "Math.round(innerWidth * devicePixelRatio)").toInt();
                  return near(width, view->width(), 2);
              }),
              "the page is laid out for the new width");
        QDeadlineTimer frame(300);
        while (!frame.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    const QImage after = window.grab().toImage();
    check(after.size() == QSize(1280, 800), "the window is 1280x800 after the resize");
    // The result view's bottom right corner, as the screenshot shows it.
    if (QWidget* list = backend.widgetFor(run.resultView())) {
        const QImage own = list->grab().toImage();
        const QPoint inList(own.width() - 6, own.height() - 6);
        const QPoint inWindow = list->mapTo(&window, inList);
        check(inWindow.x() > 1200 && after.pixel(inWindow) == own.pixel(inList),
              "the screenshot shows the result view at the new bottom right corner");
    }
    if (pictures) check(after.save(dir + "/after-resize.png"), "after-resize.png is written");
    return check.failures;
}
