// The web navigation toolbar: its bar, icons, reported buttons, size and the
// sliding indicator.
#include <gtest/gtest.h>

#include <set>

#include "content/WebToolbarIcons.h"
#include "content/XWebToolbar.h"
#include "platform/EventLoop.h"
#include "platform/Line.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

TEST(WebToolbar, BarFromTheDefinitionWithFiveIconButtonsInOrder) {
    XWebToolbar t;
    ASSERT_NE(t.Bar(), nullptr);
    EXPECT_EQ(t.Bar()->Name(), "Procedure");
    EXPECT_FALSE(t.CommandBarsControl().ActiveMenuBar()->Visible());
    EXPECT_EQ(t.Bar()->DockingFlags(), 33);
    EXPECT_EQ(t.CommandBarsControl().SpecialColor(5), 0xF9DBC4u);
    const std::vector<std::pair<std::int32_t, std::string>> expected = {
        {101, "Back"}, {102, "Forward"}, {105, "Stop"}, {104, "Refresh"}, {103, "Home"}};
    std::set<std::vector<std::uint32_t>> icons;
    ASSERT_EQ(t.Bar()->Controls().Count(), 5);
    for (std::int32_t i = 1; i <= 5; ++i) {
        auto c = t.Bar()->Controls().Item(i);
        EXPECT_EQ(c->Id(), expected[i - 1].first);
        EXPECT_EQ(c->Caption(), expected[i - 1].second);
        EXPECT_EQ(c->Enabled(), c->Id() > 102) << c->Id();
        auto icon = t.CommandBarsControl().Icons()->FindIcon(c->Id(), 16);
        ASSERT_NE(icon, nullptr);
        std::size_t opaque = 0;
        for (auto p : icon->pixels) opaque += (p >> 24) == 0xFF;
        EXPECT_GT(opaque, icon->pixels.size() / 5) << c->Id();
        icons.insert(icon->pixels);
    }
    EXPECT_EQ(icons.size(), 5u);
    EXPECT_EQ(t.Width(), Screen::toTwips(static_cast<std::int32_t>(t.Bar()->WindowRect().width())));
    EXPECT_EQ(t.Button(999), nullptr);
    EXPECT_NE(t.Button(104), t.Button(104));  // a new wrapper each time
}

TEST(WebToolbar, OnlyEnabledButtonsAreReportedAndKeysAreAccelerators) {
    XWebToolbar t;
    std::vector<std::pair<std::int32_t, bool>> got;
    t.ButtonClick.connect([&](std::shared_ptr<CTgToolbarButton> b, bool acc) { got.emplace_back(b->ID(), acc); });
    t.Bar()->FindControl(0, 105)->Execute();
    t.Bar()->FindControl(0, 101)->Execute();  // disabled: nothing
    t.Button(101)->setEnabled(true);
    t.Bar()->FindControl(0, 101)->Execute();
    t.CommandBarsControl().KeyBindings().Add(0, 116, 104);
    t.CommandBarsControl().pressKey(116, 0);
    EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, bool>>{{105, false}, {101, false}, {104, true}}));
}

TEST(WebToolbar, ResizeOnlyWhenTheBarChangesSize) {
    XWebToolbar t;
    int resized = 0;
    t.Resize.connect([&] { ++resized; });
    const std::int32_t w = t.Width();
    t.CommandBarsControl().RecalcLayout();
    EXPECT_EQ(resized, 0);
    t.Bar()->FindControl(0, 103)->setVisible(false);
    t.CommandBarsControl().RecalcLayout();
    EXPECT_EQ(resized, 1);
    EXPECT_LT(t.Width(), w);
}

TEST(WebToolbar, IndicatorStartsAtTheLeftAndSlidesToAndFro) {
    const bool wasVirtual = EventLoop::current().virtualClock();
    EventLoop::current().useVirtualClock(true);
    XWebToolbar t;
    t.moveTwips(0, 0, 3000, t.Height());  // wider than its bar: the width stays
    t.ShowProgressBar(true);
    EXPECT_TRUE(t.ProgressBarVisible());
    // The track starts 30 after the left edge and ends 60 before the right.
    EXPECT_EQ(t.ProgressFrame().X1(), 30);
    EXPECT_EQ(t.ProgressFrame().X2(), 2940);
    EXPECT_EQ(t.ProgressBar().X1(), 30);
    EXPECT_EQ(t.ProgressBar().X2(), 324);
    EventLoop::current().advance(125);
    EXPECT_EQ(t.ProgressBar().X1(), 75);
    EXPECT_EQ(t.ProgressBar().X2(), 366);  // a tenth of the track, 291
    std::int32_t furthest = 0;
    for (int i = 0; i < 70; ++i) {
        EventLoop::current().advance(125);
        furthest = std::max(furthest, t.ProgressBar().X2());
    }
    EXPECT_GE(furthest, 2940);
    EXPECT_LT(furthest, 2940 + 45);
    EXPECT_EQ(t.Direction(), -1);
    t.ShowProgressBar(true);  // a restart begins at the left end again
    EXPECT_EQ(t.ProgressBar().X1(), 30);
    t.ShowProgressBar(false);
    EXPECT_FALSE(t.ProgressBarVisible());
    EventLoop::current().advance(1000);
    EXPECT_EQ(t.ProgressBar().X1(), 30);
    EventLoop::current().useVirtualClock(wasVirtual);
}

TEST(WebToolbar, BackColorIsStoredWithItsDefault) {
    XWebToolbar t;
    t.WriteProperties();
    EXPECT_FALSE(t.propertyBag().contains("BackColor"));
    t.setBackColor(0x00FF00);
    t.WriteProperties();
    XWebToolbar u;
    u.propertyBag() = t.propertyBag();
    u.ReadProperties();
    EXPECT_EQ(u.BackColor(), 0x00FF00u);
    EXPECT_EQ(u.ProgressBox().BackColor(), 0x00FF00u);
}
