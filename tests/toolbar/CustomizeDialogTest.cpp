#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "PngFile.h"
#include "frame/HostServices.h"
#include "platform/Compositor.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"
#include "support/ControlTestServices.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

constexpr const char* kDefaultList = "Abort|Previous|Next|Separator|Stop|Start|Separator|NA|Skip|Tools|Statusbar";

class CustomizeDialogTest : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    void SetUp() override {
        runForm = std::make_shared<Form>("frmRun");
        tb = runForm->create<Control>("Frame", "fraHost")->create<XTgToolbar>();
        tb->Move(0, 0, 9000, 600);
    }
    void TearDown() override {
        runForm.reset();
        tb.reset();
    }
    // The operator picks Customize... from the Tools menu; `operate` runs
    // while the dialog is shown.
    void customize(std::function<void(FCustomizeToolbar&)> operate) {
        script->onModal([operate](Form& f) { operate(dynamic_cast<FCustomizeToolbar&>(f)); });
        tb->Bar()->FindControl(0, ID_TGTBAR_CUSTOMIZE, false, true)->Execute();
    }
    static std::string list(FCustomizeToolbar& d) {
        std::string s;
        for (std::int32_t i = 1; i <= d.lvwButtons().count(); ++i)
            s += (i > 1 ? "|" : "") + d.lvwButtons().item(i).Text;
        return s;
    }
    // Size Large, no labels, Windows XP, dimmed icons, NA moved down past Skip.
    static void changeEverything(FCustomizeToolbar& d) {
        for (auto* o : {&d.optButtonSize(2), &d.optLabels(0), &d.optStyle(0)}) o->doClick();
        d.chkFade().doClick();
        d.lvwButtons().clickItem(8);
        d.cmdDown().doClick();
    }
    std::optional<SettingsValue> stored(const char* name) {
        return store->read(HKEY_LOCAL_MACHINE, XTgToolbar::SettingsKey(), name);
    }

    std::shared_ptr<MemorySettingsStore> store = services.store;
    std::shared_ptr<ScriptedPresenter> script = services.script;
    std::shared_ptr<Form> runForm;
    std::shared_ptr<XTgToolbar> tb;
};

}  // namespace

TEST_F(CustomizeDialogTest, OpensFromTheContextMenuTranslatedOwnedTopmost) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    script->onModal([&](Form& f) {
        auto& d = dynamic_cast<FCustomizeToolbar&>(f);
        EXPECT_EQ(d.Caption(), "Customize Toolbar");
        EXPECT_EQ(d.owner(), runForm.get());  // found through the toolbar's container
        EXPECT_TRUE(d.topMost());
        EXPECT_EQ(d.tabCustomize().itemCaption(1), "Button Position");
        EXPECT_EQ(d.cboScheme().List(1), "Right to left");
        EXPECT_EQ(d.cboScheme().ListIndex(), -1);
        EXPECT_EQ(list(d), kDefaultList);
        EXPECT_EQ(d.lvwButtons().columnWidth(1), d.lvwButtons().Width() - 60);
        EXPECT_EQ(d.chkFade().BackColor(), FCustomizeToolbar::kPageColor);
        EXPECT_NE(d.lvwButtons().BackColor(), FCustomizeToolbar::kPageColor);  // "nobck"
        // Real thumbnails: 16 pixels, not blank, and different per command.
        auto abort = d.lvwButtons().smallIconOf(1), next = d.lvwButtons().smallIconOf(3);
        ASSERT_TRUE(abort && next);
        EXPECT_EQ(abort->width(), 16);
        EXPECT_GT(std::count_if(abort->pixels().data(), abort->pixels().data() + 256,
                                [](Pixel p) { return p != 0xFFFFFFFFu; }), 64);
        EXPECT_FALSE(abort->pixels() == next->pixels());
        EXPECT_EQ(d.lvwButtons().smallIconOf(4), nullptr);  // a separator has none
        for (auto* b : {&d.cmdUp(), &d.cmdDown(), &d.cmdAddSep()}) EXPECT_FALSE(b->Enabled());
        std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
        for (std::int32_t page : {0, 1}) {
            d.tabCustomize().setSelectedItem(page);
            Surface s = Compositor::render(d);
            EXPECT_EQ(s.colorAt(16, 330), OleTranslateColor(FCustomizeToolbar::kPageColor));
            const std::string name = "/customize_dialog_" + std::to_string(page) + ".png";
            EXPECT_TRUE(writePng(s, std::string(TGCL_TEST_OUT_DIR) + name));
        }
        d.cmdOk().doClick();
    });
    script->answerMenu(ID_TGTBAR_CUSTOMIZE);
    tb->CommandBarsControl().ShowContextMenu(tb->Bar(), 5, 5);
    EXPECT_EQ(script->formsShown, std::vector<std::string>{"FCustomizeToolbar"});
}

