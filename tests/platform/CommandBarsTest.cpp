#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/ServicesScope.h"
#include "platform/CommandBars.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

// The run toolbar's bar as its designer describes it.
const char* const kTestGuideBar = R"(commandbars 1
# The test-guide bar
bar 100 "Test Guide" category="Test Guide" {
  button 101 "250::Abort" tooltip="210::Abort test"
  button 102 "251::Previous" tooltip="211::Go to previous test element"
  button 103 "Next" tooltip="212::Go to next test element"
  button 201 "Stop" tooltip="214::Stop test" group
  button 202 "Start" tooltip="213::Start automatic test"
  button 301 "256::NA" tooltip="215::Mark this test as Not Applicable" group
  button 302 "257::Skip" tooltip="216::Skip this test and erase any existing test results"
  popup 401 "258::Tools" tooltip="217::Tools" group menu="Tools" {
    popup 500 "259::Standards" menu="Standards" {
      button 501 "260::Show calculated limits"
    }
    button 402 "261::Customize..." tooltip="221::Customize toolbar" group
  }
}
)";

std::vector<std::int32_t> idsOf(const CommandBar& bar) {
    std::vector<std::int32_t> ids;
    for (const auto& c : bar.Controls()) ids.push_back(c->Id());
    return ids;
}

std::vector<std::int32_t> idsOf(const std::vector<MenuEntry>& entries) {
    std::vector<std::int32_t> ids;
    for (const auto& e : entries) ids.push_back(e.id);
    return ids;
}

void expectError(std::int32_t code, const std::function<void()>& f) {
    try {
        f();
        ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), code) << e.what();
    }
}

class CommandBarsTest : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        scripted = std::make_shared<ScriptedPresenter>();
        setPresenter(scripted);
        cbr.Execute.connect([this](std::shared_ptr<CommandBarControl> c) { executed.push_back(c); });
    }

    std::shared_ptr<CommandBar> loadTestGuide() {
        cbr.LoadDesignerBars(kTestGuideBar);
        return cbr.Item(2);
    }
    // A toolbar without gripper, so rectangles are easy to follow.
    std::shared_ptr<CommandBar> plainBar(std::int32_t position = cbpTop) {
        auto bar = cbr.Add("Plain", position);
        bar->ModifyStyle(cbwGripper, 0);
        return bar;
    }

    CommandBars cbr;
    std::shared_ptr<ScriptedPresenter> scripted;
    std::vector<std::shared_ptr<CommandBarControl>> executed;
};

using CommandBarStructureTest = CommandBarsTest;
using CommandBarFindCopyTest = CommandBarsTest;
using CommandBarDeleteTest = CommandBarsTest;
using CommandBarExecuteTest = CommandBarsTest;
using CommandBarMenuTest = CommandBarsTest;
using CommandBarLayoutTest = CommandBarsTest;
using CommandBarDefinitionTest = CommandBarsTest;

// --- structure and positions -------------------------------------------------------

TEST_F(CommandBarStructureTest, BarOneIsTheActiveMenuBarAndAddedBarsFollowIt) {
    ASSERT_EQ(cbr.Count(), 1);
    EXPECT_EQ(cbr.Item(1), cbr.ActiveMenuBar());
    EXPECT_EQ(cbr.ActiveMenuBar()->Type(), cbtMenuBar);
    auto bar = cbr.Add("Procedure", cbpTop);
    EXPECT_EQ(cbr.Count(), 2);
    EXPECT_EQ(cbr.Item(2), bar);
    EXPECT_EQ(bar->Name(), "Procedure");
    EXPECT_EQ(bar->Parent(), &cbr);  // docked bars sit in the control tree
    expectError(errSubscript, [&] { cbr.Item(0); });
    expectError(errSubscript, [&] { cbr.Item(3); });
    expectError(errInvalidProperty, [&] { cbr.Add("x", 6); });
    EXPECT_EQ(cbr.Count(), 2);
}

TEST_F(CommandBarStructureTest, PositionsAreOneBasedAndCountedWithinOneBar) {
    auto bar = plainBar();
    auto& ctl = bar->Controls();
    auto a = ctl.Add(cbcButton, 1, "A");
    auto b = ctl.Add(cbcButton, 2, "B");
    auto c = ctl.Add(cbcButton, 3, "C", -1);
    auto d = ctl.Add(cbcButton, 4, "D", 2);   // before B
    auto e = ctl.Add(cbcButton, 5, "E", 99);  // past the end: appended
    EXPECT_EQ(idsOf(*bar), (std::vector<std::int32_t>{1, 4, 2, 3, 5}));
    EXPECT_EQ(d->Index(), 2);
    EXPECT_EQ(ctl.Item(2), d);

    auto p = ctl.Add(cbcPopup, 6, "P", 1);
    auto inMenu = p->CommandBar()->Controls().Add(cbcButton, 7, "M");
    EXPECT_EQ(inMenu->Index(), 1);  // counted in its own menu
    EXPECT_EQ(a->Index(), 2);

    b->Delete();
    EXPECT_EQ(c->Index(), 4);
    EXPECT_EQ(e->Index(), 5);
    EXPECT_EQ(ctl.Count(), 5);
    expectError(errSubscript, [&] { ctl.Item(6); });
    expectError(errInvalidProperty, [&] { ctl.Add(cbcButton, 8, "bad", -2); });
    expectError(errInvalidProperty, [&] { ctl.Add(5, 8, "unsupported kind"); });
    expectError(errInvalidProperty, [&] { ctl.Add(cbcButton, -1, "negative id"); });
    EXPECT_EQ(ctl.Count(), 5);
}

