// The content pane's pages: the comment and DUT pages it creates, the host
// pages it asks for, custom tabs, page events, auto-hide, Initialize, and
// show and hide.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/ServicesScope.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

struct CountingResult : SimpleTestResult {
    using SimpleTestResult::SimpleTestResult;
    mutable int reads = 0;
    std::string Comment() const override {
        ++reads;
        return SimpleTestResult::Comment();
    }
};

struct Pane {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    int commentChanges = 0;
    Pane() {
        form->moveTwips(0, 0, 9000, 6000);
        pane->moveTwips(0, 0, 9000, 6000);
        pane->CommentChange.connect([this] { ++commentChanges; });
    }
    XPaneComment* comment() const { return dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(1)).get()); }
    static std::shared_ptr<ITestElement> element(std::shared_ptr<ITestResult> result) {
        return std::make_shared<SimpleTestElement>(std::make_shared<SimpleElementInfo>("E", 0, "text"), result);
    }
};

}  // namespace

TEST(ContentPages, CommentPageShowsTheHostsCommentAndReportsOnlyTheOperatorsEdits) {
    Pane p;
    p.pane->Content().setComment("noted before");
    EXPECT_EQ(p.comment(), nullptr);  // created at first activation
    p.pane->SelectTab(etgCommentTab);
    ASSERT_NE(p.comment(), nullptr);
    EXPECT_EQ(p.comment()->Name(), "xtcComment");
    EXPECT_FALSE(p.pane->xpvProc().Visible());
    EXPECT_EQ(p.comment()->Comment(), "noted before");
    p.comment()->txtComment().typeText("typed");
    EXPECT_EQ(p.commentChanges, 1);
    EXPECT_EQ(p.pane->Content().Comment(), "noted before");
    p.pane->Content().setComment("from the host");
    EXPECT_EQ(p.comment()->Comment(), "from the host");
    EXPECT_EQ(p.commentChanges, 1);
}

TEST(ContentPages, InitializeReactivatesTheCommentPageAndBindsItOnce) {
    Pane p;
    p.pane->Initialize(Pane::element(std::make_shared<CountingResult>(0, "first")), nullptr);
    p.pane->SelectTab(etgCommentTab);
    auto second = std::make_shared<CountingResult>(0, "second");
    p.pane->Initialize(Pane::element(second), nullptr);
    EXPECT_EQ(second->reads, 1);
    EXPECT_EQ(p.pane->activePage(), p.pane->page(XTgContentPane::pageKey(1)));
    EXPECT_EQ(p.comment()->Comment(), "second");
    p.comment()->txtComment().typeText("edited");
    EXPECT_EQ(second->Comment(), "edited");
}

TEST(ContentPages, DutTabHiddenWithoutDutInformation) {
    Pane p;
    p.pane->Initialize(nullptr, std::make_shared<SimpleTestSetup>(nullptr, nullptr));
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(etgDutInfoTab).Visible());
    EXPECT_EQ(p.pane->activePage(), nullptr);  // no element: nothing activated
    auto setup = std::make_shared<SimpleTestSetup>(std::make_shared<SimpleDutInfo>(), nullptr);
    p.pane->Initialize(nullptr, setup);
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(etgDutInfoTab).Visible());  // not shown again here
    p.pane->SelectTab(etgDutInfoTab);
    auto* page = dynamic_cast<XPaneDutInfo*>(p.pane->page(XTgContentPane::pageKey(2)).get());
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->xieDutInfo()->Visible());
}

TEST(ContentPages, HelpAndCustomTabsAskTheHostAtEveryActivation) {
    Pane p;
    std::vector<std::int16_t> asked;
    std::shared_ptr<Control> answer;
    p.pane->RequestPage.connect([&](std::int16_t i, ObjectPtr& page) {
        asked.push_back(i);
        if (answer) page = answer;
    });
    p.pane->SelectTab(etgHelpTab);  // no page, no answer: the procedure stays
    EXPECT_TRUE(p.pane->xpvProc().Visible());
    auto help = p.form->create<Label>("lblHelp");
    p.pane->setHelpPageControl(help);
    p.pane->SelectTab(etgHelpTab);
    EXPECT_TRUE(help->Visible());
    EXPECT_FALSE(p.pane->xpvProc().Visible());
    answer = p.form->create<Label>("lblBetterHelp");  // replaces the registered page
    p.pane->SelectTab(etgHelpTab);
    EXPECT_EQ(p.pane->page(XTgContentPane::pageKey(3)), answer);
    EXPECT_FALSE(help->Visible());
    p.pane->setHelpPageControl(nullptr);  // the page goes with its tab
    EXPECT_FALSE(answer->Visible());
    EXPECT_TRUE(p.pane->xpvProc().Visible());

    answer = nullptr;
    EXPECT_EQ(p.pane->AddCustomTab(nullptr, nullptr), 0);
    EXPECT_EQ(p.pane->AddCustomTab(std::make_shared<CTabProperties>(), nullptr), 4);
    p.pane->SelectTab(4);
    auto page = p.form->create<Label>("lblCustom");
    EXPECT_EQ(p.pane->AddCustomTab(std::make_shared<CTabProperties>(), page), 5);
    p.pane->xtsTabStrip().Tabs(5).doMouseDown(vbLeftButton, 0, 10, 10);
    EXPECT_TRUE(page->Visible());
    EXPECT_EQ(asked, (std::vector<std::int16_t>{3, 3, 3, 4, 5}));
}

TEST(ContentPages, KeyPressOfTheActivePageGoesToTheHostAndBack) {
    Pane p;
    auto page = p.form->create<Control>("UserControl", "ucHost");
    p.pane->AddCustomTab(std::make_shared<CTabProperties>(), page);
    p.pane->SelectTab(4);
    p.pane->KeyPress.connect([](std::int16_t& key) { key = static_cast<std::int16_t>(key + 1); });
    VariantList args{std::int16_t{65}};
    page->ObjectEvent("KeyPress", args);
    EXPECT_EQ(args[0].toInt16(), 66);
    VariantList none;
    page->ObjectEvent("Change", none);  // a host page is no comment page
    EXPECT_EQ(p.commentChanges, 0);
}

TEST(ContentPages, AutoHideCollapsesTheStripUntilTheMouseComesBack) {
    ServicesScope services;
    Pane p;
    auto presenter = std::make_shared<ScriptedPresenter>();
    setPresenter(presenter);
    presenter->answerMenu(1);
    p.pane->xtsTabStrip().doMouseDown(vbRightButton, 0, 5, 5);
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 60);
    EXPECT_EQ(p.pane->xpvProc().Left(), 180);
    p.pane->xtsTabStrip().doMouseMove(0, 0, 5, 5);
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
    p.pane->xpvProc().doMouseMove(0, 0, 5, 5);  // over the procedure page
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 60);
    presenter->answerMenu(1);
    p.pane->xtsTabStrip().doMouseDown(vbRightButton, 0, 5, 5);
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
    p.pane->LostMouseFocus();
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
}

TEST(ContentPages, ShownItShowsItsStripAndHiddenInDesignModeItTerminates) {
    Pane p;
    p.pane->xtsTabStrip().setVisible(false);
    p.pane->setProperty("Visible", false);
    EXPECT_NE(p.pane->page(XTgContentPane::pageKey(0)), nullptr);  // run mode: nothing ends
    p.pane->setVisible(true);
    EXPECT_TRUE(p.pane->xtsTabStrip().Visible());
    p.form->setUserMode(false);
    p.pane->setVisible(false);
    EXPECT_EQ(p.pane->page(XTgContentPane::pageKey(0)), nullptr);
}
