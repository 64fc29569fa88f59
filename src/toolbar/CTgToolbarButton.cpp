#include "toolbar/CTgToolbarButton.h"

#include "platform/CommandBars.h"
#include "platform/Error.h"

namespace tavixTGCL2 {

namespace {
// A failure is reported as the handle's member's, which called these.
template <class F, class T>
T readOr(const std::shared_ptr<CommandBarControl>& c, F f, T fallback, SourceSite where = SourceSite::current()) {
    if (!c || c->isDeleted()) return fallback;
    try {
        return f(*c);
    } catch (...) {
        reportContained(where);
        return fallback;
    }
}
template <class F>
void writeIf(const std::shared_ptr<CommandBarControl>& c, F f, SourceSite where = SourceSite::current()) {
    if (!c || c->isDeleted()) return;
    resumeNext([&] { f(*c); }, where);
}
const CommandBarControl& live(const std::shared_ptr<CommandBarControl>& c) {
    if (!c) throw Error(errObjectRequired, "the button is not attached to a control");
    return *c;
}
}  // namespace

bool CTgToolbarButton::Checked() const {
    return readOr(m_control, [](auto& c) { return c.Checked(); }, false);
}
void CTgToolbarButton::setChecked(bool v) {
    writeIf(m_control, [v](auto& c) { c.setChecked(v); });
}
bool CTgToolbarButton::BeginGroup() const {
    return readOr(m_control, [](auto& c) { return c.BeginGroup(); }, false);
}
void CTgToolbarButton::setBeginGroup(bool v) {
    writeIf(m_control, [v](auto& c) { c.setBeginGroup(v); });
}
bool CTgToolbarButton::Enabled() const {
    return readOr(m_control, [](auto& c) { return c.Enabled(); }, false);
}
void CTgToolbarButton::setEnabled(bool v) {
    writeIf(m_control, [v](auto& c) { c.setEnabled(v); });
}
ETgToolbarButtonID CTgToolbarButton::ID() const {
    return static_cast<ETgToolbarButtonID>(readOr(m_control, [](auto& c) { return c.Id(); }, 0));
}
bool CTgToolbarButton::Visible() const {
    return readOr(m_control, [](auto& c) { return c.Visible(); }, false);
}
void CTgToolbarButton::setVisible(bool v) {
    writeIf(m_control, [v](auto& c) { c.setVisible(v); });
}
bool CTgToolbarButton::IsDeleted() const { return !m_control || m_control->isDeleted(); }
bool CTgToolbarButton::Execute() {
    return readOr(m_control, [](CommandBarControl& c) { return c.Execute(); }, false);
}

std::int32_t CTgToolbarButton::Style() const { return live(m_control).Style(); }
void CTgToolbarButton::setStyle(std::int32_t style) {
    live(m_control);
    m_control->setStyle(style);
}
std::int32_t CTgToolbarButton::Index() const { return live(m_control).Index(); }
std::shared_ptr<CommandBar> CTgToolbarButton::Parent() const { return live(m_control).Parent(); }
std::shared_ptr<CTgToolbarButton> CTgToolbarButton::of(std::shared_ptr<CommandBarControl> control) {
    if (!control) return nullptr;
    auto btn = std::make_shared<CTgToolbarButton>();
    btn->Attach(std::move(control));
    return btn;
}

void CTgToolbarButton::Attach(std::shared_ptr<CommandBarControl> control) { m_control = std::move(control); }

}  // namespace tavixTGCL2
