#include "ScriptRunner.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

#include <tavixTGCL2/qt/QtBackend.h>
#include <tavixTGCL2/content/XMsnSplit.h>
#include <tavixTGCL2/content/XPaneComment.h>
#include <tavixTGCL2/content/XTab.h>
#include <tavixTGCL2/content/XTabStrip.h>
#include <tavixTGCL2/content/XTgContentPane.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/toolbar/FCustomizeToolbar.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

namespace tavixTGCL2::demo {

namespace {

QString plain(QString caption) { return caption.remove('&'); }

// Chooses the entry with that identifier in a menu the presenter shows, as
// an operator does with the keyboard.
bool chooseById(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
        if (a->data().toInt() == id && a->isEnabled()) {
            menu.setActiveAction(a);
            QTest::keyClick(&menu, Qt::Key_Return);
            return true;
        }
    return false;
}

std::string kindName(ScriptStep::Kind k) {
    switch (k) {
        case ScriptStep::Kind::Key: return "key";
        case ScriptStep::Kind::Click: return "click";
        case ScriptStep::Kind::Tab: return "tab";
        case ScriptStep::Kind::Splitter: return "splitter";
        case ScriptStep::Kind::SplitterMenu: return "splitter-menu";
        case ScriptStep::Kind::Type: return "type";
        case ScriptStep::Kind::Standard: return "standard";
        case ScriptStep::Kind::Customize: return "customize";
        case ScriptStep::Kind::Wait: return "wait";
    }
    return "step";
}

std::string describe(const ScriptStep& s) {
    switch (s.kind) {
        case ScriptStep::Kind::Key: return "Key " + s.key;
        case ScriptStep::Kind::Click: return "Click on command " + std::to_string(s.command);
        case ScriptStep::Kind::Tab: return "Click on tab " + std::to_string(s.tab);
        case ScriptStep::Kind::Splitter: return "Click on the splitter bar";
        case ScriptStep::Kind::SplitterMenu: return "Splitter menu, item " + std::to_string(s.menuItem + 1);
        case ScriptStep::Kind::Type: return "Type \"" + s.text + "\"";
        case ScriptStep::Kind::Standard: return "Tools > Standards > " + s.text;
        case ScriptStep::Kind::Customize: return "Tools > Customize...";
        case ScriptStep::Kind::Wait: return s.untilIdle ? "Wait until the element has ended" : "Wait " + std::to_string(s.ms) + " ms";
    }
    return {};
}

}  // namespace

ScriptRunner::ScriptRunner(qt::QtBackend& backend, DemoHost& host, std::filesystem::path outDir, bool keysOnly)
    : m_backend(backend), m_host(host), m_out(std::move(outDir)), m_keysOnly(keysOnly) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(&m_mouseWatch);
}

ScriptRunner::~ScriptRunner() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(&m_mouseWatch);
}

bool ScriptRunner::MouseWatch::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            // Only what reaches a widget: a window's own copy of the event
            // would count it twice.
            if (watched->isWidgetType()) {
                if (e->type() != QEvent::ContextMenu || static_cast<QContextMenuEvent*>(e)->reason() == QContextMenuEvent::Mouse)
                    ++count;
            }
            break;
        default:
            break;
    }
    return false;
}

void ScriptRunner::settle() {
    QCoreApplication::processEvents();
    m_backend.mirror().flush();
    QCoreApplication::processEvents();
}

QWidget* ScriptRunner::window() {
    QWidget* w = m_backend.widgetFor(*m_host.form());
    return w ? w->window() : nullptr;
}

QImage ScriptRunner::screen() {
    QImage base = m_backend.grab(*m_host.form(), true);
    QWidget* main = window();
    if (base.isNull() || !main) return base;
    // Dialogs are windows of their own, laid over the form where they are.
    const QPoint origin = m_backend.widgetFor(*m_host.form())->mapToGlobal(QPoint(0, 0));
    QPainter p(&base);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == main || !top->isVisible() || qobject_cast<QMenu*>(top) || !top->isWindow()) continue;
        if (top->windowType() == Qt::ToolTip) continue;
        p.drawImage(top->mapToGlobal(QPoint(0, 0)) - origin, top->grab().toImage());
    }
    return base;
}

std::string ScriptRunner::picture(const std::string& suffix) {
    QElapsedTimer clock;
    clock.start();
    char name[64];
    std::snprintf(name, sizeof name, "%03d-%s.png", ++m_shotNo, suffix.c_str());
    const QImage img = screen();
    const bool saved = !img.isNull() && img.save(QString::fromStdString((m_out / name).string()));
    m_pictureNs += clock.nsecsElapsed();
    return saved ? name : std::string();
}