TEST_F(CustomizeDialogTest, StateAtOpeningWithNothingStoredAndCancelPutsItBack) {
    const std::string designLayout = tb->ButtonLayout();
    customize([&](FCustomizeToolbar& d) {
        EXPECT_TRUE(d.optButtonSize(0).Value());  // nothing stored: ButtonSize reads 0 ...
        EXPECT_EQ(tb->Bar()->IconWidth(), 32);     // ... and showing it changed nothing
        EXPECT_TRUE(d.optLabels(1).Value() && d.optStyle(1).Value() && d.chkFade().Value() == 0);
        EXPECT_EQ(list(d), "Abort|Previous|Next|Separator|Stop|Start|Separator|NA|Skip|Separator|Tools|"
                           "Statusbar");  // as designed
        changeEverything(d);
        EXPECT_EQ(tb->Bar()->IconWidth(), 48);
        EXPECT_TRUE(tb->TextLabels() == etgLabelsNone && tb->VisualStyle() == etgWindowsXP && tb->FadedIcons());
        d.cmdCancel().doClick();
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(tb->ButtonLayout(), designLayout);
    EXPECT_TRUE(tb->ButtonSize() == 0 && tb->Bar()->IconWidth() == 32);
    EXPECT_EQ(tb->StatusControl().font().name, "Arial");  // the status bar's medium look
    EXPECT_TRUE(tb->TextLabels() == etgLabelsSelective && tb->VisualStyle() == etgOffice2003 && !tb->FadedIcons());
    EXPECT_FALSE(stored("Toolbar"));
}

TEST_F(CustomizeDialogTest, MoveButtonsFollowTheEnds) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    customize([&](FCustomizeToolbar& d) {
        d.lvwButtons().clickItem(1);
        EXPECT_FALSE(d.cmdUp().Enabled());
        EXPECT_TRUE(d.cmdDown().Enabled());
        EXPECT_FALSE(d.cmdAddSep().Enabled());  // nothing before the first entry to separate
        d.lvwButtons().clickItem(11);
        EXPECT_TRUE(d.cmdUp().Enabled());
        EXPECT_FALSE(d.cmdDown().Enabled());
        d.lvwButtons().clickItem(2);
        d.cmdUp().doClick();  // Previous to the top: Move Up goes off
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 1);
        EXPECT_FALSE(d.cmdUp().Enabled());
        d.cmdOk().doClick();
    });
    EXPECT_EQ(tb->ButtonLayout(), "102:0;101:0;103:0;201:1;202:0;301:1;302:0;401:0;600:0;");
}

