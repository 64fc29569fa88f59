#include "platform/DC.h"

#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace tavixTGCL2 {

namespace {

const Font kDefaultFont{};

__extension__ typedef __int128 Int128;

bool sameRgb(Pixel p, ColorRef c) { return (p & 0xFFFFFFu) == (pixelFromColorRef(c) & 0xFFFFFFu); }

// A rectangle from an origin and a size, saturated to 32 bits.
Rect rectFrom(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return {saturate32(x), saturate32(y), saturate32(x + w), saturate32(y + h)};
}

enum class RopKind { Copy, Paint, And, Invert, NotCopy, DstInvert, Pattern, Black, White, Unknown };

RopKind ropKind(std::uint32_t rop) {
    switch (rop) {
        case SRCCOPY: return RopKind::Copy;
        case SRCPAINT: return RopKind::Paint;
        case SRCAND: return RopKind::And;
        case SRCINVERT: return RopKind::Invert;
        case NOTSRCCOPY: return RopKind::NotCopy;
        case DSTINVERT: return RopKind::DstInvert;
        case PATCOPY: return RopKind::Pattern;
        case BLACKNESS: return RopKind::Black;
        case WHITENESS: return RopKind::White;
        default: return RopKind::Unknown;
    }
}

bool ropUsesSource(RopKind k) {
    return k == RopKind::Copy || k == RopKind::Paint || k == RopKind::And || k == RopKind::Invert ||
           k == RopKind::NotCopy;
}

// One row of a raster operation; `pattern` serves PATCOPY.
void applyRop(RopKind k, Pixel* dst, const Pixel* src, std::size_t n, Pixel pattern) {
    constexpr Pixel kOpaque = 0xFF000000u;
    switch (k) {
        case RopKind::Copy: std::memmove(dst, src, n * sizeof(Pixel)); break;
        case RopKind::Paint: for (std::size_t i = 0; i < n; ++i) dst[i] = (dst[i] | src[i]) | kOpaque; break;
        case RopKind::And: for (std::size_t i = 0; i < n; ++i) dst[i] = (dst[i] & src[i]) | kOpaque; break;
        case RopKind::Invert: for (std::size_t i = 0; i < n; ++i) dst[i] = (dst[i] ^ src[i]) | kOpaque; break;
        case RopKind::NotCopy: for (std::size_t i = 0; i < n; ++i) dst[i] = ~src[i] | kOpaque; break;
        case RopKind::DstInvert: for (std::size_t i = 0; i < n; ++i) dst[i] = ~dst[i] | kOpaque; break;
        case RopKind::Pattern: fillPixels(dst, n, pattern); break;
        case RopKind::Black: std::fill_n(dst, n, 0xFF000000u); break;
        case RopKind::White: std::fill_n(dst, n, 0xFFFFFFFFu); break;
        case RopKind::Unknown: break;
    }
}

// Cuts `hole` out of `r`, appending up to four pieces to `out`.
void subtract(const Rect& r, const Rect& hole, std::vector<Rect>& out) {
    const Rect cut = r.intersected(hole);
    if (cut.isEmpty()) {
        if (!r.isEmpty()) out.push_back(r);
        return;
    }
    if (r.top < cut.top) out.push_back({r.left, r.top, r.right, cut.top});
    if (cut.bottom < r.bottom) out.push_back({r.left, cut.bottom, r.right, r.bottom});
    if (r.left < cut.left) out.push_back({r.left, cut.top, cut.left, cut.bottom});
    if (cut.right < r.right) out.push_back({cut.right, cut.top, r.right, cut.bottom});
}

// Colours along a gradient, one step at a time: each channel in 40.24 fixed
// point, so that walking a row costs three additions per pixel. The first
// and last of `span` positions carry exactly the end colours.
class Ramp {
public:
    Ramp(const TriVertex& a, const TriVertex& b, std::int64_t span, std::int64_t first) {
        const std::int64_t from[3] = {a.Red, a.Green, a.Blue};
        const std::int64_t to[3] = {b.Red, b.Green, b.Blue};
        for (int c = 0; c < 3; ++c) {
            m_step[c] = span > 1 ? (to[c] - from[c]) * kOne / (span - 1) : 0;
            m_value[c] = from[c] * kOne + static_cast<std::int64_t>(Int128{m_step[c]} * first);
        }
    }
    Pixel next() {
        const Pixel p = 0xFF000000u | (channel(m_value[0]) << 16) | (channel(m_value[1]) << 8) | channel(m_value[2]);
        for (int c = 0; c < 3; ++c) m_value[c] += m_step[c];
        return p;
    }

private:
    static constexpr std::int64_t kOne = std::int64_t{1} << 24;
    // 16-bit channel in fixed point to 8 bits, rounded.
    static Pixel channel(std::int64_t v) {
        const std::int64_t c = (v + (std::int64_t{1} << 31)) >> 32;
        return static_cast<Pixel>(c < 0 ? 0 : c > 255 ? 255 : c);
    }
    std::int64_t m_value[3];
    std::int64_t m_step[3];
};

}  // namespace