// --- find and copy ---------------------------------------------------------------------

TEST_F(CommandBarFindCopyTest, FindReturnsTheFirstInBarOrderWithAMenuRightAfterItsControl) {
    auto bar = plainBar();
    auto p = bar->Controls().Add(cbcPopup, 10, "P");
    auto inner = p->CommandBar()->Controls().Add(cbcButton, 7, "in the menu");
    auto later = bar->Controls().Add(cbcButton, 7, "later on the bar");

    EXPECT_EQ(bar->FindControl(0, 7), later);  // own controls only
    EXPECT_EQ(bar->FindControl(0, 7, false, true), inner);
    EXPECT_EQ(bar->Controls().Find(cbcPopup, 10), p);
    EXPECT_EQ(bar->Controls().Find(cbcButton, 10), nullptr);
    EXPECT_EQ(bar->FindControl(0, 12345, false, true), nullptr);

    inner->setVisible(false);
    EXPECT_EQ(bar->FindControl(0, 7, true, true), later);
    EXPECT_EQ(bar->FindControl(0, 7, false, true), inner);
    inner->setVisible(true);
    p->setVisible(false);  // a hidden pop-up hides its menu as well
    EXPECT_EQ(bar->FindControl(0, 7, true, true), later);
}

TEST_F(CommandBarFindCopyTest, CommandBarsSearchTheBarsInCollectionOrder) {
    auto tg = loadTestGuide();
    auto file = cbr.ActiveMenuBar()->Controls().Add(cbcPopup, 1, "&File");
    auto exitInMenuBar = file->CommandBar()->Controls().Add(cbcButton, 402, "E&xit");
    EXPECT_EQ(cbr.FindControl(0, 402, false, true), exitInMenuBar);
    exitInMenuBar->Delete();
    auto customize = cbr.FindControl(0, 402, false, true);
    ASSERT_TRUE(customize);
    EXPECT_EQ(customize->Parent()->Name(), "Tools");
    EXPECT_EQ(cbr.FindControl(0, 402, false, false), nullptr);
    EXPECT_EQ(cbr.FindControl(0, 501, false, true)->Parent()->Name(), "Standards");
}

TEST_F(CommandBarFindCopyTest, CopyKeepsIdentifierStatesAndADeepCopyOfTheMenu) {
    auto tg = loadTestGuide();
    auto tools = tg->FindControl(0, 401);
    tools->setParameter("p");
    tools->setFlags(32);
    tools->setStyle(cbsIconAndCaption);
    tools->setEnabled(false);
    tools->setChecked(true);
    tools->setIconId(77);

    auto other = cbr.Add("Other");
    auto copy = tools->Copy(other, 1);
    EXPECT_NE(copy, tools);
    EXPECT_EQ(copy->Parent(), other);
    EXPECT_EQ(copy->Id(), 401);
    EXPECT_EQ(copy->Type(), cbcPopup);
    EXPECT_EQ(copy->Caption(), "258::Tools");
    EXPECT_EQ(copy->ToolTipText(), "217::Tools");
    EXPECT_EQ(copy->Category(), "Test Guide");
    EXPECT_EQ(copy->Parameter(), "p");
    EXPECT_EQ(copy->Flags(), 32);
    EXPECT_EQ(copy->Style(), cbsIconAndCaption);
    EXPECT_EQ(copy->IconId(), 77);
    EXPECT_TRUE(copy->BeginGroup());
    EXPECT_FALSE(copy->Enabled());
    EXPECT_TRUE(copy->Checked());

    auto menu = copy->CommandBar();
    ASSERT_TRUE(menu);
    EXPECT_NE(menu, tools->CommandBar());
    EXPECT_EQ(menu->Name(), "Tools");
    EXPECT_EQ(idsOf(*menu), (std::vector<std::int32_t>{500, 402}));
    EXPECT_TRUE(menu->FindControl(0, 402)->BeginGroup());
    EXPECT_EQ(menu->FindControl(0, 501, false, true)->Caption(), "260::Show calculated limits");

    // The copy's menu is its own: changing it leaves the original alone.
    menu->FindControl(0, 402)->Delete();
    EXPECT_EQ(idsOf(*tools->CommandBar()), (std::vector<std::int32_t>{500, 402}));
}

TEST_F(CommandBarFindCopyTest, CopyBeforeAPositionThenDeleteMovesAControl) {
    auto bar = plainBar();
    for (std::int32_t id : {1, 2, 3, 4}) bar->Controls().Add(cbcButton, id, std::to_string(id));
    auto three = bar->FindControl(0, 3);
    auto moved = three->Copy(nullptr, 1);
    three->Delete();
    EXPECT_EQ(idsOf(*bar), (std::vector<std::int32_t>{3, 1, 2, 4}));
    EXPECT_EQ(moved->Index(), 1);
    EXPECT_EQ(bar->FindControl(0, 3), moved);

    auto one = bar->FindControl(0, 1);
    auto movedOne = one->Copy(bar, 4);
    one->Delete();
    EXPECT_EQ(idsOf(*bar), (std::vector<std::int32_t>{3, 2, 1, 4}));
    EXPECT_EQ(movedOne->Index(), 3);

    auto p = bar->Controls().Add(cbcPopup, 9, "P");
    expectError(errInvalidProperty, [&] { p->Copy(p->CommandBar()); });
}

