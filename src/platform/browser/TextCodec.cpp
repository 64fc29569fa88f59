#include "platform/TextCodec.h"

namespace tavixTGCL2::textcodec {

void appendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t cp1252ToUnicode(unsigned char byte) {
    static constexpr char32_t k80to9F[32] = {
        0x20AC, kReplacement, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030,       0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
        kReplacement, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122,       0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F) return k80to9F[byte - 0x80];
    return byte;
}

std::size_t utf8SequenceLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = at(pos);
    if (b0 < 0x80) return 1;
    std::size_t len;
    char32_t min;
    char32_t cp;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        unsigned char b = at(pos + i);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

std::string sanitizeUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t n = utf8SequenceLength(s, i);
        if (n == 0) {
            appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(s[i])));
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

}  // namespace tavixTGCL2::textcodec
