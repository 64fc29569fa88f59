#pragma once
// Pop-up menus, modal forms and message boxes are shown through a presenter.
// A toolkit backend shows real ones; the default presenter lets a test or a
// script answer them and keeps a record of what was shown.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavixTGCL2 {

class Form;

struct TGCL_API MenuEntry {
    std::int32_t id = 0;
    std::string caption;
    bool enabled = true;
    bool checked = false;
    bool beginGroup = false;
    std::vector<MenuEntry> children;  // a sub-menu when not empty
};

// Buttons and answers of a message box, with the host platform's values.
enum MsgBoxStyle : std::int32_t {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
    vbRetryCancel = 5, vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512
};
enum MsgBoxResult : std::int32_t { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The answer a message box gives when the operator just presses Enter.
TGCL_API std::int32_t defaultMsgBoxAnswer(std::int32_t style);

class TGCL_API Presenter {
public:
    virtual ~Presenter() = default;
    // Returns the identifier of the chosen entry, 0 when dismissed.
    virtual std::int32_t popupMenu(const std::vector<MenuEntry>& menu, std::int32_t x, std::int32_t y,
                                   std::int32_t flags) = 0;
    // Returns once the form is no longer shown.
    virtual void runModal(Form& form) = 0;
    virtual std::int32_t messageBox(const std::string& prompt, std::int32_t style,
                                    const std::string& title) = 0;
};

TGCL_API Presenter& presenter();
// Installs a presenter for the whole library; nullptr restores the default
// scripted one.
TGCL_API void setPresenter(std::shared_ptr<Presenter> p);

class TGCL_API ScriptedPresenter : public Presenter {
public:
    // Queue the next answers. Without a queued answer a menu is dismissed,
    // a message box gets its default button and a modal form is closed
    // through its window frame, so nothing ever waits for an operator.
    void answerMenu(std::int32_t id) { m_menuAnswers.push_back(id); }
    void answerMessageBox(std::int32_t result) { m_msgAnswers.push_back(result); }
    // The script operates the form (select, type, press buttons) while it is
    // shown; a form the script leaves open is closed through its frame.
    void onModal(std::function<void(Form&)> script) { m_modalScripts.push_back(std::move(script)); }

    std::int32_t popupMenu(const std::vector<MenuEntry>& menu, std::int32_t x, std::int32_t y,
                           std::int32_t flags) override;
    void runModal(Form& form) override;
    std::int32_t messageBox(const std::string& prompt, std::int32_t style,
                            const std::string& title) override;

    struct ShownMenu {
        std::vector<MenuEntry> menu;
        std::int32_t x, y, flags;
    };
    struct ShownMessage {
        std::string prompt, title;
        std::int32_t style;
        std::int32_t answer;
    };
    std::vector<ShownMenu> menusShown;
    std::vector<ShownMessage> messagesShown;
    std::vector<std::string> formsShown;  // names of the forms shown modally

private:
    std::deque<std::int32_t> m_menuAnswers;
    std::deque<std::int32_t> m_msgAnswers;
    std::deque<std::function<void(Form&)>> m_modalScripts;
};

}  // namespace tavixTGCL2
