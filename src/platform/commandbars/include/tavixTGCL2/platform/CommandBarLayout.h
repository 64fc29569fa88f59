#pragma once
// How the command bars are measured. The layout needs only caption widths
// and the line height; a font engine plugs in through TextMeasure, and the
// headless build measures with fixed, documented metrics so that every
// rectangle is reproducible.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

#include <tavixTGCL2/platform/FontEngine.h>

namespace tavixTGCL2 {

class CommandBar;
class CommandBarControl;
class CommandBars;
struct Rect;

class TGCL_API TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // Width in pixels of a caption as shown: mnemonic markers already
    // removed ("&File" is measured as "File").
    virtual std::int32_t textWidth(const std::string& text) const = 0;
    virtual std::int32_t lineHeight() const = 0;
};

// Every character (UTF-8 code point) is charWidth pixels wide, every line
// lineHeight high, whatever font engine is installed: for hosts and tests
// that want rectangles independent of fonts. The defaults are the average
// character width and line height of an 8-point interface font at 96 dpi.
class TGCL_API FixedTextMeasure : public TextMeasure {
public:
    explicit FixedTextMeasure(std::int32_t charWidth = 6, std::int32_t lineHeight = 13)
        : m_charWidth(charWidth < 1 ? 1 : charWidth), m_lineHeight(lineHeight < 1 ? 1 : lineHeight) {}
    std::int32_t textWidth(const std::string& text) const override;
    std::int32_t lineHeight() const override { return m_lineHeight; }

private:
    std::int32_t m_charWidth;
    std::int32_t m_lineHeight;
};

// Measures with the process's font engine, so a toolkit that installs its
// own engine lays bars out with its real text widths. Headless, the built-in
// bitmap engine gives 6 pixels per character and 12-pixel lines at the
// default 8 points. This is the measure a CommandBars starts with.
class TGCL_API FontTextMeasure : public TextMeasure {
public:
    explicit FontTextMeasure(Font font = {}) : m_font(std::move(font)) {}
    std::int32_t textWidth(const std::string& text) const override;
    std::int32_t lineHeight() const override;
    const Font& font() const { return m_font; }

private:
    Font m_font;
};

// A caption as it is shown: "&" marks the mnemonic and is dropped, "&&"
// shows one "&".
TGCL_API std::string displayCaption(const std::string& caption);

// Metrics of the layout, in pixels.
struct TGCL_API CommandBarMetrics {
    static constexpr std::int32_t barBorder = 2;      // around the controls of a docked bar
    static constexpr std::int32_t gripper = 7;        // along the leading edge when styled so
    static constexpr std::int32_t expandButton = 11;  // chevron at the trailing edge
    static constexpr std::int32_t buttonPad = 3;      // inside a button, every side
    static constexpr std::int32_t captionPad = 3;     // extra room either side of a caption
    static constexpr std::int32_t iconTextGap = 3;    // between icon and caption
    static constexpr std::int32_t separator = 6;      // a group separator's thickness
    static constexpr std::int32_t popupArrow = 8;     // arrow of a pop-up on a toolbar
    static constexpr std::int32_t splitArrow = 12;    // drop-down part of a split button
    static constexpr std::int32_t menuArrow = 12;     // sub-menu arrow in a menu
};

// The layout engine; the rules are in docs/command-bars.md.
class TGCL_API CommandBarLayout {
public:
    // Lays out every bar of bars in its client area, places hosted windows
    // and returns whether any bar rectangle changed.
    static bool layoutAll(CommandBars& bars);
    // Lays out a menu shown with its top-left corner at (x, y).
    static void layoutMenu(CommandBar& menu, std::int32_t x, std::int32_t y);
    // Where the engine records a control's place.
    static void setControlRect(CommandBarControl& control, const Rect& rect);
};

}  // namespace tavixTGCL2
