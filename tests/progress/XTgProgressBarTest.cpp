// The public progress control: value and animation states, caption and
// look at the next repaint, late binding, and where failures go.
#include <gtest/gtest.h>

#include "frame/HostServices.h"
#include "frame/ServicesScope.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

const ColorRef kHighlight = GetSysColor(COLOR_HIGHLIGHT);

class ProgressControl : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        HostServices::reset();
        setThemingEnabled(false);
        EventLoop::current().useVirtualClock(true);
        pb->moveTwips(0, 0, Screen::toTwips(200), Screen::toTwips(20));
    }
    ColorRef at(int x, int y) const { return pb->render().colorAt(x, y); }
    std::pair<int, int> range() const { return {pb->renderer().BarStart(), pb->renderer().BarStop()}; }
    int count(ColorRef c) const {  // along the middle row, inside the frame
        int n = 0;
        for (int x = 1; x < 199; ++x) n += at(x, 10) == c;
        return n;
    }

    std::shared_ptr<XTgProgressBar> pb = std::make_shared<XTgProgressBar>("pbTest");
};

}  // namespace

TEST_F(ProgressControl, ValueAndAnimationStates) {
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XTgProgressBar"));
    pb->setValue(120);
    EXPECT_EQ(pb->Value(), 100);
    EXPECT_EQ(at(197, 10), kHighlight);  // a full bar reaches the frame
    pb->setValue(-5);
    EXPECT_EQ(pb->Value(), 0);
    EXPECT_EQ(count(kHighlight), 0);

    // The cycle itself is the status bar's (tested there); here its states.
    auto& loop = EventLoop::current();
    pb->setAnimate(true);
    loop.advance(150 * 25);
    EXPECT_EQ(range(), std::make_pair(0, 5));  // wrapped after (100, 100)
    EXPECT_EQ(pb->Value(), 0);
    pb->setAnimate(true);  // again: restarts from (0, 0)
    EXPECT_EQ(range(), std::make_pair(0, 0));
    loop.advance(300);
    pb->setAnimate(false);  // stops where it is
    loop.advance(600);
    EXPECT_EQ(pb->Value(), 10);
    pb->setAnimate(true);
    pb->setValue(30);  // leaves the animated state
    EXPECT_FALSE(pb->Animate());
    EXPECT_EQ(pb->Value(), 30);
}

TEST_F(ProgressControl, CaptionAndLookAppearAtTheNextRepaint) {
    pb->setValue(50);
    pb->setText("Half");
    EXPECT_EQ(count(RGB(0, 0, 0)), 0);  // not yet painted
    pb->Refresh();
    EXPECT_GT(count(RGB(0, 0, 0)), 0);  // the part of the caption beside the bar
    pb->setText("");
    setThemingEnabled(true);
    pb->Refresh();
    EXPECT_EQ(count(kHighlight), 0);  // themed
    pb->setXpStyle(false);
    pb->Refresh();
    EXPECT_EQ(at(5, 10), kHighlight);
    EXPECT_EQ(at(9, 10), RGB(255, 255, 255));  // the first gap
}

TEST_F(ProgressControl, FailuresReachTheCallerOnlyFromAnimateAndValue) {
    HostServices::setUtilityFactory([] { return std::shared_ptr<IUtility>(); });
    EXPECT_THROW(pb->setValue(-1), Error);
    EXPECT_NO_THROW(pb->setValue(10));

    // Fonts that fail make the captioned paint fail: passed on by Value and
    // Animate, contained by Refresh, resizing and the timer.
    class BrokenFonts : public FontEngine {
        TextMetrics metrics(const Font&) const override { throw Error("no fonts"); }
        Size measure(const Font&, std::string_view) const override { throw Error("no fonts"); }
        void draw(Surface&, const Rect&, std::int32_t, std::int32_t, const Font&, std::string_view,
                  ColorRef) const override {}
    };
    installFontEngine(std::make_shared<BrokenFonts>());
    pb->setXpStyle(false);  // with the theme attempted, failing steps are skipped
    pb->setText("caption");
    EXPECT_THROW(pb->setValue(20), Error);
    EXPECT_THROW(pb->setAnimate(true), Error);
    EXPECT_NO_THROW(pb->Refresh());
    EXPECT_NO_THROW(pb->moveTwips(0, 0, Screen::toTwips(120), Screen::toTwips(20)));
}

TEST_F(ProgressControl, LateBindingByNameAndDispatchNumber) {
    VariantList none;
    pb->setProperty("#1745027075", true);  // Animate
    EXPECT_TRUE(pb->invoke("Animate", none).toBool());
    pb->setProperty("Text", "t");
    EXPECT_EQ(pb->invoke("#0x68030000", none).toString(), "t");
    EXPECT_EQ(pb->invoke("Width", none).toInt32(), 3000);  // the container's members still answer
}
