#include "QtBackend.h"

#include "QtConvert.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <functional>

#include <unistd.h>

#include "QtBrowserPeer.h"
#include "QtFontEngine.h"
#include "QtLoopDriver.h"
#include "QtTheme.h"
#include "QtWebFetcher.h"
#include "platform/Colors.h"
#include "platform/FontEngine.h"
#include "platform/Theme.h"
#include "platform/WebBrowser.h"

namespace tavixTGCL2::qt {

namespace {
QtBackend* g_instance = nullptr;

// Tells when the application font changes: the desktop's font size is
// followed from it.
class FontWatch : public QObject {
public:
    explicit FontWatch(std::function<void()> changed) : m_changed(std::move(changed)) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == qApp && e->type() == QEvent::ApplicationFontChange) m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};
}

void QtBackend::prepareEnvironment() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Without a display there is no GPU to use; the engine renders in
    // software instead of failing to create a context.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--disable-gpu")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QtBackend::QtBackend() : QtBackend(Options{}) {}

QtBackend::QtBackend(const Options& options) : m_options(options), m_mirror(std::make_unique<QtMirror>()) {
    // Before anything is measured or mirrored: every conversion, font size
    // and geometry of the controls goes through this one ratio.
    m_previousTwipsPerPixel = Screen::TwipsPerPixelX();
    m_previousRatio = Screen::devicePixelRatio();
    m_previousTextScale = Screen::textScale();
    takeScreen();
    auto follow = [this] { followScreen(); };
    m_watch = std::make_unique<FontWatch>(follow);
    qApp->installEventFilter(m_watch.get());
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, m_watch.get(), follow);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, m_watch.get(), follow);
    m_previousObserver = Control::observer();
    Control::setObserver(m_mirror.get());
    m_mirror->setAutoOpenForms(options.autoOpenForms);
    if (options.presenter) {
        m_presenter = std::make_shared<QtPresenter>(*m_mirror);
        m_mirror->setPresenter(m_presenter.get());
        setPresenter(m_presenter);
    }
    if (options.loopDriver) m_driver = std::make_unique<QtLoopDriver>();
    if (options.fonts) installFontEngine(std::make_shared<QtFontEngine>());
    if (options.theme) installTheme(std::make_shared<QtTheme>());
    if (options.systemColors) applyPaletteToSystemColors();
    if (options.networkFetcher && !WebBrowser::defaultFetcher()) {
        WebBrowser::setDefaultFetcher(std::make_shared<QtWebFetcher>());
        m_installedFetcher = true;
    }
    g_instance = this;
}

QtBackend::~QtBackend() {
    if (g_instance == this) g_instance = nullptr;
    if (m_installedFetcher) WebBrowser::setDefaultFetcher(nullptr);
    if (m_options.systemColors) ResetSysColors();
    if (m_options.theme) installTheme(nullptr);
    if (m_options.fonts) installFontEngine(nullptr);
    m_driver.reset();
    if (m_presenter) {
        setPresenter(nullptr);
        m_mirror->setPresenter(nullptr);
    }
    Control::setObserver(m_previousObserver);
    m_mirror.reset();
    m_watch.reset();
    if (m_options.screenDpi) Screen::setTwipsPerPixel(m_previousTwipsPerPixel);
    if (m_options.deviceScale) Screen::setDevicePixelRatio(m_previousRatio);
    if (m_options.desktopFontSize) Screen::setTextScale(m_previousTextScale);
}

double QtBackend::screenDevicePixelRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double r = screen ? screen->devicePixelRatio() : 1.0;
    return r > 0 ? r : 1.0;
}

double QtBackend::desktopTextScale() {
    const double points = QApplication::font().pointSizeF();
    if (!(points > 0)) return 1.0;
    return points / kDesignFontPoints;
}

void QtBackend::takeScreen() {
    if (m_options.screenDpi) Screen::setTwipsPerPixel(screenTwipsPerPixel());
    if (m_options.deviceScale) Screen::setDevicePixelRatio(screenDevicePixelRatio());
    if (m_options.desktopFontSize) Screen::setTextScale(desktopTextScale());
}

void QtBackend::followScreen() {
    takeScreen();
    // The surface peers compare their control's ratio with the screen's as
    // they paint and have it drawn again when they differ.
    for (QWidget* w : QApplication::allWidgets()) w->update();
}

int QtBackend::screenTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    // A screen that reports nothing sensible keeps the classic 96 dpi.
    if (!(dpi >= 24.0 && dpi <= 1440.0)) return 15;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
}

QtControlHost* QtBackend::embed(std::shared_ptr<Control> control, QWidget* parent) {
    return new QtControlHost(std::move(control), parent);
}

