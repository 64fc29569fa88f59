#pragma once
// One host-defined tab of the content pane: a plain record the host fills.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

#include <tavixTGCL2/platform/Picture.h>

namespace tavixTGCL2 {

using OleColor = std::uint32_t;

class TGCL_API CTabProperties {
public:
    PicturePtr Picture;          // tab image, not selected
    PicturePtr SelectedPicture;  // tab image, selected
    OleColor MaskColor = 0;      // transparent colour of the images
    OleColor SelectedColor = 0;  // colour of the selected tab
    std::string ToolTipText;
};

}  // namespace tavixTGCL2
