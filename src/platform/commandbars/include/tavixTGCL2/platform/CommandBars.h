#pragma once
// The command-bar component: one per toolbar control. It holds the bars
// (bar 1 is always the active menu bar), the key bindings, the options,
// colour table, theme and icon list, executes controls and reports them,
// lays the bars out in its client area and shows bar context menus.
//
// It is a Control: the owner places it (its width and height, in the
// owner's units, are the client area the bars dock in), and the docked bars
// are its children, so a toolkit backend mirrors the whole tree.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/CommandBar.h>
#include <tavixTGCL2/platform/CommandBarControl.h>
#include <tavixTGCL2/platform/CommandBarLayout.h>
#include <tavixTGCL2/platform/CommandBarTypes.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Error.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/platform/ImageManager.h>

namespace tavixTGCL2 {

struct TGCL_API KeyBinding {
    std::int32_t fVirt = 0;  // KeyBindingModifier bits
    std::int32_t key = 0;    // virtual-key code
    std::int32_t cmd = 0;    // command identifier
};

class TGCL_API KeyBindings {
public:
    // Throws errInvalidProperty for a key outside 1..255, modifier bits
    // other than KeyBindingModifier, or a negative command. A binding for a
    // key already bound is added all the same; the latest one wins.
    void Add(std::int32_t fVirt, std::int32_t key, std::int32_t cmd);
    void DeleteAll() { m_items.clear(); }
    std::int32_t Count() const { return static_cast<std::int32_t>(m_items.size()); }
    KeyBinding Item(std::int32_t index) const;  // 1-based; errSubscript
    // The command bound to key with exactly the modifiers of mask (Shift,
    // Ctrl and Alt compared; other bits ignored).
    std::optional<std::int32_t> Find(std::int32_t key, std::int32_t mask) const;

private:
    std::vector<KeyBinding> m_items;
};

class TGCL_API CommandBarsOptions {
public:
    bool FadedIcons() const { return m_fadedIcons; }
    void setFadedIcons(bool v) { m_fadedIcons = v; }
    // Numbered options are the backend's to interpret; unset ones are False.
    bool Option(std::int32_t number) const;
    void setOption(std::int32_t number, bool v) { m_options[number] = v; }

private:
    bool m_fadedIcons = false;
    std::map<std::int32_t, bool> m_options;
};

// A malformed bar definition: the 1-based line where it went wrong.
class TGCL_API CommandBarDefinitionError : public Error {
public:
    CommandBarDefinitionError(std::int32_t line, const std::string& problem)
        : Error(errGeneric, "command-bar definition, line " + std::to_string(line) + ": " + problem),
          m_line(line) {}
    std::int32_t line() const noexcept { return m_line; }

private:
    std::int32_t m_line;
};

class TGCL_API CommandBars : public Control {
public:
    explicit CommandBars(std::string name = "cbrBars");
    ~CommandBars() override;

    // --- bars --------------------------------------------------------------
    std::int32_t Count() const { return static_cast<std::int32_t>(m_bars.size()); }
    // 1-based; errSubscript outside 1..Count().
    std::shared_ptr<CommandBar> Item(std::int32_t index) const;
    // A new toolbar at the end of the collection, docked at position
    // (CommandBarPosition; cbpPopup makes a menu kept in the collection).
    std::shared_ptr<CommandBar> Add(const std::string& name, std::int32_t position = cbpTop);
    // Bar 1; it takes room only while it is visible and has visible controls.
    std::shared_ptr<CommandBar> ActiveMenuBar() const { return m_bars.front(); }
    // The first control with id through the bars in collection order.
    std::shared_ptr<CommandBarControl> FindControl(std::int32_t type, std::int32_t id, bool visibleOnly = false,
                                                   bool recursive = false) const;

    // --- look ----------------------------------------------------------------
    std::int32_t VisualTheme() const { return m_theme; }
    void setVisualTheme(std::int32_t theme);  // CommandBarTheme; others errInvalidProperty
    CommandBarsOptions& Options() { return m_options; }
    const CommandBarsOptions& Options() const { return m_options; }
    // Colour table, indexes 0..63 (errSubscript otherwise); OLE colours.
    OleColor SpecialColor(std::int32_t index) const;
    void setSpecialColor(std::int32_t index, OleColor color);
    static constexpr std::int32_t colorCount = 64;
    std::shared_ptr<ImageManager> Icons() const { return m_icons; }
    // nullptr leaves the bars without icons.
    void setIcons(std::shared_ptr<ImageManager> icons) { m_icons = std::move(icons); }

