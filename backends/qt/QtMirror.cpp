#include "QtMirror.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "QtConvert.h"
#include "QtPeer.h"
#include "QtPresenter.h"
#include "platform/Form.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2::qt {

QtMirror::QtMirror() {
    m_flushTimer.setSingleShot(true);
    QObject::connect(&m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(&m_keyWatch);
}

QtMirror::~QtMirror() {
    // Children's widgets go with their parents'; peers let go of theirs
    // first so no widget is deleted twice.
    while (!m_roots.empty()) {
        const Control* root = m_roots.back();
        m_roots.pop_back();
        if (m_peers.count(root)) destroyTree(*root);
    }
    m_byWidget.clear();
    m_peers.clear();
}

QtPeer* QtMirror::peerFor(const Control& c) const {
    auto it = m_peers.find(&c);
    if (it == m_peers.end() || it->second->control() != &c) return nullptr;
    return it->second.get();
}

QWidget* QtMirror::widgetFor(const Control& c) const {
    QtPeer* p = peerFor(c);
    return p ? p->widget() : nullptr;
}

QWidget* QtMirror::openWindow(const std::shared_ptr<Control>& root) {
    if (!root) return nullptr;
    dropDeadPeers();
    if (QWidget* w = widgetFor(*root)) return w->window();
    QtPeer* peer = createTree(*root, nullptr);
    if (!peer) return nullptr;
    m_roots.push_back(root.get());
    QWidget* w = peer->widget();
    w->setWindowTitle(toQString(root->Caption().empty() ? root->Name() : root->Caption()));
    // A form appears when it is shown; any other control is shown now.
    if (!dynamic_cast<Form*>(root.get())) w->show();
    flush();
    return w;
}

void QtMirror::closeWindow(const Control& root) {
    if (!m_peers.count(&root)) return;
    destroyTree(root);
    std::erase(m_roots, &root);
}

QWidget* QtMirror::windowFor(Form& form, bool open) {
    if (QWidget* w = widgetFor(form)) return w->window();
    if (!open) return nullptr;
    auto shared = form.weak_from_this().lock();
    if (!shared) return nullptr;
    return openWindow(shared);
}

QtPeer* QtMirror::createTree(Control& c, QWidget* parentWidget) {
    if (dynamic_cast<Timer*>(&c)) return nullptr;  // a timer has nothing to show
    if (auto stale = m_peers.find(&c); stale != m_peers.end()) destroyTree(c);
    std::unique_ptr<QtPeer> made = makePeer(*this, c, parentWidget);
    if (!made) return nullptr;
    QtPeer* peer = made.get();
    m_peers[&c] = std::move(made);
    m_byWidget[peer->widget()] = peer;
    peer->widget()->installEventFilter(this);
    peer->applyAll();
    for (const auto& child : c.Children()) createTree(*child, peer->childParent());
    restack(c);
    return peer;
}

void QtMirror::destroyTree(const Control& c) {
    for (const auto& child : c.Children())
        if (m_peers.count(child.get())) destroyTree(*child);
    auto it = m_peers.find(&c);
    if (it == m_peers.end()) return;
    QtPeer* peer = it->second.get();
    m_dirty.erase(peer);
    if (QWidget* w = peer->widget()) m_byWidget.erase(w);
    m_peers.erase(it);
}

void QtMirror::dropDeadPeers() {
    std::vector<const Control*> dead;
    for (const auto& [c, peer] : m_peers)
        if (!peer->alive()) dead.push_back(c);
    if (dead.empty()) return;
    // Widgets of dead controls are deleted parents first, so the children's
    // pointers see their widgets gone and do not delete them again.
    for (const Control* c : dead) {
        auto it = m_peers.find(c);
        if (it == m_peers.end()) continue;
        m_dirty.erase(it->second.get());
        if (QWidget* w = it->second->widget()) m_byWidget.erase(w);
    }
    for (const Control* c : dead) m_peers.erase(c);
    std::erase_if(m_roots, [&](const Control* r) { return !m_peers.count(r); });
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
    // A peer's flush may mark others (or itself) dirty again; a few rounds
    // settle any chain without looping on a peer that keeps asking.
    for (int round = 0; round < 4 && !m_dirty.empty(); ++round) {
        auto batch = std::move(m_dirty);
        m_dirty.clear();
        for (QtPeer* p : batch) {
            bool known = false;
            for (const auto& [c, peer] : m_peers) known = known || peer.get() == p;
            if (known && p->alive()) p->flush();
        }
    }
}

void QtMirror::setMenuAnchor(QPoint global) {
    if (m_presenter) m_presenter->setAnchor(global);
}

// --- ControlObserver ----------------------------------------------------------

void QtMirror::controlAdded(Control& parent, Control& child) {
    QtPeer* p = peerFor(parent);
    if (!p) return;
    createTree(child, p->childParent());
    restack(parent);
}

void QtMirror::controlRemoved(Control&, Control& child) {
    if (m_peers.count(&child)) destroyTree(child);
    std::erase(m_roots, &child);
}

void QtMirror::controlChanged(Control& c, const char* what) {
    const std::string_view w = what;
    if (w == "Visible" && m_autoOpenForms && c.Visible() && !peerFor(c))
        if (auto* form = dynamic_cast<Form*>(&c); form && !c.Parent()) {
            windowFor(*form, true);
            return;
        }
    QtPeer* peer = peerFor(c);
    if (!peer) return;
    if (w == "ZOrder") {
        if (c.Parent()) restack(*c.Parent());
    } else if (w == "UpdateLocked" || w == "UpdateUnlocked") {
        // Painting waits while a control rearranges many children.
        if (QWidget* win = peer->widget()->window()) win->setUpdatesEnabled(w == "UpdateUnlocked");
    } else {
        peer->apply(w);
    }
}

// --- input ------------------------------------------------------------------------

bool QtMirror::KeyWatch::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Qt asks the focus widget before it matches shortcuts: the moment
        // to bring them in line with bindings added since.
        for (QtPeer* p : m_mirror.m_keyOwners) p->flush();
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
    QPointer<QWidget> w = peer.widget();
    auto keep = c->weak_from_this().lock();
    const std::int16_t shift = toShiftMask(ke->modifiers());
    if (std::int16_t code = static_cast<std::int16_t>(virtualKeyFromQtKey(ke->key())); code && c->Enabled())
        resumeNext([&] { c->KeyDown(code, shift); });
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
