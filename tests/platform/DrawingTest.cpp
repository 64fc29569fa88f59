// The software device context, colours, the built-in font and theme, and the
// PNG files used to look at results.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>
#include <filesystem>

#include "PngFile.h"
#include "platform/Colors.h"
#include "platform/DC.h"
#include "platform/FontEngine.h"
#include "platform/Surface.h"
#include "platform/Theme.h"

using namespace tavixTGCL2;

namespace {

constexpr ColorRef kWhite = RGB(255, 255, 255);
constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kBlue = RGB(0, 0, 255);

// Bounding box of the pixels in `area` that differ from `background`.
Rect inkBox(const Surface& s, ColorRef background, Rect area = {0, 0, INT_MAX, INT_MAX}) {
    area = area.intersected(s.bounds());
    Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (s.colorAt(x, y) != background)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box.isEmpty() ? Rect{} : box;
}

int count(const Surface& s, ColorRef c) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.colorAt(x, y) == c;
    return n;
}

// Writes the surface enlarged four times, so that single pixels can be seen.
void save(Surface& s, const std::string& name) {
    std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
    Surface big(s.width() * 4, s.height() * 4);
    DC from(&s), to(&big);
    to.stretchBlt(0, 0, big.width(), big.height(), &from, 0, 0, s.width(), s.height());
    writePng(big, std::string(TGCL_TEST_OUT_DIR) + "/" + name + ".png");
}

struct Canvas {
    Surface surface{40, 30};
    DC dc{&surface};
};

}  // namespace

TEST(Colors, OleTranslationAndSystemTable) {
    EXPECT_EQ(OleTranslateColor(0x00123456), 0x00123456u);
    EXPECT_EQ(OleTranslateColor(0x02123456), 0x00123456u);  // only the low three bytes
    EXPECT_EQ(OleTranslateColor(0x8000000D), RGB(0, 120, 215));
    EXPECT_EQ(OleTranslateColor(0x8000010D), RGB(0, 120, 215));  // index is value AND 31
    EXPECT_EQ(OleTranslateColor(0x80000019), CLR_INVALID);       // 25 has no colour
    EXPECT_EQ(OleTranslateColor(0x8000001F), CLR_INVALID);
    EXPECT_EQ(static_cast<std::int32_t>(CLR_INVALID), -1);
    EXPECT_EQ(SysColorName(COLOR_BTNSHADOW), "COLOR_BTNSHADOW");

    // A system brush follows the table at drawing time.
    Canvas c;
    ASSERT_TRUE(SetSysColor(COLOR_HIGHLIGHT, kRed));
    c.dc.fillRect({0, 0, 5, 5}, Brush::fromOleColor(0x8000000D));
    ResetSysColors();
    EXPECT_EQ(c.surface.colorAt(2, 2), kRed);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 120, 215));
    EXPECT_FALSE(c.dc.fillRect({0, 0, 5, 5}, Brush::fromOleColor(0x8000001F)));
    EXPECT_FALSE(SetSysColor(31, kRed));
}

