#include "QtMirror.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "QtAccessible.h"
#include "QtConvert.h"
#include "QtPeer.h"
#include "QtPresenter.h"
#include "content/XTabStrip.h"
#include "frame/GPublicDeclares.h"
#include "platform/Form.h"
#include "platform/KeyCodes.h"
#include "platform/StandardControls.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2::qt {

QtMirror::QtMirror() {
    m_flushTimer.setSingleShot(true);
    QObject::connect(&m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(&m_keyWatch);
    m_access = std::make_unique<AccessNotifier>(*this);
    serveAccessibility(this);
}

QtMirror::~QtMirror() {
    // Interfaces an assistive client still holds answer as plain widgets
    // from here on.
    serveAccessibility(nullptr);
    // Roots first: their subtrees go with them, children's widgets before
    // their parents'. Nothing here reads a control.
    std::vector<const Control*> roots;
    for (const auto& [key, node] : m_nodes)
        if (!node.parent) roots.push_back(key);
    for (const Control* r : roots) destroyTree(r);
    while (!m_nodes.empty()) destroyTree(m_nodes.begin()->first);
    m_byWidget.clear();
}

QtPeer* QtMirror::peerFor(const Control& c) const {
    auto it = m_nodes.find(&c);
    if (it == m_nodes.end() || it->second.peer->control() != &c) return nullptr;
    return it->second.peer.get();
}

QtPeer* QtMirror::peerForWidget(const QObject* widget) const {
    auto it = m_byWidget.find(widget);
    if (it == m_byWidget.end() || !it->second->alive()) return nullptr;
    return it->second;
}

QWidget* QtMirror::widgetFor(const Control& c) const {
    QtPeer* p = peerFor(c);
    return p ? p->widget() : nullptr;
}

bool QtMirror::isEmbedded(const Control& root) const {
    QtPeer* p = peerFor(root);
    return p && p->embedded();
}

QWidget* QtMirror::openWindow(const std::shared_ptr<Control>& root) {
    if (!root) return nullptr;
    dropDeadPeers();
    if (QWidget* w = widgetFor(*root)) return w->window();
    QtPeer* peer = createTree(*root, nullptr, nullptr);
    if (!peer) return nullptr;
    QWidget* w = peer->widget();
    w->setWindowTitle(toQString(root->Caption().empty() ? root->Name() : root->Caption()));
    // A form appears when it is shown; any other control is shown now.
    if (!dynamic_cast<Form*>(root.get())) w->show();
    if (Control* focused = root->ActiveControl()) focusChanged(*focused);
    flush();
    return w;
}

QWidget* QtMirror::embed(const std::shared_ptr<Control>& root, QWidget* container) {
    // A child's widget lives inside its parent's; it cannot be elsewhere too.
    if (!root || !container || root->Parent()) return nullptr;
    dropDeadPeers();
    if (QtPeer* p = peerFor(*root)) {
        if (p->embedded() && p->widget() && p->widget()->parentWidget() == container) return p->widget();
        destroyTree(root.get());
    }
    QtPeer* peer = createTree(*root, container, nullptr, true);
    if (!peer) return nullptr;
    QPointer<QWidget> w = peer->widget();
    // Embedding is how the host shows a form: it is loaded and shown, which
    // its window would otherwise have done.
    if (auto* form = dynamic_cast<Form*>(root.get()); form && !form->Visible()) resumeNext([&] { form->show(); });
    if (Control* focused = root->ActiveControl()) focusChanged(*focused);
    flush();
    return w.data();
}

void QtMirror::closeWindow(const Control& root) { destroyTree(&root); }

QWidget* QtMirror::windowFor(Form& form, bool open) {
    if (QWidget* w = widgetFor(form)) return w->window();
    if (!open) return nullptr;
    auto shared = form.weak_from_this().lock();
    if (!shared) return nullptr;
    return openWindow(shared);
}

QtPeer* QtMirror::createTree(Control& c, QWidget* parentWidget, const Control* parentKey, bool embedded) {
    if (dynamic_cast<Timer*>(&c)) return nullptr;  // a timer has nothing to show
    // A node left under this address belongs to a control that is gone or
    // is mirrored somewhere else; either way it goes first.
    if (m_nodes.count(&c)) destroyTree(&c);
    std::unique_ptr<QtPeer> made = makePeer(*this, c, parentWidget);
    if (!made) return nullptr;
    QtPeer* peer = made.get();
    peer->setEmbedded(embedded);
    Node& node = m_nodes[&c];
    node.peer = std::move(made);
    node.parent = parentKey;
    if (parentKey)
        if (auto it = m_nodes.find(parentKey); it != m_nodes.end()) it->second.kids.push_back(&c);
    m_byWidget[peer->widget()] = peer;
    peer->widget()->installEventFilter(this);
    peer->applyAll();
    m_access->changed(c, Change::All);
    // A copy: a child's peer may make the control rearrange its children.
    const std::vector<std::shared_ptr<Control>> kids = c.Children();
    for (const auto& child : kids) createTree(*child, peer->childParent(), &c);
    restack(c);
    if (c.CanGetFocus()) scheduleTabOrder(c);
    return peer;
}

void QtMirror::detachTree(const Control* key, std::vector<std::unique_ptr<QtPeer>>& out) {
    auto it = m_nodes.find(key);
    if (it == m_nodes.end()) return;
    const std::vector<const Control*> kids = std::move(it->second.kids);
    for (const Control* k : kids) detachTree(k, out);
    it = m_nodes.find(key);  // the map may have rehashed meanwhile
    if (it == m_nodes.end()) return;
    std::unique_ptr<QtPeer> peer = std::move(it->second.peer);
    if (const Control* parent = it->second.parent)
        if (auto p = m_nodes.find(parent); p != m_nodes.end()) std::erase(p->second.kids, key);
    m_nodes.erase(it);
    peer->detach();
    m_dirty.erase(peer.get());
    m_tabOrderDirty.erase(key);
    m_access->forget(key, peer->widget());
    if (QWidget* w = peer->widget()) {
        m_byWidget.erase(w);
        w->removeEventFilter(this);
        if (m_pressed == w) m_pressed = nullptr;
    }
    out.push_back(std::move(peer));
}

void QtMirror::destroyTree(const Control* key) {
    // Out of the record first, then the widgets: deleting a widget sends
    // events (focus, hide) that must find nothing of the subtree left.
    std::vector<std::unique_ptr<QtPeer>> doomed;
    detachTree(key, doomed);
    for (auto& p : doomed) p.reset();  // children before their parents
}

void QtMirror::dropDeadPeers() {
    // Controls report their destruction; this catches a tree that changed
    // observers while it was mirrored.
    std::vector<const Control*> dead;
    for (const auto& [key, node] : m_nodes)
        if (!node.peer->alive()) dead.push_back(key);
    for (const Control* key : dead) destroyTree(key);
}

void QtMirror::restack(const Control& parent) {
    for (const auto& child : parent.Children())
        if (QWidget* w = widgetFor(*child)) w->raise();
}

void QtMirror::scheduleFlush(QtPeer* peer) {
    m_dirty.insert(peer);
    if (!m_flushTimer.isActive()) m_flushTimer.start(0);
}

void QtMirror::flush() {
    m_flushTimer.stop();
    dropDeadPeers();
    const auto windows = std::move(m_tabOrderDirty);
    m_tabOrderDirty.clear();
    for (const Control* window : windows)
        if (QtPeer* p = peerFor(*window)) applyTabOrder(*p->control());
    // A peer's flush may mark others (or itself) dirty again; a few rounds
    // settle any chain without looping on a peer that keeps asking.
    for (int round = 0; round < 4 && !m_dirty.empty(); ++round) {
        auto batch = std::move(m_dirty);
        m_dirty.clear();
        for (QtPeer* p : batch) {
            // Only peers still alive now: an earlier flush of the batch may
            // have taken others down.
            bool known = false;
            for (const auto& [c, node] : m_nodes) known = known || node.peer.get() == p;
            if (known && p->alive()) p->flush();
        }
    }
}

void QtMirror::setMenuAnchor(QPoint global) {
    if (m_presenter) m_presenter->setAnchor(global);
}

// --- focus ------------------------------------------------------------------------

void QtMirror::scheduleTabOrder(Control& c) {
    m_tabOrderDirty.insert(c.root());
    if (!m_flushTimer.isActive()) m_flushTimer.start(0);
}

void QtMirror::applyTabOrder(const Control& window) {
    // Tab itself is the controls' (keyEvent); Qt's chain only has to agree
    // for what moves the focus without a key reaching a mirrored widget (a
    // child widget of a native control, an accessibility client).
    QWidget* previous = nullptr;
    for (Control* c : window.tabOrder()) {
        QWidget* w = widgetFor(*c);
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (previous && previous->window() == w->window()) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void QtMirror::focusChanged(Control& c) {
    QWidget* w = widgetFor(c);
    if (!w) return;
    m_movingFocus = true;
    if (c.hasFocus()) {
        if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    } else if (w->hasFocus()) {
        // The control that gets the focus next takes Qt's as well; a window
        // left without one must not send keys to a control that lost it.
        w->clearFocus();
    }
    m_movingFocus = false;
    m_access->focusChanged(c);
}

bool QtMirror::focusIn(QtPeer& peer) {
    Control* c = peer.control();
    if (m_movingFocus || !c || !c->CanGetFocus() || c->hasFocus()) return false;
    // The operator clicked the widget, or Qt moved its focus by itself: the
    // controls hear it as SetFocus (GotFocus, LostFocus on the other one).
    auto keep = c->weak_from_this().lock();
    resumeNext([&] { c->SetFocus(); });
    return false;
}

void QtMirror::anchorAtFocus(Control& window) {
    Control* focused = window.ActiveControl();
    QWidget* w = focused ? widgetFor(*focused) : nullptr;
    if (!w) return;
    QPoint at = w->mapToGlobal(w->rect().center());
    if (auto* strip = dynamic_cast<XTabStrip*>(focused)) {
        // The strip's focused part is its selected tab.
        const std::int16_t sel = strip->Selected();
        if (sel >= 0 && sel < strip->TabCount())
            if (QWidget* tab = widgetFor(strip->Tabs(sel)); tab && tab->isVisible())
                at = tab->mapToGlobal(tab->rect().center());
    } else if (dynamic_cast<XTgToolbar*>(focused)) {
        // Its keyboard menu is the Tools menu, which opens below Tools.
        if (auto* tools = w->findChild<QWidget*>(QString::number(ID_TGTBAR_TOOLS)); tools && tools->isVisible())
            at = tools->mapToGlobal(tools->rect().bottomLeft());
    }
    setMenuAnchor(at);
}

bool QtMirror::keyboardContextMenu(QtPeer& peer) {
    Control* c = peer.control();
    if (!c) return false;
    Control* window = c->root();
    Control* target = window->ActiveControl() ? window->ActiveControl() : c;
    auto keep = target->weak_from_this().lock();
    anchorAtFocus(*window);
    resumeNext([&] { target->doContextMenu(); });
    return true;
}

// --- ControlObserver ----------------------------------------------------------

void QtMirror::controlAdded(Control& parent, Control& child) {
    QtPeer* p = peerFor(parent);
    if (!p) return;
    createTree(child, p->childParent(), &parent);
    restack(parent);
}

void QtMirror::controlRemoved(Control&, Control& child) { destroyTree(&child); }

void QtMirror::controlDestroyed(const Control& c) {
    // Called from the control's destructor: only its address is used. The
    // widgets of children that outlive it (held elsewhere) were inside its
    // widget, so their peers go too.
    destroyTree(&c);
}

void QtMirror::controlChanged(Control& c, Change w) {
    if (w == Change::Focus) {
        focusChanged(c);
        return;
    }
    m_access->changed(c, w);
    if (w == Change::Visible && m_autoOpenForms && c.Visible() && !peerFor(c))
        if (auto* form = dynamic_cast<Form*>(&c); form && !c.Parent()) {
            windowFor(*form, true);
            return;
        }
    QtPeer* peer = peerFor(c);
    if (!peer) return;
    if (peer->embedded() && w == Change::Geometry) {
        peer->apply(w);
        // The container's size hint is the control's size: a control that
        // sizes itself (the toolbar fits its bar) tells the host's layout.
        if (QWidget* host = peer->widget()->parentWidget()) host->updateGeometry();
        return;
    }
    if (w == Change::ZOrder) {
        if (c.Parent()) restack(*c.Parent());
    } else if (w == Change::UpdateLocked || w == Change::UpdateUnlocked) {
        // Painting waits while a control rearranges many children.
        if (QWidget* win = peer->widget()->window()) win->setUpdatesEnabled(w == Change::UpdateUnlocked);
    } else {
        peer->apply(w);
        if (w == Change::TabOrder) scheduleTabOrder(c);
    }
}

// --- input ------------------------------------------------------------------------

bool QtMirror::KeyWatch::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Qt asks the focus widget before it matches shortcuts: the moment
        // to bring them in line with bindings added since.
        for (QtPeer* p : m_mirror.m_keyOwners) p->flush();
        // And a new key press begins: an event at the address of the last
        // one (Qt's and QTest's key events live on the stack) is not that
        // one travelling up to a parent.
        m_mirror.m_lastKey = {};
    }
    return false;
}

bool QtMirror::eventFilter(QObject* watched, QEvent* event) {
    auto it = m_byWidget.find(watched);
    if (it == m_byWidget.end()) return false;
    QtPeer& peer = *it->second;
    Control* c = peer.control();
    if (!c) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return mouseEvent(peer, event);
        case QEvent::KeyPress:
            return keyEvent(peer, event);
        case QEvent::FocusIn:
            return focusIn(peer);
        case QEvent::ContextMenu:
            if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
                event->accept();
                return keyboardContextMenu(peer);
            }
            return false;
        case QEvent::Close:
            if (auto* form = dynamic_cast<Form*>(c); form && peer.widget()->isWindow()) {
                if (form->isLoaded() && !form->closeByFrame()) {
                    event->ignore();
                    return true;
                }
            }
            return false;
        case QEvent::Resize:
            if (peer.widget()->isWindow() && peer.widget()->isVisible()) {
                // The operator sized the window: the control takes the size.
                const QSize s = peer.widget()->size();
                if (s.width() != Screen::toPixels(c->widthTwips()) || s.height() != Screen::toPixels(c->heightTwips()))
                    resumeNext([&] {
                        c->moveTwips(c->leftTwips(), c->topTwips(), Screen::toTwips(s.width()),
                                     Screen::toTwips(s.height()));
                    });
            }
            return false;
        default:
            return false;
    }
}

