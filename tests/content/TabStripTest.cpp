// The tab strip and its tabs: selection with its restacking and body fill,
// showing and hiding, added tabs, mouse events and stored properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "content/XTab.h"
#include "content/XTabStrip.h"
#include "platform/Error.h"
#include "platform/PictureText.h"
#include "progress/XTransparentImage.h"
#include "resources/TextBitmap.h"

using namespace tavixTGCL2;

namespace {

ColorRef bodyColour(const XTab& tab) { return tab.surface().colorAt(16, 29); }

std::vector<std::int32_t> tops(const XTabStrip& s) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < s.TabCount(); ++i) out.push_back(s.Tabs(i).Top());
    return out;
}

// Back to front.
std::vector<std::int32_t> stacking(const XTabStrip& s) {
    std::vector<std::int32_t> idx;
    for (std::int32_t i = 0; i < s.TabCount(); ++i) idx.push_back(i);
    std::sort(idx.begin(), idx.end(), [&](auto a, auto b) { return s.Tabs(a).zIndex() < s.Tabs(b).zIndex(); });
    return idx;
}

// Counts what a toolkit would be told to redraw.
struct RedrawCounter : ControlObserver {
    int pictures = 0;
    void controlAdded(Control&, Control&) override {}
    void controlRemoved(Control&, Control&) override {}
    void controlChanged(Control&, Change what) override {
        if (what == Change::Picture || what == Change::ZOrder) ++pictures;
    }
    RedrawCounter() { Control::setObserver(this); }
    ~RedrawCounter() override { Control::setObserver(nullptr); }
};

PicturePtr solidPicture(Pixel p) { return Picture::bitmap(Surface(32, 34, p)); }

}  // namespace

TEST(TabStrip, CreationSelectsTheProcedureTabAndHidesHelp) {
    XTabStrip strip;
    ASSERT_EQ(strip.TabCount(), 4);
    EXPECT_EQ(strip.Selected(), 0);
    EXPECT_TRUE(strip.Tabs(0).Selected());
    EXPECT_EQ(bodyColour(strip.Tabs(0)), RGB(196, 219, 249));
    // The fill covers the whole body, up to the S-shaped lower edge.
    EXPECT_EQ(strip.Tabs(0).surface().colorAt(28, 2), RGB(196, 219, 249));
    EXPECT_EQ(strip.Tabs(0).surface().colorAt(30, 54), RGB(196, 219, 249));
    EXPECT_EQ(strip.Tabs(0).surface().colorAt(3, 54), RGB(1, 72, 178));
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(strip.Tabs(i).Selected());
        EXPECT_EQ(bodyColour(strip.Tabs(i)), RGB(90, 136, 205)) << i;
    }
    EXPECT_EQ(strip.Tabs(3).Tag.toString(), "-");
    EXPECT_FALSE(strip.Tabs(3).Visible());
    EXPECT_EQ(tops(strip), (std::vector<std::int32_t>{0, 720, 1440, 2160}));
    EXPECT_EQ(strip.Tabs(2).Left(), 30);
    // Icons: the selected form on the selected tab, pure red see-through.
    EXPECT_EQ(strip.Tabs(0).icon().Picture(), Resources::LoadResPicture(124));
    EXPECT_EQ(strip.Tabs(0).icon().MaskPicture(), Resources::LoadResPicture(124));
    EXPECT_EQ(strip.Tabs(1).icon().Picture(), Resources::LoadResPicture(121));
    EXPECT_EQ(strip.Tabs(1).MaskColor(), 0xFFu);
    EXPECT_EQ(strip.Tabs(2).SelColor(), 0xDFF7D6u);

    strip.ShowTabs(true);
    EXPECT_FALSE(strip.Tabs(3).Visible());
    strip.ShowTab(3, true);
    EXPECT_TRUE(strip.Tabs(3).Visible());
    EXPECT_EQ(strip.Tabs(3).Top(), 2160);
}

