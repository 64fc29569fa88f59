// A translator whose every lookup fails (its catalogue could not be read,
// say): the toolbar and its dialog must still make every control, and show
// the default texts of their literals where the translation is missing.
#include <gtest/gtest.h>

#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/Diagnostics.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "progress/XStatusBar.h"
#include "support/ControlTestServices.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/ToolbarInternals.h"
#include "toolbar/XTgToolbar.h"
#include "support/ThrowingTranslator.h"

using namespace tavixTGCL2;

namespace {

using tavixTGCL2::test_support::ThrowingTranslator;

class FailingTranslator : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    void SetUp() override {
        HostServices::setTranslatorFactory([t = translator] { return t; });
        form = std::make_shared<Form>("frmRun");
        tb = form->create<XTgToolbar>();
        tb->Move(0, 0, 9000, 600);
        tb->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool) { clicks.push_back(b->ID()); });
    }
    void TearDown() override {
        tb.reset();
        form.reset();
    }
    static std::string list(FCustomizeToolbar& d) {
        std::string s;
        for (std::int32_t i = 1; i <= d.lvwButtons().count(); ++i)
            s += (i > 1 ? "|" : "") + d.lvwButtons().item(i).Text;
        return s;
    }

    std::shared_ptr<ThrowingTranslator> translator = std::make_shared<ThrowingTranslator>();
    std::shared_ptr<MemorySettingsStore> store = services.store;
    std::shared_ptr<ScriptedPresenter> script = services.script;
    std::shared_ptr<Form> form;
    std::shared_ptr<XTgToolbar> tb;
    std::vector<std::int32_t> clicks;
};

}  // namespace

TEST_F(FailingTranslator, ConstructionStillAddsTheStatusControlWithItsDefaultCaption) {
    ASSERT_GT(translator->lookups, 0);  // the lookups really did fail
    auto status = tb->Bar()->Controls().Find(0, ID_TGTBAR_STATUS);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->Caption(), "Statusbar");
    EXPECT_EQ(status->HostedWindow().get(), &tb->StatusHost());
    EXPECT_EQ(tb->Bar()->Controls().Count(), 9);  // eight commands and the status control
    // Each caption and tooltip falls back on its default text.
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_ABORT))->Caption(), "Abort");
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_ABORT))->ToolTipText(), "Abort test");
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_NEXT))->ToolTipText(), "Go to next test element");
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_CUSTOMIZE))->Caption(), "Customize...");
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Caption(), "Start");
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->ToolTipText(), "Start automatic test");
    // The status bar shows a message in the slot the control gives it.
    tb->UpdateStatusBar(Variant(std::string("measuring")));
    EXPECT_EQ(tb->StatusControl().Message(), "measuring");
    EXPECT_GT(tb->StatusHost().Width(), 0);
}

TEST_F(FailingTranslator, StartSurvivesEveryChangeOfFormAndF9StillStartsTheTest) {
    const std::int32_t startIndex = ToolbarInternals::Index(*tb->Button(ID_TGTBAR_START));
    tb->DefineButtons(etgActionAll, etgRunAllButtons);
    auto split = tb->Button(ID_TGTBAR_START);
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(ToolbarInternals::control(*split)->Type(), cbcSplitButtonPopup);
    EXPECT_EQ(ToolbarInternals::Index(*split), startIndex);
    EXPECT_EQ(ToolbarInternals::control(*split)->Caption(), "Start");
    ASSERT_NE(tb->Button(ID_TGTBAR_STEP), nullptr);
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_STEP))->Caption(), "Stepwise test");

    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    auto start = tb->Button(ID_TGTBAR_START);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(ToolbarInternals::control(*start)->Type(), cbcButton);
    EXPECT_EQ(ToolbarInternals::Index(*start), startIndex);
    EXPECT_TRUE(start->Enabled());
    EXPECT_EQ(tb->Button(ID_TGTBAR_STEP), nullptr);

    tb->SetButtonState(etgStateIdle);
    EXPECT_TRUE(tb->CommandBarsControl().pressKey(120, 0));  // F9
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{ID_TGTBAR_START}));
    tb->SetButtonState(etgStateRunning);
    EXPECT_TRUE(tb->Button(ID_TGTBAR_START)->Checked());
}

TEST_F(FailingTranslator, TheDialogKeepsItsSchemesSeparatorsAndRestoreQuestion) {
    tb->ApplyButtonLayout(XTgToolbar::kDefaultLayout);
    bool shown = false;
    script->onModal([&](Form& f) {
        auto& d = dynamic_cast<FCustomizeToolbar&>(f);
        shown = true;
        EXPECT_EQ(d.Caption(), "Customize Toolbar");
        EXPECT_EQ(d.tabCustomize().itemCaption(0), "Button Style");
        EXPECT_EQ(d.tabCustomize().itemCaption(1), "Button Position");
        ASSERT_EQ(d.cboScheme().ListCount(), 2);
        EXPECT_EQ(d.cboScheme().List(0), "Default");
        EXPECT_EQ(d.cboScheme().List(1), "Right to left");
        // A separator entry shares its statement with the control after it.
        EXPECT_EQ(list(d), "Abort|Previous|Next|Separator|Stop|Start|Separator|NA|Skip|Tools|Statusbar");
        d.lvwButtons().clickItem(2);
        EXPECT_EQ(d.cmdAddSep().Caption(), "&Add Separator");
        d.cmdAddSep().doClick();
        EXPECT_EQ(list(d), "Abort|Separator|Previous|Next|Separator|Stop|Start|Separator|NA|Skip|Tools|Statusbar");
        d.lvwButtons().clickItem(2);
        EXPECT_EQ(d.cmdAddSep().Caption(), "&Remove Separator");

        // The scheme "Right to left", chosen from the list.
        d.cboScheme().setListIndex(1);
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kRightToLeftLayout);

        script->answerMessageBox(vbYes);
        d.cmdRestore().doClick();
        ASSERT_EQ(script->messagesShown.size(), 1u);
        EXPECT_EQ(script->messagesShown[0].prompt,
                  "Do you want to restore the toolbar to default settings and undo cusomtization?");
        EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kDefaultLayout);
        d.cmdOk().doClick();
    });
    tb->Bar()->FindControl(0, ID_TGTBAR_CUSTOMIZE, false, true)->Execute();
    EXPECT_TRUE(shown);
}

TEST_F(FailingTranslator, TheSinkLearnsWhichOperationLostWhichText) {
    std::vector<ContainedError> reports;
    setDiagnosticsSink([&](const ContainedError& e) { reports.push_back(e); });
    auto another = form->create<XTgToolbar>();
    auto reported = [&](const std::string& operation, const std::string& literal) {
        for (const auto& e : reports)
            if (e.operation() == operation && e.text == "catalogue unreadable: " + literal) return &e;
        return static_cast<const ContainedError*>(nullptr);
    };
    const ContainedError* status = reported("XTgToolbar::UserControl_Initialize", "262::Statusbar");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->number, errFileNotFound);
    EXPECT_FALSE(status->internalFault);
    EXPECT_NE(reported("XTgToolbar::TranslateBar", "250::Abort"), nullptr);

    reports.clear();
    another->DefineButtons(etgActionAll, etgRunAllButtons);
    EXPECT_NE(reported("XTgToolbar::SetupStartButton", "253::Start"), nullptr);
    EXPECT_NE(reported("XTgToolbar::SetupStartButton", "255::Stepwise test"), nullptr);
    for (const auto& e : reports) EXPECT_FALSE(e.internalFault) << e.operation() << ": " << e.text;
}
