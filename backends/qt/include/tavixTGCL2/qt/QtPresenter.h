#pragma once
// Pop-up menus as QMenu, modal forms as modal windows of their mirrored
// form, message boxes as QMessageBox. Each runs Qt's loop until the
// operator answers, as the headless presenter's callers expect of a modal
// call.
//
// Where a menu appears: callers hand over coordinates in whatever units
// they work in, so the presenter places a menu at the anchor the mirror
// recorded for the operator's last action (below the tool button that was
// pressed, or where the mouse was pressed), else at the mouse.
//
// Hooks let a test or an automation script operate what is shown through
// its real widgets: each is called once the menu, dialog or message box is
// up, inside its modal loop.
#include <tavixTGCL2/Export.h>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

#include <tavixTGCL2/platform/Presenter.h>

class QMenu;
class QMessageBox;
class QWidget;

namespace tavixTGCL2 {
class Form;
class ImageManager;
}

namespace tavixTGCL2::qt {

class QtMirror;

class TGCL_API QtPresenter final : public Presenter {
public:
    explicit QtPresenter(QtMirror& mirror);

    std::int32_t popupMenu(const std::vector<MenuEntry>& menu, std::int32_t x, std::int32_t y,
                           std::int32_t flags) override;
    void runModal(Form& form) override;
    std::int32_t messageBox(const std::string& prompt, std::int32_t style, const std::string& title) override;

    struct Hooks {
        std::function<void(QMenu&)> onMenu = {};
        std::function<void(QWidget& window, Form& form)> onModal = {};
        std::function<void(QMessageBox&)> onMessageBox = {};
    };
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    Hooks& hooks() { return m_hooks; }

    // Where the next menu goes (global pixels); used once.
    void setAnchor(QPoint global) { m_anchor = global; }
    // Icons shown beside menu entries, by command identifier, while the
    // next menu is built; used once.
    void setMenuIcons(std::shared_ptr<const ImageManager> icons) { m_icons = std::move(icons); }
    // The menu being shown, for screenshots; nullptr when none.
    QMenu* openMenu() const;

private:
    QPoint menuPosition();
    QtMirror& m_mirror;
    Hooks m_hooks;
    std::optional<QPoint> m_anchor;
    std::shared_ptr<const ImageManager> m_icons;
    QPointer<QMenu> m_open;
};

}  // namespace tavixTGCL2::qt
