#include "platform/PictureBox.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/Compositor.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"
#include "platform/Units.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (PictureBox::registerClass(), true);

// A colour the host could not translate paints white, as a failed
// translation does everywhere in the drawing code.
Pixel pixelOf(OleColor c) { return pixelFromColorRef(OleTranslateColor(c)); }

// Copies src to device pixel (x, y) of dc's surface, within dc's clip box.
void blit(DC& dc, const Surface& src, std::int32_t x, std::int32_t y) {
    Surface* dst = dc.surface();
    if (!dst || src.isEmpty()) return;
    const Rect area = Rect{x, y, saturate32(std::int64_t{x} + src.width()), saturate32(std::int64_t{y} + src.height())}
                          .intersected(dc.toDevice(dc.clipBox()))
                          .intersected(dst->bounds());
    if (area.isEmpty()) return;
    const auto n = static_cast<std::size_t>(area.width()) * sizeof(Pixel);
    for (std::int32_t row = area.top; row < area.bottom; ++row)
        std::memcpy(dst->row(row) + area.left, src.row(row - y) + (area.left - x), n);
}

// Lays the visible children of `parent` over dc; (x, y) is where the
// parent's client area begins.
void composeChildren(const Control& parent, DC& dc, std::int32_t x, std::int32_t y);

void composeLabel(const Label& label, DC& dc, const Rect& r) {
    if (!label.BackStyleTransparent()) dc.fillRect(r, Brush::solid(OleTranslateColor(label.BackColor())));
    if (label.Caption().empty()) return;
    const Font* previous = dc.selectFont(&label.font());
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(label.Enabled() ? OleTranslateColor(label.ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
    std::uint32_t align = DT_LEFT;
    if (label.Alignment() == 1) align = DT_RIGHT;
    else if (label.Alignment() == 2) align = DT_CENTER;
    const std::string& text = label.Caption();
    if (!label.WordWrap()) {
        Rect box = r;
        dc.drawText(text, box, align | DT_TOP | DT_SINGLELINE);
    } else {
        Compositor::drawTextBlock(dc, text, r, align, true);
    }
    dc.selectFont(previous);
}

void composeShape(const Shape& shape, DC& dc, Rect r) {
    const std::int32_t kind = shape.ShapeKind();
    if (kind == 1 || kind == 3) {  // square and circle: the largest one centred in the control
        const std::int64_t side = std::min(r.width(), r.height());
        const std::int64_t left = r.left + (r.width() - side) / 2;
        const std::int64_t top = r.top + (r.height() - side) / 2;
        r = {saturate32(left), saturate32(top), saturate32(left + side), saturate32(top + side)};
    }
    if (r.isEmpty()) return;
    const Brush fill = Brush::solid(OleTranslateColor(shape.FillColor()));
    const Brush border = Brush::solid(OleTranslateColor(shape.BorderColor()));
    if (kind == 2 || kind == 3) {
        // Ovals row by row: each row's span from the ellipse equation; the
        // outline is the part of a span its neighbours do not cover.
        const double a = static_cast<double>(r.width()) / 2;
        const double b = static_cast<double>(r.height()) / 2;
        auto span = [&](std::int64_t row, std::int64_t& from, std::int64_t& to) {
            if (row < 0 || row >= r.height()) { from = to = 0; return; }
            const double dy = (static_cast<double>(row) + 0.5 - b) / b;
            const double half = a * std::sqrt(std::max(0.0, 1 - dy * dy));
            from = static_cast<std::int64_t>(std::lround(a - half));
            to = static_cast<std::int64_t>(std::lround(a + half));
        };
        for (std::int64_t row = 0; row < r.height(); ++row) {
            std::int64_t f, t, fu, tu, fd, td;
            span(row, f, t);
            span(row - 1, fu, tu);
            span(row + 1, fd, td);
            if (t <= f) continue;
            const auto y = saturate32(r.top + row);
            auto fillSpan = [&](std::int64_t from, std::int64_t to, const Brush& brush) {
                if (to > from) dc.fillRect({saturate32(r.left + from), y, saturate32(r.left + to), y + 1}, brush);
            };
            if (shape.FillSolid()) fillSpan(f, t, fill);
            if (!shape.BorderVisible()) continue;
            const bool edgeRow = tu <= fu || td <= fd;
            if (edgeRow) {
                fillSpan(f, t, border);
            } else {
                fillSpan(f, std::max({f + 1, fu, fd}), border);
                fillSpan(std::min({t - 1, tu, td}), t, border);
            }
        }
        return;
    }
    // A rounded rectangle gives up its four corner pixels.
    const std::int32_t c = (kind == 4 && r.width() > 2 && r.height() > 2) ? 1 : 0;
    if (shape.FillSolid()) {
        dc.fillRect({r.left + c, r.top, r.right - c, r.bottom}, fill);
        dc.fillRect({r.left, r.top + c, r.right, r.bottom - c}, fill);
    }
    if (!shape.BorderVisible()) return;
    dc.fillRect({r.left + c, r.top, r.right - c, r.top + 1}, border);
    dc.fillRect({r.left + c, r.bottom - 1, r.right - c, r.bottom}, border);
    dc.fillRect({r.left, r.top + c, r.left + 1, r.bottom - c}, border);
    dc.fillRect({r.right - 1, r.top + c, r.right, r.bottom - c}, border);
}

void composeChild(const Control& child, DC& dc, std::int32_t x, std::int32_t y) {
    const std::int64_t left = std::int64_t{x} + Screen::toPixels(child.leftTwips());
    const std::int64_t top = std::int64_t{y} + Screen::toPixels(child.topTwips());
    const Rect r{saturate32(left), saturate32(top), saturate32(left + Screen::toPixels(child.widthTwips())),
                 saturate32(top + Screen::toPixels(child.heightTwips()))};
    if (r.isEmpty()) return;
    SavedDC saved(dc);
    if (dc.intersectClipRect(r) == NULLREGION) return;
    const std::int32_t border = child.borderPixels();
    if (auto* box = dynamic_cast<const PictureBox*>(&child)) {
        if (dc.deviceScale() == 1.0 && box->deviceScale() == 1.0) {
            blit(dc, box->render(), r.left + border, r.top + border);
        } else {
            // The child's device pixels go through its context, which knows
            // their scale; the copy stretches only where the scales differ.
            DC* own = const_cast<PictureBox*>(box)->hDC();
            dc.bitBlt(r.left + border, r.top + border, box->pixelWidth(), box->pixelHeight(), own, 0, 0);
        }
    } else if (auto* label = dynamic_cast<const Label*>(&child)) {
        composeLabel(*label, dc, r);
    } else if (auto* shape = dynamic_cast<const Shape*>(&child)) {
        composeShape(*shape, dc, r);
    } else if (auto* self = dynamic_cast<const PaintsOnParent*>(&child)) {
        self->paintOnParent(dc, r.left, r.top);
    }
    composeChildren(child, dc, r.left + border, r.top + border);
}

void composeChildren(const Control& parent, DC& dc, std::int32_t x, std::int32_t y) {
    for (const auto& child : parent.Children())
        if (child->Visible()) composeChild(*child, dc, x, y);
}

}  // namespace

PictureBox::PictureBox(std::string name) : PictureBox(kClassName, std::move(name)) {}

PictureBox::PictureBox(std::string className, std::string name)
    : Control(std::move(className), std::move(name)), m_dc(&m_surface) {
    setBackColor(0x8000000F);  // button face, as a new picture box has
}

void PictureBox::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<PictureBox>(); });
}

