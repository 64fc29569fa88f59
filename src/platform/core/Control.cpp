#include "platform/Control.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/Error.h"
#include "platform/MemberTable.h"

namespace tavixTGCL2 {

namespace {
std::atomic<std::int32_t> g_nextHandle{0x1000};
}

Control::Control(std::string className, std::string name)
    : m_className(std::move(className)), m_name(std::move(name)), m_hWnd(g_nextHandle++) {}

Control::~Control() {
    for (auto& c : m_children) c->m_parent = nullptr;
    if (s_observer) s_observer->controlDestroyed(*this);
}

Control* Control::root() {
    Control* c = this;
    while (c->m_parent) c = c->m_parent;
    return c;
}

void Control::addChild(std::shared_ptr<Control> child) {
    if (!child) throw Error(errObjectRequired, "no control to add");
    for (Control* a = this; a; a = a->m_parent)
        if (a == child.get()) throw Error(errGeneric, "a control cannot contain its own ancestor");
    if (child->m_parent) child->m_parent->remove(*child);
    child->m_parent = this;
    if (!child->m_tabIndexSet)
        child->m_tabIndex = static_cast<std::int16_t>(std::min<std::size_t>(m_children.size(), INT16_MAX));
    m_children.push_back(child);
    if (s_observer) s_observer->controlAdded(*this, *child);
}

void Control::remove(Control& child) {
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [&](const auto& p) { return p.get() == &child; });
    if (it == m_children.end()) return;
    auto keep = *it;  // stays alive until the observer has seen it go
    keep->focusLeaving(true);
    // A focus handler may have taken it out already.
    it = std::find(m_children.begin(), m_children.end(), keep);
    if (it == m_children.end()) return;
    m_children.erase(it);
    keep->m_parent = nullptr;
    if (s_observer) s_observer->controlRemoved(*this, *keep);
}

void Control::removeAll() {
    while (!m_children.empty()) remove(*m_children.back());
}

Control* Control::find(const std::string& name) {
    if (m_name == name) return this;
    for (auto& c : m_children)
        if (Control* f = c->find(name)) return f;
    return nullptr;
}

std::shared_ptr<Control> Control::sharedChild(const Control* c) const {
    for (auto& p : m_children)
        if (p.get() == c) return p;
    return nullptr;
}

ScaleMode Control::parentScaleMode() const {
    return m_parent ? m_parent->m_scaleMode : ScaleMode::Twips;
}

std::int32_t Control::Left() const { return Screen::toUnits(m_left, parentScaleMode()); }
std::int32_t Control::Top() const { return Screen::toUnits(m_top, parentScaleMode()); }
std::int32_t Control::Width() const { return Screen::toUnits(m_width, parentScaleMode()); }
std::int32_t Control::Height() const { return Screen::toUnits(m_height, parentScaleMode()); }

void Control::setLeft(std::int32_t v) {
    applyGeometry(Screen::fromUnits(v, parentScaleMode()), m_top, m_width, m_height);
}
void Control::setTop(std::int32_t v) {
    applyGeometry(m_left, Screen::fromUnits(v, parentScaleMode()), m_width, m_height);
}
void Control::setWidth(std::int32_t v) {
    if (v < 0) throw Error(errInvalidProperty, "Invalid property value: Width");
    applyGeometry(m_left, m_top, Screen::fromUnits(v, parentScaleMode()), m_height);
}
void Control::setHeight(std::int32_t v) {
    if (v < 0) throw Error(errInvalidProperty, "Invalid property value: Height");
    applyGeometry(m_left, m_top, m_width, Screen::fromUnits(v, parentScaleMode()));
}

void Control::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Error(errInvalidProperty, "Invalid procedure call or argument: Move");
    ScaleMode m = parentScaleMode();
    applyGeometry(Screen::fromUnits(left, m), Screen::fromUnits(top, m), Screen::fromUnits(width, m),
                  Screen::fromUnits(height, m));
}

void Control::Move(std::int32_t left, std::int32_t top) {
    ScaleMode m = parentScaleMode();
    applyGeometry(Screen::fromUnits(left, m), Screen::fromUnits(top, m), m_width, m_height);
}

void Control::moveTwips(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) {
    if (w < 0 || h < 0) throw Error(errInvalidProperty, "Invalid procedure call or argument: Move");
    applyGeometry(l, t, w, h);
}

void Control::applyGeometry(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) {
    bool sized = w != m_width || h != m_height;
    bool moved = l != m_left || t != m_top;
    if (!sized && !moved) return;
    m_left = l;
    m_top = t;
    m_width = w;
    m_height = h;
    changed(Change::Geometry);
    if (sized) {
        onResize();
        Resize();
    }
}

void Control::setScaleMode(ScaleMode m) { m_scaleMode = m; }

void Control::setBorderPixels(std::int32_t px) {
    m_borderPixels = std::max(0, px);
    changed(Change::Border);
}

std::int32_t Control::ScaleWidth() const {
    std::int32_t inner = std::max(0, m_width - 2 * Screen::toTwips(m_borderPixels));
    return Screen::toUnits(inner, m_scaleMode);
}

std::int32_t Control::ScaleHeight() const {
    std::int32_t inner = std::max(0, m_height - 2 * Screen::toTwips(m_borderPixels));
    return Screen::toUnits(inner, m_scaleMode);
}

void Control::setVisible(bool v) {
    if (v == m_visible) return;
    m_visible = v;
    changed(Change::Visible);
    if (!v) focusLeaving(false);
}

bool Control::isShown() const {
    for (const Control* c = this; c; c = c->m_parent)
        if (!c->m_visible) return false;
    return true;
}

void Control::setEnabled(bool v) {
    if (v == m_enabled) return;
    m_enabled = v;
    changed(Change::Enabled);
    if (!v) focusLeaving(false);
}

