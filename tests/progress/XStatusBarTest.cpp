// The status bar: verdict display, texts that fit, the progress bar states
// and animation, the resize layout, mouse presses and which errors reach the
// caller.
#include <gtest/gtest.h>

#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/XStatusBar.h"

using namespace tavixTGCL2;

namespace {

const ColorRef kHighlight = GetSysColor(COLOR_HIGHLIGHT);

class ThrowingTranslator : public ITranslator {
public:
    std::string Translate(const std::string&, const std::string&, const VariantList&) override {
        throw Error("translator gone");
    }
    void TranslateControls(const std::string&, Control&) override {}
};

// Records the exchanges the status bar asks the host for.
class CountingUtility : public DefaultUtility {
public:
    void Exchange(std::int32_t& a, std::int32_t& b) override {
        ++exchanges;
        DefaultUtility::Exchange(a, b);
    }
    int exchanges = 0;
};

class StatusBar : public ::testing::Test {
protected:
    void SetUp() override {
        HostServices::reset();
        setThemingEnabled(false);
        EventLoop::current().useVirtualClock(true);
        sb = std::make_shared<XStatusBar>("xsbStatus");
        resize(400, 40);
    }
    void TearDown() override {
        sb.reset();
        setThemingEnabled(true);
        HostServices::reset();
    }
    void resize(int w, int h) { sb->moveTwips(0, 0, Screen::toTwips(w), Screen::toTwips(h)); }
    ColorRef at(int x, int y) const { return sb->render().colorAt(x, y); }
    ITgProgressBar& progress() { return sb->ProgressBarInterface(); }
    std::pair<int, int> range() const { return {sb->ProgressBar().BarStart(), sb->ProgressBar().BarStop()}; }

    std::shared_ptr<XStatusBar> sb;
};

}  // namespace

TEST_F(StatusBar, StartsIdleWithTheBlueGradientAndMediumFont) {
    EXPECT_EQ(sb->Status(), 0);
    EXPECT_EQ(at(10, 0), RGB(205, 224, 250));
    EXPECT_EQ(at(10, 39), RGB(135, 173, 228));
    EXPECT_EQ(sb->lblStatus().Caption(), "");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "");
    for (const Label* l : {&sb->lblStd(), &sb->lblStatus(), &sb->lblProg()}) {
        EXPECT_EQ(l->font().name, "Arial");
        EXPECT_EQ(l->font().size, 9);
        EXPECT_TRUE(l->BackStyleTransparent());
    }
    EXPECT_TRUE(sb->lblStatus().font().bold);
    EXPECT_FALSE(sb->lblStd().font().bold);
    EXPECT_TRUE(sb->lblStd().Visible());
    EXPECT_FALSE(sb->lblProg().Visible());
    EXPECT_FALSE(progress().Visible());
    EXPECT_EQ(sb->shpBorder().BorderColor(), 0x00B24801u);
    EXPECT_EQ(sb->tmrProgIndet().Interval(), 150);
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XStatusBar"));
}

TEST_F(StatusBar, VerdictsSetGradientTextsAndColours) {
    sb->setStatus(1);
    EXPECT_EQ(at(10, 0), RGB(0, 192, 192));
    EXPECT_EQ(at(10, 39), RGB(0, 80, 0));
    EXPECT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStatus().ForeColor(), 0x00FFFFFFu);
    EXPECT_EQ(sb->lblStd().ForeColor(), 0x00FFFFFFu);

    sb->setStatus(2);
    EXPECT_EQ(at(10, 0), RGB(224, 112, 112));
    EXPECT_EQ(at(10, 39), RGB(112, 0, 0));
    EXPECT_EQ(sb->StatusTexts()[0], "FAILED");

    sb->setStatus(3);
    EXPECT_EQ(at(10, 0), RGB(255, 255, 16));
    EXPECT_EQ(sb->lblStatus().Caption(), "NOT APPLICABLE");
    EXPECT_EQ(sb->lblProg().ForeColor(), 0u);

    // Unknown codes keep the gradient and texts but turn the text black.
    sb->setStatus(1);
    for (int code : {4, -1}) {
        sb->setStatus(code);
        EXPECT_EQ(sb->Status(), code);
        EXPECT_EQ(at(10, 0), RGB(0, 192, 192));
        EXPECT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  PASSED");
        EXPECT_EQ(sb->lblStatus().ForeColor(), 0u);
    }

    sb->setStatus(0);
    EXPECT_EQ(sb->lblStatus().Caption(), "");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "");
    EXPECT_EQ(at(10, 0), RGB(205, 224, 250));
}

