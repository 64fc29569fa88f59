#include "resources/TextBitmap.h"

#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Error.h"
#include "resources/Resources.h"

namespace tavixTGCL2::TextBitmap {

namespace {

constexpr std::int32_t kMaxSide = 4096;
// Printable characters other than the blank; the blank would vanish from the
// end of a row in most editors.
constexpr std::string_view kKeys =
    ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    "!\"$%&'()*+,-/:;<=>?@[\\]^_`{|}~";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::size_t b = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > b) out.push_back(s.substr(b, i - b));
    }
    return out;
}

Error lineError(int line, const std::string& why) {
    return Error(errGeneric, "text bitmap line " + std::to_string(line) + ": " + why);
}

bool parseInt(std::string_view s, std::int32_t& out) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parseRgb(std::string_view s, Pixel& out) {
    if (s.size() != 6) return false;
    std::uint32_t v = 0;
    auto r = std::from_chars(s.data(), s.data() + 6, v, 16);
    if (r.ec != std::errc() || r.ptr != s.data() + 6) return false;
    out = 0xFF000000u | v;
    return true;
}

void appendRgb(std::string& out, Pixel p) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(p >> shift) & 0xF];
}

}  // namespace

Surface parse(std::string_view text, PictureType* kind) {
    std::int32_t w = -1, h = -1;
    PictureType k = vbPicTypeBitmap;
    std::map<char, Pixel> palette;
    bool hex = false;
    Surface out;
    std::int32_t row = -1;  // -1 until "pixels"
    int line = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        std::string_view s = trimmed(raw);
        if (row >= 0) {
            if (row == h) {
                if (!s.empty()) throw lineError(line, "more rows than the size gives");
                continue;
            }
            Pixel* dst = out.row(row);
            if (hex) {
                auto ws = words(s);
                if (static_cast<std::int32_t>(ws.size()) != w) throw lineError(line, "row is not " + std::to_string(w) + " colours wide");
                for (std::int32_t x = 0; x < w; ++x)
                    if (!parseRgb(ws[x], dst[x])) throw lineError(line, "bad colour '" + std::string(ws[x]) + "'");
            } else {
                if (static_cast<std::int32_t>(s.size()) != w) throw lineError(line, "row is not " + std::to_string(w) + " characters wide");
                for (std::int32_t x = 0; x < w; ++x) {
                    auto it = palette.find(s[x]);
                    if (it == palette.end()) throw lineError(line, std::string("no colour for '") + s[x] + "'");
                    dst[x] = it->second;
                }
            }
            ++row;
            continue;
        }
        if (s.empty() || s.front() == '#') continue;
        auto ws = words(s);
        if (ws[0] == "size") {
            if (ws.size() != 3 || !parseInt(ws[1], w) || !parseInt(ws[2], h) || w < 1 || h < 1 ||
                w > kMaxSide || h > kMaxSide)
                throw lineError(line, "size needs a width and a height from 1 to 4096");
        } else if (ws[0] == "kind") {
            if (ws.size() == 2 && ws[1] == "bitmap") k = vbPicTypeBitmap;
            else if (ws.size() == 2 && ws[1] == "icon") k = vbPicTypeIcon;
            else throw lineError(line, "kind is bitmap or icon");
        } else if (ws[0] == "color") {
            Pixel p = 0;
            if (ws.size() != 3 || ws[1].size() != 1 || !parseRgb(ws[2], p))
                throw lineError(line, "color needs one character and RRGGBB");
            if (!palette.emplace(ws[1][0], p).second) throw lineError(line, "colour character used twice");
        } else if (ws[0] == "pixels") {
            if (w < 0) throw lineError(line, "pixels before size");
            hex = ws.size() == 2 && ws[1] == "hex";
            if (ws.size() > 2 || (ws.size() == 2 && !hex)) throw lineError(line, "pixels takes only 'hex'");
            if (!out.reset(w, h)) throw lineError(line, "size cannot be served");
            row = 0;
        } else {
            throw lineError(line, "unknown word '" + std::string(ws[0]) + "'");
        }
    }
    if (row < 0) throw lineError(line, "no pixels");
    if (row < h) throw lineError(line, "only " + std::to_string(row) + " of " + std::to_string(h) + " rows");
    if (kind) *kind = k;
    return out;
}

PicturePtr parsePicture(std::string_view text) {
    PictureType kind = vbPicTypeBitmap;
    Surface s = parse(text, &kind);
    return std::make_shared<const Picture>(kind, std::move(s));
}

std::string format(const Surface& s, PictureType kind) {
    if (s.isEmpty()) return {};
    std::string out = "size " + std::to_string(s.width()) + " " + std::to_string(s.height()) + "\n";
    if (kind == vbPicTypeIcon) out += "kind icon\n";
    std::map<Pixel, char> keys;
    bool hex = false;
    for (std::int32_t y = 0; y < s.height() && !hex; ++y)
        for (std::int32_t x = 0; x < s.width(); ++x) {
            Pixel p = s.row(y)[x] | 0xFF000000u;
            if (keys.count(p)) continue;
            if (keys.size() == kKeys.size()) {
                hex = true;
                break;
            }
            keys.emplace(p, kKeys[keys.size()]);
        }
    if (hex) {
        out += "pixels hex\n";
        for (std::int32_t y = 0; y < s.height(); ++y) {
            for (std::int32_t x = 0; x < s.width(); ++x) {
                if (x) out += ' ';
                appendRgb(out, s.row(y)[x]);
            }
            out += '\n';
        }
        return out;
    }
    for (const auto& [p, c] : keys) {
        out += "color ";
        out += c;
        out += ' ';
        appendRgb(out, p);
        out += '\n';
    }
    out += "pixels\n";
    for (std::int32_t y = 0; y < s.height(); ++y) {
        for (std::int32_t x = 0; x < s.width(); ++x) out += keys.at(s.row(y)[x] | 0xFF000000u);
        out += '\n';
    }
    return out;
}

}  // namespace tavixTGCL2::TextBitmap

namespace tavixTGCL2::Resources {

PicturePtr loadPicture(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, PicturePtr, std::less<>> cache;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(name); it != cache.end()) return it->second;
    PicturePtr p = TextBitmap::parsePicture(get(name));
    cache.emplace(std::string(name), p);
    return p;
}

PicturePtr LoadResPicture(std::int32_t number) {
    return loadPicture("bitmap" + std::to_string(number) + ".txt");
}

}  // namespace tavixTGCL2::Resources
