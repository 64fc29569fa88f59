// The run toolbar and its Customize dialog from the keyboard: the Tools menu
// from Shift+F10 and the menu key, the accelerators through the window, and
// the dialog operated with keys only, its list getting the focus back after
// every move. No mouse call anywhere.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/KeyCodes.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"
#include "support/ControlTestServices.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

bool hasEntry(const std::vector<MenuEntry>& menu, std::int32_t id) {
    for (const auto& e : menu)
        if (e.id == id) return true;
    return false;
}

class ToolbarKeyboardTest : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    void SetUp() override {
        runForm = std::make_shared<Form>("frmRun");
        runForm->Move(0, 0, 9000, 3000);
        tb = runForm->create<XTgToolbar>();
        tb->Move(0, 0, 9000, 600);
        tb->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool fAccelerator) {
            clicks.emplace_back(b->ID(), fAccelerator);
        });
        runForm->show();
    }
    void TearDown() override {
        runForm.reset();
        tb.reset();
    }
    bool key(Form& f, std::int16_t code, std::int16_t shift = 0) { return f.sendKeyDown(code, shift); }
    static void repeat(Form& f, std::int16_t code, int times) {
        for (int i = 0; i < times; ++i) f.sendKeyDown(code);
    }

    std::shared_ptr<MemorySettingsStore> store = services.store;
    std::shared_ptr<ScriptedPresenter> script = services.script;
    std::shared_ptr<Form> runForm;
    std::shared_ptr<XTgToolbar> tb;
    std::vector<std::pair<std::int32_t, bool>> clicks;
};

}  // namespace

TEST_F(ToolbarKeyboardTest, TheToolsMenuOpensBelowItsButtonWhileTheToolbarHasTheFocus) {
    ASSERT_TRUE(tb->hasFocus());  // the window's only stop
    EXPECT_TRUE(key(*runForm, vbKeyF10, vbShiftMask));
    ASSERT_EQ(script->menusShown.size(), 1u);
    const auto& shown = script->menusShown[0];
    EXPECT_TRUE(hasEntry(shown.menu, ID_TGTBAR_CUSTOMIZE));
    const Rect bar = tb->Bar()->WindowRect();
    const Rect tools = tb->Bar()->FindControl(0, ID_TGTBAR_TOOLS)->bounds();
    ASSERT_FALSE(tools.isEmpty());
    EXPECT_EQ(shown.x, bar.left + tools.left);
    EXPECT_EQ(shown.y, bar.top + tools.bottom);

    // A host entry chosen from the keyboard's menu is reported as a click
    // on it would be.
    tb->AddToolsMenu(901, "Calibrate");
    script->answerMenu(901);
    EXPECT_TRUE(key(*runForm, vbKeyApps));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t(901), false));
    EXPECT_TRUE(hasEntry(script->menusShown[1].menu, 901));

    // A disabled or hidden Tools button opens nothing, as for the mouse.
    tb->Button(ID_TGTBAR_TOOLS)->setEnabled(false);
    key(*runForm, vbKeyApps);
    tb->Button(ID_TGTBAR_TOOLS)->setEnabled(true);
    tb->Button(ID_TGTBAR_TOOLS)->setVisible(false);
    key(*runForm, vbKeyF10, vbShiftMask);
    EXPECT_EQ(script->menusShown.size(), 2u);
}

