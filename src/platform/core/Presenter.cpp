#include "platform/Presenter.h"

#include "platform/Diagnostics.h"
#include "platform/Form.h"
#include "platform/InstalledServices.h"

namespace tavixTGCL2 {

namespace {
std::shared_ptr<Presenter>& slot() {
    static std::shared_ptr<Presenter> p = std::make_shared<ScriptedPresenter>();
    return p;
}
}  // namespace

Presenter& presenter() { return *slot(); }

std::shared_ptr<Presenter> installedPresenter() { return slot(); }

void setPresenter(std::shared_ptr<Presenter> p) {
    slot() = p ? std::move(p) : std::make_shared<ScriptedPresenter>();
}

std::int32_t defaultMsgBoxAnswer(std::int32_t style) {
    static const std::int32_t buttons[6][3] = {{vbOK, vbOK, vbOK},
                                               {vbOK, vbCancel, vbCancel},
                                               {vbAbort, vbRetry, vbIgnore},
                                               {vbYes, vbNo, vbCancel},
                                               {vbYes, vbNo, vbNo},
                                               {vbRetry, vbCancel, vbCancel}};
    std::int32_t kind = style & 7;
    if (kind > 5) kind = 0;
    std::int32_t def = (style >> 8) & 3;
    if (def > 2) def = 0;
    return buttons[kind][def];
}

std::int32_t ScriptedPresenter::popupMenu(const std::vector<MenuEntry>& menu, std::int32_t x,
                                          std::int32_t y, std::int32_t flags) {
    menusShown.push_back({menu, x, y, flags});
    if (m_menuAnswers.empty()) return 0;
    std::int32_t id = m_menuAnswers.front();
    m_menuAnswers.pop_front();
    return id;
}

void ScriptedPresenter::runModal(Form& form) {
    formsShown.push_back(form.Name());
    if (!m_modalScripts.empty()) {
        auto script = std::move(m_modalScripts.front());
        m_modalScripts.pop_front();
        try {
            script(form);
        } catch (...) {
            // A failing script must not leave a modal form open forever.
            reportContained();
        }
    }
    if (form.isLoaded() && form.Visible() && !form.closeByFrame()) {
        // A form that refuses to close is hidden: a modal wait never hangs.
        form.hide();
    }
}

std::int32_t ScriptedPresenter::messageBox(const std::string& prompt, std::int32_t style,
                                           const std::string& title) {
    std::int32_t answer = defaultMsgBoxAnswer(style);
    if (!m_msgAnswers.empty()) {
        answer = m_msgAnswers.front();
        m_msgAnswers.pop_front();
    }
    messagesShown.push_back({prompt, title, style, answer});
    return answer;
}

}  // namespace tavixTGCL2
