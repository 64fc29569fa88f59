#include <gtest/gtest.h>

#include "toolbar/ToolbarInternals.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "progress/XStatusBar.h"
#include "support/ControlTestServices.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

class ToolbarTest : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    void SetUp() override {
        tb = std::make_shared<XTgToolbar>();
        tb->Move(0, 0, 9000, 600);
        tb->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool acc) {
            clicks.push_back({b->ID(), acc});
        });
        tb->StandardSelectionChange.connect([this] { ++stdChanges; });
    }
    void TearDown() override {
        tb.reset();
    }
    bool enabled(std::int32_t id) { return tb->Button(id)->Enabled(); }
    std::string storedLayout() {
        auto v = store->read(HKEY_LOCAL_MACHINE, XTgToolbar::SettingsKey(), "Toolbar");
        return v ? std::get<std::string>(*v) : std::string();
    }
    void storeValue(const char* name, SettingsValue v) {
        store->write(HKEY_LOCAL_MACHINE, XTgToolbar::SettingsKey(), name, std::move(v));
    }

    std::shared_ptr<MemorySettingsStore> store = services.store;
    std::shared_ptr<ScriptedPresenter> presenterScript = services.script;
    std::shared_ptr<XTgToolbar> tb;
    std::vector<std::pair<std::int32_t, bool>> clicks;
    int stdChanges = 0;
};

std::shared_ptr<SimpleTestSetup> setupWith(int standards) {
    auto list = std::make_shared<SimpleStandardsList>();
    for (int i = 1; i <= standards; ++i) list->add("G" + std::to_string(i), "Standard " + std::to_string(i));
    return std::make_shared<SimpleTestSetup>(nullptr, list);
}

}  // namespace

TEST_F(ToolbarTest, StateRightAfterConstruction) {
    EXPECT_FALSE(enabled(ID_TGTBAR_STOP));
    EXPECT_FALSE(enabled(ID_TGTBAR_START));
    EXPECT_TRUE(enabled(ID_TGTBAR_NA));
    EXPECT_TRUE(enabled(ID_TGTBAR_SKIP));
    EXPECT_EQ(tb->Button(ID_TGTBAR_STEP), nullptr);
    EXPECT_EQ(tb->Button(ID_TGTBAR_CUSTOMIZE)->ID(), ID_TGTBAR_CUSTOMIZE);  // found through the menus
    EXPECT_EQ(tb->ButtonSize(), 0);  // nothing stored yet
    EXPECT_EQ(tb->Bar()->Controls().Item(3)->Caption(), "Next");
    EXPECT_EQ(tb->Bar()->Controls().Item(1)->ToolTipText(), "Abort test");  // translated
    EXPECT_EQ(tb->Bar()->Controls().Count(), 9);  // eight commands and the status control
}

TEST_F(ToolbarTest, RunStateTable) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateRunning);
    EXPECT_TRUE(enabled(ID_TGTBAR_STOP));
    EXPECT_TRUE(enabled(ID_TGTBAR_START));
    EXPECT_TRUE(tb->Button(ID_TGTBAR_START)->Checked());
    for (int id : {ID_TGTBAR_PREV, ID_TGTBAR_NEXT, ID_TGTBAR_NA, ID_TGTBAR_SKIP, ID_TGTBAR_CUSTOMIZE})
        EXPECT_FALSE(enabled(id)) << id;

    tb->SetButtonState(etgStateCompleted);
    EXPECT_TRUE(enabled(ID_TGTBAR_NEXT));
    EXPECT_FALSE(enabled(ID_TGTBAR_STOP));
    EXPECT_FALSE(tb->Button(ID_TGTBAR_START)->Checked());
    EXPECT_TRUE(enabled(ID_TGTBAR_NA));

    // Abort is the host's: the state table leaves it alone.
    tb->Button(ID_TGTBAR_ABORT)->setEnabled(false);
    tb->SetButtonState(etgStateIdle);
    EXPECT_FALSE(enabled(ID_TGTBAR_ABORT));
}

