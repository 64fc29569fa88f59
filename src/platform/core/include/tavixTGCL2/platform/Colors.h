#pragma once
// Colours as the controls' public contracts carry them. An OLE colour with the
// high bit set names a system colour by index (value AND 31); any other value
// is red, green and blue in its low three bytes. A COLORREF is plain
// 0x00BBGGRR. Surfaces store pixels as 0xFFRRGGBB (the layout of a 32-bit
// RGB image in most toolkits, so a backend can wrap the memory directly).
#include <tavixTGCL2/Export.h>
#include <array>
#include <cstdint>
#include <string_view>

namespace tavixTGCL2 {

using OleColor = std::uint32_t;
using ColorRef = std::uint32_t;
using Pixel = std::uint32_t;

// -1 as a 32-bit value: the result of a failed translation.
inline constexpr ColorRef CLR_INVALID = 0xFFFFFFFFu;
inline constexpr OleColor kSystemColorFlag = 0x80000000u;

constexpr ColorRef RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return ColorRef{r} | (ColorRef{g} << 8) | (ColorRef{b} << 16);
}
constexpr std::uint8_t GetRValue(ColorRef c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GetGValue(ColorRef c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(ColorRef c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

// Only the low three bytes take part: CLR_INVALID draws as white, which is
// how a failed translation is documented to fill.
constexpr Pixel pixelFromColorRef(ColorRef c) {
    return 0xFF000000u | (Pixel{GetRValue(c)} << 16) | (Pixel{GetGValue(c)} << 8) | GetBValue(c);
}
constexpr ColorRef colorRefFromPixel(Pixel p) {
    return RGB(static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
               static_cast<std::uint8_t>(p));
}

// System colour indexes (the numbers OLE system colours carry).
enum SysColorIndex : std::int32_t {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    // 25 is reserved and has no colour.
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    kSysColorCount = 31
};

// The system colour of an index, or CLR_INVALID for an index that has none
// (25, anything outside 0..30).
TGCL_API ColorRef GetSysColor(std::int32_t index);
// A host or toolkit backend sets its palette here; CLR_INVALID removes a
// colour. Returns false for an index outside 0..30.
TGCL_API bool SetSysColor(std::int32_t index, ColorRef color);
// Back to the documented light-theme table.
TGCL_API void ResetSysColors();
// Name of an index ("COLOR_HIGHLIGHT"), empty for an unknown index.
TGCL_API std::string_view SysColorName(std::int32_t index);

constexpr bool isSystemColor(OleColor c) { return (c & kSystemColorFlag) != 0; }
constexpr std::int32_t systemColorIndex(OleColor c) { return static_cast<std::int32_t>(c & 31); }

// OLE colour to COLORREF with no palette; CLR_INVALID (-1) when the colour
// names a system colour that does not exist.
TGCL_API ColorRef OleTranslateColor(OleColor c);

}  // namespace tavixTGCL2