// --- deleted handles --------------------------------------------------------------------

TEST_F(CommandBarDeleteTest, EveryUseOfADeletedHandleFails) {
    auto bar = plainBar();
    auto c = bar->Controls().Add(cbcButton, 1, "A");
    auto same = bar->Controls().Item(1);
    c->Delete();
    EXPECT_TRUE(same->isDeleted());
    EXPECT_EQ(bar->Controls().Count(), 0);
    std::vector<std::function<void()>> uses = {
        [&] { (void)same->Caption(); },   [&] { same->setCaption("x"); }, [&] { (void)same->Id(); },
        [&] { (void)same->Index(); },     [&] { (void)same->Parent(); },  [&] { same->Execute(); },
        [&] { same->Copy(bar); },         [&] { same->Delete(); },        [&] { (void)same->Enabled(); },
        [&] { same->setVisible(false); }, [&] { (void)same->CommandBar(); }, [&] { (void)same->bounds(); }};
    for (auto& use : uses) expectError(errDeletedObject, use);
    EXPECT_TRUE(executed.empty());
}

TEST_F(CommandBarDeleteTest, DeletingAPopupDeletesItsMenuAndEverythingInIt) {
    auto bar = plainBar();
    auto start = bar->Controls().Add(cbcSplitButtonPopup, 202, "Start");
    auto menu = start->CommandBar();
    auto step = menu->Controls().Add(cbcButton, 203, "Stepwise test");
    EXPECT_EQ(menu->OwnerControl(), start);
    start->Delete();
    EXPECT_TRUE(step->isDeleted());
    EXPECT_TRUE(menu->isDeleted());
    expectError(errDeletedObject, [&] { menu->Controls(); });
    EXPECT_EQ(bar->FindControl(0, 203, false, true), nullptr);
}

TEST_F(CommandBarDeleteTest, DeleteAllReloadAndDestructionLeaveDeletedHandles) {
    auto tg = loadTestGuide();
    auto abort = tg->FindControl(0, 101);
    auto standards = tg->FindControl(0, 501, false, true);
    cbr.LoadDesignerBars(kTestGuideBar);
    EXPECT_TRUE(tg->isDeleted());
    EXPECT_TRUE(abort->isDeleted());
    EXPECT_TRUE(standards->isDeleted());
    EXPECT_EQ(cbr.Count(), 2);

    auto fresh = cbr.Item(2)->FindControl(0, 101);
    cbr.Item(2)->Controls().DeleteAll();
    EXPECT_TRUE(fresh->isDeleted());
    EXPECT_EQ(cbr.Item(2)->Controls().Count(), 0);

    auto owned = std::make_unique<CommandBars>();
    auto kept = owned->Add("Kept")->Controls().Add(cbcButton, 1, "kept");
    auto keptBar = owned->Item(2);
    owned.reset();
    EXPECT_TRUE(kept->isDeleted());
    EXPECT_TRUE(keptBar->isDeleted());
    expectError(errDeletedObject, [&] { kept->Execute(); });
}

// --- execution and key bindings ------------------------------------------------------

TEST_F(CommandBarExecuteTest, AClickIsReportedOnceAndOnlyForAnEnabledCommand) {
    auto bar = plainBar();
    auto button = bar->Controls().Add(cbcButton, 1, "A");
    auto split = bar->Controls().Add(cbcSplitButtonPopup, 2, "B");
    auto popup = bar->Controls().Add(cbcPopup, 3, "C");

    EXPECT_TRUE(button->Execute());
    ASSERT_EQ(executed.size(), 1u);
    EXPECT_EQ(executed[0], button);
    EXPECT_TRUE(split->Execute());
    EXPECT_FALSE(popup->Execute());  // a pop-up only opens its menu
    button->setEnabled(false);
    EXPECT_FALSE(button->Execute());
    EXPECT_EQ(executed.size(), 2u);

    // A failing handler is contained at the control.
    cbr.Execute.connect([](std::shared_ptr<CommandBarControl>) { throw Error("handler failed"); });
    EXPECT_TRUE(split->Execute());
    EXPECT_EQ(executed.size(), 3u);
}

TEST_F(CommandBarExecuteTest, AKeyBindingExecutesTheFirstControlThroughAllMenusOnce) {
    auto tg = loadTestGuide();
    cbr.KeyBindings().Add(FCONTROL, 75, 402);
    cbr.KeyBindings().Add(FVIRTKEY | FCONTROL | FSHIFT, 66, 102);

    EXPECT_FALSE(cbr.pressKey(75, 0));
    EXPECT_FALSE(cbr.pressKey(75, FCONTROL | FALT));
    EXPECT_TRUE(executed.empty());

    EXPECT_TRUE(cbr.pressKey(75, FCONTROL));
    ASSERT_EQ(executed.size(), 1u);
    auto found = cbr.FindControl(0, 402, false, true);
    EXPECT_EQ(executed[0]->Id(), 402);
    EXPECT_EQ(executed[0]->Caption(), found->Caption());
    // Delivered from outside the bar, so a handler can tell a key from a click.
    EXPECT_NE(executed[0]->Parent(), found->Parent());
    EXPECT_NE(executed[0]->Parent(), tg);

    EXPECT_TRUE(cbr.pressKey(66, FSHIFT | FCONTROL));  // the virtual-key bit is not a modifier
    ASSERT_EQ(executed.size(), 2u);
    EXPECT_EQ(executed[1]->Id(), 102);
    EXPECT_TRUE(executed[0]->isDeleted());  // a stand-in serves one report

    // A click on the same command comes from its own bar.
    found->Execute();
    EXPECT_EQ(executed.back()->Parent(), found->Parent());
}

