// Menus, modal forms and message boxes as real Qt ones, and the controls'
// event loop running on Qt's.
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "QtTestSupport.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

using PresenterTest = QtTest;
using LoopTest = QtTest;

TEST_F(PresenterTest, MessageBoxesAreQMessageBoxesAnsweredThroughTheirButtons) {
    QString text;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    backend->presenter()->setHooks({.onMessageBox = [&](QMessageBox& box) {
        text = box.text();
        defaultButton = box.standardButton(box.defaultButton());
        QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton);
    }});
    const std::int32_t answer = presenter().messageBox("Discard the results?", vbYesNo | vbQuestion | vbDefaultButton2, "Run");
    EXPECT_EQ(answer, vbNo);
    EXPECT_EQ(text, "Discard the results?");
    EXPECT_EQ(defaultButton, QMessageBox::No);

    backend->presenter()->setHooks({.onMessageBox = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }});
    EXPECT_EQ(presenter().messageBox("Retry?", vbRetryCancel, ""), vbCancel);
}

TEST_F(PresenterTest, PopupMenusAreQMenusReturningTheChosenIdentifier) {
    auto entry = [](std::int32_t id, const char* caption) {
        MenuEntry e;
        e.id = id;
        e.caption = caption;
        return e;
    };
    std::vector<MenuEntry> menu = {entry(1, "&Up"), entry(2, "&Down"), entry(3, "Auto &hide"), entry(4, "More")};
    menu[1].enabled = false;
    menu[2].checked = true;
    menu[2].beginGroup = true;
    menu[3].children = {entry(5, "Deeper")};
    QStringList texts;
    bool downEnabled = true, hideChecked = false;
    int separators = 0;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& m) {
        for (QAction* a : m.actions()) {
            if (a->isSeparator()) ++separators;
            else texts << a->text();
            if (a->data().toInt() == 2) downEnabled = a->isEnabled();
            if (a->data().toInt() == 3) hideChecked = a->isChecked();
        }
        for (QAction* a : m.actions())
            if (a->data().toInt() == 3) {
                m.setActiveAction(a);
                QTest::keyClick(&m, Qt::Key_Return);
            }
    }});
    EXPECT_EQ(presenter().popupMenu(menu, 0, 0, 0), 3);
    EXPECT_EQ(texts, QStringList({"&Up", "&Down", "Auto &hide", "More"}));
    EXPECT_FALSE(downEnabled);
    EXPECT_TRUE(hideChecked);
    EXPECT_EQ(separators, 1);

    backend->presenter()->setHooks({.onMenu = [](QMenu& m) { QTest::keyClick(&m, Qt::Key_Escape); }});
    EXPECT_EQ(presenter().popupMenu(menu, 0, 0, 0), 0);  // dismissed
}

TEST_F(PresenterTest, ModalFormsRunInTheirWindowUntilHidden) {
    auto dialog = std::make_shared<Form>("frmAsk");
    dialog->Move(0, 0, 4500, 2250);
    dialog->setCaption("Ask");
    auto ok = dialog->create<CommandButton>("cmdOK");
    ok->Move(1500, 1200, 1500, 450);
    ok->setCaption("OK");
    ok->Click.connect([&] { dialog->hide(); });
    bool modalWhileShown = false;
    QString title;
    backend->presenter()->setHooks({.onModal = [&](QWidget& window, Form& f) {
        modalWhileShown = window.isModal() && f.isModal();
        title = window.windowTitle();
        QTest::mouseClick(backend->widgetFor(*ok), Qt::LeftButton);
    }});
    dialog->show(true);  // returns once the operator pressed OK
    EXPECT_TRUE(modalWhileShown);
    EXPECT_EQ(title, "Ask");
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(backend->widgetFor(*dialog)->isVisible());
}

TEST_F(LoopTest, ControlTimersTickOnQtsLoop) {
    auto timer = std::make_shared<Timer>("tmr");
    int ticks = 0;
    timer->Tick.connect([&] { ++ticks; });
    timer->setInterval(15);
    // Nobody calls the controls' loop: Qt's loop alone runs it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 10000));
    timer->setTimerEnabled(false);
    const int stopped = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, stopped);
}

TEST_F(LoopTest, PostedWorkRunsFromQtsLoop) {
    bool ran = false;
    EventLoop::current().post([&] { ran = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 10000));
}

TEST_F(LoopTest, WaitsLetQtEventsRunAndStayBounded) {
    bool qtFired = false;
    QTimer::singleShot(5, [&] { qtFired = true; });
    EXPECT_TRUE(EventLoop::current().waitWhile([&] { return !qtFired; }, 10000));
    // Something that never stops being busy: the wait gives up.
    EXPECT_FALSE(EventLoop::current().waitWhile([] { return true; }, 30));
}
