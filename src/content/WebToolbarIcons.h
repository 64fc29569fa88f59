#pragma once
// The icons of the web navigation toolbar's five buttons (Back, Forward,
// Stop, Refresh, Home), drawn by the library itself so that the bar needs
// no image files.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ImageManager.h"

namespace tavixTGCL2::WebToolbarIcons {

// The command identifiers that carry an icon: 101 to 105.
const std::vector<std::int32_t>& commandIds();

// The sizes kept in the icon list, in pixels.
const std::vector<std::int32_t>& sizes();

// One icon; an identifier without a drawing gives an empty icon (0 x 0).
Icon draw(std::int32_t id, std::int32_t size);

// An icon list holding every command at every size of sizes().
std::shared_ptr<ImageManager> makeImageManager();

}  // namespace tavixTGCL2::WebToolbarIcons
