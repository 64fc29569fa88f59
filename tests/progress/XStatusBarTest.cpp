// The status bar: verdict display, texts that fit, the progress bar states
// and animation, the resize layout, mouse presses and which errors reach the
// caller.
#include <gtest/gtest.h>

#include "frame/HostServices.h"
#include "frame/ServicesScope.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"

using namespace tavixTGCL2;

namespace {

class StatusBar : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        HostServices::reset();
        setThemingEnabled(false);
        EventLoop::current().useVirtualClock(true);
        resize(400, 40);
    }
    void resize(int w, int h) { sb->moveTwips(0, 0, Screen::toTwips(w), Screen::toTwips(h)); }
    ColorRef at(int x, int y) const { return sb->render().colorAt(x, y); }
    std::pair<int, int> range() const { return {sb->ProgressBar().BarStart(), sb->ProgressBar().BarStop()}; }
    std::array<int, 4> geometry(const Label& l) const { return {l.Left(), l.Top(), l.Width(), l.Height()}; }

    std::shared_ptr<XStatusBar> sb = std::make_shared<XStatusBar>("xsbStatus");
    ITgProgressBar& progress = sb->ProgressBarInterface();
};

}  // namespace

TEST_F(StatusBar, VerdictsSetGradientTextsAndColours) {
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XStatusBar"));
    EXPECT_EQ(sb->lblProg().font(), (Font{.name = "Arial", .size = 9}));
    EXPECT_TRUE(sb->lblStatus().font().bold);
    struct Row { int status; ColorRef top, bottom; OleColor text; const char* caption; };
    // 1 before 0 checks that idle clears the verdict; unknown codes (4, -1)
    // keep gradient and texts but turn the text black.
    for (const Row& r : {Row{1, RGB(0, 192, 192), RGB(0, 80, 0), 0xFFFFFF, "STEP COMPLETED:  PASSED"},
                         Row{0, RGB(205, 224, 250), RGB(135, 173, 228), 0, ""},
                         Row{2, RGB(224, 112, 112), RGB(112, 0, 0), 0xFFFFFF, "STEP COMPLETED:  FAILED"},
                         Row{4, RGB(224, 112, 112), RGB(112, 0, 0), 0, "STEP COMPLETED:  FAILED"},
                         Row{3, RGB(255, 255, 16), RGB(211, 211, 72), 0, "NOT APPLICABLE"},
                         Row{-1, RGB(255, 255, 16), RGB(211, 211, 72), 0, "NOT APPLICABLE"}}) {
        sb->setStatus(r.status);
        EXPECT_EQ(at(10, 0), r.top) << r.status;
        EXPECT_EQ(at(10, 39), r.bottom) << r.status;
        EXPECT_EQ(sb->lblStatus().Caption(), r.caption) << r.status;
        EXPECT_EQ(sb->lblStatus().ToolTipText(), r.caption) << r.status;
        for (const Label* l : {&sb->lblStd(), &sb->lblStatus(), &sb->lblProg()}) EXPECT_EQ(l->ForeColor(), r.text);
    }
}

// Off by default, the texts are exactly the catalogue's. On, PASSED and
// FAILED differ by a mark in both forms; the colours do not change, and
// turning it off gives the plain texts back.
TEST_F(StatusBar, TheVerdictMarkTellsPassedFromFailedWithoutColour) {
    EXPECT_FALSE(sb->VerdictMark());
    sb->setStatus(1);
    ASSERT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  PASSED");
    const ColorRef top = at(10, 0);
    sb->setVerdictMark(true);
    EXPECT_EQ(sb->lblStatus().Caption(), "\u2713 STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "\u2713 STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->StatusTexts()[0], "\u2713 PASSED");
    EXPECT_EQ(at(10, 0), top);
    sb->setStatus(2);
    EXPECT_EQ(sb->lblStatus().Caption(), "\u2717 STEP COMPLETED:  FAILED");
    EXPECT_EQ(sb->StatusTexts()[0], "\u2717 FAILED");
    sb->setStatus(3);
    EXPECT_EQ(sb->lblStatus().Caption(), "NOT APPLICABLE");
    sb->setStatus(0);
    EXPECT_EQ(sb->lblStatus().Caption(), "");
    sb->setStatus(2);
    sb->setVerdictMark(false);
    EXPECT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  FAILED");
}

TEST_F(StatusBar, TextsTooWideFallBackToTheShortForm) {
    CTgStandardSel sel;
    sel.GroupName = "IEC";
    sel.CompleteName = "IEC 60601-1";
    sb->SetStandardName(sel);
    sb->setStatus(1);
    // The bold verdict is 23 characters of 7 pixels (161); the standard
    // sentence 30 of 6 (180).
    resize(166, 40);  // labels 160 wide
    EXPECT_EQ(sb->lblStatus().Caption(), "PASSED");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStd().Caption(), "IEC 60601-1");
    EXPECT_EQ(sb->lblStd().ToolTipText(), "Selected standard: IEC 60601-1");
    resize(186, 40);  // exactly wide enough for both
    EXPECT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStd().Caption(), "Selected standard: IEC 60601-1");
}