ColorRef Brush::color() const {
    switch (m_style) {
        case Style::Solid: return m_color;
        case Style::System: return GetSysColor(m_index);
        case Style::Null: break;
    }
    return CLR_INVALID;
}

DC::DC() : DC(nullptr) {}

DC::DC(Surface* surface) : m_surface(surface) {
    // The stock objects a fresh context starts with.
    m_state.brush = Brush::solid(RGB(255, 255, 255));
    m_state.pen = Pen::solid(RGB(0, 0, 0));
}

Surface* DC::selectSurface(Surface* surface) {
    Surface* previous = m_surface;
    m_surface = surface;
    return previous;
}

// --- Device scale ------------------------------------------------------------

void DC::setDeviceScale(double scale) { m_scale = (scale >= 0.25 && scale <= 8.0) ? scale : 1.0; }

std::int32_t DC::dev(std::int32_t v) const { return Screen::toDevice(v, m_scale); }

Rect DC::toDevice(const Rect& r) const {
    if (m_scale == 1.0) return r;
    return {dev(r.left), dev(r.top), dev(r.right), dev(r.bottom)};
}

// The inverse of toDevice's rounding: the last logical edge that maps at or
// before a device left/top edge, the first that maps at or after a device
// right/bottom edge. A rectangle mapped there and back is itself again.
Rect DC::toLogical(const Rect& r) const {
    if (m_scale == 1.0) return r;
    auto down = [&](std::int32_t v) { return saturate32(static_cast<std::int64_t>(std::ceil((v + 0.5) / m_scale)) - 1); };
    auto up = [&](std::int32_t v) { return saturate32(static_cast<std::int64_t>(std::ceil((v - 0.5) / m_scale))); };
    return {down(r.left), down(r.top), up(r.right), up(r.bottom)};
}

// --- State -----------------------------------------------------------------

Brush DC::selectBrush(const Brush& brush) { return std::exchange(m_state.brush, brush); }
Pen DC::selectPen(const Pen& pen) { return std::exchange(m_state.pen, pen); }
const Font* DC::selectFont(const Font* font) { return std::exchange(m_state.font, font); }
const Font& DC::font() const { return m_state.font ? *m_state.font : kDefaultFont; }
ColorRef DC::setTextColor(ColorRef c) { return std::exchange(m_state.textColor, c); }
ColorRef DC::setBkColor(ColorRef c) { return std::exchange(m_state.bkColor, c); }

std::int32_t DC::setBkMode(std::int32_t mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return std::exchange(m_state.bkMode, mode);
}

std::int32_t DC::saveDC() {
    if (m_depth == m_saved.size()) m_saved.emplace_back();
    m_saved[m_depth] = m_state;  // copy-assignment keeps the slot's capacity
    ++m_depth;
    return static_cast<std::int32_t>(m_depth);
}

bool DC::restoreDC(std::int32_t level) {
    const std::int64_t depth = static_cast<std::int64_t>(m_depth);
    const std::int64_t target = level > 0 ? level : depth + level + 1;
    if (level == 0 || target < 1 || target > depth) return false;
    m_state = m_saved[static_cast<std::size_t>(target - 1)];
    m_depth = static_cast<std::size_t>(target - 1);
    return true;
}

// --- Clipping ----------------------------------------------------------------