TEST_F(ToolbarTest, StartChangesFormKeepingItsPlaceAndStaleHandles) {
    auto before = tb->Button(ID_TGTBAR_START);
    std::int32_t index = ToolbarInternals::Index(*before);
    tb->DefineButtons(etgActionAll, etgRunAllButtons);
    auto split = tb->Button(ID_TGTBAR_START);
    EXPECT_EQ(ToolbarInternals::control(*split)->Type(), cbcSplitButtonPopup);
    EXPECT_EQ(ToolbarInternals::Index(*split), index);
    EXPECT_FALSE(split->BeginGroup());
    ASSERT_NE(tb->Button(ID_TGTBAR_STEP), nullptr);
    EXPECT_TRUE(before->IsDeleted());
    EXPECT_FALSE(before->Enabled());  // a stale handle answers quietly
    before->setEnabled(true);

    tb->DefineButtons(etgActionAll, etgRunAllButtons);  // same form: untouched
    EXPECT_FALSE(split->IsDeleted());

    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Type(), cbcButton);
    EXPECT_EQ(ToolbarInternals::Index(*tb->Button(ID_TGTBAR_START)), index);
    EXPECT_EQ(tb->Button(ID_TGTBAR_STEP), nullptr);
    EXPECT_TRUE(split->IsDeleted());
}

TEST_F(ToolbarTest, CommandsFromClicksAndAccelerators) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateIdle);
    auto& bars = tb->CommandBarsControl();
    EXPECT_TRUE(bars.pressKey(120, 0));  // F9
    tb->Button(ID_TGTBAR_START)->Execute();
    bars.pressKey(78, FCONTROL);  // Ctrl+N: Next is disabled while idle
    tb->Button(ID_TGTBAR_NEXT)->Execute();
    bars.pressKey(27, 0);  // Esc
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t(ID_TGTBAR_START), true));
    EXPECT_EQ(clicks[1], std::make_pair(std::int32_t(ID_TGTBAR_START), false));
    EXPECT_EQ(clicks[2], std::make_pair(std::int32_t(ID_TGTBAR_ABORT), true));

    tb->AddToolsMenu(901, "Host command");
    tb->AddAccelerator(901, 72, etgKeyMaskCtrl | etgKeyMaskShift);
    bars.pressKey(72, FCONTROL | FSHIFT);
    EXPECT_EQ(clicks.back(), std::make_pair(std::int32_t(901), true));
    tb->AddAccelerator(901, 999);  // an impossible key is ignored, not thrown
}

TEST_F(ToolbarTest, CalculatedLimitsToggleAndStandards) {
    auto calc = ToolbarInternals::control(*tb->Button(ID_TGTBAR_CALCULATED));
    calc->Execute();
    EXPECT_FALSE(tb->StandardSelection().CalculateLimits);
    calc->Execute();
    EXPECT_TRUE(tb->StandardSelection().CalculateLimits);
    EXPECT_EQ(stdChanges, 2);
    EXPECT_TRUE(clicks.empty());

    stdChanges = 0;
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->Initialize(nullptr, setupWith(3));
    auto menu = tb->GetPopupBar(ID_TGTBAR_STANDARDS);
    ASSERT_EQ(menu->Controls().Count(), 4);
    EXPECT_EQ(menu->Controls().Item(1)->Id(), 511);
    EXPECT_EQ(menu->Controls().Item(3)->Id(), 513);
    EXPECT_TRUE(menu->Controls().Item(4)->BeginGroup());
    EXPECT_TRUE(menu->Controls().Item(1)->Checked());
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 1");
    EXPECT_EQ(tb->StandardSelection().GroupName, "G1");
    EXPECT_EQ(stdChanges, 1);
    EXPECT_TRUE(tb->Button(ID_TGTBAR_STANDARDS)->Visible());
    EXPECT_EQ(tb->StatusControl().StandardTexts()[0], "Standard 1");

    menu->Controls().Item(2)->Execute();
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 2");
    EXPECT_FALSE(menu->Controls().Item(1)->Checked());

    // By name: no match unchecks every standard, keeps 501, raises nothing.
    std::string alpha = "X", complete = "Nothing";
    tb->StatusBar().SetStandardName(alpha, complete);
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(menu->Controls().Item(i)->Checked());
    EXPECT_TRUE(menu->Controls().Item(4)->Checked());
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Nothing");
    EXPECT_EQ(stdChanges, 2);

    tb->Initialize(nullptr, nullptr);
    EXPECT_FALSE(tb->Button(ID_TGTBAR_STANDARDS)->Visible());
    EXPECT_EQ(menu->Controls().Count(), 4);  // the last entries stay
}

