#include "platform/FontEngine.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/InstalledServices.h"

namespace tavixTGCL2 {

namespace {

using GlyphRows = std::array<std::uint8_t, BitmapFontEngine::kGlyphRows>;

// Rows are written left to right with '#' for ink, separated by blanks; rows
// 0..6 sit above the baseline, 7 and 8 hold descenders; missing rows are blank.
constexpr GlyphRows glyph(const char* art) {
    GlyphRows rows{};
    std::size_t r = 0;
    int col = 0;
    for (const char* p = art; *p != '\0' && r < rows.size(); ++p) {
        if (*p == ' ') {
            ++r;
            col = 0;
            continue;
        }
        if (*p == '#') rows[r] = static_cast<std::uint8_t>(rows[r] | (0x10 >> col));
        ++col;
    }
    return rows;
}

constexpr std::array<GlyphRows, 95> kAscii{{
    glyph(""),                                              // ' '
    glyph("..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#.."),     // !
    glyph(".#.#. .#.#."),                                   // "
    glyph(".#.#. .#.#. ##### .#.#. ##### .#.#. .#.#."),     // #
    glyph("..#.. .#### #.#.. .###. ..#.# ####. ..#.."),     // $
    glyph("##... ##..# ...#. ..#.. .#... #..## ...##"),     // %
    glyph(".##.. #..#. #.#.. .#... #.#.# #..#. .##.#"),     // &
    glyph("..#.. ..#.. .#..."),                             // '
    glyph("...#. ..#.. .#... .#... .#... ..#.. ...#."),     // (
    glyph(".#... ..#.. ...#. ...#. ...#. ..#.. .#..."),     // )
    glyph("..... ..#.. #.#.# .###. #.#.# ..#.. ....."),     // *
    glyph("..... ..#.. ..#.. ##### ..#.. ..#.. ....."),     // +
    glyph("..... ..... ..... ..... ..... .##.. ..#.. .#..."),  // ,
    glyph("..... ..... ..... ##### ..... ..... ....."),     // -
    glyph("..... ..... ..... ..... ..... .##.. .##.."),     // .
    glyph("....# ....# ...#. ..#.. .#... #.... #...."),     // /
    glyph(".###. #...# #..## #.#.# ##..# #...# .###."),     // 0
    glyph("..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###."),     // 1
    glyph(".###. #...# ....# ...#. ..#.. .#... #####"),     // 2
    glyph("##### ...#. ..#.. ...#. ....# #...# .###."),     // 3
    glyph("...#. ..##. .#.#. #..#. ##### ...#. ...#."),     // 4
    glyph("##### #.... ####. ....# ....# #...# .###."),     // 5
    glyph("..##. .#... #.... ####. #...# #...# .###."),     // 6
    glyph("##### ....# ...#. ..#.. .#... .#... .#..."),     // 7
    glyph(".###. #...# #...# .###. #...# #...# .###."),     // 8
    glyph(".###. #...# #...# .#### ....# ...#. .##.."),     // 9
    glyph("..... .##.. .##.. ..... .##.. .##.. ....."),     // :
    glyph("..... .##.. .##.. ..... .##.. ..#.. .#..."),     // ;
    glyph("...#. ..#.. .#... #.... .#... ..#.. ...#."),     // <
    glyph("..... ..... ##### ..... ##### ..... ....."),     // =
    glyph(".#... ..#.. ...#. ....# ...#. ..#.. .#..."),     // >
    glyph(".###. #...# ....# ...#. ..#.. ..... ..#.."),     // ?
    glyph(".###. #...# ....# .##.# #.#.# #.#.# .###."),     // @
    glyph(".###. #...# #...# ##### #...# #...# #...#"),     // A
    glyph("####. #...# #...# ####. #...# #...# ####."),     // B
    glyph(".###. #...# #.... #.... #.... #...# .###."),     // C
    glyph("###.. #..#. #...# #...# #...# #..#. ###.."),     // D
    glyph("##### #.... #.... ####. #.... #.... #####"),     // E
    glyph("##### #.... #.... ####. #.... #.... #...."),     // F
    glyph(".###. #...# #.... #.### #...# #...# .####"),     // G
    glyph("#...# #...# #...# ##### #...# #...# #...#"),     // H
    glyph(".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###."),     // I
    glyph("..### ...#. ...#. ...#. ...#. #..#. .##.."),     // J
    glyph("#...# #..#. #.#.. ##... #.#.. #..#. #...#"),     // K
    glyph("#.... #.... #.... #.... #.... #.... #####"),     // L
    glyph("#...# ##.## #.#.# #.#.# #...# #...# #...#"),     // M
    glyph("#...# #...# ##..# #.#.# #..## #...# #...#"),     // N
    glyph(".###. #...# #...# #...# #...# #...# .###."),     // O
    glyph("####. #...# #...# ####. #.... #.... #...."),     // P
    glyph(".###. #...# #...# #...# #.#.# #..#. .##.#"),     // Q
    glyph("####. #...# #...# ####. #.#.. #..#. #...#"),     // R
    glyph(".#### #.... #.... .###. ....# ....# ####."),     // S
    glyph("##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."),     // T
    glyph("#...# #...# #...# #...# #...# #...# .###."),     // U
    glyph("#...# #...# #...# #...# #...# .#.#. ..#.."),     // V
    glyph("#...# #...# #...# #.#.# #.#.# #.#.# .#.#."),     // W
    glyph("#...# #...# .#.#. ..#.. .#.#. #...# #...#"),     // X
    glyph("#...# #...# .#.#. ..#.. ..#.. ..#.. ..#.."),     // Y
    glyph("##### ....# ...#. ..#.. .#... #.... #####"),     // Z
    glyph(".###. .#... .#... .#... .#... .#... .###."),     // [
    glyph("#.... #.... .#... ..#.. ...#. ....# ....#"),     // backslash
    glyph(".###. ...#. ...#. ...#. ...#. ...#. .###."),     // ]
    glyph("..#.. .#.#. #...#"),                             // ^
    glyph("..... ..... ..... ..... ..... ..... ..... #####"),  // _
    glyph(".#... ..#.. ...#."),                             // `
    glyph("..... ..... .###. ....# .#### #...# .####"),     // a
    glyph("#.... #.... ####. #...# #...# #...# ####."),     // b
    glyph("..... ..... .###. #.... #.... #...# .###."),     // c
    glyph("....# ....# .#### #...# #...# #...# .####"),     // d
    glyph("..... ..... .###. #...# ##### #.... .###."),     // e
    glyph("..##. .#..# .#... ###.. .#... .#... .#..."),     // f
    glyph("..... ..... .#### #...# #...# #...# .#### ....# .###."),  // g
    glyph("#.... #.... #.##. ##..# #...# #...# #...#"),     // h
    glyph("..#.. ..... .##.. ..#.. ..#.. ..#.. .###."),     // i
    glyph("...#. ..... ..##. ...#. ...#. ...#. ...#. #..#. .##.."),  // j
    glyph("#.... #.... #..#. #.#.. ##... #.#.. #..#."),     // k
    glyph(".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###."),     // l
    glyph("..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#"),     // m
    glyph("..... ..... #.##. ##..# #...# #...# #...#"),     // n
    glyph("..... ..... .###. #...# #...# #...# .###."),     // o
    glyph("..... ..... ####. #...# #...# #...# ####. #.... #...."),  // p
    glyph("..... ..... .#### #...# #...# #...# .#### ....# ....#"),  // q
    glyph("..... ..... #.##. ##..# #.... #.... #...."),     // r
    glyph("..... ..... .#### #.... .###. ....# ####."),     // s
    glyph(".#... .#... ###.. .#... .#... .#..# ..##."),     // t
    glyph("..... ..... #...# #...# #...# #..## .##.#"),     // u
    glyph("..... ..... #...# #...# #...# .#.#. ..#.."),     // v
    glyph("..... ..... #...# #...# #.#.# #.#.# .#.#."),     // w
    glyph("..... ..... #...# .#.#. ..#.. .#.#. #...#"),     // x
    glyph("..... ..... #...# #...# #...# #...# .#### ....# .###."),  // y
    glyph("..... ..... ##### ...#. ..#.. .#... #####"),     // z
    glyph("...#. ..#.. ..#.. .#... ..#.. ..#.. ...#."),     // {
    glyph("..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."),  // |
    glyph(".#... ..#.. ..#.. ...#. ..#.. ..#.. .#..."),     // }
    glyph("..... ..... .#... #.#.# ...#. ..... ....."),     // ~
}};

constexpr GlyphRows kBox = glyph("##### #...# #...# #...# #...# #...# #####");

// One code point from UTF-8; a malformed byte counts as one unknown
// character so that broken text still takes visible room.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : -1;
    if (extra < 0 || b0 > 0xF4) return 0xFFFD;
    char32_t cp = b0 & (0x3F >> extra);
    std::size_t j = i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
    }
    i = j;
    return cp;
}

