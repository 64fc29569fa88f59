#pragma once
// The library's own reach into a button handle and the toolbar's run masks,
// which hosts are not offered: the handle's members here throw when its
// control is gone, where the public ones quietly read False.
#include <cstdint>
#include <memory>

#include "toolbar/CTgToolbarButton.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2 {

struct ToolbarInternals {
    static const std::shared_ptr<CommandBarControl>& control(const CTgToolbarButton& b) { return b.control(); }
    static std::int32_t Index(const CTgToolbarButton& b) { return b.Index(); }
    static std::int32_t Style(const CTgToolbarButton& b) { return b.Style(); }
    static void setStyle(CTgToolbarButton& b, std::int32_t style) { b.setStyle(style); }
    static std::shared_ptr<CommandBar> Parent(const CTgToolbarButton& b) { return b.Parent(); }
    static std::int32_t ActionMask(const XTgToolbar& t) { return t.ActionMask(); }
    static std::int32_t RunMask(const XTgToolbar& t) { return t.RunMask(); }
};

}  // namespace tavixTGCL2
