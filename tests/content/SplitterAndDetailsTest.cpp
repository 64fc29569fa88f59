// The splitter bar (state toggle, pictures, layout, events, stored
// properties) and the details pane (client rectangle, layout in the four
// orientations, the toggle that keeps the outer edge, stored properties).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/XMsnSplit.h"
#include "content/XTgDetailsPane.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "progress/XTransparentImage.h"
#include "resources/TextBitmap.h"

using namespace tavixTGCL2;

namespace {


struct Recorder {
    std::vector<std::string> keys;
    explicit Recorder(Control& c) {
        c.PropertyChangedEvent.connect([this](const std::string& k) { keys.push_back(k); });
    }
};

// A details pane sited on a form, as a host or the procedure pane has it.
struct Sited {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frm");
    std::shared_ptr<XTgDetailsPane> pane = form->create<XTgDetailsPane>();
    std::vector<std::string> events;
    Sited() {
        form->moveTwips(0, 0, 8000, 6000);
        pane->Move(1000, 500, 2685, 3000);
        pane->Resize.connect([this] { events.push_back("Resize"); });
        pane->ExpandCollapse.connect([this] { events.push_back("ExpandCollapse"); });
    }
};

}  // namespace

TEST(Splitter, ClicksToggleBetweenTheVisibleStates) {
    XMsnSplit split;
    int clicks = 0;
    split.Click.connect([&] { ++clicks; });
    Recorder changed(split);
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 3; ++i) {
        split.doClick();
        seen.push_back(split.State());
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 0, 1}));
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(changed.keys.empty());  // a toggle is not a stored change

    split.setState(2);
    EXPECT_EQ(split.buttonPicture(), 102);
    split.caption().doClick();  // the caption is part of the bar
    EXPECT_EQ(split.State(), 0);
    EXPECT_EQ(split.buttonPicture(), 101);
    EXPECT_EQ(split.button().Picture(), Resources::LoadResPicture(101));

    split.setState(3);
    EXPECT_EQ(split.buttonPicture(), 101);
    split.button().doClick();
    EXPECT_EQ(split.State(), 0);

    split.setState(7);
    EXPECT_EQ(split.State(), 7);
    EXPECT_EQ(split.buttonPicture(), 101);
    split.doClick();
    EXPECT_EQ(split.State(), 7);
    EXPECT_EQ(clicks, 6);

    changed.keys.clear();
    split.setState(7);
    EXPECT_TRUE(changed.keys.empty());
    split.setState(1);
    EXPECT_EQ(changed.keys, (std::vector<std::string>{"State"}));
}

TEST(Splitter, ButtonPicturesShowTheirChevrons) {
    // The chevrons point the way the splitter moves: the upper one's tip
    // row is above its arms in 101 and below them in 102.
    const Surface& up = Resources::LoadResPicture(101)->pixels();
    const Surface& down = Resources::LoadResPicture(102)->pixels();
    ASSERT_EQ(up.width(), 15);
    ASSERT_EQ(up.height(), 15);
    const Pixel chevron = up.pixel(7, 3);
    EXPECT_EQ(up.pixel(4, 6), chevron);
    EXPECT_NE(up.pixel(4, 3), chevron);
    EXPECT_EQ(down.pixel(7, 11), chevron);
    EXPECT_EQ(down.pixel(4, 8), chevron);
    EXPECT_EQ(up.pixel(0, 0), pixelFromColorRef(RGB(140, 170, 230)));  // the bar's colour round the button
}

TEST(Splitter, LayoutCentresTheButtonAndCaption) {
    XMsnSplit split;
    split.setCaption("Test results");
    split.Move(0, 0, 7000, 240);
    EXPECT_EQ(split.button().Left(), 45);
    EXPECT_EQ(split.button().Height(), 225);
    EXPECT_EQ(split.button().Top(), 8);  // 7.5, held in whole twips
    EXPECT_EQ(split.caption().Left(), 360);
    EXPECT_EQ(split.caption().Top(), (240 - split.caption().Height()) / 2);
    split.Move(0, 0, 7000, 600);
    EXPECT_EQ(split.button().Top(), 188);  // 187.5
    EXPECT_EQ(split.button().Width(), 225);
}

