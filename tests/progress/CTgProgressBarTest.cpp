// The progress renderer: properties and repaint rules, and the pixels of the
// flat and themed looks.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "PngFile.h"
#include "frame/ServicesScope.h"
#include "platform/Error.h"
#include "platform/Theme.h"
#include "progress/CTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

constexpr ColorRef kWhite = RGB(255, 255, 255);
constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kBlue = RGB(0, 0, 255);
const ColorRef kHighlight = GetSysColor(COLOR_HIGHLIGHT);

int count(const Surface& s, ColorRef c, Rect area) {
    area = area.intersected(s.bounds());
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += s.colorAt(x, y) == c;
    return n;
}

bool isGreen(ColorRef c) { return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60; }

struct Screen {
    Surface surface;
    DC dc;
    Screen(int w, int h) : surface(w, h), dc(&surface) {}
};

// A window the renderer paints into by itself.
class Window : public DrawTarget {
public:
    Window() : m_surface(60, 12), m_dc(&m_surface) {}
    std::int32_t hWnd() const override { return 42; }
    DC* hDC() override { ++paints; return &m_dc; }
    Rect clientRect() const override { return m_surface.bounds(); }
    const Surface& surface() const { return m_surface; }
    int paints = 0;

private:
    Surface m_surface;
    DC m_dc;
};

class ThrowingTheme : public BuiltinTheme {
public:
    bool drawThemeBackground(ThemeHandle, DC&, std::int32_t, std::int32_t, const Rect&, const Rect*) override {
        throw Error("theme service gone");
    }
};

// Every test starts with the flat look and leaves theming as it found it.
class ProgressBar : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override { setThemingEnabled(false); }
    static void gallery(Surface& s, const std::string& name) {
        std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
        Surface big(s.width() * 3, s.height() * 3);
        DC from(&s), to(&big);
        to.stretchBlt(0, 0, big.width(), big.height(), &from, 0, 0, s.width(), s.height());
        writePng(big, std::string(TGCL_TEST_OUT_DIR) + "/" + name + ".png");
    }
    CTgProgressBar bar;
};

}  // namespace

TEST_F(ProgressBar, DefaultsClampingValueAndPercent) {
    EXPECT_TRUE(bar.Segments());
    EXPECT_TRUE(bar.XpStyle());
    EXPECT_FALSE(bar.ShowText());
    EXPECT_EQ(bar.TextAlignX(), 1);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.BorderStyle(), 1);
    EXPECT_EQ(bar.BackColor(), 0x00FFFFFFu);
    EXPECT_EQ(bar.BarColor(), 0x8000000Du);
    EXPECT_EQ(bar.Font()->name, "Tahoma");
    EXPECT_EQ(bar.Font()->size, 8);

    bar.setBarStart(150);
    EXPECT_EQ(bar.BarStart(), 100);
    bar.setBarStop(-5);
    EXPECT_EQ(bar.BarStop(), 0);
    bar.setBarStart(20);
    bar.setValue(30);
    EXPECT_EQ(bar.BarStart(), 0);
    EXPECT_EQ(bar.BarStop(), 30);
    EXPECT_EQ(bar.Value(), 30);
    EXPECT_DOUBLE_EQ(bar.Percent(), 30);
    bar.setValue(90);
    bar.setMax(50);  // not re-clamped
    EXPECT_EQ(bar.BarStop(), 90);
    EXPECT_DOUBLE_EQ(bar.Percent(), 100);
    bar.setMin(50);
    try {
        bar.Percent();
        FAIL() << "Max equal to Min must be an error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), 11);
    }
    bar.setMin(INT32_MIN);
    bar.setMax(INT32_MAX);
    bar.setBarStart(INT32_MIN);
    bar.setBarStop(INT32_MAX);
    EXPECT_EQ(bar.Value(), INT32_MAX);  // saturates instead of wrapping
}

TEST_F(ProgressBar, FlatBarShowsChunksGapsAndBorder) {
    Screen s(100, 20);
    bar.setValue(50);
    ASSERT_TRUE(bar.DrawToDC(0, &s.dc, 0, 0, 100, 20));
    // Chunks of 8 from the start edge (1), gaps of 2, black frame around.
    for (int x : {1, 8, 11, 18, 41, 48}) EXPECT_EQ(s.surface.colorAt(x, 10), kHighlight) << x;
    for (int x : {9, 10, 19, 20, 49, 50, 70, 98}) EXPECT_EQ(s.surface.colorAt(x, 10), kWhite) << x;
    for (int x : {0, 99}) EXPECT_EQ(s.surface.colorAt(x, 10), kBlack);
    for (int y : {0, 19}) EXPECT_EQ(s.surface.colorAt(50, y), kBlack);
    EXPECT_EQ(s.surface.colorAt(5, 1), kHighlight);  // the chunks fill the whole height inside the frame
    gallery(s.surface, "bar_flat");
}