bool ScriptRunner::run(Report& report) {
    QWidget* w = window();
    if (w) {
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowExposed(w);
    }
    settle();
    bool ok = true;
    std::size_t seen = 0;
    {
        ReportStep first;
        first.title = "0. The form opens";
        first.events.assign(m_host.log().lines().begin(), m_host.log().lines().end());
        seen = m_host.log().size();
        m_pictureNs = 0;
        if (auto p = picture("start"); !p.empty()) first.pictures.push_back(p);
        first.pictureMs = static_cast<double>(m_pictureNs) / 1e6;
        report.steps.push_back(std::move(first));
    }
    for (const ScriptStep& step : m_host.plan().script) {
        ++m_stepNo;
        ReportStep out;
        out.title = std::to_string(m_stepNo) + ". " + describe(step);
        out.note = step.note;
        m_host.log().add("script: " + out.title);
        m_pictureNs = 0;
        QElapsedTimer clock;
        clock.start();
        if (!perform(step, out)) ok = false;
        settle();
        // Pictures taken inside a step (menus, the dialog) count as pictures.
        const qint64 acted = clock.nsecsElapsed() - m_pictureNs;
        if (auto p = picture(kindName(step.kind)); !p.empty()) out.pictures.push_back(p);
        out.actMs = static_cast<double>(acted) / 1e6;
        out.pictureMs = static_cast<double>(m_pictureNs) / 1e6;
        const auto& lines = m_host.log().lines();
        out.events.assign(lines.begin() + static_cast<std::ptrdiff_t>(seen), lines.end());
        seen = lines.size();
        report.steps.push_back(std::move(out));
    }
    m_backend.presenter()->setHooks({});
    return ok;
}

bool ScriptRunner::perform(const ScriptStep& step, ReportStep& out) {
    std::string problem;
    bool done = false;
    switch (step.kind) {
        case ScriptStep::Kind::Key: done = key(step.key, problem); break;
        case ScriptStep::Kind::Click:
            done = m_keysOnly ? commandByKey(step.command, problem) : click(step.command, out, problem);
            break;
        case ScriptStep::Kind::Tab: done = m_keysOnly ? tabByKeys(step.tab, problem) : tab(step.tab, problem); break;
        case ScriptStep::Kind::Splitter:
            done = m_keysOnly ? splitterByKeys(false, 0, out, problem) : splitter(false, 0, out, problem);
            break;
        case ScriptStep::Kind::SplitterMenu:
            done = m_keysOnly ? splitterByKeys(true, step.menuItem, out, problem) : splitter(true, step.menuItem, out, problem);
            break;
        case ScriptStep::Kind::Type: done = m_keysOnly ? typeByKeys(step.text, problem) : type(step.text, problem); break;
        case ScriptStep::Kind::Standard: done = standard(step.text, out, problem); break;
        case ScriptStep::Kind::Customize: done = customize(step.customize, out, problem); break;
        case ScriptStep::Kind::Wait: done = wait(step, problem); break;
    }
    m_backend.presenter()->setHooks({});
    if (!done) {
        out.problem = problem.empty() ? "the step could not be done" : problem;
        m_host.log().add("script: step " + std::to_string(m_stepNo) + " not done: " + out.problem);
    }
    return done;
}

bool ScriptRunner::key(const std::string& spec, std::string& problem) {
    const QKeySequence seq = QKeySequence::fromString(QString::fromStdString(spec), QKeySequence::PortableText);
    if (seq.isEmpty() || seq.count() != 1) {
        problem = "'" + spec + "' is not one key";
        return false;
    }
    QWidget* w = window();
    if (!w) {
        problem = "the form has no window";
        return false;
    }
    w->activateWindow();
    (void)QTest::qWaitForWindowActive(w, 2000);
    const QKeyCombination k = seq[0];
    if (m_keysOnly) press(k.key(), k.keyboardModifiers());
    else QTest::keyClick(w, k.key(), k.keyboardModifiers());
    return true;
}

