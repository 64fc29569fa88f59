// Drawing at a device pixel ratio: the device context maps logical
// coordinates to device pixels, picture boxes hold device-size surfaces, and
// pictures are resampled smoothly.
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
constexpr Pixel kWhitePixel = 0xFFFFFFFFu;

// Puts the process-wide ratio back whatever a test does.
struct RatioScope {
    explicit RatioScope(double r) { Screen::setDevicePixelRatio(r); }
    ~RatioScope() { Screen::setDevicePixelRatio(1.0); }
};

// The same drawing, made of operations whose pictures are rectangles
// (fills, edges, straight lines, single pixels, copies), on a context of
// the given scale.
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
    dc.moveTo(36, 16);
    dc.lineTo(36, 28);
    dc.setPixel(1, 28, RGB(0, 128, 0));
    dc.bitBlt(10, 24, 6, 4, &dc, 2, 3);  // a piece of the red fill
    return s;
}

}  // namespace

TEST(DeviceScale, RectangleDrawingAtTwoIsTheOneTimesPictureInBlocks) {
    const Surface one = drawScene(1.0);
    const Surface two = drawScene(2.0);
    ASSERT_EQ(two.width(), 80);
    ASSERT_EQ(two.height(), 60);
    int mismatches = 0;
    for (int y = 0; y < two.height(); ++y)
        for (int x = 0; x < two.width(); ++x) mismatches += two.pixel(x, y) != one.pixel(x / 2, y / 2);
    EXPECT_EQ(mismatches, 0);
}

TEST(DeviceScale, FillsAtOneAndAHalfCoverTheMappedRectangleWithoutSeams) {
    Surface s(Screen::toDevice(9, 1.5), 3);
    DC dc(&s);
    dc.setDeviceScale(1.5);
    // Nine one-pixel columns in two colours: at 1.5 each is one or two
    // device pixels wide, and together they must cover every device column
    // exactly once.
    for (int x = 0; x < 9; ++x) dc.fillSolidRect({x, 0, x + 1, 2}, x % 2 ? kBlue : kRed);
    int widths[9] = {};
    for (int x = 0; x < 9; ++x) {
        const Rect d = dc.toDevice({x, 0, x + 1, 2});
        widths[x] = static_cast<int>(d.width());
        for (int dx = d.left; dx < d.right; ++dx) EXPECT_EQ(s.colorAt(dx, 0), x % 2 ? kBlue : kRed) << dx;
    }
    int total = 0;
    for (int w : widths) {
        EXPECT_TRUE(w == 1 || w == 2);
        total += w;
    }
    EXPECT_EQ(total, s.width());
    for (int dx = 0; dx < s.width(); ++dx) EXPECT_NE(s.pixel(dx, 0), kWhitePixel) << "gap at " << dx;
}

