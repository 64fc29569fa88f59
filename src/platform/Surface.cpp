#include "platform/Surface.h"

#include <algorithm>
#include <new>

namespace tavixTGCL2 {

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

void Surface::fill(Pixel p) { std::fill(m_pixels.begin(), m_pixels.end(), p); }

void Surface::fill(const Rect& r, Pixel p) {
    const Rect c = r.intersected(bounds());
    if (c.isEmpty()) return;
    for (std::int32_t y = c.top; y < c.bottom; ++y) std::fill(row(y) + c.left, row(y) + c.right, p);
}

}  // namespace tavixTGCL2
