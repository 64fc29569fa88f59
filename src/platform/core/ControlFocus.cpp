// The focus model and the keyboard path of the control tree (see
// docs/accessibility.md). Kept apart from Control.cpp: the tree itself only
// tells this part when a control leaves reach.
#include <algorithm>
#include <vector>

#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

namespace {

const Control* topOf(const Control* c) {
    while (c->Parent()) c = c->Parent();
    return c;
}

bool within(const Control* c, const Control* ancestor) {
    for (; c; c = c->Parent())
        if (c == ancestor) return true;
    return false;
}

std::vector<Control*> inTabOrder(const Control& container) {
    std::vector<Control*> kids;
    kids.reserve(container.Children().size());
    for (const auto& k : container.Children()) kids.push_back(k.get());
    // Children are kept back to front, so equal TabIndex values keep z-order.
    std::stable_sort(kids.begin(), kids.end(), [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
    return kids;
}

// Every control Tab could ever reach, in order, whether it can take the
// focus now or not: a hidden one still marks its place, so the focus that
// leaves it goes on from where it was. The focused control is kept even
// without TabStop, so Tab goes on from it too.
void collectTabOrder(Control& c, const Control* focused, std::vector<Control*>& out) {
    bool stop = c.TabStop();
    if (const auto* option = dynamic_cast<const OptionButton*>(&c)) stop = option->isGroupTabStop();
    if (c.CanGetFocus() && (stop || &c == focused)) out.push_back(&c);
    for (Control* k : inTabOrder(c)) collectTabOrder(*k, focused, out);
}

// The next control after from that can take the focus now and is not
// inside skip, wrapping round; from itself comes last.
Control* nextFocusable(const std::vector<Control*>& order, const Control* from, bool forward, const Control* skip) {
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    if (n == 0) return nullptr;
    auto at = std::find(order.begin(), order.end(), from);
    std::ptrdiff_t i = at != order.end() ? at - order.begin() : (forward ? n - 1 : 0);
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        Control* c = order[static_cast<std::size_t>(((i + (forward ? step : -step)) % n + n) % n)];
        if (c->isFocusable() && !(skip && within(c, skip))) return c;
    }
    return nullptr;
}

// The page turned by Ctrl+Tab: the tab control around the focus, else the
// first one shown in the window.
TabControl* tabControlFor(Control& window, Control* focused) {
    for (Control* c = focused; c; c = c->Parent())
        if (auto* t = dynamic_cast<TabControl*>(c)) return t;
    std::vector<Control*> pending{&window};
    while (!pending.empty()) {
        Control* c = pending.front();
        pending.erase(pending.begin());
        if (!c->Visible()) continue;
        if (auto* t = dynamic_cast<TabControl*>(c); t && t->isShown() && t->Enabled()) return t;
        for (const auto& k : c->Children()) pending.push_back(k.get());
    }
    return nullptr;
}

bool offerAccelerator(Control& c, std::int16_t keyCode, std::int16_t shift,
                      bool (*offer)(Control&, std::int16_t, std::int16_t)) {
    if (!c.Visible() || !c.Enabled()) return false;
    if (offer(c, keyCode, shift)) return true;
    // A handler may change the tree while it runs: walk a copy.
    const auto kids = c.Children();
    for (const auto& k : kids)
        if (offerAccelerator(*k, keyCode, shift, offer)) return true;
    return false;
}

constexpr std::int16_t kModifiers = vbShiftMask | vbCtrlMask | vbAltMask;

}  // namespace

void Control::setCanGetFocus(bool v) {
    if (v == m_canGetFocus) return;
    m_canGetFocus = v;
    changed(Change::TabOrder);
    if (!v) focusLeaving(false);
}

void Control::setTabStop(bool v) {
    if (v == m_tabStop) return;
    m_tabStop = v;
    changed(Change::TabOrder);
}

void Control::setTabIndex(std::int16_t v) {
    if (v < 0) throw Error(errInvalidProperty, "Invalid property value: TabIndex");
    m_tabIndexSet = true;
    if (v == m_tabIndex) return;
    m_tabIndex = v;
    changed(Change::TabOrder);
}

bool Control::isFocusable() const {
    if (!m_canGetFocus || !isShown()) return false;
    for (const Control* c = this; c; c = c->m_parent)
        if (!c->m_enabled) return false;
    return true;
}

bool Control::hasFocus() const { return topOf(this)->m_focus == this; }

Control* Control::ActiveControl() const { return topOf(this)->m_focus; }

bool Control::SetFocus() {
    if (!isFocusable()) return false;
    root()->focusTo(this);
    return hasFocus();
}

bool Control::moveFocus(bool forward) {
    Control* top = root();
    std::vector<Control*> order;
    collectTabOrder(*top, top->m_focus, order);
    Control* next = nextFocusable(order, top->m_focus, forward, nullptr);
    if (!next) return false;
    top->focusTo(next);
    return true;
}

std::vector<Control*> Control::tabOrder() const {
    Control* top = const_cast<Control*>(topOf(this));
    std::vector<Control*> order;
    collectTabOrder(*top, nullptr, order);
    return order;
}

void Control::focusLeaving(bool removed) {
    Control* top = root();
    Control* focused = top->m_focus;
    if (top == this || !focused || !within(focused, this)) return;
    if (!removed && focused->isFocusable()) return;
    std::vector<Control*> order;
    collectTabOrder(*top, focused, order);
    top->focusTo(nextFocusable(order, focused, true, this));
}

void Control::focusTo(Control* next) {
    Control* old = m_focus;
    if (old == next) return;
    // Handlers may drop either control from the tree; both stay alive until
    // they have been told.
    const auto keepOld = old ? old->weak_from_this().lock() : nullptr;
    const auto keepNext = next ? next->weak_from_this().lock() : nullptr;
    if (old) {
        // The old control has let go before it hears so: a LostFocus handler
        // that gives the focus elsewhere has the last word.
        m_focus = nullptr;
        if (s_observer) s_observer->controlChanged(*old, Change::Focus);
        resumeNext([&] { old->LostFocus(); });
        if (m_focus || !next || next->root() != this || !next->isFocusable()) return;
    }
    if (!next) return;
    m_focus = next;
    if (s_observer) s_observer->controlChanged(*next, Change::Focus);
    resumeNext([&] { next->GotFocus(); });
}

// --- keyboard -----------------------------------------------------------------

bool Control::doKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (!m_enabled || keyCode == 0) return false;
    std::int16_t code = keyCode;
    resumeNext([&] { KeyDown(code, shift); });
    if (code == 0) return true;
    bool used = false;
    resumeNext([&] { used = onKeyDown(code, shift); });
    return used;
}