TEST_F(ProgressBar, VerticalBarGrowsFromTheBottom) {
    Screen s(20, 100);
    bar.setValue(50);
    bar.DrawToDC(0, &s.dc, 0, 0, 20, 100);
    for (int y : {98, 91, 88, 81, 50}) EXPECT_EQ(s.surface.colorAt(10, y), kHighlight) << y;
    for (int y : {90, 89, 60, 59, 49, 2}) EXPECT_EQ(s.surface.colorAt(10, y), kWhite) << y;
    gallery(s.surface, "bar_vertical");

    Screen square(40, 40);  // a square is vertical too
    bar.DrawToDC(0, &square.dc, 0, 0, 40, 40);
    EXPECT_EQ(square.surface.colorAt(20, 37), kHighlight);
    EXPECT_EQ(square.surface.colorAt(20, 5), kWhite);
}

TEST_F(ProgressBar, CaptionChangesColourAtTheBarEnd) {
    Screen s(200, 20);
    bar.setSegments(false);
    bar.setValue(50);  // bar ends at x = 100
    bar.setShowText(true);
    bar.setText("50%");
    bar.DrawToDC(0, &s.dc, 0, 0, 200, 20);
    const Rect overBar{2, 2, 100, 18}, beside{100, 2, 198, 18};
    EXPECT_EQ(count(s.surface, kBlack, overBar), 0);
    EXPECT_GT(count(s.surface, kWhite, overBar), 10);
    EXPECT_GT(count(s.surface, kBlack, beside), 10);
    gallery(s.surface, "bar_caption");

    // Alignment values outside 0..2 draw like 0 instead of becoming other
    // DrawText flags.
    Screen odd(200, 20);
    bar.setValue(0);
    bar.setTextAlignX(0x400);
    bar.DrawToDC(0, &odd.dc, 0, 0, 200, 20);
    EXPECT_GT(count(odd.surface, kBlack, {2, 2, 40, 18}), 10);

    Screen none(200, 20);  // ShowText with an empty text draws no caption
    bar.setText("");
    bar.DrawToDC(0, &none.dc, 0, 0, 200, 20);
    EXPECT_EQ(count(none.surface, kBlack, {2, 2, 198, 18}), 0);
}

