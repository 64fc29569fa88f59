#pragma once
// Text measuring and drawing. The device context never rasterises text
// itself: it asks the active FontEngine, so that a real toolkit can plug in
// its own fonts (see docs/drawing.md). The built-in engine draws a small
// bitmap font with fixed, documented metrics so that headless results are
// the same on every machine.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/Font.h>
#include <tavixTGCL2/platform/Rect.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

struct TGCL_API TextMetrics {
    std::int32_t height = 0;  // line height: ascent + descent
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t averageCharWidth = 0;
    std::int32_t maxCharWidth = 0;
};

class TGCL_API FontEngine {
public:
    virtual ~FontEngine() = default;
    virtual TextMetrics metrics(const Font& font) const = 0;
    // Extent of one line of UTF-8 text: cx the advance width, cy the line
    // height. Empty text is 0 wide and one line high.
    virtual Size measure(const Font& font, std::string_view text) const = 0;
    // Draws one line of UTF-8 text with the top-left corner of its line cell
    // at (x, y), in `color`, with a transparent background. Only pixels
    // inside `clip` may change; `clip` always lies within `target`.
    virtual void draw(Surface& target, const Rect& clip, std::int32_t x, std::int32_t y,
                      const Font& font, std::string_view text, ColorRef color) const = 0;
};

// The built-in engine. Every face name draws the same design: glyphs of 5 x 9
// design pixels (7 above the baseline, 2 below) in a cell 6 wide and 12 high
// (2 rows above the capitals, 1 below the descenders). The design is scaled
// by a whole factor chosen from the point size: scale = max(1, floor(points /
// 8 + 1/2)), so 8 to 11.9 points draw at 1, 12 to 19.9 at 2, 20 to 27.9 at 3.
// At scale s: height 12s, ascent 9s, descent 3s, advance 6s per character
// (7s when bold). Bold doubles each stroke to the right, italic shears the
// rows above the x-height, underline is an s-high line one design row below
// the baseline across the whole advance. Printable ASCII has its own glyphs;
// control characters are zero-width; everything else draws as a hollow box.
class TGCL_API BitmapFontEngine final : public FontEngine {
public:
    static constexpr std::int32_t kCellWidth = 6;
    static constexpr std::int32_t kCellHeight = 12;
    static constexpr std::int32_t kAscent = 9;
    static constexpr std::int32_t kGlyphWidth = 5;
    static constexpr std::int32_t kGlyphRows = 9;
    static constexpr std::int32_t kTopPadding = 2;
    static constexpr std::int32_t kMaxScale = 64;

    static std::int32_t scaleFor(double points);
    static std::int32_t advanceFor(const Font& font);

    TextMetrics metrics(const Font& font) const override;
    Size measure(const Font& font, std::string_view text) const override;
    void draw(Surface& target, const Rect& clip, std::int32_t x, std::int32_t y, const Font& font,
              std::string_view text, ColorRef color) const override;
};

// The engine every device context uses.
TGCL_API FontEngine& fontEngine();
// Installs a toolkit's engine for the whole process; nullptr puts the
// built-in engine back.
TGCL_API void installFontEngine(std::shared_ptr<FontEngine> engine);

}  // namespace tavixTGCL2
