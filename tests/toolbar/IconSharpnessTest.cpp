// Icons at a device pixel ratio of 2 must be as sharp as at 1: drawn again
// from their shapes, not enlarged. Sharpness is measured as the number of
// anti-aliased edge pixels (alpha strictly between see-through and opaque,
// the flat drop shadows left out) per unit of edge length. A real 2x
// drawing doubles the edge length in pixels and keeps a one-pixel soft
// rim, so it has about twice the 1x count; an enlarged bitmap also
// doubles the rim's width, about four times.
#include <gtest/gtest.h>

#include <cstdlib>

#include "content/WebToolbarIcons.h"
#include "platform/ImageManager.h"
#include "platform/Surface.h"
#include "toolbar/IconPainter.h"
#include "toolbar/ToolbarIcons.h"

using namespace tavixTGCL2;

namespace {

int softEdgePixels(const Icon& icon) {
    const auto shadowAlpha = static_cast<int>(IconPalette::kShadow >> 24);
    int n = 0;
    for (std::uint32_t p : icon.pixels) {
        const int a = static_cast<int>(p >> 24);
        if (a > 0 && a < 255 && std::abs(a - shadowAlpha) > 8) ++n;
    }
    return n;
}

Icon enlarged(const Icon& icon, int size) {
    Surface s(icon.width, icon.height, 0);
    std::copy(icon.pixels.begin(), icon.pixels.end(), s.data());
    const Surface big = scaledSmooth(s, size, size);
    return Icon{big.width(), big.height(), std::vector<std::uint32_t>(big.data(), big.data() + big.width() * big.height()), nullptr};
}

struct Counts {
    int one = 0;
    int drawn = 0;
    int stretched = 0;
};

template <class Draw>
Counts countAll(const std::vector<std::int32_t>& ids, int size, Draw draw) {
    Counts c;
    for (std::int32_t id : ids) {
        const Icon one = draw(id, size);
        EXPECT_TRUE(one.render) << id;
        const Icon two = iconAtSize(one, 2 * size, 2 * size);
        EXPECT_EQ(two.width, 2 * size);
        EXPECT_EQ(two.pixels.size(), static_cast<std::size_t>(4 * size * size));
        c.one += softEdgePixels(one);
        c.drawn += softEdgePixels(two);
        c.stretched += softEdgePixels(enlarged(one, 2 * size));
    }
    return c;
}

}  // namespace

TEST(IconSharpness, TwiceTheSizeIsDrawnAsSharpAsOnce) {
    for (int size : {24, 32}) {
        const Counts command = countAll(ToolbarIcons::commandIds(), size, ToolbarIcons::draw);
        const Counts web = countAll(WebToolbarIcons::commandIds(), size, WebToolbarIcons::draw);
        for (const Counts& c : {command, web}) {
            ASSERT_GT(c.one, 0);
            const double drawn = static_cast<double>(c.drawn) / c.one;
            const double stretched = static_cast<double>(c.stretched) / c.one;
            // Per unit edge length (edges are twice as long at 2x) the soft
            // pixels stay as few as at 1x...
            EXPECT_LT(drawn / 2, 1.3) << size;
            // ...where an enlarged bitmap has far more: the measure tells
            // the two apart.
            EXPECT_GT(stretched / 2, 1.6) << size;
        }
    }
}

TEST(IconSharpness, BitmapIconsAreScaledSmoothlyAndRenderedIconsKeepTheirDrawing) {
    Icon plain{2, 2, {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu}, nullptr};
    const Icon big = iconAtSize(plain, 6, 6);
    ASSERT_EQ(big.width, 6);
    for (std::uint32_t p : big.pixels) EXPECT_EQ(p, 0xFF0000FFu);
    EXPECT_FALSE(big.render);
    const Icon same = iconAtSize(plain, 2, 2);
    EXPECT_EQ(same.pixels, plain.pixels);

    // A drawn icon at another size is the drawing at that size, and can be
    // drawn again from there.
    const Icon start = ToolbarIcons::draw(202, 24);
    const Icon at48 = iconAtSize(start, 48, 48);
    EXPECT_EQ(at48.pixels, ToolbarIcons::draw(202, 48).pixels);
    EXPECT_TRUE(at48.render);
    // A renderer that cannot serve the size falls back to smooth scaling.
    Icon odd = start;
    odd.render = [](std::int32_t, std::int32_t) { return Icon{}; };
    EXPECT_EQ(iconAtSize(odd, 30, 30).width, 30);
}
