#pragma once
// The public handle of one command-bar control of a toolbar. It holds only a
// reference to the control: every property reads or writes the control's own
// state at once, so several handles of the same control always agree.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>

#include <tavixTGCL2/frame/GPublicDeclares.h>

namespace tavixTGCL2 {

class CommandBar;
class CommandBarControl;

class TGCL_API CTgToolbarButton {
public:
    CTgToolbarButton() = default;
    // A new handle attached to control; nullptr when there is no control.
    static std::shared_ptr<CTgToolbarButton> of(std::shared_ptr<CommandBarControl> control);

    // A handle whose control was deleted (for example Start after it changed
    // form) stays a valid object: getters give False or 0 and setters do
    // nothing, so a host holding a stale handle never sees an error.
    // IsDeleted tells such a handle apart.
    bool Checked() const;
    void setChecked(bool v);
    bool BeginGroup() const;
    void setBeginGroup(bool v);
    bool Enabled() const;
    void setEnabled(bool v);
    ETgToolbarButtonID ID() const;
    bool Visible() const;
    void setVisible(bool v);
    bool IsDeleted() const;
    // Presses the command as the operator's click would: the toolbar raises
    // ButtonClick (fAccelerator False) when the command is enabled. False
    // when the handle's control is gone or disabled, or the press failed.
    bool Execute();

private:
    // The library's own access: these throw Error when the control is gone,
    // so the library's operations see the failure and contain it as their
    // rules say, where a host's handle quietly reads False.
    friend class XTgToolbar;
    friend class XWebToolbar;
    friend class FCustomizeToolbar;
    friend struct ToolbarInternals;
    std::int32_t Style() const;
    void setStyle(std::int32_t style);
    std::int32_t Index() const;
    std::shared_ptr<CommandBar> Parent() const;
    // Attaches the handle to its control; done once, right after creation.
    void Attach(std::shared_ptr<CommandBarControl> control);
    const std::shared_ptr<CommandBarControl>& control() const { return m_control; }

    std::shared_ptr<CommandBarControl> m_control;
};

}  // namespace tavixTGCL2