std::int32_t DC::regionKind() const {
    if (!m_state.clipped) return SIMPLEREGION;
    if (m_state.clip.empty()) return NULLREGION;
    return m_state.clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::int32_t DC::selectClipRect(const Rect& logical) {
    const Rect r = toDevice(logical);
    m_state.clipped = true;
    m_state.clip.clear();
    if (!r.isEmpty()) m_state.clip.push_back(r);
    return regionKind();
}

std::int32_t DC::intersectClipRect(const Rect& logical) {
    const Rect r = toDevice(logical);
    if (!m_state.clipped) {
        const Rect base = m_surface ? m_surface->bounds() : Rect{};
        m_state.clipped = true;
        m_state.clip.clear();
        if (const Rect c = r.intersected(base); !c.isEmpty()) m_state.clip.push_back(c);
        return regionKind();
    }
    auto& clip = m_state.clip;
    std::size_t kept = 0;
    for (const Rect& c : clip) {
        const Rect piece = c.intersected(r);
        if (!piece.isEmpty()) clip[kept++] = piece;
    }
    clip.resize(kept);
    return regionKind();
}

std::int32_t DC::excludeClipRect(const Rect& logical) {
    const Rect r = toDevice(logical);
    if (!m_state.clipped) {
        m_state.clipped = true;
        m_state.clip.clear();
        if (m_surface) m_state.clip.push_back(m_surface->bounds());
    }
    m_rectScratch.clear();
    for (const Rect& c : m_state.clip) subtract(c, r, m_rectScratch);
    m_state.clip.swap(m_rectScratch);
    return regionKind();
}

void DC::removeClip() {
    m_state.clipped = false;
    m_state.clip.clear();
}

Rect DC::clipBox() const { return toLogical(deviceClipBox()); }

Rect DC::deviceClipBox() const {
    Rect box;
    bool any = false;
    forEachVisible(Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, [&](const Rect& p) {
        if (!any) {
            box = p;
            any = true;
        } else {
            box = {std::min(box.left, p.left), std::min(box.top, p.top), std::max(box.right, p.right),
                   std::max(box.bottom, p.bottom)};
        }
    });
    return box;
}

bool DC::ptVisible(std::int32_t x, std::int32_t y) const { return deviceVisible(dev(x), dev(y)); }

bool DC::deviceVisible(std::int32_t x, std::int32_t y) const {
    if (!m_surface || !m_surface->bounds().contains(x, y)) return false;
    if (!m_state.clipped) return true;
    for (const Rect& c : m_state.clip)
        if (c.contains(x, y)) return true;
    return false;
}

template <class F>
void DC::forEachVisible(const Rect& r, F&& f) const {
    if (!m_surface) return;
    const Rect area = r.intersected(m_surface->bounds());
    if (area.isEmpty()) return;
    if (!m_state.clipped) {
        f(area);
        return;
    }
    for (const Rect& c : m_state.clip) {
        const Rect piece = area.intersected(c);
        if (!piece.isEmpty()) f(piece);
    }
}

// --- Fills and pixels ----------------------------------------------------------

bool DC::fillRect(const Rect& r, const Brush& brush) {
    if (!m_surface) return false;
    if (brush.style() == Brush::Style::Null) return true;
    const ColorRef c = brush.color();
    if (c == CLR_INVALID) return false;
    const Pixel ink = pixelFromColorRef(c);
    forEachVisible(toDevice(r), [&](const Rect& p) { m_surface->fill(p, ink); });
    return true;
}

// A logical pixel reads as the device pixel at its top-left corner and is
// written as the whole block of device pixels it covers.
ColorRef DC::getPixel(std::int32_t x, std::int32_t y) const {
    return ptVisible(x, y) ? m_surface->colorAt(dev(x), dev(y)) : CLR_INVALID;
}

bool DC::setPixel(std::int32_t x, std::int32_t y, ColorRef c) {
    if (!ptVisible(x, y)) return false;
    if (m_scale == 1.0) {
        m_surface->setPixel(x, y, pixelFromColorRef(c));
        return true;
    }
    const Pixel ink = pixelFromColorRef(c);
    forEachVisible(toDevice(rectFrom(x, y, 1, 1)), [&](const Rect& p) { m_surface->fill(p, ink); });
    return true;
}

// --- Lines ---------------------------------------------------------------------

Point DC::moveTo(std::int32_t x, std::int32_t y) { return std::exchange(m_state.position, Point{x, y}); }

void DC::plot(std::int64_t x, std::int64_t y, std::int32_t width, Pixel ink) {
    if (width == 1) {
        if (x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX &&
            deviceVisible(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)))
            m_surface->row(static_cast<std::int32_t>(y))[x] = ink;
        return;
    }
    // A wide pen stamps a square centred on the line pixel.
    const std::int64_t lo = (width - 1) / 2;
    const Rect stamp = rectFrom(x - lo, y - lo, width, width);
    forEachVisible(stamp, [&](const Rect& p) { m_surface->fill(p, ink); });
}

bool DC::lineTo(std::int32_t x, std::int32_t y) {
    const Point from = std::exchange(m_state.position, Point{x, y});
    if (!m_surface) return false;
    const Pen& pen = m_state.pen;
    if (pen.style() == Pen::Style::Null) return true;
    const Pixel ink = pixelFromColorRef(pen.color());
    const std::int32_t w = pen.width();
    const std::int64_t lo = (w - 1) / 2;
    const std::int64_t dx = std::int64_t{x} - from.x;
    const std::int64_t dy = std::int64_t{y} - from.y;
    if (dx == 0 && dy == 0) return true;

    // Straight lines are one rectangle each; the end point stays out. Being
    // rectangles, they map to the device as fills do, so a border drawn
    // with lines meets the fills beside it at any scale.
    if (dy == 0) {
        const std::int64_t a = dx > 0 ? from.x : std::int64_t{x} + 1;
        const std::int64_t b = dx > 0 ? std::int64_t{x} : std::int64_t{from.x} + 1;
        const Rect line = rectFrom(a, std::int64_t{from.y} - lo, b - a, w);
        forEachVisible(toDevice(line), [&](const Rect& p) { m_surface->fill(p, ink); });
        return true;
    }
    if (dx == 0) {
        const std::int64_t a = dy > 0 ? from.y : std::int64_t{y} + 1;
        const std::int64_t b = dy > 0 ? std::int64_t{y} : std::int64_t{from.y} + 1;
        const Rect line = rectFrom(std::int64_t{from.x} - lo, a, w, b - a);
        forEachVisible(toDevice(line), [&](const Rect& p) { m_surface->fill(p, ink); });
        return true;
    }
    if (m_scale == 1.0) {
        drawLine(from, {x, y}, w, ink);
        return true;
    }
    // A slanted line is walked in device pixels with a pen as wide as the
    // scaled one; each end is placed so that the pen's square covers the
    // device block of the logical end pixel.
    const std::int32_t dw = std::clamp<std::int32_t>(static_cast<std::int32_t>(std::lround(w * m_scale)), 1, Pen::kMaxWidth);
    const std::int32_t shift = (dw - 1) / 2;
    auto place = [&](Point p) { return Point{saturate32(std::int64_t{dev(p.x)} + shift), saturate32(std::int64_t{dev(p.y)} + shift)}; };
    drawLine(place(from), place({x, y}), dw, ink);
    return true;
}