TEST(DeviceScale, GradientHasOneColourPerDeviceRow) {
    for (const double scale : {2.0, 1.5}) {
        Surface s(Screen::toDevice(10, scale), Screen::toDevice(60, scale));
        DC dc(&s);
        dc.setDeviceScale(scale);
        TriVertex v[2];
        v[0] = {0, 0, 0x0000, 0x0000, 0xFF00, 0};
        v[1] = {10, 60, 0xFF00, 0xFF00, 0x0000, 0};
        const GradientRect mesh{0, 1};
        ASSERT_TRUE(dc.gradientFill(v, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
        std::set<Pixel> rows;
        for (int y = 0; y < s.height(); ++y) {
            rows.insert(s.pixel(0, y));
            EXPECT_EQ(s.pixel(s.width() - 1, y), s.pixel(0, y));
        }
        // Every device row its own step of the ramp, not a logical row's
        // colour repeated.
        EXPECT_EQ(static_cast<int>(rows.size()), s.height()) << scale;
        EXPECT_EQ(s.colorAt(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(s.colorAt(0, s.height() - 1), RGB(255, 255, 0));
    }
}

TEST(DeviceScale, TextIsDrawnLargerButMeasuresInLogicalPixels) {
    auto inkHeight = [](double scale, Size& extent) {
        Surface s(Screen::toDevice(60, scale), Screen::toDevice(20, scale));
        DC dc(&s);
        dc.setDeviceScale(scale);
        dc.setBkMode(TRANSPARENT);
        extent = dc.textExtent("Hg");
        Rect r{0, 0, 60, 20};
        dc.drawText("Hg", r, DT_LEFT | DT_TOP | DT_SINGLELINE);
        int top = s.height(), bottom = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.pixel(x, y) != kWhitePixel) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        return bottom - top;
    };
    Size one{}, two{};
    const int h1 = inkHeight(1.0, one);
    const int h2 = inkHeight(2.0, two);
    ASSERT_GT(h1, 0);
    EXPECT_EQ(h2, 2 * h1);  // the built-in font's design scaled by 2
    EXPECT_EQ(one, two);     // layout does not change with the scale

    // The desktop's text scale grows the logical extent as well.
    Screen::setTextScale(1.5);
    Surface s(60, 20);
    DC dc(&s);
    const Size bigger = dc.textExtent("Hg");
    Screen::setTextScale(1.0);
    EXPECT_GT(bigger.cy, one.cy);
}

TEST(DeviceScale, ClipAndPixelsAreLogical) {
    Surface s(Screen::toDevice(20, 1.5), Screen::toDevice(20, 1.5));
    DC dc(&s);
    dc.setDeviceScale(1.5);
    EXPECT_EQ(dc.clipBox(), (Rect{0, 0, 20, 20}));
    dc.selectClipRect({3, 3, 9, 9});
    EXPECT_EQ(dc.clipBox(), (Rect{3, 3, 9, 9}));
    dc.fillSolidRect({0, 0, 20, 20}, kRed);
    const Rect inside = dc.toDevice({3, 3, 9, 9});
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) EXPECT_EQ(s.colorAt(x, y) == kRed, inside.contains(x, y)) << x << "," << y;
    EXPECT_EQ(dc.getPixel(5, 5), kRed);
    EXPECT_EQ(dc.getPixel(10, 10), CLR_INVALID);
    EXPECT_TRUE(dc.ptVisible(8, 8));
    EXPECT_FALSE(dc.ptVisible(9, 8));
}

TEST(DeviceScale, CopiesBetweenScalesAreScaled) {
    Surface small(4, 2);
    DC from(&small);
    from.fillSolidRect({0, 0, 2, 2}, kRed);
    from.fillSolidRect({2, 0, 4, 2}, kBlue);
    Surface big(8, 4);
    DC to(&big);
    to.setDeviceScale(2.0);
    ASSERT_TRUE(to.bitBlt(0, 0, 4, 2, &from, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(big.colorAt(x, y), x < 4 ? kRed : kBlue) << x << "," << y;
    // And back down: every other device pixel.
    Surface back(4, 2);
    DC down(&back);
    ASSERT_TRUE(down.bitBlt(0, 0, 4, 2, &to, 0, 0));
    EXPECT_EQ(back, small);
}

TEST(DeviceScale, PictureBoxHoldsADeviceSizeSurface) {
    RatioScope ratio(2.0);
    auto box = std::make_shared<PictureBox>("pic");
    box->setAutoRedraw(true);
    box->moveTwips(0, 0, Screen::toTwips(30), Screen::toTwips(12));
    EXPECT_EQ(box->pixelWidth(), 30);
    EXPECT_EQ(box->clientRect(), (Rect{0, 0, 30, 12}));
    EXPECT_EQ(box->render().width(), 60);
    EXPECT_EQ(box->render().height(), 24);
    box->hDC()->fillSolidRect(box->clientRect(), kRed);
    EXPECT_EQ(box->render().colorAt(59, 23), kRed);

    // A new ratio: a fresh surface, and the owner is asked to draw again.
    int paints = 0;
    box->setAutoRedraw(false);
    box->Paint.connect([&] { ++paints; });
    Screen::setDevicePixelRatio(1.5);
    box->deviceScaleChanged();
    EXPECT_EQ(box->render().width(), 45);
    EXPECT_EQ(box->render().height(), 18);
    EXPECT_EQ(box->deviceScale(), 1.5);
    EXPECT_EQ(paints, 1);
    box->deviceScaleChanged();  // nothing changed: nothing to do
    EXPECT_EQ(paints, 1);
}

TEST(DeviceScale, SmoothScalingKeepsFlatColoursAndAlphaEdges) {
    Surface src(4, 4, 0x00FF0000u);  // see-through red around...
    src.fill({1, 1, 3, 3}, 0xFF0000FFu);  // ...an opaque blue square
    const Surface big = scaledSmooth(src, 8, 8);
    ASSERT_EQ(big.width(), 8);
    // The square's middle stays exactly blue; the red of see-through pixels
    // never tints the rim.
    EXPECT_EQ(big.pixel(3, 3), 0xFF0000FFu);
    EXPECT_EQ(big.pixel(4, 4), 0xFF0000FFu);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const Pixel p = big.pixel(x, y);
            if (p >> 24) {
                EXPECT_EQ(p & 0xFFFFFFu, 0x0000FFu) << x << "," << y;
            }
        }
    const Surface small = scaledSmooth(Surface(6, 6, 0xFF336699u), 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(small.pixel(x, y), 0xFF336699u);
    EXPECT_TRUE(scaledSmooth(Surface(), 4, 4).isEmpty());
}
