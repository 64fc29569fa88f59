#include "platform/Surface.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace tavixTGCL2 {

// Blocks of eight pixels of a fixed count, which the compiler turns into
// vector stores at -O2 as well (a loop of unknown count it vectorises only
// at -O3, and a pixel at a time the fill costs four times a copy); on x86-64
// a second copy with 32-byte stores is chosen at load time on processors
// that have AVX2, which halves the store count of the fills that dominate
// painting.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void fillPixels(Pixel* dst, std::size_t n, Pixel p) {
    constexpr std::size_t kBlock = 8;
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock)
        for (std::size_t k = 0; k < kBlock; ++k) dst[i + k] = p;
    for (; i < n; ++i) dst[i] = p;
}

Surface::Surface(std::int32_t width, std::int32_t height, Pixel fill) { reset(width, height, fill); }

bool Surface::reset(std::int32_t width, std::int32_t height, Pixel fill) {
    clear();
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return false;
    try {
        m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    } catch (const std::bad_alloc&) {
        m_pixels = {};
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void Surface::clear() {
    m_pixels = {};
    m_width = 0;
    m_height = 0;
}

Pixel Surface::pixel(std::int32_t x, std::int32_t y, Pixel outside) const {
    if (!bounds().contains(x, y)) return outside;
    return row(y)[x];
}

void Surface::setPixel(std::int32_t x, std::int32_t y, Pixel p) {
    if (bounds().contains(x, y)) row(y)[x] = p;
}

ColorRef Surface::colorAt(std::int32_t x, std::int32_t y) const {
    if (!bounds().contains(x, y)) return CLR_INVALID;
    return colorRefFromPixel(row(y)[x]);
}

void Surface::fill(Pixel p) { fillPixels(m_pixels.data(), m_pixels.size(), p); }

void Surface::fill(const Rect& r, Pixel p) {
    const Rect c = r.intersected(bounds());
    if (c.isEmpty()) return;
    const auto n = static_cast<std::size_t>(c.width());
    for (std::int32_t y = c.top; y < c.bottom; ++y) fillPixels(row(y) + c.left, n, p);
}

}  // namespace tavixTGCL2

namespace tavixTGCL2 {

namespace {

// One axis of a resampling: for each destination index the source indices
// and weights (16.16 fixed point, summing to 65536). Enlarging interpolates
// between the two nearest pixel centres; shrinking averages the source
// pixels the destination pixel covers, each by the part it covers.
struct Tap {
    std::int32_t first = 0;
    std::vector<std::int32_t> weights;
};

std::vector<Tap> taps(std::int32_t from, std::int32_t to) {
    std::vector<Tap> out(static_cast<std::size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    for (std::int32_t d = 0; d < to; ++d) {
        Tap& t = out[static_cast<std::size_t>(d)];
        std::vector<double> w;
        if (ratio <= 1.0) {
            const double c = (d + 0.5) * ratio - 0.5;
            const double f = std::floor(c);
            const auto i = static_cast<std::int32_t>(f);
            const double frac = c - f;
            t.first = std::clamp(i, 0, from - 1);
            const std::int32_t second = std::clamp(i + 1, 0, from - 1);
            w = {1.0 - frac};
            if (second != t.first) w.push_back(frac);
            else w[0] = 1.0;
        } else {
            const double a = d * ratio;
            const double b = std::min<double>(from, (d + 1) * ratio);
            t.first = static_cast<std::int32_t>(std::floor(a));
            for (std::int32_t s = t.first; s < b; ++s) w.push_back((std::min<double>(s + 1, b) - std::max<double>(s, a)) / ratio);
        }
        std::int32_t sum = 0;
        for (double v : w) {
            t.weights.push_back(static_cast<std::int32_t>(std::lround(v * 65536)));
            sum += t.weights.back();
        }
        t.weights.back() += 65536 - sum;  // exact sum, so flat colours stay flat
    }
    return out;
}

}  // namespace

Surface scaledSmooth(const Surface& src, std::int32_t w, std::int32_t h) {
    Surface out;
    if (src.isEmpty() || w <= 0 || h <= 0 || !out.reset(w, h, 0)) return out;
    if (w == src.width() && h == src.height()) return src;
    const std::vector<Tap> xs = taps(src.width(), w);
    const std::vector<Tap> ys = taps(src.height(), h);
    // Channels are premultiplied by alpha while they are mixed, so that a
    // see-through pixel lends no colour to its neighbours' edges.
    std::vector<std::int64_t> acc(static_cast<std::size_t>(src.width()) * 4);
    for (std::int32_t y = 0; y < h; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        const Tap& ty = ys[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < ty.weights.size(); ++k) {
            const Pixel* row = src.row(std::min(ty.first + static_cast<std::int32_t>(k), src.height() - 1));
            const std::int64_t wy = ty.weights[k];
            for (std::int32_t x = 0; x < src.width(); ++x) {
                const Pixel p = row[x];
                const std::int64_t a = p >> 24;
                std::int64_t* c = &acc[static_cast<std::size_t>(x) * 4];
                c[0] += wy * a;
                c[1] += wy * ((p >> 16) & 0xFF) * a;
                c[2] += wy * ((p >> 8) & 0xFF) * a;
                c[3] += wy * (p & 0xFF) * a;
            }
        }
        Pixel* dst = out.row(y);
        for (std::int32_t x = 0; x < w; ++x) {
            const Tap& tx = xs[static_cast<std::size_t>(x)];
            std::int64_t c[4] = {0, 0, 0, 0};
            for (std::size_t k = 0; k < tx.weights.size(); ++k) {
                const std::int64_t* s = &acc[static_cast<std::size_t>(std::min(tx.first + static_cast<std::int32_t>(k), src.width() - 1)) * 4];
                for (int i = 0; i < 4; ++i) c[i] += s[i] * tx.weights[k];
            }
            constexpr std::int64_t kOne = std::int64_t{1} << 32;
            const std::int64_t a = (c[0] + kOne / 2) / kOne;
            if (a <= 0) {
                dst[x] = 0;
                continue;
            }
            // The weighted colour over the weighted alpha, rounded.
            auto ch = [&](std::int64_t v) { return static_cast<Pixel>(std::clamp<std::int64_t>((v + c[0] / 2) / c[0], 0, 255)); };
            dst[x] = (static_cast<Pixel>(std::min<std::int64_t>(a, 255)) << 24) | (ch(c[1]) << 16) | (ch(c[2]) << 8) | ch(c[3]);
        }
    }
    return out;
}

}  // namespace tavixTGCL2
