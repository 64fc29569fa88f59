#include "platform/ImageManager.h"

#include <algorithm>
#include <string>

#include "platform/Error.h"
#include "platform/Surface.h"

namespace tavixTGCL2 {

void ImageManager::SetIcon(std::int32_t id, Icon icon) {
    if (icon.width < 1 || icon.width > 256 || icon.height < 1 || icon.height > 256)
        throw Error(errInvalidProperty, "icon size must be 1 to 256 pixels, got " +
                                            std::to_string(icon.width) + "x" + std::to_string(icon.height));
    auto expected = static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
    if (icon.pixels.size() != expected)
        throw Error(errInvalidProperty, "icon of " + std::to_string(icon.width) + "x" +
                                            std::to_string(icon.height) + " needs " + std::to_string(expected) +
                                            " pixels, got " + std::to_string(icon.pixels.size()));
    std::int32_t w = icon.width;
    m_icons[id][w] = std::make_shared<const Icon>(std::move(icon));
}

std::shared_ptr<const Icon> ImageManager::FindIcon(std::int32_t id, std::int32_t width) const {
    auto it = m_icons.find(id);
    if (it == m_icons.end() || it->second.empty()) return nullptr;
    const auto& bySize = it->second;
    auto fit = bySize.lower_bound(width);  // equal or the smallest larger
    if (fit != bySize.end()) return fit->second;
    return bySize.rbegin()->second;
}

Icon iconAtSize(const Icon& icon, std::int32_t w, std::int32_t h) {
    if (w == icon.width && h == icon.height) return icon;
    if (icon.render) {
        Icon drawn = icon.render(w, h);
        if (drawn.width == w && drawn.height == h && drawn.pixels.size() == static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
            drawn.render = icon.render;
            return drawn;
        }
    }
    Surface from(icon.width, icon.height, 0);
    if (from.isEmpty() || icon.pixels.size() != static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height))
        return Icon{};
    std::copy(icon.pixels.begin(), icon.pixels.end(), from.data());
    const Surface to = scaledSmooth(from, w, h);
    Icon out{to.width(), to.height(), std::vector<std::uint32_t>(to.data(), to.data() + static_cast<std::size_t>(to.width()) * static_cast<std::size_t>(to.height())), {}};
    return out;
}

std::vector<std::int32_t> ImageManager::Sizes(std::int32_t id) const {
    std::vector<std::int32_t> out;
    auto it = m_icons.find(id);
    if (it != m_icons.end())
        for (const auto& [w, icon] : it->second) out.push_back(w);
    return out;
}

}  // namespace tavixTGCL2
