#pragma once
// The two-colour linear gradient that the status bar paints its background
// with.
#include <tavixTGCL2/Export.h>
#include <cstdint>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Rect.h>

namespace tavixTGCL2::MGradient {

// Fills r: mode 0 runs from c1 at the left edge to c2 at the right, mode 1
// from c1 at the top row to c2 at the bottom row. A colour that cannot be
// translated fills as white. False when nothing could be drawn (no context,
// unknown mode).
TGCL_API bool GradientFillRect(DC* dc, const Rect& r, OleColor c1, OleColor c2, std::int32_t mode);

// OLE colour to RGB with no palette; -1 (CLR_INVALID) on failure.
TGCL_API ColorRef TranslateColor(OleColor c);

// Puts an RGB colour into a vertex's 16-bit channels (0xFF becomes 0xFF00).
TGCL_API void SetVertexColor(TriVertex& v, ColorRef c);

// The 16-bit pattern of a channel value (0 to 0xFF00) as a signed 16-bit
// number: values with bit 15 set come out negative.
TGCL_API std::int16_t ToColor16(std::int32_t channel);

}  // namespace tavixTGCL2::MGradient
