#include "platform/Form.h"

#include "platform/Presenter.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

Form::Form(std::string name) : Control("Form", std::move(name)) { setVisible(false); }

Form::~Form() = default;

void Form::load() {
    if (m_loaded) return;
    m_loaded = true;
    Load();
}

void Form::show(bool modal, Control* owner) {
    load();
    if (!m_loaded) return;  // Load handler unloaded the form
    m_owner = owner;
    setVisible(true);
    // A window opens with the focus where it was left, else on the first
    // control in tab order, as the operator expects to type at once.
    if (Control* f = ActiveControl(); !f || !f->isFocusable()) moveFocus(true);
    Activate();
    if (!modal) return;
    // A handler run inside the modal loop may drop the host's last
    // reference to this form; it must outlive the loop that shows it.
    const auto keepAlive = weak_from_this().lock();
    ++m_modalDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_modalDepth};
    presenter().runModal(*this);
}

void Form::hide() { setVisible(false); }

bool Form::unload(std::int16_t mode) {
    if (!m_loaded) return true;
    std::int16_t cancel = 0;
    QueryUnload(cancel, mode);
    if (cancel) return false;
    Unload(cancel);
    if (cancel) return false;
    m_loaded = false;
    setVisible(false);
    return true;
}

void Form::activate() {
    if (m_loaded && Visible()) Activate();
}

void Form::setTopMost(bool v) {
    m_topMost = v;
    changed(Change::TopMost);
}

bool Form::pressKey(std::int16_t keyAscii) {
    if (keyAscii == 13 || keyAscii == 27) {
        // Depth-first search of the form for its default or cancel button.
        std::function<CommandButton*(Control&)> findButton = [&](Control& c) -> CommandButton* {
            for (auto& ch : c.Children()) {
                if (auto* b = dynamic_cast<CommandButton*>(ch.get()))
                    if ((keyAscii == 13 ? b->Default() : b->Cancel()) && b->Enabled() && b->isShown())
                        return b;
                if (auto* f = findButton(*ch)) return f;
            }
            return nullptr;
        };
        if (auto* b = findButton(*this)) {
            b->doClick();
            return true;
        }
    }
    sendKeyPress(keyAscii);
    return false;
}

}  // namespace tavixTGCL2