TEST_F(CustomizeDialogTest, AddAndRemoveSeparator) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    customize([&](FCustomizeToolbar& d) {
        d.lvwButtons().clickItem(8);  // NA follows a separator
        EXPECT_EQ(d.cmdAddSep().Caption(), "&Add Separator");
        EXPECT_FALSE(d.cmdAddSep().Enabled());
        d.lvwButtons().clickItem(9);  // Skip
        EXPECT_TRUE(d.cmdAddSep().Enabled());
        d.cmdAddSep().doClick();
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 9);
        EXPECT_EQ(d.cmdAddSep().Caption(), "&Remove Separator");
        EXPECT_TRUE(tb->Button(ID_TGTBAR_SKIP)->BeginGroup());
        EXPECT_EQ(list(d), "Abort|Previous|Next|Separator|Stop|Start|Separator|NA|Separator|Skip|Tools|"
                           "Statusbar");
        d.cmdAddSep().doClick();
        EXPECT_FALSE(tb->Button(ID_TGTBAR_SKIP)->BeginGroup());
        EXPECT_EQ(d.lvwButtons().item(d.lvwButtons().selectedIndex()).Text, "Skip");
        EXPECT_EQ(list(d), kDefaultList);
        d.cmdOk().doClick();
    });
    EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kDefaultLayout);
}

TEST_F(CustomizeDialogTest, MovingControlsAndSeparatorsKeepsGroupsTrue) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    customize([&](FCustomizeToolbar& d) {
        d.lvwButtons().clickItem(8);  // NA down past Skip
        d.cmdDown().doClick();
        EXPECT_EQ(d.lvwButtons().selectedIndex(), 9);
        EXPECT_EQ(d.lvwButtons().topIndex(), 9);
        EXPECT_EQ(tb->ButtonLayout(), "101:0;102:0;103:0;201:1;202:0;302:1;301:0;401:0;600:0;");
        d.lvwButtons().clickItem(7);  // the separator up past Start, then past Stop
        d.cmdUp().doClick();
        d.cmdUp().doClick();
        EXPECT_EQ(list(d), "Abort|Previous|Next|Separator|Separator|Stop|Start|Skip|NA|Tools|Statusbar");
        EXPECT_EQ(tb->ButtonLayout(), "101:0;102:0;103:0;201:1;202:0;302:0;301:0;401:0;600:0;");
        d.lvwButtons().clickItem(5);  // Stop keeps its group: a separator stays before it
        d.cmdAddSep().doClick();
        EXPECT_TRUE(tb->Button(ID_TGTBAR_STOP)->BeginGroup());
        d.cmdOk().doClick();
    });
}

TEST_F(CustomizeDialogTest, MovesPastHiddenControlsMatchTheList) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    tb->Button(ID_TGTBAR_PREV)->setVisible(false);
    customize([&](FCustomizeToolbar& d) {
        d.lvwButtons().clickItem(2);  // Next, listed right after Abort
        d.cmdUp().doClick();
        EXPECT_EQ(list(d).substr(0, 10), "Next|Abort");
        d.cmdOk().doClick();
    });
    EXPECT_EQ(tb->ButtonLayout().substr(0, 12), "103:0;101:0;");
}

TEST_F(CustomizeDialogTest, SchemesApplyAndRefillTheList) {
    customize([&](FCustomizeToolbar& d) {
        d.cboScheme().setListIndex(1);
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kRightToLeftLayout);
        EXPECT_EQ(list(d), "Statusbar|Separator|Abort|Tools|NA|Skip|Separator|Stop|Start|Previous|Next");
        d.lvwButtons().clickItem(3);
        d.cmdDown().doClick();  // the bar no longer follows the scheme ...
        EXPECT_EQ(d.cboScheme().ListIndex(), -1);
        d.cboScheme().setListIndex(1);  // ... so it can be chosen again
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kRightToLeftLayout);
        d.cboScheme().setListIndex(0);
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kDefaultLayout);
        EXPECT_EQ(list(d), kDefaultList);
        d.cmdCancel().doClick();
    });
}

