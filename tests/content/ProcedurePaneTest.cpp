// The procedure pane: every format, the template page and its style sheet,
// file links and the failure page, browser events and zoom, the web
// toolbar's commands, the rich-text link, and the layout with its events.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "content/XPaneProcedure.h"
#include "content/XTgDetailsPane.h"
#include "content/XWebToolbar.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "frame/XRichEdit.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/ShellOpen.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

EventLoop& loop() { return EventLoop::current(); }

class ProcedurePane : public ::testing::Test {
protected:
    void SetUp() override {
        m_wasVirtual = loop().virtualClock();
        loop().useVirtualClock(true);
        dir = fs::temp_directory_path() / ("tgcl-proc-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        templatePath = write("template.html", "<html><head><title>T</title></head><body>empty</body></html>");
        setTemplate(templatePath);
        settings = std::make_shared<SimpleSettings>();
        HostServices::setSettingsFactory([s = settings] { return s; });
        ShellOpen::setOpener([this](const std::string& t) {
            opened.push_back(t);
            return true;
        });
        form->moveTwips(0, 0, 9000, 6000);
        pane->moveTwips(300, 200, 8000, 5000);
    }
    void TearDown() override {
        pane.reset();
        form.reset();
        loop().advance(60000);
        loop().useVirtualClock(m_wasVirtual);
        setTemplate("");
        setDefaultSettingsStore(nullptr);
        HostServices::reset();
        ShellOpen::setOpener(nullptr);
        fs::remove_all(dir);
    }
    static void setTemplate(const std::string& location) {
        auto store = std::make_shared<MemorySettingsStore>();
        if (!location.empty())
            store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template", "Empty", location);
        setDefaultSettingsStore(store);
        MMain::restart();
    }
    std::string write(const std::string& name, const std::string& content) {
        std::ofstream(dir / name, std::ios::binary) << content;
        return (dir / name).string();
    }
    void show(std::int16_t format, std::string text) { pane->SetProcedure(format, text); }
    // Lets the browser finish whatever it is loading.
    void settle() {
        loop().waitWhile([this] { return pane->browserView() && pane->browserView()->Busy(); }, 30000);
        loop().advance(1);
    }
    std::string body() { return pane->browserView()->Document()->body().innerHTML(); }
    std::string pageText() { return pane->browserView()->Document()->plainText(); }
    void click(std::int32_t id) { pane->webToolbar().Bar()->FindControl(0, id)->Execute(); }

    fs::path dir;
    std::string templatePath;
    std::shared_ptr<SimpleSettings> settings;
    std::vector<std::string> opened;
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XPaneProcedure> pane = form->create<XPaneProcedure>();

private:
    bool m_wasVirtual = false;
};

}  // namespace

TEST_F(ProcedurePane, EveryOtherFormatIsPlainTextInTheLockedTextBox) {
    for (std::int16_t format : {0, 2, 6, -1}) {
        show(format, "Step " + std::to_string(format));
        EXPECT_EQ(pane->procedureView(), &pane->textView());
        EXPECT_TRUE(pane->textView().Visible());
        EXPECT_TRUE(pane->textView().Locked());
        EXPECT_EQ(pane->textView().font().size, 10.0);
        EXPECT_EQ(pane->textView().Text(), "Step " + std::to_string(format));
        EXPECT_EQ(pane->find(XPaneProcedure::kViewName), nullptr);
    }
}

TEST_F(ProcedurePane, RichTextGetsItsOwnViewAndItsLinksGoToTheDesktop) {
    show(0, "plain");
    show(1, "{\\rtf1 See {\\field{\\*\\fldinst HYPERLINK \"http://x.example/a b\"}{\\fldrslt the manual}}.}");
    XRichEdit* view = pane->richEditView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(pane->procedureView(), view);
    EXPECT_EQ(view->Name(), "ctlProc");
    EXPECT_TRUE(view->Visible());
    EXPECT_TRUE(view->AutoURLDetect());
    EXPECT_EQ(view->Text(), "See the manual.");
    EXPECT_FALSE(pane->textView().Visible());
    ASSERT_TRUE(view->clickLink(0));
    std::string empty;
    view->LinkClicked(empty);  // an empty link opens nothing
    EXPECT_EQ(opened, std::vector<std::string>{"http://x.example/a b"});
}