    // --- customisation and design-time definitions -----------------------
    // While enabled, a bar's context menu lists the customisable bars so the
    // operator can show and hide them.
    void EnableCustomization(bool enable) { m_customization = enable; }
    bool CustomizationEnabled() const { return m_customization; }
    // Replaces every bar but the active menu bar with the bars of a
    // definition (format: docs/command-bars.md); the first defined bar
    // becomes bar 2. A malformed definition throws
    // CommandBarDefinitionError and changes nothing.
    void LoadDesignerBars(const std::string& text);
    // The bars written back in the same format.
    std::string designerText() const;

    // --- keyboard ------------------------------------------------------------
    tavixTGCL2::KeyBindings& KeyBindings() { return m_keyBindings; }
    const tavixTGCL2::KeyBindings& KeyBindings() const { return m_keyBindings; }
    // A key press with its modifiers (KeyBindingModifier bits). When a
    // binding matches, the first control with its command identifier through
    // all bars and menus is executed, reported as a stand-in control with the
    // same identifier that belongs to the hidden key-bindings bar: a handler
    // tells an accelerator from a click by the bar. Returns whether a binding
    // matched (the key is then consumed even when nothing could run).
    bool pressKey(std::int32_t key, std::int32_t mask);

    // --- layout --------------------------------------------------------------
    // Lays out every bar and raises Resize once when any bar rectangle
    // changed. Runs by itself when the CommandBars' size changes; changes
    // to bars and controls only mark it pending, so an owner lays out once
    // after a batch.
    void RecalcLayout();
    bool layoutPending() const { return m_layoutPending; }
    // The client area in pixels (the Control's size, converted).
    std::int32_t ClientWidth() const;
    std::int32_t ClientHeight() const;
    void setClientSize(std::int32_t widthPx, std::int32_t heightPx);
    void setClientWidth(std::int32_t widthPx) { setClientSize(widthPx, ClientHeight()); }
    const TextMeasure& textMeasure() const { return *m_textMeasure; }
    // nullptr restores the font-engine measure.
    void setTextMeasure(std::shared_ptr<TextMeasure> measure);

    // --- context menu ----------------------------------------------------------
    // Builds the context menu of bar, raises ContextMenu (the handler may
    // change or replace it; nullptr shows nothing), shows it through the
    // presenter and executes the chosen control. Nothing happens for a bar
    // without ContextMenuPresent. Returns the chosen control.
    std::shared_ptr<CommandBarControl> ShowContextMenu(const std::shared_ptr<CommandBar>& bar, std::int32_t x,
                                                       std::int32_t y);
    // Identifiers of the show/hide entries of the customisation list:
    // this base plus the bar's index.
    static constexpr std::int32_t idToggleBarBase = 0x7F000000;

    // --- events ----------------------------------------------------------------
    // A control was executed (a click, a menu choice or a key binding).
    Event<std::shared_ptr<CommandBarControl>> Execute;
    // The bars were laid out anew and at least one rectangle changed. It
    // hides Control::Resize (still raised when the CommandBars itself is
    // resized) on purpose: users of the component want the bars' event.
    Event<> Resize;
    // A bar's context menu is about to be shown.
    Event<std::shared_ptr<CommandBar>, std::shared_ptr<CommandBar>&> ContextMenu;
    // A menu is about to be shown; the handler may update its controls.
    Event<std::shared_ptr<CommandBar>> InitCommandsPopup;

protected:
    void onResize() override;
    // The window's keys reach the bindings here (Control::sendKeyDown), with
    // the ShiftMask turned into KeyBindingModifier bits.
    bool onAccelerator(std::int16_t keyCode, std::int16_t shift) override;

private:
    friend class CommandBar;
    friend class CommandBarControl;
    friend class CommandBarControls;
    friend class CommandBarLayout;

    std::shared_ptr<CommandBar> makeBar(std::int32_t type, const std::string& name, std::int32_t position);
    void invalidateLayout() { m_layoutPending = true; }
    // Raises Execute for control, containing what a handler throws.
    void reportExecute(const std::shared_ptr<CommandBarControl>& control);
    // Whether any live custom control of any bar hosts window.
    bool windowHosted(const Control* window) const;
    std::shared_ptr<CommandBarControl> keyStandIn(const CommandBarControl& found);

    std::vector<std::shared_ptr<CommandBar>> m_bars;
    std::shared_ptr<CommandBar> m_keyBar;       // holds the stand-ins of key presses
    std::shared_ptr<CommandBar> m_contextMenu;  // the last context menu built
    std::vector<const CommandBarControl*> m_toggleEntries;
    tavixTGCL2::KeyBindings m_keyBindings;
    CommandBarsOptions m_options;
    std::map<std::int32_t, OleColor> m_colors;
    std::shared_ptr<ImageManager> m_icons;
    std::shared_ptr<TextMeasure> m_textMeasure;
    std::int32_t m_theme = cbThemeOffice2003;
    bool m_customization = true;
    bool m_layoutPending = true;
    int m_layoutDepth = 0;
    bool m_relayoutRequested = false;
};

}  // namespace tavixTGCL2
