#include "platform/CommandBarControl.h"

#include <string>

#include "platform/CommandBar.h"
#include "platform/CommandBars.h"
#include "platform/Error.h"

namespace tavixTGCL2 {

CommandBarControl::CommandBarControl(CommandBarsKey, tavixTGCL2::CommandBar* parent, std::int32_t type,
                                     std::int32_t id)
    : m_parent(parent), m_type(type), m_id(id) {}

CommandBarControl::~CommandBarControl() = default;

void CommandBarControl::check() const {
    if (m_deleted) throw Error(errDeletedObject, "the command-bar control was deleted");
}

void CommandBarControl::touched(bool affectsLayout) {
    if (m_parent) m_parent->contentChanged(affectsLayout);
}

void CommandBarControl::markDeleted() {
    m_deleted = true;
    m_parent = nullptr;
    m_window.reset();
    if (m_menu) {
        m_menu->markDeleted();
        m_menu.reset();
    }
}

std::shared_ptr<tavixTGCL2::CommandBar> CommandBarControl::Parent() const {
    check();
    return std::static_pointer_cast<tavixTGCL2::CommandBar>(m_parent->shared_from_this());
}

std::int32_t CommandBarControl::Type() const {
    check();
    return m_type;
}

std::int32_t CommandBarControl::Id() const {
    check();
    return m_id;
}

void CommandBarControl::setId(std::int32_t id) {
    check();
    if (id < 0) throw Error(errInvalidProperty, "a control identifier cannot be negative: " + std::to_string(id));
    m_id = id;
    touched(false);
}

std::int32_t CommandBarControl::Index() const {
    check();
    return m_parent->m_controls.indexOf(this) + 1;
}

const std::string& CommandBarControl::Caption() const {
    check();
    return m_caption;
}

void CommandBarControl::setCaption(std::string s) {
    check();
    if (s == m_caption) return;
    m_caption = std::move(s);
    touched(true);
}

const std::string& CommandBarControl::ToolTipText() const {
    check();
    return m_toolTip;
}

void CommandBarControl::setToolTipText(std::string s) {
    check();
    m_toolTip = std::move(s);
    touched(false);
}

const std::string& CommandBarControl::Parameter() const {
    check();
    return m_parameter;
}

void CommandBarControl::setParameter(std::string s) {
    check();
    m_parameter = std::move(s);
}

const std::string& CommandBarControl::Category() const {
    check();
    return m_category;
}

void CommandBarControl::setCategory(std::string s) {
    check();
    m_category = std::move(s);
}

bool CommandBarControl::BeginGroup() const {
    check();
    return m_beginGroup;
}

void CommandBarControl::setBeginGroup(bool v) {
    check();
    if (v == m_beginGroup) return;
    m_beginGroup = v;
    touched(true);
}

bool CommandBarControl::Visible() const {
    check();
    return m_visible;
}

void CommandBarControl::setVisible(bool v) {
    check();
    if (v == m_visible) return;
    m_visible = v;
    touched(true);
}

bool CommandBarControl::Enabled() const {
    check();
    return m_enabled;
}

void CommandBarControl::setEnabled(bool v) {
    check();
    if (v == m_enabled) return;
    m_enabled = v;
    touched(false);
}

bool CommandBarControl::Checked() const {
    check();
    return m_checked;
}

void CommandBarControl::setChecked(bool v) {
    check();
    if (v == m_checked) return;
    m_checked = v;
    touched(false);
}

std::int32_t CommandBarControl::Flags() const {
    check();
    return m_flags;
}

void CommandBarControl::setFlags(std::int32_t flags) {
    check();
    if (flags == m_flags) return;
    m_flags = flags;
    touched(true);
}

std::int32_t CommandBarControl::Style() const {
    check();
    return m_style;
}

void CommandBarControl::setStyle(std::int32_t style) {
    check();
    if (style < cbsAutomatic || style > cbsIconAndCaptionBelow)
        throw Error(errInvalidProperty, "button style must be 0 to 4, got " + std::to_string(style));
    if (style == m_style) return;
    m_style = style;
    touched(true);
}

std::int32_t CommandBarControl::IconId() const {
    check();
    return m_iconId;
}

void CommandBarControl::setIconId(std::int32_t id) {
    check();
    m_iconId = id;
    touched(false);
}

std::shared_ptr<tavixTGCL2::CommandBar> CommandBarControl::CommandBar() const {
    check();
    return m_menu;
}

std::shared_ptr<Control> CommandBarControl::HostedWindow() const {
    check();
    return m_window;
}

void CommandBarControl::setHostedWindow(std::shared_ptr<Control> window) {
    check();
    if (m_type != cbcCustom) throw Error(errNotSupported, "only a custom control hosts a window");
    if (window == m_window) return;
    // Adopting first: a window that contains the bar is refused before the
    // control takes it.
    if (window && m_parent->docked() && window->Parent() != m_parent) m_parent->add(window);
    auto old = std::move(m_window);
    m_window = std::move(window);
    if (old && m_parent->m_owner && !m_parent->m_owner->windowHosted(old.get())) old->setVisible(false);
    touched(true);
}

std::int32_t CommandBarControl::Handle() const {
    check();
    return m_window ? m_window->hWnd() : 0;
}

void CommandBarControl::Delete() {
    check();
    auto self = shared_from_this();  // the bar's reference goes first
    tavixTGCL2::CommandBar* bar = m_parent;
    CommandBars* owner = bar->m_owner;
    auto window = m_window;
    bar->m_controls.erase(this);
    markDeleted();
    if (window && owner && !owner->windowHosted(window.get())) window->setVisible(false);
    bar->contentChanged(true);
}

void CommandBarControl::copyStateTo(CommandBarControl& to) const {
    to.m_caption = m_caption;
    to.m_toolTip = m_toolTip;
    to.m_parameter = m_parameter;
    to.m_category = m_category;
    to.m_beginGroup = m_beginGroup;
    to.m_visible = m_visible;
    to.m_enabled = m_enabled;
    to.m_checked = m_checked;
    to.m_flags = m_flags;
    to.m_style = m_style;
    to.m_iconId = m_iconId;
}

std::shared_ptr<CommandBarControl> CommandBarControl::Copy(const std::shared_ptr<tavixTGCL2::CommandBar>& target,
                                                           std::int32_t before) const {
    check();
    std::shared_ptr<tavixTGCL2::CommandBar> dest = target ? target : Parent();
    dest->check();
    // A copy inside its own menu would have to copy a menu that grows while
    // it is being copied.
    for (const tavixTGCL2::CommandBar* b = dest.get(); b && b->m_ownerControl; b = b->m_ownerControl->m_parent)
        if (b->m_ownerControl == this)
            throw Error(errInvalidProperty, "a control cannot be copied into its own menu");

    auto copy = dest->m_controls.insertNew(m_type, m_id, before);
    try {
        copyStateTo(*copy);
        if (m_menu) {
            m_menu->copySettingsTo(*copy->m_menu);
            auto items = m_menu->m_controls.m_items;
            for (const auto& item : items) item->Copy(copy->m_menu, 0);
        }
        if (m_window) {
            if (dest->docked() && m_window->Parent() != dest.get()) dest->add(m_window);
            copy->m_window = m_window;
        }
    } catch (...) {
        // No half-made copy stays behind.
        dest->m_controls.erase(copy.get());
        copy->markDeleted();
        throw;
    }
    dest->contentChanged(true);
    return copy;
}

bool CommandBarControl::Execute() {
    check();
    if (!m_enabled) return false;
    if (m_type == cbcPopup || m_type == cbcButtonPopup) return false;
    CommandBars* owner = m_parent->m_owner;
    if (!owner) return false;
    owner->reportExecute(shared_from_this());
    return true;
}

Rect CommandBarControl::bounds() const {
    check();
    return m_rect;
}

void CommandBarControl::GetRect(std::int32_t& left, std::int32_t& top, std::int32_t& right,
                                std::int32_t& bottom) const {
    Rect r = bounds();
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
}

}  // namespace tavixTGCL2
