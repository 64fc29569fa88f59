// The keyboard through real widgets: Qt's focus and the controls' focus
// follow each other, Tab is the controls' order, drawn controls get their
// keys from the window, menus open at the focused part. Keys only: no test
// here presses a mouse button.
#include <QMenu>
#include <QScreen>

#include "QtConvert.h"
#include "RunFormFixture.h"
#include "toolbar/FCustomizeToolbar.h"

using tgcltest::RunFormTest;
using namespace tavixTGCL2;

namespace {

// Chooses the menu entry with this identifier with the menu's own keys.
void chooseByKeys(QMenu& menu, int id) {
    QAction* wanted = menu.findChild<QAction*>(QString::number(id));
    ASSERT_NE(wanted, nullptr) << id;
    for (int i = 0; i < menu.actions().size() && menu.activeAction() != wanted; ++i) QTest::keyClick(&menu, Qt::Key_Down);
    ASSERT_EQ(menu.activeAction(), wanted);
    QTest::keyClick(&menu, Qt::Key_Return);
}

// Where the menu opened, or the anchor itself when the screen had no room
// there and Qt moved the menu inside it (the offscreen screen is small at
// scale 2): then only "on the screen" can be asked of it.
QPoint placedAt(QMenu& menu, QPoint anchor) {
    const QRect screen = menu.screen()->availableGeometry();
    const QRect wanted(anchor, menu.sizeHint());
    if (screen.contains(wanted)) return menu.pos();
    EXPECT_TRUE(screen.contains(menu.geometry())) << "the menu is off the screen";
    return anchor;
}

}  // namespace

TEST_F(RunFormTest, TabFollowsTheControlsOrderAndQtsFocusFollowsTheControls) {
    QWidget* w = open();
    ASSERT_EQ(focused(), tb.get());
    EXPECT_EQ(w->focusWidget(), widgetOf(*tb));
    XMsnSplit& split = pane->xmsSplit();
    EXPECT_EQ(widgetOf(split)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(widgetOf(pane->xtsTabStrip().Tabs(0))->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(widgetOf(*pane)->focusPolicy(), Qt::NoFocus);

    const std::vector<Control*> order{&pane->xtsTabStrip(), pane->xpvProc().procedureView(), &split, results.get(), tb.get()};
    for (Control* c : order) {
        key(Qt::Key_Tab);
        ASSERT_EQ(focused(), c) << "after " << log.size();
        EXPECT_EQ(w->focusWidget(), widgetOf(*c)) << c->Name();
    }
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), results.get());
    // The multi-line procedure text takes no Tab for itself: the order goes on.
    pane->xpvProc().procedureView()->SetFocus();
    EXPECT_EQ(w->focusWidget(), widgetOf(*pane->xpvProc().procedureView()));
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), &split);

    // Focus Qt gives (a click, an accessibility client) reaches the
    // controls once, and does not come back as a second change.
    int got = 0, lost = 0;
    results->GotFocus.connect([&] { ++got; });
    split.LostFocus.connect([&] { ++lost; });
    widgetOf(*results)->setFocus(Qt::MouseFocusReason);
    settle();
    EXPECT_EQ(focused(), results.get());
    EXPECT_EQ(got, 1);
    EXPECT_EQ(lost, 1);

    split.setTabStop(false);
    EXPECT_EQ(widgetOf(split)->focusPolicy(), Qt::ClickFocus);
    split.setCanGetFocus(false);
    EXPECT_EQ(widgetOf(split)->focusPolicy(), Qt::NoFocus);
}

TEST_F(RunFormTest, ShiftF10OnTheSplitterOpensItsMenuThereAndAKeyChoosesTheLayout) {
    QWidget* w = open();
    pane->xmsSplit().SetFocus();
    QWidget* bar = widgetOf(pane->xmsSplit());
    const QPoint centre = bar->mapToGlobal(bar->rect().center());
    QPoint at;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        at = placedAt(menu, QPoint(centre.x(), menu.pos().y()));
        chooseByKeys(menu, XTgContentPane::mnuSizeMaximize + 1);
    }});
    key(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(pane->ResultViewState(), ervsMaximized);
    EXPECT_EQ(at.x(), centre.x());
    // The menu key does the same, and Space toggles as a click.
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) { chooseByKeys(menu, XTgContentPane::mnuSizeDown + 1); }});
    key(Qt::Key_Menu);
    EXPECT_EQ(pane->ResultViewState(), ervsNormal);
    key(Qt::Key_Space);
    EXPECT_EQ(pane->ResultViewState(), ervsLarge);
    EXPECT_EQ(w->focusWidget(), bar);
}

