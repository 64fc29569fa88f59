// The tree mirrored into widgets: geometry, visibility, stacking, captions,
// colours, and operator input coming back as the controls' own events.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "QtTestSupport.h"
#include "platform/Form.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

namespace {

class MirrorTest : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_shared<Form>("frmTest");
        form->Move(0, 0, 6000, 4500);  // 400 x 300 pixels
        form->setCaption("Mirror");
    }
    void TearDown() override {
        form.reset();
        QtTest::TearDown();
    }
    std::shared_ptr<Form> form;
};

}  // namespace

TEST_F(MirrorTest, GeometryFollowsTwipsThroughTheScreenSetting) {
    auto panel = form->create<Control>("Panel", "pnl");
    panel->Move(300, 450, 1500, 750);
    form->show();
    settle();
    QWidget* w = widgetOf(*panel);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(20, 30, 100, 50));
    EXPECT_EQ(widgetOf(*form)->size(), QSize(400, 300));
    EXPECT_EQ(widgetOf(*form)->windowTitle(), "Mirror");

    panel->Move(150, 0, 3000, 15);
    EXPECT_EQ(w->geometry(), QRect(10, 0, 200, 1));
    // A border moves the children inside it, as the compositor draws them.
    auto child = panel->create<Control>("Panel", "inner");
    child->Move(0, 0, 150, 15);
    panel->setBorderPixels(2);
    EXPECT_EQ(widgetOf(*child)->pos(), QPoint(2, 2));
}