bool QtMirror::mouseEvent(QtPeer& peer, QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    // Widgets that take input themselves do not pass presses on to their
    // parents (WA_NoMousePropagation); the others are consumed here, so
    // each press reaches one control once.
    const bool native = peer.reportsClicks() || peer.ownsKeys();
    Control* c = peer.control();
    QPointer<QWidget> w = peer.widget();
    auto keep = c->weak_from_this().lock();
    const float x = toControlUnits(*c, me->position().x());
    const float y = toControlUnits(*c, me->position().y());
    const std::int16_t shift = toShiftMask(me->modifiers());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            setMenuAnchor(me->globalPosition().toPoint());
            if (me->button() == Qt::LeftButton) m_pressed = w;
            resumeNext([&] { c->doMouseDown(toMouseButton(me->button()), shift, x, y); });
            break;
        case QEvent::MouseButtonDblClick:
            setMenuAnchor(me->globalPosition().toPoint());
            resumeNext([&] { c->doMouseDown(toMouseButton(me->button()), shift, x, y); });
            if (w && c->Enabled()) resumeNext([&] { c->DblClick(); });
            break;
        case QEvent::MouseMove:
            resumeNext([&] { c->doMouseMove(toMouseButtons(me->buttons()), shift, x, y); });
            break;
        case QEvent::MouseButtonRelease: {
            const bool click = me->button() == Qt::LeftButton && m_pressed == w && w &&
                               w->rect().contains(me->position().toPoint());
            if (me->button() == Qt::LeftButton) m_pressed = nullptr;
            resumeNext([&] { c->doMouseUp(toMouseButton(me->button()), shift, x, y); });
            if (click && !peer.reportsClicks() && w) resumeNext([&] { c->doClick(); });
            break;
        }
        default:
            break;
    }
    if (!w) return true;  // the control went away with its widget
    return !native;
}

