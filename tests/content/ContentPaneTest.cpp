// The content pane's layout in its six states, the result-view events, the
// splitter's click and menu, tab activation, the procedure pane's geometry
// events, the stored properties and the window settings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "content/XMsnSplit.h"
#include "content/XPaneComment.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "content/XTgDetailsPane.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/ServicesScope.h"
#include "platform/PictureBox.h"
#include "platform/Presenter.h"
#include "progress/XTransparentImage.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

struct Rect4 {
    float l, t, w, h;
    friend bool operator==(const Rect4&, const Rect4&) = default;
};
std::ostream& operator<<(std::ostream& o, const Rect4& r) {
    return o << "(" << r.l << ", " << r.t << ", " << r.w << ", " << r.h << ")";
}

// A host form with the pane and a result view control beside it.
struct Host {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::shared_ptr<Control> results = form->create<Control>("ListView", "lvwResults");
    std::vector<Rect4> resize, position;

    Host() {
        form->moveTwips(0, 0, 9000, 5030);
        results->moveTwips(1, 2, 3, 4);
        pane->ResizeResultView.connect([this](float l, float t, float w, float h) { resize.push_back({l, t, w, h}); });
        pane->ResultViewPosition.connect([this](float l, float t, float w, float h) { position.push_back({l, t, w, h}); });
        pane->moveTwips(0, 0, 9000, 5030);
    }
    Rect4 placed(const Control& c) const {
        return {float(c.Left()), float(c.Top()), float(c.Width()), float(c.Height())};
    }
};

class ScopedPresenter {
    ServicesScope m_services;

public:
    ScopedPresenter() { setPresenter(p); }
    std::shared_ptr<ScriptedPresenter> p = std::make_shared<ScriptedPresenter>();
};

struct SilentTranslator : CatalogueTranslator {
    std::string Translate(const std::string&, const std::string&, const VariantList&) override { return {}; }
};

struct RecordingWindowSettings : IWindowSettings {
    std::vector<std::string> calls;
    void ApplySettings(Control& f) override { calls.push_back("apply " + f.Name()); }
    void StoreSettings(Control& f) override { calls.push_back("store " + f.Name()); }
};

}  // namespace

TEST(ContentPaneLayout, SplitterTopsOfTheSixStates) {
    Host h;
    ASSERT_EQ(h.pane->xmsSplit().Height(), 240);
    ASSERT_EQ(h.pane->shpTopFrame().Height(), 30);
    const std::int32_t expected[] = {3510, 1250, 0, 4790, 5030, -240};
    for (std::int32_t state = 0; state < 6; ++state) {
        h.pane->setResultViewState(state);
        EXPECT_EQ(h.pane->xmsSplit().Top(), expected[state]) << "state " << state;
        EXPECT_EQ(h.pane->xmsSplit().Left(), 495);
        EXPECT_EQ(h.pane->xmsSplit().Width(), 9000 - 495);
    }
    // The other parts follow the pane's size.
    EXPECT_EQ(h.placed(h.pane->xtsTabStrip()), (Rect4{0, 30, 495, 5000}));
    EXPECT_EQ(h.placed(h.pane->shpTopFrame()), (Rect4{0, 0, 9000, 30}));
    EXPECT_EQ(h.placed(h.pane->xtiTopRight()), (Rect4{9000 - 75, 30, 75, 75}));
}

TEST(ContentPaneLayout, ResultViewEventsWithoutAResultViewControl) {
    Host h;
    h.resize.clear();
    h.position.clear();
    h.pane->layout();
    ASSERT_EQ(h.resize.size(), 1u);
    ASSERT_EQ(h.position.size(), 1u);
    EXPECT_EQ(h.resize[0], (Rect4{495, 30, 8505, 5000}));
    EXPECT_EQ(h.position[0], (Rect4{495, 3750, 8505, 1280}));

    h.pane->setResultViewState(ervsMinimized);
    EXPECT_EQ(h.position.back(), (Rect4{495, 5030, 8505, 0}));
    EXPECT_EQ(h.resize.back(), (Rect4{495, 30, 8505, 5000}));
}