TEST_F(CommandBarExecuteTest, KeyBindingsWithoutAnEnabledCommandReportNothing) {
    auto tg = loadTestGuide();
    auto& keys = cbr.KeyBindings();
    keys.Add(0, 120, 999);
    EXPECT_TRUE(cbr.pressKey(120, 0));  // bound, so consumed, but nothing to run
    tg->FindControl(0, 202)->setEnabled(false);
    keys.Add(0, 121, 202);
    EXPECT_TRUE(cbr.pressKey(121, 0));
    EXPECT_TRUE(executed.empty());

    keys.Add(0, 27, 101);
    keys.Add(0, 27, 102);  // the same key again: the latest binding wins
    EXPECT_EQ(keys.Count(), 4);
    cbr.pressKey(27, 0);
    ASSERT_EQ(executed.size(), 1u);
    EXPECT_EQ(executed[0]->Id(), 102);
    EXPECT_EQ(keys.Item(3).cmd, 101);

    expectError(errInvalidProperty, [&] { keys.Add(0, 0, 1); });
    expectError(errInvalidProperty, [&] { keys.Add(0, 256, 1); });
    expectError(errInvalidProperty, [&] { keys.Add(64, 65, 1); });
    expectError(errInvalidProperty, [&] { keys.Add(0, 65, -1); });
    EXPECT_EQ(keys.Count(), 4);
    keys.DeleteAll();
    EXPECT_FALSE(cbr.pressKey(27, 0));
    EXPECT_EQ(executed.size(), 1u);
}

// --- pop-up and context menus --------------------------------------------------------

TEST_F(CommandBarMenuTest, ShowPopupGoesThroughThePresenterAndExecutesTheChoice) {
    auto tg = loadTestGuide();
    auto tools = tg->FindControl(0, 401)->CommandBar();
    tools->FindControl(0, 501, false, true)->setChecked(true);
    scripted->answerMenu(501);
    auto chosen = tools->ShowPopup(0, 10, 20);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen, cbr.FindControl(0, 501, false, true));
    ASSERT_EQ(executed.size(), 1u);
    EXPECT_EQ(executed[0], chosen);

    ASSERT_EQ(scripted->menusShown.size(), 1u);
    const auto& shown = scripted->menusShown[0];
    EXPECT_EQ(shown.x, 10);
    EXPECT_EQ(shown.y, 20);
    ASSERT_EQ(idsOf(shown.menu), (std::vector<std::int32_t>{500, 402}));
    EXPECT_EQ(idsOf(shown.menu[0].children), (std::vector<std::int32_t>{501}));
    EXPECT_TRUE(shown.menu[0].children[0].checked);
    EXPECT_TRUE(shown.menu[1].beginGroup);

    // Hidden entries are left out; the new first entry carries no separator.
    tools->FindControl(0, 500)->setVisible(false);
    tools->FindControl(0, 402)->setEnabled(false);
    auto entries = tools->menuEntries();
    ASSERT_EQ(idsOf(entries), (std::vector<std::int32_t>{402}));
    EXPECT_FALSE(entries[0].beginGroup);
    EXPECT_FALSE(entries[0].enabled);
    Rect r = tools->WindowRect();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
}

TEST_F(CommandBarMenuTest, DismissedUnknownOrReturnCommandChoicesExecuteNothing) {
    auto tools = loadTestGuide()->FindControl(0, 401)->CommandBar();
    EXPECT_EQ(tools->ShowPopup(0, 0, 0), nullptr);  // no answer: dismissed
    scripted->answerMenu(777);
    EXPECT_EQ(tools->ShowPopup(0, 0, 0), nullptr);
    scripted->answerMenu(402);
    auto chosen = tools->ShowPopup(cbpfReturnCommand, 0, 0);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Id(), 402);
    EXPECT_TRUE(executed.empty());
    EXPECT_EQ(scripted->menusShown.back().flags, cbpfReturnCommand);
}

TEST_F(CommandBarMenuTest, InitCommandsPopupLetsAHandlerUpdateMenusBeforeTheyShow) {
    auto tools = loadTestGuide()->FindControl(0, 401)->CommandBar();
    std::vector<std::string> raised;
    cbr.InitCommandsPopup.connect([&](std::shared_ptr<CommandBar> menu) {
        raised.push_back(menu->Name());
        if (menu->Name() == "Standards") menu->Controls().Add(cbcButton, 511, "IEC", 1);
    });
    scripted->answerMenu(511);
    auto chosen = tools->ShowPopup();
    EXPECT_EQ(raised, (std::vector<std::string>{"Tools", "Standards"}));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Id(), 511);
    EXPECT_EQ(idsOf(scripted->menusShown[0].menu[0].children), (std::vector<std::int32_t>{511, 501}));
}

