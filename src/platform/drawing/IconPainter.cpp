#include "platform/IconPainter.h"

#include <algorithm>
#include <cmath>

namespace tavixTGCL2 {

IconPainter::IconPainter(std::int32_t size)
    : m_size(std::clamp(size, 1, 256)),
      m_r(static_cast<std::size_t>(m_size * m_size)),
      m_g(m_r.size()),
      m_b(m_r.size()),
      m_a(m_r.size()) {}

void IconPainter::paint(const std::function<bool(double, double)>& inside, std::uint32_t color, double l,
                        double t, double r, double b) {
    const float ca = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
    const float cr = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    const float cg = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    const float cb = static_cast<float>(color & 0xFF) / 255.0f;
    const double s = m_size;
    int x0 = std::max(0, static_cast<int>(std::floor(l * s)) - 1);
    int y0 = std::max(0, static_cast<int>(std::floor(t * s)) - 1);
    int x1 = std::min(m_size - 1, static_cast<int>(std::ceil(r * s)) + 1);
    int y1 = std::min(m_size - 1, static_cast<int>(std::ceil(b * s)) + 1);
    constexpr int kSub = 4;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    if (inside((x + (sx + 0.5) / kSub) / s, (y + (sy + 0.5) / kSub) / s)) ++hits;
            if (!hits) continue;
            float cov = ca * static_cast<float>(hits) / (kSub * kSub);
            std::size_t i = static_cast<std::size_t>(y * m_size + x);
            // Source over destination, premultiplied.
            m_r[i] = cr * cov + m_r[i] * (1 - cov);
            m_g[i] = cg * cov + m_g[i] * (1 - cov);
            m_b[i] = cb * cov + m_b[i] * (1 - cov);
            m_a[i] = cov + m_a[i] * (1 - cov);
        }
}

void IconPainter::polygon(const std::vector<PointF>& pts, std::uint32_t color) {
    if (pts.size() < 3) return;
    double l = 1, t = 1, r = 0, b = 0;
    for (auto& p : pts) {
        l = std::min(l, p.x);
        t = std::min(t, p.y);
        r = std::max(r, p.x);
        b = std::max(b, p.y);
    }
    paint(
        [&](double x, double y) {
            bool in = false;  // even-odd rule
            for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const auto &a = pts[i], &c = pts[j];
                if ((a.y > y) != (c.y > y) && x < (c.x - a.x) * (y - a.y) / (c.y - a.y) + a.x) in = !in;
            }
            return in;
        },
        color, l, t, r, b);
}

void IconPainter::circle(PointF c, double r, std::uint32_t color) {
    paint([&](double x, double y) { return (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) <= r * r; }, color,
          c.x - r, c.y - r, c.x + r, c.y + r);
}

void IconPainter::ring(PointF c, double ro, double ri, std::uint32_t color) {
    paint(
        [&](double x, double y) {
            double d = (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y);
            return d <= ro * ro && d >= ri * ri;
        },
        color, c.x - ro, c.y - ro, c.x + ro, c.y + ro);
}

void IconPainter::line(PointF a, PointF b, double width, std::uint32_t color) {
    double hw = width / 2;
    double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    paint(
        [&](double x, double y) {
            double u = len2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
            double px = a.x + u * dx - x, py = a.y + u * dy - y;
            return px * px + py * py <= hw * hw;
        },
        color, std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw, std::max(a.x, b.x) + hw,
        std::max(a.y, b.y) + hw);
}

void IconPainter::rect(double l, double t, double r, double b, std::uint32_t color) {
    paint([&](double x, double y) { return x >= l && x < r && y >= t && y < b; }, color, l, t, r, b);
}

void IconPainter::outline(const std::vector<PointF>& pts, double width, std::uint32_t color, bool closed) {
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) line(pts[i], pts[i + 1], width, color);
    if (closed && pts.size() > 2) line(pts.back(), pts.front(), width, color);
}

Icon IconPainter::icon() const {
    Icon out;
    out.width = out.height = m_size;
    out.pixels.resize(m_r.size());
    for (std::size_t i = 0; i < m_r.size(); ++i) {
        float a = m_a[i];
        auto ch = [a](float v) {
            return static_cast<std::uint32_t>(std::lround(std::clamp(a > 0 ? v / a : 0.0f, 0.0f, 1.0f) * 255));
        };
        std::uint32_t aa = static_cast<std::uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255));
        out.pixels[i] = aa << 24 | ch(m_r[i]) << 16 | ch(m_g[i]) << 8 | ch(m_b[i]);
    }
    return out;
}

}  // namespace tavixTGCL2
