// The procedure pane: every format, the template page and its style sheet,
// file links and the failure page, browser events and zoom, the web
// toolbar's commands, the rich-text link, the layout with its events, and
// pictures of what a reader sees.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "PngFile.h"
#include "content/XPaneProcedure.h"
#include "content/XTgContentPane.h"
#include "content/XTgDetailsPane.h"
#include "content/XWebToolbar.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "views/XRichEdit.h"
#include "platform/CommandBars.h"
#include "platform/Compositor.h"
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
    void settle() { settle(*pane); }
    static void settle(XPaneProcedure& p) {
        loop().waitWhile([&p] { return p.browserView() && p.browserView()->Busy(); }, 30000);
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

// The compositor paints text boxes, browsers and command bars as their back
// colour only; viewsOver() paints what those three show (the text, the page
// as text, the buttons' icons) where the compositor put them, so that the
// pictures show the procedure as a reader sees it.
// Greedy word wrap into the rectangle, one line at a time.
void wrapText(DC& dc, const std::string& text, Rect box) {
    const std::int32_t lineHeight = std::max(1, dc.textMetrics().height);
    std::int32_t top = box.top;
    std::size_t begin = 0;
    while (begin < text.size() && top < box.bottom) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::size_t cut = end;
        while (cut > begin && dc.textExtent(std::string_view(text).substr(begin, cut - begin)).cx > box.width()) {
            const std::size_t blank = text.rfind(' ', cut - 1);
            if (blank == std::string::npos || blank <= begin) break;
            cut = blank;
        }
        Rect line{box.left, top, box.right, top + lineHeight};
        dc.drawText(std::string_view(text).substr(begin, cut - begin), line, DT_LEFT | DT_TOP | DT_SINGLELINE);
        top += lineHeight;
        begin = cut;
        while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\n'))
            if (text[begin++] == '\n') break;
    }
}

void blendIcon(Surface& s, const Icon& icon, std::int32_t x, std::int32_t y, bool enabled) {
    for (std::int32_t r = 0; r < icon.height; ++r)
        for (std::int32_t c = 0; c < icon.width; ++c) {
            if (!s.bounds().contains(x + c, y + r)) continue;
            const std::uint32_t p = icon.pixels[static_cast<std::size_t>(r * icon.width + c)];
            std::uint32_t a = p >> 24;
            if (!enabled) a /= 3;  // a disabled button shows a faint icon
            Pixel& d = s.row(y + r)[x + c];
            auto mix = [&](int shift) {
                const std::uint32_t f = (p >> shift) & 0xFF, b = (d >> shift) & 0xFF;
                return ((f * a + b * (255 - a)) / 255) << shift;
            };
            d = 0xFF000000u | mix(16) | mix(8) | mix(0);
        }
}

void viewsOver(const Control& c, Surface& s, std::int32_t x, std::int32_t y) {
    if (!c.Visible()) return;
    const Rect r{x, y, x + Screen::toPixels(c.widthTwips()), y + Screen::toPixels(c.heightTwips())};
    DC dc(&s);
    dc.intersectClipRect(r);
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(RGB(0, 0, 0));
    const Rect inner{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2};
    if (auto* box = dynamic_cast<const TextBox*>(&c)) {
        Selected<Font> f(dc, &box->font());
        wrapText(dc, box->Text(), inner);
    } else if (auto* web = dynamic_cast<const WebBrowser*>(&c)) {
        if (web->Document()) {
            Font f{.name = "Verdana", .size = 8.0 * (1 + 0.25 * (web->zoomLevel() - 2))};
            Selected<Font> sel(dc, &f);
            wrapText(dc, web->Document()->plainText(), inner);
        }
    } else if (auto* bar = dynamic_cast<const CommandBar*>(&c)) {
        auto icons = bar->commandBars()->Icons();
        for (const auto& ctl : bar->Controls()) {
            const Rect b = ctl->bounds();
            if (b.isEmpty() || !icons) continue;
            auto icon = icons->FindIcon(ctl->IconId() ? ctl->IconId() : ctl->Id(), bar->IconWidth());
            if (!icon) continue;
            blendIcon(s, *icon, x + static_cast<std::int32_t>(b.left + (b.width() - icon->width) / 2),
                      y + static_cast<std::int32_t>(b.top + (b.height() - icon->height) / 2), ctl->Enabled());
        }
    }
    const std::int32_t border = c.borderPixels();
    for (const auto& child : c.Children())
        viewsOver(*child, s, x + border + Screen::toPixels(child->leftTwips()),
                  y + border + Screen::toPixels(child->topTwips()));
}

