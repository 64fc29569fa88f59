#pragma once
// Peers of the kinds that live in their own files; makePeer picks them.
#include <memory>

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

// Fills a control's back colour and draws its border, as every plain
// container of the tree shows.
void paintPanel(QPainter& p, const Control& c, const QRect& r, bool fill = true);

std::unique_ptr<QtPeer> makeCommandBarsPeer(QtMirror& mirror, CommandBars& bars, QWidget* parent);
std::unique_ptr<QtPeer> makeCommandBarPeer(QtMirror& mirror, CommandBar& bar, QWidget* parent);
std::unique_ptr<QtPeer> makeBrowserPeer(QtMirror& mirror, WebBrowser& browser, QWidget* parent);
std::unique_ptr<QtPeer> makeRichEditPeer(QtMirror& mirror, XRichEdit& viewer, QWidget* parent);
std::unique_ptr<QtPeer> makeItemEditPeer(QtMirror& mirror, XItemCollEdit& editor, QWidget* parent);

}  // namespace tavixTGCL2::qt