void Control::setToolTipText(std::string s) {
    if (s == m_toolTip) return;
    m_toolTip = std::move(s);
    changed(Change::ToolTipText);
}

void Control::setCaption(std::string s) {
    if (s == m_caption) return;
    m_caption = std::move(s);
    changed(Change::Caption);
}

void Control::setBackColor(OleColor c) {
    if (c == m_backColor) return;
    m_backColor = c;
    changed(Change::BackColor);
}

void Control::setForeColor(OleColor c) {
    if (c == m_foreColor) return;
    m_foreColor = c;
    changed(Change::ForeColor);
}

void Control::setFont(const Font& f) {
    if (f == m_font) return;
    m_font = f;
    changed(Change::Font);
}

void Control::ZOrder(std::int32_t position) {
    if (!m_parent) return;
    auto& sib = m_parent->m_children;
    auto it = std::find_if(sib.begin(), sib.end(), [&](const auto& p) { return p.get() == this; });
    if (it == sib.end()) return;
    auto self = *it;
    sib.erase(it);
    if (position == 0) sib.push_back(self);
    else sib.insert(sib.begin(), self);
    changed(Change::ZOrder);
}

std::int32_t Control::zIndex() const {
    if (!m_parent) return 0;
    const auto& sib = m_parent->m_children;
    for (std::size_t i = 0; i < sib.size(); ++i)
        if (sib[i].get() == this) return static_cast<std::int32_t>(i);
    return 0;
}

bool Control::ambientUserMode() const {
    for (const Control* c = this; c; c = c->m_parent)
        if (!c->m_userMode) return false;
    return true;
}

void Control::changed(Change what) {
    if (s_observer) s_observer->controlChanged(*this, what);
}

void Control::doClick() {
    if (m_enabled) Click();
}
void Control::doMouseDown(std::int16_t b, std::int16_t s, float x, float y) {
    if (m_enabled) MouseDown(b, s, x, y);
}
void Control::doMouseMove(std::int16_t b, std::int16_t s, float x, float y) {
    if (m_enabled) MouseMove(b, s, x, y);
}
void Control::doMouseUp(std::int16_t b, std::int16_t s, float x, float y) {
    if (m_enabled) MouseUp(b, s, x, y);
}
void Control::doKeyPress(std::int16_t keyAscii) {
    if (m_enabled) KeyPress(keyAscii);
}

const MemberTable<Control>& Control::members() {
    using M = MemberTable<Control>;
    static const M table{
        M::method("Move",
                  [](Control& c, MemberCall& call) {
                      // Width and height are optional, as in the host's Move.
                      const VariantList& args = call.args;
                      std::int32_t l = call.arg(0).toInt32();
                      std::int32_t t = args.size() > 1 ? args[1].toInt32() : c.Top();
                      std::int32_t w = args.size() > 2 ? args[2].toInt32() : c.Width();
                      std::int32_t h = args.size() > 3 ? args[3].toInt32() : c.Height();
                      c.Move(l, t, w, h);
                  }),
        M::method("ZOrder",
                  [](Control& c, MemberCall& call) { c.ZOrder(call.args.empty() ? 0 : call.args[0].toInt32()); }),
        M::method("SetFocus", [](Control& c, MemberCall&) { return c.SetFocus(); }),
        M::property("Visible", &Control::Visible, &Control::setVisible),
        M::property("Enabled", &Control::Enabled, &Control::setEnabled),
        M::property("Left", &Control::Left, &Control::setLeft),
        M::property("Top", &Control::Top, &Control::setTop),
        M::property("Width", &Control::Width, &Control::setWidth),
        M::property("Height", &Control::Height, &Control::setHeight),
        M::property("Caption", &Control::Caption, &Control::setCaption),
        M::property("ToolTipText", &Control::ToolTipText, &Control::setToolTipText),
        M::property("Tag", &Control::Tag, &Control::Tag),
        M::readOnly("hWnd", &Control::hWnd),
        M::property("TabStop", &Control::TabStop, &Control::setTabStop),
        M::property("TabIndex", &Control::TabIndex, &Control::setTabIndex),
        M::readOnly("Name", &Control::Name),
    };
    return table;
}

Variant Control::invoke(const std::string& member, VariantList& args) { return members().invoke(*this, member, args); }

void Control::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

// --- factory -------------------------------------------------------------

namespace {
std::map<std::string, ControlFactory::Maker>& registry() {
    static std::map<std::string, ControlFactory::Maker> r;
    return r;
}
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
}  // namespace

void ControlFactory::registerClass(const std::string& className, Maker make) {
    std::lock_guard lock(registryMutex());
    registry()[className] = std::move(make);
}

bool ControlFactory::isRegistered(const std::string& className) {
    std::lock_guard lock(registryMutex());
    return registry().count(className) != 0;
}

std::shared_ptr<Control> ControlFactory::create(const std::string& className) {
    Maker make;
    {
        std::lock_guard lock(registryMutex());
        auto it = registry().find(className);
        if (it == registry().end())
            throw Error(errGeneric, "Invalid class string: " + className);
        make = it->second;
    }
    auto c = make();
    if (!c) throw Error(errGeneric, "control could not be created: " + className);
    return c;
}

WindowUpdateLock::WindowUpdateLock(Control* c) : m_control(c) {
    ++s_depth;
    if (auto* o = Control::observer(); o && c) o->controlChanged(*c, Change::UpdateLocked);
}

WindowUpdateLock::~WindowUpdateLock() {
    --s_depth;
    if (auto* o = Control::observer(); o && m_control && s_depth == 0)
        o->controlChanged(*m_control, Change::UpdateUnlocked);
}

}  // namespace tavixTGCL2