TEST_F(ToolbarKeyboardTest, OnlyTheFocusedToolbarOpensItsMenuAndKeyBindingsWorkFromAnywhere) {
    auto txt = runForm->create<TextBox>("txtNote");
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->SetButtonState(etgStateIdle);
    EXPECT_TRUE(key(*runForm, vbKeyTab));
    ASSERT_TRUE(txt->hasFocus());
    key(*runForm, vbKeyF10, vbShiftMask);
    EXPECT_TRUE(script->menusShown.empty());

    EXPECT_TRUE(key(*runForm, vbKeyF9));                 // Start, bound to F9
    EXPECT_TRUE(key(*runForm, vbKeyN, vbCtrlMask));      // bound, but Next is off while idle
    EXPECT_TRUE(key(*runForm, vbKeyEscape));             // Abort
    EXPECT_FALSE(key(*runForm, vbKeyF9, vbCtrlMask));    // nothing bound
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(std::int32_t(ID_TGTBAR_START), true));
    EXPECT_EQ(clicks[1], std::make_pair(std::int32_t(ID_TGTBAR_ABORT), true));

    // Back on the toolbar with Shift+Tab, which wraps round.
    EXPECT_TRUE(key(*runForm, vbKeyTab, vbShiftMask));
    EXPECT_TRUE(tb->hasFocus());
    tb->setEnabled(false);  // a disabled toolbar is passed over, and takes no keys
    EXPECT_TRUE(txt->hasFocus());
    EXPECT_FALSE(key(*runForm, vbKeyF9));
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ToolbarKeyboardTest, TheCustomizeDialogRunsOnKeysAndTheListGetsTheFocusBack) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    int buttonFocus = 0;
    script->onModal([&](Form& f) {
        auto& d = dynamic_cast<FCustomizeToolbar&>(f);
        for (CommandButton* b : {&d.cmdUp(), &d.cmdDown(), &d.cmdAddSep(), &d.cmdRestore(), &d.cmdOk()})
            b->GotFocus.connect([&buttonFocus] { ++buttonFocus; });
        EXPECT_EQ(d.ActiveControl(), &d.tabCustomize());
        EXPECT_TRUE(key(d, vbKeyTab, vbCtrlMask));  // to "Button Position"
        EXPECT_EQ(d.tabCustomize().selectedItem(), 1);
        EXPECT_TRUE(d.page(1).Visible());
        key(d, vbKeyTab);
        EXPECT_EQ(d.ActiveControl(), &d.cboScheme());
        key(d, vbKeyTab);
        ASSERT_EQ(d.ActiveControl(), &d.lvwButtons());

        repeat(d, vbKeyDown, 8);  // NA
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 8);
        EXPECT_TRUE(d.cmdUp().Enabled() && d.cmdDown().Enabled());
        key(d, vbKeyTab);
        key(d, vbKeyTab);
        ASSERT_EQ(d.ActiveControl(), &d.cmdDown());
        EXPECT_EQ(buttonFocus, 2);
        EXPECT_TRUE(key(d, vbKeySpace));  // Move Down: NA after Skip
        EXPECT_EQ(d.ActiveControl(), &d.lvwButtons());
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 9);

        // Down to Tools and moved to the end: Move Down goes off, and the
        // focus has already left it for the list.
        key(d, vbKeyDown);
        key(d, vbKeyTab);
        key(d, vbKeyTab);
        ASSERT_EQ(d.ActiveControl(), &d.cmdDown());
        key(d, vbKeySpace);
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 11);
        EXPECT_FALSE(d.cmdDown().Enabled());
        EXPECT_EQ(d.ActiveControl(), &d.lvwButtons());
        EXPECT_EQ(buttonFocus, 4);  // only the two the operator tabbed to

        // Move Up from its button brings the focus back as well.
        key(d, vbKeyTab);
        ASSERT_EQ(d.ActiveControl(), &d.cmdUp());
        key(d, vbKeySpace);
        EXPECT_EQ(d.ActiveControl(), &d.lvwButtons());
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 10);

        // The scheme list chosen with the arrows applies a layout.
        key(d, vbKeyTab, vbShiftMask);
        ASSERT_EQ(d.ActiveControl(), &d.cboScheme());
        key(d, vbKeyDown);
        EXPECT_EQ(d.cboScheme().ListIndex(), 0);
        EXPECT_EQ(d.lvwButtons().item(8).Text, "NA");
        // And back: Tools moved to the end again, then OK with Enter.
        key(d, vbKeyTab);
        repeat(d, vbKeyDown, 10);
        key(d, vbKeyTab);
        key(d, vbKeyTab);
        key(d, vbKeySpace);
        EXPECT_TRUE(d.pressKey(13));
    });
    script->answerMenu(ID_TGTBAR_CUSTOMIZE);
    ASSERT_TRUE(tb->hasFocus());
    EXPECT_TRUE(key(*runForm, vbKeyApps));
    EXPECT_EQ(script->formsShown, std::vector<std::string>{"FCustomizeToolbar"});
    EXPECT_EQ(tb->ButtonLayout(), "101:0;102:0;103:0;201:1;202:0;301:1;302:0;600:0;401:0;");
    // The run form keeps its focus through the dialog.
    EXPECT_TRUE(tb->hasFocus());
}
