// A host form as an operator sees it: the run toolbar on top, the content
// pane below, operated through the mirrored widgets.
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBrowser>

#include "RunFormFixture.h"
#include "QtTestSupport.h"
#include "content/XMsnSplit.h"
#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTab.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/WebBrowser.h"
#include "platform/StandardControls.h"
#include "progress/XStatusBar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

namespace {

class ContentPaneTest : public tgcltest::HostFormTest {
protected:
    void SetUp() override {
        HostFormTest::SetUp();
        form->setCaption("Guided test");
        result = std::make_shared<SimpleTestResult>(0, "");
        info = std::make_shared<SimpleElementInfo>(
            "Output level at 1 kHz", 1,
            "{\\rtf1\\ansi Connect the generator to {\\b input A}.\\par Set the level to {\\i -10 dBu}.\\par}");
        element = std::make_shared<SimpleTestElement>(info, result);
        pane->Initialize(element, std::make_shared<SimpleTestSetup>(std::make_shared<SimpleDutInfo>(), nullptr));
        tb->Initialize(element, nullptr);
        pane->TabClick.connect([this](std::int32_t t) { tabClicks.push_back(t); });
        pane->CommentChange.connect([this] { ++commentChanges; });
    }
    // A point on a tab away from its icon.
    QPoint onTab(const XTab& tab) {
        QWidget* w = widgetOf(tab);
        return {w->width() / 2, w->height() - 6};
    }

    std::shared_ptr<SimpleTestResult> result;
    std::shared_ptr<SimpleElementInfo> info;
    std::shared_ptr<SimpleTestElement> element;
    std::vector<std::int32_t> tabClicks;
    int commentChanges = 0;
};

}  // namespace

TEST_F(ContentPaneTest, WhatTheOperatorSees) {
    tb->DefineButtons(etgActionAll, etgRunStartAndStop | etgRunStep);
    tb->SetButtonState(etgStateRunning);
    tb->UpdateStatusBar(std::string("Measuring the output level"), true, true);
    pane->setSplitterCaption("Results");
    show(form);
    // A few animation steps of the status bar's progress.
    for (int i = 0; i < 4; ++i) tb->StatusControl().AnimationTick();
    settle();
    EXPECT_EQ(widgetOf(*pane)->geometry().top(), Screen::toPixels(tb->heightTwips()));
    // The rich-text procedure is shown as rich text.
    Control* view = pane->xpvProc().procedureView();
    ASSERT_NE(view, nullptr);
    auto* text = qobject_cast<QTextBrowser*>(widgetOf(*view));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    EXPECT_TRUE(text->toPlainText().contains("Connect the generator to input A."));
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/content-pane.png"));

    tb->UpdateStatusBar(std::string(""), false, false);
    tb->setStatus(1);
    tb->SetButtonState(etgStateCompleted);
    pane->setResultViewState(ervsLarge);
    settle();
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/content-pane-passed.png"));
}

TEST_F(ContentPaneTest, ATabClickActivatesItsPage) {
    show(form);
    XTab& commentTab = pane->xtsTabStrip().Tabs(etgCommentTab);
    QTest::mouseClick(widgetOf(commentTab), Qt::LeftButton, {}, onTab(commentTab));
    ASSERT_EQ(tabClicks, std::vector<std::int32_t>{etgCommentTab});
    EXPECT_EQ(pane->xtsTabStrip().Selected(), etgCommentTab);
    EXPECT_EQ(pane->activePage(), pane->page(XTgContentPane::pageKey(etgCommentTab)));
    auto* comment = dynamic_cast<XPaneComment*>(pane->activePage().get());
    ASSERT_NE(comment, nullptr);
    EXPECT_TRUE(widgetOf(*comment)->isVisible());
    EXPECT_FALSE(widgetOf(pane->xpvProc())->isVisible());
}

