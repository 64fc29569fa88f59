// Drawing at a device pixel ratio: the device context maps logical
// coordinates to device pixels and picture boxes hold device-size surfaces.
// (Smooth resampling is checked through the icons and the tabs' icons.)
#include <gtest/gtest.h>

#include <set>

#include "platform/DC.h"
#include "platform/PictureBox.h"
#include "platform/Surface.h"
#include "platform/Units.h"

using namespace tavixTGCL2;

namespace {

constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kBlue = RGB(0, 0, 255);

// Operations whose pictures are rectangles: fills, edges, straight wide
// lines, single pixels, copies within the context.
Surface drawScene(double scale) {
    Surface s(Screen::toDevice(40, scale), Screen::toDevice(30, scale));
    DC dc(&s);
    dc.setDeviceScale(scale);
    dc.fillSolidRect({2, 3, 17, 11}, kRed);
    Rect edge{20, 2, 36, 14};
    dc.drawEdge(edge, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    Selected<Pen> pen(dc, Pen::solid(kBlue, 3));
    dc.moveTo(4, 20);
    dc.lineTo(30, 20);
    dc.setPixel(1, 28, RGB(0, 128, 0));
    dc.bitBlt(10, 24, 6, 4, &dc, 2, 3);
    return s;
}

}  // namespace

TEST(DeviceScale, RectanglesAtTwoAreTheOneTimesPictureInBlocksAndMeetAtOneAndAHalf) {
    const Surface one = drawScene(1.0);
    const Surface two = drawScene(2.0);
    ASSERT_EQ(two.width(), 80);
    int mismatches = 0;
    for (int y = 0; y < two.height(); ++y)
        for (int x = 0; x < two.width(); ++x) mismatches += two.pixel(x, y) != one.pixel(x / 2, y / 2);
    EXPECT_EQ(mismatches, 0);

    // Nine one-pixel columns at 1.5: one or two device pixels each, every
    // device column covered once, no gap left white.
    Surface s(Screen::toDevice(9, 1.5), 2);
    DC dc(&s);
    dc.setDeviceScale(1.5);
    for (int x = 0; x < 9; ++x) dc.fillSolidRect({x, 0, x + 1, 1}, x % 2 ? kBlue : kRed);
    for (int x = 0; x < 9; ++x) {
        const Rect d = dc.toDevice({x, 0, x + 1, 1});
        EXPECT_TRUE(d.width() == 1 || d.width() == 2);
        for (int dx = d.left; dx < d.right; ++dx) EXPECT_EQ(s.colorAt(dx, 0), x % 2 ? kBlue : kRed) << dx;
    }
    EXPECT_EQ(dc.toDevice({0, 0, 9, 1}).right, s.width());
}

TEST(DeviceScale, GradientHasOneColourPerDeviceRow) {
    for (const double scale : {2.0, 1.5}) {
        Surface s(4, Screen::toDevice(60, scale));
        DC dc(&s);
        dc.setDeviceScale(scale);
        TriVertex v[2] = {{0, 0, 0x0000, 0x0000, 0xFF00, 0}, {4, 60, 0xFF00, 0xFF00, 0x0000, 0}};
        const GradientRect mesh{0, 1};
        ASSERT_TRUE(dc.gradientFill(v, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
        std::set<Pixel> rows;
        for (int y = 0; y < s.height(); ++y) rows.insert(s.pixel(0, y));
        EXPECT_EQ(static_cast<int>(rows.size()), s.height()) << scale;
        EXPECT_EQ(s.colorAt(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(s.colorAt(0, s.height() - 1), RGB(255, 255, 0));
    }
}

TEST(DeviceScale, TextGrowsOnTheDeviceAndClipAndPixelsStayLogical) {
    auto ink = [](double scale, Size& extent) {
        Surface s(Screen::toDevice(60, scale), Screen::toDevice(20, scale));
        DC dc(&s);
        dc.setDeviceScale(scale);
        extent = dc.textExtent("Hg");
        Rect r{0, 0, 60, 20};
        dc.drawText("Hg", r, DT_LEFT | DT_TOP | DT_SINGLELINE);
        int rows = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.colorAt(x, y) == RGB(0, 0, 0)) {
                    ++rows;
                    break;
                }
        return rows;
    };
    Size one{}, two{};
    const int rows1 = ink(1.0, one);
    EXPECT_EQ(ink(2.0, two), 2 * rows1);
    EXPECT_EQ(one, two);  // the layout does not change
    Screen::setTextScale(1.5);
    Size larger{};
    ink(1.0, larger);
    Screen::setTextScale(1.0);
    EXPECT_GT(larger.cy, one.cy);

    Surface s(30, 30);
    DC dc(&s);
    dc.setDeviceScale(1.5);
    dc.selectClipRect({3, 3, 9, 9});
    EXPECT_EQ(dc.clipBox(), (Rect{3, 3, 9, 9}));
    dc.fillSolidRect({0, 0, 20, 20}, kRed);
    const Rect inside = dc.toDevice({3, 3, 9, 9});
    int wrong = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) wrong += (s.colorAt(x, y) == kRed) != inside.contains(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(dc.getPixel(8, 8), kRed);
    EXPECT_EQ(dc.getPixel(9, 8), CLR_INVALID);
}

TEST(DeviceScale, CopiesBetweenScalesAndPictureBoxSurfaces) {
    Surface small(4, 2);
    DC from(&small);
    from.fillSolidRect({2, 0, 4, 2}, kBlue);
    Surface big(8, 4);
    DC to(&big);
    to.setDeviceScale(2.0);
    ASSERT_TRUE(to.bitBlt(0, 0, 4, 2, &from, 0, 0));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(big.colorAt(x, 3), x < 4 ? RGB(255, 255, 255) : kBlue) << x;

    Screen::setDevicePixelRatio(2.0);
    auto box = std::make_shared<PictureBox>("pic");
    box->moveTwips(0, 0, Screen::toTwips(30), Screen::toTwips(12));
    EXPECT_EQ(box->clientRect(), (Rect{0, 0, 30, 12}));
    EXPECT_EQ(box->render().width(), 60);
    int paints = 0;
    box->Paint.connect([&] { ++paints; });
    Screen::setDevicePixelRatio(1.5);
    box->deviceScaleChanged();
    box->deviceScaleChanged();  // the second finds nothing to do
    Screen::setDevicePixelRatio(1.0);
    EXPECT_EQ(box->render().width(), 45);
    EXPECT_EQ(box->render().height(), 18);
    EXPECT_EQ(paints, 1);
}