TEST_F(StatusBar, TextsTooWideFallBackToTheShortForm) {
    CTgStandardSel sel;
    sel.GroupName = "IEC";
    sel.CompleteName = "IEC 60601-1";
    sb->SetStandardName(sel);
    EXPECT_EQ(sb->lblStd().Caption(), "Selected standard: IEC 60601-1");
    EXPECT_EQ(sb->lblStd().ToolTipText(), "Selected standard: IEC 60601-1");
    sb->setStatus(1);

    // The bold verdict is 23 characters of 7 pixels (161); the standard
    // sentence 30 of 6 (180).
    resize(166, 40);  // labels 160 wide
    EXPECT_EQ(sb->lblStatus().Caption(), "PASSED");
    EXPECT_EQ(sb->lblStatus().ToolTipText(), "STEP COMPLETED:  PASSED");
    EXPECT_EQ(sb->lblStd().Caption(), "IEC 60601-1");
    resize(167, 40);
    EXPECT_EQ(sb->lblStatus().Caption(), "STEP COMPLETED:  PASSED");
    resize(186, 40);
    EXPECT_EQ(sb->lblStd().Caption(), "Selected standard: IEC 60601-1");
}

TEST_F(StatusBar, MessageTakesTheVerdictRowUntilCleared) {
    sb->setMessage("Measuring...");
    EXPECT_EQ(sb->Message(), "Measuring...");
    EXPECT_EQ(sb->lblProg().ToolTipText(), "Measuring...");
    EXPECT_TRUE(sb->lblProg().Visible());
    EXPECT_FALSE(sb->lblStatus().Visible());
    EXPECT_TRUE(sb->lblStd().Visible());
    sb->setMessage("");
    EXPECT_FALSE(sb->lblProg().Visible());
    EXPECT_TRUE(sb->lblStatus().Visible());

    // A button size the scheme does not know keeps the font but refreshes
    // the rows (which puts the verdict back over a message).
    sb->setMessage("again");
    sb->ApplyButtonSize(5);
    EXPECT_EQ(sb->font().name, "Arial");
    EXPECT_FALSE(sb->lblProg().Visible());
    EXPECT_TRUE(sb->lblStatus().Visible());
    sb->ApplyButtonSize(0);
    EXPECT_EQ(sb->lblStd().font().name, "Tahoma");
    EXPECT_EQ(sb->lblStd().font().size, 8);
    sb->ApplyButtonSize(2);
    EXPECT_EQ(sb->lblProg().font().name, "Verdana");
    EXPECT_EQ(sb->lblProg().font().size, 12);
}

TEST_F(StatusBar, ProgressValueAndVisibility) {
    progress().setValue(40);  // hidden: ignored
    EXPECT_EQ(range(), std::make_pair(0, 0));
    progress().setAnimate(true);
    EXPECT_FALSE(progress().Animate());
    EXPECT_FALSE(sb->tmrProgIndet().TimerEnabled());

    progress().setVisible(true);
    EXPECT_FALSE(sb->lblStd().Visible());
    EXPECT_FALSE(sb->lblStatus().Visible());
    EXPECT_TRUE(sb->lblProg().Visible());
    progress().setValue(40);
    // Bar rectangle (3, 2, 397, 19): inside the frame 392 wide, 40% ends at 161.
    EXPECT_EQ(at(3, 10), RGB(0, 0, 0));
    for (int x : {5, 11, 150, 160}) EXPECT_EQ(at(x, 10), kHighlight) << x;
    for (int x : {12, 13, 161, 300}) EXPECT_EQ(at(x, 10), RGB(255, 255, 255)) << x;
    EXPECT_EQ(at(10, 30), at(390, 30));  // the lower row is gradient only

    progress().setValue(250);
    EXPECT_EQ(progress().Value(), 100);
    // Showing again what is shown resets nothing.
    progress().setVisible(true);
    EXPECT_EQ(range(), std::make_pair(0, 100));
    progress().setVisible(false);
    EXPECT_EQ(range(), std::make_pair(0, 0));
    EXPECT_TRUE(sb->lblStd().Visible());
    EXPECT_EQ(at(100, 10), at(300, 10));  // no bar drawn
}

