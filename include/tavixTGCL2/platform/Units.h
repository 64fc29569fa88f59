#pragma once
// Screen units. The content pane and its parts work in twips, the status bar,
// the progress control and drawing in pixels. One setting holds the ratio so
// that a dense screen is a single change.
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

private:
    static std::int32_t divRound(std::int32_t a, std::int32_t b) {
        return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
    }
    static inline std::int32_t s_twipsPerPixel = 15;
};

}  // namespace tavixTGCL2