TEST_F(ProcedurePane, DotNetRtfLeavesRichTextToTheHostButStillReportsItsRectangle) {
    std::vector<float> rtf;
    pane->ResizeRTFPane.connect([&](float& x, float& y, float& dx, float& dy) { rtf = {x, y, dx, dy}; });
    show(0, "before");
    pane->setDotNetRtf(true);
    rtf.clear();
    show(1, "{\\rtf1 rich}");
    EXPECT_EQ(pane->procedureView(), nullptr);
    EXPECT_EQ(pane->richEditView(), nullptr);
    EXPECT_FALSE(pane->textView().Visible());
    EXPECT_EQ(pane->find(XPaneProcedure::kViewName), nullptr);
    ASSERT_EQ(rtf.size(), 4u);
    EXPECT_EQ(rtf[0], 0);
    EXPECT_EQ(rtf[2], 8000);
    // Plain text under the same flag is still placed by the pane.
    show(0, "text");
    EXPECT_EQ(pane->textView().Width(), 8000);
    EXPECT_EQ(pane->textView().Top(), int(rtf[1]));
}

TEST_F(ProcedurePane, TemplateGetsTheFragmentAndStyleSheetOnlyForTheTemplatePage) {
    settings->setValue("ProcCSS", "p { color: navy }");
    show(3, "<p>Connect <b>TP3</b></p>");
    ASSERT_NE(pane->browserView(), nullptr);
    EXPECT_EQ(pane->procedureView(), pane->browserView());
    settle();
    EXPECT_EQ(body(), "<p>Connect <b>TP3</b></p>");
    ASSERT_EQ(pane->browserView()->Document()->styleSheets().size(), 1u);
    EXPECT_EQ(pane->browserView()->Document()->styleSheets()[0].cssText, "p { color: navy }");
    EXPECT_FALSE(pane->WebToolbarShown());
    EXPECT_FALSE(pane->webToolbar().Visible());

    // The operator follows a link: the toolbar comes, the new page is left
    // as it is.
    const std::string other = write("other.html", "<html><body><p>Other page</p></body></html>");
    const std::int32_t captionWidth = pane->captionLabel().Width();
    pane->browserView()->Navigate2(other);
    EXPECT_TRUE(pane->WebToolbarShown());
    EXPECT_TRUE(pane->webToolbar().Visible());
    EXPECT_EQ(pane->captionLabel().Width(), captionWidth - pane->webToolbar().Width());
    EXPECT_EQ(pane->webToolbar().Left(), captionWidth - pane->webToolbar().Width());
    EXPECT_EQ(pane->webToolbar().Top() + pane->webToolbar().Height(), pane->captionLabel().Height() + 60);
    settle();
    EXPECT_EQ(body(), "<p>Other page</p>");
    EXPECT_TRUE(pane->browserView()->Document()->styleSheets().empty());

    // Home goes back to the template, which is filled again.
    click(XWebToolbar::idHome);
    settle();
    EXPECT_EQ(body(), "<p>Connect <b>TP3</b></p>");
    // Refresh reloads the template and writes the fragment once more.
    pane->browserView()->Document()->body().setInnerHTML("changed by a script");
    click(XWebToolbar::idRefresh);
    EXPECT_EQ(body(), "<p>Connect <b>TP3</b></p>");
}

TEST_F(ProcedurePane, ZoomIsRaisedToThreeAndGivenBackWhenTheViewGoes) {
    show(3, "<p>x</p>");
    std::shared_ptr<WebBrowser> browser =
        std::dynamic_pointer_cast<WebBrowser>(pane->browserView()->shared_from_this());
    settle();
    EXPECT_EQ(browser->zoomLevel(), 3);
    EXPECT_EQ(pane->SavedZoom(), 2);
    show(0, "text");
    EXPECT_EQ(browser->zoomLevel(), 2);
    EXPECT_EQ(pane->SavedZoom(), -1);

    show(3, "<p>y</p>");
    Variant four(std::int32_t{4});
    pane->browserView()->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &four, nullptr);
    settle();
    EXPECT_EQ(pane->browserView()->zoomLevel(), 4);  // never lowered
    EXPECT_EQ(pane->SavedZoom(), 4);
}

TEST_F(ProcedurePane, FileLinksInCapitalsAndWithEscapesLoad) {
    const std::string path = write("my plan.html", "<html><body><p>The plan</p></body></html>");
    for (const std::string& link : {"FILE://" + path, "file://" + (dir / "my%20plan.html").string() + "#step2"}) {
        show(4, link);
        EXPECT_TRUE(pane->WebToolbarShown()) << link;
        EXPECT_TRUE(pane->webToolbar().Visible());
        settle();
        EXPECT_EQ(pageText(), "The plan") << link;
    }
}

TEST_F(ProcedurePane, FailurePageNamesTheLinkExactlyAndEscapesIt) {
    const std::string link = "file:///nowhere/<script>alert('x')</script>&\".html";
    show(5, link);
    EXPECT_FALSE(pane->WebToolbarShown());
    EXPECT_FALSE(pane->webToolbar().Visible());
    EXPECT_EQ(pane->procedureView(), pane->browserView());
    const std::string html = body();
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
    EXPECT_NE(pageText().find("The link is '" + link + "'."), std::string::npos);
    EXPECT_NE(pageText().find("cannot be loaded"), std::string::npos);

    show(4, "");
    EXPECT_NE(pageText().find("The link is ''."), std::string::npos);
}