TEST(Surface, RefusesBadSizesAndReadsSafely) {
    EXPECT_TRUE(Surface(-1, 10).isEmpty());
    EXPECT_TRUE(Surface(10, 0).isEmpty());
    EXPECT_TRUE(Surface(Surface::kMaxDimension + 1, 1).isEmpty());
    Surface s(3, 2, 0xFF102030u);
    EXPECT_EQ(s.colorAt(2, 1), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(s.colorAt(3, 0), CLR_INVALID);
    s.setPixel(-1, 0, 0);  // ignored
    s.fill(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0xFF000000u);
    EXPECT_EQ(s.colorAt(0, 0), kBlack);
}

TEST(DeviceContext, FillsClipToSurfaceForAnyRectangle) {
    Canvas c;
    EXPECT_TRUE(c.dc.fillSolidRect({INT_MIN, INT_MIN, 5, 5}, kRed));
    EXPECT_TRUE(c.dc.fillSolidRect({30, 20, INT_MAX, INT_MAX}, kBlue));
    EXPECT_TRUE(c.dc.fillSolidRect({20, 20, 10, 10}, kBlack));  // inverted: nothing
    EXPECT_EQ(inkBox(c.surface, kWhite, {0, 0, 20, 20}), (Rect{0, 0, 5, 5}));
    EXPECT_EQ(count(c.surface, kBlue), 10 * 10);
    EXPECT_EQ(count(c.surface, kBlack), 0);
    DC none;
    EXPECT_FALSE(none.fillSolidRect({0, 0, 1, 1}, kRed));
    EXPECT_TRUE(c.dc.fillRect({0, 0, 40, 30}, Brush::null()));
    EXPECT_EQ(c.surface.colorAt(10, 10), kWhite);
}

TEST(DeviceContext, ClipRegionSelectIntersectExcludeAndRestore) {
    Canvas c;
    const int level = c.dc.saveDC();
    EXPECT_EQ(c.dc.selectClipRect({10, 10, 30, 20}), SIMPLEREGION);
    EXPECT_EQ(c.dc.excludeClipRect({15, 12, 20, 18}), COMPLEXREGION);
    c.dc.fillSolidRect({0, 0, 40, 30}, kRed);
    EXPECT_EQ(c.surface.colorAt(10, 10), kRed);
    EXPECT_EQ(c.surface.colorAt(9, 10), kWhite);
    EXPECT_EQ(c.surface.colorAt(16, 14), kWhite);  // the hole
    EXPECT_EQ(c.surface.colorAt(29, 19), kRed);
    EXPECT_EQ(c.surface.colorAt(30, 19), kWhite);
    EXPECT_EQ(count(c.surface, kRed), 20 * 10 - 5 * 6);
    EXPECT_EQ(c.dc.intersectClipRect({100, 100, 200, 200}), NULLREGION);
    EXPECT_EQ(c.dc.clipBox(), Rect{});
    ASSERT_TRUE(c.dc.restoreDC(level));
    EXPECT_FALSE(c.dc.hasClip());
    EXPECT_FALSE(c.dc.restoreDC(level));
    c.dc.selectClipRect({5, 5, 1, 1});  // inverted: nothing visible
    EXPECT_FALSE(c.dc.ptVisible(3, 3));
}

TEST(DeviceContext, LinesLeaveOutTheEndPointAndClipFarSegments) {
    Canvas c;
    c.dc.selectPen(Pen::solid(kBlack));
    c.dc.moveTo(2, 3);
    c.dc.lineTo(8, 3);
    EXPECT_EQ(inkBox(c.surface, kWhite), (Rect{2, 3, 8, 4}));
    c.dc.lineTo(8, 9);  // from (8,3) down: (8,3)..(8,8)
    EXPECT_EQ(c.surface.colorAt(8, 3), kBlack);
    EXPECT_EQ(c.surface.colorAt(8, 8), kBlack);
    EXPECT_EQ(c.surface.colorAt(8, 9), kWhite);
    c.dc.lineTo(2, 3);  // diagonal back: ends just before (2,3)
    EXPECT_EQ(c.surface.colorAt(5, 6), kBlack);
    EXPECT_EQ(c.surface.colorAt(3, 4), kBlack);
    EXPECT_EQ(c.dc.currentPosition(), (Point{2, 3}));

    // A diagonal between points a billion pixels away draws only its
    // visible part, at once.
    Canvas d;
    d.dc.moveTo(-1000000000, -1000000000);
    d.dc.lineTo(1000000000, 1000000000);
    EXPECT_EQ(count(d.surface, kBlack), 30);
    EXPECT_EQ(d.surface.colorAt(29, 29), kBlack);
    EXPECT_EQ(d.surface.colorAt(29, 28), kWhite);
    d.dc.moveTo(INT_MIN, 5);
    d.dc.lineTo(INT_MAX, 5);
    EXPECT_EQ(d.surface.colorAt(39, 5), kBlack);
    Canvas wide;
    wide.dc.selectPen(Pen::solid(kRed, 3));
    wide.dc.moveTo(10, 20);
    wide.dc.lineTo(20, 20);
    EXPECT_EQ(inkBox(wide.surface, kWhite), (Rect{10, 19, 20, 22}));
}

TEST(DeviceContext, EdgesUseTheDocumentedShades) {
    Canvas c;
    Rect r{0, 0, 10, 10};
    ASSERT_TRUE(c.dc.drawEdge(r, EDGE_SUNKEN, BF_RECT | BF_SOFT | BF_ADJUST));
    EXPECT_EQ(r, (Rect{2, 2, 8, 8}));
    EXPECT_EQ(c.surface.colorAt(0, 5), GetSysColor(COLOR_3DDKSHADOW));  // soft: darkest outside
    EXPECT_EQ(c.surface.colorAt(1, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.surface.colorAt(9, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.surface.colorAt(8, 5), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.surface.colorAt(9, 0), GetSysColor(COLOR_BTNHIGHLIGHT));  // top-right corner is bottom-right shade
    EXPECT_EQ(c.surface.colorAt(5, 5), kWhite);

    Rect q{20, 0, 30, 10};
    c.dc.drawEdge(q, EDGE_RAISED, BF_TOP | BF_LEFT | BF_MIDDLE);
    EXPECT_EQ(c.surface.colorAt(20, 5), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.surface.colorAt(21, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.surface.colorAt(29, 5), GetSysColor(COLOR_BTNFACE));  // no right side: middle reaches the edge
    EXPECT_FALSE(c.dc.drawEdge(q, EDGE_RAISED, BF_DIAGONAL));
}

TEST(DeviceContext, TextAlignmentClippingMeasuringAndBackground) {
    Surface s(120, 40);
    DC dc(&s);
    const Font font;  // 8 points: cell 6 x 12
    dc.selectFont(&font);
    dc.setTextColor(kBlack);
    dc.setBkMode(TRANSPARENT);
    Rect calc{10, 10, 0, 0};
    EXPECT_EQ(dc.drawText("Hello", calc, DT_CALCRECT), 12);
    EXPECT_EQ(calc, (Rect{10, 10, 40, 22}));
    EXPECT_EQ(count(s, kBlack), 0);

    Rect r{0, 0, 120, 40};
    dc.drawText("HH", r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    // Ink of "HH": columns 108..118, design rows 2..8 of the last 12 rows.
    EXPECT_EQ(inkBox(s, kWhite), (Rect{108, 30, 119, 37}));
    s.fill(Surface::kWhite);
    dc.drawText("HH", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(inkBox(s, kWhite), (Rect{54, 16, 65, 23}));

    s.fill(Surface::kWhite);
    Rect narrow{0, 0, 8, 40};  // clipped to the rectangle...
    dc.drawText("HHHH", narrow, DT_LEFT);
    EXPECT_EQ(inkBox(s, kWhite).right, 8);
    dc.drawText("HHHH", narrow, DT_LEFT | DT_NOCLIP);  // ...unless told not to
    EXPECT_EQ(inkBox(s, kWhite).right, 23);

    s.fill(Surface::kWhite);
    dc.setBkMode(OPAQUE);
    dc.setBkColor(kBlue);
    Rect o{50, 5, 120, 40};
    dc.drawText("ab", o, DT_LEFT);
    EXPECT_EQ(inkBox(s, kWhite), (Rect{50, 5, 62, 17}));
    Rect anywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    dc.drawText("still safe", anywhere, DT_CENTER | DT_VCENTER);
}

TEST(BitmapFont, DrawsReadableGlyphsWithDocumentedMetrics) {
    BitmapFontEngine engine;
    Font f;
    EXPECT_EQ(BitmapFontEngine::scaleFor(8), 1);
    EXPECT_EQ(BitmapFontEngine::scaleFor(11.9), 1);
    EXPECT_EQ(BitmapFontEngine::scaleFor(12), 2);
    EXPECT_EQ(BitmapFontEngine::scaleFor(-3), 1);
    EXPECT_EQ(engine.metrics(f).height, 12);
    EXPECT_EQ(engine.metrics(f).ascent, 9);
    EXPECT_EQ(engine.measure(f, "").cx, 0);
    EXPECT_EQ(engine.measure(f, "ab\ncd").cx, 24);  // control characters take no room
    EXPECT_EQ(engine.measure(f, "\xC3\xA9").cx, 6);  // one code point, drawn as a box
    f.bold = true;
    EXPECT_EQ(engine.measure(f, "ab").cx, 14);
    f = Font{};
    f.size = 12;
    EXPECT_EQ(engine.measure(f, "ab"), (Size{24, 24}));

    // "H": two full-height stems and a bar across the middle.
    Surface s(12, 12);
    engine.draw(s, s.bounds(), 0, 0, Font{}, "H", kBlack);
    for (int y = 2; y <= 8; ++y) {
        EXPECT_EQ(s.colorAt(0, y), kBlack) << y;
        EXPECT_EQ(s.colorAt(4, y), kBlack) << y;
        EXPECT_EQ(s.colorAt(2, y), y == 5 ? kBlack : kWhite) << y;
    }
    Font u;
    u.underline = true;
    s.fill(Surface::kWhite);
    engine.draw(s, s.bounds(), 0, 0, u, "_", kRed);
    EXPECT_EQ(s.colorAt(5, 9), kRed);  // underline runs across the whole advance
}

TEST(DeviceContext, BlockCopiesStretchMirrorAndOverlap) {
    Surface src(4, 2);
    for (int x = 0; x < 4; ++x) src.setPixel(x, 0, pixelFromColorRef(RGB(static_cast<std::uint8_t>(x * 10), 0, 0)));
    DC s(&src);
    Canvas c;
    EXPECT_TRUE(c.dc.bitBlt(-2, 0, 10, 10, &s, 0, 0));  // partly outside on both sides
    EXPECT_EQ(c.surface.colorAt(0, 0), RGB(20, 0, 0));
    EXPECT_EQ(c.surface.colorAt(2, 0), kWhite);  // beyond the source: untouched
    EXPECT_TRUE(c.dc.stretchBlt(10, 0, 8, 2, &s, 0, 0, 4, 1));
    EXPECT_EQ(c.surface.colorAt(10, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.surface.colorAt(17, 0), RGB(30, 0, 0));
    EXPECT_TRUE(c.dc.stretchBlt(20, 0, -4, 1, &s, 0, 0, 4, 1));  // mirrored into 16..19
    EXPECT_EQ(c.surface.colorAt(16, 0), RGB(30, 0, 0));
    EXPECT_EQ(c.surface.colorAt(19, 0), RGB(0, 0, 0));

    // Scrolling within one surface by one pixel keeps every value.
    Surface strip(6, 1);
    for (int x = 0; x < 6; ++x) strip.setPixel(x, 0, pixelFromColorRef(RGB(static_cast<std::uint8_t>(x), 0, 0)));
    DC sd(&strip);
    sd.bitBlt(1, 0, 5, 1, &sd, 0, 0);
    EXPECT_EQ(strip.colorAt(5, 0), RGB(4, 0, 0));
    EXPECT_EQ(strip.colorAt(1, 0), RGB(0, 0, 0));

    Canvas t;
    src.fill(pixelFromColorRef(kRed));
    src.setPixel(1, 1, pixelFromColorRef(kBlue));
    t.dc.transparentBlt(0, 0, 4, 2, &s, 0, 0, 4, 2, kRed);
    EXPECT_EQ(count(t.surface, kBlue), 1);
    EXPECT_EQ(count(t.surface, kRed), 0);
    EXPECT_FALSE(t.dc.bitBlt(0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(t.dc.bitBlt(0, 0, 2, 2, &s, 0, 0, 0x12345678));
}

TEST(DeviceContext, GradientEndsCarryTheVertexColours) {
    Canvas c;
    TriVertex v[2] = {{5, 2, 0xFF00, 0, 0, 0}, {35, 12, 0, 0, 0xFF00, 0}};
    GradientRect m{0, 1};
    ASSERT_TRUE(c.dc.gradientFill(v, 2, &m, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(c.surface.colorAt(5, 2), kRed);
    EXPECT_EQ(c.surface.colorAt(34, 11), kBlue);
    EXPECT_EQ(c.surface.colorAt(20, 12), kWhite);
    const ColorRef mid = c.surface.colorAt(10, 7);
    EXPECT_GT(GetRValue(mid), 90);
    EXPECT_GT(GetBValue(mid), 90);

    // Clipped or not, a column shows the same colour; vertices may come in
    // either order.
    Canvas h;
    std::swap(v[0], v[1]);
    h.dc.selectClipRect({20, 0, 25, 30});
    h.dc.gradientFill(v, 2, &m, 1, GRADIENT_FILL_RECT_H);
    Canvas full;
    full.dc.gradientFill(v, 2, &m, 1, GRADIENT_FILL_RECT_H);
    EXPECT_EQ(h.surface.colorAt(22, 5), full.surface.colorAt(22, 5));
    EXPECT_EQ(full.surface.colorAt(5, 5), kRed);
    EXPECT_EQ(full.surface.colorAt(34, 5), kBlue);
    EXPECT_EQ(h.surface.colorAt(19, 5), kWhite);
    GradientRect bad{0, 2};
    EXPECT_FALSE(h.dc.gradientFill(v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

// The colour of pixel `pos` of a ramp of `span` pixels, from the vertex
// channels alone: 16-bit channels in 24-bit fixed point, the step truncated
// once, the result rounded to 8 bits and held to 0..255.
Pixel rampPixel(const TriVertex& a, const TriVertex& b, std::int64_t span, std::int64_t pos) {
    constexpr std::int64_t kOne = std::int64_t{1} << 24;
    auto channel = [&](std::int64_t from, std::int64_t to) -> Pixel {
        const std::int64_t step = span > 1 ? (to - from) * kOne / (span - 1) : 0;
        const std::int64_t c = (from * kOne + step * pos + (std::int64_t{1} << 31)) >> 32;
        return static_cast<Pixel>(std::clamp<std::int64_t>(c, 0, 255));
    };
    return 0xFF000000u | channel(a.Red, b.Red) << 16 | channel(a.Green, b.Green) << 8 | channel(a.Blue, b.Blue);
}

TEST(DeviceContext, GradientsMatchThePerPixelRampAtAnySizeAndClip) {
    struct Case { Rect area; std::optional<Rect> clip; };
    const Case cases[] = {
        {{0, 0, 600, 40}, std::nullopt},  // the status bar's size
        {{3, 2, 10, 9}, std::nullopt},    // narrower than one wide store
        {{1, 1, 38, 37}, std::nullopt},   // odd sizes, stores ending mid-row
        {{5, 4, 5 + 1, 4 + 33}, std::nullopt},
        {{-7, -3, 45, 30}, std::nullopt},  // reaches past the surface's edges
        {{2, 1, 47, 38}, Rect{9, 5, 30, 21}},
        {{0, 0, 48, 40}, Rect{13, 17, 14, 40}},  // one column
    };
    const TriVertex from{0, 0, 0xCD00, 0xE000, 0xFA00, 0};
    const TriVertex to{0, 0, 0x8700, 0xAD00, 0x1200, 0};
    for (const std::uint32_t mode : {GRADIENT_FILL_RECT_V, GRADIENT_FILL_RECT_H}) {
        for (const Case& k : cases) {
            Surface s(k.area.right > 48 ? 600 : 48, 40, 0xFF123456u);
            const Surface before = s;
            DC dc(&s);
            if (k.clip) dc.selectClipRect(*k.clip);
            TriVertex v[2] = {from, to};
            v[0].x = k.area.left;
            v[0].y = k.area.top;
            v[1].x = k.area.right;
            v[1].y = k.area.bottom;
            const GradientRect mesh{0, 1};
            ASSERT_TRUE(dc.gradientFill(v, 2, &mesh, 1, mode));
            const bool vertical = mode == GRADIENT_FILL_RECT_V;
            const std::int64_t span = vertical ? k.area.height() : k.area.width();
            const Rect painted = k.area.intersected(k.clip.value_or(s.bounds())).intersected(s.bounds());
            int wrong = 0;
            for (int y = 0; y < s.height(); ++y) {
                for (int x = 0; x < s.width(); ++x) {
                    const Pixel want = painted.contains(x, y)
                                           ? rampPixel(from, to, span, vertical ? y - k.area.top : x - k.area.left)
                                           : before.row(y)[x];
                    wrong += s.row(y)[x] != want;
                }
            }
            EXPECT_EQ(wrong, 0) << (vertical ? "vertical " : "horizontal ") << k.area.left << ',' << k.area.top
                                << ' ' << k.area.width() << 'x' << k.area.height();
        }
    }
}

TEST(Surface, FillPixelsWritesExactlyTheCountAtAnyAlignment) {
    // Every length around the widths of the wide stores, from every start
    // within one store: nothing before or after the run may change.
    std::vector<Pixel> block(64);
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t n = 0; n <= 40; ++n) {
            std::fill(block.begin(), block.end(), 0u);
            fillPixels(block.data() + start, n, 0xFFABCDEFu);
            for (std::size_t i = 0; i < block.size(); ++i) {
                const bool inside = i >= start && i < start + n;
                ASSERT_EQ(block[i], inside ? 0xFFABCDEFu : 0u) << "start " << start << " n " << n << " at " << i;
            }
        }
    }
}

TEST(DeviceContext, FloodFillStaysInTheConnectedArea) {
    Canvas c;
    // A black ring around (10..19, 10..19); the outside is another white area.
    c.dc.fillSolidRect({9, 9, 21, 21}, kBlack);
    c.dc.fillSolidRect({10, 10, 20, 20}, kWhite);
    c.dc.selectBrush(Brush::solid(kBlue));
    ASSERT_TRUE(c.dc.extFloodFill(15, 15, kWhite, FLOODFILLSURFACE));
    EXPECT_EQ(count(c.surface, kBlue), 100);
    EXPECT_EQ(c.surface.colorAt(5, 5), kWhite);
    EXPECT_FALSE(c.dc.extFloodFill(15, 15, kWhite, FLOODFILLSURFACE));  // no longer white
    // A fill colour that still matches must end, not loop.
    c.dc.selectBrush(Brush::solid(kWhite));
    EXPECT_TRUE(c.dc.extFloodFill(0, 0, kWhite, FLOODFILLSURFACE));
    // Border mode fills up to the ring, through the blue.
    c.dc.selectBrush(Brush::solid(kRed));
    EXPECT_TRUE(c.dc.extFloodFill(12, 12, kBlack, FLOODFILLBORDER));
    EXPECT_EQ(count(c.surface, kRed), 100);
    // The clip region bounds the fill.
    c.dc.selectClipRect({0, 0, 5, 5});
    c.dc.extFloodFill(0, 0, kWhite, FLOODFILLSURFACE);
    EXPECT_EQ(count(c.surface, kRed), 100 + 25);
    EXPECT_FALSE(c.dc.extFloodFill(-1, 0, kWhite, FLOODFILLSURFACE));
}

TEST(BuiltinTheme, ProgressClassPartsAndSwitch) {
    BuiltinTheme theme;
    EXPECT_EQ(theme.openThemeData(0, "Button"), 0u);
    const ThemeHandle h = theme.openThemeData(0, "Button; progress");
    ASSERT_NE(h, 0u);
    std::int32_t v = -1;
    EXPECT_TRUE(theme.getThemeInt(h, 0, 0, TMT_PROGRESSCHUNKSIZE, v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(theme.getThemeInt(h, 0, 0, 9999, v));
    Rect content;
    ASSERT_TRUE(theme.getThemeBackgroundContentRect(h, *std::make_unique<DC>(), PP_BAR, 0, {0, 0, 10, 10}, content));
    EXPECT_EQ(content, (Rect{1, 1, 9, 9}));

    BuiltinTheme chunky({RGB(230, 230, 230), RGB(188, 188, 188), kRed, kRed, 4, 2});
    const ThemeHandle hc = chunky.openThemeData(0, "Progress");
    Surface s(20, 6);
    DC dc(&s);
    const Rect clip{0, 0, 12, 6};
    ASSERT_TRUE(chunky.drawThemeBackground(hc, dc, PP_CHUNK, 0, {0, 0, 20, 6}, &clip));
    EXPECT_EQ(s.colorAt(3, 3), kRed);
    EXPECT_EQ(s.colorAt(4, 3), kWhite);  // the space after the first chunk
    EXPECT_EQ(s.colorAt(6, 3), kRed);
    EXPECT_EQ(s.colorAt(13, 3), kWhite);  // outside the clip
    EXPECT_FALSE(dc.hasClip());            // the clip was the part's, not the context's

    ASSERT_TRUE(themingEnabled());
    setThemingEnabled(false);
    EXPECT_EQ(activeTheme(), nullptr);
    ThemeData none(activeTheme(), 0, "Progress");
    EXPECT_FALSE(none);
    setThemingEnabled(true);
    EXPECT_NE(activeTheme(), nullptr);
}

TEST(PngFile, RoundTripAndContainedFailures) {
    Surface s(7, 3, pixelFromColorRef(RGB(1, 2, 3)));
    s.setPixel(6, 2, pixelFromColorRef(kRed));
    std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
    const std::string path = std::string(TGCL_TEST_OUT_DIR) + "/roundtrip.png";
    std::string why;
    ASSERT_TRUE(writePng(s, path, &why)) << why;
    Surface back;
    ASSERT_TRUE(readPng(path, back, &why)) << why;
    EXPECT_EQ(back, s);
    EXPECT_FALSE(writePng(Surface{}, path, &why));
    EXPECT_FALSE(readPng(path + ".missing", back, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(back, s);  // unchanged after a failed read
}

TEST(DeviceContext, SampleSheetForLookingAt) {
    Surface s(220, 90, pixelFromColorRef(GetSysColor(COLOR_BTNFACE)));
    DC dc(&s);
    Font f;
    dc.selectFont(&f);
    dc.setBkMode(TRANSPARENT);
    Rect r{4, 4, 216, 18};
    dc.drawText("The quick brown fox jumps over", r, DT_LEFT);
    r = {4, 18, 216, 32};
    dc.drawText("0123456789 !\"#$%&'()*+,-./:;<=>?@", r, DT_LEFT);
    r = {4, 32, 216, 46};
    dc.drawText("[\\]^_`{|}~ gjpqy ABCXYZ", r, DT_LEFT);
    Font b;
    b.bold = true;
    b.italic = true;
    dc.selectFont(&b);
    r = {4, 46, 216, 60};
    dc.drawText("Bold italic PASSED", r, DT_LEFT);
    Rect e1{4, 62, 40, 86}, e2{50, 62, 86, 86};
    dc.drawEdge(e1, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
    dc.drawEdge(e2, EDGE_SUNKEN, BF_RECT | BF_SOFT);
    TriVertex v[2] = {{100, 62, 0xCD00, 0xE000, 0xFA00, 0}, {216, 86, 0x8700, 0xAD00, 0xE400, 0}};
    GradientRect m{0, 1};
    dc.gradientFill(v, 2, &m, 1, GRADIENT_FILL_RECT_V);
    save(s, "drawing_sheet");
    EXPECT_NE(count(s, kBlack), 0);
}
