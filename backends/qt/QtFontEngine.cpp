#include "QtFontEngine.h"

#include <QPainter>

#include "QtConvert.h"

namespace tavixTGCL2::qt {

QtFontEngine::QtFontEngine() { installSubstitutions(); }

void QtFontEngine::installSubstitutions() {
    // Liberation Sans keeps Arial's metrics; DejaVu Sans grew out of the
    // Vera design that is closest to Verdana and Tahoma. The old bitmap
    // dialog font has no outline successor, so it takes the Arial line.
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"});
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Microsoft Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", "Liberation Sans"});
    QFont::insertSubstitutions("Verdana", {"DejaVu Sans", "Liberation Sans"});
    QFont::insertSubstitutions("Times New Roman", {"Liberation Serif", "DejaVu Serif"});
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
}

const QtFontEngine::Entry& QtFontEngine::entry(const Font& font) const {
    // The twips setting is part of the key: changing it changes every size.
    Key key{font.name, font.size, font.bold, font.italic, font.underline, Screen::TwipsPerPixelX()};
    auto it = m_cache.find(key);
    if (it == m_cache.end()) {
        QFont q = toQFont(font);
        it = m_cache.emplace(key, std::make_unique<Entry>(Entry{q, QFontMetrics(q)})).first;
    }
    return *it->second;
}

TextMetrics QtFontEngine::metrics(const Font& font) const {
    const QFontMetrics& m = entry(font).metrics;
    TextMetrics tm;
    tm.ascent = m.ascent();
    tm.descent = m.descent();
    tm.height = tm.ascent + tm.descent;
    tm.averageCharWidth = m.averageCharWidth();
    tm.maxCharWidth = m.maxWidth();
    return tm;
}

namespace {
Size measure_(const QFontMetrics& m, std::string_view text) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return Size{m.horizontalAdvance(s), m.ascent() + m.descent()};
}
}  // namespace

Size QtFontEngine::measure(const Font& font, std::string_view text) const {
    return measure_(entry(font).metrics, text);
}

void QtFontEngine::draw(Surface& target, const Rect& clip, std::int32_t x, std::int32_t y, const Font& font,
                        std::string_view text, ColorRef color) const {
    if (text.empty() || clip.isEmpty() || target.isEmpty()) return;
    const Entry& e = entry(font);
    QImage image = wrapSurface(target);
    QPainter p(&image);
    p.setClipRect(QRect(clip.left, clip.top, static_cast<int>(clip.width()), static_cast<int>(clip.height())));
    p.setFont(e.font);
    p.setPen(toQColor(color));
    p.drawText(QPoint(x, y + e.metrics.ascent()), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace tavixTGCL2::qt
