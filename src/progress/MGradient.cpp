#include "progress/MGradient.h"

namespace tavixTGCL2::MGradient {

namespace {

std::uint16_t channel(std::int32_t value) { return static_cast<std::uint16_t>(ToColor16(value)); }

}  // namespace

bool GradientFillRect(DC* dc, const Rect& r, OleColor c1, OleColor c2, std::int32_t mode) {
    if (!dc || mode < 0) return false;
    TriVertex v[2];
    v[0].x = r.left;
    v[0].y = r.top;
    SetVertexColor(v[0], TranslateColor(c1));
    v[1].x = r.right;
    v[1].y = r.bottom;
    SetVertexColor(v[1], TranslateColor(c2));
    const GradientRect mesh{0, 1};
    return dc->gradientFill(v, 2, &mesh, 1, static_cast<std::uint32_t>(mode));
}

ColorRef TranslateColor(OleColor c) { return OleTranslateColor(c); }

void SetVertexColor(TriVertex& v, ColorRef c) {
    v.Red = channel(static_cast<std::int32_t>(c & 0xFF) * 256);
    v.Green = channel(static_cast<std::int32_t>(c & 0xFF00));
    v.Blue = channel(static_cast<std::int32_t>((c >> 16) & 0xFF) * 256);
    v.Alpha = 0;
}

std::int16_t ToColor16(std::int32_t value) {
    // A signed 16-bit field cannot take 0x8000 and above as a number, so the
    // high half is written as its bit pattern.
    const auto pattern = static_cast<std::uint16_t>((value & 0x8000) ? ((value & 0x7F00) | 0x8000) : (value & 0x7FFF));
    return static_cast<std::int16_t>(pattern);
}

}  // namespace tavixTGCL2::MGradient