TEST(ContentPaneLayout, ResultViewEventsWithAResultViewControl) {
    Host h;
    h.pane->setResultView(h.results);
    EXPECT_EQ(h.resize.back(), (Rect4{495, 3750, 8505, 1280}));
    EXPECT_EQ(h.position.back(), (Rect4{495, 3750, 8505, 1280}));
    EXPECT_EQ(h.placed(*h.results), (Rect4{495, 3750, 8505, 1280}));
    EXPECT_EQ(h.results->zIndex(), 1);  // in front of the pane

    h.pane->setResultViewState(ervsMinimized);
    EXPECT_EQ(h.placed(*h.results), (Rect4{495, 5030, 8505, 0}));
    EXPECT_EQ(h.position.back().h, 0);

    // Below the visible area the height is negative: the control stays put
    // but is brought to the front all the same.
    h.results->ZOrder(1);
    h.pane->setResultViewState(ervsHideResults);
    EXPECT_EQ(h.position.back(), (Rect4{495, 5270, 8505, -240}));
    EXPECT_EQ(h.resize.back(), (Rect4{495, 5270, 8505, -240}));
    EXPECT_EQ(h.placed(*h.results), (Rect4{495, 5030, 8505, 0}));
    EXPECT_EQ(h.results->zIndex(), 1);

    h.pane->setResultViewState(ervsHideProcedure);
    EXPECT_EQ(h.placed(*h.results), (Rect4{495, 0, 8505, 5030}));
}

TEST(ContentPaneLayout, AStateOfSixIsStoredAndLeavesTheSplitterInPlace) {
    Host h;
    h.pane->setResultViewState(ervsLarge);
    h.resize.clear();
    h.position.clear();
    h.pane->setResultViewState(6);
    EXPECT_EQ(h.pane->ResultViewState(), 6);
    EXPECT_EQ(h.pane->xmsSplit().Top(), 1250);
    EXPECT_EQ(h.pane->xmsSplit().State(), 1);
    EXPECT_EQ(h.resize.size(), 1u);
    ASSERT_EQ(h.position.size(), 1u);
    EXPECT_EQ(h.position[0], (Rect4{495, 1490, 8505, 3540}));
    h.pane->moveTwips(0, 0, 6000, 3000);  // a resize keeps it there too
    EXPECT_EQ(h.pane->xmsSplit().Top(), 1250);
}

TEST(ContentPaneLayout, SettingTheCurrentStateDoesNothingAtAll) {
    Host h;
    std::vector<std::string> changed;
    h.pane->PropertyChangedEvent.connect([&](const std::string& k) { changed.push_back(k); });
    h.resize.clear();
    h.pane->setResultViewState(ervsNormal);
    EXPECT_TRUE(h.resize.empty());
    EXPECT_TRUE(changed.empty());
    h.pane->setResultViewState(ervsLarge);
    EXPECT_EQ(changed, (std::vector<std::string>{"ResultViewState"}));
    EXPECT_EQ(h.resize.size(), 1u);
}

TEST(ContentPaneLayout, HiddenStatesLeaveTheSplitterStateAlone) {
    Host h;
    h.pane->setResultViewState(ervsLarge);
    h.pane->setResultViewState(ervsHideResults);
    EXPECT_EQ(h.pane->xmsSplit().State(), 1);
    EXPECT_EQ(h.pane->xmsSplit().buttonPicture(), 102);
    h.pane->setResultViewState(ervsNormal);
    EXPECT_EQ(h.pane->xmsSplit().State(), 0);
    EXPECT_EQ(h.pane->xmsSplit().buttonPicture(), 101);
    h.pane->setResultViewState(ervsMaximized);
    EXPECT_EQ(h.pane->xmsSplit().State(), 2);
}

