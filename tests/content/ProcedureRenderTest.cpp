// What an operator sees of the procedure pane inside the content pane: plain
// text, a template page and a link with the web toolbar, painted into one
// picture and written as PNG files for looking at.
//
// The compositor paints text boxes, browsers and command bars as their back
// colour only; viewsOver() paints what those three show (the text, the
// page as text, the buttons' icons) at the places the compositor gave them,
// so that the pictures show the procedure as a reader would see it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "PngFile.h"
#include "content/XPaneProcedure.h"
#include "content/XTgContentPane.h"
#include "content/XTgDetailsPane.h"
#include "content/XWebToolbar.h"
#include "frame/MMain.h"
#include "platform/CommandBars.h"
#include "platform/Compositor.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

std::string outPath(const std::string& name) {
    fs::create_directories(TGCL_TEST_OUT_DIR);
    return std::string(TGCL_TEST_OUT_DIR) + "/" + name;
}

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

Surface zoom(const Surface& s, const Rect& part, std::int32_t factor) {
    Surface src = s;
    Surface out(static_cast<std::int32_t>(part.width()) * factor, static_cast<std::int32_t>(part.height()) * factor);
    DC from(&src), to(&out);
    to.stretchBlt(0, 0, out.width(), out.height(), &from, part.left, part.top, static_cast<std::int32_t>(part.width()),
                  static_cast<std::int32_t>(part.height()));
    return out;
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

class ProcedureRender : public ::testing::Test {
protected:
    void SetUp() override {
        m_wasVirtual = EventLoop::current().virtualClock();
        EventLoop::current().useVirtualClock(true);
        dir = fs::temp_directory_path() / ("tgcl-render-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "template.html") << "<html><head><title>Template</title></head><body></body></html>";
        setTemplate((dir / "template.html").string());
    }
    void TearDown() override {
        EventLoop::current().advance(60000);
        EventLoop::current().useVirtualClock(m_wasVirtual);
        setTemplate("");
        setDefaultSettingsStore(nullptr);
        fs::remove_all(dir);
    }
    static void setTemplate(const std::string& location) {
        auto store = std::make_shared<MemorySettingsStore>();
        if (!location.empty())
            store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template", "Empty", location);
        setDefaultSettingsStore(store);
        MMain::restart();
    }
    static void settle(XPaneProcedure& p) {
        EventLoop::current().waitWhile([&] { return p.browserView() && p.browserView()->Busy(); }, 30000);
        EventLoop::current().advance(1);
    }
    fs::path dir;

private:
    bool m_wasVirtual = false;
};

const Pixel kInk = 0xFF000000u;

}  // namespace

TEST_F(ProcedureRender, PlainTextUnderTheCaptionBesideTheDetails) {
    RunForm f;
    std::string proc =
        "Connect the probe to test point TP3 and switch the supply on. The reading must settle within two "
        "seconds.\nNote the ripple shown on the scope.";
    f.pane->Content().SetProcedure(0, proc);
    f.pane->setTestDetailsView(f.details);
    Surface s = picture(*f.form);
    std::string err;
    ASSERT_TRUE(writePng(s, outPath("procedure_plain_text.png"), &err)) << err;
    // Caption and text both show, each in its own place.
    EXPECT_GT(count(s, f.proc().captionLabel(), kInk), 100);
    EXPECT_GT(count(s, f.proc().textView(), kInk), 300);
    const Control& view = f.proc().textView();
    EXPECT_EQ(view.Top(), f.proc().captionLabel().Height() + 60);
    EXPECT_EQ(view.Left() + view.Width() + 120, f.proc().details().Left());
}

TEST_F(ProcedureRender, TemplatePageShowsTheFragmentAsText) {
    RunForm f;
    std::string fragment = "<h3>Ripple</h3><p>Set the scope to <b>20 mV/div</b> and read the ripple.</p>";
    f.pane->Content().SetProcedure(3, fragment);
    settle(f.proc());
    ASSERT_NE(f.proc().browserView(), nullptr);
    EXPECT_EQ(f.proc().browserView()->Document()->plainText(),
              "Ripple\n\nSet the scope to 20 mV/div and read the ripple.");
    Surface s = picture(*f.form);
    std::string err;
    ASSERT_TRUE(writePng(s, outPath("procedure_template.png"), &err)) << err;
    EXPECT_GT(count(s, *f.proc().browserView(), kInk), 200);
    EXPECT_FALSE(f.proc().webToolbar().Visible());
}

TEST_F(ProcedureRender, LinkShowsTheWebToolbarAtTheEndOfTheCaptionLine) {
    RunForm f;
    std::ofstream(dir / "steps.html") << "<html><body><p>1. Open the cover.</p><p>2. Check the fuse.</p></body></html>";
    std::string link = "file://" + (dir / "steps.html").string();
    f.pane->Content().SetProcedure(4, link);
    settle(f.proc());
    const XWebToolbar& bar = f.proc().webToolbar();
    ASSERT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Left() + bar.Width(), f.proc().ScaleWidth());
    EXPECT_EQ(bar.Top() + bar.Height(), f.proc().captionLabel().Height() + 60);
    Surface s = picture(*f.form);
    std::string err;
    ASSERT_TRUE(writePng(s, outPath("procedure_link.png"), &err)) << err;
    const Rect strip{Screen::toPixels(f.pane->xpvProc().Left() + bar.Left()) - 4,
                     Screen::toPixels(f.pane->xpvProc().Top() + bar.Top()) - 4,
                     Screen::toPixels(f.pane->xpvProc().Left() + bar.Left() + bar.Width()) + 4,
                     Screen::toPixels(f.pane->xpvProc().Top() + bar.Top() + bar.Height()) + 4};
    ASSERT_TRUE(writePng(zoom(s, strip, 6), outPath("procedure_link_toolbar_zoom.png"), &err)) << err;
    EXPECT_GT(count(s, *f.proc().browserView(), kInk), 200);
    // The icons' colours show on the bar: the red of Stop, the roof of Home.
    EXPECT_GT(count(s, bar, 0xFFD83030u), 5);
    EXPECT_GT(count(s, bar, 0xFFC0412Au), 5);
}