bool ScriptRunner::click(std::int32_t command, ReportStep& out, std::string& problem) {
    settle();
    auto& tb = m_host.toolbar();
    const bool stepwise = command == ID_TGTBAR_STEP;
    const std::int32_t face = stepwise ? ID_TGTBAR_START : command;
    auto* bar = qobject_cast<QToolBar*>(m_backend.widgetFor(*tb.Bar()));
    auto control = tb.Bar()->Controls().Find(0, face);
    if (!bar || !control) {
        problem = "command " + std::to_string(command) + " is not on the toolbar";
        return false;
    }
    QToolButton* button = nullptr;
    for (auto* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (b->isVisible() && b->geometry().topLeft() == QPoint(control->bounds().left, control->bounds().top))
            button = b;
    if (!button) {
        problem = "command " + std::to_string(command) + " has no visible button";
        return false;
    }
    if (!button->isEnabled()) {
        // The operator clicks anyway; nothing may happen.
        m_host.log().add("script: the button is disabled");
    }
    bool chosen = !stepwise;
    if (stepwise) {
        m_backend.presenter()->setHooks({.onMenu = [&](QMenu& menu) {
            if (auto p = picture("start-menu"); !p.empty()) out.pictures.push_back(p);
            chosen = chooseById(menu, ID_TGTBAR_STEP);
            if (!chosen) menu.close();
        }});
        // The split arrow is the last few pixels of the face.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 4, button->height() / 2));
    } else {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    if (!chosen) problem = "the Start menu offers no Stepwise item";
    return chosen;
}

bool ScriptRunner::tab(std::int32_t index, std::string& problem) {
    auto& strip = m_host.pane().xtsTabStrip();
    if (index < 0 || index >= strip.TabCount()) {
        problem = "there is no tab " + std::to_string(index);
        return false;
    }
    XTab& t = strip.Tabs(index);
    QWidget* w = m_backend.widgetFor(t);
    if (!w || !w->isVisible()) {
        problem = "tab " + std::to_string(index) + " is not shown";
        return false;
    }
    // Away from the icon, on the tab's lower part.
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() - 6));
    return true;
}

bool ScriptRunner::splitter(bool menu, std::int32_t item, ReportStep& out, std::string& problem) {
    QWidget* bar = m_backend.widgetFor(m_host.pane().xmsSplit());
    if (!bar || !bar->isVisible()) {
        problem = "the splitter bar is not shown";
        return false;
    }
    // Right of the caption.
    const QPoint at(bar->width() - 20, bar->height() / 2);
    if (!menu) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, at);
        return true;
    }
    bool chosen = false;
    m_backend.presenter()->setHooks({.onMenu = [&](QMenu& m) {
        if (auto p = picture("splitter-menu"); !p.empty()) out.pictures.push_back(p);
        chosen = chooseById(m, item + 1);
        if (!chosen) m.close();
    }});
    QTest::mouseClick(bar, Qt::RightButton, {}, at);
    if (!chosen) problem = "the splitter menu item " + std::to_string(item + 1) + " is not offered";
    return chosen;
}

bool ScriptRunner::type(const std::string& text, std::string& problem) {
    auto* comment = dynamic_cast<XPaneComment*>(m_host.pane().activePage().get());
    QWidget* box = comment ? m_backend.widgetFor(comment->txtComment()) : nullptr;
    if (!box || !box->isVisible()) {
        problem = "the comment box is not shown (click the Comment tab first)";
        return false;
    }
    box->setFocus();
    QTest::keyClicks(box, QString::fromStdString(text));
    return true;
}

bool ScriptRunner::standard(const std::string& name, ReportStep& out, std::string& problem) {
    bool chosen = false;
    const QString wanted = QString::fromStdString(name);
    m_backend.presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        QAction* standards = nullptr;
        for (QAction* a : menu.actions())
            if (a->menu() && a->isEnabled()) standards = a;
        if (!standards) {
            menu.close();
            return;
        }
        QMenu* sub = standards->menu();
        // The entry is made active as the run operates: with the arrow
        // keys, or directly; Enter then takes it either way.
        auto activate = [&](QMenu& m, const std::function<bool(QAction&)>& pick) {
            if (m_keysOnly) return chooseByKeys(m, pick, false);
            for (QAction* a : m.actions())
                if (a->isEnabled() && pick(*a)) {
                    m.setActiveAction(a);
                    return true;
                }
            return false;
        };
        if (activate(menu, [&](QAction& a) { return &a == standards; })) {
            QTest::keyClick(&menu, Qt::Key_Right);
            QTest::qWait(50);
            if (activate(*sub, [&](QAction& a) { return plain(a.text()) == wanted; })) {
                if (auto p = picture("standards-menu"); !p.empty()) out.pictures.push_back(p);
                QTest::keyClick(sub, Qt::Key_Return);
                chosen = true;
                return;
            }
        }
        menu.close();
    }});
    // The standards live in the Tools menu.
    if (!openToolsMenu(problem)) return false;
    if (!chosen) problem = "the Standards menu offers no \"" + name + "\"";
    return chosen;
}

