#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/ServicesScope.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

// Records every event as one line, with Busy as it was when raised.
struct Recorder {
    std::vector<std::string> log;
    explicit Recorder(WebBrowser& b) {
        b.BeforeNavigate2.connect([this, &b](Object*, const std::string& u, std::int32_t, const std::string&,
                                             const Variant&, const std::string&, bool&) {
            log.push_back("BN " + u + busy(b));
        });
        b.ProgressChange.connect([this](std::int32_t p, std::int32_t m) {
            log.push_back("PC " + std::to_string(p) + "/" + std::to_string(m));
        });
        b.CommandStateChange.connect([this](std::int32_t c, bool e) {
            log.push_back("CSC " + std::to_string(c) + (e ? " on" : " off"));
        });
        b.NavigateComplete2.connect([this, &b](Object*, const std::string& u) { log.push_back("NC " + u + busy(b)); });
        b.DocumentComplete.connect([this, &b](Object*, const std::string& u) { log.push_back("DC " + u + busy(b)); });
        b.NavigateError.connect([this](Object*, const std::string& u, const std::string&, std::int32_t s, bool&) {
            log.push_back("NE " + u + " " + std::to_string(s));
        });
    }
    static std::string busy(WebBrowser& b) { return b.Busy() ? " busy" : ""; }
    bool has(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
};

class BrowserTest : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        EventLoop::current().useVirtualClock(true);
        dir = fs::temp_directory_path() / ("tgcl-web-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        WebBrowser::setDefaultFetcher(nullptr);
    }
    void TearDown() override {
        pump();
        fs::remove_all(dir);
    }
    fs::path write(const std::string& name, const std::string& content) {
        fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    // Runs the loop until nothing is posted any more; bounded, so a load
    // that never ends fails the test instead of hanging it.
    static void pump() {
        for (int i = 0; i < 100 && EventLoop::current().pendingPosts() > 0; ++i) EventLoop::current().processPending();
    }
    fs::path dir;
};

struct FakeFetcher : IWebFetcher {
    FetchResult answer;
    bool deferred = false;
    bool throws = false;
    std::vector<std::string> asked;
    std::function<void(FetchResult)> pending;
    void fetch(const std::string& url, std::function<void(FetchResult)> done) override {
        asked.push_back(url);
        if (throws) throw Error("network down");
        if (deferred) pending = std::move(done);
        else done(answer);
    }
};

}  // namespace

TEST_F(BrowserTest, LoadsAboutBlankThroughTheLoopInARealOrder) {
    WebBrowser b;
    Recorder r(b);
    EXPECT_EQ(b.Document(), nullptr);
    EXPECT_FALSE(b.Busy());
    b.Navigate2("about:blank");
    EXPECT_TRUE(b.Busy());
    EXPECT_EQ(r.log, (std::vector<std::string>{"BN about:blank"}));  // the rest waits for the loop
    pump();
    EXPECT_EQ(r.log, (std::vector<std::string>{"BN about:blank", "PC 0/100", "PC 50/100", "NC about:blank busy",
                                               "PC 100/100", "DC about:blank", "PC 0/0"}));
    EXPECT_FALSE(b.Busy());
    ASSERT_NE(b.Document(), nullptr);
    EXPECT_EQ(b.Document()->body().innerHTML(), "");
    EXPECT_EQ(b.LocationURL(), "about:blank");
    EXPECT_THROW(b.Navigate2(""), Error);
}

TEST_F(BrowserTest, CancelInBeforeNavigate2StopsBeforeAnythingChanges) {
    WebBrowser b;
    Recorder r(b);
    b.BeforeNavigate2.connect([](Object*, const std::string& u, std::int32_t, const std::string&, const Variant&,
                                 const std::string&, bool& cancel) { cancel = u == "about:blank"; });
    b.Navigate2("about:blank");
    EXPECT_FALSE(b.Busy());
    pump();
    EXPECT_EQ(r.log.size(), 1u);
    EXPECT_EQ(b.Document(), nullptr);

    // A container that created the browser by class name cancels through
    // the generic event's by-reference argument.
    auto c = ControlFactory::create("Shell.Explorer.2");
    auto* gb = dynamic_cast<WebBrowser*>(c.get());
    ASSERT_NE(gb, nullptr);
    std::vector<std::string> names;
    c->ObjectEvent.connect([&](const std::string& name, VariantList& args) {
        names.push_back(name);
        if (name == "BeforeNavigate2") {
            EXPECT_EQ(args.size(), 7u);
            EXPECT_EQ(args[0].toObject().get(), c.get());
            args[6] = true;
        }
    });
    gb->Navigate2("about:blank");
    pump();
    EXPECT_EQ(names, (std::vector<std::string>{"BeforeNavigate2"}));
    gb->ObjectEvent.disconnectAll();
    gb->Navigate2("about:blank");
    pump();
    EXPECT_NE(gb->Document(), nullptr);
}

