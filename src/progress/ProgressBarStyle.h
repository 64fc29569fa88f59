#pragma once
// The look of a progress bar apart from its state: CTgProgressBar fills a
// ProgressBarOption from its properties for one paint, and a painter turns
// the option into pixels. The flat painter draws the bar's own look
// (segments, pictures, borders, a caption in two colours); the themed
// painter draws through the active theme and hands the paint back when the
// theme declines it, so the flat look is the fallback for every theme.
#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/DC.h"
#include "platform/Diagnostics.h"
#include "platform/Error.h"
#include "platform/Rect.h"
#include "platform/Theme.h"
#include "progress/CMemDC.h"

namespace tavixTGCL2 {

// The typed forms of the bar's integer properties, which keep their numbers
// for late-bound callers.
enum class BarBorder : std::uint8_t {
    None,    // 0 and below: no border and no room for one
    Sunken,  // 1
    Raised,  // 2
    Blank,   // above 2: the room of a border, nothing drawn in it
};
enum class BarAppearance : std::uint8_t {
    Flat,    // 0: black line
    Thin3D,  // 1: shadow and highlight lines
    Soft3D,  // 2: the soft two-pixel edge
    None,    // any other number: no line
};
enum class BarPictureMode : std::uint8_t { Stretch, Tile };

BarBorder barBorderFrom(std::int32_t v);
BarAppearance barAppearanceFrom(std::int32_t v);
inline BarPictureMode barPictureModeFrom(std::int32_t v) {
    return v == 1 ? BarPictureMode::Tile : BarPictureMode::Stretch;
}

struct BarPicture {
    CMemDC* picture = nullptr;  // nullptr: none, or one that gives no pixels
    BarPictureMode mode = BarPictureMode::Tile;
    explicit operator bool() const { return picture != nullptr; }
};

// Everything one paint of a bar needs, in the target's coordinates.
struct ProgressBarOption {
    Rect rect;
    bool horizontal = true;
    // The bar's ends as fractions of the content; outside 0..1 when Min or
    // Max moved after the bar was set.
    double start = 0;
    double stop = 0;
    bool segments = true;
    BarBorder border = BarBorder::Sunken;
    BarAppearance appearance = BarAppearance::Flat;
    OleColor backColor = 0;
    OleColor foreColor = 0;
    OleColor barColor = 0;
    OleColor barForeColor = 0;
    BarPicture backPicture;
    BarPicture barPicture;
    // Empty when no caption is shown. The flat look pads it with a blank on
    // each side; the theme gets the text as it is.
    std::string_view caption;
    std::string_view paddedCaption;
    std::uint32_t captionFormat = 0;
    const Font* font = nullptr;
    // Once the theme is attempted every failing step is skipped; otherwise
    // the first failure ends the paint. Failures are reported at `site`, the
    // control's own operation.
    bool skipFailures = false;
    SourceSite site;

    bool hasCaption() const { return !caption.empty(); }

    template <class F>
    void step(F&& body) const {
        if (skipFailures) resumeNext(std::forward<F>(body), site);
        else body();
    }
};

// The rectangle inside the border room, and the bar's part of it, held to it.
Rect barContents(const ProgressBarOption& o, std::int32_t inset);
Rect barRect(const ProgressBarOption& o, const Rect& contents);

class FlatProgressPainter {
public:
    void paint(DC& target, const ProgressBarOption& o) const;

private:
    void background(DC& target, const ProgressBarOption& o) const;
    void bar(DC& target, const ProgressBarOption& o, const Rect& rcBar) const;
    void segments(DC& target, const ProgressBarOption& o, const Rect& contents, const Rect& rcBar) const;
    void caption(DC& target, const ProgressBarOption& o, const Rect& contents, OleColor color) const;
    void frame(DC& target, const ProgressBarOption& o) const;
};

class ThemedProgressPainter {
public:
    // Opens the theme's progress data for the window; with no theme the
    // painter declines every paint.
    ThemedProgressPainter(Theme* theme, std::int32_t hwnd);
    // Paints the whole bar, or returns false when the theme did not draw the
    // background; the background colour is then already filled and the flat
    // painter finishes the paint.
    bool paint(DC& target, const ProgressBarOption& o);

private:
    Theme* m_theme;
    ThemeData m_data;
};

// Copies a picture over area: tiles anchored at its corner, or stretched.
void paintBarPicture(DC& target, const BarPicture& picture, const Rect& area);

}  // namespace tavixTGCL2