TEST_F(StatusBar, AnimationCycleAndStop) {
    auto& loop = EventLoop::current();
    progress().setVisible(true);
    progress().setValue(60);
    progress().setAnimate(true);
    EXPECT_TRUE(progress().Animate());
    EXPECT_EQ(range(), std::make_pair(0, 0));
    EXPECT_EQ(progress().Value(), 0);
    const std::pair<int, int> expected[] = {{0, 5}, {0, 10}, {0, 15}, {0, 20}, {5, 25}, {10, 30}};
    for (auto e : expected) {
        loop.advance(150);
        EXPECT_EQ(range(), e);
    }
    for (int i = 0; i < 18; ++i) loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(100, 100));
    loop.advance(150);
    EXPECT_EQ(range(), std::make_pair(0, 5));
    loop.advance(300);
    progress().setAnimate(false);
    EXPECT_EQ(progress().Value(), 15);
    loop.advance(600);
    EXPECT_EQ(range(), std::make_pair(0, 15));

    // Hiding the bar stops its timer: shown again, it stays still until asked.
    progress().setAnimate(true);
    progress().setVisible(false);
    EXPECT_FALSE(sb->tmrProgIndet().TimerEnabled());
    progress().setVisible(true);
    loop.advance(450);
    EXPECT_EQ(range(), std::make_pair(0, 0));
    EXPECT_FALSE(progress().Animate());
}

TEST_F(StatusBar, ErrorsReachTheCallerOnlyWhereAllowed) {
    auto utility = std::make_shared<CountingUtility>();
    HostServices::setUtilityFactory([utility] { return utility; });
    progress().setVisible(true);
    progress().setValue(-5);  // start 0 > stop -5: the host orders them
    EXPECT_EQ(utility->exchanges, 1);
    EXPECT_EQ(range(), std::make_pair(0, 0));

    // Without a utility object the pair cannot be ordered: an error, no crash.
    HostServices::setUtilityFactory([] { return std::shared_ptr<IUtility>(); });
    EXPECT_THROW(progress().setValue(-5), Error);
    EXPECT_NO_THROW(progress().setValue(30));

    HostServices::setTranslatorFactory([] { return std::make_shared<ThrowingTranslator>(); });
    EXPECT_THROW(sb->setStatus(1), Error);
    EXPECT_THROW(sb->ApplyButtonSize(1), Error);
    CTgStandardSel sel;
    sel.CompleteName = "ANSI";
    EXPECT_NO_THROW(sb->SetStandardName(sel));
    EXPECT_EQ(sb->StandardTexts()[0], "ANSI");
    EXPECT_NO_THROW(resize(300, 40));
    // A control created while the translator fails still comes up.
    EXPECT_NO_THROW(XStatusBar("other"));
}

TEST_F(StatusBar, ResizeLayout) {
    EXPECT_EQ(sb->shpBorder().Width(), 400);
    EXPECT_EQ(sb->shpBorder().zIndex(), 0);
    EXPECT_EQ(sb->GradientRect(), (Rect{0, 0, 400, 40}));
    const Label& std = sb->lblStd();
    EXPECT_EQ((std::array{std.Left(), std.Top(), std.Width(), std.Height()}), (std::array{3, 2, 394, 17}));
    const Label& st = sb->lblStatus();
    EXPECT_EQ((std::array{st.Left(), st.Top(), st.Width(), st.Height()}), (std::array{3, 21, 394, 17}));
    const Label& pr = sb->lblProg();
    EXPECT_EQ((std::array{pr.Left(), pr.Top(), pr.Width(), pr.Height()}), (std::array{3, 21, 394, 17}));

    // A message label taller than half - 3 gets the whole lower half.
    resize(200, 20);
    EXPECT_EQ((std::array{pr.Left(), pr.Top(), pr.Width(), pr.Height()}), (std::array{3, 10, 200, 10}));
    EXPECT_EQ(st.Height(), 7);

    // Too small for the labels: their moves are skipped, the rest goes on.
    resize(4, 4);
    EXPECT_EQ(st.Width(), 194);
    EXPECT_EQ(sb->shpBorder().Width(), 4);
    EXPECT_EQ(sb->render().width(), 4);
}

TEST_F(StatusBar, MouseDownFromBackgroundAndLabels) {
    std::vector<std::array<float, 4>> presses;
    sb->MouseDown.connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        presses.push_back({float(b), float(s), x, y});
        throw Error("handler fails");
    });
    EXPECT_NO_THROW(sb->doMouseDown(vbLeftButton, vbShiftMask, 50, 30));
    auto* lbl = dynamic_cast<Label*>(sb->find("lblStd"));
    ASSERT_NE(lbl, nullptr);
    EXPECT_NO_THROW(lbl->doMouseDown(vbRightButton, 0, 7, 4));
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0], (std::array<float, 4>{1, 1, 50, 30}));
    EXPECT_EQ(presses[1], (std::array<float, 4>{2, 0, 7, 4}));
}
