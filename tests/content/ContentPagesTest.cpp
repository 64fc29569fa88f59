// The content pane's pages: the comment and DUT pages it creates, the host
// pages it asks for, custom tabs, the events of the active page, auto-hide,
// Initialize, and show and hide.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/XItemCollEdit.h"
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
    std::vector<std::string> log;
    Pane() {
        form->moveTwips(0, 0, 9000, 6000);
        pane->moveTwips(0, 0, 9000, 6000);
        pane->CommentChange.connect([this] { log.push_back("CommentChange"); });
        pane->TabClick.connect([this](std::int32_t t) { log.push_back("TabClick " + std::to_string(t)); });
    }
    XPaneComment* comment() const { return dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(1)).get()); }
    std::shared_ptr<ITestElement> element(std::shared_ptr<ITestResult> result) {
        return std::make_shared<SimpleTestElement>(std::make_shared<SimpleElementInfo>("E", 0, "text"), result);
    }
};

}  // namespace

TEST(ContentPages, CommentPageShowsTheStoredCommentAndReportsOnlyTheOperatorsEdits) {
    Pane p;
    p.pane->Content().setComment("noted before");
    EXPECT_EQ(p.comment(), nullptr);  // created at first activation
    p.pane->SelectTab(etgCommentTab);
    XPaneComment* page = p.comment();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), "xtcComment");
    EXPECT_TRUE(page->Visible());
    EXPECT_FALSE(p.pane->xpvProc().Visible());
    EXPECT_EQ(page->Comment(), "noted before");

    page->txtComment().typeText("typed");
    EXPECT_EQ(p.log, std::vector<std::string>{"CommentChange"});
    EXPECT_EQ(p.pane->Content().Comment(), "noted before");  // the host's text stays
    p.pane->Content().setComment("from the host");
    EXPECT_EQ(page->Comment(), "from the host");
    EXPECT_EQ(p.log.size(), 1u);
}

TEST(ContentPages, InitializeReactivatesTheCommentPageAndBindsItOnce) {
    Pane p;
    auto first = std::make_shared<CountingResult>(0, "first");
    p.pane->Initialize(p.element(first), nullptr);
    EXPECT_EQ(p.pane->activePage(), p.pane->page(XTgContentPane::pageKey(0)));
    p.pane->SelectTab(etgCommentTab);
    ASSERT_NE(p.comment(), nullptr);
    EXPECT_EQ(p.comment()->Comment(), "first");

    auto second = std::make_shared<CountingResult>(0, "second");
    p.pane->Initialize(p.element(second), nullptr);
    EXPECT_EQ(second->reads, 1);
    EXPECT_EQ(p.pane->activePage(), p.pane->page(XTgContentPane::pageKey(1)));
    EXPECT_TRUE(p.comment()->Visible());
    EXPECT_EQ(p.comment()->Comment(), "second");
    p.comment()->txtComment().typeText("edited");
    EXPECT_EQ(second->Comment(), "edited");
    EXPECT_EQ(p.log, std::vector<std::string>{"CommentChange"});
}

TEST(ContentPages, DutTabHiddenWithoutDutInformationAndItsPageLoaded) {
    Pane p;
    p.pane->Initialize(nullptr, std::make_shared<SimpleTestSetup>(nullptr, nullptr));
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(etgDutInfoTab).Visible());
    EXPECT_EQ(p.pane->activePage(), nullptr);  // no element: nothing activated
    auto dut = std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{{"Serial", "4711"}});
    auto setup = std::make_shared<SimpleTestSetup>(dut, nullptr);
    p.pane->Initialize(nullptr, setup);
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(etgDutInfoTab).Visible());  // not shown again here
    p.pane->SelectTab(etgDutInfoTab);
    auto* page = dynamic_cast<XPaneDutInfo*>(p.pane->page(XTgContentPane::pageKey(2)).get());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), "xdiDutInfo");
    auto* editor = dynamic_cast<XItemCollEdit*>(page->xieDutInfo());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Items(), (std::vector<ItemRow>{{"Serial", "4711"}}));
}