TEST(TabStrip, SelectionRestacksAndFillsTheNewBody) {
    XTabStrip strip;
    strip.setSelected(2);
    EXPECT_EQ(strip.Selected(), 2);
    EXPECT_FALSE(strip.Tabs(0).Selected());
    EXPECT_EQ(bodyColour(strip.Tabs(0)), RGB(90, 136, 205));
    EXPECT_EQ(bodyColour(strip.Tabs(2)), RGB(214, 247, 223));
    EXPECT_EQ(strip.Tabs(0).icon().Picture(), Resources::LoadResPicture(120));
    EXPECT_EQ(strip.Tabs(2).icon().Picture(), Resources::LoadResPicture(126));
    // The selected tab in front; the others each in front of the one below.
    EXPECT_EQ(stacking(strip), (std::vector<std::int32_t>{3, 1, 0, 2}));

    RedrawCounter redraws;
    strip.setSelected(2);
    EXPECT_EQ(redraws.pictures, 0);
    EXPECT_EQ(stacking(strip), (std::vector<std::int32_t>{3, 1, 0, 2}));
}

TEST(TabStrip, AnIndexWithoutATabLeavesTheSelectionExactlyAsItWas) {
    XTabStrip strip;
    strip.setSelected(1);
    const auto before = stacking(strip);
    int changed = 0;
    strip.PropertyChangedEvent.connect([&](const std::string&) { ++changed; });
    for (std::int16_t bad : {std::int16_t{4}, std::int16_t{-1}, std::int16_t{300}}) {
        strip.setSelected(bad);
        EXPECT_EQ(strip.Selected(), 1);
        EXPECT_TRUE(strip.Tabs(1).Selected()) << bad;
        EXPECT_EQ(bodyColour(strip.Tabs(1)), RGB(255, 255, 192));
        EXPECT_EQ(stacking(strip), before);
    }
    EXPECT_EQ(changed, 0);
    EXPECT_THROW(strip.Tabs(4), Error);
    EXPECT_THROW(strip.ShowTab(9, true), Error);
}

TEST(TabStrip, HidingAndShowingRestacksTheShownTabs) {
    XTabStrip strip;
    strip.ShowTab(3, true);
    strip.ShowTab(1, false);
    EXPECT_EQ(strip.Tabs(1).Tag.toString(), "/");
    EXPECT_FALSE(strip.Tabs(1).Visible());
    EXPECT_EQ(tops(strip), (std::vector<std::int32_t>{0, 720, 720, 1440}));  // tab 1 keeps its place, unseen
    strip.ShowTab(1, true);
    EXPECT_EQ(tops(strip), (std::vector<std::int32_t>{0, 720, 1440, 2160}));

    strip.ShowTab(2, false);
    strip.ShowTabs(false);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(strip.Tabs(i).Visible());
    strip.ShowTabs(true);
    EXPECT_TRUE(strip.Tabs(0).Visible());
    EXPECT_TRUE(strip.Tabs(1).Visible());
    EXPECT_FALSE(strip.Tabs(2).Visible());
    EXPECT_TRUE(strip.Tabs(3).Visible());
    EXPECT_EQ(strip.Selected(), 0);  // hiding never moves the selection
}

TEST(TabStrip, AddedTabTakesItsPropertiesAndGoesBelowTheShownOnes) {
    XTabStrip strip;
    CTabProperties props;
    props.Picture = solidPicture(0xFF00FF00);
    props.SelectedPicture = solidPicture(0xFF0000FF);
    props.MaskColor = 0xFF00FF;
    props.SelectedColor = 0x00C0FF;
    props.ToolTipText = "Oscilloscope";
    EXPECT_EQ(strip.AddTab(props), 4);
    XTab& tab = strip.Tabs(4);
    EXPECT_EQ(tab.Top(), 2160);  // the help tab is hidden
    EXPECT_TRUE(tab.Visible());
    EXPECT_EQ(tab.icon().Picture(), props.Picture);
    EXPECT_EQ(tab.MaskColor(), 0xFF00FFu);
    EXPECT_EQ(tab.ToolTipText(), "Oscilloscope");
    EXPECT_EQ(tab.icon().ToolTipText(), "Oscilloscope");
    EXPECT_EQ(stacking(strip).front(), 4);  // behind every other tab

    strip.setSelected(4);
    EXPECT_EQ(bodyColour(tab), RGB(255, 192, 0));
    EXPECT_EQ(tab.icon().Picture(), props.SelectedPicture);
    // A new colour on the selected tab shows at once.
    tab.setSelColor(0x808000);
    EXPECT_EQ(bodyColour(tab), RGB(0, 128, 128));
}