QtBackend* QtBackend::instance() { return g_instance; }

void QtBackend::applyPaletteToSystemColors() {
    const QPalette pal = QApplication::palette();
    auto set = [](std::int32_t index, const QColor& c) {
        SetSysColor(index, RGB(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                               static_cast<std::uint8_t>(c.blue())));
    };
    set(COLOR_WINDOW, pal.color(QPalette::Base));
    set(COLOR_WINDOWTEXT, pal.color(QPalette::Text));
    set(COLOR_BTNFACE, pal.color(QPalette::Window));
    set(COLOR_MENU, pal.color(QPalette::Window));
    set(COLOR_MENUBAR, pal.color(QPalette::Window));
    set(COLOR_BTNTEXT, pal.color(QPalette::ButtonText));
    set(COLOR_MENUTEXT, pal.color(QPalette::WindowText));
    set(COLOR_HIGHLIGHT, pal.color(QPalette::Highlight));
    set(COLOR_MENUHILIGHT, pal.color(QPalette::Highlight));
    set(COLOR_HIGHLIGHTTEXT, pal.color(QPalette::HighlightedText));
    set(COLOR_GRAYTEXT, pal.color(QPalette::Disabled, QPalette::Text));
    set(COLOR_BTNSHADOW, pal.color(QPalette::Mid));
    set(COLOR_3DDKSHADOW, pal.color(QPalette::Shadow));
    set(COLOR_BTNHIGHLIGHT, pal.color(QPalette::Light));
    set(COLOR_3DLIGHT, pal.color(QPalette::Midlight));
    set(COLOR_INFOBK, pal.color(QPalette::ToolTipBase));
    set(COLOR_INFOTEXT, pal.color(QPalette::ToolTipText));
    set(COLOR_HOTLIGHT, pal.color(QPalette::Link));
}

namespace {
// Browser views under c, which draw their pages a little after loading them.
void collectBrowsers(QtMirror& mirror, const Control& c, std::vector<QtBrowserPeer*>& out) {
    if (auto* p = dynamic_cast<QtBrowserPeer*>(mirror.peerFor(c))) out.push_back(p);
    for (const auto& child : c.Children()) collectBrowsers(mirror, *child, out);
}
}  // namespace

QImage QtBackend::grab(const Control& root, bool withMenus) {
    m_mirror->flush();
    QWidget* w = m_mirror->widgetFor(root);
    if (!w) return {};
    std::vector<QtBrowserPeer*> browsers;
    collectBrowsers(*m_mirror, root, browsers);
    bool needSettle = false;
    for (QtBrowserPeer* b : browsers) {
        // A hidden browser is not in the picture.
        if (!b->widget() || !b->widget()->isVisible()) continue;
        b->waitShown(15000);
        if (b->settledAt != b->documentsShown()) needSettle = true;
    }
    if (needSettle) {
        // The engine composes its frame after the load has finished and
        // says nothing when it has; a short stretch of events lets it land,
        // once per document shown.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        for (QtBrowserPeer* b : browsers) b->settledAt = b->documentsShown();
    }
    QImage image = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!withMenus) return image;
    // Menus are windows of their own; they are laid over the picture where
    // they appear, the picture growing to hold them.
    // Placed in logical pixels: at a device ratio above 1 the pictures hold
    // more pixels than their place, and the canvas keeps that ratio.
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    const qreal ratio = image.devicePixelRatio();
    QRect all(QPoint(0, 0), w->size());
    std::vector<std::pair<QRect, QImage>> menus;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (!menu || !menu->isVisible()) continue;
        QRect r(menu->pos() - origin, menu->size());
        menus.emplace_back(r, menu->grab().toImage());
        all = all.united(r);
    }
    if (menus.empty()) return image;
    QImage canvas((QSizeF(all.size()) * ratio).toSize(), QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.drawImage(-all.topLeft(), image);
    for (const auto& [r, img] : menus) p.drawImage(r.topLeft() - all.topLeft(), img);
    p.end();
    return canvas;
}

bool QtBackend::saveScreenshot(const Control& root, const QString& path, bool withMenus) {
    QImage image = grab(root, withMenus);
    return !image.isNull() && image.save(path);
}

QKeySequence QtBackend::keySequenceFor(std::int32_t keyCode, std::int32_t fVirt) {
    return qt::keySequenceFor(keyCode, fVirt);
}

QVariant QtBackend::evaluateInBrowser(const WebBrowser& browser, const QString& script, int timeoutMs) {
    m_mirror->flush();
    auto* peer = dynamic_cast<QtBrowserPeer*>(m_mirror->peerFor(browser));
    if (!peer) return {};
    return peer->evaluate(script, timeoutMs);
}

}  // namespace tavixTGCL2::qt