void DC::drawLine(Point from, Point to, std::int32_t w, Pixel ink) {
    const std::int32_t x = to.x;
    const std::int32_t y = to.y;
    const std::int64_t dx = std::int64_t{x} - from.x;
    const std::int64_t dy = std::int64_t{y} - from.y;
    if (dx == 0 && dy == 0) return;

    // Pixel i lies at major = start + i along the longer axis and at the
    // rounded proportional step along the other; only the steps whose major
    // coordinate can reach the visible area are walked, so a line between
    // far-away points costs no more than one across the surface.
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t n = xMajor ? adx : ady;
    const std::int64_t m = xMajor ? ady : adx;
    const std::int64_t sMajor = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const std::int64_t sMinor = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t major0 = xMajor ? from.x : from.y;
    const std::int64_t minor0 = xMajor ? from.y : from.x;

    const Rect box = deviceClipBox();
    if (box.isEmpty()) return;
    const std::int64_t visLo = (xMajor ? box.left : box.top) - std::int64_t{w};
    const std::int64_t visHi = (xMajor ? box.right : box.bottom) + std::int64_t{w};
    std::int64_t iLo = 0;
    std::int64_t iHi = n;  // exclusive: the end point is not drawn
    if (sMajor > 0) {
        iLo = std::max(iLo, visLo - major0);
        iHi = std::min(iHi, visHi - major0);
    } else {
        iLo = std::max(iLo, major0 - visHi + 1);
        iHi = std::min(iHi, major0 - visLo + 1);
    }
    for (std::int64_t i = iLo; i < iHi; ++i) {
        const Int128 q = (Int128{2} * i * m + n) / (Int128{2} * n);
        const std::int64_t major = major0 + sMajor * i;
        const std::int64_t minor = minor0 + sMinor * static_cast<std::int64_t>(q);
        if (xMajor) plot(major, minor, w, ink);
        else plot(minor, major, w, ink);
    }
}

// --- Edges -------------------------------------------------------------------------

