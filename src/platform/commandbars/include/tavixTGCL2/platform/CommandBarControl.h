#pragma once
// One control of a command bar: a button, a pop-up with its menu, a split
// button with its drop-down, or a custom control hosting a window.
//
// Handles are shared pointers. Deleting a control (or the bar, menu or
// command bars that hold it) leaves every handle a valid object whose every
// member except isDeleted() throws Error(errDeletedObject), so a caller
// holding an old handle gets a contained failure instead of a dangling one.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/CommandBarTypes.h>

namespace tavixTGCL2 {

class CommandBar;
class CommandBars;
class CommandBarControls;
class CommandBarLayout;
class Control;

// Only the command-bar classes construct bars and controls.
class TGCL_API CommandBarsKey {
    friend class CommandBars;
    friend class CommandBar;
    friend class CommandBarControls;
    friend class CommandBarControl;
    CommandBarsKey() = default;
};

class TGCL_API CommandBarControl : public std::enable_shared_from_this<CommandBarControl> {
public:
    CommandBarControl(CommandBarsKey, tavixTGCL2::CommandBar* parent, std::int32_t type, std::int32_t id);
    ~CommandBarControl();
    CommandBarControl(const CommandBarControl&) = delete;
    CommandBarControl& operator=(const CommandBarControl&) = delete;

    bool isDeleted() const noexcept { return m_deleted; }

    std::shared_ptr<tavixTGCL2::CommandBar> Parent() const;
    std::int32_t Type() const;
    std::int32_t Id() const;
    void setId(std::int32_t id);  // negative throws errInvalidProperty
    // 1-based position in the parent bar.
    std::int32_t Index() const;

    const std::string& Caption() const;
    void setCaption(std::string s);
    const std::string& ToolTipText() const;
    void setToolTipText(std::string s);
    const std::string& Parameter() const;
    void setParameter(std::string s);
    const std::string& Category() const;
    void setCategory(std::string s);

    bool BeginGroup() const;
    void setBeginGroup(bool v);
    bool Visible() const;
    void setVisible(bool v);
    bool Enabled() const;
    void setEnabled(bool v);
    bool Checked() const;
    void setChecked(bool v);
    std::int32_t Flags() const;
    void setFlags(std::int32_t flags);
    // CommandBarButtonStyle; values outside 0..4 throw errInvalidProperty.
    std::int32_t Style() const;
    void setStyle(std::int32_t style);
    // The icon drawn for the control; 0 means the icon of its identifier.
    std::int32_t IconId() const;
    void setIconId(std::int32_t id);

    // The menu of a pop-up, button pop-up or split button; nullptr for the
    // other kinds.
    std::shared_ptr<tavixTGCL2::CommandBar> CommandBar() const;

    // The window a custom control hosts. Setting one on another kind throws
    // errNotSupported. The window becomes a child of the bar and the layout
    // places it; the owner keeps its own reference.
    std::shared_ptr<Control> HostedWindow() const;
    void setHostedWindow(std::shared_ptr<Control> window);
    // The hosted window's handle, 0 when there is none.
    std::int32_t Handle() const;

    // Removes the control from its bar; this and every other handle of it,
    // and of the controls of its menu, are deleted afterwards.
    void Delete();
    // A copy inserted into target (the own bar when nullptr) before the
    // 1-based position before (0 or -1: at the end). It keeps identifier,
    // caption, tooltip, parameter, category, flags, style, icon, group,
    // visible, enabled and checked states, the hosted window and a deep copy
    // of the menu.
    std::shared_ptr<CommandBarControl> Copy(const std::shared_ptr<tavixTGCL2::CommandBar>& target = nullptr,
                                            std::int32_t before = 0) const;

    // What a click does: reports the control once through the owner's
    // Execute event. A disabled control, and a pop-up that only opens its
    // menu, report nothing. Returns whether it was reported. An error
    // thrown by a handler of the event is contained here.
    bool Execute();

    // The control's place in its bar after the last layout, in pixels
    // relative to the bar; empty when it is not shown (hidden, in a hidden
    // bar, or pushed off a bar that does not wrap).
    Rect bounds() const;
    void GetRect(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom) const;

private:
    friend class tavixTGCL2::CommandBar;
    friend class CommandBarControls;
    friend class CommandBars;
    friend class CommandBarLayout;

    void check() const;
    // A property that changes how the bar looks has changed.
    void touched(bool affectsLayout);
    // Marks this control and its menu deleted; the parent already let go.
    void markDeleted();
    bool hasMenu() const { return m_menu != nullptr; }
    void copyStateTo(CommandBarControl& to) const;

    tavixTGCL2::CommandBar* m_parent = nullptr;
    std::int32_t m_type;
    std::int32_t m_id;
    std::string m_caption;
    std::string m_toolTip;
    std::string m_parameter;
    std::string m_category;
    bool m_beginGroup = false;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_deleted = false;
    std::int32_t m_flags = 0;
    std::int32_t m_style = cbsAutomatic;
    std::int32_t m_iconId = 0;
    std::shared_ptr<tavixTGCL2::CommandBar> m_menu;
    std::shared_ptr<Control> m_window;
    Rect m_rect;
};

// True for the kinds that own a menu.
constexpr bool controlTypeHasMenu(std::int32_t type) {
    return type == cbcPopup || type == cbcButtonPopup || type == cbcSplitButtonPopup;
}
constexpr bool controlTypeSupported(std::int32_t type) {
    return type == cbcButton || controlTypeHasMenu(type) || type == cbcCustom;
}

}  // namespace tavixTGCL2