TEST_F(BrowserTest, ReadsFilePagesWithEscapedPathsAndReportsTheirAddress) {
    fs::path p = write("my plan.html",
                       "<!DOCTYPE html><html><head><title>Plan &amp; steps</title></head>"
                       "<body class=x><h1>Step 1</h1><p>Connect&nbsp;the DUT</p></body></html>");
    WebBrowser b;
    Recorder r(b);
    std::string url = "file://" + dir.string() + "/my%20plan.html";
    b.Navigate2(url);
    pump();
    ASSERT_NE(b.Document(), nullptr);
    EXPECT_EQ(b.Document()->title(), "Plan & steps");
    EXPECT_EQ(b.Document()->body().innerHTML(), "<h1>Step 1</h1><p>Connect&nbsp;the DUT</p>");
    EXPECT_EQ(b.Document()->plainText(), "Step 1\n\nConnect the DUT");
    EXPECT_EQ(b.LocationURL(), url);
    EXPECT_EQ(b.LocationName(), "Plan & steps");
    EXPECT_TRUE(r.has("DC " + url));

    // A plain path is a file too; LocationURL gives it in URL form.
    b.Navigate2(p.string());
    pump();
    EXPECT_EQ(b.LocationURL(), "file://" + p.string());
    EXPECT_TRUE(r.has("DC " + p.string()));

    // A text file is shown as text, never read as markup.
    write("notes.txt", "a <b>not bold</b>");
    b.Navigate2("file://" + (dir / "notes.txt").string());
    pump();
    EXPECT_EQ(b.Document()->plainText(), "a <b>not bold</b>");
}

TEST_F(BrowserTest, BadFilesEndInNavigateErrorAndAnErrorPage) {
    write("big.html", std::string(300, 'x'));
    write("bin.html", std::string("<html>\0\x01\x02", 9));
    ASSERT_EQ(::mkfifo((dir / "pipe.html").c_str(), 0600), 0);
    WebBrowser b;
    b.setMaxDocumentBytes(200);
    Recorder r(b);
    struct Case {
        std::string url;
        std::int32_t status;
    };
    std::string base = "file://" + dir.string();
    for (const Case& c : {Case{base + "/missing.html", navErrResourceNotFound},
                          Case{base + "/big.html", navErrDownloadFailure},
                          Case{base + "/bin.html", navErrCannotLoadData},
                          Case{base + "/pipe.html", navErrCannotLoadData},  // must not block on the pipe
                          Case{base, navErrResourceNotFound},               // a folder
                          Case{"file://%00", navErrInvalidUrl},
                          Case{"about:nothing", navErrResourceNotFound}}) {
        r.log.clear();
        b.Navigate2(c.url);
        pump();
        EXPECT_TRUE(r.has("NE " + c.url + " " + std::to_string(c.status))) << c.url;
        EXPECT_TRUE(r.has("DC " + c.url)) << c.url;
        EXPECT_NE(b.Document()->plainText().find(WebBrowser::statusText(c.status)), std::string::npos);
        EXPECT_FALSE(b.Busy());
    }

    // The error page names the address as text, so it cannot inject markup.
    std::string hostile = base + "/<script>x</script>.html";
    b.Navigate2(hostile);
    pump();
    EXPECT_EQ(b.Document()->body().innerHTML().find("<script>"), std::string::npos);
    EXPECT_NE(b.Document()->plainText().find(hostile), std::string::npos);

    // Cancel in NavigateError leaves the page that was there.
    auto before = b.Document();
    b.NavigateError.connect([](Object*, const std::string&, const std::string&, std::int32_t, bool& cancel) {
        cancel = true;
    });
    r.log.clear();
    b.Navigate2(base + "/missing.html");
    pump();
    EXPECT_EQ(b.Document(), before);
    EXPECT_FALSE(r.has("DC " + base + "/missing.html"));
    EXPECT_EQ(r.log.back(), "PC 0/0");
    EXPECT_FALSE(b.Busy());
}