TEST_F(ToolbarTest, NoStandardEverTakesTheStatusIdentifier) {
    tb->Initialize(nullptr, setupWith(120));
    auto menu = tb->GetPopupBar(ID_TGTBAR_STANDARDS);
    EXPECT_EQ(menu->Controls().Count(), 90);
    EXPECT_EQ(menu->Controls().Item(89)->Id(), 599);
    EXPECT_EQ(tb->Bar()->FindControl(0, ID_TGTBAR_STATUS, false, true)->Type(), cbcCustom);
}

TEST_F(ToolbarTest, ToolsMenuEntries) {
    auto first = tb->AddToolsMenu(901, "One");
    auto second = tb->AddToolsMenu(902, "Two");
    auto tools = tb->GetPopupBar(ID_TGTBAR_TOOLS);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(tools->Controls().Item(2)->Id(), 901);
    EXPECT_EQ(tools->Controls().Item(3)->Id(), 902);
    EXPECT_EQ(tools->Controls().Item(4)->Id(), ID_TGTBAR_CUSTOMIZE);
    EXPECT_TRUE(tools->Controls().Item(4)->BeginGroup());

    auto pop = tb->AddPopUpToolsMenu(910, "More", 12345);  // unknown idBefore: still added
    ASSERT_NE(pop, nullptr);
    auto child = tb->AddPopUpChildMenu(910, 911, "Child");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(tb->Button(911)->ID(), 911);
    EXPECT_EQ(tb->AddPopUpChildMenu(ID_TGTBAR_ABORT, 912, "x"), nullptr);  // not a pop-up
}

TEST_F(ToolbarTest, StandardsPopupNeedsTheStandardsBit) {
    tb->Initialize(nullptr, setupWith(2));
    tb->ShowStandardsPopup(0, 10, 10);
    EXPECT_TRUE(presenterScript->menusShown.empty());
    tb->DefineButtons(etgActionAll, etgRunNone);
    presenterScript->answerMenu(512);
    tb->ShowStandardsPopup(0, 10, 10);
    ASSERT_EQ(presenterScript->menusShown.size(), 1u);
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 2");
}

TEST_F(ToolbarTest, ContextMenuOffersOnlyCustomize) {
    bool opened = false;
    XTgToolbar::setCustomizeDialogOpener([&](XTgToolbar&) { opened = true; });
    presenterScript->answerMenu(ID_TGTBAR_CUSTOMIZE);
    tb->CommandBarsControl().ShowContextMenu(tb->Bar(), 5, 5);
    ASSERT_EQ(presenterScript->menusShown.size(), 1u);
    ASSERT_EQ(presenterScript->menusShown[0].menu.size(), 1u);
    EXPECT_EQ(presenterScript->menusShown[0].menu[0].id, ID_TGTBAR_CUSTOMIZE);
    EXPECT_TRUE(opened);
    XTgToolbar::setCustomizeDialogOpener(nullptr);
}

TEST_F(ToolbarTest, LayoutStringRoundTrip) {
    tb->SaveToolbarLayout();
    // The design-time bar has a separator before Tools; the default layout none.
    EXPECT_EQ(storedLayout(), "101:0;102:0;103:0;201:1;202:0;301:1;302:0;401:1;600:0;");
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    tb->SaveToolbarLayout();
    EXPECT_EQ(storedLayout(), XTgToolbar::kDefaultLayout);

    tb->ApplyButtonLayout(XTgToolbar::kRightToLeftLayout);
    EXPECT_EQ(tb->ButtonLayout(), "600:0;101:1;401:0;301:0;302:0;201:1;202:0;102:0;103:0;");

    // Entries that cannot apply are skipped, yet still count as positions.
    tb->ApplyButtonLayout("0:1;x:1;103;999:1;102:1;;101:0;");
    EXPECT_EQ(tb->ButtonLayout(), "600:0;401:0;301:0;102:1;302:0;201:1;101:0;202:0;103:0;");
    // A control moving towards the end lands on its numbered position.
    tb->ApplyButtonLayout("0:0;101:0;102:0;");
    EXPECT_EQ(tb->Bar()->Controls().Item(2)->Id(), ID_TGTBAR_ABORT);
    EXPECT_EQ(tb->Bar()->Controls().Item(3)->Id(), ID_TGTBAR_PREV);

    // A layout without Tools keeps it behind the named controls.
    tb->ApplyButtonLayout("101:0;102:0;103:0;201:1;202:0;301:1;302:0;600:0;");
    EXPECT_EQ(tb->Bar()->Controls().Item(9)->Id(), ID_TGTBAR_TOOLS);
    // A position past the end puts the control at the end.
    tb->ApplyButtonLayout(";;;;;;;;;;;;;;;;101:0;");
    EXPECT_EQ(tb->Bar()->Controls().Item(9)->Id(), ID_TGTBAR_ABORT);
}

