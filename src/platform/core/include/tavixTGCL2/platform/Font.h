#pragma once
// The font value apart from the engine that measures and draws it, so that
// the control tree can carry a font without depending on the drawing layer.
#include <tavixTGCL2/Export.h>
#include <memory>
#include <string>

namespace tavixTGCL2 {

// A font description: what a font object of the controls carries.
struct TGCL_API Font {
    std::string name = "Tahoma";
    double size = 8.0;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};
// Font objects are shared by reference, as the controls' font properties are.
using FontPtr = std::shared_ptr<Font>;

}  // namespace tavixTGCL2
