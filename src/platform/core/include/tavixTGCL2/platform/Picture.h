#pragma once
// A picture as the controls' properties carry it: an immutable image with a
// kind. Only bitmap pictures can be copied into a memory surface; icons and
// metafiles are shown by the controls that understand them.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>

#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

enum PictureType : std::int16_t {
    vbPicTypeNone = 0,
    vbPicTypeBitmap = 1,
    vbPicTypeMetafile = 2,
    vbPicTypeIcon = 3,
    vbPicTypeEMetafile = 4
};

class Picture;
// The picture reference of a property; nullptr is "no picture".
using PicturePtr = std::shared_ptr<const Picture>;

class TGCL_API Picture {
public:
    Picture(PictureType type, Surface pixels) : m_type(type), m_pixels(std::move(pixels)) {}

    static PicturePtr bitmap(Surface pixels) {
        return std::make_shared<const Picture>(vbPicTypeBitmap, std::move(pixels));
    }
    static PicturePtr icon(Surface pixels) {
        return std::make_shared<const Picture>(vbPicTypeIcon, std::move(pixels));
    }

    // The same picture drawn afresh for a device pixel ratio above 1 (a
    // shape drawn at that size, not its pixels enlarged), for a backend
    // that shows it at that ratio. The logical pixels stay what they were.
    static PicturePtr withDevicePixels(PicturePtr picture, Surface devicePixels, double ratio) {
        if (!picture) return picture;
        auto out = std::make_shared<Picture>(*picture);
        if (ratio > 1.0 && !devicePixels.isEmpty()) {
            out->m_devicePixels = std::move(devicePixels);
            out->m_deviceRatio = ratio;
        }
        return out;
    }

    PictureType type() const { return m_type; }
    bool isBitmap() const { return m_type == vbPicTypeBitmap; }
    // Size in pixels.
    std::int32_t width() const { return m_pixels.width(); }
    std::int32_t height() const { return m_pixels.height(); }
    const Surface& pixels() const { return m_pixels; }
    // The drawing for deviceRatio(), empty when there is none (ratio 1).
    const Surface& devicePixels() const { return m_devicePixels; }
    double deviceRatio() const { return m_deviceRatio; }

private:
    PictureType m_type;
    Surface m_pixels;
    Surface m_devicePixels;
    double m_deviceRatio = 1.0;
};

}  // namespace tavixTGCL2