TEST_F(ToolbarTest, LoadNeedsTheLayoutValue) {
    storeValue("ButtonSize", 2);
    storeValue("TextLabels", 2);
    storeValue("FadedIcons", 1);
    tb->LoadToolbarLayout();
    EXPECT_EQ(tb->ButtonSize(), 0);
    EXPECT_FALSE(tb->FadedIcons());
    EXPECT_EQ(tb->TextLabels(), etgLabelsSelective);  // the design-time look

    store = std::make_shared<MemorySettingsStore>();
    setDefaultSettingsStore(store);
    tb->setFadedIcons(true);
    tb->setButtonSize(2);
    storeValue("Toolbar", std::string(XTgToolbar::kRightToLeftLayout));
    storeValue("VisualStyle", std::string("not a number"));
    tb->LoadToolbarLayout();
    EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kRightToLeftLayout);
    EXPECT_FALSE(tb->FadedIcons());
    EXPECT_EQ(tb->ButtonSize(), 0);
    EXPECT_EQ(tb->Bar()->IconWidth(), 24);
    EXPECT_EQ(tb->TextLabels(), etgLabelsNone);
    EXPECT_EQ(tb->VisualStyle(), etgOffice2003);  // an unusable theme keeps the current one

    storeValue("FadedIcons", 2);
    tb->LoadToolbarLayout();
    EXPECT_FALSE(tb->FadedIcons());
}

TEST_F(ToolbarTest, StyleSettingsSaveAndReadBack) {
    for (int v : {1, 2, 0}) {
        tb->setTextLabels(v);
        EXPECT_EQ(tb->TextLabels(), v);
    }
    tb->setButtonSize(etgButtonSizeLarge);
    EXPECT_EQ(tb->Bar()->IconWidth(), 48);
    tb->setButtonSize(7);  // kept, icon size unchanged
    EXPECT_EQ(tb->ButtonSize(), 7);
    EXPECT_EQ(tb->Bar()->IconWidth(), 48);
    tb->setButtonSize(etgButtonSizeMedium);
    tb->setVisualStyle(etgWindowsXP);
    tb->setFadedIcons(true);
    tb->setTextLabels(etgLabelsAll);
    tb->SaveToolbarLayout();
    auto key = XTgToolbar::SettingsKey();
    EXPECT_EQ(store->read(HKEY_LOCAL_MACHINE, key, "ButtonSize"), SettingsValue(1));
    EXPECT_EQ(store->read(HKEY_LOCAL_MACHINE, key, "TextLabels"), SettingsValue(2));
    EXPECT_EQ(store->read(HKEY_LOCAL_MACHINE, key, "VisualStyle"), SettingsValue(3));
    EXPECT_EQ(store->read(HKEY_LOCAL_MACHINE, key, "FadedIcons"), SettingsValue(1));
}

TEST_F(ToolbarTest, StatusForwardingAndUpdateStatusBar) {
    tb->StatusBar().setStatus(1);
    EXPECT_EQ(tb->StatusControl().Status(), 1);
    EXPECT_FALSE(tb->VerdictMark());
    tb->setVerdictMark(true);
    EXPECT_TRUE(tb->StatusControl().VerdictMark());
    EXPECT_EQ(tb->StatusControl().StatusTexts()[0], "\u2713 PASSED");
    tb->setVerdictMark(false);
    tb->UpdateStatusBar(Variant("Measuring"), std::nullopt, std::nullopt);
    EXPECT_EQ(tb->StatusControl().Message(), "Measuring");
    tb->UpdateStatusBar(std::nullopt, Variant(true));
    EXPECT_EQ(tb->StatusControl().Message(), "Measuring");
    EXPECT_TRUE(tb->ProgressBar().Visible());
    tb->UpdateStatusBar(std::nullopt, std::nullopt, Variant("True"));
    EXPECT_TRUE(tb->ProgressBar().Animate());
    tb->UpdateStatusBar(Variant("x"), Variant("not a flag"), Variant(false));  // stops at the bad flag
    EXPECT_TRUE(tb->ProgressBar().Animate());

    // Initialize takes the completed flag from the element's result.
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    auto element = std::make_shared<SimpleTestElement>(nullptr, std::make_shared<SimpleTestResult>(2));
    tb->Initialize(element, nullptr);
    EXPECT_EQ(tb->StatusControl().Status(), 2);
    EXPECT_TRUE(enabled(ID_TGTBAR_NEXT));
}

