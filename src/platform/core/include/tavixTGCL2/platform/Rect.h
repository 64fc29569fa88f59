#pragma once
// Points, sizes and rectangles of the drawing code. Rectangles are left, top,
// right, bottom in 32-bit integers with right and bottom exclusive. Arithmetic
// that could leave the 32-bit range saturates instead of wrapping, so that a
// hostile coordinate never turns into undefined behaviour or a wrapped rectangle.
#include <tavixTGCL2/Export.h>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace tavixTGCL2 {

constexpr std::int32_t saturate32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

struct TGCL_API Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct TGCL_API Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct TGCL_API Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // 64-bit so that INT_MIN..INT_MAX spans stay exact.
    constexpr std::int64_t width() const { return std::int64_t{right} - left; }
    constexpr std::int64_t height() const { return std::int64_t{bottom} - top; }
    // Inverted rectangles count as empty, as they do for every fill.
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr Rect normalized() const {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
    }
    // An empty intersection is the all-zero rectangle.
    constexpr Rect intersected(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.isEmpty() ? Rect{} : r;
    }
    constexpr Rect offsetBy(std::int64_t dx, std::int64_t dy) const {
        return {saturate32(left + dx), saturate32(top + dy), saturate32(right + dx),
                saturate32(bottom + dy)};
    }
    // Grows every side outwards by (dx, dy); negative values shrink.
    constexpr Rect inflated(std::int64_t dx, std::int64_t dy) const {
        return {saturate32(left - dx), saturate32(top - dy), saturate32(right + dx),
                saturate32(bottom + dy)};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tavixTGCL2
