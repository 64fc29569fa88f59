// The web navigation toolbar: its bar from the definition resource, its
// icons, the buttons it reports, its size and the sliding indicator.
#include <gtest/gtest.h>

#include <set>

#include "content/WebToolbarIcons.h"
#include "content/XWebToolbar.h"
#include "platform/EventLoop.h"
#include "platform/Line.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

class VirtualClock {
public:
    VirtualClock() : m_was(EventLoop::current().virtualClock()) { EventLoop::current().useVirtualClock(true); }
    ~VirtualClock() { EventLoop::current().useVirtualClock(m_was); }

private:
    bool m_was;
};

struct Clicks {
    std::vector<std::pair<std::int32_t, bool>> got;
    explicit Clicks(XWebToolbar& t) {
        t.ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool acc) { got.emplace_back(b->ID(), acc); });
    }
};

}  // namespace

TEST(WebToolbar, BarComesFromTheDefinitionWithFiveButtonsInOrder) {
    XWebToolbar t;
    ASSERT_NE(t.Bar(), nullptr);
    EXPECT_EQ(t.Bar()->Name(), "Procedure");
    EXPECT_EQ(t.Bar()->Position(), cbpTop);
    EXPECT_FALSE(t.CommandBarsControl().ActiveMenuBar()->Visible());
    EXPECT_EQ(t.Bar()->DockingFlags(), 33);
    EXPECT_NE(t.Bar()->WindowStyle() & cbwGripper, 0);
    EXPECT_FALSE(t.Bar()->Customizable());
    EXPECT_EQ(t.CommandBarsControl().VisualTheme(), 2);
    for (std::int32_t index : {5, 15, 30}) EXPECT_EQ(t.CommandBarsControl().SpecialColor(index), 0xF9DBC4u);

    const std::vector<std::pair<std::int32_t, std::string>> expected = {
        {101, "Back"}, {102, "Forward"}, {105, "Stop"}, {104, "Refresh"}, {103, "Home"}};
    ASSERT_EQ(t.Bar()->Controls().Count(), 5);
    for (std::int32_t i = 1; i <= 5; ++i) {
        auto c = t.Bar()->Controls().Item(i);
        EXPECT_EQ(c->Id(), expected[i - 1].first);
        EXPECT_EQ(c->Caption(), expected[i - 1].second);
        EXPECT_EQ(c->ToolTipText(), expected[i - 1].second);
        EXPECT_EQ(c->Enabled(), c->Id() > 102) << c->Id();
        EXPECT_NE(t.CommandBarsControl().Icons()->FindIcon(c->Id(), 16), nullptr);
    }
    // The control has the size of its bar.
    Rect r = t.Bar()->WindowRect();
    EXPECT_GT(r.width(), 0);
    EXPECT_EQ(t.Width(), Screen::toTwips(static_cast<std::int32_t>(r.width())));
    EXPECT_EQ(t.Height(), Screen::toTwips(static_cast<std::int32_t>(r.height())));
}

TEST(WebToolbar, IconsAreDrawnAndDifferFromEachOther) {
    std::set<std::vector<std::uint32_t>> seen;
    for (std::int32_t id : WebToolbarIcons::commandIds())
        for (std::int32_t size : WebToolbarIcons::sizes()) {
            Icon icon = WebToolbarIcons::draw(id, size);
            ASSERT_EQ(icon.width, size);
            ASSERT_EQ(icon.pixels.size(), static_cast<std::size_t>(size * size));
            std::size_t opaque = 0;
            for (auto p : icon.pixels) opaque += (p >> 24) == 0xFF;
            EXPECT_GT(opaque, icon.pixels.size() / 5) << id << " at " << size;
            EXPECT_LT(opaque, icon.pixels.size()) << id << " at " << size;
            if (size == 16) seen.insert(icon.pixels);
        }
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(WebToolbarIcons::draw(106, 16).width, 0);
}

TEST(WebToolbar, ButtonFindsOnlyItsOwnIdentifiersAndWrapsAnew) {
    XWebToolbar t;
    EXPECT_EQ(t.Button(999), nullptr);
    auto a = t.Button(104), b = t.Button(104);
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    a->setEnabled(false);
    EXPECT_FALSE(b->Enabled());
}

