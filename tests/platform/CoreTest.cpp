#include <gtest/gtest.h>

#include "frame/ServicesScope.h"
#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/Event.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/Presenter.h"
#include "platform/PropertyBag.h"
#include "platform/StandardControls.h"
#include "platform/Variant.h"

using namespace tavixTGCL2;

TEST(Variant, ConvertsLikeAHostValue) {
    EXPECT_EQ(Variant("  42 ").toInt32(), 42);
    EXPECT_EQ(Variant("&H1F").toInt32(), 31);
    EXPECT_EQ(Variant().toString(), "");
    EXPECT_EQ(Variant(true).toInt16(), -1);
    EXPECT_EQ(Variant(2.5).toInt32(), 2);  // banker's rounding
    EXPECT_EQ(Variant(3.5).toInt32(), 4);
    EXPECT_THROW(Variant("abc").toInt32(), Error);
    EXPECT_THROW(Variant(40000).toInt16(), Error);
    EXPECT_THROW(Variant("1e300").toInt32(), Error);
    EXPECT_TRUE(Variant(std::int16_t(1)) == Variant(1));
    EXPECT_FALSE(Variant("1") == Variant(1));
}

TEST(PropertyBag, DefaultsAreNotStoredAndTextRoundTrips) {
    PropertyBag bag;
    bag.WriteProperty("State", 0, 0);
    EXPECT_FALSE(bag.contains("State"));
    bag.WriteProperty("State", 2, 0);
    bag.WriteProperty("Caption", std::string("Line 1\n\"quoted\"\t\x01\\"), std::string());
    bag.WriteProperty("Visible", false, true);
    bag.WriteProperty("Ratio", 0.25, 0.0);
    EXPECT_EQ(bag.ReadProperty("state", 7).toInt32(), 2);  // keys match case-insensitively
    EXPECT_EQ(bag.ReadProperty("Missing", 7).toInt32(), 7);

    PropertyBag back = PropertyBag::parse(bag.toText());
    EXPECT_EQ(back.size(), 4u);
    EXPECT_EQ(back.ReadProperty("Caption").toString(), "Line 1\n\"quoted\"\t\x01\\");
    EXPECT_EQ(back.ReadProperty("Visible", true).type(), Variant::Type::Bool);
    EXPECT_FALSE(back.ReadProperty("Visible", true).toBool());
    EXPECT_DOUBLE_EQ(back.ReadProperty("Ratio").toDouble(), 0.25);

    // Writing the default again removes the stored value.
    back.WriteProperty("State", 0, 0);
    EXPECT_FALSE(back.contains("State"));
}

TEST(PropertyBag, BadTextIsRefusedWithItsLine) {
    std::string err;
    EXPECT_FALSE(PropertyBag::tryParse("# c\nA = I4 1\nB = I4 x\n", &err));
    EXPECT_NE(err.find("line 3"), std::string::npos) << err;
    EXPECT_FALSE(PropertyBag::tryParse("A = STR \"open\n", &err));
    EXPECT_FALSE(PropertyBag::tryParse("A = STR \"bad \\q\"\n", &err));
    EXPECT_FALSE(PropertyBag::tryParse("A = STR \"short \\x4\"\n", &err));
    EXPECT_FALSE(PropertyBag::tryParse("A = I2 70000\n", &err));
    EXPECT_FALSE(PropertyBag::tryParse("A = WHAT 1\n", &err));
    PropertyBag bag;
    EXPECT_THROW(bag.WriteProperty("a=b", 1), Error);
    EXPECT_THROW(bag.WriteProperty("", 1), Error);
}

TEST(Event, ByReferenceArgumentsAndDisconnectWhileRaising) {
    Event<std::int16_t&> keyPress;
    Connection second;
    int secondRuns = 0;
    keyPress.connect([&](std::int16_t& k) {
        k = 0;  // a handler may swallow the key
        second.disconnect();
    });
    second = keyPress.connect([&](std::int16_t&) { ++secondRuns; });
    std::int16_t key = 65;
    keyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(secondRuns, 0);  // disconnected before its turn came
    EXPECT_FALSE(second.connected());
}

class LoopTest : public ::testing::Test {
protected:
    void SetUp() override { loop.useVirtualClock(true); }
    EventLoop loop;
};

TEST_F(LoopTest, VirtualClockRunsExactlyTheDueTicksInOrder) {
    std::vector<int> order;
    loop.startTimer(150, [&] { order.push_back(150); });
    TimerId fast = loop.startTimer(100, [&] { order.push_back(100); });
    loop.advance(299);
    EXPECT_EQ(order, (std::vector<int>{100, 150, 100}));
    loop.stopTimer(fast);
    loop.advance(1);
    EXPECT_EQ(order.back(), 150);
    EXPECT_EQ(order.size(), 4u);
}

TEST_F(LoopTest, WaitIsBoundedAndEndsWhenTheConditionClears) {
    bool busy = true;
    loop.startTimer(50, [&] { busy = false; });
    EXPECT_TRUE(loop.waitWhile([&] { return busy; }, 1000));
    EXPECT_EQ(loop.nowMs(), 50);

    // A condition that never clears times out instead of hanging.
    EXPECT_FALSE(loop.waitWhile([] { return true; }, 500));
    EXPECT_GE(loop.nowMs(), 550);
}

TEST_F(LoopTest, AdvanceRunsWorkThatPostsFurtherWork) {
    int steps = 0;
    std::function<void()> step = [&] {
        if (++steps < 3) loop.post(step);
    };
    loop.post(step);
    loop.advance(0);
    EXPECT_EQ(steps, 3);
    int forever = 0;
    std::function<void()> again = [&] {
        ++forever;
        loop.post(again);
    };
    loop.post(again);
    loop.advance(10);  // bounded: returns although the work never ends
    EXPECT_GT(forever, 1);
}

