#pragma once
// Screen units. The content pane and its parts work in twips, the status bar,
// the progress control and drawing in pixels. One setting holds the ratio so
// that a dense screen is a single change.
//
// Pixels here are logical pixels: the controls lay themselves out in them.
// A screen with more device pixels to each logical one (a device pixel
// ratio of 2, say, or 1.5) gets its drawn controls painted at device
// resolution: their surfaces hold ratio-times as many pixels and their
// device contexts map each logical coordinate to the device (DC.h). Text
// follows the logical dpi through twips and the desktop's font size through
// the text scale.
#include <tavixTGCL2/Export.h>
#include <cstdint>

namespace tavixTGCL2 {

enum class ScaleMode : std::int32_t { Twips = 1, Pixels = 3 };

class TGCL_API Screen {
public:
    static std::int32_t TwipsPerPixelX() { return s_twipsPerPixel; }
    static std::int32_t TwipsPerPixelY() { return s_twipsPerPixel; }
    // Values below 1 would make every conversion divide by zero; they are
    // clamped rather than accepted.
    static void setTwipsPerPixel(std::int32_t v) { s_twipsPerPixel = v < 1 ? 1 : v; }

    static std::int32_t toPixels(std::int32_t twips) { return divRound(twips, s_twipsPerPixel); }
    static std::int32_t toTwips(std::int32_t pixels) { return pixels * s_twipsPerPixel; }
    static std::int32_t toUnits(std::int32_t twips, ScaleMode m) {
        return m == ScaleMode::Pixels ? toPixels(twips) : twips;
    }
    static std::int32_t fromUnits(std::int32_t v, ScaleMode m) {
        return m == ScaleMode::Pixels ? toTwips(v) : v;
    }

    // Device pixels to one logical pixel for the surfaces created from now
    // on (1 by default). Values outside 0.25..8, and anything not a number,
    // are held to that range or to 1: a surface of a 0 or NaN ratio would
    // have no pixels to paint.
    static double devicePixelRatio() { return s_devicePixelRatio; }
    static void setDevicePixelRatio(double r) {
        s_devicePixelRatio = !(r == r) ? 1.0 : r < 0.25 ? 0.25 : r > 8.0 ? 8.0 : r;
    }
    // The device size of a logical length at ratio r: each edge rounded
    // half up on its own, so adjoining rectangles share their device edge
    // and no gap or overlap shows between them at fractional ratios.
    static std::int32_t toDevice(std::int32_t logical, double r) {
        if (r == 1.0) return logical;
        const double v = static_cast<double>(logical) * r + 0.5;
        if (v >= 2147483647.0) return INT32_MAX;
        if (v <= -2147483648.0) return INT32_MIN;
        const auto t = static_cast<std::int64_t>(v);
        return static_cast<std::int32_t>(static_cast<double>(t) > v ? t - 1 : t);  // floor
    }

    // The desktop's text size against the one the controls were designed
    // for (1 by default): drawn text and the fonts of natural widgets are
    // this much larger. Held to 0.5..4 so that a wrong setting cannot make
    // text vanish or swamp the layout.
    static double textScale() { return s_textScale; }
    static void setTextScale(double s) { s_textScale = !(s == s) ? 1.0 : s < 0.5 ? 0.5 : s > 4.0 ? 4.0 : s; }

private:
    static std::int32_t divRound(std::int32_t a, std::int32_t b) {
        return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
    }
    static inline std::int32_t s_twipsPerPixel = 15;
    static inline double s_devicePixelRatio = 1.0;
    static inline double s_textScale = 1.0;
};

}  // namespace tavixTGCL2
