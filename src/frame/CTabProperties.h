#pragma once
// One host-defined tab of the content pane: a plain record the host fills.
#include <cstdint>
#include <memory>
#include <string>

namespace tavixTGCL2 {

class Surface;
using OleColor = std::uint32_t;

class CTabProperties {
public:
    std::shared_ptr<Surface> Picture;          // tab image, not selected
    std::shared_ptr<Surface> SelectedPicture;  // tab image, selected
    OleColor MaskColor = 0;                    // transparent colour of the images
    OleColor SelectedColor = 0;                // colour of the selected tab
    std::string ToolTipText;
};

}  // namespace tavixTGCL2
