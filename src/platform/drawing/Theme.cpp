#include "platform/Theme.h"

#include <cctype>

#include "platform/Diagnostics.h"
#include "platform/InstalledServices.h"

namespace tavixTGCL2 {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

TriVertex vertex(std::int32_t x, std::int32_t y, ColorRef c) {
    return {x, y, static_cast<std::uint16_t>(GetRValue(c) << 8), static_cast<std::uint16_t>(GetGValue(c) << 8),
            static_cast<std::uint16_t>(GetBValue(c) << 8), 0};
}

void shade(DC& dc, const Rect& r, ColorRef from, ColorRef to, std::uint32_t mode) {
    const TriVertex v[2] = {vertex(r.left, r.top, from), vertex(r.right, r.bottom, to)};
    const GradientRect mesh{0, 1};
    dc.gradientFill(v, 2, &mesh, 1, mode);
}

struct Globals {
    std::shared_ptr<Theme> installed;
    bool enabled = true;
};

Globals& globals() {
    static Globals g;
    return g;
}

}  // namespace

bool BuiltinTheme::isOpen(ThemeHandle theme) const { return theme == reinterpret_cast<ThemeHandle>(&m_style); }

ThemeHandle BuiltinTheme::openThemeData(std::int32_t, std::string_view classList) {
    while (!classList.empty()) {
        const std::size_t semi = classList.find(';');
        const std::string_view name = trimmed(classList.substr(0, semi));
        if (sameName(name, "Progress")) return reinterpret_cast<ThemeHandle>(&m_style);
        if (semi == std::string_view::npos) break;
        classList.remove_prefix(semi + 1);
    }
    return 0;
}

void BuiltinTheme::closeThemeData(ThemeHandle) {}

bool BuiltinTheme::getThemeInt(ThemeHandle theme, std::int32_t, std::int32_t, std::int32_t prop,
                               std::int32_t& value) {
    if (!isOpen(theme)) return false;
    if (prop == TMT_PROGRESSCHUNKSIZE) value = m_style.chunkSize;
    else if (prop == TMT_PROGRESSSPACESIZE) value = m_style.spaceSize;
    else return false;
    return true;
}

bool BuiltinTheme::drawThemeBackground(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t,
                                       const Rect& r, const Rect* clip) {
    if (!isOpen(theme) || part < PP_BAR || part > PP_CHUNKVERT || !dc.surface()) return false;
    SavedDC saved(dc);
    if (clip) dc.intersectClipRect(*clip);
    if (r.isEmpty()) return true;

    if (part == PP_BAR || part == PP_BARVERT) {
        dc.fillRect(r, Brush::solid(m_style.trough));
        const Brush frame = Brush::solid(m_style.troughFrame);
        const Rect inner = r.inflated(-1, -1);
        dc.fillRect({r.left, r.top, r.right, inner.top}, frame);
        dc.fillRect({r.left, inner.bottom, r.right, r.bottom}, frame);
        dc.fillRect({r.left, inner.top, inner.left, inner.bottom}, frame);
        dc.fillRect({inner.right, inner.top, r.right, inner.bottom}, frame);
        return true;
    }

    const bool horizontal = part == PP_CHUNK;
    const std::uint32_t mode = horizontal ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H;
    const std::int64_t chunk = m_style.chunkSize;
    if (chunk <= 0) {
        shade(dc, r, m_style.barLight, m_style.barDark, mode);
        return true;
    }
    // Chunks start at the bar's start edge: the left of a horizontal bar,
    // the bottom of a vertical one.
    const std::int64_t step = chunk + std::max<std::int64_t>(0, m_style.spaceSize);
    if (horizontal) {
        for (std::int64_t x = r.left; x < r.right; x += step)
            shade(dc, {saturate32(x), r.top, saturate32(std::min<std::int64_t>(x + chunk, r.right)), r.bottom},
                  m_style.barLight, m_style.barDark, mode);
    } else {
        for (std::int64_t y = r.bottom; y > r.top; y -= step)
            shade(dc, {r.left, saturate32(std::max<std::int64_t>(y - chunk, r.top)), r.right, saturate32(y)},
                  m_style.barLight, m_style.barDark, mode);
    }
    return true;
}

bool BuiltinTheme::getThemeBackgroundContentRect(ThemeHandle theme, DC&, std::int32_t part, std::int32_t,
                                                 const Rect& bounds, Rect& content) {
    if (!isOpen(theme) || part < 0 || part > PP_CHUNKVERT) return false;
    content = (part == PP_BAR || part == PP_BARVERT) ? bounds.inflated(-1, -1) : bounds;
    return true;
}

bool BuiltinTheme::drawThemeText(ThemeHandle theme, DC& dc, std::int32_t part, std::int32_t,
                                 std::string_view text, std::uint32_t format, const Rect& r) {
    if (!isOpen(theme) || part < 0 || part > PP_CHUNKVERT) return false;
    SavedDC saved(dc);
    dc.setTextColor(GetSysColor(COLOR_WINDOWTEXT));
    dc.setBkMode(TRANSPARENT);
    Rect box = r;
    dc.drawText(text, box, format & ~DT_CALCRECT);
    return true;
}

Theme* activeTheme() {
    static BuiltinTheme builtIn;
    Globals& g = globals();
    if (!g.enabled) return nullptr;
    return g.installed ? g.installed.get() : &builtIn;
}

std::shared_ptr<Theme> installedTheme() { return globals().installed; }

void installTheme(std::shared_ptr<Theme> theme) { globals().installed = std::move(theme); }
void setThemingEnabled(bool enabled) { globals().enabled = enabled; }
bool themingEnabled() { return globals().enabled; }

ThemeData::ThemeData(Theme* theme, std::int32_t hwnd, std::string_view classList) noexcept : m_theme(theme) {
    if (!theme) return;
    try {
        m_handle = theme->openThemeData(hwnd, classList);
    } catch (...) {
        reportContained();
        m_handle = 0;
    }
}

ThemeData::~ThemeData() {
    if (m_handle == 0) return;
    try {
        m_theme->closeThemeData(m_handle);
    } catch (...) {
        // A theme that fails to close has nothing more to give back here.
        reportContained();
    }
}

}  // namespace tavixTGCL2
