#include "platform/Compositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/Error.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "platform/Units.h"
#include "platform/WebBrowser.h"

namespace tavixTGCL2 {

namespace {

void blit(DC& dc, const Surface& src, std::int32_t x, std::int32_t y) {
    Surface* dst = dc.surface();
    if (!dst || src.isEmpty()) return;
    const Rect area =
        Rect{x, y, saturate32(std::int64_t{x} + src.width()), saturate32(std::int64_t{y} + src.height())}
            .intersected(dc.clipBox());
    if (area.isEmpty()) return;
    const auto n = static_cast<std::size_t>(area.width()) * sizeof(Pixel);
    for (std::int32_t row = area.top; row < area.bottom; ++row)
        std::memcpy(dst->row(row) + area.left, src.row(row - y) + (area.left - x), n);
}

Brush brushOf(OleColor c) { return Brush::solid(OleTranslateColor(c)); }

void drawLabel(const Label& label, DC& dc, const Rect& r) {
    if (!label.BackStyleTransparent()) dc.fillRect(r, brushOf(label.BackColor()));
    const std::string& text = label.Caption();
    if (text.empty()) return;
    tavixTGCL2::Selected<Font> font(dc, &label.font());
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(label.Enabled() ? OleTranslateColor(label.ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
    std::uint32_t align = DT_LEFT;
    if (label.Alignment() == 1) align = DT_RIGHT;
    else if (label.Alignment() == 2) align = DT_CENTER;
    Compositor::drawTextBlock(dc, text, r, align, label.WordWrap());
}

// A control that shows text of its own (a text box, a page, a rich-text
// view): its background and the text, wrapped, inside a small margin.
void drawTextControl(const Control& c, const std::string& text, DC& dc, const Rect& r, OleColor back) {
    dc.fillRect(r, brushOf(back));
    if (text.empty()) return;
    tavixTGCL2::Selected<Font> font(dc, &c.font());
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(c.Enabled() ? OleTranslateColor(c.ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
    const Rect inner{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2};
    Compositor::drawTextBlock(dc, text, inner, DT_LEFT, true);
}

// What a control late-bound as "Text" shows, if it has such a member.
std::optional<std::string> textByName(const Control& c) {
    try {
        VariantList none;
        return const_cast<Control&>(c).invoke("Text", none).toString();
    } catch (const Error&) {
        return std::nullopt;  // no such member, or no text to show: nothing to paint
    } catch (...) {
        reportContained();
        return std::nullopt;
    }
}

void drawShape(const Shape& shape, DC& dc, Rect r) {
    const std::int32_t kind = shape.ShapeKind();
    if (kind == 1 || kind == 3) {  // the largest square or circle centred in the control
        const std::int64_t side = std::min(r.width(), r.height());
        const std::int64_t left = r.left + (r.width() - side) / 2;
        const std::int64_t top = r.top + (r.height() - side) / 2;
        r = {saturate32(left), saturate32(top), saturate32(left + side), saturate32(top + side)};
    }
    if (r.isEmpty()) return;
    const Brush fill = brushOf(shape.FillColor());
    const Brush border = brushOf(shape.BorderColor());
    const std::int64_t bw = shape.BorderVisible() ? std::max<std::int32_t>(1, shape.borderPixels()) : 0;
    if (kind == 2 || kind == 3) {
        // Row by row from the ellipse equation; the border is the ring
        // between the outer ellipse and the one bw pixels inside it.
        const double a = static_cast<double>(r.width()) / 2, b = static_cast<double>(r.height()) / 2;
        auto half = [](double ra, double rb, double dy) {
            if (ra <= 0 || rb <= 0 || std::abs(dy) >= rb) return -1.0;
            return ra * std::sqrt(1 - (dy / rb) * (dy / rb));
        };
        for (std::int64_t row = 0; row < r.height(); ++row) {
            const double dy = static_cast<double>(row) + 0.5 - b;
            const double outer = half(a, b, dy);
            if (outer < 0) continue;
            const double inner = half(a - static_cast<double>(bw), b - static_cast<double>(bw), dy);
            const auto y = saturate32(r.top + row);
            auto span = [&](double from, double to, const Brush& brush) {
                const auto f = static_cast<std::int64_t>(std::lround(a + from));
                const auto t = static_cast<std::int64_t>(std::lround(a + to));
                if (t > f) dc.fillRect({saturate32(r.left + f), y, saturate32(r.left + t), y + 1}, brush);
            };
            if (shape.FillSolid()) span(-outer, outer, fill);
            if (bw == 0) continue;
            if (inner < 0) {
                span(-outer, outer, border);
            } else {
                span(-outer, -inner, border);
                span(inner, outer, border);
            }
        }
        return;
    }
    const std::int32_t c = (kind == 4 && r.width() > 2 && r.height() > 2) ? 1 : 0;  // rounded corners
    if (shape.FillSolid()) {
        dc.fillRect({r.left + c, r.top, r.right - c, r.bottom}, fill);
        dc.fillRect({r.left, r.top + c, r.right, r.bottom - c}, fill);
    }
    if (bw == 0) return;
    const auto w = static_cast<std::int32_t>(std::min<std::int64_t>(bw, std::max<std::int64_t>(1, r.height())));
    dc.fillRect({r.left + c, r.top, r.right - c, r.top + w}, border);
    dc.fillRect({r.left + c, r.bottom - w, r.right - c, r.bottom}, border);
    dc.fillRect({r.left, r.top + c, r.left + w, r.bottom - c}, border);
    dc.fillRect({r.right - w, r.top + c, r.right, r.bottom - c}, border);
}

void drawBorder(DC& dc, Rect r, std::int32_t px) {
    if (px == 1) {
        const Brush b = Brush::system(COLOR_WINDOWFRAME);
        dc.fillRect({r.left, r.top, r.right, r.top + 1}, b);
        dc.fillRect({r.left, r.bottom - 1, r.right, r.bottom}, b);
        dc.fillRect({r.left, r.top, r.left + 1, r.bottom}, b);
        dc.fillRect({r.right - 1, r.top, r.right, r.bottom}, b);
    } else if (px >= 2) {
        dc.drawEdge(r, EDGE_SUNKEN, BF_RECT);
    }
}

}  // namespace

void Compositor::paint(const Control& c, DC& dc, std::int32_t x, std::int32_t y) {
    const Rect r{x, y, saturate32(std::int64_t{x} + Screen::toPixels(c.widthTwips())),
                 saturate32(std::int64_t{y} + Screen::toPixels(c.heightTwips()))};
    if (r.isEmpty()) return;
    SavedDC saved(dc);
    if (dc.intersectClipRect(r) == NULLREGION) return;
    const std::int32_t border = dynamic_cast<const Shape*>(&c) ? 0 : c.borderPixels();
    resumeNext([&] {
        if (auto* self = dynamic_cast<const PaintsOnParent*>(&c)) {
            self->paintOnParent(dc, r.left, r.top);
        } else if (auto* target = dynamic_cast<const DrawTarget*>(&c)) {
            // A surface's context is a getter: reading it changes nothing.
            if (DC* own = const_cast<DrawTarget*>(target)->hDC(); own && own->surface()) {
                dc.fillRect(r, brushOf(c.BackColor()));
                if (dc.deviceScale() == 1.0 && own->deviceScale() == 1.0) {
                    blit(dc, *own->surface(), r.left + border, r.top + border);
                } else {
                    const Rect size = own->toLogical(own->surface()->bounds());
                    dc.bitBlt(r.left + border, r.top + border, size.right, size.bottom, own, 0, 0);
                }
            }
        } else if (auto* label = dynamic_cast<const Label*>(&c)) {
            drawLabel(*label, dc, r);
        } else if (auto* shape = dynamic_cast<const Shape*>(&c)) {
            drawShape(*shape, dc, r);
        } else if (auto* box = dynamic_cast<const TextBox*>(&c)) {
            drawTextControl(c, box->Text(), dc, r, c.BackColor());
        } else if (auto* web = dynamic_cast<const WebBrowser*>(&c)) {
            auto doc = web->Document();
            drawTextControl(c, doc ? doc->plainText() : std::string(), dc, r, 0x00FFFFFF);
        } else if (!dynamic_cast<const Timer*>(&c)) {
            if (auto text = textByName(c)) drawTextControl(c, *text, dc, r, c.BackColor());
            else dc.fillRect(r, brushOf(c.BackColor()));
        }
        if (border > 0) drawBorder(dc, r, border);
    });
    for (const auto& child : c.Children()) {
        if (!child->Visible()) continue;
        const std::int64_t cx = std::int64_t{r.left} + border + Screen::toPixels(child->leftTwips());
        const std::int64_t cy = std::int64_t{r.top} + border + Screen::toPixels(child->topTwips());
        paint(*child, dc, saturate32(cx), saturate32(cy));
    }
}

void Compositor::drawTextBlock(DC& dc, const std::string& text, const Rect& r, std::uint32_t align, bool wrap) {
    const std::int32_t lineHeight = std::max(1, dc.textMetrics().height);
    std::int64_t top = r.top;
    std::size_t begin = 0;
    while (begin < text.size() && top < r.bottom) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::size_t cut = end;
        if (wrap)
            while (cut > begin && dc.textExtent(std::string_view(text).substr(begin, cut - begin)).cx > r.width()) {
                const std::size_t blank = text.rfind(' ', cut - 1);
                if (blank == std::string::npos || blank <= begin) break;
                cut = blank;
            }
        Rect box{r.left, saturate32(top), r.right, saturate32(top + lineHeight)};
        dc.drawText(std::string_view(text).substr(begin, cut - begin), box, align | DT_TOP | DT_SINGLELINE);
        top += lineHeight;
        begin = cut;
        if (!wrap && begin < text.size() && text[begin] != '\n') break;
        while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\n'))
            if (text[begin++] == '\n') break;
    }
}

// At the screen's device pixel ratio: out holds the device pixels.
void Compositor::renderInto(const Control& root, Surface& out) {
    const double scale = Screen::devicePixelRatio();
    const std::int32_t w = Screen::toDevice(Screen::toPixels(root.widthTwips()), scale);
    const std::int32_t h = Screen::toDevice(Screen::toPixels(root.heightTwips()), scale);
    if (out.width() != w || out.height() != h) {
        if (w <= 0 || h <= 0 || !out.reset(w, h)) {
            out.clear();
            return;
        }
    }
    DC dc(&out);
    dc.setDeviceScale(scale);
    paint(root, dc, 0, 0);
}

Surface Compositor::render(const Control& root) {
    Surface out;
    renderInto(root, out);
    return out;
}

}  // namespace tavixTGCL2
