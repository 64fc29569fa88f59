#include "progress/CTgProgressBar.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/Error.h"
#include "platform/Theme.h"

namespace tavixTGCL2 {

namespace {

constexpr std::int32_t kErrDivisionByZero = 11;
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

std::int64_t floorMod(std::int64_t a, std::int64_t m) {
    const std::int64_t r = a % m;
    return r < 0 ? r + m : r;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t m) { return (a - floorMod(a, m)) / m; }

}  // namespace

CTgProgressBar::CTgProgressBar() : m_Font(std::make_shared<tavixTGCL2::Font>()) {
    m_Font->name = "Tahoma";
    m_Font->size = 8;
}

// --- Properties ------------------------------------------------------------

void CTgProgressBar::setSegments(bool v) { m_Segments = v; Draw(); }
void CTgProgressBar::setXpStyle(bool v) { m_XpStyle = v; Draw(); }
void CTgProgressBar::setText(std::string v) { m_Text = std::move(v); Draw(); }
void CTgProgressBar::setTextAlignX(std::int32_t v) { m_TextAlignX = v; Draw(); }
void CTgProgressBar::setTextAlignY(std::int32_t v) { m_TextAlignY = v; Draw(); }
void CTgProgressBar::setShowText(bool v) { m_ShowText = v; Draw(); }
void CTgProgressBar::setMin(std::int32_t v) { m_Min = v; Draw(); }
void CTgProgressBar::setMax(std::int32_t v) { m_Max = v; Draw(); }
void CTgProgressBar::setBorderStyle(std::int32_t v) { m_BorderStyle = v; Draw(); }
void CTgProgressBar::setAppearance(std::int32_t v) { m_Appearance = v; Draw(); }
void CTgProgressBar::setDrawObject(std::shared_ptr<DrawTarget> target) { m_DrawObject = std::move(target); Draw(); }
void CTgProgressBar::setBackColor(OleColor c) { m_BackColor = c; Draw(); }
void CTgProgressBar::setForeColor(OleColor c) { m_ForeColor = c; Draw(); }
void CTgProgressBar::setFont(FontPtr font) { m_Font = std::move(font); Draw(); }
void CTgProgressBar::setBarColor(OleColor c) { m_BarColor = c; Draw(); }
void CTgProgressBar::setBarForeColor(OleColor c) { m_BarForeColor = c; Draw(); }
void CTgProgressBar::setBarPictureMode(std::int32_t v) { m_BarPictureMode = v; Draw(); }
void CTgProgressBar::setBackPictureMode(std::int32_t v) { m_BackPictureMode = v; Draw(); }
void CTgProgressBar::setBarPicture(const PicturePtr& picture) { setPictureSource(picture, m_barPicture); }
void CTgProgressBar::setPicture(const PicturePtr& picture) { setPictureSource(picture, m_picture); }

double CTgProgressBar::Percent() const {
    if (m_Max == m_Min) throw Error(kErrDivisionByZero, "Division by zero");
    double f = (static_cast<double>(m_BarStop) - m_Min) / (static_cast<double>(m_Max) - m_Min);
    if (f > 1) f = 1;
    if (f < 0) f = 0;
    return f * 100;
}

std::int32_t CTgProgressBar::Value() const {
    return saturate32(std::int64_t{m_BarStop} - m_BarStart);
}

void CTgProgressBar::setValue(std::int32_t v) {
    m_BarStart = 0;
    setBarStop(v);
    Draw();
}

void CTgProgressBar::setBarStart(std::int32_t v) {
    if (v > m_Max) v = m_Max;
    if (v < m_Min) v = m_Min;
    m_BarStart = v;
}

void CTgProgressBar::setBarStop(std::int32_t v) {
    if (v > m_Max) v = m_Max;
    if (v < m_Min) v = m_Min;
    m_BarStop = v;
}

void CTgProgressBar::setPictureSource(const PicturePtr& picture, std::unique_ptr<CMemDC>& slot) {
    if (!picture) {
        slot.reset();
    } else {
        auto copy = std::make_unique<CMemDC>();
        copy->CreateFromPicture(picture);
        slot = std::move(copy);
    }
    Draw();
}

bool CTgProgressBar::hasPixels(const std::unique_ptr<CMemDC>& slot) { return slot && slot->surface(); }

ColorRef CTgProgressBar::TranslateColor(OleColor c) { return OleTranslateColor(c); }

std::uint32_t CTgProgressBar::captionFormat() const {
    // Only the three alignments take part: any other number would smuggle
    // in unrelated DrawText flags (no clipping, measuring instead of drawing).
    const std::uint32_t x = (m_TextAlignX >= 0 && m_TextAlignX <= 2) ? static_cast<std::uint32_t>(m_TextAlignX) : 0u;
    const std::uint32_t y = (m_TextAlignY >= 0 && m_TextAlignY <= 2) ? static_cast<std::uint32_t>(m_TextAlignY) : 0u;
    return x | DT_SINGLELINE | (y * 4);
}

// --- Painting ------------------------------------------------------------------

void CTgProgressBar::Draw() {
    if (!m_DrawObject) return;
    stopOnError([&] {
        const Rect client = m_DrawObject->clientRect();
        DrawToDC(m_DrawObject->hwnd(), m_DrawObject->hDC(), client.left, client.top, client.right, client.bottom);
    });
}

void CTgProgressBar::paintPicture(DC& target, CMemDC& picture, std::int32_t mode, const Rect& area) {
    DC* source = picture.hDC(picture.Width(), picture.Height());
    if (!source) return;
    const auto w = saturate32(area.width());
    const auto h = saturate32(area.height());
    if (mode == 1) {
        // Tiles are anchored at the area's corner wherever the area lies.
        TileBlt(target, area.left, area.top, w, h, *source, picture.Width(), picture.Height(), -area.left, -area.top);
    } else {
        target.stretchBlt(area.left, area.top, w, h, source, 0, 0, picture.Width(), picture.Height(), SRCCOPY);
    }
}

bool CTgProgressBar::DrawToDC(std::int32_t hwnd, DC* dc, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
    if (!dc) return false;
    // An inverted rectangle paints as its normalised self; otherwise its
    // top-left corner would not be where the finished bar is copied to.
    Rect rc = Rect{left, top, right, bottom}.normalized();
    const std::int64_t W = rc.width();
    const std::int64_t H = rc.height();
    const bool horizontal = W > H;
    const Point destination{rc.left, rc.top};

    DC* work = m_work.hDC(saturate32(W), saturate32(H));
    DC& target = work ? *work : *dc;
    if (work) rc = {0, 0, saturate32(W), saturate32(H)};
    // Drawing straight onto the caller's context must leave its state
    // (clip region, font, colours) as it was, and must stay inside the
    // rectangle as the off-screen copy does: a bar of no height draws
    // nothing rather than its border lines.
    std::optional<SavedDC> callerState;
    if (!work) {
        callerState.emplace(*dc);
        dc->intersectClipRect(rc);
    }

    const bool backPicture = hasPixels(m_picture);
    const bool barPicture = hasPixels(m_barPicture);
    const bool themeAttempted = m_XpStyle && !backPicture;
    const FontPtr font = m_Font;  // keeps the font alive through the paint
    const tavixTGCL2::Font* captionFont = font.get();

    // Once the theme is attempted every failing step is skipped; otherwise
    // the first failure ends the paint.
    auto step = [&](auto&& body) {
        if (themeAttempted) resumeNext(body);
        else body();
    };

    return stopOnError([&] {
        const Rect area = rc;
        Theme* theme = themeAttempted ? activeTheme() : nullptr;
        ThemeData data(theme, hwnd, "Progress");
        bool themed = false;

        // Background.
        if (backPicture) {
            step([&] { paintPicture(target, *m_picture, m_BackPictureMode, area); });
        } else if (themeAttempted && data) {
            // Under a theme part that leaves pixels alone the background
            // shows, never what the reused work surface held before.
            step([&] { target.fillRect(rc, Brush::fromOleColor(m_BackColor)); });
            resumeNext([&] {
                std::int32_t chunk = 0;
                std::int32_t space = 0;
                const ThemeHandle h = data.handle();
                themed = theme->getThemeInt(h, 0, 0, TMT_PROGRESSCHUNKSIZE, chunk) &&
                         theme->getThemeInt(h, 0, 0, TMT_PROGRESSSPACESIZE, space) &&
                         theme->drawThemeBackground(h, target, horizontal ? PP_BAR : PP_BARVERT, 0, rc, &rc);
            });
        }
        if (!backPicture && !themed) step([&] { target.fillRect(rc, Brush::fromOleColor(m_BackColor)); });

        const Rect outer = rc;
        if (m_BorderStyle > 0) {
            const std::int32_t inset = (!themed && m_Appearance == 2) ? 2 : 1;
            rc = rc.inflated(-inset, -inset);
        }

        const bool caption = m_ShowText && !m_Text.empty();
        const std::uint32_t format = captionFormat();
        if (caption) {
            m_padded.resize(m_Text.size() + 2);
            m_padded.front() = ' ';
            std::copy(m_Text.begin(), m_Text.end(), m_padded.begin() + 1);
            m_padded.back() = ' ';
        }
        if (caption && !themed) {
            step([&] {
                Selected<tavixTGCL2::Font> selected(target, captionFont);
                target.setBkMode(TRANSPARENT);
                target.setTextColor(TranslateColor(m_ForeColor));
                Rect box = rc;
                target.drawText(m_padded, box, format);
            });
        }

        // The bar. Fractions outside 0..1 (Min or Max changed after the
        // bar was set) are held to the bar area instead of painting over
        // the border or beyond the rectangle.
        double s = 0;
        double e = 0;
        if (m_Max != m_Min) {
            const double span = static_cast<double>(m_Max) - m_Min;
            s = (static_cast<double>(m_BarStart) - m_Min) / span;
            e = (static_cast<double>(m_BarStop) - m_Min) / span;
        }
        Rect rcBar = rc;
        if (horizontal) {
            rcBar.left = barEdge(rc.left, rc.width(), s);
            rcBar.right = barEdge(rc.left, rc.width(), e);
        } else {
            rcBar.bottom = barEdge(rc.top, rc.height(), 1 - s);
            rcBar.top = barEdge(rc.top, rc.height(), 1 - e);
        }
        rcBar = rcBar.intersected(rc);

        std::optional<SavedDC> barClip;
        if (!themed) {
            barClip.emplace(target);
            target.intersectClipRect(rcBar);
        }

        if (barPicture) {
            step([&] { paintPicture(target, *m_barPicture, m_BarPictureMode, area); });
        } else if (!themed) {
            step([&] { target.fillRect(rcBar, Brush::fromOleColor(m_BarColor)); });
        } else {
            step([&] { theme->drawThemeBackground(data.handle(), target, horizontal ? PP_CHUNK : PP_CHUNKVERT, 0, rcBar, &rc); });
        }

        if (m_Segments && !themed) {
            step([&] {
                // Gaps are counted from the bar's start edge, but only those
                // that can meet the visible part are filled, so a bar
                // millions of pixels long costs what its visible part does.
                const Brush gap = Brush::fromOleColor(m_BackColor);
                const Rect visible = target.clipBox();
                constexpr std::int64_t pitch = kSegmentLength + kSegmentGap;
                if (horizontal) {
                    std::int64_t x = std::int64_t{rcBar.left} + kSegmentLength;
                    if (x < visible.left - kSegmentGap) x += (visible.left - kSegmentGap - x) / pitch * pitch;
                    const std::int64_t last = std::min<std::int64_t>(rcBar.right, visible.right);
                    for (; x <= last; x += pitch)
                        target.fillRect({saturate32(x), rc.top, saturate32(x + kSegmentGap), rc.bottom}, gap);
                } else {
                    std::int64_t y = rcBar.bottom;
                    if (y > visible.bottom) y -= (y - visible.bottom) / pitch * pitch;
                    const std::int64_t last = std::max<std::int64_t>(std::int64_t{rcBar.top} + kSegmentLength,
                                                                     std::int64_t{visible.top} - kSegmentGap);
                    for (; y >= last; y -= pitch)
                        target.fillRect({rc.left, saturate32(y), rc.right, saturate32(y + kSegmentGap)}, gap);
                }
            });
        }

        if (caption) {
            step([&] {
                Selected<tavixTGCL2::Font> selected(target, captionFont);
                if (themed) {
                    Rect content;
                    if (theme->getThemeBackgroundContentRect(data.handle(), target, 0, 0, rc, content))
                        theme->drawThemeText(data.handle(), target, 0, 0, m_Text, format, content);
                } else {
                    // Clipped to the bar: the caption reads in BarForeColor
                    // over the bar and stays in ForeColor beside it.
                    target.setBkMode(TRANSPARENT);
                    target.setTextColor(TranslateColor(m_BarForeColor));
                    Rect box = rc;
                    target.drawText(m_padded, box, format);
                }
            });
        }

        if (!themed) {
            barClip.reset();
            step([&] {
                if (m_BorderStyle == 1) DrawBorder(target, m_Appearance, outer, false);
                else if (m_BorderStyle == 2) DrawBorder(target, m_Appearance, outer, true);
            });
        }

        if (work) m_work.Draw(dc, 0, 0, saturate32(W), saturate32(H), destination.x, destination.y);
    });
}

void CTgProgressBar::DrawBorder(DC& dc, std::int32_t appearance, const Rect& r, bool raised) {
    auto at = [](std::int64_t v) { return saturate32(v); };
    const std::int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
    switch (appearance) {
        case 0: {
            Selected<Pen> pen(dc, Pen::solid(RGB(0, 0, 0)));
            dc.moveTo(at(l), at(t));
            dc.lineTo(at(rt - 1), at(t));
            dc.lineTo(at(rt - 1), at(b - 1));
            dc.lineTo(at(l), at(b - 1));
            dc.lineTo(at(l), at(t));
            break;
        }
        case 1: {
            const Pen shadow = Pen::solid(GetSysColor(COLOR_BTNSHADOW));
            const Pen highlight = Pen::solid(GetSysColor(COLOR_BTNHIGHLIGHT));
            Selected<Pen> keep(dc, shadow);
            if (raised) {
                dc.selectPen(highlight);
                dc.moveTo(at(l), at(b - 2));
                dc.lineTo(at(l), at(t));
                dc.lineTo(at(rt - 1), at(t));
                dc.selectPen(shadow);
                dc.lineTo(at(rt - 1), at(b - 1));
                dc.lineTo(at(l - 1), at(b - 1));
            } else {
                dc.moveTo(at(l), at(b - 1));
                dc.lineTo(at(l), at(t));
                dc.lineTo(at(rt), at(t));
                dc.selectPen(highlight);
                dc.moveTo(at(rt - 1), at(t + 1));
                dc.lineTo(at(rt - 1), at(b - 1));
                dc.lineTo(at(l), at(b - 1));
            }
            break;
        }
        case 2: {
            Rect edge = r;
            dc.drawEdge(edge, raised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT | BF_SOFT);
            break;
        }
        default: break;
    }
}

void CTgProgressBar::TileBlt(DC& target, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                             const DC& source, std::int32_t tileW, std::int32_t tileH, std::int32_t offsetX,
                             std::int32_t offsetY) {
    // A tile without size would never advance.
    if (tileW <= 0 || tileH <= 0 || w <= 0 || h <= 0) return;
    const Rect area{x, y, saturate32(std::int64_t{x} + w), saturate32(std::int64_t{y} + h)};
    const Rect visible = area.intersected(target.clipBox());
    if (visible.isEmpty()) return;
    // The tile grid: tile k of a row begins where source column 0 lands,
    // so the first tile starts at column (x + offsetX) mod tileW. Only tiles
    // that meet the visible part are copied, so a huge area with a tiny
    // tile costs no more than the visible pixels.
    const std::int64_t gridX = x - floorMod(std::int64_t{x} + offsetX, tileW);
    const std::int64_t gridY = y - floorMod(std::int64_t{y} + offsetY, tileH);
    const std::int64_t firstX = gridX + floorDiv(std::int64_t{visible.left} - gridX, tileW) * tileW;
    const std::int64_t firstY = gridY + floorDiv(std::int64_t{visible.top} - gridY, tileH) * tileH;
    for (std::int64_t ty = firstY; ty < visible.bottom; ty += tileH) {
        const std::int64_t top = std::max<std::int64_t>(ty, area.top);
        const std::int64_t bottom = std::min<std::int64_t>(ty + tileH, area.bottom);
        for (std::int64_t tx = firstX; tx < visible.right; tx += tileW) {
            const std::int64_t left = std::max<std::int64_t>(tx, area.left);
            const std::int64_t right = std::min<std::int64_t>(tx + tileW, area.right);
            target.bitBlt(saturate32(left), saturate32(top), saturate32(right - left), saturate32(bottom - top), &source,
                          saturate32(left - tx), saturate32(top - ty), SRCCOPY);
        }
    }
}

}  // namespace tavixTGCL2
