// Icons at a device pixel ratio of 2 must be as sharp as at 1: drawn again
// from their shapes, not enlarged. Sharpness is the number of anti-aliased
// edge pixels (alpha strictly between see-through and opaque, the flat drop
// shadows left out) per unit of edge length, which is twice as long in 2x
// pixels. A real 2x drawing keeps a one-pixel soft rim (about 1 at both
// sizes); an enlarged bitmap smears it (about 4).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "content/WebToolbarIcons.h"
#include "platform/ImageManager.h"
#include "platform/Surface.h"
#include "platform/IconPainter.h"
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

// The bitmap enlarged: what a toolkit shows when it scales the 1x icon.
Icon enlarged(const Icon& icon, int size) {
    Icon bitmap = icon;
    bitmap.render = nullptr;
    return iconAtSize(bitmap, size, size);
}

}  // namespace

TEST(IconSharpness, TwiceTheSizeIsDrawnAsSharpAsOnce) {
    for (int size : {24, 32}) {
        for (const auto& [name, ids, draw] : {std::tuple{"command", ToolbarIcons::commandIds(), &ToolbarIcons::draw},
                                             std::tuple{"web", WebToolbarIcons::commandIds(), &WebToolbarIcons::draw}}) {
            int one = 0, drawn = 0, stretched = 0;
            for (std::int32_t id : ids) {
                const Icon icon = draw(id, size);
                const Icon two = iconAtSize(icon, 2 * size, 2 * size);
                ASSERT_EQ(two.pixels, draw(id, 2 * size).pixels) << id;  // the drawing itself at 2x
                one += softEdgePixels(icon);
                drawn += softEdgePixels(two);
                stretched += softEdgePixels(enlarged(icon, 2 * size));
            }
            ASSERT_GT(one, 0);
            const double sharp = drawn / 2.0 / one;
            const double soft = stretched / 2.0 / one;
            const std::string key = std::string(name) + "_" + std::to_string(size);
            RecordProperty("soft_edges_per_length_drawn_" + key, std::to_string(sharp));
            RecordProperty("soft_edges_per_length_enlarged_" + key, std::to_string(soft));
            EXPECT_LT(sharp, 1.3) << key;
            EXPECT_GT(soft, 1.6) << key;  // the measure tells the two apart
        }
    }
}
