#pragma once
// A memory device context with its own surface: where the progress renderer
// composes a bar before copying it to the screen in one block, and the
// holder of a copy of a picture that the renderer tiles or stretches.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>

#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

class TGCL_API CMemDC {
public:
    CMemDC() = default;
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The recorded size; 0 while there is no surface. Setting a different
    // value records it and then requests a surface of the recorded size.
    std::int32_t Width() const { return m_width; }
    void setWidth(std::int32_t width);
    std::int32_t Height() const { return m_height; }
    void setHeight(std::int32_t height);

    // The memory context, with a surface of at least the requested size:
    // without a surface one is made when both sizes are positive; with one,
    // a request larger in either direction replaces it by a surface of
    // exactly the requested size. nullptr when there is none.
    DC* hDC(std::int32_t Width, std::int32_t Height);

    // One plain block copy from (xSrc, ySrc) of the surface to hDC at
    // (xDst, yDst); a size of 0 or less copies the recorded size.
    void Draw(DC* hDC, std::int32_t xSrc = 0, std::int32_t ySrc = 0, std::int32_t WidthSrc = 0,
              std::int32_t HeightSrc = 0, std::int32_t xDst = 0, std::int32_t yDst = 0);

    // Makes a surface of the picture's size holding a copy of it. Only
    // bitmap pictures give a surface.
    void CreateFromPicture(const PicturePtr& sPic);

    // The surface itself (nullptr while there is none), for readers; in
    // device pixels at the screen's device pixel ratio of its making.
    const Surface* surface() const { return m_bitmap.get(); }

private:
    bool createSurface(std::int32_t width, std::int32_t height);
    void releaseSurface();

    std::unique_ptr<DC> m_dc;
    std::unique_ptr<Surface> m_bitmap;
    Surface* m_previousBitmap = nullptr;
    bool m_rememberedPrevious = false;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    // The logical size the surface serves; it holds Screen::toDevice of it
    // at the device pixel ratio it was made for.
    std::int32_t m_capacityWidth = 0;
    std::int32_t m_capacityHeight = 0;
    // The picture the surface copies, to copy again at a new ratio.
    PicturePtr m_source;
};

}  // namespace tavixTGCL2