TEST_F(RunFormTest, TheCustomizeListGetsTheFocusBackAfterMoveDownAndUp) {
    open();
    bool ran = false;
    backend->presenter()->setHooks(
        {.onMenu = [&](QMenu& menu) { chooseByKeys(menu, ID_TGTBAR_CUSTOMIZE); },
         .onModal = [&](QWidget& window, Form& f) {
             auto& d = dynamic_cast<FCustomizeToolbar&>(f);
             ran = true;
             QWidget* list = widgetOf(d.lvwButtons());
             ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
             ASSERT_EQ(window.focusWidget(), widgetOf(d.tabCustomize()));
             key(Qt::Key_Tab, Qt::ControlModifier);  // Button Position
             key(Qt::Key_Tab);
             key(Qt::Key_Tab);
             ASSERT_EQ(window.focusWidget(), list);
             for (int i = 0; i < 8; ++i) key(Qt::Key_Down);
             EXPECT_EQ(d.lvwButtons().selectedIndex(), 8);
             key(Qt::Key_Tab);
             key(Qt::Key_Tab);
             ASSERT_EQ(d.ActiveControl(), &d.cmdDown());
             key(Qt::Key_Space);  // Move Down
             EXPECT_EQ(d.lvwButtons().selectedIndex(), 9);
             EXPECT_EQ(window.focusWidget(), list);
             key(Qt::Key_Tab);
             ASSERT_EQ(d.ActiveControl(), &d.cmdUp());
             key(Qt::Key_Space);  // Move Up
             EXPECT_EQ(d.lvwButtons().selectedIndex(), 8);
             EXPECT_EQ(window.focusWidget(), list);
             key(Qt::Key_Escape);
         }});
    key(Qt::Key_Menu);
    EXPECT_TRUE(ran);
    EXPECT_EQ(focused(), tb.get());
}

TEST_F(RunFormTest, APlanRunsFromStartToTheEndOnKeysThroughTheWidgets) {
    open();
    key(Qt::Key_F9);  // element 1 passes
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), &pane->xtsTabStrip());
    key(Qt::Key_Down);  // a look at the comment tab and back
    EXPECT_NE(pane->activePage(), pane->page("::0"));
    key(Qt::Key_Up);
    EXPECT_EQ(pane->activePage(), pane->page("::0"));
    // The accelerators work, once, wherever the focus is: on the strip, on
    // the splitter, on the result list (a widget with keys of its own).
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(current, 1u);
    key(Qt::Key_F9);  // element 2 fails
    EXPECT_EQ(tb->StatusControl().Status(), 2);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), &pane->xmsSplit());
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), results.get());
    key(Qt::Key_A, Qt::ControlModifier);  // element 3 is not applicable
    // The report from the Tools menu, opened below Tools: Tab wraps round
    // to the toolbar.
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), tb.get());
    QWidget* tools = win->findChild<QWidget*>(QString::number(ID_TGTBAR_TOOLS));
    ASSERT_NE(tools, nullptr);
    QPoint at;
    const QPoint below = tools->mapToGlobal(tools->rect().bottomLeft());
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        at = placedAt(menu, below);
        chooseByKeys(menu, kToolReport);
    }});
    key(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(at, tools->mapToGlobal(tools->rect().bottomLeft()));
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(finished);
    EXPECT_EQ(tb->StatusControl().Message(), "Plan complete");
    EXPECT_EQ(verdicts, (std::vector<std::int16_t>{1, 2, 3}));
    EXPECT_EQ(log, (std::vector<std::string>{"202 key", "tab 1", "tab 0", "103 key", "202 key", "103 key", "301 key",
                                             "901 click", "103 key"}));
}

TEST(QtKeySequence, EveryToolbarKeyHasTheSequenceQtDeliversBackAsThatKey) {
    using qt::QtBackend;
    EXPECT_EQ(QtBackend::keySequenceFor(vbKeyF9), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(QtBackend::keySequenceFor(vbKeyN, FCONTROL | FSHIFT), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    EXPECT_EQ(QtBackend::keySequenceFor(vbKeyNumpad5), QKeySequence(Qt::KeypadModifier | Qt::Key_5));
    EXPECT_TRUE(QtBackend::keySequenceFor(0).isEmpty());
    XTgToolbar tb;
    tb.DefineButtons(etgActionAll, etgRunStartAndStop);
    const KeyBindings& keys = tb.CommandBarsControl().KeyBindings();
    ASSERT_GT(keys.Count(), 0);
    for (std::int32_t i = 1; i <= keys.Count(); ++i) {
        const KeyBinding b = keys.Item(i);
        const QKeySequence seq = QtBackend::keySequenceFor(b.key, b.fVirt);
        ASSERT_EQ(seq.count(), 1) << b.key;
        EXPECT_EQ(qt::virtualKeyFromQtKey(seq[0].key()), b.key);
        const Qt::KeyboardModifiers mods = seq[0].keyboardModifiers();
        EXPECT_EQ(mods.testFlag(Qt::ShiftModifier), (b.fVirt & FSHIFT) != 0) << b.key;
        EXPECT_EQ(mods.testFlag(Qt::ControlModifier), (b.fVirt & FCONTROL) != 0) << b.key;
        EXPECT_EQ(mods.testFlag(Qt::AltModifier), (b.fVirt & FALT) != 0) << b.key;
    }
}
