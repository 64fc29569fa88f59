#include "platform/Colors.h"

namespace tavixTGCL2 {

namespace {

struct SysColorEntry {
    std::string_view name;
    ColorRef color;
};

// A light desktop theme: white windows, light grey faces, blue selection.
constexpr std::array<SysColorEntry, kSysColorCount> kDefaultSysColors{{
    {"COLOR_SCROLLBAR", RGB(200, 200, 200)},
    {"COLOR_BACKGROUND", RGB(0, 99, 177)},
    {"COLOR_ACTIVECAPTION", RGB(153, 180, 209)},
    {"COLOR_INACTIVECAPTION", RGB(191, 205, 219)},
    {"COLOR_MENU", RGB(240, 240, 240)},
    {"COLOR_WINDOW", RGB(255, 255, 255)},
    {"COLOR_WINDOWFRAME", RGB(100, 100, 100)},
    {"COLOR_MENUTEXT", RGB(0, 0, 0)},
    {"COLOR_WINDOWTEXT", RGB(0, 0, 0)},
    {"COLOR_CAPTIONTEXT", RGB(0, 0, 0)},
    {"COLOR_ACTIVEBORDER", RGB(180, 180, 180)},
    {"COLOR_INACTIVEBORDER", RGB(244, 247, 252)},
    {"COLOR_APPWORKSPACE", RGB(171, 171, 171)},
    {"COLOR_HIGHLIGHT", RGB(0, 120, 215)},
    {"COLOR_HIGHLIGHTTEXT", RGB(255, 255, 255)},
    {"COLOR_BTNFACE", RGB(240, 240, 240)},
    {"COLOR_BTNSHADOW", RGB(160, 160, 160)},
    {"COLOR_GRAYTEXT", RGB(109, 109, 109)},
    {"COLOR_BTNTEXT", RGB(0, 0, 0)},
    {"COLOR_INACTIVECAPTIONTEXT", RGB(0, 0, 0)},
    {"COLOR_BTNHIGHLIGHT", RGB(255, 255, 255)},
    {"COLOR_3DDKSHADOW", RGB(105, 105, 105)},
    {"COLOR_3DLIGHT", RGB(227, 227, 227)},
    {"COLOR_INFOTEXT", RGB(0, 0, 0)},
    {"COLOR_INFOBK", RGB(255, 255, 225)},
    {"", CLR_INVALID},
    {"COLOR_HOTLIGHT", RGB(0, 102, 204)},
    {"COLOR_GRADIENTACTIVECAPTION", RGB(185, 209, 234)},
    {"COLOR_GRADIENTINACTIVECAPTION", RGB(215, 228, 242)},
    {"COLOR_MENUHILIGHT", RGB(51, 153, 255)},
    {"COLOR_MENUBAR", RGB(240, 240, 240)},
}};

std::array<ColorRef, kSysColorCount> makeDefaults() {
    std::array<ColorRef, kSysColorCount> a{};
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = kDefaultSysColors[i].color;
    return a;
}

std::array<ColorRef, kSysColorCount>& table() {
    static std::array<ColorRef, kSysColorCount> t = makeDefaults();
    return t;
}

bool validIndex(std::int32_t index) { return index >= 0 && index < kSysColorCount; }

}  // namespace

ColorRef GetSysColor(std::int32_t index) {
    return validIndex(index) ? table()[static_cast<std::size_t>(index)] : CLR_INVALID;
}

bool SetSysColor(std::int32_t index, ColorRef color) {
    if (!validIndex(index)) return false;
    table()[static_cast<std::size_t>(index)] = color == CLR_INVALID ? CLR_INVALID : (color & 0xFFFFFFu);
    return true;
}

void ResetSysColors() { table() = makeDefaults(); }

std::string_view SysColorName(std::int32_t index) {
    return validIndex(index) ? kDefaultSysColors[static_cast<std::size_t>(index)].name : std::string_view{};
}

ColorRef OleTranslateColor(OleColor c) {
    if (isSystemColor(c)) return GetSysColor(systemColorIndex(c));
    return c & 0x00FFFFFFu;
}

}  // namespace tavixTGCL2
