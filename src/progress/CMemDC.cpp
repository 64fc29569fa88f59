#include "progress/CMemDC.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/Units.h"

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
        // A surface made at another device pixel ratio is made again, so a
        // bar composed here is copied to the screen without scaling.
        if (Width > m_capacityWidth || Height > m_capacityHeight) createSurface(Width, Height);
        else if (m_dc->deviceScale() != Screen::devicePixelRatio()) {
            if (PicturePtr source = m_source) CreateFromPicture(source);
            else createSurface(m_capacityWidth, m_capacityHeight);
        }
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
    if (m_bitmap && m_dc->deviceScale() != Screen::devicePixelRatio()) releaseSurface();
    setWidth(sPic->width());
    setHeight(sPic->height());
    if (!m_bitmap) return;
    m_source = sPic;
    if (m_dc->deviceScale() != 1.0) {
        // The copy takes the device size, smoothly scaled: tiles and
        // stretches of it then draw at device resolution.
        const Rect d = m_dc->toDevice({0, 0, sPic->width(), sPic->height()});
        const Surface scaled = scaledSmooth(sPic->pixels(), d.right, d.bottom);
        const std::int32_t w = std::min(scaled.width(), m_bitmap->width());
        const std::int32_t h = std::min(scaled.height(), m_bitmap->height());
        for (std::int32_t y = 0; y < h; ++y)
            std::memcpy(m_bitmap->row(y), scaled.row(y), static_cast<std::size_t>(w) * sizeof(Pixel));
        return;
    }
    const Surface& from = sPic->pixels();
    const std::int32_t w = std::min(from.width(), m_bitmap->width());
    const std::int32_t h = std::min(from.height(), m_bitmap->height());
    for (std::int32_t y = 0; y < h; ++y)
        std::memcpy(m_bitmap->row(y), from.row(y), static_cast<std::size_t>(w) * sizeof(Pixel));
}

bool CMemDC::createSurface(std::int32_t width, std::int32_t height) {
    releaseSurface();
    try {
        const double scale = Screen::devicePixelRatio();
        auto bitmap = std::make_unique<Surface>();
        if (!bitmap->reset(Screen::toDevice(width, scale), Screen::toDevice(height, scale))) return false;
        auto dc = std::make_unique<DC>();
        dc->setDeviceScale(scale);
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
    m_capacityWidth = width;
    m_capacityHeight = height;
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
    m_capacityWidth = 0;
    m_capacityHeight = 0;
    m_source.reset();
}

}  // namespace tavixTGCL2
