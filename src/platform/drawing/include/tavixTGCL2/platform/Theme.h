#pragma once
// The themed look of drawn controls, in the shape of a visual-style service:
// open the data of a theme class for a window, read its integers, draw its
// parts, ask for content rectangles and draw text in the theme's style. The
// core ships a built-in theme with one class, "Progress"; a toolkit backend
// installs its own (see docs/drawing.md). A host that wants the flat look
// everywhere switches theming off, and every open then fails.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string_view>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Rect.h>

namespace tavixTGCL2 {

// Open theme data; 0 means none.
using ThemeHandle = std::uintptr_t;

// Parts and properties of the "Progress" class.
inline constexpr std::int32_t PP_BAR = 1;
inline constexpr std::int32_t PP_BARVERT = 2;
inline constexpr std::int32_t PP_CHUNK = 3;
inline constexpr std::int32_t PP_CHUNKVERT = 4;
inline constexpr std::int32_t TMT_PROGRESSCHUNKSIZE = 2411;
inline constexpr std::int32_t TMT_PROGRESSSPACESIZE = 2412;

class TGCL_API Theme {
public:
    virtual ~Theme() = default;
    // classList holds one or more class names separated by ';'; the first
    // one the theme knows is opened. 0 when none is known.
    virtual ThemeHandle openThemeData(std::int32_t hwnd, std::string_view classList) = 0;
    virtual void closeThemeData(ThemeHandle theme) = 0;
    virtual bool getThemeInt(ThemeHandle theme, std::int32_t part, std::int32_t state, std::int32_t prop,
                             std::int32_t& value) = 0;
    // Draws a part into r; nothing outside `clip` (when given) changes.
    virtual bool drawThemeBackground(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                                     const Rect& r, const Rect* clip) = 0;
    virtual bool getThemeBackgroundContentRect(ThemeHandle theme, DC& dc, std::int32_t part,
                                               std::int32_t state, const Rect& bounds, Rect& content) = 0;
    // Text in the part's text colour with the context's font, transparent
    // background, DT_ format flags.
    virtual bool drawThemeText(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                               std::string_view text, std::uint32_t format, const Rect& r) = 0;
};

// The built-in theme. "Progress": a light grey trough with a grey one-pixel
// frame (content inset by that frame), and a green bar shaded lighter along
// its leading side (top of a horizontal bar, left of a vertical one). The
// bar is continuous by default (chunk and space size 0); with a chunk size
// set, the bar part is drawn as chunks of that size separated by spaces in
// which the trough shows, counted from the bar's start edge. Text is drawn
// in the window text colour.
class TGCL_API BuiltinTheme : public Theme {
public:
    struct ProgressStyle {
        ColorRef trough = RGB(230, 230, 230);
        ColorRef troughFrame = RGB(188, 188, 188);
        ColorRef barLight = RGB(60, 205, 90);
        ColorRef barDark = RGB(6, 160, 37);
        std::int32_t chunkSize = 0;
        std::int32_t spaceSize = 0;
    };

    BuiltinTheme() = default;
    explicit BuiltinTheme(const ProgressStyle& style) : m_style(style) {}
    const ProgressStyle& progressStyle() const { return m_style; }

    ThemeHandle openThemeData(std::int32_t hwnd, std::string_view classList) override;
    void closeThemeData(ThemeHandle theme) override;
    bool getThemeInt(ThemeHandle theme, std::int32_t part, std::int32_t state, std::int32_t prop,
                     std::int32_t& value) override;
    bool drawThemeBackground(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                             const Rect& r, const Rect* clip) override;
    bool getThemeBackgroundContentRect(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                                       const Rect& bounds, Rect& content) override;
    bool drawThemeText(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                       std::string_view text, std::uint32_t format, const Rect& r) override;

private:
    bool isOpen(ThemeHandle theme) const;
    ProgressStyle m_style;
};

// The theme drawn controls use, or nullptr while theming is switched off.
TGCL_API Theme* activeTheme();
// Installs a toolkit's theme for the whole process; nullptr puts the
// built-in theme back.
TGCL_API void installTheme(std::shared_ptr<Theme> theme);
// The host's switch: false gives every drawn control its flat look.
TGCL_API void setThemingEnabled(bool enabled);
TGCL_API bool themingEnabled();

// Theme data open for one scope; closed when the scope ends, whatever
// happens in it. A theme that throws counts as no theme.
class TGCL_API ThemeData {
public:
    ThemeData(Theme* theme, std::int32_t hwnd, std::string_view classList) noexcept;
    ~ThemeData();
    ThemeData(const ThemeData&) = delete;
    ThemeData& operator=(const ThemeData&) = delete;

    explicit operator bool() const { return m_handle != 0; }
    Theme* theme() const { return m_theme; }
    ThemeHandle handle() const { return m_handle; }

private:
    Theme* m_theme = nullptr;
    ThemeHandle m_handle = 0;
};

}  // namespace tavixTGCL2