TEST_F(StatusBar, MessageAndButtonSize) {
    sb->setMessage("Measuring...");
    EXPECT_EQ(sb->Message(), "Measuring...");
    EXPECT_FALSE(sb->lblStatus().Visible());
    sb->setMessage("");
    EXPECT_FALSE(sb->lblProg().Visible());
    EXPECT_TRUE(sb->lblStatus().Visible());
    // An unknown size keeps the font but still refreshes the rows.
    sb->setMessage("again");
    sb->ApplyButtonSize(5);
    EXPECT_EQ(sb->font().name, "Arial");
    EXPECT_FALSE(sb->lblProg().Visible());
    sb->ApplyButtonSize(0);
    EXPECT_EQ(sb->lblStd().font(), (Font{.name = "Tahoma", .size = 8}));
    sb->ApplyButtonSize(2);
    EXPECT_EQ(sb->lblProg().font(), (Font{.name = "Verdana", .size = 12}));
}

TEST_F(StatusBar, ProgressValueVisibilityAndAnimation) {
    progress.setValue(40);  // hidden: ignored
    progress.setAnimate(true);
    EXPECT_EQ(range(), std::make_pair(0, 0));
    EXPECT_FALSE(progress.Animate());

    progress.setVisible(true);
    EXPECT_FALSE(sb->lblStd().Visible());
    EXPECT_TRUE(sb->lblProg().Visible());
    progress.setValue(40);
    // Bar rectangle (3, 2, 397, 19): inside the frame 392 wide, 40% ends at 161.
    for (int x : {5, 11, 160}) EXPECT_EQ(at(x, 10), GetSysColor(COLOR_HIGHLIGHT)) << x;
    for (int x : {12, 161, 300}) EXPECT_EQ(at(x, 10), RGB(255, 255, 255)) << x;
    progress.setValue(250);
    EXPECT_EQ(progress.Value(), 100);
    progress.setVisible(true);  // an equal value resets nothing
    EXPECT_EQ(range(), std::make_pair(0, 100));

    auto& loop = EventLoop::current();
    progress.setAnimate(true);
    EXPECT_EQ(progress.Value(), 0);
    for (auto expected : {std::pair{0, 5}, {0, 10}, {0, 15}, {0, 20}, {5, 25}}) {
        loop.advance(150);
        EXPECT_EQ(range(), expected);
    }
    loop.advance(150 * 19);
    EXPECT_EQ(range(), std::make_pair(100, 100));
    loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(0, 5));
    progress.setAnimate(false);
    loop.advance(600);
    EXPECT_EQ(progress.Value(), 5);

    // Hidden, the bar stops: shown again, it stays still until asked.
    progress.setAnimate(true);
    progress.setVisible(false);
    EXPECT_EQ(at(100, 10), at(300, 10));  // no bar drawn
    progress.setVisible(true);
    loop.advance(450);
    EXPECT_EQ(range(), std::make_pair(0, 0));
}

TEST_F(StatusBar, ErrorsReachTheCallerOnlyWhereAllowed) {
    progress.setVisible(true);
    // Without a utility object a reversed pair cannot be ordered: an error, no crash.
    HostServices::setUtilityFactory([] { return std::shared_ptr<IUtility>(); });
    EXPECT_THROW(progress.setValue(-5), Error);

    class ThrowingTranslator : public ITranslator {
        std::string Translate(const std::string&, const std::string&, const VariantList&) override { throw Error("gone"); }
        void TranslateControls(const std::string&, Control&) override {}
    };
    HostServices::setTranslatorFactory([] { return std::make_shared<ThrowingTranslator>(); });
    EXPECT_THROW(sb->setStatus(1), Error);
    EXPECT_THROW(sb->ApplyButtonSize(1), Error);
    CTgStandardSel sel;
    sel.CompleteName = "ANSI";
    EXPECT_NO_THROW(sb->SetStandardName(sel));
    EXPECT_EQ(sb->StandardTexts()[0], "ANSI");
    EXPECT_NO_THROW(resize(300, 40));
    EXPECT_NO_THROW(XStatusBar("created while the translator fails"));
}

TEST_F(StatusBar, ResizeLayoutAndMouse) {
    EXPECT_EQ(sb->shpBorder().zIndex(), 0);
    EXPECT_EQ(sb->GradientRect(), (Rect{0, 0, 400, 40}));
    EXPECT_EQ(geometry(sb->lblStd()), (std::array{3, 2, 394, 17}));
    EXPECT_EQ(geometry(sb->lblStatus()), (std::array{3, 21, 394, 17}));
    EXPECT_EQ(geometry(sb->lblProg()), (std::array{3, 21, 394, 17}));
    // A message label taller than half - 3 gets the whole lower half.
    resize(200, 20);
    EXPECT_EQ(geometry(sb->lblProg()), (std::array{3, 10, 200, 10}));
    // Too small for the labels: their moves are skipped, the rest goes on.
    resize(4, 4);
    EXPECT_EQ(sb->lblStatus().Width(), 194);
    EXPECT_EQ(sb->shpBorder().Width(), 4);

    std::vector<std::array<float, 4>> presses;
    sb->MouseDown.connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        presses.push_back({float(b), float(s), x, y});
        throw Error("handler fails");
    });
    EXPECT_NO_THROW(sb->doMouseDown(vbLeftButton, vbShiftMask, 50, 30));
    EXPECT_NO_THROW(sb->find("lblStd")->doMouseDown(vbRightButton, 0, 7, 4));
    EXPECT_EQ(presses, (std::vector<std::array<float, 4>>{{1, 1, 50, 30}, {2, 0, 7, 4}}));
}
