#pragma once
// Small text helpers shared by the readers of foreign formats (HTML, RTF):
// everything they produce is valid UTF-8, whatever bytes came in.
#include <cstddef>
#include <string>
#include <string_view>

namespace tavixTGCL2::textcodec {

constexpr char32_t kReplacement = 0xFFFD;

// Appends the code point as UTF-8; surrogates and values past U+10FFFF
// append U+FFFD instead, so the result stays valid.
void appendUtf8(std::string& out, char32_t cp);

// The Windows-1252 character of a byte (0x80-0x9F hold the typographic
// quotes, dashes and the euro sign; the rest equal Latin-1). The five bytes
// that code page leaves undefined map to U+FFFD.
char32_t cp1252ToUnicode(unsigned char byte);

// Length of the well-formed UTF-8 sequence starting at s[pos] (1 to 4), or
// 0 when the bytes there are not one (overlong forms and surrogates are not).
std::size_t utf8SequenceLength(std::string_view s, std::size_t pos);

// Valid UTF-8 as it is; every byte that is not part of a well-formed
// sequence is read as Windows-1252, the usual code page of stray 8-bit text.
std::string sanitizeUtf8(std::string_view s);

}  // namespace tavixTGCL2::textcodec