bool DC::drawEdge(Rect& r, std::uint32_t edge, std::uint32_t flags) {
    if (!m_surface) return false;
    if (flags & BF_DIAGONAL) return false;

    struct Layer {
        std::int32_t topLeft;
        std::int32_t bottomRight;
    };
    Layer layers[2];
    int count = 0;
    const bool soft = flags & BF_SOFT;
    const std::uint32_t outer = edge & BDR_OUTER;
    const std::uint32_t inner = edge & BDR_INNER;
    // Light comes from the top left: a raised layer is light there and dark
    // at the bottom right, a sunken one the other way round. The outer layer
    // uses the stronger shade; BF_SOFT moves the stronger top-left shade
    // inwards.
    if (outer) {
        if (outer & BDR_RAISEDOUTER) layers[count++] = {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        else layers[count++] = {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    }
    if (inner) {
        if (inner & BDR_RAISEDINNER) layers[count++] = {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
        else layers[count++] = {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    }
    if (flags & (BF_FLAT | BF_MONO)) {
        const bool mono = flags & BF_MONO;
        for (int i = 0; i < count; ++i) {
            const std::int32_t c = i == 0 ? (mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW)
                                          : (mono ? COLOR_WINDOW : COLOR_BTNFACE);
            layers[i] = {c, c};
        }
    }

    Rect in = r;
    for (int i = 0; i < count && !in.isEmpty(); ++i) {
        const Brush tl = Brush::system(layers[i].topLeft);
        const Brush br = Brush::system(layers[i].bottomRight);
        // The top-right and bottom-left corner pixels belong to the
        // bottom-right shade.
        if (flags & BF_TOP) fillRect({in.left, in.top, saturate32(std::int64_t{in.right} - 1), saturate32(std::int64_t{in.top} + 1)}, tl);
        if (flags & BF_LEFT) fillRect({in.left, in.top, saturate32(std::int64_t{in.left} + 1), saturate32(std::int64_t{in.bottom} - 1)}, tl);
        if (flags & BF_RIGHT) fillRect({saturate32(std::int64_t{in.right} - 1), in.top, in.right, in.bottom}, br);
        if (flags & BF_BOTTOM) fillRect({in.left, saturate32(std::int64_t{in.bottom} - 1), in.right, in.bottom}, br);
        in = {flags & BF_LEFT ? saturate32(std::int64_t{in.left} + 1) : in.left,
              flags & BF_TOP ? saturate32(std::int64_t{in.top} + 1) : in.top,
              flags & BF_RIGHT ? saturate32(std::int64_t{in.right} - 1) : in.right,
              flags & BF_BOTTOM ? saturate32(std::int64_t{in.bottom} - 1) : in.bottom};
    }
    if (flags & BF_MIDDLE)
        fillRect(in, Brush::system(flags & (BF_FLAT | BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST) r = in;
    return true;
}

// --- Text ------------------------------------------------------------------------------

namespace {

// The font as drawn: its size grown by the desktop's text scale and the
// device scale. The font itself when both are 1.
const Font& drawnFont(const Font& f, double k, Font& scratch) {
    if (k == 1.0) return f;
    scratch = f;
    scratch.size = f.size * k;
    return scratch;
}

std::int32_t logicalLength(std::int32_t device, double scale) {
    return scale == 1.0 ? device : saturate32(static_cast<std::int64_t>(std::ceil(device / scale)));
}

}  // namespace

// Extents and metrics are logical: device extents divided by the scale and
// rounded up, so that a box laid out from them holds the text.
Size DC::textExtent(std::string_view text) const {
    Font scratch;
    const Size e = fontEngine().measure(drawnFont(font(), m_scale * Screen::textScale(), scratch), text);
    return {logicalLength(e.cx, m_scale), logicalLength(e.cy, m_scale)};
}

TextMetrics DC::textMetrics() const {
    Font scratch;
    TextMetrics m = fontEngine().metrics(drawnFont(font(), m_scale * Screen::textScale(), scratch));
    if (m_scale != 1.0) {
        m.height = logicalLength(m.height, m_scale);
        m.ascent = logicalLength(m.ascent, m_scale);
        m.descent = logicalLength(m.descent, m_scale);
        m.averageCharWidth = logicalLength(m.averageCharWidth, m_scale);
        m.maxCharWidth = logicalLength(m.maxCharWidth, m_scale);
    }
    return m;
}

std::int32_t DC::drawText(std::string_view text, Rect& r, std::uint32_t format) {
    Font scratch;
    const Font& f = drawnFont(font(), m_scale * Screen::textScale(), scratch);
    if (m_scale == 1.0) return drawTextWith(f, text, r, format);
    // Laid out in device pixels, where the text has its real extent.
    if (format & DT_CALCRECT) {
        const Size e = fontEngine().measure(f, text);
        r.right = saturate32(std::int64_t{r.left} + logicalLength(e.cx, m_scale));
        r.bottom = saturate32(std::int64_t{r.top} + logicalLength(e.cy, m_scale));
        return logicalLength(e.cy, m_scale);
    }
    Rect d = toDevice(r);
    return logicalLength(drawTextWith(f, text, d, format), m_scale);
}

std::int32_t DC::drawTextWith(const Font& f, std::string_view text, Rect& r, std::uint32_t format) {
    const FontEngine& engine = fontEngine();
    const Size extent = engine.measure(f, text);
    if (format & DT_CALCRECT) {
        r.right = saturate32(std::int64_t{r.left} + extent.cx);
        r.bottom = saturate32(std::int64_t{r.top} + extent.cy);
        return extent.cy;
    }
    if (!m_surface) return 0;

    std::int64_t x = r.left;
    if (format & DT_RIGHT) x = std::int64_t{r.right} - extent.cx;
    else if (format & DT_CENTER) x = r.left + (r.width() - extent.cx) / 2;
    std::int64_t y = r.top;
    if (format & DT_BOTTOM) y = std::int64_t{r.bottom} - extent.cy;
    else if (format & DT_VCENTER) y = r.top + (r.height() - extent.cy) / 2;

    const Rect cell = rectFrom(x, y, extent.cx, extent.cy);
    const Rect area = (format & DT_NOCLIP) ? cell : cell.intersected(r);
    if (m_state.bkMode == OPAQUE) {
        const Pixel bk = pixelFromColorRef(m_state.bkColor);
        forEachVisible(area, [&](const Rect& p) { m_surface->fill(p, bk); });
    }
    if (!text.empty()) {
        const auto x32 = saturate32(x);
        const auto y32 = saturate32(y);
        forEachVisible(area, [&](const Rect& p) {
            engine.draw(*m_surface, p, x32, y32, f, text, m_state.textColor);
        });
    }
    return extent.cy;
}

bool DC::textOut(std::int32_t x, std::int32_t y, std::string_view text) {
    const Size extent = textExtent(text);
    Rect r = rectFrom(x, y, extent.cx, extent.cy);
    return drawText(text, r, DT_NOCLIP | DT_SINGLELINE) != 0;
}

// --- Block copies -------------------------------------------------------------------------

DC::SourceView DC::sourceFor(const DC& src, const Rect& srcRect) {
    const Surface& s = *src.m_surface;
    if (&s != m_surface) return {s.data(), s.width(), 0, 0};
    // Copying within one surface: read from a snapshot so that no written
    // pixel is read again, whatever the overlap and the clip region.
    const Rect part = srcRect.intersected(s.bounds());
    const std::size_t w = static_cast<std::size_t>(part.width());
    m_pixelScratch.resize(w * static_cast<std::size_t>(part.height()));
    for (std::int32_t y = part.top; y < part.bottom; ++y)
        std::memcpy(m_pixelScratch.data() + static_cast<std::size_t>(y - part.top) * w, s.row(y) + part.left,
                    w * sizeof(Pixel));
    return {m_pixelScratch.data(), static_cast<std::int64_t>(w), part.left, part.top};
}

namespace {

// Both ends of a span mapped on their own, the sign of the size kept.
void mapSpan(std::int32_t& at, std::int32_t& size, double scale) {
    if (scale == 1.0) return;
    const std::int32_t a = Screen::toDevice(at, scale);
    const std::int32_t b = Screen::toDevice(saturate32(std::int64_t{at} + size), scale);
    at = a;
    size = saturate32(std::int64_t{b} - a);
}

}  // namespace

// A copy between contexts of one scale stays a plain copy while the mapped
// source and destination have the same size; otherwise (another scale, or
// a fractional scale that rounds the two differently) it stretches.
bool DC::bitBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop) {
    const double srcScale = src ? src->m_scale : m_scale;
    if (m_scale == 1.0 && srcScale == 1.0) return bitBltDevice(x, y, w, h, src, xSrc, ySrc, rop);
    if (w <= 0 || h <= 0) return bitBltDevice(x, y, w, h, src, xSrc, ySrc, rop);
    std::int32_t dw = w, dh = h, sw = w, sh = h;
    mapSpan(x, dw, m_scale);
    mapSpan(y, dh, m_scale);
    mapSpan(xSrc, sw, srcScale);
    mapSpan(ySrc, sh, srcScale);
    if (!ropUsesSource(ropKind(rop)) || (dw == sw && dh == sh)) return bitBltDevice(x, y, dw, dh, src, xSrc, ySrc, rop);
    return stretchBltDevice(x, y, dw, dh, src, xSrc, ySrc, sw, sh, rop);
}

bool DC::bitBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                      std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop) {
    if (!m_surface) return false;
    const RopKind kind = ropKind(rop);
    if (kind == RopKind::Unknown) return false;
    const bool usesSource = ropUsesSource(kind);
    if (usesSource && (!src || !src->m_surface)) return false;
    if (w <= 0 || h <= 0) return true;

    Rect dst = rectFrom(x, y, w, h);
    const std::int64_t shiftX = std::int64_t{x} - xSrc;
    const std::int64_t shiftY = std::int64_t{y} - ySrc;
    SourceView view;
    if (usesSource) {
        dst = dst.intersected(src->m_surface->bounds().offsetBy(shiftX, shiftY));
        if (dst.isEmpty()) return true;
        view = sourceFor(*src, dst.offsetBy(-shiftX, -shiftY));
    }
    const Brush& brush = m_state.brush;
    const Pixel pattern = pixelFromColorRef(brush.color());
    if (kind == RopKind::Pattern && brush.color() == CLR_INVALID) return brush.style() == Brush::Style::Null;
    forEachVisible(dst, [&](const Rect& p) {
        const auto n = static_cast<std::size_t>(p.width());
        for (std::int32_t row = p.top; row < p.bottom; ++row) {
            const Pixel* s = usesSource ? view.at(p.left - shiftX, row - shiftY) : nullptr;
            applyRop(kind, m_surface->row(row) + p.left, s, n, pattern);
        }
    });
    return true;
}

bool DC::stretchBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                    std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                    std::uint32_t rop) {
    const double srcScale = src ? src->m_scale : m_scale;
    if (m_scale == 1.0 && srcScale == 1.0) return stretchBltDevice(x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, rop);
    if (!ropUsesSource(ropKind(rop))) return bitBlt(x, y, w, h, src, xSrc, ySrc, rop);
    mapSpan(x, w, m_scale);
    mapSpan(y, h, m_scale);
    mapSpan(xSrc, wSrc, srcScale);
    mapSpan(ySrc, hSrc, srcScale);
    return stretchBltDevice(x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, rop);
}

bool DC::stretchBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                          std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                          std::uint32_t rop) {
    if (!m_surface) return false;
    const RopKind kind = ropKind(rop);
    if (kind == RopKind::Unknown) return false;
    if (!ropUsesSource(kind)) return bitBltDevice(x, y, w, h, src, xSrc, ySrc, rop);
    if (!src || !src->m_surface) return false;
    if (w == 0 || h == 0 || wSrc == 0 || hSrc == 0) return true;

    // Normalise both rectangles and remember whether the picture flips.
    std::int64_t dx = x, dy = y, dw = w, dh = h, sx = xSrc, sy = ySrc, sw = wSrc, sh = hSrc;
    bool flipX = false, flipY = false;
    if (dw < 0) { dx += dw; dw = -dw; flipX = !flipX; }
    if (dh < 0) { dy += dh; dh = -dh; flipY = !flipY; }
    if (sw < 0) { sx += sw; sw = -sw; flipX = !flipX; }
    if (sh < 0) { sy += sh; sh = -sh; flipY = !flipY; }

    const Rect srcRect = rectFrom(sx, sy, sw, sh);
    const Rect srcBounds = src->m_surface->bounds();
    if (srcRect.intersected(srcBounds).isEmpty()) return true;
    const SourceView view = sourceFor(*src, srcRect);
    // Nearest source pixel of destination offset d: the one under the
    // destination pixel's centre.
    auto mapX = [&](std::int64_t d) {
        std::int64_t s = (2 * d + 1) * sw / (2 * dw);
        return sx + (flipX ? sw - 1 - s : s);
    };
    auto mapY = [&](std::int64_t d) {
        std::int64_t s = (2 * d + 1) * sh / (2 * dh);
        return sy + (flipY ? sh - 1 - s : s);
    };
    const Rect dst = rectFrom(dx, dy, dw, dh);
    const Rect part = srcRect.intersected(srcBounds);
    forEachVisible(dst, [&](const Rect& p) {
        m_mapScratch.resize(static_cast<std::size_t>(p.width()));
        for (std::int32_t c = p.left; c < p.right; ++c)
            m_mapScratch[static_cast<std::size_t>(c - p.left)] = static_cast<std::int32_t>(mapX(c - dx));
        for (std::int32_t r = p.top; r < p.bottom; ++r) {
            const std::int64_t srow = mapY(r - dy);
            if (srow < part.top || srow >= part.bottom) continue;
            Pixel* out = m_surface->row(r);
            for (std::int32_t c = p.left; c < p.right; ++c) {
                const std::int64_t scol = m_mapScratch[static_cast<std::size_t>(c - p.left)];
                if (scol < part.left || scol >= part.right) continue;
                const Pixel* sp = view.at(scol, srow);
                if (kind == RopKind::Copy) out[c] = *sp;
                else applyRop(kind, out + c, sp, 1, 0);
            }
        }
    });
    return true;
}

bool DC::transparentBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                        std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                        ColorRef transparent) {
    const double srcScale = src ? src->m_scale : m_scale;
    if ((m_scale != 1.0 || srcScale != 1.0) && w > 0 && h > 0 && wSrc > 0 && hSrc > 0) {
        mapSpan(x, w, m_scale);
        mapSpan(y, h, m_scale);
        mapSpan(xSrc, wSrc, srcScale);
        mapSpan(ySrc, hSrc, srcScale);
    }
    return transparentBltDevice(x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, transparent);
}

bool DC::transparentBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                              std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                              ColorRef transparent) {
    if (!m_surface || !src || !src->m_surface) return false;
    if (w <= 0 || h <= 0 || wSrc <= 0 || hSrc <= 0) return true;
    const Rect srcRect = rectFrom(xSrc, ySrc, wSrc, hSrc);
    const Rect part = srcRect.intersected(src->m_surface->bounds());
    if (part.isEmpty()) return true;
    const SourceView view = sourceFor(*src, srcRect);
    const Rect dst = rectFrom(x, y, w, h);
    forEachVisible(dst, [&](const Rect& p) {
        for (std::int32_t r = p.top; r < p.bottom; ++r) {
            const std::int64_t srow = ySrc + (2 * (std::int64_t{r} - y) + 1) * hSrc / (2 * std::int64_t{h});
            if (srow < part.top || srow >= part.bottom) continue;
            Pixel* out = m_surface->row(r);
            for (std::int32_t c = p.left; c < p.right; ++c) {
                const std::int64_t scol = xSrc + (2 * (std::int64_t{c} - x) + 1) * wSrc / (2 * std::int64_t{w});
                if (scol < part.left || scol >= part.right) continue;
                const Pixel s = *view.at(scol, srow);
                if (!sameRgb(s, transparent)) out[c] = s | 0xFF000000u;
            }
        }
    });
    return true;
}