TEST(ContentPaneLayout, PageOfTheSelectedTabFillsTheAreaAboveTheSplitter) {
    Host h;
    XPaneProcedure& proc = h.pane->xpvProc();
    // 60 twips stay free at the right edge and above the splitter.
    EXPECT_EQ(h.placed(proc), (Rect4{615, 30, 9000 - 615 - 60, 3510 - 30 - 60}));
    h.pane->setResultViewState(ervsLarge);
    EXPECT_EQ(h.placed(proc), (Rect4{615, 30, 8325, 1250 - 90}));
    h.pane->setResultViewState(ervsMaximized);  // no room: the page keeps its place
    EXPECT_EQ(h.placed(proc), (Rect4{615, 30, 8325, 1160}));
    h.pane->setResultViewState(ervsHideProcedure);
    EXPECT_EQ(h.placed(proc), (Rect4{615, 30, 8325, 1160}));
}

TEST(ContentPaneSplitter, ClickTogglesTheStateAndBringsTheSplitterToTheFront) {
    Host h;
    XMsnSplit& split = h.pane->xmsSplit();
    h.pane->xpvProc().ZOrder(0);
    split.doClick();
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);
    EXPECT_EQ(split.Top(), 1250);
    EXPECT_EQ(split.zIndex(), static_cast<std::int32_t>(h.pane->Children().size()) - 1);
    split.caption().doClick();
    EXPECT_EQ(h.pane->ResultViewState(), ervsNormal);
    h.pane->setResultViewState(ervsMinimized);
    split.button().doClick();
    EXPECT_EQ(h.pane->ResultViewState(), ervsNormal);
}

TEST(ContentPaneSplitter, MenuItemsSetTheirStates) {
    ScopedPresenter sp;
    Host h;
    XMsnSplit& split = h.pane->xmsSplit();
    const std::pair<std::int32_t, std::int32_t> items[] = {
        {XTgContentPane::mnuSizeUp, ervsLarge},
        {XTgContentPane::mnuSizeMaximize, ervsMaximized},
        {XTgContentPane::mnuSizeDown, ervsNormal},
        {XTgContentPane::mnuSizeMinimize, ervsMinimized},
    };
    for (auto [item, state] : items) {
        sp.p->answerMenu(item + 1);
        split.doMouseDown(vbRightButton, 0, 100, 50);
        EXPECT_EQ(h.pane->ResultViewState(), state) << "item " << item;
    }
    ASSERT_EQ(sp.p->menusShown.size(), 4u);
    const auto& menu = sp.p->menusShown[0].menu;
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0].caption, "Up");
    EXPECT_EQ(menu[1].caption, "Down");
    EXPECT_EQ(menu[2].caption, "Maximize");
    EXPECT_EQ(menu[3].caption, "Minimize");
    EXPECT_EQ(sp.p->menusShown[0].x, 495 + 100);
    // Each menu checks the entry of the layout it was opened in: Normal
    // ("Down"), then Large ("Up"), Maximized, Normal again.
    const int checkedEntry[] = {1, 0, 2, 1};
    for (std::size_t shown = 0; shown < 4; ++shown)
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(sp.p->menusShown[shown].menu[i].checked, static_cast<int>(i) == checkedEntry[shown])
                << "menu " << shown << " entry " << i;

    split.doMouseDown(vbRightButton, 0, 1, 1);  // dismissed
    EXPECT_EQ(h.pane->ResultViewState(), ervsMinimized);
    split.doMouseDown(vbLeftButton, 0, 1, 1);
    EXPECT_EQ(sp.p->menusShown.size(), 5u);
}

