#pragma once
// Text of the drawn controls measured and drawn with Qt's fonts, so that
// "Tahoma", "Arial" and "Verdana" come out as the fontconfig substitutes a
// Linux desktop has and look like the text of the widgets around them.
// Sizes go from points to pixels through the twips setting (96 dpi at 15
// twips to a pixel), whatever the screen reports, so measuring and drawing
// agree with the controls' own layout arithmetic.
#include <QFont>
#include <QFontMetrics>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/FontEngine.h"

namespace tavixTGCL2::qt {

class QtFontEngine final : public FontEngine {
public:
    QtFontEngine();
    // Names of the fonts the controls ask for mapped to families that are
    // likely installed (metric-compatible where there is one).
    static void installSubstitutions();

    TextMetrics metrics(const Font& font) const override;
    Size measure(const Font& font, std::string_view text) const override;
    void draw(Surface& target, const Rect& clip, std::int32_t x, std::int32_t y, const Font& font,
              std::string_view text, ColorRef color) const override;

private:
    struct Entry {
        QFont font;
        QFontMetrics metrics;
    };
    const Entry& entry(const Font& font) const;
    using Key = std::tuple<std::string, double, bool, bool, bool, int>;
    mutable std::map<Key, std::unique_ptr<Entry>> m_cache;
};

}  // namespace tavixTGCL2::qt
