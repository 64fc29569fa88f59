#include "platform/PictureText.h"

#include <algorithm>
#include <charconv>

#include "platform/Error.h"

namespace tavixTGCL2 {

namespace {

constexpr std::string_view kMagic = "picture";
constexpr char kHex[] = "0123456789ABCDEF";

[[noreturn]] void bad(const std::string& why) { throw Error(errTypeMismatch, "invalid picture text: " + why); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendPixel(std::string& out, Pixel p, std::uint64_t count) {
    for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(p >> shift) & 0xF];
    if (count > 1) {
        out += '*';
        out += std::to_string(count);
    }
}

// Reads a decimal number followed by one blank.
std::int64_t readField(std::string_view text, std::size_t& at, const char* name) {
    std::int64_t v = 0;
    const char* b = text.data() + at;
    const char* e = text.data() + text.size();
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr == e || *r.ptr != ' ') bad(std::string("bad ") + name);
    at = static_cast<std::size_t>(r.ptr - text.data()) + 1;
    return v;
}

}  // namespace

std::string pictureToText(const PicturePtr& picture) {
    if (!picture || picture->pixels().isEmpty()) return {};
    const Surface& s = picture->pixels();
    std::string out(kMagic);
    out += ' ' + std::to_string(static_cast<int>(picture->type())) + ' ' + std::to_string(s.width()) + ' ' +
           std::to_string(s.height()) + ' ';
    const std::size_t n = static_cast<std::size_t>(s.width()) * static_cast<std::size_t>(s.height());
    const Pixel* px = s.data();
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i + 1;
        while (j < n && px[j] == px[i]) ++j;
        if (i > 0) out += ' ';
        appendPixel(out, px[i], j - i);
        i = j;
    }
    return out;
}

PicturePtr pictureFromText(std::string_view text) {
    if (text.empty()) return nullptr;
    if (text.substr(0, kMagic.size()) != kMagic || text.size() <= kMagic.size() || text[kMagic.size()] != ' ')
        bad("not a picture");
    std::size_t at = kMagic.size() + 1;
    const std::int64_t type = readField(text, at, "type");
    const std::int64_t width = readField(text, at, "width");
    const std::int64_t height = readField(text, at, "height");
    if (type < vbPicTypeBitmap || type > vbPicTypeEMetafile) bad("unknown picture type");
    if (width <= 0 || height <= 0 || width > Surface::kMaxDimension || height > Surface::kMaxDimension ||
        width * height > kMaxPictureTextPixels)
        bad("size out of range");

    Surface pixels(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (pixels.isEmpty()) bad("no memory for the picture");
    const std::uint64_t total = static_cast<std::uint64_t>(width * height);
    std::uint64_t filled = 0;
    Pixel* out = pixels.data();
    while (at < text.size()) {
        if (text.size() - at < 8) bad("short pixel");
        Pixel p = 0;
        for (int k = 0; k < 8; ++k) {
            const int h = hexValue(text[at + static_cast<std::size_t>(k)]);
            if (h < 0) bad("bad pixel digit");
            p = (p << 4) | static_cast<Pixel>(h);
        }
        at += 8;
        std::uint64_t count = 1;
        if (at < text.size() && text[at] == '*') {
            const char* b = text.data() + at + 1;
            auto r = std::from_chars(b, text.data() + text.size(), count);
            if (r.ec != std::errc() || r.ptr == b || count == 0) bad("bad repeat count");
            at = static_cast<std::size_t>(r.ptr - text.data());
        }
        if (count > total - filled) bad("more pixels than the size holds");
        std::fill(out + filled, out + filled + count, p);
        filled += count;
        if (at < text.size()) {
            if (text[at] != ' ' || at + 1 == text.size()) bad("pixels must be separated by one blank");
            ++at;
        }
    }
    if (filled != total) bad("fewer pixels than the size holds");
    return std::make_shared<const Picture>(static_cast<PictureType>(type), std::move(pixels));
}

}  // namespace tavixTGCL2