TEST(ContentPaneSplitter, MouseMoveOverTheSplitterCollapsesAnAutoHiddenStrip) {
    ScopedPresenter sp;
    Host h;
    XTabStrip& strip = h.pane->xtsTabStrip();
    h.pane->xmsSplit().doMouseMove(0, 0, 10, 10);
    EXPECT_EQ(strip.Width(), 495);  // auto-hide is off

    sp.p->answerMenu(1);  // "Auto-hide"
    strip.doMouseDown(vbRightButton, 0, 10, 4000);
    EXPECT_TRUE(h.pane->AutoHideTabs());
    EXPECT_EQ(strip.Width(), 60);
    EXPECT_FALSE(strip.Tabs(0).Visible());
    EXPECT_EQ(h.pane->xmsSplit().Left(), 60);

    strip.doMouseMove(0, 0, 10, 4000);
    EXPECT_EQ(strip.Width(), 510);
    EXPECT_TRUE(strip.Tabs(0).Visible());
    EXPECT_EQ(h.pane->xmsSplit().Left(), 510);
    h.pane->xmsSplit().caption().doMouseMove(0, 0, 1, 1);
    EXPECT_EQ(strip.Width(), 60);
    EXPECT_FALSE(strip.Tabs(1).Visible());
}

TEST(ContentPaneTabs, ActivatingAPageLeavesTheMaximisedState) {
    Host h;
    auto help = h.form->create<Control>("PictureBox", "picHelp");
    h.pane->setHelpPageControl(help);
    EXPECT_TRUE(h.pane->xtsTabStrip().Tabs(3).Visible());
    h.pane->setResultViewState(ervsMaximized);
    std::vector<std::int16_t> requested;
    h.pane->RequestPage.connect([&](std::int16_t i, ObjectPtr&) { requested.push_back(i); });
    h.pane->SelectTab(etgHelpTab);
    EXPECT_EQ(h.pane->ResultViewState(), ervsNormal);
    EXPECT_EQ(requested, (std::vector<std::int16_t>{3}));
    EXPECT_EQ(h.pane->activePage(), help);
    EXPECT_TRUE(help->Visible());
    EXPECT_FALSE(h.pane->xpvProc().Visible());
    EXPECT_EQ(h.pane->BackColor(), 0xF0F0F0u);  // the help tab's colour shows round the page
    EXPECT_EQ(help->Tag.toString(), "3");
    EXPECT_EQ(h.placed(*help), (Rect4{615, 30, 8325, 3420}));

    // Removing the help page hides its tab and goes back to the procedure.
    h.pane->setHelpPageControl(nullptr);
    EXPECT_FALSE(h.pane->xtsTabStrip().Tabs(3).Visible());
    EXPECT_EQ(h.pane->xtsTabStrip().Selected(), 0);
    EXPECT_EQ(h.pane->activePage(), h.pane->page("::0"));
    EXPECT_EQ(h.pane->BackColor(), 0xF9DBC4u);
}

TEST(ContentPaneTabs, LeftClickOnATabReportsTheDetailsViewOnlyForTheProcedureTab) {
    Host h;
    auto details = h.form->create<Control>("UserControl", "ucDetails");
    details->moveTwips(0, 0, 2000, 1000);
    h.pane->setTestDetailsView(details);
    ASSERT_TRUE(h.pane->xpvProc().details().Expanded());
    std::vector<std::string> got;
    h.pane->ResizePanProcedure.connect([&](std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy, bool e) {
        got.push_back("pan " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(dx) + " " +
                      std::to_string(dy) + (e ? " expanded" : " collapsed"));
    });
    h.pane->TabClick.connect([&](std::int32_t t) { got.push_back("tab " + std::to_string(t)); });

    h.pane->xtsTabStrip().Tabs(1).doMouseDown(vbLeftButton, 0, 10, 10);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].substr(got[0].size() - 9), "collapsed");
    EXPECT_EQ(got[1], "tab 1");

    got.clear();
    h.pane->xtsTabStrip().Tabs(0).doMouseDown(vbLeftButton, 0, 10, 10);
    ASSERT_EQ(got.size(), 2u);
    // The details view lies over the details pane's client area.
    const XTgDetailsPane& dp = h.pane->xpvProc().details();
    EXPECT_EQ(details->Width(), 2000);
    EXPECT_EQ(details->Left(), h.pane->xpvProc().Left() + dp.Left() + 15);
    EXPECT_EQ(details->Height(), dp.Height() - 30);
    const std::string rect = std::to_string(details->Left()) + " " + std::to_string(details->Top()) + " 2000 " +
                             std::to_string(details->Height());
    EXPECT_EQ(got[0], "pan " + rect + " expanded");
    EXPECT_EQ(got[1], "tab 0");
}

