#include "content/WebToolbarIcons.h"

#include <cmath>
#include <numbers>

#include "platform/IconPainter.h"

namespace tavixTGCL2::WebToolbarIcons {

namespace {

using namespace IconPalette;

constexpr std::uint32_t kRoof = 0xFFC0412A;
constexpr std::uint32_t kRoofDark = 0xFF7C2414;
constexpr std::uint32_t kWall = 0xFFF4E7C8;
constexpr std::uint32_t kWallDark = 0xFF8A6E3A;
constexpr std::uint32_t kDoor = 0xFF7A4E22;

// A round button face: drop shadow, dark rim, lighter body. The white
// glyph on top stays legible on light and dark bars alike.
void disc(IconPainter& p, std::uint32_t body, std::uint32_t rim) {
    p.circle({0.53, 0.53}, 0.45, kShadow);
    p.circle({0.5, 0.5}, 0.45, rim);
    p.circle({0.5, 0.5}, 0.39, body);
}

// A white arrow across the disc, pointing left or right.
void arrow(IconPainter& p, bool right) {
    std::vector<PointF> pts = {{0.22, 0.43}, {0.50, 0.43}, {0.50, 0.25}, {0.80, 0.50},
                               {0.50, 0.75}, {0.50, 0.57}, {0.22, 0.57}};
    if (!right)
        for (auto& q : pts) q.x = 1 - q.x;
    p.polygon(pts, kWhite);
}

// Most of a circle turning clockwise, with an arrow head at its end: reload.
void circularArrow(IconPainter& p) {
    const PointF c{0.5, 0.52};
    const double r = 0.29;
    const double from = 0.15 * std::numbers::pi;
    const double to = 1.70 * std::numbers::pi;
    std::vector<PointF> arc;
    for (int i = 0; i <= 32; ++i) {
        const double a = from + (to - from) * i / 32;
        arc.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    auto shifted = [](std::vector<PointF> pts) {
        for (auto& q : pts) {
            q.x += 0.03;
            q.y += 0.03;
        }
        return pts;
    };
    // The head points along the turn (screen angles grow clockwise).
    const PointF end{c.x + r * std::cos(to), c.y + r * std::sin(to)};
    const PointF radial{std::cos(to), std::sin(to)};
    const PointF tangent{-std::sin(to), std::cos(to)};
    const std::vector<PointF> head = {{end.x + tangent.x * 0.24, end.y + tangent.y * 0.24},
                                      {end.x + radial.x * 0.20, end.y + radial.y * 0.20},
                                      {end.x - radial.x * 0.20, end.y - radial.y * 0.20}};
    p.outline(shifted(arc), 0.17, kShadow, false);
    p.polygon(shifted(head), kShadow);
    p.outline(arc, 0.17, kBlueDark, false);
    p.polygon(head, kBlueDark);
    p.outline(arc, 0.09, kBlue, false);
}

void house(IconPainter& p) {
    const std::vector<PointF> roof = {{0.5, 0.08}, {0.94, 0.48}, {0.06, 0.48}};
    const std::vector<PointF> wall = {{0.18, 0.44}, {0.82, 0.44}, {0.82, 0.92}, {0.18, 0.92}};
    auto shadow = [](std::vector<PointF> pts) {
        for (auto& q : pts) {
            q.x += 0.03;
            q.y += 0.03;
        }
        return pts;
    };
    p.polygon(shadow(wall), kShadow);
    p.polygon(wall, kWall);
    p.outline(wall, 0.05, kWallDark);
    p.rect(0.42, 0.62, 0.60, 0.92, kDoor);
    p.polygon(shadow(roof), kShadow);
    p.polygon(roof, kRoof);
    p.outline(roof, 0.05, kRoofDark);
}

}  // namespace

const std::vector<std::int32_t>& commandIds() {
    static const std::vector<std::int32_t> ids = {101, 102, 103, 104, 105};
    return ids;
}

const std::vector<std::int32_t>& sizes() {
    static const std::vector<std::int32_t> s = {16, 24, 32};
    return s;
}

Icon draw(std::int32_t id, std::int32_t size) {
    IconPainter p(size);
    switch (id) {
        case 101:  // Back
            disc(p, kGreen, kGreenDark);
            arrow(p, false);
            break;
        case 102:  // Forward
            disc(p, kGreen, kGreenDark);
            arrow(p, true);
            break;
        case 103: house(p); break;  // Home
        case 104: circularArrow(p); break;  // Refresh
        case 105:  // Stop
            disc(p, kRed, kRedDark);
            p.line({0.35, 0.35}, {0.65, 0.65}, 0.12, kWhite);
            p.line({0.65, 0.35}, {0.35, 0.65}, 0.12, kWhite);
            break;
        default: return Icon{};
    }
    Icon icon = p.icon();
    // Drawn in unit coordinates: other sizes are drawn again, not enlarged.
    icon.render = [id](std::int32_t w, std::int32_t) { return draw(id, w); };
    return icon;
}

std::shared_ptr<ImageManager> makeImageManager() {
    auto im = std::make_shared<ImageManager>();
    for (std::int32_t id : commandIds())
        for (std::int32_t size : sizes()) im->SetIcon(id, draw(id, size));
    return im;
}

}  // namespace tavixTGCL2::WebToolbarIcons