TEST_F(ContentPaneTest, TypingInTheCommentPaneRaisesCommentChangeAndWritesTheResult) {
    show(form);
    XTab& commentTab = pane->xtsTabStrip().Tabs(etgCommentTab);
    QTest::mouseClick(widgetOf(commentTab), Qt::LeftButton, {}, onTab(commentTab));
    auto* comment = dynamic_cast<XPaneComment*>(pane->activePage().get());
    ASSERT_NE(comment, nullptr);
    QWidget* box = widgetOf(comment->txtComment());
    ASSERT_NE(box, nullptr);
    box->setFocus();
    QTest::keyClicks(box, "Hum at 50 Hz");
    EXPECT_EQ(result->Comment(), "Hum at 50 Hz");
    EXPECT_GE(commentChanges, 1);
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/content-pane-comment.png"));
}

TEST_F(ContentPaneTest, TheDutInformationTabShowsTheItemRows) {
    auto dut = std::make_shared<SimpleDutInfo>();
    dut->add("Serial number", "SN-0042");
    dut->add("Model", "AX-7");
    pane->Initialize(element, std::make_shared<SimpleTestSetup>(dut, nullptr));
    show(form);
    XTab& dutTab = pane->xtsTabStrip().Tabs(etgDutInfoTab);
    QTest::mouseClick(widgetOf(dutTab), Qt::LeftButton, {}, onTab(dutTab));
    auto* page = dynamic_cast<XPaneDutInfo*>(pane->activePage().get());
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->xieDutInfo(), nullptr);
    auto* table = qobject_cast<QTableWidget*>(widgetOf(*page->xieDutInfo()));
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) rows << table->item(r, 0)->text() + "=" + table->item(r, 1)->text();
    EXPECT_EQ(rows, QStringList({"Serial number=SN-0042", "Model=AX-7"}));
    EXPECT_EQ(table->width(), widgetOf(*page)->width());  // across the page, below its title
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/content-pane-dut.png"));
}

TEST_F(ContentPaneTest, TheSplittersClickAndRightButtonMenuChangeTheLayoutState) {
    show(form);
    ASSERT_EQ(pane->ResultViewState(), ervsNormal);
    QWidget* bar = widgetOf(pane->xmsSplit());
    ASSERT_NE(bar, nullptr);
    // On the bar, right of the caption.
    const QPoint onBar(bar->width() - 20, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, onBar);
    EXPECT_EQ(pane->ResultViewState(), ervsLarge);
    const int largeTop = widgetOf(pane->xmsSplit())->y();

    QStringList entries;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        for (QAction* a : menu.actions()) entries << a->text();
        backend->grab(*form).save(tgcltest::outDir() + "/content-pane-splitter-menu.png");
        for (QAction* a : menu.actions())
            if (a->data().toInt() == XTgContentPane::mnuSizeMaximize + 1) {
                menu.setActiveAction(a);
                QTest::keyClick(&menu, Qt::Key_Return);
            }
    }});
    QTest::mouseClick(widgetOf(pane->xmsSplit()), Qt::RightButton, {}, onBar);
    EXPECT_EQ(entries.size(), 4);
    EXPECT_EQ(pane->ResultViewState(), ervsMaximized);
    EXPECT_NE(widgetOf(pane->xmsSplit())->y(), largeTop);
}

#ifdef TGCL_QT_WEBENGINE
TEST_F(ContentPaneTest, AnHtmlProcedureShowsItsFragmentWithTheStyleSheetApplied) {
    auto settings = std::make_shared<SimpleSettings>();
    settings->setValue(XPaneProcedure::kStyleSheetSetting, std::string("p.step { color: rgb(0, 96, 0); }"));
    HostServices::setSettingsFactory([settings] { return settings; });
    show(form);
    std::string fragment = "<p class=\"step\" id=\"s1\">Press <b>Start</b> on the generator.</p>";
    pane->SetProcedure(XPaneProcedure::fmtTemplate, fragment);
    auto* browser = dynamic_cast<WebBrowser*>(pane->xpvProc().procedureView());
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(EventLoop::current().waitWhile([&] { return browser->Busy(); }, 10000));
    EXPECT_EQ(backend->evaluateInBrowser(*browser, "document.getElementById('s1').textContent").toString(),
              "Press Start on the generator.");
    EXPECT_EQ(backend->evaluateInBrowser(*browser, "getComputedStyle(document.getElementById('s1')).color").toString(),
              "rgb(0, 96, 0)");
    EXPECT_TRUE(widgetOf(*browser)->isVisible());
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/content-pane-html.png"));
}
#endif
