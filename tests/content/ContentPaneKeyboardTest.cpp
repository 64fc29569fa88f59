// The content pane from the keyboard: the tab strip's arrow keys, the tab
// order through strip, page and splitter, the splitter and tab-strip menus
// from Shift+F10 and the menu key, and the auto-hidden strip opening while
// it has the focus. Key events only.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "content/XMsnSplit.h"
#include "content/XPaneComment.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/CTabProperties.h"
#include "frame/ServicesScope.h"
#include "platform/KeyCodes.h"
#include "platform/Presenter.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

class ScopedPresenter {
    ServicesScope m_services;

public:
    ScopedPresenter() { setPresenter(p); }
    std::shared_ptr<ScriptedPresenter> p = std::make_shared<ScriptedPresenter>();
};

struct Host {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::vector<std::string> events;

    Host() {
        form->moveTwips(0, 0, 9000, 5030);
        pane->moveTwips(0, 0, 9000, 5030);
        pane->TabClick.connect([this](std::int32_t t) { events.push_back("tab " + std::to_string(t)); });
        pane->KeyPress.connect([this](std::int16_t& k) { events.push_back("key " + std::to_string(k)); });
    }
    XTabStrip& strip() const { return pane->xtsTabStrip(); }
    XMsnSplit& split() const { return pane->xmsSplit(); }
    std::string focused() const {
        const Control* f = form->ActiveControl();
        return f ? f->Name() : "(none)";
    }
    bool key(std::int16_t code, std::int16_t shift = 0) { return form->sendKeyDown(code, shift); }
};

}  // namespace

TEST(TabStripKeys, ArrowsMoveAmongTheStackedTabsAndReportAsAClick) {
    XTabStrip strip;
    std::vector<std::string> got;
    strip.KeySelect.connect([&](std::int16_t i) { got.push_back("select " + std::to_string(i)); });
    strip.Click.connect([&] { got.push_back("click " + std::to_string(strip.Selected())); });
    ASSERT_TRUE(strip.SetFocus());

    EXPECT_TRUE(strip.sendKeyDown(vbKeyDown));
    EXPECT_TRUE(strip.sendKeyDown(vbKeyDown));
    EXPECT_TRUE(strip.sendKeyDown(vbKeyDown));  // the help tab is hidden: stays on 2
    EXPECT_EQ(strip.Selected(), 2);
    EXPECT_TRUE(strip.Tabs(2).Selected());
    EXPECT_EQ(strip.Tabs(2).zIndex(), static_cast<std::int32_t>(strip.Children().size()) - 1);
    EXPECT_TRUE(strip.sendKeyDown(vbKeyHome));
    EXPECT_TRUE(strip.sendKeyDown(vbKeyUp));  // already at the top
    EXPECT_EQ(got, (std::vector<std::string>{"select 1", "click 1", "select 2", "click 2", "select 0", "click 0"}));

    // Shown and added tabs join in; tabs marked hidden are passed over.
    strip.ShowTab(3, true);
    const std::int16_t added = strip.AddTab(CTabProperties{});
    strip.ShowTab(1, false);
    got.clear();
    strip.sendKeyDown(vbKeyDown);
    strip.sendKeyDown(vbKeyEnd);
    strip.sendKeyDown(vbKeyUp);
    EXPECT_EQ(got, (std::vector<std::string>{"select 2", "click 2", "select " + std::to_string(added),
                                             "click " + std::to_string(added), "select 3", "click 3"}));

    // Keys with Ctrl or Alt are not the strip's; typed keys are its KeyPress.
    EXPECT_FALSE(strip.sendKeyDown(vbKeyDown, vbCtrlMask));
    std::int16_t typed = 0;
    strip.KeyPress.connect([&](std::int16_t& k) { typed = k; });
    strip.sendKeyPress('x');
    EXPECT_EQ(typed, 'x');
}

