#pragma once
// A small anti-aliased painter for the library's own icons: shapes are given
// in unit coordinates (0..1 across the icon) so one drawing serves 24, 32
// and 48 pixels alike, and are composited with 4x4 supersampling.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ImageManager.h"

namespace tavixTGCL2 {

// The colours the library's icons share, so that its bars look of a piece.
namespace IconPalette {
inline constexpr std::uint32_t kShadow = 0x40000000;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFF;
inline constexpr std::uint32_t kRed = 0xFFD83030;
inline constexpr std::uint32_t kRedDark = 0xFF9C1818;
inline constexpr std::uint32_t kBlue = 0xFF2F6FD0;
inline constexpr std::uint32_t kBlueDark = 0xFF1A4690;
inline constexpr std::uint32_t kGreen = 0xFF2EA043;
inline constexpr std::uint32_t kGreenDark = 0xFF1B6E2A;
}  // namespace IconPalette

struct PointF {
    double x, y;
};

class IconPainter {
public:
    explicit IconPainter(std::int32_t size);

    // Colours are 0xAARRGGBB.
    void polygon(const std::vector<PointF>& pts, std::uint32_t color);
    void circle(PointF c, double r, std::uint32_t color);
    void ring(PointF c, double rOuter, double rInner, std::uint32_t color);
    // A line with round ends, width in unit coordinates.
    void line(PointF a, PointF b, double width, std::uint32_t color);
    void rect(double l, double t, double r, double b, std::uint32_t color);
    // Outline of a polygon as round-ended lines.
    void outline(const std::vector<PointF>& pts, double width, std::uint32_t color, bool closed = true);

    Icon icon() const;

private:
    // inside(x, y) in unit coordinates.
    void paint(const std::function<bool(double, double)>& inside, std::uint32_t color, double l, double t,
               double r, double b);
    std::int32_t m_size;
    std::vector<float> m_r, m_g, m_b, m_a;  // premultiplied
};

}  // namespace tavixTGCL2