TEST(ContentPages, HelpAndCustomTabsAskTheHostAtEveryActivation) {
    Pane p;
    std::vector<std::int16_t> asked;
    std::shared_ptr<Control> answer;
    p.pane->RequestPage.connect([&](std::int16_t i, ObjectPtr& page) {
        asked.push_back(i);
        if (answer) page = answer;
    });
    // No help page and no answer: the procedure page stays shown.
    p.pane->SelectTab(etgHelpTab);
    EXPECT_EQ(asked, std::vector<std::int16_t>{3});
    EXPECT_TRUE(p.pane->xpvProc().Visible());
    EXPECT_EQ(p.pane->activePage(), nullptr);

    auto help = p.form->create<Label>("lblHelp");
    p.pane->setHelpPageControl(help);
    EXPECT_TRUE(p.pane->xtsTabStrip().Tabs(etgHelpTab).Visible());
    p.pane->SelectTab(etgHelpTab);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(help->Visible());
    EXPECT_FALSE(p.pane->xpvProc().Visible());
    answer = p.form->create<Label>("lblBetterHelp");  // the answer replaces the registered page
    p.pane->SelectTab(etgHelpTab);
    EXPECT_EQ(p.pane->page(XTgContentPane::pageKey(3)), answer);
    EXPECT_FALSE(help->Visible());
    p.pane->setHelpPageControl(nullptr);  // the page goes with its tab
    EXPECT_FALSE(answer->Visible());
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(etgHelpTab).Visible());
    EXPECT_TRUE(p.pane->xpvProc().Visible());

    EXPECT_EQ(p.pane->AddCustomTab(nullptr, nullptr), 0);
    answer = nullptr;
    const std::int16_t custom = p.pane->AddCustomTab(std::make_shared<CTabProperties>(), nullptr);
    EXPECT_EQ(custom, 4);
    p.pane->SelectTab(custom);
    EXPECT_EQ(asked.back(), 4);
    auto page = p.form->create<Label>("lblCustom");
    const std::int16_t withPage = p.pane->AddCustomTab(std::make_shared<CTabProperties>(), page);
    EXPECT_EQ(withPage, 5);
    p.pane->xtsTabStrip().Tabs(withPage).doMouseDown(vbLeftButton, 0, 10, 10);
    EXPECT_EQ(asked.back(), 5);
    EXPECT_TRUE(page->Visible());
    EXPECT_EQ(page->Tag.toString(), "5");
    EXPECT_EQ(p.log.back(), "TabClick 5");
}

TEST(ContentPages, EventsOfTheActivePageReachTheHost) {
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
    EXPECT_TRUE(p.log.empty());
    std::int16_t own = 0;
    p.pane->KeyPress.connect([&](std::int16_t& key) { own = key; });
    p.pane->doKeyPress(13);
    EXPECT_EQ(own, 14);
}

TEST(ContentPages, AutoHideCollapsesTheStripUntilTheMouseComesBack) {
    Pane p;
    auto presenter = std::make_shared<ScriptedPresenter>();
    setPresenter(presenter);
    presenter->answerMenu(1);
    p.pane->xtsTabStrip().doMouseDown(vbRightButton, 0, 5, 5);
    EXPECT_TRUE(p.pane->AutoHideTabs());
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 60);
    EXPECT_FALSE(p.pane->xtsTabStrip().Tabs(0).Visible());
    EXPECT_EQ(p.pane->xpvProc().Left(), 180);
    p.pane->xtsTabStrip().doMouseMove(0, 0, 5, 5);
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
    EXPECT_TRUE(p.pane->xtsTabStrip().Tabs(0).Visible());
    // A mouse move over the procedure page collapses it again.
    p.pane->xpvProc().doMouseMove(0, 0, 5, 5);
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 60);
    presenter->answerMenu(1);
    p.pane->xtsTabStrip().doMouseDown(vbRightButton, 0, 5, 5);
    EXPECT_FALSE(p.pane->AutoHideTabs());
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
    p.pane->LostMouseFocus();
    EXPECT_EQ(p.pane->xtsTabStrip().Width(), 510);
    setPresenter(nullptr);
}

TEST(ContentPages, ContentContractForwardsToTheProcedurePane) {
    Pane p;
    ITgContentPane& content = p.pane->Content();
    content.setCaption("Ripple at TP3");
    EXPECT_EQ(p.pane->xpvProc().Caption(), "Ripple at TP3");
    EXPECT_EQ(content.Caption(), "Ripple at TP3");
    std::string rtf = "{\\rtf1 rich}";
    content.SetProcedure(1, rtf);
    EXPECT_NE(p.pane->xpvProc().richEditView(), nullptr);
    p.pane->setDotNetRtf(true);
    content.SetProcedure(1, rtf);
    EXPECT_EQ(p.pane->xpvProc().procedureView(), nullptr);
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
    p.pane->SelectTab(etgCommentTab);  // no pages any more: quietly nothing
    EXPECT_EQ(p.pane->activePage(), nullptr);
}
