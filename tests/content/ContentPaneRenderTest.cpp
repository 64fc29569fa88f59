// What an operator sees of the content pane: its parts painted into one
// picture, written as PNG files for looking at and checked where a wrong
// drawing would show.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "PngFile.h"
#include "content/XMsnSplit.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "content/XTgDetailsPane.h"
#include "platform/Compositor.h"
#include "platform/EventLoop.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"
#include "progress/XTransparentImage.h"

using namespace tavixTGCL2;

namespace {

std::string outPath(const std::string& name) {
    std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
    return std::string(TGCL_TEST_OUT_DIR) + "/" + name;
}

Pixel px(ColorRef c) { return pixelFromColorRef(c); }

// A part of a picture enlarged, for looking at single pixels.
Surface zoom(const Surface& s, const Rect& part, std::int32_t factor) {
    Surface src = s;
    Surface out(static_cast<std::int32_t>(part.width()) * factor, static_cast<std::int32_t>(part.height()) * factor);
    DC from(&src), to(&out);
    to.stretchBlt(0, 0, out.width(), out.height(), &from, part.left, part.top, static_cast<std::int32_t>(part.width()),
                  static_cast<std::int32_t>(part.height()));
    return out;
}

struct RunForm {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::shared_ptr<Control> results = form->create<Control>("ListView", "lvwResults");
    std::shared_ptr<Label> details = form->create<Label>("lblDetails");

    RunForm() {
        form->moveTwips(0, 0, 9000, 6030);
        form->setBackColor(0x8000000F);
        pane->moveTwips(0, 0, 9000, 6030);
        pane->ReadProperties();
        results->setBackColor(0xFFFFFF);
        results->setBorderPixels(1);
        details->setCaption("Serial 4711\nFirmware 2.3");
        details->setBackColor(0xFFFFFF);
        details->moveTwips(0, 0, 2400, 1200);
        std::string proc =
            "Connect the probe to test point TP3 and switch the supply on. The reading must settle "
            "within two seconds.";
        pane->Content().setCaption("Supply voltage at TP3");
        pane->Content().SetProcedure(0, proc);
        pane->setTestDetailsView(details);
        pane->setResultView(results);
    }
};

}  // namespace

TEST(ContentPaneRender, WholePaneShowsBandTabsPageSplitterAndResultView) {
    RunForm f;
    Surface s = Compositor::render(*f.form);
    ASSERT_EQ(s.width(), 600);
    ASSERT_EQ(s.height(), 402);
    // The band, the strip, the selected tab's body in the page colour, an
    // unselected tab, the splitter bar and the result view.
    EXPECT_EQ(s.pixel(300, 0), px(RGB(1, 72, 178)));
    EXPECT_EQ(s.pixel(0, 300), px(RGB(1, 72, 178)));
    EXPECT_EQ(s.pixel(4, 2 + 40), px(RGB(196, 219, 249)));
    EXPECT_EQ(s.pixel(4, 2 + 48 + 40), px(RGB(90, 136, 205)));
    EXPECT_EQ(s.pixel(40, 40), px(RGB(196, 219, 249)));
    const std::int32_t splitTop = f.pane->xmsSplit().Top() / 15;
    EXPECT_EQ(s.pixel(300, splitTop + 2), px(RGB(140, 170, 230)));
    EXPECT_EQ(s.pixel(300, splitTop + 40), px(RGB(255, 255, 255)));
    // The details pane at the right edge of the page, its flip tab outside
    // the frame, the host's details view over the client area.
    const XTgDetailsPane& dp = f.pane->xpvProc().details();
    const std::int32_t dpLeft = (f.pane->xpvProc().Left() + dp.Left()) / 15;
    const std::int32_t dpTop = (f.pane->xpvProc().Top() + dp.Top()) / 15;
    EXPECT_EQ(s.pixel(dpLeft, dpTop + 50), px(RGB(1, 72, 178)));   // frame border
    EXPECT_EQ(s.pixel(dpLeft + 5, dpTop + 5), px(RGB(255, 255, 255)));
    const std::int32_t flipLeft = dpLeft + dp.flipTab().Left() / 15;
    EXPECT_EQ(s.pixel(flipLeft + 3, dpTop + 4), px(RGB(90, 136, 205)));
    std::string err;
    EXPECT_TRUE(writePng(s, outPath("content_pane_normal.png"), &err)) << err;
    EXPECT_TRUE(writePng(zoom(s, {0, 0, 60, 200}, 6), outPath("content_pane_tabs_zoom.png"), &err)) << err;
    EXPECT_TRUE(writePng(zoom(s, {380, 0, 600, 60}, 4), outPath("content_pane_corner_zoom.png"), &err)) << err;
}