TEST_F(CustomizeDialogTest, RestoreAsksAndOnYesResetsAllButFadedIcons) {
    tb->ApplyButtonLayout(XTgToolbar::kRightToLeftLayout);
    customize([&](FCustomizeToolbar& d) {
        changeEverything(d);
        script->answerMessageBox(vbNo);
        d.cmdRestore().doClick();
        ASSERT_EQ(script->messagesShown.size(), 1u);
        EXPECT_EQ(script->messagesShown[0].prompt,
                  "Do you want to restore the toolbar to default settings and undo cusomtization?");
        EXPECT_EQ(script->messagesShown[0].style, vbYesNo | vbQuestion);
        EXPECT_EQ(script->messagesShown[0].title, "Customize Toolbar");
        EXPECT_EQ(tb->ButtonSize(), etgButtonSizeLarge);  // No: nothing happens
        script->answerMessageBox(vbYes);
        d.cmdRestore().doClick();
        EXPECT_TRUE(d.optButtonSize(1).Value() && d.optLabels(1).Value() && d.optStyle(1).Value());
        EXPECT_EQ(d.chkFade().Value(), 1);
        EXPECT_EQ(list(d), kDefaultList);
        d.cmdOk().doClick();
    });
    EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kDefaultLayout);
    EXPECT_TRUE(tb->TextLabels() == etgLabelsSelective && tb->VisualStyle() == etgOffice2003 && tb->FadedIcons());
}

TEST_F(CustomizeDialogTest, OkStoresTheLayoutAndTheFourStyles) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    customize([&](FCustomizeToolbar& d) {
        changeEverything(d);
        EXPECT_TRUE(d.pressKey(13));  // Enter presses OK
        EXPECT_FALSE(d.Cancel());
    });
    EXPECT_EQ(stored("Toolbar"), SettingsValue("101:0;102:0;103:0;201:1;202:0;302:1;301:0;401:0;600:0;"));
    EXPECT_EQ(stored("ButtonSize"), SettingsValue(2));
    EXPECT_EQ(stored("TextLabels"), SettingsValue(0));
    EXPECT_EQ(stored("VisualStyle"), SettingsValue(3));
    EXPECT_EQ(stored("FadedIcons"), SettingsValue(1));
}

TEST_F(CustomizeDialogTest, CancelAndFrameCloseReturnToWhatWasStored) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    tb->setButtonSize(etgButtonSizeMedium);
    tb->SaveToolbarLayout();
    tb->setButtonSize(etgButtonSizeSmall);  // live, not stored: Cancel does not keep it
    for (bool byFrame : {false, true}) {
        customize([&](FCustomizeToolbar& d) {
            changeEverything(d);
            if (!byFrame) {
                EXPECT_TRUE(d.pressKey(27));  // Esc is Cancel; else left open, closed by the frame
            }
        });
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kDefaultLayout) << byFrame;
        EXPECT_TRUE(tb->ButtonSize() == etgButtonSizeMedium && tb->VisualStyle() == etgOffice2003) << byFrame;
    }
    EXPECT_EQ(stored("ButtonSize"), SettingsValue(1));
}

// At a device ratio above 1 the list's command thumbnails carry a drawing
// at device size, not the small one enlarged; at 1 they carry none.
TEST(CustomizeThumbnails, AreDrawnAgainAtTheDeviceRatio) {
    struct Ratio {
        explicit Ratio(double r) { Screen::setDevicePixelRatio(r); }
        ~Ratio() { Screen::setDevicePixelRatio(1.0); }
    };
    {
        FCustomizeToolbar plain;
        for (const auto& [key, pic] : plain.lvwButtons().SmallIcons()) EXPECT_TRUE(pic->devicePixels().isEmpty()) << key;
    }
    Ratio two(2.0);
    FCustomizeToolbar d;
    ASSERT_FALSE(d.lvwButtons().SmallIcons().empty());
    for (const auto& [key, pic] : d.lvwButtons().SmallIcons()) {
        const Surface& small = pic->pixels();
        const Surface& device = pic->devicePixels();
        ASSERT_EQ(device.width(), 2 * small.width()) << key;
        EXPECT_EQ(pic->deviceRatio(), 2.0);
        int notEnlarged = 0;
        for (std::int32_t y = 0; y < device.height(); ++y)
            for (std::int32_t x = 0; x < device.width(); ++x)
                notEnlarged += device.pixel(x, y) != small.pixel(x / 2, y / 2);
        EXPECT_GT(notEnlarged, device.width()) << key;
    }
}