bool QtMirror::keyEvent(QtPeer& peer, QEvent* event) {
    auto* ke = static_cast<QKeyEvent*>(event);
    // A key a widget leaves unused travels up to its parent as the same
    // event; the control it was first meant for has had it.
    const KeySeen seen{event, ke->timestamp(), ke->key()};
    if (seen == m_lastKey) return false;
    m_lastKey = seen;
    const bool native = peer.reportsClicks() || peer.ownsKeys();
    Control* c = peer.control();
    Control* window = c->root();
    QPointer<QWidget> w = peer.widget();
    auto keep = c->weak_from_this().lock();
    auto keepWindow = window->weak_from_this().lock();
    const std::int16_t shift = toShiftMask(ke->modifiers());
    const std::int16_t code = ke->key() == Qt::Key_Backtab ? std::int16_t{vbKeyTab}
                                                            : static_cast<std::int16_t>(virtualKeyFromQtKey(ke->key()));
    if (code == vbKeyTab && !(shift & vbAltMask)) {
        // The controls own the tab order, so Qt's and theirs never differ:
        // Tab, Shift+Tab and Ctrl+Tab are the window's, from any widget.
        resumeNext([&] { window->sendKeyDown(vbKeyTab, shift); });
        return true;
    }
    if (native) {
        // Keys the control acts on itself (a list's arrows, Space on a
        // button) are the control's, and the widget shows the result: doing
        // both would act twice, or let the two disagree. The widget keeps
        // every other key (typing, editing, scrolling).
        bool used = false;
        if (code && c->Enabled()) resumeNext([&] { used = c->doKeyDown(code, shift); });
        if (!w || used) return true;
    } else if (code && c->Enabled()) {
        // A drawn control has no key handling of its own in Qt: the key goes
        // the controls' way (focused control, menu keys, key bindings).
        const bool menuKey = (code == vbKeyF10 && (shift & (vbShiftMask | vbCtrlMask | vbAltMask)) == vbShiftMask) ||
                             (code == vbKeyApps && !(shift & (vbCtrlMask | vbAltMask)));
        bool used = false;
        if (c->hasFocus() || !window->ActiveControl()) {
            if (menuKey) anchorAtFocus(*window);
            resumeNext([&] { used = window->sendKeyDown(code, shift); });
        } else {
            resumeNext([&] { used = c->doKeyDown(code, shift); });
        }
        if (!w) return true;
        // Taken: Qt must not make a context menu of it as well.
        if (used && menuKey) return true;
    }
    if (!w) return true;
    std::int16_t ascii = 0;
    const QString text = ke->text();
    if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) ascii = 13;
    else if (text.size() == 1 && text[0].unicode() > 0 && text[0].unicode() < 128) ascii = static_cast<std::int16_t>(text[0].unicode());
    if (ascii == 13 || ascii == 27) {
        // Enter and Esc press a form's default and cancel buttons first.
        if (auto* form = dynamic_cast<Form*>(c->root()); form && form != c) {
            bool took = false;
            resumeNext([&] { took = form->pressKey(ascii); });
            if (took) return true;
        }
    }
    if (ascii && w) resumeNext([&] { c->doKeyPress(ascii); });
    if (!w) return true;
    return !native;
}

}  // namespace tavixTGCL2::qt