Surface picture(const Control& form) {
    Surface s = Compositor::render(form);
    viewsOver(form, s, 0, 0);
    return s;
}

// Pixels of a colour inside a control's rectangle on the picture.
std::int32_t count(const Surface& s, const Control& c, Pixel colour) {
    std::int32_t x = 0, y = 0;
    for (const Control* p = &c; p && p->Parent(); p = p->Parent()) {
        x += Screen::toPixels(p->leftTwips()) + p->Parent()->borderPixels();
        y += Screen::toPixels(p->topTwips()) + p->Parent()->borderPixels();
    }
    std::int32_t n = 0;
    for (std::int32_t row = y; row < y + Screen::toPixels(c.heightTwips()); ++row)
        for (std::int32_t col = x; col < x + Screen::toPixels(c.widthTwips()); ++col)
            if (s.bounds().contains(col, row) && s.row(row)[col] == colour) ++n;
    return n;
}

struct RunForm {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::shared_ptr<Control> results = form->create<Control>("ListView", "lvwResults");
    std::shared_ptr<Label> details = form->create<Label>("lblDetails");
    RunForm() {
        form->moveTwips(0, 0, 9000, 6030);
        pane->moveTwips(0, 0, 9000, 6030);
        results->setBackColor(0xFFFFFF);
        results->setBorderPixels(1);
        details->setCaption("Serial 4711\nFirmware 2.3");
        details->setBackColor(0xFFFFFF);
        details->moveTwips(0, 0, 2100, 1200);
        details->setVisible(false);  // shown by the pane once it is the details view
        pane->setResultView(results);
        pane->Content().setCaption("Supply voltage at TP3");
    }
    XPaneProcedure& proc() { return pane->xpvProc(); }
};

const Pixel kInk = 0xFF000000u;

std::string outPath(const std::string& name) {
    fs::create_directories(TGCL_TEST_OUT_DIR);
    return std::string(TGCL_TEST_OUT_DIR) + "/" + name;
}

}  // namespace

TEST_F(ProcedurePane, EveryOtherFormatIsPlainTextInTheLockedTextBox) {
    for (std::int16_t format : {0, 2, 6, -1}) {
        show(format, "Step " + std::to_string(format));
        EXPECT_EQ(pane->procedureView(), &pane->textView());
        EXPECT_TRUE(pane->textView().Visible() && pane->textView().Locked());
        EXPECT_EQ(pane->textView().font().size, 10.0);
        EXPECT_EQ(pane->textView().Text(), "Step " + std::to_string(format));
    }
}

TEST_F(ProcedurePane, RichTextGetsItsOwnViewAndItsLinksGoToTheDesktop) {
    show(1, "{\\rtf1 See {\\field{\\*\\fldinst HYPERLINK \"http://x.example/a b\"}{\\fldrslt the manual}}.}");
    XRichEdit* view = pane->richEditView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(pane->procedureView(), view);
    EXPECT_EQ(pane->find(XPaneProcedure::kViewName), view);
    EXPECT_TRUE(view->Visible() && view->AutoURLDetect());
    EXPECT_EQ(view->Text(), "See the manual.");
    ASSERT_TRUE(view->clickLink(0));
    std::string empty;
    view->LinkClicked(empty);  // an empty link opens nothing
    EXPECT_EQ(opened, std::vector<std::string>{"http://x.example/a b"});
}