TEST(TabStrip, MouseDownSelectsOnTheLeftButtonAndReportsStripCoordinates) {
    XTabStrip strip;
    std::vector<std::vector<float>> downs;
    int clicks = 0;
    strip.MouseDown.connect([&](std::int16_t b, std::int16_t s, float x, float y) { downs.push_back({float(b), float(s), x, y}); });
    strip.Click.connect([&] { ++clicks; });

    strip.Tabs(2).doMouseDown(vbRightButton, 0, 100, 200);
    EXPECT_EQ(strip.Selected(), 0);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0], (std::vector<float>{2, 0, 130, 1640}));

    // On the icon of the tab at top 720: the white page is part of the icon.
    XTransparentImage& icon = strip.Tabs(1).icon();
    ASSERT_TRUE(icon.isOpaqueAt(12, 20));
    icon.doMouseDown(vbLeftButton, vbShiftMask, 187, 307);
    EXPECT_EQ(strip.Selected(), 1);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1], (std::vector<float>{1, 1, 187 + float(icon.Left()) + 30, 307 + float(icon.Top()) + 720}));
    icon.doClick();
    strip.Tabs(3).doClick();
    EXPECT_EQ(clicks, 2);

    // The strip's own background passes its values unchanged.
    int moves = 0;
    strip.MouseMove.connect([&](std::int16_t, std::int16_t, float x, float y) { moves += (x == 5 && y == 4000); });
    strip.doMouseMove(0, 0, 5, 4000);
    strip.doMouseDown(vbLeftButton, 0, 5, 4000);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(downs.back(), (std::vector<float>{1, 0, 5, 4000}));
    EXPECT_EQ(strip.Selected(), 1);
}

TEST(TabStrip, TabKeepsItsFixedSize) {
    XTab tab;
    tab.Move(30, 720, 900, 100);
    EXPECT_EQ(tab.Left(), 30);
    EXPECT_EQ(tab.Width(), 480);
    EXPECT_EQ(tab.Height(), 870);
}

TEST(TabStrip, StoredPropertiesRoundTripThroughTheTextForm) {
    XTab tab;
    tab.setPicture(Resources::LoadResPicture(122));
    tab.setSelPicture(solidPicture(0xFF102030));
    tab.setMaskColor(0x00FF00);
    tab.setSelColor(0x123456);
    tab.setToolTipText("DUT \"A\"\nline 2");
    tab.WriteProperties();
    PropertyBag back = PropertyBag::parse(tab.propertyBag().toText());

    XTab loaded;
    loaded.propertyBag() = back;
    loaded.ReadProperties();
    ASSERT_TRUE(loaded.Picture());
    EXPECT_EQ(loaded.Picture()->pixels(), Resources::LoadResPicture(122)->pixels());
    EXPECT_EQ(loaded.SelPicture()->pixels(), Surface(32, 34, 0xFF102030));
    EXPECT_EQ(loaded.MaskColor(), 0x00FF00u);
    EXPECT_EQ(loaded.SelColor(), 0x123456u);
    EXPECT_EQ(loaded.ToolTipText(), "DUT \"A\"\nline 2");
    EXPECT_EQ(loaded.icon().Picture()->pixels(), loaded.Picture()->pixels());

    // Defaults are not stored; an empty store gives the defaults.
    XTab plain;
    plain.WriteProperties();
    EXPECT_EQ(plain.propertyBag().size(), 0u);

    XTabStrip strip;
    strip.setSelected(2);
    strip.WriteProperties();
    XTabStrip again;
    again.propertyBag() = PropertyBag::parse(strip.propertyBag().toText());
    again.ReadProperties();
    EXPECT_EQ(again.Selected(), 2);
    EXPECT_EQ(bodyColour(again.Tabs(2)), RGB(214, 247, 223));
}
