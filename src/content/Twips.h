#pragma once
// The content pane's layout is computed in fractional twips (halves, shares
// of the pane); a control takes whole twips, the nearest one, halves to the
// even one as the default rounding mode does.
#include <cmath>
#include <cstdint>

namespace tavixTGCL2 {

inline std::int32_t roundTwips(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

}  // namespace tavixTGCL2
