#include "toolbar/ToolbarIcons.h"

#include <cmath>
#include <numbers>

#include "platform/IconPainter.h"

namespace tavixTGCL2::ToolbarIcons {

namespace {

using namespace IconPalette;

constexpr std::uint32_t kGrey = 0xFF707880;
constexpr std::uint32_t kOrange = 0xFFE08A1E;
constexpr std::uint32_t kPurple = 0xFF7A4FC0;

std::vector<PointF> shifted(std::vector<PointF> pts, double d) {
    for (auto& p : pts) {
        p.x += d;
        p.y += d;
    }
    return pts;
}

// A shape with a soft drop shadow, a dark rim and a lighter body, so icons
// stay legible on both the light and the blue toolbar themes.
void shaded(IconPainter& p, const std::vector<PointF>& pts, std::uint32_t body, std::uint32_t rim) {
    p.polygon(shifted(pts, 0.03), kShadow);
    p.polygon(pts, body);
    p.outline(pts, 0.045, rim);
}

std::vector<PointF> regular(PointF c, double r, int n, double phase) {
    std::vector<PointF> pts;
    for (int i = 0; i < n; ++i) {
        double a = phase + 2 * std::numbers::pi * i / n;
        pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return pts;
}

void arrow(IconPainter& p, bool right, std::uint32_t body, std::uint32_t rim) {
    std::vector<PointF> pts = {{0.10, 0.38}, {0.50, 0.38}, {0.50, 0.16}, {0.90, 0.50},
                               {0.50, 0.84}, {0.50, 0.62}, {0.10, 0.62}};
    if (!right)
        for (auto& q : pts) q.x = 1 - q.x;
    shaded(p, pts, body, rim);
}

void gear(IconPainter& p, PointF c, double r, std::uint32_t body, std::uint32_t rim) {
    std::vector<PointF> pts;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        double a = 2 * std::numbers::pi * i / (teeth * 4);
        double rr = (i % 4 == 0 || i % 4 == 1) ? r : r * 0.74;
        pts.push_back({c.x + rr * std::cos(a), c.y + rr * std::sin(a)});
    }
    shaded(p, pts, body, rim);
    p.circle(c, r * 0.30, kWhite);
    p.ring(c, r * 0.34, r * 0.28, rim);
}

}  // namespace

const std::vector<std::int32_t>& commandIds() {
    static const std::vector<std::int32_t> ids = {101, 102, 103, 201, 202, 203, 301,
                                                  302, 401, 402, 500, 501, 600};
    return ids;
}

Icon draw(std::int32_t id, std::int32_t size) {
    IconPainter p(size);
    switch (id) {
        case 101: {  // Abort: a red octagon with a white cross
            shaded(p, regular({0.5, 0.5}, 0.44, 8, std::numbers::pi / 8), kRed, kRedDark);
            p.line({0.33, 0.33}, {0.67, 0.67}, 0.11, kWhite);
            p.line({0.67, 0.33}, {0.33, 0.67}, 0.11, kWhite);
            break;
        }
        case 102: arrow(p, false, kBlue, kBlueDark); break;  // Previous
        case 103: arrow(p, true, kBlue, kBlueDark); break;   // Next
        case 201: {  // Stop: a dark red square
            shaded(p, {{0.18, 0.18}, {0.82, 0.18}, {0.82, 0.82}, {0.18, 0.82}}, kRed, kRedDark);
            break;
        }
        case 202: {  // Start: a green play triangle
            shaded(p, {{0.22, 0.12}, {0.86, 0.50}, {0.22, 0.88}}, kGreen, kGreenDark);
            break;
        }
        case 203: {  // Stepwise: play triangle and a bar, one step at a time
            shaded(p, {{0.12, 0.16}, {0.64, 0.50}, {0.12, 0.84}}, kGreen, kGreenDark);
            shaded(p, {{0.70, 0.16}, {0.86, 0.16}, {0.86, 0.84}, {0.70, 0.84}}, kGreen, kGreenDark);
            break;
        }
        case 301: {  // Not applicable: an orange circle with a slash
            p.circle({0.53, 0.53}, 0.42, kShadow);
            p.ring({0.5, 0.5}, 0.42, 0.30, kOrange);
            p.line({0.22, 0.78}, {0.78, 0.22}, 0.12, kOrange);
            break;
        }
        case 302: {  // Skip: two triangles against a bar
            shaded(p, {{0.08, 0.18}, {0.42, 0.50}, {0.08, 0.82}}, kPurple, 0xFF4E2C88);
            shaded(p, {{0.42, 0.18}, {0.76, 0.50}, {0.42, 0.82}}, kPurple, 0xFF4E2C88);
            shaded(p, {{0.78, 0.18}, {0.90, 0.18}, {0.90, 0.82}, {0.78, 0.82}}, kPurple, 0xFF4E2C88);
            break;
        }
        case 401: gear(p, {0.5, 0.5}, 0.42, 0xFF9AA4AE, 0xFF4A535C); break;  // Tools
        case 402: {  // Customize: three sliders
            for (int i = 0; i < 3; ++i) {
                double y = 0.24 + i * 0.26;
                p.line({0.12, y}, {0.88, y}, 0.07, kGrey);
                double x = i == 0 ? 0.66 : i == 1 ? 0.34 : 0.56;
                p.circle({x + 0.02, y + 0.02}, 0.11, kShadow);
                p.circle({x, y}, 0.11, kBlue);
                p.ring({x, y}, 0.11, 0.07, kBlueDark);
            }
            break;
        }
        case 500: {  // Standards: a yellow ruler with ticks
            std::vector<PointF> ruler = {{0.06, 0.62}, {0.62, 0.06}, {0.94, 0.38}, {0.38, 0.94}};
            shaded(p, ruler, 0xFFF2C230, 0xFF9C7A10);
            for (int i = 1; i < 7; ++i) {
                double t = i / 7.0;
                PointF a{0.06 + t * 0.56, 0.62 - t * 0.56};
                double len = (i % 2) ? 0.16 : 0.10;
                p.line(a, {a.x + len * 0.707, a.y + len * 0.707}, 0.04, 0xFF5A4608);
            }
            break;
        }
        case 501: {  // Calculated limits: a curve between two limit lines
            p.rect(0.08, 0.08, 0.92, 0.92, 0xFFFFFFFF);
            p.outline({{0.08, 0.08}, {0.92, 0.08}, {0.92, 0.92}, {0.08, 0.92}}, 0.04, kGrey);
            for (double x = 0.12; x < 0.86; x += 0.16) {
                p.line({x, 0.26}, {x + 0.08, 0.26}, 0.05, kRed);
                p.line({x, 0.74}, {x + 0.08, 0.74}, 0.05, kRed);
            }
            p.outline({{0.12, 0.60}, {0.30, 0.40}, {0.48, 0.56}, {0.66, 0.36}, {0.88, 0.48}}, 0.07, kBlue,
                      false);
            break;
        }
        case 600: {  // Status bar: a box with a gradient row and a progress row
            p.rect(0.06, 0.22, 0.94, 0.78, 0xFF87ADE4);
            p.rect(0.06, 0.22, 0.94, 0.50, 0xFFCDE0FA);
            p.rect(0.14, 0.30, 0.62, 0.44, kGreen);
            p.outline({{0.06, 0.22}, {0.94, 0.22}, {0.94, 0.78}, {0.06, 0.78}}, 0.05, 0xFF0148B2);
            break;
        }
        default: return Icon{};
    }
    Icon icon = p.icon();
    // The drawing above is in unit coordinates: any other size is the same
    // drawing again, never an enlarged bitmap.
    icon.render = [id](std::int32_t w, std::int32_t) { return draw(id, w); };
    return icon;
}

std::shared_ptr<ImageManager> makeImageManager() {
    auto im = std::make_shared<ImageManager>();
    for (std::int32_t id : commandIds())
        for (std::int32_t size : {24, 32, 48}) im->SetIcon(id, draw(id, size));
    return im;
}

}  // namespace tavixTGCL2::ToolbarIcons