bool isControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

const GlyphRows& glyphFor(char32_t cp) {
    if (cp >= 0x20 && cp < 0x7F) return kAscii[cp - 0x20];
    return kBox;
}

// Italic shifts rows right the higher they sit: 2 design pixels for rows
// 0-1, 1 for rows 2-4, none from row 5 down.
std::int32_t italicShift(std::int32_t row) { return row < 2 ? 2 : row < 5 ? 1 : 0; }

std::int64_t countCharacters(std::string_view text) {
    std::int64_t n = 0;
    for (std::size_t i = 0; i < text.size();)
        if (!isControl(nextCodePoint(text, i))) ++n;
    return n;
}

std::shared_ptr<FontEngine>& installedEngine() {
    static std::shared_ptr<FontEngine> engine;
    return engine;
}

}  // namespace

std::int32_t BitmapFontEngine::scaleFor(double points) {
    if (!(points > 0) || !std::isfinite(points)) return 1;
    const double s = std::floor(points / 8.0 + 0.5);
    if (s < 1) return 1;
    return s > kMaxScale ? kMaxScale : static_cast<std::int32_t>(s);
}

std::int32_t BitmapFontEngine::advanceFor(const Font& font) {
    return (kCellWidth + (font.bold ? 1 : 0)) * scaleFor(font.size);
}

