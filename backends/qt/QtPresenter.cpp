#include "QtPresenter.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "QtConvert.h"
#include "QtMirror.h"
#include "platform/Form.h"
#include "platform/ImageManager.h"

namespace tavixTGCL2::qt {

namespace {

void fillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const ImageManager* icons) {
    for (const MenuEntry& e : entries) {
        if (e.beginGroup && !menu.actions().isEmpty()) menu.addSeparator();
        QAction* a = nullptr;
        if (!e.children.empty()) {
            QMenu* sub = menu.addMenu(toQString(e.caption));
            fillMenu(*sub, e.children, icons);
            a = sub->menuAction();
        } else {
            a = menu.addAction(toQString(e.caption));
        }
        a->setData(e.id);
        // Found by the command's identifier, as the bar's buttons are.
        a->setObjectName(QString::number(e.id));
        a->setEnabled(e.enabled);
        if (e.checked) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        if (icons && !e.checked)
            if (auto icon = icons->FindIcon(e.id, 16)) a->setIcon(QIcon(QPixmap::fromImage(iconImage(*icon))));
    }
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton order[3];
};

ButtonSet buttonsFor(std::int32_t style) {
    using B = QMessageBox;
    switch (style & 7) {
        case vbOKCancel: return {B::Ok | B::Cancel, {B::Ok, B::Cancel, B::NoButton}};
        case vbAbortRetryIgnore: return {B::Abort | B::Retry | B::Ignore, {B::Abort, B::Retry, B::Ignore}};
        case vbYesNoCancel: return {B::Yes | B::No | B::Cancel, {B::Yes, B::No, B::Cancel}};
        case vbYesNo: return {B::Yes | B::No, {B::Yes, B::No, B::NoButton}};
        case vbRetryCancel: return {B::Retry | B::Cancel, {B::Retry, B::Cancel, B::NoButton}};
        default: return {B::Ok, {B::Ok, B::NoButton, B::NoButton}};
    }
}

std::int32_t answerFor(int button) {
    switch (button) {
        case QMessageBox::Ok: return vbOK;
        case QMessageBox::Cancel: return vbCancel;
        case QMessageBox::Abort: return vbAbort;
        case QMessageBox::Retry: return vbRetry;
        case QMessageBox::Ignore: return vbIgnore;
        case QMessageBox::Yes: return vbYes;
        case QMessageBox::No: return vbNo;
        default: return vbCancel;
    }
}

}  // namespace

QtPresenter::QtPresenter(QtMirror& mirror) : m_mirror(mirror) {}

QMenu* QtPresenter::openMenu() const { return m_open.data(); }

QPoint QtPresenter::menuPosition() {
    QPoint p = m_anchor ? *m_anchor : QCursor::pos();
    m_anchor.reset();
    return p;
}

std::int32_t QtPresenter::popupMenu(const std::vector<MenuEntry>& entries, std::int32_t, std::int32_t,
                                    std::int32_t) {
    auto icons = std::move(m_icons);
    m_icons.reset();
    const QPoint at = menuPosition();
    if (entries.empty()) return 0;
    m_mirror.flush();
    QMenu menu;
    fillMenu(menu, entries, icons.get());
    m_open = &menu;
    // QMenu ends its loop for entries the operator activates with mouse or
    // keys; QAction::trigger() (an automation script, a test, an
    // accessibility client) only emits triggered, which sub-menus pass up
    // to this menu. The choice is taken from there and the menus closed, so
    // the loop ends either way.
    std::int32_t triggered = 0;
    QObject::connect(&menu, &QMenu::triggered, &menu, [&menu, &triggered](QAction* a) {
        if (!a || triggered) return;
        triggered = a->data().toInt();
        for (QMenu* sub : menu.findChildren<QMenu*>()) sub->hide();
        menu.hide();
    });
    if (m_hooks.onMenu) {
        // Once the menu is up and its own loop runs.
        QTimer::singleShot(0, &menu, [this, &menu] {
            if (m_hooks.onMenu) m_hooks.onMenu(menu);
        });
    }
    QAction* chosen = menu.exec(at);
    m_open = nullptr;
    if (chosen) return chosen->data().toInt();
    return triggered;
}

void QtPresenter::runModal(Form& form) {
    QWidget* window = m_mirror.windowFor(form);
    if (!window) return;
    if (m_mirror.isEmbedded(form)) {
        // A form inside the host's own window has no window to make modal:
        // the call still returns only once the form is hidden or unloaded.
        QEventLoop loop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
            if (!form.isLoaded() || !form.Visible()) loop.quit();
        });
        watch.start(10);
        if (form.isLoaded() && form.Visible()) loop.exec();
        return;
    }
    const Qt::WindowModality before = window->windowModality();
    // Modality only takes effect on a window that is not shown yet.
    const bool wasVisible = window->isVisible();
    if (wasVisible) window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    // Over the window of the form that opened it, as a dialog appears; the
    // first time only, so a dialog the operator moved stays where they put
    // it. (A shown form opens its window before it gets here, so having been
    // visible says nothing about having been placed.)
    if (Control* owner = form.owner())
        if (QWidget* ow = m_mirror.widgetFor(*owner); ow && !window->property("tgclPlaced").toBool()) {
            window->setProperty("tgclPlaced", true);
            const QRect o(ow->window()->mapToGlobal(QPoint(0, 0)), ow->window()->size());
            window->move(o.center() - QPoint(window->width() / 2, window->height() / 2));
        }
    window->show();
    window->raise();
    window->activateWindow();

    QEventLoop loop;
    QTimer watch;
    // The form leaves its modal state by being hidden or unloaded, through
    // any path of the controls; the loop looks at it between events.
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (!form.isLoaded() || !form.Visible()) loop.quit();
    });
    watch.start(10);
    if (m_hooks.onModal) {
        QTimer::singleShot(0, window, [this, window, &form] {
            if (m_hooks.onModal) m_hooks.onModal(*window, form);
        });
    }
    if (form.isLoaded() && form.Visible()) loop.exec();
    watch.stop();
    if (QWidget* w = m_mirror.windowFor(form, false)) {
        w->hide();
        w->setWindowModality(before);
    }
}

std::int32_t QtPresenter::messageBox(const std::string& prompt, std::int32_t style, const std::string& title) {
    QMessageBox box;
    box.setText(toQString(prompt));
    box.setWindowTitle(toQString(title.empty() ? std::string(QCoreApplication::applicationName().toStdString())
                                               : title));
    switch (style & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
    }
    ButtonSet set = buttonsFor(style);
    box.setStandardButtons(set.buttons);
    std::int32_t def = (style >> 8) & 3;
    if (def > 2 || set.order[def] == QMessageBox::NoButton) def = 0;
    box.setDefaultButton(set.order[def]);
    if (m_hooks.onMessageBox) {
        QTimer::singleShot(0, &box, [this, &box] {
            if (m_hooks.onMessageBox) m_hooks.onMessageBox(box);
        });
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) {
        // Closed without a button: what Esc means for this set.
        switch (style & 7) {
            case vbOKOnly: return vbOK;
            case vbYesNo: return vbNo;
            case vbAbortRetryIgnore: return vbAbort;
            default: return vbCancel;
        }
    }
    return answerFor(box.standardButton(clicked));
}

}  // namespace tavixTGCL2::qt
