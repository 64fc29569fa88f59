#pragma once
// The Qt 6 backend of the controls, in one object. A host creates its
// QApplication, then one QtBackend, and from then on:
//
//   - every form it shows (Form::show) opens a real window mirroring the
//     form's controls; openWindow() opens one on any other control;
//   - pop-up menus, modal forms and message boxes are real ones;
//   - control timers and browser loads run on Qt's event loop, and the
//     controls' waits process Qt's events;
//   - drawn controls measure and draw text with Qt's fonts and draw the
//     themed progress look with the current QStyle;
//   - http(s) pages of the embedded browser come through Qt Network;
//   - twips per pixel follow the screen's logical dpi (1440 / dpi);
//   - drawn controls paint at the screen's device pixel ratio (sharp at 2x
//     or 1.5x), and text follows the desktop's font size; both are
//     followed when the screen or the application font changes.
//
// embed() puts a form or any top control into the host's own widgets
// instead (QtControlHost). Destroying the backend puts every headless
// default back; backend, forms, controls and host widgets may be destroyed
// in any order.
//
//     int main(int argc, char** argv) {
//         tavixTGCL2::qt::QtBackend::prepareEnvironment();
//         QApplication app(argc, argv);
//         tavixTGCL2::qt::QtBackend backend;
//         auto form = std::make_shared<tavixTGCL2::Form>("frmRun");
//         form->Move(0, 0, 12000, 8000);
//         auto toolbar = form->create<tavixTGCL2::XTgToolbar>();
//         ...
//         form->show();
//         return app.exec();
//     }
#include <tavixTGCL2/Export.h>
#include <QImage>
#include <QKeySequence>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

#include <tavixTGCL2/qt/QtControlHost.h>
#include <tavixTGCL2/qt/QtMirror.h>
#include <tavixTGCL2/qt/QtPresenter.h>

class QWidget;

namespace tavixTGCL2 {
class Control;
class WebBrowser;
}

namespace tavixTGCL2::qt {

class QtLoopDriver;

class TGCL_API QtBackend {
public:
    struct Options {
        bool presenter = true;      // QMenu, modal windows, QMessageBox
        bool loopDriver = true;     // the controls' loop on Qt's
        bool fonts = true;          // QtFontEngine for drawn text
        bool theme = true;          // QtTheme for the themed progress look
        bool systemColors = true;   // the system colour table from QPalette
        bool networkFetcher = true; // http(s) for the embedded browser
        bool autoOpenForms = true;  // shown forms open their own window
        bool screenDpi = true;      // twips per pixel from the screen's logical dpi
        bool deviceScale = true;    // drawn controls at the screen's device pixel ratio
        bool desktopFontSize = true; // text scaled by the desktop font's size (desktopTextScale)
    };
    // The point size of the application font the controls were designed
    // against: Qt's own default on the desktop platforms. A desktop font of
    // 12 points makes text 12 / 9 as large.
    static constexpr double kDesignFontPoints = 9.0;

    // Before the QApplication exists: the browser engine shares GL contexts
    // with the widgets, and runs without its sandbox when the process is
    // root (Chromium refuses to start sandboxed as root), unless the
    // environment already says otherwise.
    static void prepareEnvironment();

    QtBackend();
    explicit QtBackend(const Options& options);
    ~QtBackend();
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The backend alive now, or nullptr.
    static QtBackend* instance();

    QtMirror& mirror() { return *m_mirror; }
    // nullptr when the options left the headless presenter in place.
    QtPresenter* presenter() { return m_presenter.get(); }

    QWidget* openWindow(const std::shared_ptr<Control>& root) { return m_mirror->openWindow(root); }
    QWidget* widgetFor(const Control& c) const { return m_mirror->widgetFor(c); }
    // A widget showing control (a form or any control without a parent)
    // inside parent, for a host's layout, QMainWindow or splitter; the
    // control follows the widget's size. Owned by parent like any widget
    // (or by the caller when parent is nullptr). Stays empty for a control
    // that has a parent.
    QtControlHost* embed(std::shared_ptr<Control> control, QWidget* parent = nullptr);

    // The control as it is on screen, pending changes applied first; with
    // menus that are open laid over it where they appear.
    QImage grab(const Control& root, bool withMenus = true);
    bool saveScreenshot(const Control& root, const QString& path, bool withMenus = true);

    // Runs script in the page a browser control shows (waiting, bounded,
    // for the engine to show its current document). Invalid when the page
    // cannot run script or the wait timed out.
    QVariant evaluateInBrowser(const WebBrowser& browser, const QString& script, int timeoutMs = 15000);

    // The system colour table from the application palette, so drawn parts
    // and panels match the style's widgets. Done on construction.
    static void applyPaletteToSystemColors();
    // Twips per pixel for the primary screen: 1440 / its logical dpi
    // (15 at 96 dpi). Done on construction unless the options say not.
    static int screenTwipsPerPixel();
    // The primary screen's device pixel ratio (1 without a screen).
    static double screenDevicePixelRatio();
    // The application font's point size over kDesignFontPoints: the text
    // scale of the controls (Screen::textScale). 1 for a font given in
    // pixels, which says nothing about the desktop's setting.
    static double desktopTextScale();
    // The Qt key sequence of a key binding (a virtual-key code and its
    // FSHIFT/FCONTROL/FALT flags), to show a command's key in the host's
    // own menus or to press it in a test. Empty for a code Qt has no key for.
    static QKeySequence keySequenceFor(std::int32_t keyCode, std::int32_t fVirt = 0);

private:
    // The screen's dpi and ratio and the application font's size, as far as
    // the options ask for them.
    void takeScreen();
    // Takes them again; drawn controls remake their surfaces when they next
    // paint.
    void followScreen();

    Options m_options;
    std::unique_ptr<QtMirror> m_mirror;
    std::shared_ptr<QtPresenter> m_presenter;
    std::unique_ptr<QtLoopDriver> m_driver;
    ControlObserver* m_previousObserver = nullptr;
    bool m_installedFetcher = false;
    int m_previousTwipsPerPixel = 15;
    double m_previousRatio = 1.0;
    double m_previousTextScale = 1.0;
    // The context of the screen and font connections: they end with it.
    std::unique_ptr<QObject> m_watch;
};

}  // namespace tavixTGCL2::qt
