#include "PngFile.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace tavixTGCL2 {

namespace {

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool writePng(const Surface& surface, const std::string& path, std::string* error) {
    if (surface.isEmpty()) return fail(error, "empty surface");
    const auto w = static_cast<std::size_t>(surface.width());
    const auto h = static_cast<std::size_t>(surface.height());
    // The simplified libpng interface takes packed components, so the
    // padding byte of each pixel is dropped here.
    std::vector<png_byte> rgb(w * h * 3);
    for (std::size_t y = 0; y < h; ++y) {
        const Pixel* row = surface.row(static_cast<std::int32_t>(y));
        png_byte* out = rgb.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            out[3 * x] = static_cast<png_byte>(row[x] >> 16);
            out[3 * x + 1] = static_cast<png_byte>(row[x] >> 8);
            out[3 * x + 2] = static_cast<png_byte>(row[x]);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), static_cast<png_int_32>(w * 3), nullptr)) {
        const std::string why = image.message;
        png_image_free(&image);
        return fail(error, path + ": " + why);
    }
    return true;
}

bool readPng(const std::string& path, Surface& out, std::string* error, ColorRef background) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        const std::string why = image.message;
        png_image_free(&image);
        return fail(error, path + ": " + why);
    }
    image.format = PNG_FORMAT_RGB;
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(Surface::kMaxDimension) ||
        image.height > static_cast<png_uint_32>(Surface::kMaxDimension)) {
        png_image_free(&image);
        return fail(error, path + ": image too large");
    }
    const std::size_t w = image.width;
    const std::size_t h = image.height;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    png_color bg{GetRValue(background), GetGValue(background), GetBValue(background)};
    if (!png_image_finish_read(&image, &bg, rgb.data(), 0, nullptr)) {
        const std::string why = image.message;
        png_image_free(&image);
        return fail(error, path + ": " + why);
    }
    Surface result;
    if (!result.reset(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)))
        return fail(error, path + ": out of memory");
    for (std::size_t y = 0; y < h; ++y) {
        Pixel* row = result.row(static_cast<std::int32_t>(y));
        const png_byte* in = rgb.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x)
            row[x] = 0xFF000000u | (Pixel{in[3 * x]} << 16) | (Pixel{in[3 * x + 1]} << 8) | in[3 * x + 2];
    }
    out = std::move(result);
    return true;
}

}  // namespace tavixTGCL2