TEST_F(ProgressBar, BorderStylesAndAppearances) {
    bar.setValue(100);
    bar.setSegments(false);
    bar.setBackColor(RGB(200, 200, 200));
    auto paint = [&](int style, int appearance) {
        auto s = std::make_unique<Screen>(100, 20);
        bar.setBorderStyle(style);
        bar.setAppearance(appearance);
        bar.DrawToDC(0, &s->dc, 0, 0, 100, 20);
        return s;
    };
    auto none = paint(0, 0);
    EXPECT_EQ(none->surface.colorAt(0, 10), kHighlight);
    auto reserved = paint(3, 0);  // no border, but its room stays free
    EXPECT_EQ(reserved->surface.colorAt(0, 10), RGB(200, 200, 200));
    EXPECT_EQ(reserved->surface.colorAt(1, 10), kHighlight);
    auto thinSunken = paint(1, 1);
    EXPECT_EQ(thinSunken->surface.colorAt(0, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(thinSunken->surface.colorAt(50, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(thinSunken->surface.colorAt(99, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(thinSunken->surface.colorAt(50, 19), GetSysColor(COLOR_BTNHIGHLIGHT));
    auto thinRaised = paint(2, 1);
    EXPECT_EQ(thinRaised->surface.colorAt(0, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(thinRaised->surface.colorAt(0, 19), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(thinRaised->surface.colorAt(99, 0), GetSysColor(COLOR_BTNSHADOW));
    auto deep = paint(1, 2);  // 3-D: two pixels of soft edge
    EXPECT_EQ(deep->surface.colorAt(0, 10), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(deep->surface.colorAt(1, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(deep->surface.colorAt(2, 10), kHighlight);
    gallery(deep->surface, "bar_border_3d");
    auto unknown = paint(1, 7);  // no border drawn, one pixel kept
    EXPECT_EQ(unknown->surface.colorAt(0, 10), RGB(200, 200, 200));
}

TEST_F(ProgressBar, ThemedLookAndItsFallbacks) {
    setThemingEnabled(true);
    Screen s(100, 20);
    bar.setValue(50);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(0, 10), RGB(188, 188, 188));  // the trough's frame, no black border
    EXPECT_TRUE(isGreen(s.surface.colorAt(9, 10)));           // continuous: no gaps
    EXPECT_TRUE(isGreen(s.surface.colorAt(49, 10)));
    EXPECT_EQ(s.surface.colorAt(70, 10), RGB(230, 230, 230));
    gallery(s.surface, "bar_themed");

    // A bar beyond Max (Max lowered later) stays inside the trough.
    bar.setMax(25);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_TRUE(isGreen(s.surface.colorAt(98, 10)));
    EXPECT_EQ(s.surface.colorAt(99, 10), RGB(188, 188, 188));
    bar.setMax(100);

    // A theme service that fails gives the flat look.
    installTheme(std::make_shared<ThrowingTheme>());
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(0, 10), kBlack);
    EXPECT_EQ(s.surface.colorAt(9, 10), kWhite);
    EXPECT_EQ(s.surface.colorAt(8, 10), kHighlight);
    installTheme(nullptr);

    // XpStyle off: flat even with a theme at hand.
    bar.setXpStyle(false);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(9, 10), kWhite);

    // Themed caption: the theme's text colour, no padding.
    bar.setXpStyle(true);
    bar.setShowText(true);
    bar.setText("50%");
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_GT(count(s.surface, kBlack, {2, 2, 98, 18}), 10);
}

TEST_F(ProgressBar, PicturesTileOrStretchAndShowOnlyInTheBar) {
    Surface tile(3, 2, pixelFromColorRef(kBlue));
    tile.setPixel(0, 0, pixelFromColorRef(kRed));
    tile.setPixel(0, 1, pixelFromColorRef(kRed));
    bar.setSegments(false);
    bar.setValue(50);
    bar.setBarPicture(Picture::bitmap(tile));
    Screen s(100, 20);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(3, 5), kRed);  // tiles anchored at the bar area's corner
    EXPECT_EQ(s.surface.colorAt(4, 5), kBlue);
    EXPECT_EQ(s.surface.colorAt(48, 5), kRed);
    EXPECT_EQ(s.surface.colorAt(60, 5), kWhite);  // outside the bar

    Surface halves(2, 1, pixelFromColorRef(kBlue));
    halves.setPixel(0, 0, pixelFromColorRef(kRed));
    bar.setBarPicture(Picture::bitmap(halves));
    bar.setBarPictureMode(0);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(49, 5), kRed);  // left half of a picture stretched over 100
    EXPECT_EQ(s.surface.colorAt(60, 5), kWhite);

    // A background picture replaces BackColor and the theme.
    setThemingEnabled(true);
    bar.setBarPicture(nullptr);
    bar.setPicture(Picture::bitmap(tile));
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(60, 5), kRed);
    EXPECT_EQ(s.surface.colorAt(10, 5), kHighlight);
    gallery(s.surface, "bar_picture");
    // A picture without pixels counts as none: the theme is back.
    bar.setPicture(Picture::icon(tile));
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    EXPECT_EQ(s.surface.colorAt(70, 10), RGB(230, 230, 230));
}

TEST_F(ProgressBar, OddRectanglesAndRanges) {
    bar.setValue(40);
    Screen a(100, 20), b(100, 20);
    bar.DrawToDC(0, &a.dc, 0, 0, 100, 20);
    bar.DrawToDC(0, &b.dc, 100, 20, 0, 0);  // inverted: the same bar
    EXPECT_EQ(a.surface, b.surface);

    // Max equal to Min: no bar, the rest still drawn.
    bar.setMin(100);
    Screen c(100, 20);
    bar.DrawToDC(0, &c.dc, 0, 0, 100, 20);
    EXPECT_EQ(count(c.surface, kHighlight, c.surface.bounds()), 0);
    EXPECT_EQ(c.surface.colorAt(0, 10), kBlack);
    bar.setMin(0);

    // A rectangle too large for a work surface is drawn straight onto the
    // target, through the target's own clip region, which it leaves alone.
    Screen d(100, 20);
    bar.setValue(100);
    bar.setSegments(false);
    d.dc.selectClipRect({0, 0, 50, 20});
    ASSERT_TRUE(bar.DrawToDC(0, &d.dc, -100000, 0, 100, 20));
    EXPECT_EQ(d.surface.colorAt(49, 10), kHighlight);
    EXPECT_EQ(d.surface.colorAt(60, 10), kWhite);
    EXPECT_EQ(d.dc.clipBox(), (Rect{0, 0, 50, 20}));
    EXPECT_FALSE(bar.DrawToDC(0, nullptr, 0, 0, 10, 10));
    // No height, no work surface: straight onto the target, where nothing
    // may show, not even the border lines.
    CTgProgressBar fresh;
    Screen e(100, 20);
    fresh.DrawToDC(0, &e.dc, 10, 10, 60, 10);
    EXPECT_EQ(count(e.surface, kWhite, e.surface.bounds()), 100 * 20);
    // The widest rectangle there is paints as quickly as the visible part.
    bar.setSegments(true);
    bar.setShowText(true);
    bar.setText("huge");
    EXPECT_TRUE(bar.DrawToDC(0, &d.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(d.surface.colorAt(10, 10), kHighlight);
}

TEST_F(ProgressBar, WorkSurfaceIsReusedUntilOutgrown) {
    Screen s(120, 40);
    bar.DrawToDC(0, &s.dc, 0, 0, 100, 20);
    const Surface* first = bar.workSurface().surface();
    bar.DrawToDC(0, &s.dc, 0, 0, 80, 20);
    EXPECT_EQ(bar.workSurface().surface(), first);
    EXPECT_EQ(bar.workSurface().Width(), 100);
    bar.DrawToDC(0, &s.dc, 0, 0, 80, 30);
    EXPECT_EQ(bar.workSurface().Width(), 80);
    EXPECT_EQ(bar.workSurface().Height(), 30);
}

TEST_F(ProgressBar, DrawObjectRepaintsOnLookChangesOnly) {
    bar.setValue(50);  // no target yet: nothing happens
    auto window = std::make_shared<Window>();
    bar.setDrawObject(window);
    EXPECT_EQ(window->paints, 1);
    EXPECT_EQ(window->surface().colorAt(15, 6), kHighlight);
    bar.setBarStop(100);  // range setters never repaint
    bar.setBarStart(0);
    EXPECT_EQ(window->paints, 1);
    EXPECT_EQ(window->surface().colorAt(40, 6), kWhite);
    bar.setSegments(false);
    EXPECT_EQ(window->paints, 2);
    EXPECT_EQ(window->surface().colorAt(40, 6), kHighlight);
    bar.setTag("x");
    EXPECT_EQ(window->paints, 2);
    bar.Draw();
    EXPECT_EQ(window->paints, 3);
}

TEST_F(ProgressBar, TileBltAndDrawBorderOnTheirOwn) {
    Surface src(3, 2);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y) src.setPixel(x, y, pixelFromColorRef(RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7)));
    DC from(&src);
    Screen s(10, 10);
    CTgProgressBar::TileBlt(s.dc, 1, 1, 7, 5, from, 3, 2, 1, 0);
    EXPECT_EQ(s.surface.colorAt(1, 1), RGB(2, 1, 7));  // starts at column (1 + 1) mod 3, row 1 mod 2
    EXPECT_EQ(s.surface.colorAt(2, 1), RGB(0, 1, 7));
    EXPECT_EQ(s.surface.colorAt(7, 5), RGB(2, 1, 7));
    EXPECT_EQ(s.surface.colorAt(8, 5), kWhite);  // cut at the area's edge
    EXPECT_EQ(s.surface.colorAt(1, 6), kWhite);
    CTgProgressBar::TileBlt(s.dc, 0, 0, 10, 10, from, 0, 2, 0, 0);  // no size: nothing, no hang
    CTgProgressBar::TileBlt(s.dc, -1000000000, -1000000000, INT_MAX, INT_MAX, from, 1, 1, -5, -7);
    EXPECT_EQ(s.surface.colorAt(9, 9), RGB(0, 0, 7));

    Screen b(10, 10);
    CTgProgressBar::DrawBorder(b.dc, 0, {0, 0, 10, 10}, true);
    EXPECT_EQ(count(b.surface, kBlack, b.surface.bounds()), 36);
    EXPECT_EQ(b.surface.colorAt(9, 9), kBlack);
    Screen n(10, 10);
    CTgProgressBar::DrawBorder(n.dc, 9, {0, 0, 10, 10}, true);
    EXPECT_EQ(count(n.surface, kWhite, n.surface.bounds()), 100);
}