TEST(ContentPaneTabs, ProcedurePaneEventsReachTheHostInPaneCoordinates) {
    Host h;
    std::vector<float> rtf;
    h.pane->ResizeRTFPane.connect([&](float& x, float& y, float& dx, float& dy) {
        rtf = {x, y, dx, dy};
        x = 9999;  // not taken back
        y += 100;
        dx = 1000;
        dy = 500;
    });
    std::string proc = "Measure.";
    h.pane->Content().SetProcedure(0, proc);
    XPaneProcedure& p = h.pane->xpvProc();
    ASSERT_EQ(rtf.size(), 4u);
    EXPECT_EQ(rtf[0], 615);  // 0 in the procedure pane, plus its left
    EXPECT_EQ(rtf[2], float(p.Width()));
    ASSERT_NE(p.procedureView(), nullptr);
    EXPECT_EQ(p.procedureView()->Left(), 0);
    EXPECT_EQ(p.procedureView()->Top(), int(rtf[1]) + 100);
    EXPECT_EQ(p.procedureView()->Width(), 1000);
    EXPECT_EQ(p.procedureView()->Height(), 500);
}

TEST(ContentPaneStore, NothingStoredGivesTheDefaults) {
    Host h;
    EXPECT_EQ(h.pane->ResultViewState(), ervsNormal);
    EXPECT_EQ(h.pane->shpTopFrame().Height(), 30);
    EXPECT_EQ(h.pane->SplitterCaption(), "Test results");
    h.pane->WriteProperties();
    EXPECT_EQ(h.pane->propertyBag().toText().find("TopMargin"), std::string::npos);
    EXPECT_FALSE(h.pane->propertyBag().contains("ResultViewState"));

    ServicesScope services;
    HostServices::setTranslatorFactory([] { return std::make_shared<SilentTranslator>(); });
    XTgContentPane silent;
    EXPECT_EQ(silent.SplitterCaption(), "");  // no fallback here
}

TEST(ContentPaneStore, StoredPropertiesRoundTripThroughTheTextForm) {
    Host h;
    h.pane->setResultViewState(ervsLarge);
    h.pane->setResultViewState(ervsHideResults);
    h.pane->setSplitterCaption("3523::Ergebnisse");  // shown and stored as it is
    h.pane->WriteProperties();
    h.pane->propertyBag().WriteProperty("TopMargin", 0.0f, 30.0f);
    const std::string text = h.pane->propertyBag().toText();

    Host g;
    g.pane->xmsSplit().setState(3);
    g.pane->propertyBag() = PropertyBag::parse(text);
    g.pane->ReadProperties();
    EXPECT_EQ(g.pane->ResultViewState(), ervsHideResults);
    EXPECT_EQ(g.pane->xmsSplit().Top(), 5030);
    EXPECT_EQ(g.pane->xmsSplit().State(), 3);  // a hidden state leaves it alone
    EXPECT_EQ(g.pane->SplitterCaption(), "3523::Ergebnisse");
    // Without the band the strip, the corner and the page start at the top.
    EXPECT_EQ(g.pane->xtsTabStrip().Top(), 0);
    EXPECT_EQ(g.pane->xtiTopRight().Top(), 0);
    EXPECT_EQ(g.pane->xpvProc().Top(), 0);
    EXPECT_EQ(g.resize.back(), (Rect4{495, 0, 8505, 5030}));
}

