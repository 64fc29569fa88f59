#include "QtBrowserPeer.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"
#include "platform/WebBrowser.h"

#ifdef TGCL_QT_WEBENGINE
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#else
#include <QTextBrowser>
#endif

namespace tavixTGCL2::qt {

double QtBrowserPeer::zoomFactor(int level) {
    // Text zoom levels smallest..largest around the default 2.
    static constexpr double kFactors[] = {0.7, 0.85, 1.0, 1.2, 1.45};
    return kFactors[std::clamp(level, 0, 4)];
}

namespace {

WebBrowser* browserOf(const QtPeer& p) { return static_cast<WebBrowser*>(p.control()); }

// What the engine is asked to show: the document as it stands, with its
// address as the base so relative links and style sheets resolve.
struct Shown {
    std::string html;
    std::string url;
    friend bool operator==(const Shown&, const Shown&) = default;
};

Shown current(const WebBrowser& b) {
    auto doc = b.Document();
    if (!doc) return {"<html><body></body></html>", "about:blank"};
    return {doc->documentHTML(), b.LocationURL()};
}

// The base carries the number of the request as its fragment (which plays
// no part in resolving relative addresses), so the engine's report of a
// finished load tells which request it finished: a link the operator
// clicked is refused but still reported as a load.
QUrl baseUrl(const std::string& location, int serial) {
    QUrl url = location.empty() ? QUrl("about:blank") : QUrl(toQString(location));
    if (serial > 0) url.setFragment(QStringLiteral("tgcl-%1").arg(serial));
    return url;
}

#ifdef TGCL_QT_WEBENGINE

class ControlledPage : public QWebEnginePage {
public:
    ControlledPage(QtPeer& peer, QObject* parent) : QWebEnginePage(parent), m_peer(peer) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || (type != NavigationTypeLinkClicked && type != NavigationTypeFormSubmitted))
            return true;
        // The control navigates (events, history, failure page); the engine
        // then shows what it loaded. Later, not inside the engine's call.
        const std::string target = toStdString(url.toString());
        QTimer::singleShot(0, this, [this, target] {
            if (WebBrowser* b = browserOf(m_peer)) resumeNext([&] { b->Navigate2(target); });
        });
        return false;
    }

private:
    QtPeer& m_peer;
};

class WebEnginePeer final : public QtBrowserPeer {
public:
    WebEnginePeer(QtMirror& m, WebBrowser& b, QWebEngineView* view) : QtBrowserPeer(m, b, view), m_view(view) {
        m_view->setPage(new ControlledPage(*this, m_view));
        // Each report names its own load, so a refused link's report is never
        // taken for ours (the view's address may already be the next request).
        QObject::connect(m_view->page(), &QWebEnginePage::loadingChanged, m_view,
                         [this](const QWebEngineLoadingInfo& info) { loadReported(info); });
    }

    int documentsShown() const override { return m_done; }

    bool waitShown(int timeoutMs) override {
        apply(Change::Document);
        if (m_done == m_asked) return true;
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        auto c = QObject::connect(m_view->page(), &QWebEnginePage::loadingChanged, &loop,
                                  [&](const QWebEngineLoadingInfo&) {
                                      if (m_done == m_asked) loop.quit();
                                  });
        // A request the engine dropped without a word would leave the wait
        // to its deadline: past a while with no answer it is asked once more.
        QTimer again;
        again.setSingleShot(true);
        QObject::connect(&again, &QTimer::timeout, &loop, [this] {
            if (m_done == m_asked) return;
            m_shown = {};
            apply(Change::Document);
        });
        again.start(std::min(timeoutMs / 3, 4000));
        deadline.start(timeoutMs);
        loop.exec();
        QObject::disconnect(c);
        return m_done == m_asked;
    }

    QVariant evaluate(const QString& script, int timeoutMs) override {
        if (!waitShown(timeoutMs)) return {};
        QVariant result;
        bool answered = false;
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        auto alive = std::make_shared<bool>(true);
        m_view->page()->runJavaScript(script, [&, alive](const QVariant& v) {
            if (!*alive) return;
            result = v;
            answered = true;
            loop.quit();
        });
        deadline.start(timeoutMs);
        if (!answered) loop.exec();
        *alive = false;
        return answered ? result : QVariant();
    }

protected:
    void applyOther(Change what) override {
        WebBrowser* b = browserOf(*this);
        if (!b) return;
        if (what == Change::All || what == Change::Zoom) m_view->setZoomFactor(zoomFactor(b->zoomLevel()));
        if (what == Change::All || what == Change::Document) {
            Shown now = current(*b);
            if (now == m_shown && m_asked > 0) return;
            m_shown = now;
            ++m_asked;
            m_view->setHtml(toQString(now.html), baseUrl(now.url, m_asked));
        }
    }

private:
    static int serialOf(const QUrl& url) {
        const QString fragment = url.fragment();
        return fragment.startsWith("tgcl-") ? fragment.mid(5).toInt() : 0;
    }

    void loadReported(const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
        const int serial = serialOf(info.url());
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            if (serial > 0) m_done = serial;
            return;
        }
        // A load ended without showing our latest request: either that
        // request itself was dropped, or a load the engine began on its own
        // (a refused link) ended and may have taken our request with it,
        // which the engine does not always report. Ask again once the
        // engine has finished its turn; a request that was in fact still
        // on its way is superseded, not lost.
        if (m_done == m_asked || (serial > 0 && serial != m_asked)) return;
        m_shown = {};
        QTimer::singleShot(0, m_view, [this] {
            if (m_done != m_asked) apply(Change::Document);
        });
    }

    QWebEngineView* m_view;
    Shown m_shown;
    int m_asked = 0;
    int m_done = 0;
};

#else

class TextBrowserPeer final : public QtBrowserPeer {
public:
    TextBrowserPeer(QtMirror& m, WebBrowser& b, QTextBrowser* view) : QtBrowserPeer(m, b, view), m_view(view) {
        m_view->setOpenLinks(false);
        QObject::connect(m_view, &QTextBrowser::anchorClicked, m_view, [this](const QUrl& url) {
            if (WebBrowser* b = browserOf(*this)) resumeNext([&] { b->Navigate2(toStdString(url.toString())); });
        });
    }
    bool waitShown(int) override {
        apply(Change::Document);
        return true;
    }
    // Text is laid out at once; there is no frame to wait for.
    int documentsShown() const override { return settledAt; }
    QVariant evaluate(const QString&, int) override { return {}; }

protected:
    void applyOther(Change what) override {
        WebBrowser* b = browserOf(*this);
        if (!b) return;
        if (what == Change::All || what == Change::Document) {
            Shown now = current(*b);
            m_view->document()->setBaseUrl(baseUrl(now.url, 0));
            m_view->setHtml(toQString(now.html));
        }
        if (what == Change::All || what == Change::Zoom) {
            QFont f = m_view->font();
            f.setPointSizeF(9.0 * zoomFactor(b->zoomLevel()));
            m_view->document()->setDefaultFont(f);
        }
    }

private:
    QTextBrowser* m_view;
};

#endif

}  // namespace

std::unique_ptr<QtPeer> makeBrowserPeer(QtMirror& mirror, WebBrowser& browser, QWidget* parent) {
#ifdef TGCL_QT_WEBENGINE
    auto* view = made<QWebEngineView>(parent);
    return std::make_unique<WebEnginePeer>(mirror, browser, view);
#else
    auto* view = made<QTextBrowser>(parent);
    return std::make_unique<TextBrowserPeer>(mirror, browser, view);
#endif
}

}  // namespace tavixTGCL2::qt
