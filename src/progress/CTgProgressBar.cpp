#include "progress/CTgProgressBar.h"

#include <algorithm>
#include <optional>

#include "platform/Error.h"
#include "platform/Theme.h"
#include "progress/ProgressBarStyle.h"

namespace tavixTGCL2 {

namespace {

constexpr std::int32_t kErrDivisionByZero = 11;

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
        DrawToDC(m_DrawObject->hWnd(), m_DrawObject->hDC(), client.left, client.top, client.right, client.bottom);
    });
}

ProgressBarOption CTgProgressBar::styleOption(const Rect& rect, bool themeAttempted) {
    ProgressBarOption o;
    o.rect = rect;
    o.horizontal = rect.width() > rect.height();
    if (m_Max != m_Min) {
        const double span = static_cast<double>(m_Max) - m_Min;
        o.start = (static_cast<double>(m_BarStart) - m_Min) / span;
        o.stop = (static_cast<double>(m_BarStop) - m_Min) / span;
    }
    o.segments = m_Segments;
    o.border = barBorderFrom(m_BorderStyle);
    o.appearance = barAppearanceFrom(m_Appearance);
    o.backColor = m_BackColor;
    o.foreColor = m_ForeColor;
    o.barColor = m_BarColor;
    o.barForeColor = m_BarForeColor;
    if (hasPixels(m_picture)) o.backPicture = {m_picture.get(), barPictureModeFrom(m_BackPictureMode)};
    if (hasPixels(m_barPicture)) o.barPicture = {m_barPicture.get(), barPictureModeFrom(m_BarPictureMode)};
    if (m_ShowText && !m_Text.empty()) {
        m_padded.resize(m_Text.size() + 2);
        m_padded.front() = ' ';
        std::copy(m_Text.begin(), m_Text.end(), m_padded.begin() + 1);
        m_padded.back() = ' ';
        o.caption = m_Text;
        o.paddedCaption = m_padded;
    }
    o.captionFormat = captionFormat();
    o.skipFailures = themeAttempted;
    return o;
}

bool CTgProgressBar::DrawToDC(std::int32_t hwnd, DC* dc, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
    if (!dc) return false;
    // An inverted rectangle paints as its normalised self; otherwise its
    // top-left corner would not be where the finished bar is copied to.
    const Rect rc = Rect{left, top, right, bottom}.normalized();
    const std::int32_t w = saturate32(rc.width());
    const std::int32_t h = saturate32(rc.height());

    DC* work = m_work.hDC(w, h);
    DC& target = work ? *work : *dc;
    // Drawing straight onto the caller's context must leave its state
    // (clip region, font, colours) as it was, and must stay inside the
    // rectangle as the off-screen copy does: a bar of no height draws
    // nothing rather than its border lines.
    std::optional<SavedDC> callerState;
    if (!work) {
        callerState.emplace(*dc);
        dc->intersectClipRect(rc);
    }
    // A background picture is the bar's own look, which no theme draws.
    const bool themeAttempted = m_XpStyle && !hasPixels(m_picture);
    const FontPtr font = m_Font;  // keeps the font alive through the paint
    const SourceSite site = SourceSite::current();

    return stopOnError(
        [&] {
            ProgressBarOption option = styleOption(work ? Rect{0, 0, w, h} : rc, themeAttempted);
            option.font = font.get();
            option.site = site;
            ThemedProgressPainter themed(themeAttempted ? activeTheme() : nullptr, hwnd);
            if (!themed.paint(target, option)) FlatProgressPainter().paint(target, option);
            if (work) m_work.Draw(dc, 0, 0, w, h, rc.left, rc.top);
        },
        site);
}

void CTgProgressBar::DrawBorder(DC& dc, std::int32_t appearance, const Rect& r, bool raised) {
    auto at = [](std::int64_t v) { return saturate32(v); };
    const std::int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
    switch (barAppearanceFrom(appearance)) {
        case BarAppearance::Flat: {
            Selected<Pen> pen(dc, Pen::solid(RGB(0, 0, 0)));
            dc.moveTo(at(l), at(t));
            dc.lineTo(at(rt - 1), at(t));
            dc.lineTo(at(rt - 1), at(b - 1));
            dc.lineTo(at(l), at(b - 1));
            dc.lineTo(at(l), at(t));
            break;
        }
        case BarAppearance::Thin3D: {
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
        case BarAppearance::Soft3D: {
            Rect edge = r;
            dc.drawEdge(edge, raised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT | BF_SOFT);
            break;
        }
        case BarAppearance::None: break;
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