TEST(ContentPaneRender, OtherTabSelectedAndDetailsCollapsed) {
    RunForm f;
    f.pane->xtsTabStrip().Tabs(1).doMouseDown(vbLeftButton, 0, 100, 300);
    f.pane->setResultViewState(ervsLarge);
    f.pane->SelectTab(etgProcedureTab);
    f.pane->xtsTabStrip().setSelected(1);  // the strip alone: the page stays
    f.pane->xpvProc().details().setExpanded(false);
    Surface s = Compositor::render(*f.form);
    std::string err;
    EXPECT_TRUE(writePng(s, outPath("content_pane_large_comment_tab.png"), &err)) << err;
    EXPECT_TRUE(writePng(zoom(s, {0, 0, 60, 160}, 5), outPath("content_pane_comment_tab_zoom.png"), &err)) << err;
    // The comment tab's body takes its colour; the procedure tab goes mid-blue.
    EXPECT_EQ(s.pixel(4, 2 + 48 + 40), px(RGB(255, 255, 192)));
    EXPECT_EQ(s.pixel(4, 2 + 40), px(RGB(90, 136, 205)));
    // The collapsed details pane is only its flip tab, at the right edge.
    const XTgDetailsPane& dp = f.pane->xpvProc().details();
    EXPECT_EQ(dp.Width(), 120);
    EXPECT_EQ(f.pane->xpvProc().Left() + dp.Left() + dp.Width(), f.pane->xpvProc().Left() + f.pane->xpvProc().Width());
}

// The composite shows what a reader sees in text boxes and pages, not blank
// blocks: the failure page of a missing link carries its text.
TEST(CompositorText, PagesAndTextBoxesShowTheirText) {
    tavixTGCL2::EventLoop::current().useVirtualClock(true);
    auto form = std::make_shared<tavixTGCL2::Control>("Form", "frm");
    form->Move(0, 0, 3000, 1500);
    auto web = form->create<tavixTGCL2::WebBrowser>();
    web->Move(0, 0, 3000, 750);
    auto box = form->create<tavixTGCL2::TextBox>("txt");
    box->Move(0, 750, 3000, 750);
    tavixTGCL2::Surface before = tavixTGCL2::Compositor::render(*form);
    web->Navigate2("about:blank");
    tavixTGCL2::EventLoop::current().advance(100);
    web->Document()->body().setInnerHTML("<p>Read the ripple.</p>");
    box->setText("Ripple within limits.");
    tavixTGCL2::Surface after = tavixTGCL2::Compositor::render(*form);
    auto inkRows = [](const tavixTGCL2::Surface& s, int y0, int y1) {
        int rows = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < s.width(); ++x)
                if ((s.pixel(x, y) & 0xFFFFFF) < 0x404040) {
                    ++rows;
                    break;
                }
        return rows;
    };
    EXPECT_EQ(inkRows(before, 0, 50), 0);
    EXPECT_GT(inkRows(after, 0, 50), 3);     // the page's text
    EXPECT_GT(inkRows(after, 50, 100), 3);   // the text box's text
    tavixTGCL2::EventLoop::current().useVirtualClock(false);
}
