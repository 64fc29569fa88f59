// The public progress control: value and animation states, caption and
// look at the next repaint, late binding, and where failures go.
#include <gtest/gtest.h>

#include "frame/HostServices.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

const ColorRef kHighlight = GetSysColor(COLOR_HIGHLIGHT);
constexpr ColorRef kWhite = RGB(255, 255, 255);

class ProgressControl : public ::testing::Test {
protected:
    void SetUp() override {
        HostServices::reset();
        setThemingEnabled(false);
        EventLoop::current().useVirtualClock(true);
        pb = std::make_shared<XTgProgressBar>("pbTest");
        pb->moveTwips(0, 0, Screen::toTwips(200), Screen::toTwips(20));
    }
    void TearDown() override {
        pb.reset();
        setThemingEnabled(true);
        HostServices::reset();
    }
    ColorRef at(int x, int y) const { return pb->render().colorAt(x, y); }
    std::pair<int, int> range() const { return {pb->renderer().BarStart(), pb->renderer().BarStop()}; }
    int inkCount(ColorRef c) const {
        int n = 0;
        for (int y = 1; y < 19; ++y)
            for (int x = 1; x < 199; ++x) n += at(x, y) == c;
        return n;
    }

    std::shared_ptr<XTgProgressBar> pb;
};

}  // namespace

TEST_F(ProgressControl, ValueIsClampedAndDrawnAtOnce) {
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XTgProgressBar"));
    EXPECT_EQ(pb->tmrAnimate().Interval(), 150);
    EXPECT_FALSE(pb->Animate());
    pb->setValue(120);
    EXPECT_EQ(pb->Value(), 100);
    EXPECT_EQ(at(197, 10), kHighlight);  // full bar: last chunk reaches the frame
    pb->setValue(-5);
    EXPECT_EQ(pb->Value(), 0);
    EXPECT_EQ(inkCount(kHighlight), 0);
    pb->setValue(50);  // inside the frame 198 wide: the bar ends at 100
    EXPECT_EQ(at(95, 10), kHighlight);
    EXPECT_EQ(at(101, 10), kWhite);
}

TEST_F(ProgressControl, AnimationCycleRestartAndStop) {
    auto& loop = EventLoop::current();
    pb->setValue(70);
    pb->setAnimate(true);
    EXPECT_EQ(range(), std::make_pair(0, 0));
    EXPECT_TRUE(pb->Animate());
    loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(0, 5));
    EXPECT_EQ(pb->Value(), 0);
    for (int i = 0; i < 23; ++i) loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(100, 100));
    loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(0, 5));
    loop.advance(450);
    EXPECT_EQ(range(), std::make_pair(0, 20));
    EXPECT_EQ(inkCount(kHighlight) > 0, true);

    // Animate again: back to (0, 0) and the cycle starts over at (0, 5).
    pb->setAnimate(true);
    loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(0, 5));
    pb->setAnimate(false);
    EXPECT_EQ(pb->Value(), 5);
    loop.advance(600);
    EXPECT_EQ(range(), std::make_pair(0, 5));

    // Value leaves the animated state.
    pb->setAnimate(true);
    pb->setValue(30);
    EXPECT_FALSE(pb->Animate());
    EXPECT_EQ(pb->Value(), 30);
}

TEST_F(ProgressControl, CaptionAndLookAppearAtTheNextRepaint) {
    pb->setValue(50);
    pb->setText("Half");
    EXPECT_TRUE(pb->renderer().ShowText());
    EXPECT_EQ(inkCount(RGB(0, 0, 0)), 0);  // not yet painted
    pb->Refresh();
    EXPECT_GT(inkCount(RGB(0, 0, 0)), 10);  // the part of the caption beside the bar
    pb->setText("");
    EXPECT_FALSE(pb->renderer().ShowText());
    pb->Refresh();
    EXPECT_EQ(inkCount(RGB(0, 0, 0)), 0);

    // The themed look when a theme is there; XpStyle False then Refresh
    // gives the flat segmented one.
    setThemingEnabled(true);
    pb->Refresh();
    EXPECT_EQ(inkCount(kHighlight), 0);
    pb->setXpStyle(false);
    EXPECT_EQ(inkCount(kHighlight), 0);
    pb->Refresh();
    EXPECT_EQ(at(5, 10), kHighlight);
    EXPECT_EQ(at(9, 10), kWhite);  // the first gap
}

TEST_F(ProgressControl, FailuresReachTheCallerOnlyFromAnimateAndValue) {
    HostServices::setUtilityFactory([] { return std::shared_ptr<IUtility>(); });
    EXPECT_THROW(pb->setValue(-1), Error);
    EXPECT_NO_THROW(pb->setValue(10));
    EXPECT_NO_THROW(pb->Refresh());

    // A font engine that fails makes the paint fail: passed on by Value,
    // contained by Refresh, resizing and the timer.
    class BrokenFonts : public FontEngine {
        TextMetrics metrics(const Font&) const override { throw Error("no fonts"); }
        Size measure(const Font&, std::string_view) const override { throw Error("no fonts"); }
        void draw(Surface&, const Rect&, std::int32_t, std::int32_t, const Font&, std::string_view,
                  ColorRef) const override {}
    };
    HostServices::reset();
    installFontEngine(std::make_shared<BrokenFonts>());
    pb->setXpStyle(false);
    pb->setText("caption");
    EXPECT_THROW(pb->setValue(20), Error);
    EXPECT_THROW(pb->setAnimate(true), Error);
    EXPECT_NO_THROW(pb->Refresh());
    EXPECT_NO_THROW(pb->moveTwips(0, 0, Screen::toTwips(120), Screen::toTwips(20)));
    installFontEngine(nullptr);
}

TEST_F(ProgressControl, LateBindingByNameAndDispatchNumber) {
    VariantList value{Variant(std::int16_t{42})};
    pb->invoke("Value", value);
    VariantList none;
    EXPECT_EQ(pb->invoke("#0x68030002", none).toInt32(), 42);
    pb->setProperty("#1745027075", true);  // Animate
    EXPECT_TRUE(pb->invoke("Animate", none).toBool());
    pb->setProperty("Text", "t");
    EXPECT_EQ(pb->invoke("#0x68030000", none).toString(), "t");
    EXPECT_NO_THROW(pb->invoke("Refresh", none));
    EXPECT_EQ(pb->invoke("Width", none).toInt32(), 3000);  // the container's members still answer
    EXPECT_THROW(pb->invoke("Bogus", none), Error);
}
