// The embedded browser's page shown by Qt WebEngine: what the controls write
// into the document is what the engine shows, read back through script;
// links the operator follows go through the browser control.
#include <QFile>
#include <QTemporaryDir>

#ifdef TGCL_QT_WEBENGINE
#include <QWebEngineView>
#endif

#include "QtBrowserPeer.h"
#include "QtTestSupport.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

namespace {

class BrowserTest : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        form = std::make_shared<Form>("frmWeb");
        form->Move(0, 0, 9000, 6000);
        browser = form->create<WebBrowser>("web");
        browser->Move(0, 0, 9000, 6000);
        browser->NavigateError.connect([this](Object*, const std::string& url, const std::string&, std::int32_t status, bool&) {
            errors.emplace_back(url, status);
        });
        templatePage = write("template.html", "<html><head><title>Procedure</title></head><body></body></html>");
    }
    void TearDown() override {
        form.reset();
        browser.reset();
        QtTest::TearDown();
    }
    std::string write(const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return dir.filePath(name).toStdString();
    }
    void navigate(const std::string& url) {
        browser->Navigate2(url);
        ASSERT_TRUE(EventLoop::current().waitWhile([&] { return browser->Busy(); }, 10000));
    }
    QString js(const QString& script) { return backend->evaluateInBrowser(*browser, script).toString(); }

    QTemporaryDir dir;
    std::shared_ptr<Form> form;
    std::shared_ptr<WebBrowser> browser;
    std::string templatePage;
    std::vector<std::pair<std::string, std::int32_t>> errors;
};

}  // namespace

#ifdef TGCL_QT_WEBENGINE

TEST_F(BrowserTest, AnHtmlFragmentIsShownWithItsStyleSheetApplied) {
    show(form);
    navigate(templatePage);
    browser->Document()->body().setInnerHTML("<p id=\"step\">Connect the generator to <b>input A</b>.</p>");
    browser->Document()->createStyleSheet("p { color: rgb(200, 0, 0); font-size: 20px; }");
    EXPECT_EQ(js("document.getElementById('step').textContent"), "Connect the generator to input A.");
    EXPECT_EQ(js("getComputedStyle(document.getElementById('step')).color"), "rgb(200, 0, 0)");
    EXPECT_EQ(js("getComputedStyle(document.getElementById('step')).fontSize"), "20px");
    EXPECT_EQ(js("document.title"), "Procedure");
    backend->saveScreenshot(*form, tgcltest::outDir() + "/browser-fragment.png");
}

TEST_F(BrowserTest, AMissingFileLinkShowsTheFailurePage) {
    const std::string missing = dir.filePath("gone.html").toStdString();
    const std::string page = write("links.html", QByteArray("<html><body><a id=\"l\" href=\"file://") +
                                                     QByteArray::fromStdString(missing) + "\">Details</a></body></html>");
    show(form);
    navigate(page);
    ASSERT_EQ(js("document.getElementById('l').textContent"), "Details");
    // The operator follows the link: the browser control loads it (and fails).
    backend->evaluateInBrowser(*browser, "document.getElementById('l').click(); true");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.empty() && !browser->Busy(); }, 15000));
    EXPECT_EQ(errors[0].second, navErrResourceNotFound);
    EXPECT_NE(browser->LocationURL().find("gone.html"), std::string::npos);
    const QString shown = js("document.body.innerText");
    EXPECT_TRUE(shown.contains("gone.html")) << shown.toStdString();
    EXPECT_TRUE(browser->canGoBack());
    backend->saveScreenshot(*form, tgcltest::outDir() + "/browser-failure.png");
}

TEST_F(BrowserTest, ZoomAndHistoryAreTheControls) {
    show(form);
    navigate(templatePage);
    const std::string second = write("second.html", "<html><body><p>Second</p></body></html>");
    navigate(second);
    EXPECT_EQ(js("document.body.innerText").trimmed(), "Second");
    browser->GoBack();
    ASSERT_TRUE(EventLoop::current().waitWhile([&] { return browser->Busy(); }, 10000));
    EXPECT_EQ(js("document.title"), "Procedure");
    Variant level = 4;
    browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &level, nullptr);
    settle();
    auto* view = qobject_cast<QWebEngineView*>(widgetOf(*browser));
    ASSERT_NE(view, nullptr);
    EXPECT_DOUBLE_EQ(view->zoomFactor(), qt::QtBrowserPeer::zoomFactor(4));
}

#endif