void PictureBox::setAutoRedraw(bool on) {
    m_autoRedraw = on;
    changed(Change::AutoRedraw);
}

void PictureBox::setPicture(PicturePtr picture) {
    m_picture = std::move(picture);
    changed(Change::Picture);
    Cls();
}

void PictureBox::clearSurface() {
    m_surface.fill(pixelOf(BackColor()));
    if (m_picture && !m_picture->pixels().isEmpty()) {
        SavedDC saved(m_dc);
        m_dc.removeClip();
        const Surface& pixels = m_picture->pixels();
        if (deviceScale() == 1.0) {
            blit(m_dc, pixels, 0, 0);
        } else {
            const Rect d = m_dc.toDevice({0, 0, pixels.width(), pixels.height()});
            blit(m_dc, scaledSmooth(pixels, d.right, d.bottom), 0, 0);
        }
    }
}

void PictureBox::deviceScaleChanged() {
    if (deviceScale() == Screen::devicePixelRatio()) return;
    // A fresh surface at the new ratio: what AutoRedraw kept was drawn at
    // the old one, so the owner draws it again through onResize.
    m_surface.clear();
    onResize();
}

void PictureBox::Cls() {
    clearSurface();
    imageChanged();
}

void PictureBox::Refresh() {
    if (!m_autoRedraw) {
        clearSurface();
        resumeNext([&] { Paint(); });
    }
    imageChanged();
}

void PictureBox::fitSurface() {
    const auto inner = [&](std::int32_t twips) {
        return Screen::toPixels(std::max(0, twips - 2 * Screen::toTwips(borderPixels())));
    };
    const std::int32_t w = inner(widthTwips());
    const std::int32_t h = inner(heightTwips());
    const double scale = Screen::devicePixelRatio();
    const std::int32_t dw = Screen::toDevice(w, scale);
    const std::int32_t dh = Screen::toDevice(h, scale);
    m_width = w;
    m_height = h;
    if (dw == m_surface.width() && dh == m_surface.height() && scale == deviceScale()) return;
    const bool keep = m_autoRedraw && !m_surface.isEmpty() && scale == deviceScale();
    m_dc.setDeviceScale(scale);
    if (keep) {
        // What was drawn stays where it was; new room gets the background.
        Surface kept = std::move(m_surface);
        m_surface.reset(dw, dh);
        clearSurface();
        blit(m_dc, kept, 0, 0);
    } else {
        m_surface.reset(dw, dh);
        clearSurface();
    }
}

void PictureBox::onResize() {
    fitSurface();
    if (!m_autoRedraw) resumeNext([&] { Paint(); });
    imageChanged();
}

// The snapshot is in device pixels, as the surface is.
void PictureBox::snapshotInto(Surface& out) const {
    if (out.width() != m_surface.width() || out.height() != m_surface.height())
        out.reset(m_surface.width(), m_surface.height());
    if (out.isEmpty()) return;
    std::memcpy(out.data(), m_surface.data(),
                static_cast<std::size_t>(out.width()) * static_cast<std::size_t>(out.height()) * sizeof(Pixel));
    m_composer.setDeviceScale(deviceScale());
    m_composer.selectSurface(&out);
    resumeNext([&] { composeChildren(*this, m_composer, 0, 0); });
    m_composer.selectSurface(nullptr);
}

Surface PictureBox::snapshot() const {
    Surface out;
    snapshotInto(out);
    return out;
}

}  // namespace tavixTGCL2
