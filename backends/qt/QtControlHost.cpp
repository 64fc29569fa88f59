#include "QtControlHost.h"

#include <QResizeEvent>
#include <QShowEvent>

#include "QtBackend.h"
#include "platform/Control.h"
#include "platform/Error.h"

namespace tavixTGCL2::qt {

QtControlHost::QtControlHost(std::shared_ptr<Control> control, QWidget* parent)
    : QWidget(parent), m_control(std::move(control)) {
    attach();
}

QtControlHost::~QtControlHost() {
    // The mirrored widget is a child of this one and Qt is about to delete
    // it; the mirror lets go of the subtree first. (When the backend went
    // first, it took its widgets with it and there is nothing to do.)
    if (!m_control) return;
    if (controlWidget())
        if (QtBackend* backend = QtBackend::instance()) backend->mirror().closeWindow(*m_control);
}

QWidget* QtControlHost::controlWidget() const {
    QtBackend* backend = QtBackend::instance();
    if (!backend || !m_control) return nullptr;
    QWidget* w = backend->widgetFor(*m_control);
    return w && w->parentWidget() == this ? w : nullptr;
}

QSize QtControlHost::sizeHint() const {
    if (!m_control) return QWidget::sizeHint();
    return {Screen::toPixels(m_control->widthTwips()), Screen::toPixels(m_control->heightTwips())};
}

void QtControlHost::attach() {
    QtBackend* backend = QtBackend::instance();
    if (!backend || !m_control || controlWidget()) return;
    resumeNext([&] { backend->mirror().embed(m_control, this); });
    // A widget that was laid out before the control arrived has its size
    // already; the control takes it now rather than at the next resize.
    if (testAttribute(Qt::WA_Resized) || isVisible()) fitControl();
}

void QtControlHost::fitControl() {
    if (!m_control || !controlWidget()) return;
    const std::int32_t w = Screen::toTwips(width());
    const std::int32_t h = Screen::toTwips(height());
    if (m_control->widthTwips() == w && m_control->heightTwips() == h) return;
    // The control keeps its own position (a form's is its place on the
    // screen); the widget sits at the top-left whatever it is.
    resumeNext([&] { m_control->moveTwips(m_control->leftTwips(), m_control->topTwips(), w, h); });
}

void QtControlHost::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitControl();
}

void QtControlHost::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    attach();
    fitControl();
}

}  // namespace tavixTGCL2::qt