TEST(ContentPaneKeys, TabGoesFromStripThroughThePageToTheSplitter) {
    ScopedPresenter sp;
    Host h;
    EXPECT_TRUE(h.key(vbKeyTab));
    EXPECT_EQ(h.focused(), "xtsTabStrip");
    EXPECT_TRUE(h.key(vbKeyTab));  // the procedure page shows no text box: on to the splitter
    EXPECT_EQ(h.focused(), "xmsSplit");

    // The comment tab chosen with the arrow keys activates its page and
    // tells the host as a click does.
    EXPECT_TRUE(h.key(vbKeyTab, vbShiftMask));
    EXPECT_TRUE(h.key(vbKeyDown));
    EXPECT_EQ(h.events, std::vector<std::string>{"tab 1"});
    auto comment = std::dynamic_pointer_cast<XPaneComment>(h.pane->activePage());
    ASSERT_NE(comment, nullptr);
    EXPECT_TRUE(comment->Visible());
    EXPECT_FALSE(h.pane->xpvProc().Visible());
    EXPECT_EQ(h.pane->BackColor(), h.strip().Tabs(1).SelColor());

    // The page created late still comes between strip and splitter.
    EXPECT_TRUE(h.key(vbKeyTab));
    EXPECT_EQ(h.form->ActiveControl(), &comment->txtComment());
    EXPECT_TRUE(h.key(vbKeyTab));
    EXPECT_EQ(h.focused(), "xmsSplit");
    EXPECT_TRUE(h.key(vbKeyTab));  // round to the strip
    EXPECT_EQ(h.focused(), "xtsTabStrip");

    // Typed keys on the strip reach the host through the pane.
    h.form->sendKeyPress('a');
    EXPECT_EQ(h.events.back(), "key 97");
}

TEST(ContentPaneKeys, TheSplitterMenuOpensFromTheKeyboardAtTheBar) {
    ScopedPresenter sp;
    Host h;
    ASSERT_TRUE(h.split().SetFocus());
    const std::pair<std::int16_t, std::int16_t> keys[] = {{vbKeyF10, vbShiftMask}, {vbKeyApps, 0}};
    sp.p->answerMenu(XTgContentPane::mnuSizeMaximize + 1);
    EXPECT_TRUE(h.key(keys[0].first, keys[0].second));
    EXPECT_EQ(h.pane->ResultViewState(), ervsMaximized);
    sp.p->answerMenu(XTgContentPane::mnuSizeUp + 1);
    EXPECT_TRUE(h.key(keys[1].first, keys[1].second));
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);
    h.key(vbKeyApps);  // dismissed: nothing changes
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);

    ASSERT_EQ(sp.p->menusShown.size(), 3u);
    EXPECT_EQ(sp.p->menusShown[0].menu.size(), 4u);
    EXPECT_EQ(sp.p->menusShown[0].menu[2].caption, "Maximize");
    // At the middle of the bar, in the pane's twips (whole twips, half to
    // even), as the mouse's menu is at the mouse.
    const auto& m = sp.p->menusShown[2];
    EXPECT_EQ(m.x, static_cast<std::int32_t>(std::nearbyint(h.split().Left() + h.split().Width() / 2.0)));
    EXPECT_EQ(m.y, h.split().Top() + XMsnSplit::kDesignHeight / 2);

    // Space toggles the bar as a click does.
    EXPECT_TRUE(h.key(vbKeySpace));
    EXPECT_EQ(h.pane->ResultViewState(), ervsNormal);
    EXPECT_TRUE(h.key(vbKeySpace));
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);
}

TEST(ContentPaneKeys, AnAutoHiddenStripOpensWhileItHasTheFocus) {
    ScopedPresenter sp;
    Host h;
    ASSERT_TRUE(h.key(vbKeyTab));
    ASSERT_EQ(h.focused(), "xtsTabStrip");
    sp.p->answerMenu(1);  // "Auto-hide", from the menu key
    EXPECT_TRUE(h.key(vbKeyApps));
    ASSERT_TRUE(h.pane->AutoHideTabs());
    ASSERT_EQ(sp.p->menusShown.size(), 1u);
    EXPECT_EQ(sp.p->menusShown[0].menu[0].caption, "Auto-hide");
    // The strip collapsed when the option came on; it still has the focus.
    EXPECT_EQ(h.strip().Width(), 60);

    // Leaving collapses it, coming back opens it with its tabs.
    h.key(vbKeyTab);
    EXPECT_EQ(h.focused(), "xmsSplit");
    EXPECT_EQ(h.strip().Width(), 60);
    h.key(vbKeyTab, vbShiftMask);
    EXPECT_EQ(h.focused(), "xtsTabStrip");
    EXPECT_EQ(h.strip().Width(), 510);
    EXPECT_TRUE(h.strip().Tabs(0).Visible());
    EXPECT_EQ(h.split().Left(), 510);
    // The arrows work on the opened strip.
    h.key(vbKeyDown);
    EXPECT_EQ(h.strip().Selected(), 1);
    EXPECT_EQ(h.events, std::vector<std::string>{"tab 1"});
    h.key(vbKeyTab);
    h.key(vbKeyTab);  // into the comment page's text, on to the splitter
    EXPECT_EQ(h.focused(), "xmsSplit");
    EXPECT_EQ(h.strip().Width(), 60);
    EXPECT_FALSE(h.strip().Tabs(1).Visible());
}