TEST_F(CommandBarMenuTest, AContextMenuHandlerReplacesTheEntries) {
    auto tg = loadTestGuide();
    cbr.EnableCustomization(false);
    std::shared_ptr<CommandBar> given;
    cbr.ContextMenu.connect([&](std::shared_ptr<CommandBar> bar, std::shared_ptr<CommandBar>& menu) {
        EXPECT_EQ(bar, tg);
        menu->Controls().DeleteAll();
        cbr.FindControl(0, 402, false, true)->Copy(menu);
        given = menu;
    });
    scripted->answerMenu(402);
    auto chosen = cbr.ShowContextMenu(tg, 5, 6);
    ASSERT_TRUE(chosen);
    ASSERT_EQ(scripted->menusShown.size(), 1u);
    EXPECT_EQ(idsOf(scripted->menusShown[0].menu), (std::vector<std::int32_t>{402}));
    EXPECT_FALSE(scripted->menusShown[0].menu[0].beginGroup);
    ASSERT_EQ(executed.size(), 1u);
    EXPECT_EQ(executed[0]->Id(), 402);
    EXPECT_EQ(executed[0]->Parent(), given);
    EXPECT_NE(executed[0], cbr.FindControl(0, 402, false, true));
}

TEST_F(CommandBarMenuTest, ContextMenuCanBeWithdrawnOrListTheBarsToToggle) {
    auto tg = loadTestGuide();
    int raised = 0;
    auto conn = cbr.ContextMenu.connect([&](std::shared_ptr<CommandBar>, std::shared_ptr<CommandBar>& menu) {
        ++raised;
        menu = nullptr;
    });
    EXPECT_EQ(cbr.ShowContextMenu(tg, 0, 0), nullptr);
    EXPECT_TRUE(scripted->menusShown.empty());
    tg->setOption(CommandBar::optionContextMenuPresent, false);
    cbr.ShowContextMenu(tg, 0, 0);
    EXPECT_EQ(raised, 1);
    conn.disconnect();
    tg->setContextMenuPresent(true);

    // Customisation on: the menu lists the bars, and a choice toggles one.
    scripted->answerMenu(CommandBars::idToggleBarBase + 2);
    cbr.ShowContextMenu(tg, 0, 0);
    ASSERT_EQ(scripted->menusShown.size(), 1u);
    ASSERT_EQ(scripted->menusShown[0].menu.size(), 1u);
    EXPECT_EQ(scripted->menusShown[0].menu[0].caption, "Test Guide");
    EXPECT_TRUE(scripted->menusShown[0].menu[0].checked);
    EXPECT_FALSE(tg->Visible());
    EXPECT_TRUE(executed.empty());
    expectError(errObjectRequired, [&] { cbr.ShowContextMenu(nullptr, 0, 0); });
}

// --- layout ------------------------------------------------------------------------

TEST_F(CommandBarLayoutTest, ABarsRectangleFollowsIconSizeCaptionsAndSeparators) {
    auto bar = plainBar();
    bar->SetIconSize(24, 24);
    bar->Controls().Add(cbcButton, 1, "Abort");
    auto next = bar->Controls().Add(cbcButton, 2, "Next");
    next->setBeginGroup(true);
    bar->Controls().Add(cbcSplitButtonPopup, 3, "Start");
    cbr.setClientSize(800, 200);
    cbr.RecalcLayout();
    // Buttons are 24 + 2*3; a separator 6, the split arrow 12, borders 2.
    EXPECT_EQ(bar->WindowRect(), (Rect{0, 0, 2 + 30 + 6 + 30 + 42 + 2, 34}));
    EXPECT_EQ(next->bounds(), (Rect{38, 2, 68, 32}));

    // Caption to the right: "Next" is 4 * 6 pixels plus 3 either side.
    next->setStyle(cbsIconAndCaption);
    cbr.RecalcLayout();
    EXPECT_EQ(next->bounds().width(), 30 + 3 + 30);
    EXPECT_EQ(bar->WindowRect().height(), 34);

    // All-captions mode puts every caption below its icon.
    bar->setShowTextBelowIcons(true);
    cbr.RecalcLayout();
    EXPECT_EQ(bar->WindowRect().height(), 2 + 24 + 3 + 12 + 2 * 3 + 2);
    EXPECT_EQ(bar->FindControl(0, 1)->bounds().width(), 5 * 6 + 6 + 6);
    std::int32_t l, t, r, b;
    bar->GetWindowRect(l, t, r, b);
    EXPECT_EQ(b - t, 49);
}

