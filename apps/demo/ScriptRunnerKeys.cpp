// The script's steps done as an operator without a mouse does them. Every
// key goes to the widget that has Qt's focus (or the open menu), so the
// run depends on the library moving the focus as the operator expects;
// where it does not, the step fails and says what could not be reached.
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "ScriptRunner.h"

#include <tavixTGCL2/content/XMsnSplit.h>
#include <tavixTGCL2/content/XPaneComment.h>
#include <tavixTGCL2/content/XTabStrip.h>
#include <tavixTGCL2/content/XTgContentPane.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/qt/QtBackend.h>
#include <tavixTGCL2/toolbar/FCustomizeToolbar.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

namespace tavixTGCL2::demo {

namespace {

// More presses than any window here has stops: Tab goes round once.
constexpr int kMaxTabPresses = 64;

}  // namespace

bool chooseByKeys(QMenu& menu, const std::function<bool(QAction&)>& wanted, bool enter) {
    const int n = static_cast<int>(menu.actions().size());
    for (int i = 0; i <= n; ++i) {
        if (QAction* a = menu.activeAction(); a && a->isEnabled() && wanted(*a)) {
            if (enter) QTest::keyClick(&menu, Qt::Key_Return);
            return true;
        }
        QTest::keyClick(&menu, Qt::Key_Down);
    }
    return false;
}

void ScriptRunner::press(int key, Qt::KeyboardModifiers mods, QWidget* in) {
    QWidget* target = nullptr;
    if (QWidget* popup = QApplication::activePopupWidget()) target = popup;
    else if (in) target = in->focusWidget() ? in->focusWidget() : in;
    else if (QWidget* w = window()) target = w->focusWidget() ? w->focusWidget() : w;
    if (!target) return;
    QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    settle();
}

bool ScriptRunner::focusByKeys(Control& target, QWidget* in) {
    for (int i = 0; i < kMaxTabPresses && !target.hasFocus(); ++i) press(Qt::Key_Tab, Qt::NoModifier, in);
    return target.hasFocus();
}

bool ScriptRunner::reachByKeys(Control& target, const char* what, std::string& problem, QWidget* in) {
    if (focusByKeys(target, in)) return true;
    problem = std::string("Tab never reaches ") + what;
    return false;
}

bool ScriptRunner::commandByKey(std::int32_t command, std::string& problem) {
    if (command == ID_TGTBAR_TOOLS) return toolsMenuByKeys(problem);
    const KeyBindings& keys = m_host.toolbar().CommandBarsControl().KeyBindings();
    // The latest binding of a key wins, so the last one for the command is
    // the one that still reaches it.
    for (std::int32_t i = keys.Count(); i >= 1; --i) {
        const KeyBinding b = keys.Item(i);
        if (b.cmd != command) continue;
        if (keys.Find(b.key, b.fVirt) != command) continue;
        const QKeySequence key = qt::QtBackend::keySequenceFor(b.key, b.fVirt);
        if (key.isEmpty()) break;
        press(key[0].key(), key[0].keyboardModifiers());
        return true;
    }
    problem = "command " + std::to_string(command) + " has no key";
    return false;
}

bool ScriptRunner::toolsMenuByKeys(std::string& problem) {
    XTgToolbar& tb = m_host.toolbar();
    if (!reachByKeys(tb, "the toolbar", problem)) return false;
    // The presenter's hooks choose in the menu while it is open.
    press(Qt::Key_F10, Qt::ShiftModifier);
    return true;
}

bool ScriptRunner::tabByKeys(std::int32_t index, std::string& problem) {
    XTabStrip& strip = m_host.pane().xtsTabStrip();
    if (index < 0 || index >= strip.TabCount()) {
        problem = "there is no tab " + std::to_string(index);
        return false;
    }
    if (!reachByKeys(strip, "the tab strip", problem)) return false;
    for (int i = 0; i <= strip.TabCount() && strip.Selected() != index; ++i) {
        const std::int16_t before = strip.Selected();
        press(index < before ? Qt::Key_Up : Qt::Key_Down);
        if (strip.Selected() == before) break;  // the end of the strip
    }
    if (strip.Selected() != index) problem = "the arrow keys do not reach tab " + std::to_string(index);
    return strip.Selected() == index;
}

bool ScriptRunner::splitterByKeys(bool menu, std::int32_t item, ReportStep& out, std::string& problem) {
    XMsnSplit& bar = m_host.pane().xmsSplit();
    if (!reachByKeys(bar, "the splitter bar", problem)) return false;
    if (!menu) {
        press(Qt::Key_Space);
        return true;
    }
    bool chosen = false;
    m_backend.presenter()->setHooks({.onMenu = [&](QMenu& m) {
        if (auto p = picture("splitter-menu"); !p.empty()) out.pictures.push_back(p);
        chosen = chooseByKeys(m, [&](QAction& a) { return a.data().toInt() == item + 1; });
        if (!chosen) m.close();
    }});
    press(Qt::Key_F10, Qt::ShiftModifier);
    if (!chosen) problem = "the splitter menu item " + std::to_string(item + 1) + " is not reached";
    return chosen;
}

bool ScriptRunner::typeByKeys(const std::string& text, std::string& problem) {
    auto* comment = dynamic_cast<XPaneComment*>(m_host.pane().activePage().get());
    if (!comment) {
        problem = "the comment page is not shown (choose the Comment tab first)";
        return false;
    }
    if (!reachByKeys(comment->txtComment(), "the comment box", problem)) return false;
    QWidget* w = window();
    QWidget* box = w ? w->focusWidget() : nullptr;
    if (!box) {
        problem = "no widget has the focus";
        return false;
    }
    QTest::keyClicks(box, QString::fromStdString(text));
    return true;
}

bool ScriptRunner::customizeByKeys(FCustomizeToolbar& dlg, const CustomizeAction& action, QWidget& win,
                                   ReportStep& out, std::string& problem) {
    auto keys = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { press(key, mods, &win); };
    // An option group is one Tab stop; the arrows then select within it.
    auto selectOption = [&](auto group, std::int32_t index, const char* what) {
        OptionButton& wanted = group(index);
        bool reached = false;
        for (int i = 0; i < kMaxTabPresses && !reached; ++i) {
            for (std::int32_t k = 0; k < 3; ++k) reached = reached || group(k).hasFocus();
            if (!reached) keys(Qt::Key_Tab);
        }
        for (int i = 0; i < 3 && reached && !wanted.hasFocus(); ++i) keys(Qt::Key_Down);
        if (!wanted.hasFocus()) {
            problem = std::string("the keys do not reach the ") + what + " option";
            return false;
        }
        if (!wanted.Value()) keys(Qt::Key_Space);
        return true;
    };
    if (action.buttonSize &&
        !selectOption([&](std::int32_t i) -> OptionButton& { return dlg.optButtonSize(i); }, *action.buttonSize, "size"))
        return false;
    if (action.labels &&
        !selectOption([&](std::int32_t i) -> OptionButton& { return dlg.optLabels(i); }, *action.labels, "labels"))
        return false;
    if (action.faded && dlg.chkFade().Value() != (*action.faded ? 1 : 0)) {
        if (!reachByKeys(dlg.chkFade(), "the faded-icons box", problem, &win)) return false;
        keys(Qt::Key_Space);
    }
    if (action.restore) {
        if (!reachByKeys(dlg.cmdRestore(), "Restore", problem, &win)) return false;
        keys(Qt::Key_Space);
    }
    if (!action.moveEntry.empty()) {
        if (dlg.tabCustomize().selectedItem() != 1) keys(Qt::Key_Tab, Qt::ControlModifier);
        ListView& list = dlg.lvwButtons();
        if (!reachByKeys(list, "the button list", problem, &win)) return false;
        auto caption = [&](std::int32_t i) {
            QString c = QString::fromStdString(list.item(i).Text);
            return c.remove('&').trimmed().toStdString();
        };
        keys(Qt::Key_Home);
        for (int i = 0; i < list.count() && (list.selectedIndex() < 1 || caption(list.selectedIndex()) != action.moveEntry); ++i)
            keys(Qt::Key_Down);
        if (list.selectedIndex() < 1 || caption(list.selectedIndex()) != action.moveEntry) {
            problem = "the button list has no entry \"" + action.moveEntry + "\"";
            return false;
        }
        CommandButton& mover = action.moveBy < 0 ? dlg.cmdUp() : dlg.cmdDown();
        for (int i = 0; i < std::abs(action.moveBy); ++i) {
            // The dialog gives the list the focus back after each move.
            if (!focusByKeys(mover, &win) || !mover.Enabled()) {
                problem = "the entry cannot move further";
                return false;
            }
            keys(Qt::Key_Space);
        }
    }
    settle();
    if (auto p = picture("customize-changed"); !p.empty()) out.pictures.push_back(p);
    // Enter presses the default button and Esc the cancel button.
    keys(action.ok ? Qt::Key_Return : Qt::Key_Escape);
    // OK and Cancel hide the dialog; its owner unloads it after the loop.
    if (dlg.isLoaded() && dlg.Visible()) {
        problem = action.ok ? "Enter does not close the dialog" : "Esc does not close the dialog";
        return false;
    }
    return true;
}

}  // namespace tavixTGCL2::demo