TEST_F(BrowserTest, OtherSchemesGoThroughTheFetcher) {
    WebBrowser b;
    Recorder r(b);
    b.Navigate2("http://tg.invalid/p.html");
    pump();
    EXPECT_TRUE(r.has("NE http://tg.invalid/p.html " + std::to_string(navErrUnknownProtocol)));

    auto f = std::make_shared<FakeFetcher>();
    WebBrowser::setDefaultFetcher(f);
    f->answer = FetchResult{404, "gone", "text/html"};
    b.Navigate2("http://tg.invalid/p.html");
    pump();
    EXPECT_TRUE(r.has("NE http://tg.invalid/p.html 404"));

    f->answer = FetchResult{200, "<title>T</title><p>Remote</p>", ""};
    b.Navigate2("www.tg.invalid");  // no scheme: fetched as http
    pump();
    EXPECT_EQ(f->asked.back(), "http://www.tg.invalid");
    EXPECT_EQ(b.Document()->plainText(), "Remote");
    EXPECT_EQ(b.Document()->title(), "T");

    f->throws = true;
    b.Navigate2("https://tg.invalid/");
    pump();
    EXPECT_TRUE(r.has("NE https://tg.invalid/ " + std::to_string(navErrDownloadFailure)));

    // An answer that comes later keeps the browser busy; once stopped, the
    // late answer is ignored.
    f->throws = false;
    f->deferred = true;
    auto shown = b.Document();
    b.Navigate2("https://tg.invalid/slow");
    pump();
    EXPECT_TRUE(b.Busy());
    b.Stop();
    EXPECT_FALSE(b.Busy());
    r.log.clear();
    f->pending(FetchResult{200, "<p>late</p>", "text/html"});
    pump();
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(b.Document(), shown);
}

TEST_F(BrowserTest, NewerNavigationAndStopSilenceThePendingLoad) {
    write("a.html", "<p>A</p>");
    WebBrowser b;
    Recorder r(b);
    std::string a = "file://" + (dir / "a.html").string();
    b.Navigate2(a);
    b.Navigate2("about:blank");
    pump();
    EXPECT_FALSE(r.has("NC " + a + " busy"));
    EXPECT_TRUE(r.has("DC about:blank"));
    EXPECT_EQ(b.history(), (std::vector<std::string>{"about:blank"}));

    r.log.clear();
    b.Navigate2(a);
    b.Stop();
    EXPECT_FALSE(b.Busy());
    pump();
    EXPECT_EQ(r.log, (std::vector<std::string>{"BN " + a, "PC 0/0"}));
    b.Stop();  // nothing pending: nothing happens
    EXPECT_EQ(r.log.size(), 2u);

    // The procedure pane's pattern: on an error, stop and go to a blank
    // page from inside the handler, then wait until the browser is idle.
    auto conn = b.NavigateError.connect([&](Object*, const std::string&, const std::string&, std::int32_t, bool&) {
        b.Stop();
        b.Navigate2("about:blank");
    });
    b.Navigate2(a + ".missing");
    EXPECT_TRUE(EventLoop::current().waitWhile([&] { return b.Busy(); }, 5000));
    EXPECT_EQ(b.LocationURL(), "about:blank");
    EXPECT_EQ(b.Document()->body().innerHTML(), "");
    conn.disconnect();

    // A handler that fails does not stop the load.
    b.DocumentComplete.connect([](Object*, const std::string&) { throw Error("handler fault"); });
    b.Navigate2(a);
    pump();
    EXPECT_FALSE(b.Busy());
    EXPECT_EQ(b.Document()->plainText(), "A");
}

