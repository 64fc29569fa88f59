#pragma once
// Pictures as text, so that a picture property can live in a property bag
// (whose values are text, numbers and flags) and in a saved form.
//
// Form: "picture <type> <width> <height> " followed by the pixels row by
// row, separated by one blank, each as eight hex digits AARRGGBB, followed
// by "*<n>" when the same pixel repeats n times ("FFFF0000*5 80123456").
// Icons and flat bitmaps come out short; the runs must add up to exactly
// width x height pixels.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>
#include <string_view>

#include <tavixTGCL2/platform/Picture.h>

namespace tavixTGCL2 {

// Pictures larger than this many pixels are refused when read, so that a
// damaged or hostile form cannot ask for gigabytes with a few characters.
inline constexpr std::int64_t kMaxPictureTextPixels = std::int64_t{4096} * 4096;

// "" for no picture or a picture without pixels.
TGCL_API std::string pictureToText(const PicturePtr& picture);

// "" gives no picture (nullptr). Anything malformed throws
// Error(errTypeMismatch) naming the fault.
TGCL_API PicturePtr pictureFromText(std::string_view text);

}  // namespace tavixTGCL2
