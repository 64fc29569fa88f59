// The toolbar's style settings, its button layout string and their storage
// in the machine settings store.
#include <charconv>

#include "frame/HostServices.h"
#include "platform/Error.h"
#include "progress/XStatusBar.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2 {

namespace {

// A stored value that is not a number where a number belongs counts as empty.
std::optional<std::int32_t> storedNumber(const Variant& v) {
    if (v.isEmpty() || !v.isNumeric()) return std::nullopt;
    try {
        return v.toInt32();
    } catch (...) {
        reportContained();
        return std::nullopt;
    }
}

// Plain decimal digits with an optional sign, nothing else.
std::optional<std::int32_t> parseInt(std::string_view s) {
    std::int32_t v = 0;
    if (s.empty()) return std::nullopt;
    const char* b = s.data();
    if (*b == '+') ++b;
    auto r = std::from_chars(b, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

void XTgToolbar::setButtonSize(std::int32_t v) {
    m_lButtonSize = v;
    static const std::int32_t kPixels[] = {24, 32, 48};
    if (v >= 0 && v <= 2) resumeNext([&] { m_bar->SetIconSize(kPixels[v], kPixels[v]); });
    resumeNext([&] { xsbStatus->ApplyButtonSize(v); });
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

std::int32_t XTgToolbar::TextLabels() const {
    try {
        if (m_bar->ShowTextBelowIcons()) return etgLabelsAll;
        auto next = ownControl(ID_TGTBAR_NEXT);
        if (!next) next = findControl(ID_TGTBAR_NEXT);
        return next && next->Style() == cbsIconAndCaption ? etgLabelsSelective : etgLabelsNone;
    } catch (...) {
        reportContained();
        return etgLabelsNone;
    }
}

void XTgToolbar::setTextLabels(std::int32_t v) {
    if (v == etgLabelsAll) {
        resumeNext([&] { m_bar->setShowTextBelowIcons(true); });
    } else {
        resumeNext([&] { m_bar->setShowTextBelowIcons(false); });
        const std::int32_t style = v != etgLabelsNone ? cbsIconAndCaption : cbsAutomatic;
        for (std::int32_t id : {ID_TGTBAR_NEXT, ID_TGTBAR_START, ID_TGTBAR_NA, ID_TGTBAR_SKIP})
            resumeNext([&] { required(findControl(id), "control").setStyle(style); });
    }
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

std::int32_t XTgToolbar::VisualStyle() const { return m_cbrBars->VisualTheme(); }

void XTgToolbar::setVisualStyle(std::int32_t v) {
    resumeNext([&] { m_cbrBars->setVisualTheme(v); });
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

bool XTgToolbar::FadedIcons() const { return m_cbrBars->Options().FadedIcons(); }

void XTgToolbar::setFadedIcons(bool v) {
    m_cbrBars->Options().setFadedIcons(v);
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

std::string XTgToolbar::ButtonLayout() const {
    std::string layout;
    for (std::int32_t i = 1; i <= m_bar->Controls().Count(); ++i) {
        auto c = m_bar->Controls().Item(i);
        if (c->Id() >= 1000) continue;
        layout += std::to_string(c->Id()) + ":" + (c->BeginGroup() ? "1" : "0") + ";";
    }
    return layout;
}

std::string XTgToolbar::SettingsKey() {
    return required(HostServices::SettingsPath(), "settings path object").Path(1004) + "\\Test Guide";
}

bool XTgToolbar::HasStoredLayout() {
    try {
        auto reg = HostServices::NewRegistry();
        if (!reg) return false;
        reg->OpenKey(HKEY_LOCAL_MACHINE, SettingsKey());
        return !reg->ReadValue("Toolbar").toString().empty();
    } catch (...) {
        reportContained();
        return false;
    }
}

void XTgToolbar::SaveToolbarLayout() {
    stopOnError([&] {
        std::string layout = ButtonLayout();
        auto reg = HostServices::NewRegistry();
        if (!reg) throw Error(errObjectRequired, "no registry object");
        reg->OpenKey(HKEY_LOCAL_MACHINE, SettingsKey());
        reg->WriteValue("Toolbar", layout);
        reg->WriteValue("ButtonSize", m_lButtonSize);
        reg->WriteValue("TextLabels", TextLabels());
        reg->WriteValue("VisualStyle", VisualStyle());
        reg->WriteValue("FadedIcons", static_cast<std::int16_t>(FadedIcons() ? 1 : 0));
    });
}

void XTgToolbar::LoadToolbarLayout() {
    std::unique_ptr<IRegistry> reg;
    std::string layout;
    resumeNext([&] {
        reg = HostServices::NewRegistry();
        required(reg, "registry object").OpenKey(HKEY_LOCAL_MACHINE, SettingsKey());
    });
    resumeNext([&] { layout = required(reg, "registry object").ReadValue("Toolbar").toString(); });
    if (layout.empty()) return;  // nothing stored: the bar keeps its state
    resumeNext([&] { ApplyButtonLayout(layout); });
    auto read = [&](const char* name) {
        Variant v;
        resumeNext([&] { v = reg->ReadValue(name); });
        return v;
    };
    // An empty or unusable stored value keeps the current theme.
    resumeNext([&] {
        if (auto n = storedNumber(read("VisualStyle"))) setVisualStyle(*n);
    });
    resumeNext([&] { setFadedIcons(storedNumber(read("FadedIcons")).value_or(0) == 1); });
    resumeNext([&] { setButtonSize(storedNumber(read("ButtonSize")).value_or(0)); });
    resumeNext([&] { setTextLabels(storedNumber(read("TextLabels")).value_or(0)); });
}

void XTgToolbar::ApplyButtonLayout(const std::string& layout) {
    std::size_t start = 0;
    for (std::int32_t i = 0;; ++i) {
        std::size_t end = layout.find(';', start);
        std::string_view entry(layout.data() + start, (end == std::string::npos ? layout.size() : end) - start);
        resumeNext([&] {
            if (entry.empty()) return;
            auto colon = entry.find(':');
            if (colon == std::string_view::npos) return;  // not an entry: leave the bar alone
            auto id = parseInt(entry.substr(0, colon));
            if (!id || *id <= 0) return;
            auto flagText = entry.substr(colon + 1, 1);
            auto flag = parseInt(flagText);
            if (!flag) return;
            if (!ownControl(*id)) return;  // not one of the bar's own controls
            auto moved = MoveControl(*id, i + 1);
            moved->setBeginGroup(*flag == 1);
        });
        if (end == std::string::npos) break;
        start = end + 1;
    }
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

std::shared_ptr<CommandBarControl> XTgToolbar::MoveControl(std::int32_t id, std::int32_t position) {
    auto ctl = ownControl(id);
    if (!ctl) throw Error(errInvalidProperty, "no control " + std::to_string(id) + " in the bar");
    // The copy goes in before the original is deleted, so a control moving
    // towards the end is inserted one further along to land at position.
    auto copy = ctl->Copy(m_bar, ctl->Index() < position ? position + 1 : position);
    ctl->Delete();
    return copy;
}

}  // namespace tavixTGCL2
