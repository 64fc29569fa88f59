#pragma once
// The icon list of a set of command bars: icons keyed by command identifier,
// each at one or more sizes. Pixels are kept as plain ARGB so the drawing
// layer and a toolkit backend can each turn them into what they paint with.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace tavixTGCL2 {

struct TGCL_API Icon {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

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