TEST_F(MirrorTest, VisibilityEnabledTooltipsAndCaptionsFollowTheControls) {
    auto label = form->create<Label>("lbl");
    label->Move(0, 0, 1500, 300);
    label->setCaption("First");
    auto button = form->create<CommandButton>("cmd");
    button->Move(0, 600, 1500, 450);
    button->setCaption("&Apply");
    form->show();
    settle();
    auto* ql = qobject_cast<QLabel*>(widgetOf(*label));
    auto* qb = qobject_cast<QPushButton*>(widgetOf(*button));
    ASSERT_TRUE(ql && qb);
    EXPECT_EQ(ql->text(), "First");
    EXPECT_EQ(qb->text(), "&Apply");

    label->setCaption("Second");
    label->setToolTipText("A tip");
    button->setEnabled(false);
    label->setVisible(false);
    EXPECT_EQ(ql->text(), "Second");
    EXPECT_EQ(ql->toolTip(), "A tip");
    EXPECT_FALSE(qb->isEnabled());
    EXPECT_FALSE(ql->isVisible());
    label->setVisible(true);
    EXPECT_TRUE(ql->isVisible());

    // Explicit colours are the control's; system colours stay the style's.
    label->setForeColor(0x0000FF);
    EXPECT_EQ(ql->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    label->setFont(Font{.name = "Arial", .size = 12, .bold = true});
    EXPECT_TRUE(ql->font().bold());
    EXPECT_EQ(ql->font().pixelSize(), 16);  // 12 points at 96 dpi
}

TEST_F(MirrorTest, StackingFollowsZOrder) {
    auto a = form->create<Control>("Panel", "a");
    auto b = form->create<Control>("Panel", "b");
    a->Move(0, 0, 1500, 1500);
    b->Move(0, 0, 1500, 1500);
    form->show();
    settle();
    QWidget* top = widgetOf(*form);
    EXPECT_EQ(top->childAt(10, 10), widgetOf(*b));  // added last, in front
    a->ZOrder(0);
    EXPECT_EQ(top->childAt(10, 10), widgetOf(*a));
    a->ZOrder(1);
    EXPECT_EQ(top->childAt(10, 10), widgetOf(*b));
}

TEST_F(MirrorTest, ControlsAddedAndRemovedLaterAreFollowed) {
    form->show();
    settle();
    const std::size_t before = backend->mirror().peerCount();
    auto late = form->create<Label>("late");
    late->setCaption("Late");
    EXPECT_NE(widgetOf(*late), nullptr);
    EXPECT_EQ(backend->mirror().peerCount(), before + 1);
    form->remove(*late);
    EXPECT_EQ(widgetOf(*late), nullptr);
    EXPECT_EQ(backend->mirror().peerCount(), before);
}

TEST_F(MirrorTest, MouseInputArrivesInTheControlsOwnUnits) {
    auto twips = form->create<Control>("Panel", "tw");
    twips->Move(0, 0, 3000, 1500);
    auto pixels = form->create<PictureBox>("px");
    pixels->setScaleMode(ScaleMode::Pixels);
    pixels->Move(0, 1500, 3000, 1500);
    std::vector<std::tuple<std::string, int, int, float, float>> seen;
    auto record = [&](std::string who) {
        return [&seen, who](std::int16_t b, std::int16_t s, float x, float y) { seen.emplace_back(who, b, s, x, y); };
    };
    twips->MouseDown.connect(record("tw down"));
    pixels->MouseDown.connect(record("px down"));
    pixels->MouseUp.connect(record("px up"));
    int clicks = 0;
    pixels->Click.connect([&] { ++clicks; });
    QWidget* win = show(form);
    (void)win;

    QTest::mousePress(widgetOf(*twips), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseRelease(widgetOf(*twips), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseClick(widgetOf(*pixels), Qt::LeftButton, Qt::ControlModifier, QPoint(7, 9));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(std::string("tw down"), 2, 1, 150.f, 300.f));
    EXPECT_EQ(seen[1], std::make_tuple(std::string("px down"), 1, 2, 7.f, 9.f));
    EXPECT_EQ(seen[2], std::make_tuple(std::string("px up"), 1, 2, 7.f, 9.f));
    EXPECT_EQ(clicks, 1);
}

TEST_F(MirrorTest, ButtonsOptionsAndTextBoxesReportThroughTheControls) {
    auto button = form->create<CommandButton>("cmd");
    button->Move(0, 0, 1500, 450);
    auto opt1 = form->create<OptionButton>("opt1");
    opt1->Move(0, 600, 1500, 300);
    auto opt2 = form->create<OptionButton>("opt2");
    opt2->Move(0, 900, 1500, 300);
    auto text = form->create<TextBox>("txt");
    text->Move(0, 1500, 3000, 375);
    int buttonClicks = 0, changes = 0;
    button->Click.connect([&] { ++buttonClicks; });
    text->Change.connect([&] { ++changes; });
    show(form);

    QTest::mouseClick(widgetOf(*button), Qt::LeftButton);
    EXPECT_EQ(buttonClicks, 1);
    opt1->setValue(true);
    // On the indicator: that is where a radio button takes presses.
    QTest::mouseClick(widgetOf(*opt2), Qt::LeftButton, {}, QPoint(7, 10));
    EXPECT_TRUE(opt2->Value());
    EXPECT_FALSE(opt1->Value());  // the group is the control's
    EXPECT_FALSE(static_cast<QAbstractButton*>(widgetOf(*opt1))->isChecked());

    widgetOf(*text)->setFocus();
    QTest::keyClicks(widgetOf(*text), "ok");
    EXPECT_EQ(text->Text(), "ok");
    EXPECT_EQ(changes, 2);
    text->setText("from code");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widgetOf(*text))->text(), "from code");
    text->setLocked(true);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(widgetOf(*text))->isReadOnly());
}

TEST_F(MirrorTest, EnterPressesTheDefaultButtonAndTheFrameClosesTheForm) {
    auto ok = form->create<CommandButton>("cmdOK");
    ok->setDefault(true);
    ok->Move(0, 0, 1500, 450);
    auto text = form->create<TextBox>("txt");
    text->Move(0, 600, 1500, 375);
    int okClicks = 0;
    ok->Click.connect([&] { ++okClicks; });
    std::int16_t refuse = 1;
    form->QueryUnload.connect([&](std::int16_t& cancel, std::int16_t) { cancel = refuse; });
    QWidget* win = show(form);
    widgetOf(*text)->setFocus();
    QTest::keyClick(widgetOf(*text), Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);

    win->close();
    settle();
    EXPECT_TRUE(form->isLoaded());
    EXPECT_TRUE(win->isVisible());
    refuse = 0;
    win->close();
    settle();
    EXPECT_FALSE(form->isLoaded());
    EXPECT_FALSE(win->isVisible());
}

TEST_F(MirrorTest, ResizingTheWindowResizesTheForm) {
    int resized = 0;
    form->Resize.connect([&] { ++resized; });
    QWidget* win = show(form);
    win->resize(500, 250);
    settle();
    EXPECT_EQ(form->widthTwips(), 7500);
    EXPECT_EQ(form->heightTwips(), 3750);
    EXPECT_GE(resized, 1);
}
