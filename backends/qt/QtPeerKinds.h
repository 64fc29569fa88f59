#pragma once
// Peers of the kinds that live in their own files; makePeer picks them.
#include <memory>
#include <type_traits>

#include "QtPeer.h"

namespace tavixTGCL2 {
class CommandBar;
class CommandBars;
class WebBrowser;
class XItemCollEdit;
class XRichEdit;
}

namespace tavixTGCL2::qt {

// A widget that paints through a function: panels, drawn surfaces, shapes
// and see-through pictures are all one of these.
class PaintedWidget : public QWidget {
public:
    explicit PaintedWidget(QWidget* parent = nullptr);
    ~PaintedWidget() override;
    std::function<void(QPainter&)> painter;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The widget of a new peer. A native widget keeps its mouse presses, which
// the mirror would otherwise also pass up to the parents' peers; drawn
// widgets hand theirs to the mirror themselves.
template <class W>
W* made(QWidget* parent) {
    auto* w = new W(parent);
    if constexpr (!std::is_same_v<W, PaintedWidget>) w->setAttribute(Qt::WA_NoMousePropagation);
    return w;
}

// Fills a control's back colour and draws its border, as every plain
// container of the tree shows.
void paintPanel(QPainter& p, const Control& c, const QRect& r, bool fill = true);

std::unique_ptr<QtPeer> makeCommandBarsPeer(QtMirror& mirror, CommandBars& bars, QWidget* parent);
std::unique_ptr<QtPeer> makeCommandBarPeer(QtMirror& mirror, CommandBar& bar, QWidget* parent);
std::unique_ptr<QtPeer> makeBrowserPeer(QtMirror& mirror, WebBrowser& browser, QWidget* parent);
std::unique_ptr<QtPeer> makeRichEditPeer(QtMirror& mirror, XRichEdit& viewer, QWidget* parent);
std::unique_ptr<QtPeer> makeItemEditPeer(QtMirror& mirror, XItemCollEdit& editor, QWidget* parent);

}  // namespace tavixTGCL2::qt