// --- Gradient --------------------------------------------------------------------------------

// The vertices move to the device; the ramp then runs over device rows or
// columns, so a scaled gradient has as many steps as it has device pixels.
bool DC::gradientFill(const TriVertex* vertices, std::uint32_t vertexCount, const GradientRect* mesh,
                      std::uint32_t meshCount, std::uint32_t mode) {
    if (m_scale == 1.0 || !vertices) return gradientFillDevice(vertices, vertexCount, mesh, meshCount, mode);
    m_vertexScratch.assign(vertices, vertices + vertexCount);
    for (TriVertex& v : m_vertexScratch) {
        v.x = dev(v.x);
        v.y = dev(v.y);
    }
    return gradientFillDevice(m_vertexScratch.data(), vertexCount, mesh, meshCount, mode);
}

bool DC::gradientFillDevice(const TriVertex* vertices, std::uint32_t vertexCount, const GradientRect* mesh,
                            std::uint32_t meshCount, std::uint32_t mode) {
    if (!m_surface || !vertices || !mesh) return false;
    if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V) return false;
    for (std::uint32_t k = 0; k < meshCount; ++k)
        if (mesh[k].UpperLeft >= vertexCount || mesh[k].LowerRight >= vertexCount) return false;

    for (std::uint32_t k = 0; k < meshCount; ++k) {
        const TriVertex& v0 = vertices[mesh[k].UpperLeft];
        const TriVertex& v1 = vertices[mesh[k].LowerRight];
        const Rect area = Rect{v0.x, v0.y, v1.x, v1.y}.normalized();
        // The colours stay with their vertices, whichever way round they lie.
        const bool horizontal = mode == GRADIENT_FILL_RECT_H;
        const TriVertex& first = (horizontal ? v0.x <= v1.x : v0.y <= v1.y) ? v0 : v1;
        const TriVertex& last = &first == &v0 ? v1 : v0;
        const std::int64_t span = horizontal ? area.width() : area.height();
        forEachVisible(area, [&](const Rect& p) {
            const auto n = static_cast<std::size_t>(p.width());
            if (horizontal) {
                // One row of colours, then copies of it.
                Ramp ramp(first, last, span, std::int64_t{p.left} - area.left);
                Pixel* top = m_surface->row(p.top) + p.left;
                for (std::size_t i = 0; i < n; ++i) top[i] = ramp.next();
                for (std::int32_t r = p.top + 1; r < p.bottom; ++r)
                    std::memcpy(m_surface->row(r) + p.left, top, n * sizeof(Pixel));
            } else {
                Ramp ramp(first, last, span, std::int64_t{p.top} - area.top);
                for (std::int32_t r = p.top; r < p.bottom; ++r) fillPixels(m_surface->row(r) + p.left, n, ramp.next());
            }
        });
    }
    return true;
}