TEST_F(CommandBarLayoutTest, AStretchedCustomControlTakesTheFreeWidthAndPlacesItsWindow) {
    auto bar = plainBar();
    bar->SetIconSize(24, 24);
    bar->EnableDocking(cbdBottom | cbdNoWrap | cbdStretched);
    EXPECT_EQ(bar->Position(), cbpBottom);
    bar->Controls().Add(cbcButton, 1, "A");
    bar->Controls().Add(cbcButton, 2, "B");
    auto status = bar->Controls().Add(cbcCustom, 600, "Statusbar");
    status->setFlags(cbfStretched);
    auto pbo = std::make_shared<Label>("pboStatus");
    pbo->moveTwips(0, 0, 1500, 300);
    status->setHostedWindow(pbo);
    EXPECT_EQ(pbo->Parent(), bar.get());
    EXPECT_EQ(status->Handle(), pbo->hWnd());

    cbr.setClientSize(500, 60);  // lays out by itself
    EXPECT_EQ(bar->WindowRect(), (Rect{0, 60 - 34, 500, 60}));
    EXPECT_EQ(status->bounds(), (Rect{62, 2, 498, 32}));
    EXPECT_EQ(pbo->leftTwips(), 62 * 15);
    EXPECT_EQ(pbo->widthTwips(), 436 * 15);
    EXPECT_EQ(pbo->heightTwips(), 300);
    EXPECT_EQ(pbo->topTwips(), 30 + (450 - 300) / 2);  // centred in its row

    // An owner trimming the window to 45 twips from either edge keeps its
    // trim across layouts; a wider client only widens the window.
    pbo->Move(pbo->Left(), 45, pbo->Width(), 34 * 15 - 90);
    cbr.setClientWidth(600);
    EXPECT_EQ(pbo->topTwips(), 45);
    EXPECT_EQ(pbo->heightTwips(), 34 * 15 - 90);
    EXPECT_EQ(pbo->widthTwips(), 536 * 15);

    status->setVisible(false);
    cbr.RecalcLayout();
    EXPECT_FALSE(pbo->Visible());
    EXPECT_TRUE(status->bounds().isEmpty());
}

TEST_F(CommandBarLayoutTest, ResizeIsRaisedOnceWhenARectangleChanges) {
    int resized = 0;
    cbr.Resize.connect([&] { ++resized; });
    auto bar = plainBar();
    bar->EnableDocking(cbdTop | cbdStretched);
    bar->Controls().Add(cbcButton, 1, "A");
    EXPECT_TRUE(cbr.layoutPending());
    cbr.RecalcLayout();
    EXPECT_EQ(resized, 1);
    EXPECT_FALSE(cbr.layoutPending());
    cbr.RecalcLayout();
    EXPECT_EQ(resized, 1);
    cbr.setClientWidth(300);  // the stretched bar follows the width
    EXPECT_EQ(resized, 2);
    EXPECT_EQ(bar->WindowRect().width(), 300);
    bar->Controls().Add(cbcButton, 2, "B");  // the bar keeps its rectangle
    cbr.RecalcLayout();
    EXPECT_EQ(resized, 2);
    bar->SetIconSize(32, 32);
    cbr.RecalcLayout();
    EXPECT_EQ(resized, 3);

    // A handler resizing the client lays out again once more, not forever.
    cbr.Resize.connect([&] { cbr.setClientWidth(cbr.ClientWidth() + 1); });
    bar->SetIconSize(48, 48);
    cbr.RecalcLayout();
    EXPECT_GE(resized, 4);
    EXPECT_LE(resized, 7);
}

TEST_F(CommandBarLayoutTest, ABarThatMustNotWrapHidesWhatDoesNotFit) {
    auto bar = plainBar();
    for (std::int32_t id : {1, 2, 3}) bar->Controls().Add(cbcButton, id, "");
    cbr.setClientSize(70, 100);  // 2 + 3 * 22 + 2: just fits
    EXPECT_EQ(bar->WindowRect(), (Rect{0, 0, 70, 26}));
    cbr.setClientSize(60, 100);
    EXPECT_EQ(bar->WindowRect(), (Rect{0, 0, 60, 2 * 22 + 4}));  // wrapped: two rows
    EXPECT_EQ(bar->FindControl(0, 3)->bounds(), (Rect{2, 24, 24, 46}));

    bar->EnableDocking(cbdTop | cbdNoWrap);
    cbr.RecalcLayout();
    EXPECT_EQ(bar->WindowRect().height(), 26);
    EXPECT_FALSE(bar->FindControl(0, 2)->bounds().isEmpty());
    EXPECT_TRUE(bar->FindControl(0, 3)->bounds().isEmpty());
}

TEST_F(CommandBarLayoutTest, TheMenuBarTakesRoomOnlyWhileShownWithEntries) {
    auto bar = plainBar();
    bar->Controls().Add(cbcButton, 1, "A");
    cbr.setClientSize(400, 100);
    EXPECT_EQ(bar->WindowRect().top, 0);
    cbr.ActiveMenuBar()->Controls().Add(cbcPopup, 10, "&File");
    cbr.RecalcLayout();
    EXPECT_EQ(cbr.ActiveMenuBar()->WindowRect(), (Rect{0, 0, 400, 12 + 6 + 4}));
    EXPECT_EQ(cbr.ActiveMenuBar()->FindControl(0, 10)->bounds().width(), 4 * 6 + 6 + 6);  // "&" is not shown
    EXPECT_EQ(bar->WindowRect().top, 22);
    cbr.ActiveMenuBar()->setVisible(false);
    cbr.RecalcLayout();
    EXPECT_TRUE(cbr.ActiveMenuBar()->WindowRect().isEmpty());
    EXPECT_EQ(bar->WindowRect().top, 0);
}