TEST_F(ProcedurePane, AProcedureShownDuringTheFailurePagesWaitStays) {
    loop().post([this] { show(0, "shown meanwhile"); });
    show(4, "file:///nowhere.html");
    EXPECT_EQ(pane->procedureView(), &pane->textView());
    EXPECT_TRUE(pane->textView().Visible());
    EXPECT_EQ(pane->textView().Text(), "shown meanwhile");
    EXPECT_EQ(pane->browserView(), nullptr);
    EXPECT_EQ(pane->find(XPaneProcedure::kViewName), nullptr);
    EXPECT_EQ(pane->BusyCount(), 0);
}

TEST_F(ProcedurePane, WebAddressIsNavigatedAndFailsOnlyThroughNavigateError) {
    const std::string url = "http://no.such.server.invalid/procedure.html";
    show(4, url);
    EXPECT_TRUE(pane->WebToolbarShown());
    EXPECT_TRUE(pane->browserView()->Busy());
    settle();
    EXPECT_NE(pageText().find("The link is '" + url + "'."), std::string::npos);
}

TEST_F(ProcedurePane, BusyCountSilencesTheBrowserWhileThePaneSwitchesViews) {
    const std::string page = write("page.html", "<html><body>p</body></html>");
    show(4, page);
    // Both navigations of the switch came while busy: no indicator yet.
    EXPECT_FALSE(pane->webToolbar().ProgressBarVisible());
    loop().processPending();  // the load's first progress report
    EXPECT_TRUE(pane->webToolbar().ProgressBarVisible());
    settle();
    EXPECT_FALSE(pane->webToolbar().ProgressBarVisible());
    // The operator's own navigation starts the indicator at once.
    pane->browserView()->Navigate2(page);
    EXPECT_TRUE(pane->webToolbar().ProgressBarVisible());
    click(XWebToolbar::idStop);
    EXPECT_FALSE(pane->webToolbar().ProgressBarVisible());
    EXPECT_FALSE(pane->browserView()->Busy());
}

TEST_F(ProcedurePane, BackAndForwardFollowTheBrowsersHistory) {
    const std::string a = write("a.html", "<html><body>A</body></html>");
    const std::string b = write("b.html", "<html><body>B</body></html>");
    show(4, a);
    settle();
    EXPECT_FALSE(pane->webToolbar().Button(XWebToolbar::idBack)->Enabled());
    pane->browserView()->Navigate2(b);
    settle();
    EXPECT_TRUE(pane->webToolbar().Button(XWebToolbar::idBack)->Enabled());
    click(XWebToolbar::idBack);
    settle();
    EXPECT_EQ(pageText(), "A");
    EXPECT_TRUE(pane->webToolbar().Button(XWebToolbar::idForward)->Enabled());
    click(XWebToolbar::idForward);
    settle();
    EXPECT_EQ(pageText(), "B");
    click(XWebToolbar::idHome);
    settle();
    EXPECT_EQ(pageText(), "A");
    // A new procedure starts with a browser without history.
    show(4, b);
    EXPECT_FALSE(pane->webToolbar().Button(XWebToolbar::idBack)->Enabled());
    // Without a browser the commands do nothing at all.
    show(0, "text");
    pane->webToolbar().Button(XWebToolbar::idBack)->setEnabled(true);
    for (std::int32_t id : {101, 102, 103, 104, 105}) click(id);
    EXPECT_EQ(pane->procedureView(), &pane->textView());
}

TEST_F(ProcedurePane, InitializeComposesTheCaption) {
    auto info = std::make_shared<SimpleElementInfo>("Supply voltage", 0, "Measure.");
    pane->Initialize(info);
    EXPECT_EQ(pane->Caption(), "Supply voltage");
    EXPECT_EQ(pane->textView().Text(), "Measure.");
    auto viewed = std::make_shared<SimpleElementInfo>("", 2, "Again.");
    viewed->setView("TP3", "Ripple");
    pane->Initialize(viewed);
    EXPECT_EQ(pane->Caption(), "TP3 - Ripple");
    viewed->setView("TP3", "");
    pane->Initialize(viewed);
    EXPECT_EQ(pane->Caption(), "TP3");
    EXPECT_EQ(pane->BusyCount(), 0);
}

