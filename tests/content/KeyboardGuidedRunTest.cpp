// A guided run of a small plan from Start to the end with the keyboard
// alone, as an operator without a mouse works it: F9 starts, Ctrl+N goes on,
// Ctrl+A marks an element not applicable, the tabs change with the arrow
// keys, the splitter's menu and the Tools menu open with the menu key, and
// Tab moves between them. The host below is an ordinary one: it handles
// ButtonClick and TabClick and never learns that no mouse was there.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "content/XMsnSplit.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/KeyCodes.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"
#include "progress/XStatusBar.h"
#include "support/ControlTestServices.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

constexpr std::int32_t kToolReport = 901;
enum Verdict : std::int16_t { kOpen = -1, kNone = 0, kPassed = 1, kFailed = 2, kNotApplicable = 3 };

class RunHost {
public:
    struct Step {
        std::string caption;
        std::string procedure;
        Verdict measured;  // what Start measures
    };

    explicit RunHost(std::vector<Step> plan) : m_plan(std::move(plan)) {
        form->Move(0, 0, 9000, 6600);
        toolbar->Move(0, 0, 9000, 600);
        pane->Move(0, toolbar->Height(), 9000, 6600 - toolbar->Height());
        results->setView(3);
        results->addColumn("Element", 4000);
        pane->setResultView(results);
        toolbar->DefineButtons(etgActionAll, etgRunStartAndStop);
        toolbar->AddToolsMenu(kToolReport, "Run &report");
        for (const auto& s : m_plan) {
            ListItem row;
            row.Text = s.caption;
            results->addItem(row);
            verdicts.push_back(kOpen);
        }
        toolbar->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool fAccelerator) {
            log.push_back(std::to_string(b->ID()) + (fAccelerator ? " key" : " click"));
            onCommand(b->ID());
        });
        pane->TabClick.connect([this](std::int32_t t) { log.push_back("tab " + std::to_string(t)); });
        results->ItemClick.connect([this](std::int32_t i) { log.push_back("row " + std::to_string(i)); });
        show(0);
    }

    std::shared_ptr<Form> form = std::make_shared<Form>("frmRun");
    std::shared_ptr<XTgToolbar> toolbar = form->create<XTgToolbar>("xtbRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::shared_ptr<ListView> results = form->create<ListView>("lvwResults");
    std::vector<Verdict> verdicts;
    std::vector<std::string> log;
    std::size_t current = 0;
    bool finished = false;
    int reports = 0;

    std::string focused() const {
        const Control* f = form->ActiveControl();
        return f ? f->Name() : "(none)";
    }
    // The operator's keys: the key goes down, and a key that types
    // something types it.
    void press(std::int16_t code, std::int16_t shift = 0) {
        form->sendKeyDown(code, shift);
        if (code == vbKeyReturn || code == vbKeyEscape) form->pressKey(code);
    }

private:
    void show(std::size_t i) {
        current = i;
        const Step& s = m_plan[i];
        auto element = std::make_shared<SimpleTestElement>(
            std::make_shared<SimpleElementInfo>(s.caption, etgProcPlainText, s.procedure),
            std::make_shared<SimpleTestResult>());
        toolbar->Initialize(element, nullptr);
        pane->Initialize(element, nullptr);
        pane->setCaption(s.caption);
        results->setSelectedIndex(static_cast<std::int32_t>(i) + 1);
        toolbar->SetButtonState(etgStateIdle);
        toolbar->UpdateStatusBar(Variant("Ready: " + s.caption));
    }
    void conclude(Verdict v) {
        verdicts[current] = v;
        results->item(static_cast<std::int32_t>(current) + 1).Text =
            m_plan[current].caption + (v == kPassed ? " PASSED" : v == kFailed ? " FAILED" : " N/A");
        toolbar->setStatus(v == kNotApplicable ? std::int16_t{0} : static_cast<std::int16_t>(v));
        toolbar->SetButtonState(etgStateCompleted);
    }
    void onCommand(std::int32_t id) {
        switch (id) {
            case ID_TGTBAR_START:
                // The measurement itself is the host's business; here it is
                // over at once.
                toolbar->SetButtonState(etgStateRunning);
                toolbar->UpdateStatusBar(Variant("Measuring " + m_plan[current].caption));
                conclude(m_plan[current].measured);
                break;
            case ID_TGTBAR_NA: conclude(kNotApplicable); break;
            case ID_TGTBAR_NEXT:
                if (current + 1 < m_plan.size()) {
                    show(current + 1);
                } else {
                    finished = true;
                    toolbar->SetButtonState(etgStateIdle);
                    toolbar->UpdateStatusBar(Variant("Plan complete"));
                }
                break;
            case kToolReport: ++reports; break;
            default: break;
        }
    }

    std::vector<Step> m_plan;
};

