// The run toolbar through Qt: its bar as a QToolBar, clicks, menus and
// accelerators going through the command-bar component as the headless
// path does.
#include <QMenu>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

#include "QtTestSupport.h"
#include "frame/HostKit.h"
#include "platform/CommandBars.h"
#include "progress/XStatusBar.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

namespace {

class ToolbarTest : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_shared<Form>("frmRun");
        form->Move(0, 0, 12000, 6000);  // 800 x 400
        form->setCaption("Test run");
        tb = form->create<XTgToolbar>();
        tb->Move(0, 0, 12000, 600);
        tb->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool acc) {
            clicks.emplace_back(b->ID(), acc);
        });
    }
    void TearDown() override {
        form.reset();
        tb.reset();
        QtTest::TearDown();
    }
    QToolButton* buttonFor(std::int32_t id) {
        settle();
        QWidget* bar = widgetOf(*tb->Bar());
        if (!bar) return nullptr;
        for (auto* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
            auto c = tb->Bar()->Controls().Find(0, id);
            if (c && b->isVisible() && b->geometry().topLeft() == QPoint(c->bounds().left, c->bounds().top)) return b;
        }
        return nullptr;
    }

    std::shared_ptr<Form> form;
    std::shared_ptr<XTgToolbar> tb;
    std::vector<std::pair<std::int32_t, bool>> clicks;
};

}  // namespace

TEST_F(ToolbarTest, TheBarIsAToolBarWithAButtonPerCommandAndTheStatusStretched) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop | etgRunStep);
    tb->SetButtonState(etgStateCompleted);
    tb->UpdateStatusBar(std::string("Measuring the output level"), true, true);
    show(form);
    auto* bar = qobject_cast<QToolBar*>(widgetOf(*tb->Bar()));
    ASSERT_NE(bar, nullptr);
    const Rect r = tb->Bar()->WindowRect();
    EXPECT_EQ(bar->size(), QSize(static_cast<int>(r.width()), static_cast<int>(r.height())));
    QToolButton* next = buttonFor(ID_TGTBAR_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(next->icon().isNull());
    EXPECT_EQ(next->toolTip().toStdString(), tb->Bar()->Controls().Find(0, ID_TGTBAR_NEXT)->ToolTipText());
    QToolButton* start = buttonFor(ID_TGTBAR_START);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->popupMode(), QToolButton::MenuButtonPopup);  // split: Start with Stepwise
    // The status host fills the rest of the bar.
    QWidget* status = widgetOf(tb->StatusHost());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->parentWidget(), bar);
    EXPECT_GT(status->width(), bar->width() / 3);
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/toolbar.png"));
}

TEST_F(ToolbarTest, AcceleratorsThroughQtKeysReachButtonClickAsAccelerators) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateCompleted);
    QWidget* win = show(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(win));
    QTest::keyClick(win, Qt::Key_F9);
    QTest::keyClick(win, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t{ID_TGTBAR_START}, true));
    EXPECT_EQ(clicks[1], std::make_pair(std::int32_t{ID_TGTBAR_NEXT}, true));
    // A binding added while the window is open becomes a shortcut too.
    tb->AddAccelerator(ID_TGTBAR_NEXT, 'J', etgKeyMaskCtrl);
    settle();
    QTest::keyClick(win, Qt::Key_J, Qt::ControlModifier);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[2], std::make_pair(std::int32_t{ID_TGTBAR_NEXT}, true));
}

TEST_F(ToolbarTest, ClicksAreNotAcceleratorsAndDisabledCommandsRaiseNothing) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateRunning);  // Next and Previous disabled, Stop enabled
    QWidget* win = show(form);
    QToolButton* stop = buttonFor(ID_TGTBAR_STOP);
    QToolButton* next = buttonFor(ID_TGTBAR_NEXT);
    ASSERT_TRUE(stop && next);
    EXPECT_FALSE(next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_TRUE(clicks.empty());
    ASSERT_TRUE(QTest::qWaitForWindowActive(win));
    QTest::keyClick(win, Qt::Key_N, Qt::ControlModifier);  // bound, but the command is disabled
    EXPECT_TRUE(clicks.empty());
    QTest::mouseClick(stop, Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t{ID_TGTBAR_STOP}, false));
    // The state the host sets afterwards shows on the buttons.
    tb->SetButtonState(etgStateCompleted);
    settle();
    EXPECT_TRUE(buttonFor(ID_TGTBAR_NEXT)->isEnabled());
    EXPECT_FALSE(buttonFor(ID_TGTBAR_STOP)->isEnabled());
}

TEST_F(ToolbarTest, TheToolsMenuIsAQMenuWhoseChoiceRunsThroughTheComponent) {
    tb->AddToolsMenu(901, "Host &tool");
    show(form);
    QStringList shown;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        for (QAction* a : menu.actions()) shown << a->text();
        QImage pic = backend->grab(*form);
        pic.save(tgcltest::outDir() + "/toolbar-tools-menu.png");
        for (QAction* a : menu.actions())
            if (a->data().toInt() == 901) {
                menu.setActiveAction(a);
                QTest::keyClick(&menu, Qt::Key_Return);
            }
    }});
    auto tools = tb->Bar()->Controls().Find(0, ID_TGTBAR_TOOLS);
    ASSERT_NE(tools, nullptr);
    QToolButton* button = buttonFor(ID_TGTBAR_TOOLS);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(shown.contains("Host &tool"));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t{901}, false));
}

