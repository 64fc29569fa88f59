// The demo's host logic on the virtual clock, driven as the operator drives
// it: through the toolbar's key bindings and the content pane.
#include <gtest/gtest.h>

#include "DemoHost.h"
#include "Report.h"
#include <tavixTGCL2/content/XTgContentPane.h>
#include <tavixTGCL2/frame/HostServices.h>
#include <tavixTGCL2/frame/ServicesScope.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/EventLoop.h>
#include <tavixTGCL2/platform/MemorySettingsStore.h>
#include <tavixTGCL2/platform/SettingsStore.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/progress/XStatusBar.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

using namespace tavixTGCL2;
using namespace tavixTGCL2::demo;

namespace {

TestPlan smallPlan() {
    TestPlan p;
    p.title = "Small";
    p.dut = {{"Serial", "42"}};
    p.standards = {{"IEC", "IEC 1"}, {"UL", "UL 2"}};
    auto element = [](std::string caption, Verdict v, std::int32_t ms) {
        PlanElement e;
        e.caption = std::move(caption);
        e.procedure.text = "Do it.";
        e.verdict = v;
        e.durationMs = ms;
        return e;
    };
    p.elements = {element("A", Verdict::Passed, 500), element("B", Verdict::Failed, 300),
                  element("C", Verdict::None, 200)};
    return p;
}

class DemoHostTest : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
        HostServices::reset();
        EventLoop::current().useVirtualClock(true);
        host = std::make_unique<DemoHost>(smallPlan());
    }
    void TearDown() override { host.reset(); }
    void key(std::int32_t k, std::int32_t mask = 0) { host->toolbar().CommandBarsControl().pressKey(k, mask); }
    bool logged(const std::string& line) const {
        for (const auto& l : host->log().lines())
            if (l == line) return true;
        return false;
    }
    std::string row(int i) const { return host->resultView().item(i).Text; }
    std::unique_ptr<DemoHost> host;
};

}  // namespace

TEST_F(DemoHostTest, StartRunsTheElementWithProgressAndReportsItsVerdict) {
    auto& tb = host->toolbar();
    EXPECT_FALSE(tb.Button(ID_TGTBAR_NEXT)->Enabled());
    key(etgKeyStart);
    EXPECT_TRUE(host->running());
    EXPECT_TRUE(logged("Toolbar.ButtonClick 202 Start (accelerator)"));
    EXPECT_FALSE(tb.Button(ID_TGTBAR_PREV)->Enabled());
    EXPECT_TRUE(tb.Button(ID_TGTBAR_STOP)->Enabled());
    EventLoop::current().advance(250);
    EXPECT_TRUE(tb.ProgressBar().Visible());
    EXPECT_NEAR(tb.ProgressBar().Value(), 50, 10);
    EventLoop::current().advance(400);
    EXPECT_FALSE(host->running());
    EXPECT_EQ(host->outcome(0), Verdict::Passed);
    EXPECT_EQ(tb.StatusControl().Status(), 1);
    EXPECT_FALSE(tb.ProgressBar().Visible());
    EXPECT_TRUE(tb.Button(ID_TGTBAR_NEXT)->Enabled());
    EXPECT_NE(row(1).find("PASSED"), std::string::npos);
    EXPECT_EQ(host->resultView().item(1).SmallIcon, "passed");
    EXPECT_TRUE(host->resultView().item(2).Ghosted);
}

TEST_F(DemoHostTest, StepwiseRunsAnimateUntilTheyEnd) {
    host->toolbar().GetPopupBar(ID_TGTBAR_START)->Controls().Find(0, ID_TGTBAR_STEP)->Execute();
    EventLoop::current().advance(100);
    EXPECT_TRUE(host->toolbar().ProgressBar().Animate());
    EventLoop::current().advance(600);
    EXPECT_FALSE(host->toolbar().ProgressBar().Animate());
    EXPECT_EQ(host->outcome(0), Verdict::Passed);
}

TEST_F(DemoHostTest, StopLeavesTheElementWithoutAnOutcomeAndItCanRunAgain) {
    key(etgKeyStart);
    EventLoop::current().advance(200);
    key(etgKeyStop, etgKeyMaskCtrl);
    EXPECT_FALSE(host->running());
    EXPECT_FALSE(host->outcome(0));
    EventLoop::current().advance(1000);  // the run's timer is off
    EXPECT_FALSE(host->outcome(0));
    key(etgKeyStart);
    EventLoop::current().advance(600);
    EXPECT_EQ(host->outcome(0), Verdict::Passed);
}