class KeyboardGuidedRunTest : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    std::shared_ptr<ScriptedPresenter> script = services.script;
};

}  // namespace

TEST_F(KeyboardGuidedRunTest, APlanRunsFromStartToTheEndOnKeysAlone) {
    RunHost h({{"Supply voltage", "Connect the supply and switch it on.", kPassed},
               {"Ripple", "Measure the ripple at full load.", kFailed},
               {"Fan noise", "Listen to the fan.", kPassed}});
    h.form->show();
    ASSERT_EQ(h.focused(), "xtbRun");  // the first stop of the window

    // Element 1: F9 starts it; the host concludes PASSED and Next comes on.
    h.press(vbKeyF9);
    EXPECT_EQ(h.verdicts[0], kPassed);
    EXPECT_EQ(h.toolbar->StatusControl().Status(), 1);
    EXPECT_TRUE(h.toolbar->Button(ID_TGTBAR_NEXT)->Enabled());

    // A look at the comment tab with the arrow keys, and back.
    h.press(vbKeyTab);
    ASSERT_EQ(h.focused(), "xtsTabStrip");
    h.press(vbKeyDown);
    EXPECT_EQ(h.pane->xtsTabStrip().Selected(), 1);
    EXPECT_NE(h.pane->activePage(), h.pane->page("::0"));
    h.press(vbKeyUp);
    EXPECT_EQ(h.pane->activePage(), h.pane->page("::0"));

    // The procedure text is a stop of its own now, then the splitter.
    h.press(vbKeyTab);
    ASSERT_NE(h.pane->xpvProc().procedureView(), nullptr);
    EXPECT_EQ(h.form->ActiveControl(), h.pane->xpvProc().procedureView());
    h.press(vbKeyTab);
    ASSERT_EQ(h.focused(), "xmsSplit");
    script->answerMenu(XTgContentPane::mnuSizeUp + 1);  // a larger result list
    h.press(vbKeyApps);
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);

    // Element 2, while the focus stays on the splitter: the accelerators
    // belong to the window.
    h.press(vbKeyN, vbCtrlMask);
    EXPECT_EQ(h.current, 1u);
    EXPECT_EQ(h.pane->Caption(), "Ripple");
    h.press(vbKeyF9);
    EXPECT_EQ(h.verdicts[1], kFailed);
    EXPECT_EQ(h.toolbar->StatusControl().Status(), 2);

    // Element 3 is not applicable here.
    h.press(vbKeyN, vbCtrlMask);
    h.press(vbKeyA, vbCtrlMask);
    EXPECT_EQ(h.verdicts[2], kNotApplicable);

    // The result list: Tab to it, Home and End browse it.
    h.press(vbKeyTab);
    ASSERT_EQ(h.focused(), "lvwResults");
    h.press(vbKeyHome);
    h.press(vbKeyEnd);
    EXPECT_EQ(h.results->selectedIndex(), 3);
    EXPECT_EQ(h.results->item(2).Text, "Ripple FAILED");

    // The report from the Tools menu: Tab wraps round to the toolbar.
    h.press(vbKeyTab);
    ASSERT_EQ(h.focused(), "xtbRun");
    script->answerMenu(kToolReport);
    h.press(vbKeyF10, vbShiftMask);
    EXPECT_EQ(h.reports, 1);

    // Next on the last element ends the plan.
    h.press(vbKeyN, vbCtrlMask);
    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.toolbar->StatusControl().Message(), "Plan complete");
    EXPECT_EQ(h.verdicts, (std::vector<Verdict>{kPassed, kFailed, kNotApplicable}));

    // What the host heard: commands from keys only (the Tools entry is a
    // menu choice, reported as the click on it), tabs and rows as clicks.
    EXPECT_EQ(h.log, (std::vector<std::string>{"202 key", "tab 1", "tab 0", "103 key", "202 key", "103 key", "301 key",
                                               "row 1", "row 3", "901 click", "103 key"}));
}