TEST(Splitter, MouseActionsOfEveryPartComeUnconverted) {
    XMsnSplit split;
    std::vector<std::vector<float>> got;
    split.MouseDown.connect([&](std::int16_t b, std::int16_t s, float x, float y) { got.push_back({0, float(b), float(s), x, y}); });
    split.MouseMove.connect([&](std::int16_t b, std::int16_t s, float x, float y) { got.push_back({1, float(b), float(s), x, y}); });
    split.button().doMouseDown(2, 0, 10, 20);
    split.caption().doMouseMove(0, 1, 30, 40);
    split.doMouseDown(1, 0, 500, 60);
    EXPECT_EQ(got, (std::vector<std::vector<float>>{{0, 2, 0, 10, 20}, {1, 0, 1, 30, 40}, {0, 1, 0, 500, 60}}));
}

TEST(Splitter, StateAndCaptionRoundTripThroughTheTextForm) {
    XMsnSplit split;
    EXPECT_EQ(split.Caption(), "(rt)");
    split.setState(2);
    split.setCaption("Résultats");
    split.WriteProperties();
    XMsnSplit back;
    back.propertyBag() = PropertyBag::parse(split.propertyBag().toText());
    back.ReadProperties();
    EXPECT_EQ(back.State(), 2);
    EXPECT_EQ(back.buttonPicture(), 102);
    EXPECT_EQ(back.Caption(), "Résultats");

    XMsnSplit empty;
    empty.ReadProperties();
    EXPECT_EQ(empty.Caption(), "");
    EXPECT_EQ(empty.State(), 0);
}

TEST(DetailsPane, ClientRectangleIsInsideTheFrameBorder) {
    Sited s;
    EXPECT_EQ(s.pane->frame().borderPixels(), 1);
    EXPECT_FLOAT_EQ(s.pane->ClientLeft(), 15);
    EXPECT_FLOAT_EQ(s.pane->ClientTop(), 15);
    EXPECT_FLOAT_EQ(s.pane->ClientWidth(), 2685 - 120 - 30);
    EXPECT_FLOAT_EQ(s.pane->ClientHeight(), 3000 - 30);
    EXPECT_EQ(s.pane->flipTab().Left(), 2685 - 120);
    EXPECT_EQ(s.pane->flipTab().Top(), 0);
}

TEST(DetailsPane, CollapseAndExpandKeepTheRightEdge) {
    Sited s;
    Recorder changed(*s.pane);
    s.pane->setExpanded(false);
    EXPECT_FALSE(s.pane->Expanded());
    EXPECT_FALSE(s.pane->frame().Visible());
    EXPECT_EQ(s.pane->Left(), 3565);
    EXPECT_EQ(s.pane->Width(), 120);
    EXPECT_EQ(s.pane->Left() + s.pane->Width(), 1000 + 2685);
    EXPECT_EQ(s.pane->flipTab().Left(), 0);
    EXPECT_FLOAT_EQ(s.pane->ExpandWidth(), 2685);
    ASSERT_FALSE(s.events.empty());
    EXPECT_EQ(s.events.back(), "ExpandCollapse");
    EXPECT_EQ(s.events[s.events.size() - 2], "Resize");
    EXPECT_EQ(changed.keys, (std::vector<std::string>{"ExpandWidth", "Expanded"}));

    // A resize while collapsed keeps the tab's width.
    s.pane->Move(3565, 500, 900, 2000);
    EXPECT_EQ(s.pane->Width(), 120);

    s.events.clear();
    s.pane->flipTab().doClick();  // the flip tab is opaque everywhere at its top left
    EXPECT_TRUE(s.pane->Expanded());
    EXPECT_EQ(s.pane->Left(), 1000);
    EXPECT_EQ(s.pane->Width(), 2685);
    EXPECT_EQ(s.events, (std::vector<std::string>{"Resize", "ExpandCollapse"}));

    s.events.clear();
    s.pane->setExpanded(true);
    EXPECT_TRUE(s.events.empty());
}

