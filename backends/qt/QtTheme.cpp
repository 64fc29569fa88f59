#include "QtTheme.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

#include <cctype>

#include "QtConvert.h"

namespace tavixTGCL2::qt {

namespace {

bool namesProgress(std::string_view classList) {
    while (!classList.empty()) {
        const std::size_t semi = classList.find(';');
        std::string_view name = classList.substr(0, semi);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) name.remove_prefix(1);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.remove_suffix(1);
        if (name.size() == 8) {
            bool same = true;
            for (std::size_t i = 0; i < 8; ++i)
                same = same && std::tolower(static_cast<unsigned char>(name[i])) == "progress"[i];
            if (same) return true;
        }
        if (semi == std::string_view::npos) break;
        classList.remove_prefix(semi + 1);
    }
    return false;
}

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, static_cast<int>(r.width()), static_cast<int>(r.height())); }

// A painter on the context's surface, clipped as the context is (its clip
// box) and to `clip` when given.
struct SurfacePainter {
    QImage image;
    QPainter painter;
    bool ok = false;
    SurfacePainter(DC& dc, const Rect* clip) {
        Surface* s = dc.surface();
        if (!s || s->isEmpty()) return;
        Rect box = dc.clipBox();
        if (clip) box = box.intersected(*clip);
        if (box.isEmpty()) return;
        image = wrapSurface(*s);
        // The painter then takes the context's logical coordinates and the
        // style draws at device resolution.
        image.setDevicePixelRatio(dc.deviceScale());
        ok = painter.begin(&image);
        painter.setClipRect(toQRect(box));
    }
};

QStyleOptionProgressBar progressOption(const QRect& r, bool horizontal, bool full) {
    QStyleOptionProgressBar opt;
    opt.rect = r;
    opt.palette = QApplication::palette();
    opt.state = QStyle::State_Enabled;
    if (horizontal) opt.state |= QStyle::State_Horizontal;
    opt.minimum = 0;
    opt.maximum = 100;
    opt.progress = full ? 100 : 0;
    opt.textVisible = false;
    return opt;
}

}  // namespace

QStyle* QtTheme::style() const { return m_style ? m_style.data() : QApplication::style(); }

ThemeHandle QtTheme::openThemeData(std::int32_t, std::string_view classList) {
    if (!style() || !namesProgress(classList)) return 0;
    return reinterpret_cast<ThemeHandle>(this);
}

void QtTheme::closeThemeData(ThemeHandle) {}

bool QtTheme::getThemeInt(ThemeHandle theme, std::int32_t, std::int32_t, std::int32_t prop, std::int32_t& value) {
    if (!isOpen(theme)) return false;
    // The style draws its own chunks (or none) inside the contents, so the
    // renderer is told the bar is continuous.
    if (prop == TMT_PROGRESSCHUNKSIZE || prop == TMT_PROGRESSSPACESIZE) {
        value = 0;
        return true;
    }
    return false;
}

bool QtTheme::drawThemeBackground(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t, const Rect& r,
                                  const Rect* clip) {
    if (!isOpen(theme) || part < PP_BAR || part > PP_CHUNKVERT || !dc.surface()) return false;
    if (r.isEmpty()) return true;
    SurfacePainter sp(dc, clip);
    if (!sp.ok) return true;
    const bool horizontal = part == PP_BAR || part == PP_CHUNK;
    if (part == PP_BAR || part == PP_BARVERT) {
        auto opt = progressOption(toQRect(r), horizontal, false);
        style()->drawControl(QStyle::CE_ProgressBarGroove, &opt, &sp.painter);
    } else {
        auto opt = progressOption(toQRect(r), horizontal, true);
        style()->drawControl(QStyle::CE_ProgressBarContents, &opt, &sp.painter);
    }
    return true;
}

bool QtTheme::getThemeBackgroundContentRect(ThemeHandle theme, DC&, std::int32_t part, std::int32_t,
                                            const Rect& bounds, Rect& content) {
    if (!isOpen(theme) || part < 0 || part > PP_CHUNKVERT) return false;
    content = (part == PP_BAR || part == PP_BARVERT || part == 0) ? bounds.inflated(-1, -1) : bounds;
    return true;
}

bool QtTheme::drawThemeText(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t, std::string_view text,
                            std::uint32_t format, const Rect& r) {
    if (!isOpen(theme) || part < 0 || part > PP_CHUNKVERT) return false;
    SurfacePainter sp(dc, &r);
    if (!sp.ok) return true;
    int align = Qt::TextSingleLine;
    align |= (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    align |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    Font shown = dc.font();
    shown.size *= Screen::textScale();
    sp.painter.setFont(toQFont(shown));
    sp.painter.setPen(QApplication::palette().color(QPalette::WindowText));
    sp.painter.drawText(toQRect(r), align, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

}  // namespace tavixTGCL2::qt