TEST_F(ProcedurePane, DotNetRtfLeavesRichTextToTheHostButStillReportsItsRectangle) {
    std::vector<float> rtf;
    pane->ResizeRTFPane.connect([&](float& x, float& y, float& dx, float& dy) { rtf = {x, y, dx, dy}; });
    int panEvents = 0;
    pane->ResizePanProc.connect([&](std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool) { ++panEvents; });
    show(0, "before");
    pane->setDotNetRtf(true);
    show(1, "{\\rtf1 rich}");
    EXPECT_EQ(pane->procedureView(), nullptr);
    EXPECT_FALSE(pane->textView().Visible());
    EXPECT_EQ(pane->find(XPaneProcedure::kViewName), nullptr);
    const float top = float(pane->captionLabel().Height() + 60);
    EXPECT_EQ(rtf, (std::vector<float>{0, top, 8000, 5000 - top}));
    show(0, "text");  // a view the pane shows is placed under the flag too
    EXPECT_EQ(pane->textView().Width(), 8000);
    // No view and no flag: no event, and the placeholder is not left shown.
    pane->setDotNetRtf(true);
    show(1, "{\\rtf1 x}");
    pane->setDotNetRtf(false);
    rtf.clear();
    pane->setTestDetailsView(std::make_shared<Object>());
    EXPECT_TRUE(rtf.empty());
    EXPECT_EQ(panEvents, 0);
    EXPECT_FALSE(pane->dotNetLabel().Visible());
}

TEST_F(ProcedurePane, TemplateGetsTheFragmentAndStyleSheetOnlyForTheTemplatePage) {
    settings->setValue("ProcCSS", "p { color: navy }");
    show(3, "<p>Connect <b>TP3</b></p>");
    ASSERT_NE(pane->browserView(), nullptr);
    settle();
    EXPECT_EQ(body(), "<p>Connect <b>TP3</b></p>");
    ASSERT_EQ(pane->browserView()->Document()->styleSheets().size(), 1u);
    EXPECT_EQ(pane->browserView()->Document()->styleSheets()[0].cssText, "p { color: navy }");
    EXPECT_FALSE(pane->webToolbar().Visible());

    // The operator follows a link: the toolbar comes, the new page is left
    // as it is.
    const std::string other = write("other.html", "<html><body><p>Other page</p></body></html>");
    const std::int32_t captionWidth = pane->captionLabel().Width();
    pane->browserView()->Navigate2(other);
    EXPECT_TRUE(pane->WebToolbarShown() && pane->webToolbar().Visible());
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
        EXPECT_TRUE(pane->WebToolbarShown() && pane->webToolbar().Visible()) << link;
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
    EXPECT_EQ(pane->textView().Text(), "shown meanwhile");
    EXPECT_EQ(pane->find(XPaneProcedure::kViewName), nullptr);
}

TEST_F(ProcedurePane, WebAddressIsNavigatedAndFailsOnlyThroughNavigateError) {
    const std::string url = "http://no.such.server.invalid/procedure.html";
    show(4, url);
    EXPECT_TRUE(pane->WebToolbarShown() && pane->browserView()->Busy());
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
    auto info = std::make_shared<SimpleElementInfo>("", 2, "Measure.");
    info->setView("TP3", "Ripple");
    pane->Initialize(info);
    EXPECT_EQ(pane->Caption(), "TP3 - Ripple");
    EXPECT_EQ(pane->textView().Text(), "Measure.");
    info->setView("TP3", "");
    pane->Initialize(info);
    EXPECT_EQ(pane->Caption(), "TP3");
    pane->Initialize(std::make_shared<SimpleElementInfo>("Supply voltage", 0, ""));
    EXPECT_EQ(pane->Caption(), "Supply voltage");
    EXPECT_EQ(pane->BusyCount(), 0);
}