TextMetrics BitmapFontEngine::metrics(const Font& font) const {
    const std::int32_t s = scaleFor(font.size);
    TextMetrics m;
    m.height = kCellHeight * s;
    m.ascent = kAscent * s;
    m.descent = m.height - m.ascent;
    m.averageCharWidth = advanceFor(font);
    m.maxCharWidth = m.averageCharWidth;
    return m;
}

Size BitmapFontEngine::measure(const Font& font, std::string_view text) const {
    return {saturate32(countCharacters(text) * advanceFor(font)), kCellHeight * scaleFor(font.size)};
}

void BitmapFontEngine::draw(Surface& target, const Rect& clip, std::int32_t x, std::int32_t y,
                            const Font& font, std::string_view text, ColorRef color) const {
    const Rect area = clip.intersected(target.bounds());
    if (area.isEmpty()) return;
    const std::int32_t s = scaleFor(font.size);
    const std::int64_t advance = advanceFor(font);
    const std::int32_t inkWidth = (kGlyphWidth + (font.bold ? 1 : 0));
    const Pixel ink = pixelFromColorRef(color);
    const std::int64_t glyphTop = std::int64_t{y} + std::int64_t{kTopPadding} * s;

    // Blocks of s x s pixels, clipped here so that the inner loop is plain
    // stores into the row.
    auto fillBlock = [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        l = std::max<std::int64_t>(l, area.left);
        r = std::min<std::int64_t>(r, area.right);
        t = std::max<std::int64_t>(t, area.top);
        b = std::min<std::int64_t>(b, area.bottom);
        if (l >= r || t >= b) return;
        for (auto yy = static_cast<std::int32_t>(t); yy < b; ++yy)
            std::fill_n(target.row(yy) + l, static_cast<std::size_t>(r - l), ink);
    };

    std::int64_t penX = x;
    const std::int64_t overhang = font.italic ? 2 * s : 0;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextCodePoint(text, i);
        if (isControl(cp)) continue;
        // Glyphs wholly left of the clip are skipped cheaply; once past the
        // right edge nothing more can show.
        if (penX >= area.right) break;
        if (penX + advance + overhang > area.left) {
            const GlyphRows& rows = glyphFor(cp);
            for (std::int32_t r = 0; r < kGlyphRows; ++r) {
                // Six columns with 0x20 leftmost; bold adds the glyph again
                // one column to the right.
                const std::uint32_t design = rows[static_cast<std::size_t>(r)];
                const std::uint32_t bits = (design << 1) | (font.bold ? design : 0u);
                if (bits == 0) continue;
                const std::int64_t top = glyphTop + std::int64_t{r} * s;
                if (top >= area.bottom || top + s <= area.top) continue;
                const std::int64_t left = penX + (font.italic ? std::int64_t{italicShift(r)} * s : 0);
                // Runs of ink in a row become one block each.
                std::int32_t c = 0;
                while (c < inkWidth) {
                    if (!(bits & (0x20u >> c))) {
                        ++c;
                        continue;
                    }
                    std::int32_t e = c;
                    while (e < inkWidth && (bits & (0x20u >> e))) ++e;
                    fillBlock(left + std::int64_t{c} * s, top, left + std::int64_t{e} * s, top + s);
                    c = e;
                }
            }
        }
        penX += advance;
    }
    if (font.underline && penX > x) {
        const std::int64_t top = glyphTop + std::int64_t{7} * s;
        fillBlock(x, top, penX, top + s);
    }
}

FontEngine& fontEngine() {
    static BitmapFontEngine builtIn;
    auto& installed = installedEngine();
    return installed ? *installed : builtIn;
}

std::shared_ptr<FontEngine> installedFontEngine() { return installedEngine(); }

void installFontEngine(std::shared_ptr<FontEngine> engine) { installedEngine() = std::move(engine); }

}  // namespace tavixTGCL2