TEST(WebToolbar, ExecutedButtonsAreReportedOnlyWhenEnabled) {
    XWebToolbar t;
    Clicks clicks(t);
    t.Bar()->FindControl(0, 105)->Execute();
    t.Bar()->FindControl(0, 101)->Execute();  // disabled: nothing
    t.Button(101)->setEnabled(true);
    t.Bar()->FindControl(0, 101)->Execute();
    // A key binding executes a stand-in outside the bar: an accelerator.
    t.CommandBarsControl().KeyBindings().Add(0, 116, 104);
    EXPECT_TRUE(t.CommandBarsControl().pressKey(116, 0));
    EXPECT_EQ(clicks.got, (std::vector<std::pair<std::int32_t, bool>>{{105, false}, {101, false}, {104, true}}));
}

TEST(WebToolbar, IndicatorStartsAtTheLeftAndSlidesToAndFro) {
    VirtualClock clock;
    XWebToolbar t;
    // Wider than its bar, so the bar keeps its size and the control its width.
    t.moveTwips(0, 0, 3000, t.Height());
    ASSERT_EQ(t.ScaleWidth(), 3000);
    EXPECT_FALSE(t.ProgressBarVisible());
    t.ShowProgressBar(true);
    EXPECT_TRUE(t.ProgressBarVisible());
    EXPECT_TRUE(t.ProgressTimer().TimerEnabled());
    EXPECT_EQ(t.ProgressTimer().Interval(), 125);
    // The track starts 30 after the left edge and ends 60 before the right.
    EXPECT_EQ(t.ProgressFrame().X1(), 30);
    EXPECT_EQ(t.ProgressFrame().X2(), 2940);
    EXPECT_EQ(t.ProgressBar().X1(), 30);
    EXPECT_EQ(t.ProgressBar().X2(), 324);
    EXPECT_EQ(t.ProgressBar().BorderWidth(), 3);

    EventLoop::current().advance(125);
    EXPECT_EQ(t.ProgressBar().X1(), 75);
    EXPECT_EQ(t.ProgressBar().X2(), 366);  // a tenth of the track, 291
    // Travelling right until the far end is reached, then back.
    std::int32_t furthest = 0;
    for (int i = 0; i < 70; ++i) {
        EventLoop::current().advance(125);
        furthest = std::max(furthest, t.ProgressBar().X2());
    }
    EXPECT_GE(furthest, 2940);
    EXPECT_LT(furthest, 2940 + 45);
    EXPECT_EQ(t.Direction(), -1);
    EXPECT_LT(t.ProgressBar().X2(), furthest);

    t.ShowProgressBar(true);  // a restart begins at the left end again
    EXPECT_EQ(t.ProgressBar().X1(), 30);
    t.ShowProgressBar(false);
    EXPECT_FALSE(t.ProgressBarVisible());
    EXPECT_FALSE(t.ProgressTimer().TimerEnabled());
    const std::int32_t x = t.ProgressBar().X1();
    EventLoop::current().advance(1000);
    EXPECT_EQ(t.ProgressBar().X1(), x);
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
    EXPECT_EQ(t.Width(), Screen::toTwips(static_cast<std::int32_t>(t.Bar()->WindowRect().width())));
}

TEST(WebToolbar, BackColorIsStoredWithItsDefault) {
    XWebToolbar t;
    std::vector<std::string> changed;
    t.PropertyChangedEvent.connect([&](const std::string& k) { changed.push_back(k); });
    t.WriteProperties();
    EXPECT_FALSE(t.propertyBag().contains("BackColor"));
    t.setBackColor(0x00FF00);
    EXPECT_EQ(changed, std::vector<std::string>{"BackColor"});
    t.WriteProperties();
    XWebToolbar u;
    u.propertyBag() = t.propertyBag();
    u.ReadProperties();
    EXPECT_EQ(u.BackColor(), 0x00FF00u);
    EXPECT_EQ(u.ProgressBox().BackColor(), 0x00FF00u);
    // The bar keeps the colours it was built with.
    EXPECT_EQ(u.CommandBarsControl().SpecialColor(5), 0xF9DBC4u);
}
