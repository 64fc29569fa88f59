#include "platform/CommandBar.h"

#include <algorithm>
#include <string>

#include "platform/CommandBarLayout.h"
#include "platform/CommandBars.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"

namespace tavixTGCL2 {

// --- CommandBarControls ------------------------------------------------------

std::int32_t CommandBarControls::Count() const {
    m_bar->check();
    return static_cast<std::int32_t>(m_items.size());
}

std::shared_ptr<CommandBarControl> CommandBarControls::Item(std::int32_t index) const {
    m_bar->check();
    if (index < 1 || index > static_cast<std::int32_t>(m_items.size()))
        throw Error(errSubscript, "no control at position " + std::to_string(index) + " of " +
                                      std::to_string(m_items.size()));
    return m_items[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CommandBarControl> CommandBarControls::insertNew(std::int32_t type, std::int32_t id,
                                                                 std::int32_t before) {
    if (!controlTypeSupported(type))
        throw Error(errInvalidProperty, "control type " + std::to_string(type) + " is not supported");
    if (id < 0) throw Error(errInvalidProperty, "a control identifier cannot be negative: " + std::to_string(id));
    if (before < -1) throw Error(errInvalidProperty, "no position " + std::to_string(before) + " in a bar");
    auto c = std::make_shared<CommandBarControl>(CommandBarsKey{}, m_bar, type, id);
    if (controlTypeHasMenu(type)) {
        c->m_menu = std::make_shared<CommandBar>(CommandBarsKey{}, m_bar->m_owner, cbtPopup, std::string{});
        c->m_menu->m_ownerControl = c.get();
    }
    auto count = static_cast<std::int32_t>(m_items.size());
    auto at = (before <= 0 || before > count) ? m_items.end() : m_items.begin() + (before - 1);
    m_items.insert(at, c);
    return c;
}

std::shared_ptr<CommandBarControl> CommandBarControls::Add(std::int32_t type, std::int32_t id,
                                                           const std::string& caption, std::int32_t before) {
    m_bar->check();
    auto c = insertNew(type, id, before);
    c->m_caption = caption;
    if (c->m_menu) c->m_menu->setName(caption);
    m_bar->contentChanged(true);
    return c;
}

std::shared_ptr<CommandBarControl> CommandBarControls::Find(std::int32_t type, std::int32_t id, bool visibleOnly,
                                                            bool recursive) const {
    m_bar->check();
    for (const auto& c : m_items) {
        if (visibleOnly && !c->m_visible) continue;
        if (c->m_id == id && (type == 0 || c->m_type == type)) return c;
        if (recursive && c->m_menu)
            if (auto found = c->m_menu->m_controls.Find(type, id, visibleOnly, true)) return found;
    }
    return nullptr;
}

void CommandBarControls::DeleteAll() {
    m_bar->check();
    auto items = std::move(m_items);
    m_items.clear();
    std::vector<std::shared_ptr<Control>> windows;
    for (const auto& c : items) {
        if (c->m_window) windows.push_back(c->m_window);
        c->markDeleted();
    }
    if (CommandBars* owner = m_bar->m_owner)
        for (const auto& w : windows)
            if (!owner->windowHosted(w.get())) w->setVisible(false);
    m_bar->contentChanged(true);
}

std::int32_t CommandBarControls::indexOf(const CommandBarControl* c) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == c) return static_cast<std::int32_t>(i);
    return -1;
}

void CommandBarControls::erase(const CommandBarControl* c) {
    std::erase_if(m_items, [c](const auto& p) { return p.get() == c; });
}

// --- CommandBar ----------------------------------------------------------------

CommandBar::CommandBar(CommandBarsKey, CommandBars* owner, std::int32_t type, std::string name)
    : Control("CommandBar", std::move(name)),
      m_owner(owner),
      m_type(type),
      m_position(type == cbtPopup ? cbpPopup : cbpTop),
      m_docking(type == cbtMenuBar ? (cbdTop | cbdStretched) : (cbdAnyEdge | cbdFloating)),
      m_windowStyle(type == cbtToolbar ? cbwGripper : 0) {}

CommandBar::~CommandBar() {
    for (const auto& c : m_controls.m_items) c->markDeleted();
}

void CommandBar::check() const {
    if (m_deleted) throw Error(errDeletedObject, "the command bar was deleted");
}

void CommandBar::markDeleted() {
    m_deleted = true;
    auto items = std::move(m_controls.m_items);
    m_controls.m_items.clear();
    for (const auto& c : items) c->markDeleted();
    m_owner = nullptr;
    m_ownerControl = nullptr;
}

void CommandBar::contentChanged(bool affectsLayout) {
    changed(Change::Controls);
    if (affectsLayout && m_owner && docked()) m_owner->invalidateLayout();
}

bool CommandBar::docked() const {
    return !m_deleted && m_owner && m_type != cbtPopup && m_position != cbpPopup && !m_ownerControl;
}

CommandBarControls& CommandBar::Controls() {
    check();
    return m_controls;
}

const CommandBarControls& CommandBar::Controls() const {
    check();
    return m_controls;
}

std::int32_t CommandBar::Type() const {
    check();
    return m_type;
}

std::int32_t CommandBar::BarID() const {
    check();
    return m_barId;
}

void CommandBar::setBarID(std::int32_t id) {
    check();
    m_barId = id;
}

std::int32_t CommandBar::Position() const {
    check();
    return m_position;
}

namespace {
std::int32_t dockBitOf(std::int32_t position) {
    switch (position) {
        case cbpTop: return cbdTop;
        case cbpBottom: return cbdBottom;
        case cbpLeft: return cbdLeft;
        case cbpRight: return cbdRight;
        case cbpFloating: return cbdFloating;
        default: return 0;
    }
}
}  // namespace

void CommandBar::setPosition(std::int32_t position) {
    check();
    if (position < cbpTop || position > cbpPopup)
        throw Error(errInvalidProperty, "no bar position " + std::to_string(position));
    if (m_type == cbtPopup) {
        if (position != cbpPopup) throw Error(errInvalidProperty, "a menu cannot be docked");
        return;
    }
    if (position != cbpPopup && !(m_docking & dockBitOf(position)))
        throw Error(errInvalidProperty, "the docking flags of bar \"" + Name() + "\" do not allow position " +
                                            std::to_string(position));
    if (position == m_position) return;
    m_position = position;
    changed(Change::Position);
    if (m_owner) m_owner->invalidateLayout();
}

void CommandBar::setFloatingPosition(std::int32_t x, std::int32_t y) {
    check();
    m_floatX = x;
    m_floatY = y;
    if (m_owner && m_position == cbpFloating) m_owner->invalidateLayout();
}

std::int32_t CommandBar::IconWidth() const {
    check();
    return m_iconWidth;
}

std::int32_t CommandBar::IconHeight() const {
    check();
    return m_iconHeight;
}

void CommandBar::SetIconSize(std::int32_t width, std::int32_t height) {
    check();
    if (width < 1 || width > 256 || height < 1 || height > 256)
        throw Error(errInvalidProperty, "icon size must be 1 to 256 pixels, got " + std::to_string(width) + "x" +
                                            std::to_string(height));
    m_iconWidth = width;
    m_iconHeight = height;
    contentChanged(true);
}

std::int32_t CommandBar::DockingFlags() const {
    check();
    return m_docking;
}

void CommandBar::EnableDocking(std::int32_t flags) {
    check();
    m_docking = flags;
    if (m_type != cbtPopup && m_position != cbpPopup && !(flags & dockBitOf(m_position))) {
        for (std::int32_t p : {cbpTop, cbpBottom, cbpLeft, cbpRight, cbpFloating})
            if (flags & dockBitOf(p)) {
                m_position = p;
                changed(Change::Position);
                break;
            }
    }
    contentChanged(true);
}

std::int32_t CommandBar::WindowStyle() const {
    check();
    return m_windowStyle;
}

void CommandBar::ModifyStyle(std::int32_t remove, std::int32_t add) {
    check();
    m_windowStyle = (m_windowStyle & ~remove) | add;
    contentChanged(true);
}

bool CommandBar::ShowExpandButton() const {
    check();
    return m_showExpandButton;
}

void CommandBar::setShowExpandButton(bool v) {
    check();
    m_showExpandButton = v;
    contentChanged(true);
}

bool CommandBar::Customizable() const {
    check();
    return m_customizable;
}

void CommandBar::setCustomizable(bool v) {
    check();
    m_customizable = v;
}

bool CommandBar::ContextMenuPresent() const {
    check();
    return m_contextMenuPresent;
}

void CommandBar::setContextMenuPresent(bool v) {
    check();
    m_contextMenuPresent = v;
}

bool CommandBar::Option(std::int32_t number) const {
    check();
    switch (number) {
        case optionShowExpandButton: return m_showExpandButton;
        case optionCustomizable: return m_customizable;
        case optionContextMenuPresent: return m_contextMenuPresent;
        default: {
            auto it = m_options.find(number);
            return it != m_options.end() && it->second;
        }
    }
}

void CommandBar::setOption(std::int32_t number, bool v) {
    check();
    switch (number) {
        case optionShowExpandButton: setShowExpandButton(v); break;
        case optionCustomizable: setCustomizable(v); break;
        case optionContextMenuPresent: setContextMenuPresent(v); break;
        default: m_options[number] = v; changed(Change::Options);
    }
}

bool CommandBar::ShowTextBelowIcons() const {
    check();
    return m_textBelowIcons;
}

void CommandBar::setShowTextBelowIcons(bool v) {
    check();
    if (v == m_textBelowIcons) return;
    m_textBelowIcons = v;
    contentChanged(true);
}

void CommandBar::setVisible(bool v) {
    check();
    Control::setVisible(v);
    if (m_owner) m_owner->invalidateLayout();
}

const MemberTable<CommandBar>& CommandBar::members() {
    using M = MemberTable<CommandBar>;
    // A bar shown or hidden by name makes its owner lay the bars out again.
    static const M table(MemberTables::of<Control>(),
                         {M::property("Visible", &Control::Visible, &CommandBar::setVisible)});
    return table;
}

void CommandBar::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

std::shared_ptr<CommandBarControl> CommandBar::FindControl(std::int32_t type, std::int32_t id, bool visibleOnly,
                                                           bool recursive) const {
    check();
    return m_controls.Find(type, id, visibleOnly, recursive);
}

Rect CommandBar::WindowRect() const {
    check();
    return m_rect;
}

void CommandBar::GetWindowRect(std::int32_t& left, std::int32_t& top, std::int32_t& right,
                               std::int32_t& bottom) const {
    Rect r = WindowRect();
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
}

void CommandBar::RedrawBar() {
    check();
    changed(Change::Redraw);
}

std::vector<MenuEntry> CommandBar::menuEntries() const {
    check();
    std::vector<MenuEntry> out;
    for (const auto& c : m_controls.m_items) {
        if (!c->m_visible || c->m_type == cbcCustom) continue;
        MenuEntry e;
        e.id = c->m_id;
        e.caption = c->m_caption;
        e.enabled = c->m_enabled;
        e.checked = c->m_checked;
        e.beginGroup = c->m_beginGroup && !out.empty();
        if (c->m_menu) e.children = c->m_menu->menuEntries();
        out.push_back(std::move(e));
    }
    return out;
}

std::shared_ptr<CommandBarControl> CommandBar::OwnerControl() const {
    check();
    return m_ownerControl ? m_ownerControl->shared_from_this() : nullptr;
}

void CommandBar::copySettingsTo(CommandBar& to) const {
    to.setName(Name());
    to.m_barId = m_barId;
    to.m_iconWidth = m_iconWidth;
    to.m_iconHeight = m_iconHeight;
    to.m_docking = m_docking;
    to.m_windowStyle = m_windowStyle;
    to.m_textBelowIcons = m_textBelowIcons;
    to.m_showExpandButton = m_showExpandButton;
    to.m_customizable = m_customizable;
    to.m_contextMenuPresent = m_contextMenuPresent;
    to.m_options = m_options;
}

std::shared_ptr<CommandBarControl> CommandBar::findChosen(std::int32_t id) const {
    for (const auto& c : m_controls.m_items) {
        if (!c->m_visible || c->m_type == cbcCustom) continue;
        if (c->m_id == id) return c;
        if (c->m_menu)
            if (auto found = c->m_menu->findChosen(id)) return found;
    }
    return nullptr;
}

void CommandBar::raiseInitPopups() {
    if (!m_owner) return;
    auto self = std::static_pointer_cast<CommandBar>(shared_from_this());
    resumeNext([&] { m_owner->InitCommandsPopup(self); });
    if (m_deleted) return;
    auto items = m_controls.m_items;
    for (const auto& c : items)
        if (!c->m_deleted && c->m_visible && c->m_menu) c->m_menu->raiseInitPopups();
}

std::shared_ptr<CommandBarControl> CommandBar::choose(std::int32_t flags, std::int32_t x, std::int32_t y) {
    if (!m_owner) return nullptr;
    auto self = std::static_pointer_cast<CommandBar>(shared_from_this());
    raiseInitPopups();
    if (m_deleted) return nullptr;
    auto entries = menuEntries();
    if (entries.empty()) return nullptr;
    CommandBarLayout::layoutMenu(*this, x, y);
    std::int32_t id = 0;
    if (!resumeNext([&] { id = presenter().popupMenu(entries, x, y, flags); }) || id == 0) return nullptr;
    if (m_deleted) return nullptr;
    return findChosen(id);
}

std::shared_ptr<CommandBarControl> CommandBar::ShowPopup(std::int32_t flags, std::int32_t x, std::int32_t y) {
    check();
    auto self = std::static_pointer_cast<CommandBar>(shared_from_this());
    auto chosen = choose(flags, x, y);
    if (chosen && !(flags & cbpfReturnCommand)) chosen->Execute();
    return chosen;
}

}  // namespace tavixTGCL2