TEST_F(ToolbarTest, HeightFollowsTheBarAndTheStatusFillsItsSlot) {
    int resized = 0;
    tb->Resize.connect([&] { ++resized; });
    tb->setButtonSize(etgButtonSizeLarge);
    std::int32_t l, t, r, b;
    tb->Bar()->GetWindowRect(l, t, r, b);
    EXPECT_EQ(tb->heightTwips(), Screen::toTwips(b - t));
    EXPECT_GE(resized, 1);
    auto& host = tb->StatusHost();
    EXPECT_EQ(host.topTwips(), 45);
    EXPECT_EQ(host.heightTwips(), tb->heightTwips() - 90);
    EXPECT_GT(host.widthTwips(), 0);
    EXPECT_EQ(tb->StatusControl().widthTwips(), host.widthTwips());
}

namespace {

// What a host reaches without the library's private headers: pressing
// commands by identifier, named keys, literals for names.
TEST_F(ToolbarTest, HostPressesCommandsByIdentifier) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateIdle);
    tb->Initialize(nullptr, setupWith(2));
    stdChanges = 0;

    EXPECT_TRUE(tb->ExecuteCommand(ID_TGTBAR_START));
    EXPECT_FALSE(tb->ExecuteCommand(ID_TGTBAR_NEXT));  // disabled while idle
    EXPECT_FALSE(tb->ExecuteCommand(4711));            // no such command
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t(ID_TGTBAR_START), false));

    // Menu commands do their own work and raise no ButtonClick.
    EXPECT_TRUE(tb->ExecuteCommand(512));
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 2");
    EXPECT_TRUE(tb->ExecuteCommand(ID_TGTBAR_CALCULATED));
    EXPECT_FALSE(tb->StandardSelection().CalculateLimits);
    EXPECT_EQ(stdChanges, 2);
    int opened = 0;
    XTgToolbar::setCustomizeDialogOpener([&](XTgToolbar&) { ++opened; });
    EXPECT_TRUE(tb->ExecuteCommand(ID_TGTBAR_CUSTOMIZE));
    XTgToolbar::setCustomizeDialogOpener(nullptr);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(clicks.size(), 1u);

    // A handle presses the same way, and a stale one does nothing.
    auto start = tb->Button(ID_TGTBAR_START);
    EXPECT_TRUE(start->Execute());
    EXPECT_EQ(clicks.back(), std::make_pair(std::int32_t(ID_TGTBAR_START), false));
    tb->DefineButtons(etgActionAll, etgRunAllButtons);  // Start changes form
    EXPECT_TRUE(start->IsDeleted());
    EXPECT_FALSE(start->Execute());
    EXPECT_FALSE(CTgToolbarButton().Execute());
}

TEST_F(ToolbarTest, NamedKeysLiteralNamesAndIntegerStyle) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateIdle);
    EXPECT_EQ(vbKeyF9, etgKeyStart);
    EXPECT_EQ(vbKeyEscape, etgKeyAbort);
    tb->AddToolsMenu(901, "Host command");
    tb->AddAccelerator(901, vbKeyF5, etgKeyMaskShift);
    EXPECT_TRUE(tb->CommandBarsControl().pressKey(vbKeyF5, FSHIFT));
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), std::make_pair(std::int32_t(901), true));

    tb->Initialize(nullptr, setupWith(2));
    tb->StatusBar().SetStandardName("G2", "Standard 2");  // literals bind
    EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 2");
    EXPECT_TRUE(tb->GetPopupBar(ID_TGTBAR_STANDARDS)->Controls().Item(2)->Checked());

    tb->setVisualStyle(etgOffice2003);
    EXPECT_EQ(tb->VisualStyle(), etgOffice2003);
    tb->setVisualStyle(4711);  // no such theme: the current one stays
    EXPECT_EQ(tb->VisualStyle(), etgOffice2003);
    // A stored style that is no number keeps the theme too.
    tb->SaveToolbarLayout();
    storeValue("VisualStyle", std::string("bright"));
    tb->setVisualStyle(etgWindowsXP);
    tb->LoadToolbarLayout();
    EXPECT_EQ(tb->VisualStyle(), etgWindowsXP);
}

}  // namespace