// --- Flood fill ---------------------------------------------------------------------------------

// The area is found among device pixels, so at any scale the fill meets
// the borders that were drawn there.
bool DC::extFloodFill(std::int32_t x, std::int32_t y, ColorRef color, std::uint32_t type) {
    return extFloodFillDevice(dev(x), dev(y), color, type);
}

bool DC::extFloodFillDevice(std::int32_t x, std::int32_t y, ColorRef color, std::uint32_t type) {
    if (!m_surface || (type != FLOODFILLSURFACE && type != FLOODFILLBORDER)) return false;
    const ColorRef fillColor = m_state.brush.color();
    if (fillColor == CLR_INVALID) return false;
    const bool surfaceMode = type == FLOODFILLSURFACE;
    auto member = [&](std::int32_t px, std::int32_t py) {
        return sameRgb(m_surface->row(py)[px], color) == surfaceMode;
    };
    if (!deviceVisible(x, y) || !member(x, y)) return false;

    const Pixel ink = pixelFromColorRef(fillColor);
    const std::int32_t w = m_surface->width();
    const std::int32_t h = m_surface->height();
    // Filled pixels are marked, so a fill colour that still matches the
    // area (or the border rule) cannot make the walk go round forever.
    m_visited.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    auto seen = [&](std::int32_t px, std::int32_t py) -> std::uint8_t& {
        return m_visited[static_cast<std::size_t>(py) * static_cast<std::size_t>(w) + static_cast<std::size_t>(px)];
    };
    auto open = [&](std::int32_t px, std::int32_t py) {
        return px >= 0 && px < w && py >= 0 && py < h && !seen(px, py) && deviceVisible(px, py) && member(px, py);
    };

    m_floodStack.clear();
    m_floodStack.push_back({x, y});
    while (!m_floodStack.empty()) {
        const Point p = m_floodStack.back();
        m_floodStack.pop_back();
        if (!open(p.x, p.y)) continue;
        std::int32_t l = p.x;
        std::int32_t r = p.x;
        while (open(l - 1, p.y)) --l;
        while (open(r + 1, p.y)) ++r;
        Pixel* row = m_surface->row(p.y);
        for (std::int32_t i = l; i <= r; ++i) {
            row[i] = ink;
            seen(i, p.y) = 1;
        }
        // One seed per run of open pixels in the rows above and below.
        for (const std::int32_t ny : {p.y - 1, p.y + 1}) {
            bool inRun = false;
            for (std::int32_t i = l; i <= r; ++i) {
                const bool o = open(i, ny);
                if (o && !inRun) m_floodStack.push_back({i, ny});
                inRun = o;
            }
        }
    }
    return true;
}

}  // namespace tavixTGCL2