TEST_F(CommandBarLayoutTest, SideAndFloatingBarsFitBetweenTheTopAndBottomOnes) {
    auto top = plainBar(cbpTop);
    top->Controls().Add(cbcButton, 1, "");
    auto left = plainBar(cbpLeft);
    left->Controls().Add(cbcButton, 2, "");
    auto second = left->Controls().Add(cbcButton, 3, "");
    auto right = plainBar(cbpRight);
    right->Controls().Add(cbcButton, 4, "");
    auto floating = plainBar(cbpFloating);
    floating->Controls().Add(cbcButton, 5, "");
    floating->setFloatingPosition(100, 120);
    cbr.setClientSize(300, 200);
    EXPECT_EQ(top->WindowRect(), (Rect{0, 0, 26, 26}));
    EXPECT_EQ(left->WindowRect(), (Rect{0, 26, 26, 74}));
    EXPECT_EQ(second->bounds(), (Rect{2, 24, 24, 46}));  // stacked downwards
    EXPECT_EQ(right->WindowRect(), (Rect{274, 26, 300, 52}));
    EXPECT_EQ(floating->WindowRect(), (Rect{100, 120, 126, 146}));

    left->EnableDocking(cbdLeft | cbdRight);
    expectError(errInvalidProperty, [&] { left->setPosition(cbpTop); });
    left->setPosition(cbpRight);
    cbr.RecalcLayout();
    EXPECT_EQ(left->WindowRect(), (Rect{248, 26, 274, 74}));
}

TEST_F(CommandBarLayoutTest, AClientNeverSizedLetsBarsTakeTheirNaturalSize) {
    auto bar = cbr.Add("Procedure", cbpTop);
    bar->EnableDocking(cbdTop | cbdNoWrap);
    for (std::int32_t id : {101, 102, 105, 104, 103}) bar->Controls().Add(cbcButton, id, "x");
    cbr.RecalcLayout();
    EXPECT_EQ(bar->WindowRect(), (Rect{0, 0, 2 + 7 + 5 * 22 + 2, 26}));  // with its gripper
    bar->setShowExpandButton(true);
    cbr.RecalcLayout();
    EXPECT_EQ(bar->WindowRect().width(), 121 + 11);
}

// --- definitions ---------------------------------------------------------------------

TEST_F(CommandBarDefinitionTest, TheLoadedTestGuideBarIsBarTwo) {
    auto tg = loadTestGuide();
    EXPECT_EQ(cbr.Count(), 2);
    EXPECT_EQ(cbr.Item(1)->Type(), cbtMenuBar);
    EXPECT_EQ(tg->Name(), "Test Guide");
    EXPECT_EQ(tg->BarID(), 100);
    EXPECT_EQ(idsOf(*tg), (std::vector<std::int32_t>{101, 102, 103, 201, 202, 301, 302, 401}));
    EXPECT_TRUE(tg->FindControl(0, 201)->BeginGroup());
    EXPECT_FALSE(tg->FindControl(0, 202)->BeginGroup());
    auto tools = tg->FindControl(0, 401);
    EXPECT_EQ(tools->Type(), cbcPopup);
    EXPECT_EQ(tools->CommandBar()->Name(), "Tools");
    auto limits = tg->FindControl(0, 501, false, true);
    EXPECT_EQ(limits->Category(), "Test Guide");
    EXPECT_EQ(limits->Parent()->Name(), "Standards");
    EXPECT_EQ(tg->FindControl(0, 402, false, true)->ToolTipText(), "221::Customize toolbar");
    EXPECT_EQ(tg->FindControl(0, 302)->ToolTipText(), "216::Skip this test and erase any existing test results");
    cbr.EnableCustomization(false);
    EXPECT_FALSE(cbr.CustomizationEnabled());
}

