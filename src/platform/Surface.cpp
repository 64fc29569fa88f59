#include "platform/Surface.h"

#include <algorithm>
#include <new>

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
