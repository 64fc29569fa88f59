#include "QtPeer.h"

#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"

namespace tavixTGCL2::qt {

QtPeer::QtPeer(QtMirror& mirror, Control& control, QWidget* widget)
    : m_mirror(mirror), m_weak(control.weak_from_this()), m_raw(&control), m_widget(widget) {
    m_watched = !m_weak.expired();
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_Hover);
    widget->setObjectName(toQString(control.Name()));
}

QtPeer::~QtPeer() { delete m_widget.data(); }

Control* QtPeer::control() const {
    // A control owned by a shared pointer is watched through it (it reads as
    // gone from the moment its last owner lets go); one that is not (a
    // host's form on the stack) is reported by its destructor, which
    // detaches the peer first.
    if (m_detached) return nullptr;
    if (!m_watched) return m_raw;
    return m_weak.expired() ? nullptr : m_raw;
}

void QtPeer::applyAll() {
    for (Change what : {Change::Geometry, Change::Visible, Change::Enabled, Change::ToolTipText, Change::Caption,
                        Change::Colors, Change::Font, Change::TabOrder})
        apply(what);
    apply(Change::All);
}

void QtPeer::apply(Change what) {
    Control* c = control();
    QWidget* w = widget();
    if (!c || !w) return;
    Syncing guard(*this);
    if (what == Change::Geometry || what == Change::Border) {
        applyGeometry();
        if (what == Change::Border) {
            for (const auto& child : c->Children())
                if (QtPeer* p = m_mirror.peerFor(*child)) p->apply(Change::Geometry);
            w->update();
        }
    } else if (what == Change::Visible) {
        w->setVisible(c->Visible());
    } else if (what == Change::Enabled) {
        w->setEnabled(c->Enabled());
    } else if (what == Change::ToolTipText) {
        w->setToolTip(toQString(c->ToolTipText()));
    } else if (what == Change::Caption) {
        applyCaption();
    } else if (what == Change::BackColor || what == Change::ForeColor || what == Change::Colors) {
        applyColors();
    } else if (what == Change::Font) {
        applyFont();
    } else if (what == Change::TabOrder) {
        applyFocusPolicy();
    } else {
        applyOther(what);
    }
}

void QtPeer::applyGeometry() {
    Control* c = control();
    QWidget* w = widget();
    if (w->isWindow()) {
        w->resize(std::max(1, Screen::toPixels(c->widthTwips())), std::max(1, Screen::toPixels(c->heightTwips())));
        return;
    }
    if (m_embedded) {
        w->setGeometry(0, 0, Screen::toPixels(c->widthTwips()), Screen::toPixels(c->heightTwips()));
        return;
    }
    w->setGeometry(pixelGeometry(*c));
}

void QtPeer::applyFocusPolicy() {
    Control* c = control();
    QWidget* w = widget();
    // The controls decide who takes the focus. Widgets of controls outside
    // that model (a browser's page, a rich-text viewer, the item editor's
    // table) keep Qt's own policy, or the operator could not reach them.
    if (!c->CanGetFocus() && !dynamic_cast<PaintedWidget*>(w)) return;
    w->setFocusPolicy(!c->CanGetFocus() ? Qt::NoFocus : c->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
}

void QtPeer::applyColors() {
    Control* c = control();
    QWidget* w = widget();
    // System colours are the style's own: the widget keeps Qt's palette, so
    // it looks like its neighbours. Explicit colours are the control's.
    QPalette pal = w->palette();
    if (!isSystemColor(c->BackColor())) {
        QColor back = oleToQColor(c->BackColor());
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) pal.setColor(role, back);
    }
    if (!isSystemColor(c->ForeColor())) {
        QColor fore = oleToQColor(c->ForeColor());
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) pal.setColor(role, fore);
    }
    w->setPalette(pal);
    w->update();
}

void QtPeer::applyFont() {
    Control* c = control();
    // The desktop's font size applies to the natural widgets as it does to
    // drawn text (Screen::textScale).
    Font shown = c->font();
    shown.size *= Screen::textScale();
    widget()->setFont(toQFont(shown));
}

void QtPeer::applyOther(Change) { widget()->update(); }

}  // namespace tavixTGCL2::qt
