#include "progress/CMemDC.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavixTGCL2 {

CMemDC::~CMemDC() { releaseSurface(); }

void CMemDC::setWidth(std::int32_t width) {
    if (width == m_width) return;
    m_width = width;
    hDC(m_width, m_height);
}

void CMemDC::setHeight(std::int32_t height) {
    if (height == m_height) return;
    m_height = height;
    hDC(m_width, m_height);
}

DC* CMemDC::hDC(std::int32_t Width, std::int32_t Height) {
    if (m_bitmap) {
        // Compared with the real surface rather than the recorded size, so
        // that a size recorded through the setters can never promise more
        // pixels than the surface has.
        if (Width > m_bitmap->width() || Height > m_bitmap->height()) createSurface(Width, Height);
    } else if (Width > 0 && Height > 0) {
        createSurface(Width, Height);
    }
    return m_dc.get();
}

void CMemDC::Draw(DC* hDC, std::int32_t xSrc, std::int32_t ySrc, std::int32_t WidthSrc, std::int32_t HeightSrc,
                  std::int32_t xDst, std::int32_t yDst) {
    if (!hDC || !m_dc) return;
    const std::int32_t w = WidthSrc > 0 ? WidthSrc : m_width;
    const std::int32_t h = HeightSrc > 0 ? HeightSrc : m_height;
    hDC->bitBlt(xDst, yDst, w, h, m_dc.get(), xSrc, ySrc, SRCCOPY);
}

void CMemDC::CreateFromPicture(const PicturePtr& sPic) {
    if (!sPic || !sPic->isBitmap()) return;
    setWidth(sPic->width());
    setHeight(sPic->height());
    if (!m_bitmap) return;
    const Surface& from = sPic->pixels();
    const std::int32_t w = std::min(from.width(), m_bitmap->width());
    const std::int32_t h = std::min(from.height(), m_bitmap->height());
    for (std::int32_t y = 0; y < h; ++y)
        std::memcpy(m_bitmap->row(y), from.row(y), static_cast<std::size_t>(w) * sizeof(Pixel));
}

bool CMemDC::createSurface(std::int32_t width, std::int32_t height) {
    releaseSurface();
    try {
        auto bitmap = std::make_unique<Surface>();
        if (!bitmap->reset(width, height)) return false;
        auto dc = std::make_unique<DC>();
        m_previousBitmap = dc->selectSurface(bitmap.get());
        m_rememberedPrevious = true;
        m_dc = std::move(dc);
        m_bitmap = std::move(bitmap);
    } catch (const std::bad_alloc&) {
        releaseSurface();
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void CMemDC::releaseSurface() {
    if (m_rememberedPrevious && m_dc) {
        m_dc->selectSurface(m_previousBitmap);
        m_previousBitmap = nullptr;
        m_rememberedPrevious = false;
    }
    m_bitmap.reset();
    m_dc.reset();
    m_width = 0;
    m_height = 0;
}

}  // namespace tavixTGCL2
