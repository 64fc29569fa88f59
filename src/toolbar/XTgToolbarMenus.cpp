// The Tools menu, host menu entries and the Standards sub-menu.
#include "frame/TextLookup.h"
#include "platform/Error.h"
#include "progress/XStatusBar.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2 {

std::shared_ptr<CommandBar> XTgToolbar::GetPopupBar(std::int32_t id) const {
    auto c = findControl(id);
    if (!c) throw Error(errInvalidProperty, "no pop-up with identifier " + std::to_string(id));
    auto menu = c->CommandBar();
    if (!menu) throw Error(errTypeMismatch, "control " + std::to_string(id) + " is not a pop-up");
    return menu;
}

std::shared_ptr<CTgToolbarButton> XTgToolbar::addToToolsMenu(std::int32_t type, std::int32_t idNew,
                                                             const std::string& sCaption,
                                                             std::int32_t idBefore) {
    try {
        auto menu = GetPopupBar(ID_TGTBAR_TOOLS);
        if (idBefore == 0) idBefore = ID_TGTBAR_CUSTOMIZE;
        auto before = menu->Controls().Find(0, idBefore);
        std::int32_t position = before ? before->Index() : 0;
        auto added = menu->Controls().Add(type, idNew, sCaption, position);
        if (added && idBefore == ID_TGTBAR_CUSTOMIZE)
            if (auto customize = menu->Controls().Find(0, ID_TGTBAR_CUSTOMIZE)) customize->setBeginGroup(true);
        return CTgToolbarButton::of(added);
    } catch (...) {
        reportContained();
        return nullptr;
    }
}

std::shared_ptr<CTgToolbarButton> XTgToolbar::AddToolsMenu(std::int32_t idNew, const std::string& sCaption,
                                                           std::int32_t idBefore) {
    return addToToolsMenu(cbcButton, idNew, sCaption, idBefore);
}

std::shared_ptr<CTgToolbarButton> XTgToolbar::AddPopUpToolsMenu(std::int32_t idNew, const std::string& sCaption,
                                                                std::int32_t idBefore) {
    return addToToolsMenu(cbcPopup, idNew, sCaption, idBefore);
}

std::shared_ptr<CTgToolbarButton> XTgToolbar::AddPopUpChildMenu(std::int32_t idParent, std::int32_t idChildNew,
                                                                const std::string& sCaption,
                                                                std::int32_t idBefore) {
    try {
        auto menu = GetPopupBar(idParent);
        std::int32_t position = 0;
        if (idBefore != 0)
            if (auto before = menu->Controls().Find(0, idBefore)) position = before->Index();
        auto added = menu->Controls().Add(cbcButton, idChildNew, sCaption, position);
        if (idBefore == ID_TGTBAR_CUSTOMIZE)
            if (auto customize = menu->Controls().Find(0, ID_TGTBAR_CUSTOMIZE)) customize->setBeginGroup(true);
        return CTgToolbarButton::of(added);
    } catch (...) {
        reportContained();
        return nullptr;
    }
}

void XTgToolbar::ShowStandardsPopup(std::optional<std::int32_t> iFlags, std::optional<std::int32_t> X,
                                    std::optional<std::int32_t> y) {
    stopOnError([&] {
        if (!(m_lActionMask & etgActionStandards)) return;
        auto standards = findControl(ID_TGTBAR_STANDARDS);
        if (!standards || !standards->Visible()) return;
        GetPopupBar(ID_TGTBAR_STANDARDS)->ShowPopup(iFlags.value_or(0), X.value_or(0), y.value_or(0));
    });
}

void XTgToolbar::doContextMenu() {
    if (!Enabled()) return;
    stopOnError([&] {
        auto tools = findControl(ID_TGTBAR_TOOLS);
        if (!tools || !tools->Visible() || !tools->Enabled() || !tools->CommandBar()) return;
        // Where a click on the button opens it: the button's lower left, in
        // the pixels of the command bars' client area.
        const Rect bar = m_bar->WindowRect();
        const Rect button = tools->bounds();
        const std::int32_t x = bar.left + (button.isEmpty() ? 0 : button.left);
        const std::int32_t y = button.isEmpty() ? bar.bottom : bar.top + button.bottom;
        tools->CommandBar()->ShowPopup(0, x, y);
    });
}

void XTgToolbar::FillStandardsMenu(const std::shared_ptr<IStandardsList>& list) {
    std::shared_ptr<CommandBar> menu;
    resumeNext([&] { menu = GetPopupBar(ID_TGTBAR_STANDARDS); });
    if (!menu) return;
    // 1. Start from an empty list; "Show calculated limits" stays.
    resumeNext([&] {
        for (std::int32_t i = menu->Controls().Count(); i >= 1; --i) {
            auto c = menu->Controls().Item(i);
            if (c->Id() != ID_TGTBAR_CALCULATED) c->Delete();
        }
    });
    if (list) {
        std::vector<std::shared_ptr<IStandard>> entries;
        resumeNext([&] { entries = list->entries(); });
        // Identifiers 511..599 leave room for 89 standards; the rest are left
        // out rather than numbered into the status control's identifier.
        std::int32_t n = 0;
        for (const auto& std : entries) {
            if (++n > kMaxStandards) break;
            std::shared_ptr<CommandBarControl> item;
            // An entry that is nothing, or an item that could not be added,
            // fails its statements; the numbering goes on regardless.
            resumeNext([&] {
                const std::string name = required(std, "standard").CompleteName();
                item = menu->Controls().Add(cbcButton, ID_TGTBAR_FIRSTSTD + n, name, n);
            });
            resumeNext([&] { required(item, "menu item").setParameter(required(std, "standard").GroupName()); });
            if (n == 1) resumeNext([&] { SelectStandard(item); });
        }
    }
    resumeNext([&] {
        auto calc = menu->Controls().Find(0, ID_TGTBAR_CALCULATED);
        calc->setBeginGroup(true);
        calc->setChecked(m_cssStdSel->CalculateLimits);
    });
}

void XTgToolbar::SelectStandard(const std::shared_ptr<CommandBarControl>& item) {
    resumeNext([&] {
        auto menu = required(item, "menu item").Parent();
        for (std::int32_t i = 1; i <= menu->Controls().Count(); ++i) {
            auto entry = menu->Controls().Item(i);
            if (entry->Id() == item->Id()) {
                entry->setChecked(true);
                m_cssStdSel->GroupName = entry->Parameter();
                m_cssStdSel->CompleteName = entry->Caption();
            } else if (entry->Id() != ID_TGTBAR_CALCULATED) {
                entry->setChecked(false);
            }
        }
    });
    resumeNext([&] { xsbStatus->SetStandardName(*m_cssStdSel); });
    resumeNext([&] { StandardSelectionChange(); });
}

void XTgToolbar::SetStandardName(const std::string& sAlphaName, const std::string& sCompleteName) {
    resumeNext([&] {
        m_cssStdSel->GroupName = sAlphaName;
        m_cssStdSel->CompleteName = sCompleteName;
    });
    resumeNext([&] { xsbStatus->SetStandardName(*m_cssStdSel); });
    resumeNext([&] {
        auto menu = GetPopupBar(ID_TGTBAR_STANDARDS);
        for (std::int32_t i = 1; i <= menu->Controls().Count(); ++i) {
            auto entry = menu->Controls().Item(i);
            if (entry->Id() == ID_TGTBAR_CALCULATED) continue;
            resumeNext([&] {
                entry->setChecked(entry->Parameter() == sAlphaName && entry->Caption() == sCompleteName);
            });
        }
    });
}

}  // namespace tavixTGCL2