TEST_F(ProcedurePane, LayoutPlacesTheViewWhereTheHandlerLeavesItAndIgnoresReentry) {
    int rtfEvents = 0;
    pane->ResizeRTFPane.connect([&](float& x, float& y, float& dx, float& dy) {
        ++rtfEvents;
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, float(pane->captionLabel().Height() + 60));
        x = 500;  // not used
        y += 100;
        dx = 3000;
        dy = 1000;
        pane->moveTwips(300, 200, 7000, 4000);  // a pass inside the pass is skipped
    });
    show(0, "text");
    EXPECT_EQ(rtfEvents, 1);
    const Control& view = pane->textView();
    EXPECT_EQ(view.Left(), 0);
    EXPECT_EQ(view.Top(), pane->captionLabel().Height() + 160);
    EXPECT_EQ(view.Width(), 3000);
    EXPECT_EQ(view.Height(), 1000);
    // Without a view and without DotNetRtf no event is raised.
    pane->ResizeRTFPane.disconnectAll();
    int panEvents = 0;
    pane->ResizePanProc.connect([&](std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool) { ++panEvents; });
    pane->setDotNetRtf(true);
    show(1, "{\\rtf1 x}");
    pane->setDotNetRtf(false);
    pane->setTestDetailsView(std::make_shared<Object>());
    EXPECT_EQ(panEvents, 0);
    EXPECT_FALSE(pane->dotNetLabel().Visible());
}

TEST_F(ProcedurePane, DetailsViewLiesOverTheDetailsPanesClientArea) {
    auto details = form->create<Label>("lblDetails");
    details->moveTwips(0, 0, 2000, 900);
    std::vector<std::int32_t> pan;
    pane->ResizePanProc.connect([&](std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy, bool e) {
        pan = {x, y, dx, dy, e};
    });
    show(0, "text");
    pane->setTestDetailsView(details);
    const XTgDetailsPane& dp = pane->details();
    EXPECT_TRUE(dp.Visible());
    EXPECT_TRUE(details->Visible());  // a host's label is no placeholder
    EXPECT_EQ(dp.ClientWidth(), 2000);
    EXPECT_EQ(details->Left(), 300 + dp.Left() + int(dp.ClientLeft()));
    EXPECT_EQ(details->Top(), 200 + dp.Top() + int(dp.ClientTop()));
    EXPECT_EQ(pane->textView().Width(), 8000 - dp.Width() - 120);
    EXPECT_EQ(pan, (std::vector<std::int32_t>{details->Left(), details->Top(), 2000, details->Height(), 1}));
    std::int32_t x = -1, y = -1, dx = -1, dy = -1;
    bool expanded = false;
    pane->UpdateLocations(x, y, dx, dy, expanded);
    EXPECT_EQ((std::vector<std::int32_t>{x, y, dx, dy, expanded}), pan);
    // A control the host hides with the pane.
    pane->setProperty("Visible", false);
    EXPECT_FALSE(details->Visible());
    pane->setProperty("Visible", true);
    EXPECT_TRUE(details->Visible());
    // An object that is no control: the placeholder carries the rectangle.
    pane->ResizeLabel(0, 0, 1500, 700);
    pane->setTestDetailsView(std::make_shared<Object>());
    EXPECT_EQ(pane->details().ClientWidth(), 1500);
    EXPECT_FALSE(pane->dotNetLabel().Visible());
    // None: the details pane goes and the view takes the full width.
    pane->setTestDetailsView(nullptr);
    EXPECT_FALSE(pane->details().Visible());
    EXPECT_EQ(pane->textView().Width(), 8000);
    x = y = dx = dy = 7;
    pane->UpdateLocations(x, y, dx, dy, expanded);
    EXPECT_FALSE(expanded);
    EXPECT_EQ(x + y + dx + dy, 28);
}

TEST(ShellOpen, TheDesktopOpenerGetsTheLinkAsOneArgumentWithoutAShell) {
    const fs::path bin = fs::temp_directory_path() / ("tgcl-open-" + std::to_string(::getpid()));
    fs::create_directories(bin);
    const fs::path out = bin / "args.txt";
    {
        std::ofstream script(bin / "xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" << (bin / "args.tmp").string() << "'\nmv '"
               << (bin / "args.tmp").string() << "' '" << out.string() << "'\n";
    }
    ::chmod((bin / "xdg-open").c_str(), 0755);
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    const std::string link = "http://x.example/a b;touch " + (bin / "pwned").string() + " $(id)";
    const bool started = ShellOpen::openWithDesktop(link);
    ::setenv("PATH", saved.c_str(), 1);
    ASSERT_TRUE(started);
    for (int i = 0; i < 1000 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string count, arg;
    std::getline(in, count);
    std::getline(in, arg);
    EXPECT_EQ(count, "1");
    EXPECT_EQ(arg, link);
    EXPECT_FALSE(fs::exists(bin / "pwned"));
    EXPECT_FALSE(ShellOpen::open(""));
    EXPECT_FALSE(ShellOpen::launchDetached("tgcl-no-such-program", {}));
    fs::remove_all(bin);
}