TEST_F(ToolbarTest, TheSplitArrowOpensTheStartMenu) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop | etgRunStep);
    show(form);
    QToolButton* start = buttonFor(ID_TGTBAR_START);
    ASSERT_NE(start, nullptr);
    int menus = 0;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        ++menus;
        for (QAction* a : menu.actions())
            if (a->data().toInt() == ID_TGTBAR_STEP) {
                menu.setActiveAction(a);
                QTest::keyClick(&menu, Qt::Key_Return);
            }
    }});
    // The arrow is the last few pixels of the face.
    QTest::mouseClick(start, Qt::LeftButton, {}, QPoint(start->width() - 4, start->height() / 2));
    EXPECT_EQ(menus, 1);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, ID_TGTBAR_STEP);
    QTest::mouseClick(start, Qt::LeftButton, {}, QPoint(6, start->height() / 2));
    EXPECT_EQ(menus, 1);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].first, ID_TGTBAR_START);
}

TEST_F(ToolbarTest, FadedIconsAndCaptionsFollowTheSettings) {
    show(form);
    QToolButton* next = buttonFor(ID_TGTBAR_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);  // selective labels
    tb->setTextLabels(etgLabelsNone);
    settle();
    EXPECT_EQ(buttonFor(ID_TGTBAR_NEXT)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    tb->setFadedIcons(true);
    tb->setTextLabels(etgLabelsAll);
    settle();
    next = buttonFor(ID_TGTBAR_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    const QImage normal = next->icon().pixmap(24, QIcon::Normal).toImage();
    const QImage hot = next->icon().pixmap(24, QIcon::Active).toImage();
    EXPECT_NE(normal, hot);
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/toolbar-captions.png"));
}

TEST_F(ToolbarTest, TheCustomizeDialogOperatedThroughItsWidgetsChangesTheBar) {
    show(form);
    ASSERT_NE(tb->TextLabels(), etgLabelsAll);
    ASSERT_FALSE(tb->FadedIcons());
    bool sawDialog = false;
    backend->presenter()->setHooks(
        {.onMenu =
             [&](QMenu& menu) {
                 for (QAction* a : menu.actions())
                     if (a->data().toInt() == ID_TGTBAR_CUSTOMIZE) {
                         menu.setActiveAction(a);
                         QTest::keyClick(&menu, Qt::Key_Return);
                     }
             },
         .onModal =
             [&](QWidget& window, Form& f) {
                 auto* dlg = dynamic_cast<FCustomizeToolbar*>(&f);
                 if (!dlg) return;
                 sawDialog = true;
                 // The second option of the labels is "all captions".
                 QWidget* all = backend->widgetFor(dlg->optLabels(2));
                 QWidget* fade = backend->widgetFor(dlg->chkFade());
                 ASSERT_TRUE(all && fade);
                 QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(7, all->height() / 2));
                 QTest::mouseClick(fade, Qt::LeftButton, {}, QPoint(7, fade->height() / 2));
                 backend->saveScreenshot(*dlg, tgcltest::outDir() + "/customize-dialog.png");
                 // The bar behind the dialog follows at once.
                 EXPECT_EQ(tb->TextLabels(), etgLabelsAll);
                 QTest::mouseClick(backend->widgetFor(dlg->cmdOk()), Qt::LeftButton);
                 (void)window;
             }});
    QTest::mouseClick(buttonFor(ID_TGTBAR_TOOLS), Qt::LeftButton);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(tb->TextLabels(), etgLabelsAll);
    EXPECT_TRUE(tb->FadedIcons());
    EXPECT_TRUE(XTgToolbar::HasStoredLayout());  // OK stores the settings
    settle();
    EXPECT_EQ(buttonFor(ID_TGTBAR_NEXT)->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST_F(ToolbarTest, ButtonsAndMenuEntriesCarryTheirCommandIdAsObjectName) {
    QWidget* win = show(form);
    EXPECT_EQ(win->findChild<QWidget*>("202"), buttonFor(ID_TGTBAR_START));
    // A layout change makes new buttons; only the shown one keeps the name.
    tb->ApplyButtonLayout(XTgToolbar::kRightToLeftLayout);
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(win->findChildren<QToolButton*>("202"), QList<QToolButton*>{buttonFor(ID_TGTBAR_START)});
}

TEST_F(ToolbarTest, TriggeringAStandardInTheToolsSubMenuEndsTheMenuWithThatChoice) {
    auto list = std::make_shared<SimpleStandardsList>();
    for (int i = 1; i <= 3; ++i) list->add("G" + std::to_string(i), "Standard " + std::to_string(i));
    tb->DefineButtons(etgActionAll, etgRunNone);
    tb->Initialize(nullptr, std::make_shared<SimpleTestSetup>(nullptr, list));
    show(form);
    QAction* second = nullptr;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        // Menu entries are found by command too; 512 is in Tools > Standards.
        second = menu.findChild<QAction*>("512");
        if (second) second->trigger();
    }});
    // Should the loop not end, the menus are closed after a generous while,
    // so the test fails instead of hanging.
    bool forced = false;
    QTimer guard;  // dies with the test, so it cannot fire into another one
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        forced = true;
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    guard.start(20000);
    QTest::mouseClick(buttonFor(ID_TGTBAR_TOOLS), Qt::LeftButton);
    EXPECT_NE(second, nullptr);
    EXPECT_FALSE(forced);
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 2");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}
