// The content pane's parts with a translator whose every lookup fails: each
// part is still built whole, and a missing translation costs at most the
// text, which falls back on the default of its literal.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTgContentPane.h"
#include "content/XWebToolbar.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/ServicesScope.h"
#include "platform/EventLoop.h"
#include "platform/HtmlDocument.h"
#include "platform/MemorySettingsStore.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"
#include "support/ThrowingTranslator.h"

using namespace tavixTGCL2;

namespace {

using tavixTGCL2::test_support::ThrowingTranslator;

// Translates the first control of a form, then fails: a form half
// translated when the error came.
struct HalfwayTranslator : ITranslator {
    std::string Translate(const std::string&, const std::string& literal, const VariantList&) override {
        return literal == XPaneComment::kTitle ? "Kommentar:" : "";
    }
    void TranslateControls(const std::string& context, Control& root) override {
        if (!root.Children().empty()) {
            Control& first = *root.Children().front();
            first.setCaption(Translate(context, first.Caption(), {}));
        }
        throw Error(errFileNotFound, "catalogue unreadable");
    }
};

class FailingTranslatorPages : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
        HostServices::reset();
        HostServices::setTranslatorFactory([t = translator] { return t; });
        EventLoop::current().useVirtualClock(true);
        form->moveTwips(0, 0, 9000, 6000);
    }
    void TearDown() override { EventLoop::current().advance(60000); }

    std::shared_ptr<ThrowingTranslator> translator = std::make_shared<ThrowingTranslator>();
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
};

}  // namespace

TEST_F(FailingTranslatorPages, WebToolbarBuildsEveryButtonWithItsDefaultCaption) {
    XWebToolbar t;
    ASSERT_GT(translator->lookups, 0);
    ASSERT_NE(t.Bar(), nullptr);
    const std::vector<std::pair<std::int32_t, std::string>> expected = {
        {101, "Back"}, {102, "Forward"}, {105, "Stop"}, {104, "Refresh"}, {103, "Home"}};
    ASSERT_EQ(t.Bar()->Controls().Count(), 5);
    for (std::int32_t i = 1; i <= 5; ++i) {
        auto c = t.Bar()->Controls().Item(i);
        EXPECT_EQ(c->Id(), expected[i - 1].first);
        EXPECT_EQ(c->Caption(), expected[i - 1].second);
        EXPECT_EQ(c->ToolTipText(), expected[i - 1].second);
        EXPECT_EQ(c->Enabled(), c->Id() > 102) << c->Id();
    }
    // The rest of the build still ran: the bar took its size.
    EXPECT_GT(t.Width(), 0);
    EXPECT_EQ(t.Width(), Screen::toTwips(static_cast<std::int32_t>(t.Bar()->WindowRect().width())));
}

TEST_F(FailingTranslatorPages, CommentAndDutPagesShowTheirDefaultTitles) {
    auto pane = form->create<XTgContentPane>("xcpContent");
    pane->moveTwips(0, 0, 9000, 6000);
    pane->SelectTab(etgCommentTab);
    auto* comment = dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(etgCommentTab)).get());
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->lblTitle().Caption(), "Comment:");
    pane->SelectTab(etgDutInfoTab);
    auto* dut = dynamic_cast<XPaneDutInfo*>(pane->page(XTgContentPane::pageKey(etgDutInfoTab)).get());
    ASSERT_NE(dut, nullptr);
    EXPECT_EQ(dut->lblTitle().Caption(), "Device Under Test");
}

TEST_F(FailingTranslatorPages, AFormTranslatedHalfwayKeepsWhatWasTranslated) {
    auto halfway = std::make_shared<HalfwayTranslator>();
    HostServices::setTranslatorFactory([halfway] { return halfway; });
    XPaneComment comment;
    EXPECT_EQ(comment.lblTitle().Caption(), "Kommentar:");
}

TEST_F(FailingTranslatorPages, TheFailurePageStillNamesTheLink) {
    auto pane = form->create<XPaneProcedure>();
    pane->moveTwips(300, 200, 8000, 5000);
    std::string link = "file:///nowhere/at/all.html";
    pane->SetProcedure(4, link);
    EventLoop::current().waitWhile([&] { return pane->browserView() && pane->browserView()->Busy(); }, 30000);
    ASSERT_NE(pane->browserView(), nullptr);
    const std::string text = pane->browserView()->Document()->plainText();
    EXPECT_NE(text.find("cannot be loaded"), std::string::npos) << text;
    EXPECT_NE(text.find("The link is '" + link + "'."), std::string::npos) << text;
}