// The Tools menu as the run operates: a click on Tools, or the keys. The
// presenter's hooks choose in it while it is open. problem is written only
// when the menu cannot be opened.
bool ScriptRunner::openToolsMenu(std::string& problem) {
    std::string why;
    ReportStep ignored;
    if (m_keysOnly ? toolsMenuByKeys(why) : click(ID_TGTBAR_TOOLS, ignored, why)) return true;
    problem = why;
    return false;
}

bool ScriptRunner::customize(const CustomizeAction& action, ReportStep& out, std::string& problem) {
    bool menuChosen = false, sawDialog = false;
    std::string inner;
    auto clickOn = [&](Control& c) {
        QWidget* w = m_backend.widgetFor(c);
        if (!w || !w->isVisible() || !w->isEnabled()) return false;
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(7, w->width() / 2), w->height() / 2));
        return true;
    };
    m_backend.presenter()->setHooks(
        {.onMenu = [&](QMenu& menu) {
             menuChosen = m_keysOnly ? chooseByKeys(menu, [](QAction& a) { return a.data().toInt() == ID_TGTBAR_CUSTOMIZE; })
                                     : chooseById(menu, ID_TGTBAR_CUSTOMIZE);
             if (!menuChosen) menu.close();
         },
         .onModal =
             [&](QWidget& window, Form& f) {
                 auto* dlg = dynamic_cast<FCustomizeToolbar*>(&f);
                 if (!dlg) return;
                 sawDialog = true;
                 settle();
                 if (auto p = picture("customize-open"); !p.empty()) out.pictures.push_back(p);
                 if (m_keysOnly) {
                     if (!customizeByKeys(*dlg, action, window, out, inner)) {
                         // Left open it would hold the run in its loop.
                         if (dlg->isLoaded()) dlg->unload();
                     }
                     return;
                 }
                 if (action.buttonSize && !clickOn(dlg->optButtonSize(*action.buttonSize))) inner = "size option not shown";
                 if (action.labels && !clickOn(dlg->optLabels(*action.labels))) inner = "label option not shown";
                 if (action.faded && dlg->chkFade().Value() != (*action.faded ? 1 : 0) && !clickOn(dlg->chkFade()))
                     inner = "faded-icons box not shown";
                 if (action.restore && !clickOn(dlg->cmdRestore())) inner = "Restore is not available";
                 if (!action.moveEntry.empty()) {
                     auto* tabs = qobject_cast<QTabBar*>(m_backend.widgetFor(dlg->tabCustomize()));
                     if (tabs && tabs->count() > 1) QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
                     settle();
                     auto* list = qobject_cast<QListWidget*>(m_backend.widgetFor(dlg->lvwButtons()));
                     QListWidgetItem* item = nullptr;
                     if (list)
                         for (int i = 0; i < list->count(); ++i)
                             if (plain(list->item(i)->text()).trimmed() == QString::fromStdString(action.moveEntry))
                                 item = list->item(i);
                     if (!item) {
                         inner = "the button list has no entry \"" + action.moveEntry + "\"";
                     } else {
                         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
                         Control& mover = action.moveBy < 0 ? static_cast<Control&>(dlg->cmdUp()) : dlg->cmdDown();
                         for (int i = 0; i < std::abs(action.moveBy); ++i)
                             if (!clickOn(mover)) {
                                 inner = "the entry cannot move further";
                                 break;
                             }
                     }
                 }
                 settle();
                 if (auto p = picture("customize-changed"); !p.empty()) out.pictures.push_back(p);
                 if (!clickOn(action.ok ? static_cast<Control&>(dlg->cmdOk()) : dlg->cmdCancel())) {
                     inner = "the dialog's buttons are not shown";
                     dlg->unload();
                 }
             }});
    if (!openToolsMenu(problem)) return false;
    if (!menuChosen) problem = "the Tools menu offers no Customize... item";
    else if (!sawDialog) problem = "the Customize Toolbar dialog did not open";
    else problem = inner;
    return problem.empty();
}

bool ScriptRunner::wait(const ScriptStep& step, std::string& problem) {
    if (!step.untilIdle) {
        QTest::qWait(step.ms);
        return true;
    }
    QElapsedTimer t;
    t.start();
    while (m_host.running()) {
        if (t.elapsed() > kIdleTimeoutMs) {
            problem = "the element was still running after " + std::to_string(kIdleTimeoutMs / 1000) + " s";
            return false;
        }
        QTest::qWait(20);
    }
    return true;
}

}  // namespace tavixTGCL2::demo