TEST_F(DemoHostTest, NavigationNaSkipAndTheEndOfTheRun) {
    key(etgKeyStart);
    EventLoop::current().advance(600);
    key(etgKeyNext, etgKeyMaskCtrl);
    EXPECT_EQ(host->current(), 1u);
    EXPECT_EQ(host->pane().Caption(), "B");
    key(etgKeyNA, etgKeyMaskCtrl);  // NA marks and moves on
    EXPECT_EQ(host->outcome(1), Verdict::NotApplicable);
    EXPECT_EQ(host->current(), 2u);
    key(etgKeyPrevious, etgKeyMaskCtrl);
    EXPECT_EQ(host->current(), 1u);
    EXPECT_EQ(host->toolbar().StatusControl().Status(), 3);  // its verdict shows again
    host->pane().Content().setComment("will be erased");
    key(etgKeySkip, etgKeyMaskCtrl);
    EXPECT_FALSE(host->outcome(1));
    EXPECT_EQ(host->comment(1), "");
    EXPECT_EQ(host->current(), 2u);
    key(etgKeyStart);
    EventLoop::current().advance(300);
    EXPECT_EQ(host->outcome(2), Verdict::None);
    key(etgKeyNext, etgKeyMaskCtrl);
    EXPECT_TRUE(host->complete());
    EXPECT_EQ(host->summary(), "1 passed, 1 no verdict, 1 not run");
    EXPECT_FALSE(host->toolbar().Button(ID_TGTBAR_START)->Enabled());
    EXPECT_TRUE(host->toolbar().Button(ID_TGTBAR_PREV)->Enabled());
}

TEST_F(DemoHostTest, TheOperatorsStandardOutlivesInitializeAndAbortEndsEverything) {
    auto& tb = host->toolbar();
    tb.GetPopupBar(ID_TGTBAR_STANDARDS)->Controls().Item(2)->Execute();
    ASSERT_EQ(tb.StandardSelection().CompleteName, "UL 2");
    key(etgKeyStart);
    EventLoop::current().advance(600);
    key(etgKeyNext, etgKeyMaskCtrl);
    EXPECT_EQ(tb.StandardSelection().CompleteName, "UL 2");
    key(etgKeyStart);
    EventLoop::current().advance(100);
    key(etgKeyAbort);
    EXPECT_TRUE(host->aborted());
    EXPECT_FALSE(host->running());
    EventLoop::current().advance(1000);
    EXPECT_FALSE(host->outcome(1));
    for (int id : {ID_TGTBAR_START, ID_TGTBAR_NEXT, ID_TGTBAR_PREV, ID_TGTBAR_NA, ID_TGTBAR_SKIP})
        EXPECT_FALSE(tb.Button(id)->Enabled()) << id;
    key(etgKeyStart);  // nothing runs after an abort
    EXPECT_FALSE(host->running());
}

TEST_F(DemoHostTest, TheResultViewFollowsThePanesLayout) {
    auto& pane = host->pane();
    auto& list = host->resultView();
    const std::int32_t normalTop = list.Top();
    EXPECT_GT(normalTop, pane.Top());
    EXPECT_LE(list.Top() + list.Height(), pane.Top() + pane.Height());
    pane.setResultViewState(ervsMaximized);
    EXPECT_LT(list.Top(), normalTop);
    pane.setResultViewState(ervsHideResults);
    pane.setResultViewState(ervsNormal);
    EXPECT_EQ(list.Top(), normalTop);
}

TEST(DemoReport, TheIndexEscapesEverythingItShows) {
    Report r;
    r.title = "<plan>";
    r.summary = "1 passed & 0 failed";
    r.steps.push_back({"1. Key <F9>", "a \"note\"", {"001 key\".png"}, {"Content.CommentChange \"<b>hi</b>\""}, ""});
    const std::string html = reportHtml(r);
    EXPECT_EQ(html.find("<plan>"), std::string::npos);
    EXPECT_EQ(html.find("<b>hi"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;hi"), std::string::npos);
    EXPECT_NE(html.find("src=\"001%20key%22.png\""), std::string::npos);
    EXPECT_NE(html.find("1 passed &amp; 0 failed"), std::string::npos);
}