TEST_F(CommandBarDefinitionTest, AMalformedDefinitionNamesItsLineAndChangesNothing) {
    auto tg = loadTestGuide();
    struct Case {
        const char* text;
        std::int32_t line;
    };
    const Case cases[] = {
        {"", 1},
        {"bar 1 \"A\" {\n}\n", 1},
        {"commandbars 2\n", 1},
        {"commandbars 1\nbar 1 \"A\" {\n  buton 5 \"x\"\n}\n", 3},
        {"commandbars 1\nbar 1 \"A\" {\n  button 5 \"x\"\n", 3},
        {"commandbars 1\n}\n", 2},
        {"commandbars 1\nbar 1 \"A\" {\n  button 5 \"x\" {\n  }\n}\n", 3},
        {"commandbars 1\nbar 1 \"A\" {\n\n  button five \"x\"\n}\n", 4},
        {"commandbars 1\nbar 1 \"A\" {\n  button 5 \"x\n}\n", 3},
        {"commandbars 1\nbar 1 \"A\" {\n}\nbar 1 \"B\" {\n}\n", 4},
        {"commandbars 1\nbutton 5 \"x\"\n", 2},
        {"commandbars 1\nbar 1 \"A\" colour=red {\n}\n", 2},
        {"commandbars 1\nbar 1 \"A\" position=left docking=98 {\n}\n", 2},
        {"commandbars 1\nbar 1 \"A\" {\n  button 5 \"x\" style=fancy\n}\n", 3},
    };
    for (const auto& c : cases) {
        try {
            cbr.LoadDesignerBars(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const CommandBarDefinitionError& e) {
            EXPECT_EQ(e.line(), c.line) << e.what() << "\nin: " << c.text;
            EXPECT_EQ(e.code(), errGeneric);
            EXPECT_NE(std::string(e.what()).find("line " + std::to_string(c.line)), std::string::npos);
        }
    }
    EXPECT_FALSE(tg->isDeleted());
    EXPECT_EQ(cbr.Item(2), tg);
    EXPECT_EQ(tg->Controls().Count(), 8);
}

TEST_F(CommandBarDefinitionTest, WrittenBarsReadBackTheSame) {
    auto tg = loadTestGuide();
    tg->EnableDocking(98);
    tg->SetIconSize(32, 32);
    tg->ModifyStyle(cbwGripper, 0);
    tg->FindControl(0, 103)->setStyle(cbsIconAndCaption);
    auto status = tg->Controls().Add(cbcCustom, 600, "Statusbar \"live\"\\");
    status->setFlags(cbfStretched);
    tg->FindControl(0, 302)->setEnabled(false);
    tg->FindControl(0, 501, false, true)->setChecked(true);
    tg->FindControl(0, 501, false, true)->setParameter("IEC");
    cbr.ActiveMenuBar()->Controls().Add(cbcPopup, 1, "&File");
    const std::string text = cbr.designerText();

    CommandBars other;
    other.LoadDesignerBars(text);
    EXPECT_EQ(other.designerText(), text);
    auto copy = other.Item(2);
    EXPECT_EQ(copy->DockingFlags(), 98);
    EXPECT_EQ(copy->Position(), cbpBottom);
    EXPECT_EQ(copy->WindowStyle() & cbwGripper, 0);
    EXPECT_EQ(copy->FindControl(0, 600)->Caption(), "Statusbar \"live\"\\");
    EXPECT_EQ(copy->FindControl(0, 600)->Flags(), cbfStretched);
    EXPECT_FALSE(copy->FindControl(0, 302)->Enabled());
    EXPECT_EQ(copy->FindControl(0, 501, false, true)->Parameter(), "IEC");
    EXPECT_EQ(other.ActiveMenuBar()->FindControl(0, 1)->Caption(), "&File");
}

// --- look, options and icons ------------------------------------------------------

TEST_F(CommandBarsTest, ColoursThemeAndOptionsReadBackWhatWasSet) {
    EXPECT_EQ(cbr.SpecialColor(cbcolToolbarFace), 0x8000000Fu);
    EXPECT_EQ(cbr.SpecialColor(cbcolBarFace), 0x8000000Fu);
    EXPECT_EQ(cbr.SpecialColor(cbcolMenuFace), 0x80000004u);
    EXPECT_EQ(cbr.SpecialColor(cbcolHighlight), 0x8000000Du);
    EXPECT_EQ(cbr.SpecialColor(cbcolDisabledText), 0x80000011u);
    cbr.setSpecialColor(30, 0xF9DBC4);
    cbr.setSpecialColor(31, cbr.SpecialColor(31));
    EXPECT_EQ(cbr.SpecialColor(30), 0xF9DBC4u);
    EXPECT_EQ(cbr.SpecialColor(31), 0x8000000Du);
    expectError(errSubscript, [&] { cbr.SpecialColor(64); });
    expectError(errSubscript, [&] { cbr.setSpecialColor(-1, 0); });

    EXPECT_EQ(cbr.VisualTheme(), cbThemeOffice2003);
    cbr.setVisualTheme(cbThemeWindowsXP);
    EXPECT_EQ(cbr.VisualTheme(), 3);
    expectError(errInvalidProperty, [&] { cbr.setVisualTheme(9); });
    EXPECT_EQ(cbr.VisualTheme(), 3);

    cbr.Options().setFadedIcons(true);
    cbr.Options().setOption(13, true);
    EXPECT_TRUE(cbr.Options().FadedIcons());
    EXPECT_TRUE(cbr.Options().Option(13));
    EXPECT_FALSE(cbr.Options().Option(11));

    auto bar = cbr.Add("B");
    for (std::int32_t n : {15, 23, 24}) bar->setOption(n, false);
    EXPECT_FALSE(bar->ShowExpandButton());
    EXPECT_FALSE(bar->Customizable());
    EXPECT_FALSE(bar->ContextMenuPresent());
    bar->setOption(40, true);
    EXPECT_TRUE(bar->Option(40));
    expectError(errInvalidProperty, [&] { bar->SetIconSize(0, 16); });
    expectError(errInvalidProperty, [&] { bar->setPosition(7); });
    expectError(errNotSupported, [&] { bar->Controls().Add(cbcButton, 1, "b")->setHostedWindow(std::make_shared<Label>()); });
}

TEST_F(CommandBarsTest, TheIconListFindsTheBestFittingSize) {
    auto icons = std::make_shared<ImageManager>();
    auto square = [](std::int32_t n) { return Icon{n, n, std::vector<std::uint32_t>(static_cast<std::size_t>(n * n), 0xFF00FF00u)}; };
    icons->SetIcon(101, square(16));
    icons->SetIcon(101, square(32));
    cbr.setIcons(icons);
    EXPECT_EQ(cbr.Icons(), icons);
    EXPECT_EQ(cbr.Icons()->FindIcon(101, 16)->width, 16);
    EXPECT_EQ(cbr.Icons()->FindIcon(101, 24)->width, 32);
    EXPECT_EQ(cbr.Icons()->FindIcon(101, 48)->width, 32);
    EXPECT_EQ(cbr.Icons()->FindIcon(102, 16), nullptr);
    EXPECT_EQ(icons->Sizes(101), (std::vector<std::int32_t>{16, 32}));
    expectError(errInvalidProperty, [&] { icons->SetIcon(102, Icon{16, 16, std::vector<std::uint32_t>(15)}); });
    expectError(errInvalidProperty, [&] { icons->SetIcon(102, Icon{0, 16, {}}); });
    EXPECT_FALSE(icons->HasIcon(102));
}

}  // namespace