TEST(DetailsPane, LeftOrientationsKeepTheLeftEdgeAndTheFrameHeight) {
    Sited s;
    s.pane->setOrientation(edpoOrientLeftBottom);
    EXPECT_EQ(s.pane->flipPicture(), 103);
    EXPECT_EQ(s.pane->flipTab().Picture(), Resources::LoadResPicture(103));
    EXPECT_EQ(s.pane->flipTab().MaskColor(), 255u);
    EXPECT_EQ(s.pane->flipTab().Left(), 0);
    EXPECT_EQ(s.pane->flipTab().Top(), 3000 - 495);
    EXPECT_EQ(s.pane->frame().Left(), 120);
    s.pane->Move(1000, 500, 2685, 4000);
    EXPECT_EQ(s.pane->frame().Height(), 3000);  // not changed by the pass
    EXPECT_FLOAT_EQ(s.pane->ClientHeight(), 3000 - 30);

    s.pane->setExpanded(false);
    EXPECT_EQ(s.pane->Left(), 1000);
    EXPECT_EQ(s.pane->Width(), 120);
    s.pane->setExpanded(true);
    EXPECT_EQ(s.pane->Left(), 1000);
    EXPECT_EQ(s.pane->Width(), 2685);
}

TEST(DetailsPane, OrientationValuesAndThePictureTheyLoad) {
    Sited s;
    Recorder flip(s.pane->flipTab());
    s.pane->setOrientation(edpoOrientRightTop);
    EXPECT_TRUE(flip.keys.empty());  // the current value reloads nothing
    s.pane->setOrientation(edpoOrientRightBottom);
    EXPECT_EQ(s.pane->flipTab().Top(), 3000 - 495);
    EXPECT_EQ(s.pane->flipPicture(), 104);
    s.pane->setOrientation(9);
    EXPECT_EQ(s.pane->Orientation(), 9);
    EXPECT_EQ(s.pane->flipPicture(), 104);
    EXPECT_EQ(s.pane->flipTab().Left(), 2685 - 120);
    EXPECT_EQ(s.pane->flipTab().Top(), 0);
    EXPECT_EQ(s.pane->frame().Height(), 3000);
    // The two flip tabs mirror each other, rounded on the outer side.
    const Surface& right = Resources::LoadResPicture(104)->pixels();
    const Surface& left = Resources::LoadResPicture(103)->pixels();
    ASSERT_EQ(right.width(), 8);
    ASSERT_EQ(right.height(), 33);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(right.pixel(x, y), left.pixel(7 - x, y)) << x << "," << y;
    EXPECT_EQ(right.pixel(7, 0), 0xFFFF0000u);
    EXPECT_NE(right.pixel(0, 0), 0xFFFF0000u);
}

TEST(DetailsPane, StoredPropertiesRoundTripAndACollapsedLoadKeepsItsWidth) {
    Sited s;
    s.pane->setBackColor(0xE0FFFF);
    s.pane->setOrientation(edpoOrientRightBottom);
    s.pane->Move(1000, 500, 3000, 3000);
    s.pane->setExpanded(false);
    s.pane->WriteProperties();
    const std::string text = s.pane->propertyBag().toText();

    Sited t;
    t.pane->propertyBag() = PropertyBag::parse(text);
    t.pane->ReadProperties();
    EXPECT_EQ(t.pane->BackColor(), 0xE0FFFFu);
    EXPECT_EQ(t.pane->frame().FillColor(), 0xE0FFFFu);
    EXPECT_EQ(t.pane->Orientation(), edpoOrientRightBottom);
    EXPECT_FALSE(t.pane->Expanded());
    EXPECT_EQ(t.pane->Width(), 120);
    EXPECT_FLOAT_EQ(t.pane->ExpandWidth(), 3000);
    t.pane->setExpanded(true);
    EXPECT_EQ(t.pane->Width(), 3000);

    Sited u;
    u.pane->WriteProperties();
    EXPECT_EQ(u.pane->propertyBag().size(), 0u);
    u.pane->ReadProperties();
    EXPECT_TRUE(u.pane->Expanded());
    EXPECT_EQ(u.pane->BackColor(), u.pane->Control::BackColor());
}
