#pragma once
// A command bar: a toolbar, the menu bar, or a menu (the menu of a pop-up
// control is a bar as well). Docked bars are children of their CommandBars
// in the control tree, with the geometry the layout gave them, so a toolkit
// backend can mirror them; hosted windows of custom controls become
// children of their bar.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/CommandBarControl.h>
#include <tavixTGCL2/platform/CommandBarTypes.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Presenter.h>

namespace tavixTGCL2 {

class CommandBar;

// The controls of one bar, in bar order. Positions are 1-based.
class TGCL_API CommandBarControls {
public:
    explicit CommandBarControls(CommandBar* bar) : m_bar(bar) {}
    CommandBarControls(const CommandBarControls&) = delete;
    CommandBarControls& operator=(const CommandBarControls&) = delete;

    std::int32_t Count() const;
    // Throws errSubscript outside 1..Count().
    std::shared_ptr<CommandBarControl> Item(std::int32_t index) const;
    // Adds a control of type (CommandBarControlType) before the 1-based
    // position before. 0 and -1 add at the end, and so does a position past
    // the end: layout strings count skipped entries and may point there.
    // Other negative positions, unsupported types and negative identifiers
    // throw errInvalidProperty.
    std::shared_ptr<CommandBarControl> Add(std::int32_t type, std::int32_t id, const std::string& caption,
                                           std::int32_t before = 0);
    // The first control with id in bar order (type 0 matches any kind);
    // recursive looks into menus, a control's menu right after the control.
    std::shared_ptr<CommandBarControl> Find(std::int32_t type, std::int32_t id, bool visibleOnly = false,
                                            bool recursive = false) const;
    void DeleteAll();

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    friend class CommandBar;
    friend class CommandBarControl;
    friend class CommandBars;
    friend class CommandBarLayout;

    std::shared_ptr<CommandBarControl> insertNew(std::int32_t type, std::int32_t id, std::int32_t before);
    std::int32_t indexOf(const CommandBarControl* c) const;
    void erase(const CommandBarControl* c);

    CommandBar* m_bar;
    std::vector<std::shared_ptr<CommandBarControl>> m_items;
};

class TGCL_API CommandBar : public Control {
public:
    CommandBar(CommandBarsKey, CommandBars* owner, std::int32_t type, std::string name);
    ~CommandBar() override;

    // Like a control handle: a menu whose pop-up was deleted is deleted too,
    // and its members then throw errDeletedObject.
    bool isDeleted() const noexcept { return m_deleted; }

    CommandBarControls& Controls();
    const CommandBarControls& Controls() const;

    // CommandBarType.
    std::int32_t Type() const;
    std::int32_t BarID() const;
    void setBarID(std::int32_t id);
    // CommandBarPosition. Menus stay popup; docking a bar where its docking
    // flags do not allow throws errInvalidProperty.
    std::int32_t Position() const;
    void setPosition(std::int32_t position);
    // Top-left corner of a floating bar, in pixels of the CommandBars.
    void setFloatingPosition(std::int32_t x, std::int32_t y);

    std::int32_t IconWidth() const;
    std::int32_t IconHeight() const;
    // 1..256 pixels each, else errInvalidProperty.
    void SetIconSize(std::int32_t width, std::int32_t height);

    // CommandBarDocking bits. A bar at an edge the new flags exclude moves
    // to the first allowed one of top, bottom, left, right, floating.
    std::int32_t DockingFlags() const;
    void EnableDocking(std::int32_t flags);

    // CommandBarWindowStyle bits: removes, then adds.
    std::int32_t WindowStyle() const;
    void ModifyStyle(std::int32_t remove, std::int32_t add);

    // The three options a user could change on a bar. Numbered options 15,
    // 23 and 24 are the same three; other numbers are kept for a backend.
    bool ShowExpandButton() const;  // a chevron at the end of a docked bar
    void setShowExpandButton(bool v);
    bool Customizable() const;  // listed in the customisation context menu
    void setCustomizable(bool v);
    bool ContextMenuPresent() const;  // the bar offers a context menu
    void setContextMenuPresent(bool v);
    bool Option(std::int32_t number) const;
    void setOption(std::int32_t number, bool v);
    static constexpr std::int32_t optionShowExpandButton = 15;
    static constexpr std::int32_t optionCustomizable = 23;
    static constexpr std::int32_t optionContextMenuPresent = 24;

    // All-captions mode: every button shows its caption below its icon.
    bool ShowTextBelowIcons() const;
    void setShowTextBelowIcons(bool v);

    void setVisible(bool v);

    // Same as CommandBarControls::Find, on this bar.
    std::shared_ptr<CommandBarControl> FindControl(std::int32_t type = 0, std::int32_t id = 0,
                                                   bool visibleOnly = false, bool recursive = false) const;

    // The bar's rectangle after the last layout, in pixels of the
    // CommandBars' client area (a shown menu: where it was shown). Empty
    // for a hidden bar.
    Rect WindowRect() const;
    void GetWindowRect(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom) const;

    // Shows the bar as a menu at (x, y) through the presenter and executes
    // the control chosen (unless flags has cbpfReturnCommand). Raises
    // InitCommandsPopup for the menu and every shown sub-menu first.
    // Returns the chosen control; nullptr when dismissed or empty.
    std::shared_ptr<CommandBarControl> ShowPopup(std::int32_t flags = 0, std::int32_t x = 0, std::int32_t y = 0);

    // Asks a backend to repaint the bar.
    void RedrawBar();

    // The entries a presenter shows for this bar as a menu: visible
    // controls in order (custom controls left out), sub-menus for the
    // kinds with a menu, and no separator before the first entry.
    std::vector<MenuEntry> menuEntries() const;

    // The pop-up control whose menu this bar is; nullptr for other bars.
    std::shared_ptr<CommandBarControl> OwnerControl() const;
    CommandBars* commandBars() const { return m_owner; }

    void setProperty(const std::string& member, const Variant& value) override;

private:
    friend struct MemberTables;
    static const MemberTable<CommandBar>& members();
    friend class CommandBarControls;
    friend class CommandBarControl;
    friend class CommandBars;
    friend class CommandBarLayout;

    void check() const;
    void markDeleted();
    // Something that changes how the bar looks changed.
    void contentChanged(bool affectsLayout);
    bool docked() const;
    void copySettingsTo(CommandBar& to) const;
    std::shared_ptr<CommandBarControl> findChosen(std::int32_t id) const;
    // Shows the bar through the presenter and returns the chosen control
    // without executing it.
    std::shared_ptr<CommandBarControl> choose(std::int32_t flags, std::int32_t x, std::int32_t y);
    void raiseInitPopups();

    CommandBars* m_owner;
    CommandBarControl* m_ownerControl = nullptr;
    std::int32_t m_type;
    std::int32_t m_position;
    std::int32_t m_barId = 0;
    std::int32_t m_iconWidth = 16;
    std::int32_t m_iconHeight = 16;
    std::int32_t m_docking;
    std::int32_t m_windowStyle;
    std::int32_t m_floatX = 0;
    std::int32_t m_floatY = 0;
    bool m_textBelowIcons = false;
    bool m_showExpandButton = false;
    bool m_customizable = true;
    bool m_contextMenuPresent = true;
    bool m_deleted = false;
    std::map<std::int32_t, bool> m_options;
    CommandBarControls m_controls{this};
    Rect m_rect;
};

}  // namespace tavixTGCL2