void Control::doContextMenu() {
    if (!m_enabled) return;
    const float x = static_cast<float>(ScaleWidth()) / 2;
    const float y = static_cast<float>(ScaleHeight()) / 2;
    resumeNext([&] { ContextMenuRequested(x, y); });
}

bool Control::sendKeyDown(std::int16_t keyCode, std::int16_t shift) {
    Control* top = root();
    Control* f = top->m_focus && top->m_focus->isFocusable() ? top->m_focus : nullptr;
    // What the key sets off may close the window or drop the control.
    const auto keepTop = top->weak_from_this().lock();
    const auto keepFocused = f ? f->weak_from_this().lock() : nullptr;
    if (f && f->doKeyDown(keyCode, shift)) return true;

    const std::int16_t mods = shift & kModifiers;
    bool used = false;
    if (keyCode == vbKeyTab && !(mods & vbAltMask)) {
        if (!(mods & vbCtrlMask)) {
            resumeNext([&] { used = top->moveFocus(!(mods & vbShiftMask)); });
            return used;
        }
        resumeNext([&] {
            TabControl* tabs = tabControlFor(*top, f);
            if (!tabs || tabs->itemCount() == 0) return;
            const std::int32_t n = tabs->itemCount();
            const std::int32_t step = (mods & vbShiftMask) ? n - 1 : 1;
            // The focus goes to the tabs first: the page it sat on may hide.
            tabs->SetFocus();
            tabs->setSelectedItem((std::max(tabs->selectedItem(), 0) + step) % n);
            used = true;
        });
        return used;
    }
    const bool menuKey = (keyCode == vbKeyF10 && mods == vbShiftMask) ||
                         (keyCode == vbKeyApps && !(mods & (vbCtrlMask | vbAltMask)));
    if (menuKey && f) {
        resumeNext([&] { f->doContextMenu(); });
        return true;
    }
    resumeNext([&] {
        used = offerAccelerator(*top, keyCode, shift, [](Control& c, std::int16_t k, std::int16_t s) {
            return c.onAccelerator(k, s);
        });
    });
    return used;
}

void Control::sendKeyPress(std::int16_t keyAscii) {
    Control* top = root();
    Control* target = top->m_focus && top->m_focus->isFocusable() ? top->m_focus : top;
    const auto keep = target->weak_from_this().lock();
    resumeNext([&] { target->doKeyPress(keyAscii); });
}

}  // namespace tavixTGCL2
