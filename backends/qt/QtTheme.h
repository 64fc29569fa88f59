#pragma once
// The "Progress" theme class drawn by the current Qt style, so a drawn
// progress bar looks like a QProgressBar next to it: the trough is the
// style's groove, a chunk is the style's bar contents filling the chunk's
// rectangle, text is drawn with the style's palette. The built-in theme
// stays selectable through installTheme(nullptr) and the flat look through
// setThemingEnabled(false).
#include <QPointer>
#include <QStyle>

#include "platform/Theme.h"

namespace tavixTGCL2::qt {

class QtTheme final : public Theme {
public:
    // nullptr: the application's style at each paint.
    explicit QtTheme(QStyle* style = nullptr) : m_style(style) {}

    ThemeHandle openThemeData(std::int32_t hwnd, std::string_view classList) override;
    void closeThemeData(ThemeHandle theme) override;
    bool getThemeInt(ThemeHandle theme, std::int32_t part, std::int32_t state, std::int32_t prop,
                     std::int32_t& value) override;
    bool drawThemeBackground(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state, const Rect& r,
                             const Rect* clip) override;
    bool getThemeBackgroundContentRect(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state,
                                       const Rect& bounds, Rect& content) override;
    bool drawThemeText(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t state, std::string_view text,
                       std::uint32_t format, const Rect& r) override;

private:
    bool isOpen(ThemeHandle theme) const { return theme == reinterpret_cast<ThemeHandle>(this); }
    QStyle* style() const;
    QPointer<QStyle> m_style;
};

}  // namespace tavixTGCL2::qt
