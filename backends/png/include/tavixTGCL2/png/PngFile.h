#pragma once
// Surfaces to and from PNG files (through libpng).
#include <tavixTGCL2/Export.h>
#include <string>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

// Writes the surface as an 8-bit RGB PNG. On failure returns false and, when
// `error` is given, puts the reason there. An empty surface cannot be written.
TGCL_API bool writePng(const Surface& surface, const std::string& path, std::string* error = nullptr);

// Reads any PNG into `out`; transparent pixels are laid over `background`.
// On failure returns false, leaves `out` unchanged and gives the reason.
TGCL_API bool readPng(const std::string& path, Surface& out, std::string* error = nullptr,
             ColorRef background = RGB(255, 255, 255));

}  // namespace tavixTGCL2