TEST_F(ProcedurePane, LayoutPlacesTheViewWhereTheHandlerLeavesItAndIgnoresReentry) {
    int rtfEvents = 0;
    pane->ResizeRTFPane.connect([&](float& x, float& y, float& dx, float& dy) {
        ++rtfEvents;
        x = 500;  // not used
        y += 100;
        dx = 3000;
        dy = 1000;
        pane->moveTwips(300, 200, 7000, 4000);  // a pass inside the pass is skipped
    });
    show(0, "text");
    EXPECT_EQ(rtfEvents, 1);
    const Control& view = pane->textView();
    EXPECT_EQ((std::vector<std::int32_t>{view.Left(), view.Top(), view.Width(), view.Height()}),
              (std::vector<std::int32_t>{0, pane->captionLabel().Height() + 160, 3000, 1000}));
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
    EXPECT_TRUE(dp.Visible() && details->Visible());  // a host's label is no placeholder
    EXPECT_EQ(dp.ClientWidth(), 2000);
    EXPECT_EQ(details->Left(), 300 + dp.Left() + int(dp.ClientLeft()));
    EXPECT_EQ(details->Top(), 200 + dp.Top() + int(dp.ClientTop()));
    EXPECT_EQ(pane->textView().Width(), 8000 - dp.Width() - 120);
    EXPECT_EQ(pan, (std::vector<std::int32_t>{details->Left(), details->Top(), 2000, details->Height(), 1}));
    std::int32_t x = -1, y = -1, dx = -1, dy = -1;
    bool expanded = false;
    pane->UpdateLocations(x, y, dx, dy, expanded);
    EXPECT_EQ((std::vector<std::int32_t>{x, y, dx, dy, expanded}), pan);
    pane->setProperty("Visible", false);  // the details view goes with the pane
    EXPECT_FALSE(details->Visible());
    pane->setProperty("Visible", true);
    EXPECT_TRUE(details->Visible());
    // An object that is no control: the placeholder carries the rectangle.
    pane->ResizeLabel(0, 0, 1500, 700);
    pane->setTestDetailsView(std::make_shared<Object>());
    EXPECT_EQ(pane->details().ClientWidth(), 1500);
    EXPECT_FALSE(pane->dotNetLabel().Visible());
    pane->setTestDetailsView(details);
    pane->setTestDetailsView(nullptr);  // the details pane goes, the view takes the width
    EXPECT_FALSE(pane->details().Visible() || details->Visible());
    EXPECT_EQ(pane->textView().Width(), 8000);
    x = y = dx = dy = 7;
    pane->UpdateLocations(x, y, dx, dy, expanded);
    EXPECT_EQ((std::vector<std::int32_t>{x, y, dx, dy, expanded}), (std::vector<std::int32_t>{7, 7, 7, 7, 0}));
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

TEST_F(ProcedurePane, PicturesOfPlainTextTemplateAndLinkAsAReaderSeesThem) {
    RunForm f;
    std::string err;
    std::string text =
        "Connect the probe to test point TP3 and switch the supply on. The reading must settle within two "
        "seconds.\nNote the ripple shown on the scope.";
    f.pane->Content().SetProcedure(0, text);
    f.pane->setTestDetailsView(f.details);
    Surface s = picture(*f.form);
    ASSERT_TRUE(writePng(s, outPath("procedure_plain_text.png"), &err)) << err;
    EXPECT_GT(count(s, f.proc().captionLabel(), kInk), 100);
    EXPECT_GT(count(s, f.proc().textView(), kInk), 300);
    EXPECT_GT(count(s, *f.details, kInk), 50);  // the host's details view, shown
    EXPECT_EQ(f.proc().textView().Left() + f.proc().textView().Width() + 120, f.proc().details().Left());

    f.pane->setTestDetailsView(nullptr);
    std::string fragment = "<h3>Ripple</h3><p>Set the scope to <b>20 mV/div</b> and read the ripple.</p>";
    f.pane->Content().SetProcedure(3, fragment);
    settle(f.proc());
    s = picture(*f.form);
    ASSERT_TRUE(writePng(s, outPath("procedure_template.png"), &err)) << err;
    EXPECT_EQ(f.proc().browserView()->Document()->plainText(), "Ripple\n\nSet the scope to 20 mV/div and read the ripple.");
    EXPECT_GT(count(s, *f.proc().browserView(), kInk), 200);
    EXPECT_FALSE(f.proc().webToolbar().Visible());

    std::ofstream(dir / "steps.html") << "<html><body><p>1. Open the cover.</p><p>2. Check the fuse.</p></body></html>";
    std::string link = "file://" + (dir / "steps.html").string();
    f.pane->Content().SetProcedure(4, link);
    settle(f.proc());
    s = picture(*f.form);
    ASSERT_TRUE(writePng(s, outPath("procedure_link.png"), &err)) << err;
    const XWebToolbar& bar = f.proc().webToolbar();
    EXPECT_EQ(bar.Left() + bar.Width(), f.proc().ScaleWidth());
    EXPECT_EQ(bar.Top() + bar.Height(), f.proc().captionLabel().Height() + 60);
    EXPECT_GT(count(s, *f.proc().browserView(), kInk), 200);
    // The icons show on the bar: the red of Stop, the roof of Home.
    EXPECT_GT(count(s, bar, 0xFFD83030u), 5);
    EXPECT_GT(count(s, bar, 0xFFC0412Au), 5);
}
