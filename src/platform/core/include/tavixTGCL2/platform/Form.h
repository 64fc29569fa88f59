#pragma once
// A top-level form: the customisation dialog and a host's test-run form.
// Modal display goes through the presenter, so a test or a script can
// operate the form while it is shown.
#include <tavixTGCL2/Export.h>
#include <cstdint>

#include <tavixTGCL2/platform/Control.h>

namespace tavixTGCL2 {

// Why a form is being unloaded, as QueryUnload reports it.
enum UnloadMode : std::int16_t { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2 };

class TGCL_API Form : public Control {
public:
    explicit Form(std::string name = {});
    ~Form() override;

    bool isLoaded() const { return m_loaded; }
    bool isModal() const { return m_modalDepth > 0; }
    Control* owner() const { return m_owner; }

    // Loads the form (raising Load once) and shows it. A modal show returns
    // when the form is hidden or unloaded. Shown, the form gives the focus
    // to the first control in tab order unless one of its controls still
    // has it.
    void show(bool modal = false, Control* owner = nullptr);
    void load();
    void hide();
    // Asks QueryUnload, then raises Unload; either handler may cancel by
    // setting its argument non-zero. Returns whether the form unloaded.
    bool unload(std::int16_t mode = vbFormCode);
    // The operator closes the window through its frame.
    bool closeByFrame() { return unload(vbFormControlMenu); }
    // The operator brings the window to the front.
    void activate();

    bool topMost() const { return m_topMost; }
    void setTopMost(bool v);

    // A typed character. Enter presses the default button, Esc the cancel
    // button (Space presses a focused button, see sendKeyDown); other keys
    // go to the focused control's KeyPress, the form's own when nothing has
    // the focus. Returns whether a button took the key.
    bool pressKey(std::int16_t keyAscii);

    Event<> Load;
    Event<> Activate;
    Event<std::int16_t&, std::int16_t> QueryUnload;
    Event<std::int16_t&> Unload;

private:
    bool m_loaded = false;
    int m_modalDepth = 0;
    bool m_topMost = false;
    Control* m_owner = nullptr;
};

}  // namespace tavixTGCL2