TEST(ContentPaneHost, WindowSettingsGoThroughTheSetupGivenToInitialize) {
    Host h;
    auto ws = std::make_shared<RecordingWindowSettings>();
    h.pane->ApplyWindowSettings(*h.form);
    EXPECT_TRUE(ws->calls.empty());

    auto plain = std::make_shared<SimpleTestSetup>(std::make_shared<SimpleDutInfo>(), nullptr);
    h.pane->Initialize(nullptr, plain);
    h.pane->ApplyWindowSettings(*h.form);  // no second view: nothing

    auto setup = std::make_shared<SimpleTestSetup>(std::make_shared<SimpleDutInfo>(), nullptr);
    setup->setSecondView(ws, false);
    h.pane->Initialize(nullptr, setup);
    h.pane->ApplyWindowSettings(*h.form);
    h.pane->StoreWindowSettings(*h.form);
    EXPECT_EQ(ws->calls, (std::vector<std::string>{"apply frmRun", "store frmRun"}));
    EXPECT_TRUE(h.pane->xtsTabStrip().Tabs(2).Visible());

    h.pane->Initialize(nullptr, nullptr);  // no setup: no DUT tab
    EXPECT_FALSE(h.pane->xtsTabStrip().Tabs(2).Visible());
}

TEST(ContentPaneHost, LateBindingByNameAndDispatchIdentifier) {
    Host h;
    std::vector<std::string> changed;
    h.pane->PropertyChangedEvent.connect([&](const std::string& k) { changed.push_back(k); });
    h.pane->setProperty("#0x68030006", 1);
    EXPECT_EQ(h.pane->ResultViewState(), ervsLarge);
    h.pane->setProperty("SplitterCaption", "Results");
    EXPECT_EQ(h.pane->getProperty("#0x68030005").toString(), "Results");
    EXPECT_EQ(changed, (std::vector<std::string>{"ResultViewState", "SplitterCaption"}));
    h.pane->setProperty("#0x68030003", ObjectPtr(h.results));
    EXPECT_EQ(h.placed(*h.results), (Rect4{495, 1490, 8505, 3540}));
    VariantList args{std::int32_t{1}, false};
    h.pane->invoke("#0x6003000E", args);  // ShowTab
    EXPECT_FALSE(h.pane->xtsTabStrip().Tabs(1).Visible());
    // A host control that refuses "Move" costs the pass nothing.
    h.pane->setResultView(std::make_shared<Object>());
    EXPECT_EQ(h.position.back(), (Rect4{495, 1490, 8505, 3540}));
}

TEST(ContentPaneHost, OperatorCommentIsWhatTheCommentTabShows) {
    Host h;
    h.pane->Content().setComment("set by the host");
    EXPECT_EQ(h.pane->OperatorComment(), "set by the host");  // page not made yet

    int changes = 0;
    h.pane->CommentChange.connect([&] { ++changes; });
    h.pane->SelectTab(etgCommentTab);
    auto* page = dynamic_cast<XPaneComment*>(h.pane->activePage().get());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(h.pane->OperatorComment(), "set by the host");
    ASSERT_TRUE(page->txtComment().typeText("typed by the operator"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(h.pane->OperatorComment(), "typed by the operator");
    EXPECT_EQ(h.pane->Content().Comment(), "set by the host");  // as the contract says
}

TEST(ContentPaneHost, ProceduresTakeLiteralsAndNamedFormats) {
    Host h;
    h.pane->Content().SetProcedure(etgProcPlainText, "Connect the probe.");
    XPaneProcedure& p = h.pane->xpvProc();
    EXPECT_EQ(p.textView().Text(), "Connect the probe.");
    EXPECT_TRUE(p.textView().Visible());
    h.pane->Content().SetProcedure(etgProcRichText, std::string("{\\rtf1 Rich}"));
    EXPECT_FALSE(p.textView().Visible());
    ASSERT_NE(p.procedureView(), nullptr);
    EXPECT_EQ(p.procedureView()->ClassName(), "tavixView.XRichEdit");
}
