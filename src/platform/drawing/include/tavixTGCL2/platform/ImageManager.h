#pragma once
// The icon list of a set of command bars: icons keyed by command identifier,
// each at one or more sizes. Pixels are kept as plain ARGB so the drawing
// layer and a toolkit backend can each turn them into what they paint with.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace tavixTGCL2 {

struct TGCL_API Icon {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
    // For an icon drawn from shapes: draws the same picture afresh at any
    // pixel size, so a screen with more device pixels gets a sharp icon
    // instead of an enlarged bitmap. Empty for a bitmap-only icon, which is
    // scaled smoothly instead.
    std::function<Icon(std::int32_t width, std::int32_t height)> render = nullptr;
};

// The icon at w x h device pixels: drawn afresh when it can be, else its
// pixels smoothly scaled (unchanged when the size is already w x h).
TGCL_API Icon iconAtSize(const Icon& icon, std::int32_t w, std::int32_t h);

class TGCL_API ImageManager {
public:
    // Stores icon under id for its width, replacing an icon of that width.
    // Throws Error(errInvalidProperty) when the size is outside 1..256 or the
    // pixel count is not width * height.
    void SetIcon(std::int32_t id, Icon icon);
    // The icon of id best fitting width: that width, else the smallest larger
    // one (scaling down looks better than up), else the largest smaller one.
    // nullptr when id has no icon.
    std::shared_ptr<const Icon> FindIcon(std::int32_t id, std::int32_t width) const;
    bool HasIcon(std::int32_t id) const { return m_icons.count(id) != 0; }
    // Widths stored for id, ascending.
    std::vector<std::int32_t> Sizes(std::int32_t id) const;
    void RemoveIcon(std::int32_t id) { m_icons.erase(id); }
    void RemoveAll() { m_icons.clear(); }
    // Number of identifiers that have an icon.
    std::int32_t Count() const { return static_cast<std::int32_t>(m_icons.size()); }

private:
    std::map<std::int32_t, std::map<std::int32_t, std::shared_ptr<const Icon>>> m_icons;
};

}  // namespace tavixTGCL2
