#pragma once
// The library's own bitmaps kept as readable text, so that they can be
// looked at and edited in any editor and every change shows in a diff.
//
//   # comment lines, before the pixels
//   size 15 15          width and height in pixels
//   kind icon           optional: bitmap (the default) or icon
//   color . 8CAAE6      one printable character per colour, RRGGBB
//   pixels              then one line of `width` characters per row
//
// Pictures with more colours than there are characters use "pixels hex",
// after which every row is `width` RRGGBB words separated by blanks.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>
#include <string_view>

#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2::TextBitmap {

// Throws Error(errGeneric) naming the line of the first fault. A size beyond
// 4096 pixels either way is refused rather than allocated.
TGCL_API Surface parse(std::string_view text, PictureType* kind = nullptr);
TGCL_API PicturePtr parsePicture(std::string_view text);

// The text of a surface; parse(format(s)) == s. An empty surface gives "".
TGCL_API std::string format(const Surface& s, PictureType kind = vbPicTypeBitmap);

}  // namespace tavixTGCL2::TextBitmap

namespace tavixTGCL2::Resources {

// The library's bitmap resource by number (the file "bitmap<number>.txt"),
// loaded once and shared. Throws Error(errFileNotFound) when there is none.
TGCL_API PicturePtr LoadResPicture(std::int32_t number);
// Any text bitmap among the resources, by file name, loaded once and shared.
TGCL_API PicturePtr loadPicture(std::string_view name);

}  // namespace tavixTGCL2::Resources
