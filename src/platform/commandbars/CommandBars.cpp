#include "platform/CommandBars.h"

#include <string>

namespace tavixTGCL2 {

// --- KeyBindings -----------------------------------------------------------------

namespace {
constexpr std::int32_t kModifierBits = FSHIFT | FCONTROL | FALT;
constexpr std::int32_t kKnownBits = FVIRTKEY | FNOINVERT | kModifierBits;
}  // namespace

void KeyBindings::Add(std::int32_t fVirt, std::int32_t key, std::int32_t cmd) {
    if (fVirt & ~kKnownBits)
        throw Error(errInvalidProperty, "unknown modifier bits in key binding mask " + std::to_string(fVirt));
    if (key < 1 || key > 255)
        throw Error(errInvalidProperty, "virtual-key code must be 1 to 255, got " + std::to_string(key));
    if (cmd < 0) throw Error(errInvalidProperty, "a command identifier cannot be negative: " + std::to_string(cmd));
    m_items.push_back({fVirt, key, cmd});
}

KeyBinding KeyBindings::Item(std::int32_t index) const {
    if (index < 1 || index > Count())
        throw Error(errSubscript, "no key binding " + std::to_string(index) + " of " + std::to_string(Count()));
    return m_items[static_cast<std::size_t>(index - 1)];
}

std::optional<std::int32_t> KeyBindings::Find(std::int32_t key, std::int32_t mask) const {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if (it->key == key && (it->fVirt & kModifierBits) == (mask & kModifierBits)) return it->cmd;
    return std::nullopt;
}

bool CommandBarsOptions::Option(std::int32_t number) const {
    auto it = m_options.find(number);
    return it != m_options.end() && it->second;
}

// --- CommandBars ---------------------------------------------------------------------

CommandBars::CommandBars(std::string name)
    : Control("CommandBars", std::move(name)), m_textMeasure(std::make_shared<FontTextMeasure>()) {
    auto menuBar = makeBar(cbtMenuBar, "Menu Bar", cbpTop);
    m_bars.push_back(menuBar);
    add(menuBar);
    m_keyBar = makeBar(cbtToolbar, "Key Bindings", cbpPopup);
    m_keyBar->Control::setVisible(false);
}

CommandBars::~CommandBars() {
    for (const auto& bar : m_bars) bar->markDeleted();
    m_keyBar->markDeleted();
}

std::shared_ptr<CommandBar> CommandBars::makeBar(std::int32_t type, const std::string& name,
                                                 std::int32_t position) {
    auto bar = std::make_shared<CommandBar>(CommandBarsKey{}, this, type, name);
    bar->m_position = position;
    return bar;
}

std::shared_ptr<CommandBar> CommandBars::Item(std::int32_t index) const {
    if (index < 1 || index > Count())
        throw Error(errSubscript, "no bar " + std::to_string(index) + " of " + std::to_string(Count()));
    return m_bars[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CommandBar> CommandBars::Add(const std::string& name, std::int32_t position) {
    if (position < cbpTop || position > cbpPopup)
        throw Error(errInvalidProperty, "no bar position " + std::to_string(position));
    auto bar = makeBar(position == cbpPopup ? cbtPopup : cbtToolbar, name, position);
    m_bars.push_back(bar);
    if (bar->docked()) add(bar);
    invalidateLayout();
    return bar;
}

std::shared_ptr<CommandBarControl> CommandBars::FindControl(std::int32_t type, std::int32_t id, bool visibleOnly,
                                                            bool recursive) const {
    for (const auto& bar : m_bars)
        if (auto found = bar->m_controls.Find(type, id, visibleOnly, recursive)) return found;
    return nullptr;
}

void CommandBars::setVisualTheme(std::int32_t theme) {
    if (theme < cbThemeOffice2000 || theme > cbThemeNative)
        throw Error(errInvalidProperty, "no visual theme " + std::to_string(theme));
    m_theme = theme;
    changed(Change::Theme);
}

namespace {
OleColor defaultColor(std::int32_t index) {
    // System colours, so that a backend's palette shows through until a
    // colour is set.
    switch (index) {
        case cbcolMenuFace: return 0x80000004;      // menu
        case cbcolHighlight: return 0x8000000D;     // highlight
        case cbcolCheckedFace: return 0x80000002;   // active caption
        case cbcolDisabledText: return 0x80000011;  // grey text
        default: return 0x8000000F;                 // button face
    }
}
}  // namespace

OleColor CommandBars::SpecialColor(std::int32_t index) const {
    if (index < 0 || index >= colorCount)
        throw Error(errSubscript, "no colour index " + std::to_string(index));
    auto it = m_colors.find(index);
    return it != m_colors.end() ? it->second : defaultColor(index);
}

void CommandBars::setSpecialColor(std::int32_t index, OleColor color) {
    if (index < 0 || index >= colorCount)
        throw Error(errSubscript, "no colour index " + std::to_string(index));
    m_colors[index] = color;
    changed(Change::Colors);
}

void CommandBars::reportExecute(const std::shared_ptr<CommandBarControl>& control) {
    resumeNext([&] { Execute(control); });
}

bool CommandBars::windowHosted(const Control* window) const {
    auto hostedIn = [window](const CommandBar& bar, const auto& self) -> bool {
        for (const auto& c : bar.m_controls.m_items) {
            if (c->m_window.get() == window) return true;
            if (c->m_menu && self(*c->m_menu, self)) return true;
        }
        return false;
    };
    for (const auto& bar : m_bars)
        if (hostedIn(*bar, hostedIn)) return true;
    return false;
}

std::shared_ptr<CommandBarControl> CommandBars::keyStandIn(const CommandBarControl& found) {
    // The stand-in of the previous key press has served its report.
    m_keyBar->m_controls.DeleteAll();
    auto standIn = m_keyBar->m_controls.insertNew(found.m_type == cbcCustom ? cbcButton : found.m_type,
                                                  found.m_id, 0);
    found.copyStateTo(*standIn);
    return standIn;
}

bool CommandBars::pressKey(std::int32_t key, std::int32_t mask) {
    auto cmd = m_keyBindings.Find(key, mask);
    if (!cmd) return false;
    if (auto found = FindControl(0, *cmd, false, true)) keyStandIn(*found)->Execute();
    return true;
}

bool CommandBars::onAccelerator(std::int16_t keyCode, std::int16_t shift) {
    std::int32_t mask = 0;
    if (shift & vbShiftMask) mask |= FSHIFT;
    if (shift & vbCtrlMask) mask |= FCONTROL;
    if (shift & vbAltMask) mask |= FALT;
    return pressKey(keyCode, mask);
}

std::int32_t CommandBars::ClientWidth() const { return Screen::toPixels(widthTwips()); }
std::int32_t CommandBars::ClientHeight() const { return Screen::toPixels(heightTwips()); }

void CommandBars::setClientSize(std::int32_t widthPx, std::int32_t heightPx) {
    moveTwips(leftTwips(), topTwips(), Screen::toTwips(widthPx), Screen::toTwips(heightPx));
}

void CommandBars::setTextMeasure(std::shared_ptr<TextMeasure> measure) {
    m_textMeasure = measure ? std::move(measure) : std::make_shared<FontTextMeasure>();
    invalidateLayout();
}

void CommandBars::onResize() { RecalcLayout(); }

void CommandBars::RecalcLayout() {
    // A Resize handler that changes the client size lays out again; that
    // request is served after the handler, a bounded number of times, so two
    // handlers fighting over a size cannot loop forever.
    if (m_layoutDepth > 0) {
        m_relayoutRequested = true;
        return;
    }
    for (int pass = 0; pass < 4; ++pass) {
        m_relayoutRequested = false;
        m_layoutPending = false;
        bool changedRects = CommandBarLayout::layoutAll(*this);
        if (changedRects) {
            ++m_layoutDepth;
            resumeNext([&] { Resize(); });
            --m_layoutDepth;
        }
        if (!m_relayoutRequested) break;
    }
}

std::shared_ptr<CommandBarControl> CommandBars::ShowContextMenu(const std::shared_ptr<CommandBar>& bar,
                                                                std::int32_t x, std::int32_t y) {
    if (!bar) throw Error(errObjectRequired, "no bar to show a context menu for");
    bar->check();
    if (bar->m_owner != this) throw Error(errGeneric, "the bar belongs to other command bars");
    if (!bar->m_contextMenuPresent) return nullptr;

    auto menu = makeBar(cbtPopup, "Context Menu", cbpPopup);
    std::vector<std::shared_ptr<CommandBarControl>> toggles;
    if (m_customization) {
        for (std::int32_t i = 1; i <= Count(); ++i) {
            const auto& b = m_bars[static_cast<std::size_t>(i - 1)];
            if (b->m_type != cbtToolbar || b->m_position == cbpPopup || !b->m_customizable) continue;
            auto entry = menu->m_controls.insertNew(cbcButton, idToggleBarBase + i, 0);
            entry->m_caption = b->Name();
            entry->m_checked = b->Visible();
            toggles.push_back(entry);
        }
    }
    std::shared_ptr<CommandBar> shown = menu;
    resumeNext([&] { ContextMenu(bar, shown); });
    if (!shown || shown->isDeleted()) return nullptr;

    auto chosen = shown->choose(0, x, y);
    if (!chosen) return nullptr;
    for (const auto& t : toggles) {
        if (t != chosen) continue;
        auto index = chosen->m_id - idToggleBarBase;
        if (index >= 1 && index <= Count()) {
            auto& target = m_bars[static_cast<std::size_t>(index - 1)];
            target->setVisible(!target->Visible());
            RecalcLayout();
        }
        return chosen;
    }
    chosen->Execute();
    return chosen;
}

}  // namespace tavixTGCL2
