// The tab strip at a device pixel ratio of 2: device-size tab pictures
// whose selection fill finds the whole body, and icons painted at device
// resolution inside their logical outline.
#include <gtest/gtest.h>

#include "content/XTab.h"
#include "content/XTabStrip.h"
#include "platform/Units.h"
#include "progress/XTransparentImage.h"

using namespace tavixTGCL2;

namespace {

// The selected tab's picture and its icon painted alone, at ratio r.
std::pair<Surface, Surface> selectedTab(double r) {
    Screen::setDevicePixelRatio(r);
    XTabStrip strip;
    strip.setSelected(1);
    const XTransparentImage& icon = strip.Tabs(0).icon();
    Surface painted(Screen::toDevice(Screen::toPixels(icon.widthTwips()), r),
                    Screen::toDevice(Screen::toPixels(icon.heightTwips()), r), 0);
    DC dc(&painted);
    dc.setDeviceScale(r);
    icon.paintOnParent(dc, 0, 0);
    Screen::setDevicePixelRatio(1.0);
    return {strip.Tabs(1).surface(), painted};
}

}  // namespace

TEST(TabStripScale, TabsAndIconsAtTwo) {
    const auto [tab1, icon1] = selectedTab(1.0);
    const auto [tab2, icon2] = selectedTab(2.0);
    ASSERT_EQ(tab2.width(), 2 * tab1.width());
    int tabMismatches = 0, outlineMismatches = 0, finer = 0;
    for (int y = 0; y < tab2.height(); ++y)
        for (int x = 0; x < tab2.width(); ++x) tabMismatches += tab2.pixel(x, y) != tab1.pixel(x / 2, y / 2);
    for (int y = 0; y < icon2.height(); ++y)
        for (int x = 0; x < icon2.width(); ++x) {
            const bool painted = icon2.pixel(x, y) >> 24;
            outlineMismatches += painted != static_cast<bool>(icon1.pixel(x / 2, y / 2) >> 24);
            finer += painted && icon2.pixel(x, y) != icon2.pixel(x & ~1, y & ~1);
        }
    EXPECT_EQ(tabMismatches, 0);      // pixel art, filled body included, in blocks
    EXPECT_EQ(outlineMismatches, 0);  // the icon's outline is the logical one...
    EXPECT_GT(finer, 0);              // ...its colours resampled, not blocks
}