TEST_F(LoopTest, FailingCallbacksDoNotStopTheLoop) {
    int ran = 0;
    loop.post([] { throw Error("boom"); });
    loop.post([&] { ++ran; });
    // Host code fails with Error; anything else would be an internal fault,
    // which the test switch turns into a failure (see DiagnosticsTest).
    loop.startTimer(10, [] { throw Error(errIo, "tick"); });
    std::vector<std::string> contained;
    {
        ServicesScope services;
        setDiagnosticsSink([&](const ContainedError& e) { contained.push_back(e.operation() + ": " + e.text); });
        loop.advance(30);
    }
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(loop.activeTimers(), 1u);
    EXPECT_EQ(contained, (std::vector<std::string>{"EventLoop::runPosted: boom", "EventLoop::runOneDueTimer: tick",
                                                   "EventLoop::runOneDueTimer: tick",
                                                   "EventLoop::runOneDueTimer: tick"}));
}

TEST(Control, GeometryInParentUnitsAndMoveFailure) {
    auto form = std::make_shared<Control>("Form", "frm");
    auto pic = form->create<Control>("PictureBox", "pbo");
    pic->setScaleMode(ScaleMode::Pixels);
    auto inner = pic->create<Control>("Label", "lbl");
    pic->Move(150, 300, 1500, 450);
    inner->Move(2, 3, 10, 20);  // pixels, the picture box's own units
    EXPECT_EQ(inner->widthTwips(), 150);
    EXPECT_EQ(pic->ScaleWidth(), 100);
    pic->setBorderPixels(2);
    EXPECT_EQ(pic->ScaleWidth(), 96);

    EXPECT_THROW(pic->Move(0, 0, -1, 10), Error);
    EXPECT_EQ(pic->Left(), 150);  // a failed Move leaves the control where it was
    VariantList args{Variant(10), Variant(20), Variant(30), Variant(40)};
    pic->invoke("Move", args);
    EXPECT_EQ(pic->Height(), 40);
    pic->setProperty("Visible", false);
    EXPECT_FALSE(inner->isShown());
    VariantList none;
    EXPECT_THROW(pic->invoke("NoSuchMember", none), Error);
}

TEST(Control, ZOrderAndTreeSafety) {
    auto root = std::make_shared<Control>("Form");
    auto a = root->create<Control>("Label", "a");
    auto b = root->create<Control>("Label", "b");
    EXPECT_EQ(b->zIndex(), 1);
    a->ZOrder(0);
    EXPECT_EQ(root->Children().back().get(), a.get());
    a->ZOrder(1);
    EXPECT_EQ(root->Children().front().get(), a.get());
    EXPECT_THROW(a->add(root), Error);  // no cycles
    root->remove(*a);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(root->find("b"), b.get());
}

TEST(StandardControls, OptionGroupAndListSelection) {
    auto frame = std::make_shared<Control>("Frame");
    auto o1 = frame->create<OptionButton>("o1");
    auto o2 = frame->create<OptionButton>("o2");
    int clicks = 0;
    o2->Click.connect([&] { ++clicks; });
    o1->setValue(true);
    o2->doClick();
    EXPECT_FALSE(o1->Value());
    EXPECT_TRUE(o2->Value());
    EXPECT_EQ(clicks, 1);

    ListView lv;
    auto text = [](const char* t) {
        ListItem item;
        item.Text = t;
        return item;
    };
    lv.addItem(text("a"));
    lv.addItem(text("c"));
    lv.addItem(text("b"), 2);
    lv.setSelectedIndex(3);
    lv.removeItem(1);
    EXPECT_EQ(lv.selectedIndex(), 2);
    EXPECT_EQ(lv.item(1).Text, "b");
    EXPECT_THROW(lv.item(5), Error);

    ComboBox cbo;
    EXPECT_THROW(cbo.setListIndex(0), Error);
}

TEST(Presenter, ModalFormsAlwaysEndAndAnswersAreScripted) {
    ServicesScope services;
    auto sp = std::make_shared<ScriptedPresenter>();
    setPresenter(sp);
    Form dlg("dlg");
    auto ok = dlg.create<CommandButton>("cmdOk");
    ok->setDefault(true);
    bool pressed = false;
    ok->Click.connect([&] {
        pressed = true;
        dlg.hide();
    });
    sp->onModal([](Form& f) { f.pressKey(13); });
    dlg.show(true);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(dlg.Visible());

    // No script: closed through the frame, with QueryUnload told so.
    std::int16_t mode = -1;
    Form other("other");
    other.QueryUnload.connect([&](std::int16_t&, std::int16_t m) { mode = m; });
    other.show(true);
    EXPECT_EQ(mode, vbFormControlMenu);
    EXPECT_FALSE(other.isLoaded());

    // The host drops its last reference from inside the modal loop: the
    // form lives until its show returns (ASan saw the write after free).
    auto owned = std::make_shared<Form>("owned");
    std::weak_ptr<Form> watch = owned;
    sp->onModal([&](Form& f) {
        f.hide();
        owned.reset();
    });
    Form* raw = owned.get();
    raw->show(true);
    EXPECT_TRUE(watch.expired());

    EXPECT_EQ(presenter().messageBox("Sure?", vbYesNo | vbDefaultButton2, "t"), vbNo);
    sp->answerMessageBox(vbYes);
    EXPECT_EQ(presenter().messageBox("Sure?", vbYesNo, "t"), vbYes);
}
