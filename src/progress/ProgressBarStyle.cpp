#include "progress/ProgressBarStyle.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "progress/CTgProgressBar.h"

namespace tavixTGCL2 {

namespace {

constexpr std::int32_t kSegmentLength = 8;
constexpr std::int32_t kSegmentGap = 2;

// An edge of the bar: the nearest whole number, halves to the even one
// (the default rounding mode), kept within 32 bits.
std::int32_t barEdge(std::int32_t base, std::int64_t length, double fraction) {
    const double v = std::nearbyint(static_cast<double>(base) + static_cast<double>(length) * fraction);
    if (!(v >= static_cast<double>(INT32_MIN))) return INT32_MIN;
    if (v > static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<std::int32_t>(v);
}

}  // namespace

BarBorder barBorderFrom(std::int32_t v) {
    if (v <= 0) return BarBorder::None;
    if (v == 1) return BarBorder::Sunken;
    if (v == 2) return BarBorder::Raised;
    return BarBorder::Blank;
}

BarAppearance barAppearanceFrom(std::int32_t v) {
    switch (v) {
        case 0: return BarAppearance::Flat;
        case 1: return BarAppearance::Thin3D;
        case 2: return BarAppearance::Soft3D;
        default: return BarAppearance::None;
    }
}

Rect barContents(const ProgressBarOption& o, std::int32_t inset) {
    return o.border == BarBorder::None ? o.rect : o.rect.inflated(-inset, -inset);
}

Rect barRect(const ProgressBarOption& o, const Rect& contents) {
    Rect r = contents;
    if (o.horizontal) {
        r.left = barEdge(contents.left, contents.width(), o.start);
        r.right = barEdge(contents.left, contents.width(), o.stop);
    } else {
        r.bottom = barEdge(contents.top, contents.height(), 1 - o.start);
        r.top = barEdge(contents.top, contents.height(), 1 - o.stop);
    }
    return r.intersected(contents);
}

void paintBarPicture(DC& target, const BarPicture& picture, const Rect& area) {
    CMemDC& p = *picture.picture;
    DC* source = p.hDC(p.Width(), p.Height());
    if (!source) return;
    const auto w = saturate32(area.width());
    const auto h = saturate32(area.height());
    if (picture.mode == BarPictureMode::Tile) {
        // Tiles are anchored at the area's corner wherever the area lies.
        CTgProgressBar::TileBlt(target, area.left, area.top, w, h, *source, p.Width(), p.Height(), -area.left,
                                -area.top);
    } else {
        target.stretchBlt(area.left, area.top, w, h, source, 0, 0, p.Width(), p.Height(), SRCCOPY);
    }
}

// --- The flat look ----------------------------------------------------------------

void FlatProgressPainter::paint(DC& target, const ProgressBarOption& o) const {
    background(target, o);
    const Rect contents = barContents(o, o.appearance == BarAppearance::Soft3D ? 2 : 1);
    // The caption is drawn twice: in ForeColor over everything, then in
    // BarForeColor clipped to the bar, so it reads on both sides of the edge.
    if (o.hasCaption()) caption(target, o, contents, o.foreColor);
    const Rect rcBar = barRect(o, contents);
    {
        SavedDC barClip(target);
        target.intersectClipRect(rcBar);
        bar(target, o, rcBar);
        if (o.segments) segments(target, o, contents, rcBar);
        if (o.hasCaption()) caption(target, o, contents, o.barForeColor);
    }
    frame(target, o);
}

void FlatProgressPainter::background(DC& target, const ProgressBarOption& o) const {
    if (o.backPicture) o.step([&] { paintBarPicture(target, o.backPicture, o.rect); });
    else o.step([&] { target.fillRect(o.rect, Brush::fromOleColor(o.backColor)); });
}

void FlatProgressPainter::bar(DC& target, const ProgressBarOption& o, const Rect& rcBar) const {
    // A bar picture covers the whole rectangle and shows through the bar's clip.
    if (o.barPicture) o.step([&] { paintBarPicture(target, o.barPicture, o.rect); });
    else o.step([&] { target.fillRect(rcBar, Brush::fromOleColor(o.barColor)); });
}

void FlatProgressPainter::segments(DC& target, const ProgressBarOption& o, const Rect& contents,
                                   const Rect& rcBar) const {
    o.step([&] {
        // Gaps are counted from the bar's start edge, but only those that
        // can meet the visible part are filled, so a bar millions of pixels
        // long costs what its visible part does.
        const Brush gap = Brush::fromOleColor(o.backColor);
        const Rect visible = target.clipBox();
        constexpr std::int64_t pitch = kSegmentLength + kSegmentGap;
        if (o.horizontal) {
            std::int64_t x = std::int64_t{rcBar.left} + kSegmentLength;
            if (x < visible.left - kSegmentGap) x += (visible.left - kSegmentGap - x) / pitch * pitch;
            const std::int64_t last = std::min<std::int64_t>(rcBar.right, visible.right);
            for (; x <= last; x += pitch)
                target.fillRect({saturate32(x), contents.top, saturate32(x + kSegmentGap), contents.bottom}, gap);
        } else {
            std::int64_t y = rcBar.bottom;
            if (y > visible.bottom) y -= (y - visible.bottom) / pitch * pitch;
            const std::int64_t last = std::max<std::int64_t>(std::int64_t{rcBar.top} + kSegmentLength,
                                                             std::int64_t{visible.top} - kSegmentGap);
            for (; y >= last; y -= pitch)
                target.fillRect({contents.left, saturate32(y), contents.right, saturate32(y + kSegmentGap)}, gap);
        }
    });
}

void FlatProgressPainter::caption(DC& target, const ProgressBarOption& o, const Rect& contents,
                                  OleColor color) const {
    o.step([&] {
        Selected<Font> selected(target, o.font);
        target.setBkMode(TRANSPARENT);
        target.setTextColor(OleTranslateColor(color));
        Rect box = contents;
        target.drawText(o.paddedCaption, box, o.captionFormat);
    });
}

void FlatProgressPainter::frame(DC& target, const ProgressBarOption& o) const {
    o.step([&] {
        const auto appearance = static_cast<std::int32_t>(o.appearance);
        if (o.border == BarBorder::Sunken) CTgProgressBar::DrawBorder(target, appearance, o.rect, false);
        else if (o.border == BarBorder::Raised) CTgProgressBar::DrawBorder(target, appearance, o.rect, true);
    });
}

// --- The theme's look ---------------------------------------------------------------

ThemedProgressPainter::ThemedProgressPainter(Theme* theme, std::int32_t hwnd)
    : m_theme(theme), m_data(theme, hwnd, "Progress") {}

bool ThemedProgressPainter::paint(DC& target, const ProgressBarOption& o) {
    if (!m_data) return false;
    Rect rc = o.rect;
    // Under a theme part that leaves pixels alone the background shows,
    // never what the reused work surface held before.
    o.step([&] { target.fillRect(rc, Brush::fromOleColor(o.backColor)); });
    bool drawn = false;
    resumeNext(
        [&] {
            std::int32_t chunk = 0;
            std::int32_t space = 0;
            const ThemeHandle h = m_data.handle();
            drawn = m_theme->getThemeInt(h, 0, 0, TMT_PROGRESSCHUNKSIZE, chunk) &&
                    m_theme->getThemeInt(h, 0, 0, TMT_PROGRESSSPACESIZE, space) &&
                    m_theme->drawThemeBackground(h, target, o.horizontal ? PP_BAR : PP_BARVERT, 0, rc, &rc);
        },
        o.site);
    if (!drawn) return false;

    // The theme draws its own border inside the rectangle: one pixel of room.
    const Rect contents = barContents(o, 1);
    const Rect rcBar = barRect(o, contents);
    if (o.barPicture) {
        o.step([&] { paintBarPicture(target, o.barPicture, o.rect); });
    } else {
        o.step([&] {
            m_theme->drawThemeBackground(m_data.handle(), target, o.horizontal ? PP_CHUNK : PP_CHUNKVERT, 0, rcBar,
                                         &contents);
        });
    }
    if (o.hasCaption()) {
        o.step([&] {
            Selected<Font> selected(target, o.font);
            Rect content;
            if (m_theme->getThemeBackgroundContentRect(m_data.handle(), target, 0, 0, contents, content))
                m_theme->drawThemeText(m_data.handle(), target, 0, 0, o.caption, o.captionFormat, content);
        });
    }
    return true;
}

}  // namespace tavixTGCL2
