#pragma once
// A block of 32-bit pixels (0xFFRRGGBB, rows top to bottom, no padding): the
// bitmap that a device context draws into.
#include <tavixTGCL2/Export.h>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/Rect.h>

namespace tavixTGCL2 {

// Sets n pixels to p: the inner loop of every solid fill, built with wide
// stores where the processor has them.
TGCL_API void fillPixels(Pixel* dst, std::size_t n, Pixel p);

class Surface;
// src resampled to w x h with bilinear filtering over pixel centres (an area
// average where it shrinks by more than half), for pictures shown at a
// device pixel ratio other than the one they were made for. Alpha is
// carried along. An empty source or size gives an empty surface.
TGCL_API Surface scaledSmooth(const Surface& src, std::int32_t w, std::int32_t h);

class TGCL_API Surface {
public:
    // Beyond this a request is refused rather than risking an allocation that
    // the machine cannot serve.
    static constexpr std::int32_t kMaxDimension = 16384;
    static constexpr Pixel kWhite = 0xFFFFFFFFu;

    Surface() = default;
    // A size that is negative, zero in one direction, too large or cannot be
    // allocated gives an empty surface (0 x 0).
    Surface(std::int32_t width, std::int32_t height, Pixel fill = kWhite);

    // Replaces the pixels with a new block. Returns false, leaving an empty
    // surface, when the size cannot be served.
    bool reset(std::int32_t width, std::int32_t height, Pixel fill = kWhite);
    void clear();

    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    bool isEmpty() const { return m_width == 0; }
    Rect bounds() const { return {0, 0, m_width, m_height}; }

    Pixel* data() { return m_pixels.data(); }
    const Pixel* data() const { return m_pixels.data(); }
    Pixel* row(std::int32_t y) { return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width); }
    const Pixel* row(std::int32_t y) const { return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width); }

    // Out-of-range reads give `outside`; out-of-range writes are ignored.
    Pixel pixel(std::int32_t x, std::int32_t y, Pixel outside = 0) const;
    void setPixel(std::int32_t x, std::int32_t y, Pixel p);
    // The pixel as a COLORREF, CLR_INVALID outside the surface.
    ColorRef colorAt(std::int32_t x, std::int32_t y) const;

    void fill(Pixel p);
    // Fills the part of r that lies on the surface.
    void fill(const Rect& r, Pixel p);

    friend bool operator==(const Surface&, const Surface&) = default;

private:
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::vector<Pixel> m_pixels;
};

}  // namespace tavixTGCL2
