#pragma once
// A plain QWidget that shows one top control or form inside the host's own
// widget tree: put it in a layout, a QMainWindow's central widget, a splitter
// or a dock, like any other widget. From then on the control follows the
// widget's size (converted with the screen's twips per pixel), the widget's
// size hint follows the control's size (so a control that sizes itself, as
// the toolbar fits its bar, tells the host's layout), and the host's own Qt
// code around it (signals and slots, layouts, style sheets) keeps working.
// A form that is not shown yet is shown (loaded, Load raised once) when it is
// embedded.
//
//     auto form = std::make_shared<tavixTGCL2::Form>("frmRun");
//     auto* host = new tavixTGCL2::qt::QtControlHost(form);   // or backend.embed(form, parent)
//     mainWindow.setCentralWidget(host);
//
// The widget holds a shared reference to the control, so the control lives at
// least as long as the widget shows it; either may be destroyed first, and
// so may the QtBackend (the widget then stays empty).
#include <tavixTGCL2/Export.h>
#include <QWidget>

#include <memory>

namespace tavixTGCL2 {
class Control;
}

namespace tavixTGCL2::qt {

class TGCL_API QtControlHost : public QWidget {
    Q_OBJECT

public:
    // Needs a live QtBackend; without one the widget stays empty until it is
    // shown while one is alive. A control that has a parent is not shown
    // (its widget is inside its parent's).
    explicit QtControlHost(std::shared_ptr<Control> control, QWidget* parent = nullptr);
    ~QtControlHost() override;

    const std::shared_ptr<Control>& control() const { return m_control; }
    // The widget mirroring the control, inside this one (nullptr if none).
    QWidget* controlWidget() const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void attach();
    void fitControl();

    std::shared_ptr<Control> m_control;
};

}  // namespace tavixTGCL2::qt
