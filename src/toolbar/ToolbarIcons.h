#pragma once
// The icons of the run toolbar's commands, drawn by the library itself at
// the three button sizes (24, 32 and 48 pixels).
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ImageManager.h"

namespace tavixTGCL2::ToolbarIcons {

// The command identifiers that carry an icon.
const std::vector<std::int32_t>& commandIds();

// One icon; an identifier without a drawing gives an empty icon (0 x 0).
Icon draw(std::int32_t id, std::int32_t size);

// An icon list holding every command at 24, 32 and 48 pixels.
std::shared_ptr<ImageManager> makeImageManager();

}  // namespace tavixTGCL2::ToolbarIcons