TEST_F(BrowserTest, HistoryMovesBackAndForwardAndReportsAvailability) {
    WebBrowser b;
    Recorder r(b);
    std::vector<std::string> urls;
    for (const char* n : {"1", "2", "3"}) {
        write(std::string(n) + ".html", std::string("<p>page ") + n + "</p>");
        urls.push_back("file://" + (dir / (std::string(n) + ".html")).string());
    }
    EXPECT_THROW(b.GoBack(), Error);
    EXPECT_THROW(b.GoForward(), Error);
    for (auto& u : urls) {
        b.Navigate2(u);
        pump();
    }
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "CSC 2 on"), 1);  // raised on change only
    b.GoBack();
    pump();
    EXPECT_EQ(b.Document()->plainText(), "page 2");
    EXPECT_TRUE(r.has("CSC 1 on"));
    EXPECT_TRUE(r.has("BN " + urls[1]));
    b.GoBack();
    pump();
    EXPECT_TRUE(r.has("CSC 2 off"));
    EXPECT_THROW(b.GoBack(), Error);
    b.GoForward();
    pump();
    EXPECT_EQ(b.Document()->plainText(), "page 2");
    // A new page drops the forward entries.
    b.Navigate2("about:blank");
    pump();
    EXPECT_TRUE(r.has("CSC 1 off"));
    EXPECT_EQ(b.history(), (std::vector<std::string>{urls[0], urls[1], "about:blank"}));
    EXPECT_THROW(b.GoForward(), Error);
}

TEST_F(BrowserTest, RefreshReloadsWithoutNavigationEvents) {
    fs::path p = write("r.html", "<p>old</p>");
    WebBrowser b;
    b.Refresh();  // nothing loaded yet: nothing to do
    EXPECT_FALSE(b.Busy());
    Recorder r(b);
    std::string u = "file://" + p.string();
    b.Navigate2(u);
    pump();
    write("r.html", "<p>new</p>");
    r.log.clear();
    b.Refresh();
    EXPECT_TRUE(b.Busy());
    pump();
    EXPECT_EQ(b.Document()->plainText(), "new");
    EXPECT_EQ(r.log, (std::vector<std::string>{"PC 0/100", "PC 50/100", "PC 100/100", "DC " + u, "PC 0/0"}));
    EXPECT_EQ(b.history().size(), 1u);
}

TEST_F(BrowserTest, ZoomLevelsThroughExecWB) {
    WebBrowser b;
    Variant out;
    b.ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, &out);
    EXPECT_EQ(out.toInt32(), 2);
    Variant three(3);
    b.ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &three, nullptr);
    for (Variant bad : {Variant(5), Variant(-1), Variant("big")}) {
        EXPECT_THROW(b.ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &bad, &out), Error);
    }
    EXPECT_EQ(b.zoomLevel(), 3);
    EXPECT_THROW(b.ExecWB(20, 2, nullptr, &out), Error);

    VariantList args{Variant(19), Variant(2), Variant(0), Variant()};
    EXPECT_EQ(b.invoke("ExecWB", args).toInt32(), 0);
    EXPECT_EQ(args[3].toInt32(), 0);
}

TEST_F(BrowserTest, LateBoundCallsAndDocumentOutliveTheBrowserSafely) {
    auto b = std::make_shared<WebBrowser>();
    VariantList url{Variant("about:blank")};
    b->invoke("Navigate2", url);
    EXPECT_TRUE(b->getProperty("Busy").toBool());
    EXPECT_TRUE(b->getProperty("Document").isEmpty());
    pump();
    ObjectPtr doc = b->getProperty("Document").toObject();
    ASSERT_NE(doc, nullptr);
    ObjectPtr body = doc->getProperty("body").toObject();
    body->setProperty("innerHTML", Variant("<p>Hello</p>"));
    VariantList css{Variant("p { color: red }")};
    doc->invoke("createStyleSheet", css);
    EXPECT_EQ(b->Document()->body().innerHTML(), "<p>Hello</p>");
    EXPECT_NE(b->Document()->documentHTML().find("<style>p { color: red }</style></head>"), std::string::npos);

    // A load pending when the browser goes away ends quietly, and the
    // document a host kept stays usable.
    b->Navigate2("about:blank");
    b.reset();
    pump();
    body->setProperty("innerHTML", Variant("<p>still here</p>"));
    EXPECT_EQ(doc->getProperty("body").toObject()->getProperty("innerHTML").toString(), "<p>still here</p>");
}
