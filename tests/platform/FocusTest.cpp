// The focus model and the keyboard path: tab order by container, what can
// take the focus, focus events and their notifications, where keys go, and
// the standard controls' own keys. Everything is driven by key events.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/CommandBars.h"
#include "platform/Error.h"
#include "platform/Form.h"
#include "platform/KeyCodes.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

ListItem item(const char* text) {
    ListItem i;
    i.Text = text;
    return i;
}

std::string focusName(const Control& anyInWindow) {
    const Control* f = anyInWindow.ActiveControl();
    return f ? f->Name() : std::string("(none)");
}

// The names Tab (or Shift+Tab) visits, n presses.
std::vector<std::string> tabWalk(Form& form, int n, bool back = false) {
    std::vector<std::string> seen;
    for (int i = 0; i < n; ++i) {
        form.sendKeyDown(vbKeyTab, back ? vbShiftMask : 0);
        seen.push_back(focusName(form));
    }
    return seen;
}

struct FocusLog : ControlObserver {
    std::vector<std::string> events;
    void controlAdded(Control&, Control&) override {}
    void controlRemoved(Control&, Control&) override {}
    void controlChanged(Control& c, Change what) override {
        if (what == Change::Focus) events.push_back(c.Name() + (c.hasFocus() ? "+" : "-"));
        if (what == Change::TabOrder) events.push_back(c.Name() + " order");
    }
    FocusLog() { Control::setObserver(this); }
    ~FocusLog() override { Control::setObserver(nullptr); }
};

// A dialog-like form: a text box, a frame with two option buttons and a
// check box, a list, and two buttons, added in that order.
struct Dialog {
    std::shared_ptr<Form> form = std::make_shared<Form>("frm");
    std::shared_ptr<TextBox> txt = form->create<TextBox>("txt");
    std::shared_ptr<Control> fra = form->create<Control>("Frame", "fra");
    std::shared_ptr<OptionButton> opt0 = fra->create<OptionButton>("opt0");
    std::shared_ptr<OptionButton> opt1 = fra->create<OptionButton>("opt1");
    std::shared_ptr<CheckBox> chk = fra->create<CheckBox>("chk");
    std::shared_ptr<Label> lbl = form->create<Label>("lbl");
    std::shared_ptr<ListView> lvw = form->create<ListView>("lvw");
    std::shared_ptr<CommandButton> ok = form->create<CommandButton>("ok");
    std::shared_ptr<CommandButton> cancel = form->create<CommandButton>("cancel");
};

}  // namespace

TEST(Focus, ShowingAFormFocusesTheFirstControlInTabOrder) {
    Dialog d;
    EXPECT_EQ(d.form->ActiveControl(), nullptr);
    EXPECT_FALSE(d.txt->isFocusable());  // the form is not shown yet
    EXPECT_FALSE(d.txt->SetFocus());
    d.form->show();
    EXPECT_EQ(focusName(*d.form), "txt");
    EXPECT_TRUE(d.txt->hasFocus());
    EXPECT_EQ(d.ok->ActiveControl(), d.txt.get());  // any control of the window tells

    // Shown again, the form keeps the focus where it was left.
    d.lvw->SetFocus();
    d.form->hide();
    d.form->show();
    EXPECT_EQ(focusName(*d.form), "lvw");
}

TEST(Focus, TabGoesInTabIndexOrderThroughContainersAndWrapsRound) {
    Dialog d;
    d.form->show();
    // Labels and frames take no focus; of the option group only the first
    // is a stop while none is selected.
    EXPECT_EQ(tabWalk(*d.form, 6), (std::vector<std::string>{"opt0", "chk", "lvw", "ok", "cancel", "txt"}));
    EXPECT_EQ(tabWalk(*d.form, 3, true), (std::vector<std::string>{"cancel", "ok", "lvw"}));

    // TabIndex orders siblings; equal values keep z-order (back to front).
    d.cancel->setTabIndex(0);
    d.fra->setTabIndex(0);
    d.txt->setTabIndex(9);
    EXPECT_EQ(d.fra->TabIndex(), 0);
    // Siblings in tab order now: fra (0, behind cancel), cancel (0), lvw, ok, txt (9).
    d.txt->SetFocus();
    EXPECT_EQ(tabWalk(*d.form, 6), (std::vector<std::string>{"opt0", "chk", "cancel", "lvw", "ok", "txt"}));

    // A selected option is the group's one stop.
    d.opt1->setValue(true);
    d.txt->SetFocus();
    EXPECT_EQ(tabWalk(*d.form, 2), (std::vector<std::string>{"opt1", "chk"}));
}

TEST(Focus, DisabledHiddenAndNonStopControlsAreSkipped) {
    Dialog d;
    d.form->show();
    d.lvw->setEnabled(false);
    d.chk->setVisible(false);
    d.ok->setTabStop(false);
    EXPECT_FALSE(d.lvw->isFocusable());
    EXPECT_FALSE(d.chk->isFocusable());
    EXPECT_TRUE(d.ok->isFocusable());
    EXPECT_EQ(tabWalk(*d.form, 4), (std::vector<std::string>{"opt0", "cancel", "txt", "opt0"}));

    // Without TabStop a control still takes the focus it is given, and Tab
    // goes on from its place.
    EXPECT_TRUE(d.ok->SetFocus());
    EXPECT_EQ(tabWalk(*d.form, 1), std::vector<std::string>{"cancel"});
    d.ok->SetFocus();
    EXPECT_EQ(tabWalk(*d.form, 1, true), std::vector<std::string>{"opt0"});

    // A disabled container keeps its children out of reach.
    d.fra->setEnabled(false);
    EXPECT_FALSE(d.opt0->isFocusable());
    EXPECT_FALSE(d.opt0->SetFocus());
    d.txt->SetFocus();
    EXPECT_EQ(tabWalk(*d.form, 2), (std::vector<std::string>{"cancel", "txt"}));

    // Labels never take it.
    EXPECT_FALSE(d.lbl->CanGetFocus());
    EXPECT_FALSE(d.lbl->SetFocus());
    EXPECT_EQ(focusName(*d.form), "txt");
}

TEST(Focus, TabOrderListsTheStopsTabVisitsWhetherOrNotTheyCanTakeTheFocusNow) {
    Dialog d;
    auto names = [](const std::vector<Control*>& order) {
        std::vector<std::string> out;
        for (const Control* c : order) out.push_back(c->Name());
        return out;
    };
    d.form->show();
    // A hidden or disabled control keeps its place; any control of the
    // window gives the window's order.
    d.chk->setVisible(false);
    d.lvw->setEnabled(false);
    EXPECT_EQ(names(d.ok->tabOrder()), (std::vector<std::string>{"txt", "opt0", "chk", "lvw", "ok", "cancel"}));
    d.ok->setTabStop(false);
    d.cancel->setTabIndex(0);
    d.opt1->setValue(true);
    EXPECT_EQ(names(d.form->tabOrder()), (std::vector<std::string>{"txt", "cancel", "opt1", "chk", "lvw"}));
}

TEST(Focus, WithNothingToFocusTabIsNotUsed) {
    Form form("frm");
    form.create<Label>("lbl");
    form.show();
    EXPECT_EQ(form.ActiveControl(), nullptr);
    EXPECT_FALSE(form.sendKeyDown(vbKeyTab));
    EXPECT_FALSE(form.moveFocus(false));
    // A single control keeps the focus round the wrap.
    auto only = form.create<TextBox>("txt");
    EXPECT_TRUE(form.sendKeyDown(vbKeyTab));
    EXPECT_TRUE(form.sendKeyDown(vbKeyTab));
    EXPECT_TRUE(only->hasFocus());
}

TEST(Focus, EventsComeInOrderAndTheObserverHearsBothSides) {
    Dialog d;
    std::vector<std::string> order;
    d.txt->LostFocus.connect([&] { order.push_back("txt lost"); });
    d.lvw->GotFocus.connect([&] { order.push_back("lvw got"); });
    d.lvw->LostFocus.connect([&] { order.push_back("lvw lost"); });
    d.form->show();
    FocusLog log;
    d.lvw->SetFocus();
    EXPECT_EQ(order, (std::vector<std::string>{"txt lost", "lvw got"}));
    EXPECT_EQ(log.events, (std::vector<std::string>{"txt-", "lvw+"}));

    // Focusing the focused control again tells nobody.
    log.events.clear();
    EXPECT_TRUE(d.lvw->SetFocus());
    EXPECT_TRUE(log.events.empty());

    d.ok->setTabStop(false);
    d.ok->setTabIndex(7);
    d.ok->setTabIndex(7);  // unchanged: no word
    EXPECT_EQ(log.events, (std::vector<std::string>{"ok order", "ok order"}));
}

TEST(Focus, AHandlerThatMovesTheFocusOnHasTheLastWord) {
    Dialog d;
    d.form->show();
    d.txt->LostFocus.connect([&] { d.ok->SetFocus(); });
    bool lvwGot = false;
    d.lvw->GotFocus.connect([&] { lvwGot = true; });
    EXPECT_FALSE(d.lvw->SetFocus());
    EXPECT_FALSE(lvwGot);
    EXPECT_EQ(focusName(*d.form), "ok");
}

TEST(Focus, FailingFocusHandlersAreContained) {
    Dialog d;
    d.form->show();
    d.txt->LostFocus.connect([] { throw Error(errGeneric, "lost"); });
    d.lvw->GotFocus.connect([] { throw Error(errGeneric, "got"); });
    bool used = false;
    EXPECT_NO_THROW(used = d.form->sendKeyDown(vbKeyTab));
    EXPECT_TRUE(used);
    EXPECT_NO_THROW(d.lvw->SetFocus());
    EXPECT_TRUE(d.lvw->hasFocus());
}

TEST(Focus, TheFocusMovesOnWhenItsControlIsHiddenDisabledOrRemoved) {
    Dialog d;
    d.form->show();
    d.lvw->SetFocus();
    bool lost = false;
    d.lvw->LostFocus.connect([&] { lost = true; });
    d.lvw->setVisible(false);
    EXPECT_TRUE(lost);
    EXPECT_EQ(focusName(*d.form), "ok");

    d.ok->setEnabled(false);
    EXPECT_EQ(focusName(*d.form), "cancel");

    d.form->remove(*d.cancel);
    EXPECT_EQ(focusName(*d.form), "txt");
    EXPECT_FALSE(d.cancel->hasFocus());

    // Focus inside a container that goes away moves past all of it.
    d.opt0->SetFocus();
    d.fra->setVisible(false);
    EXPECT_EQ(focusName(*d.form), "txt");
    d.chk->setCanGetFocus(true);  // unchanged: nothing happens

    // Nothing left to take it: the window has no focus.
    d.txt->setEnabled(false);
    EXPECT_EQ(d.form->ActiveControl(), nullptr);

    // Hiding the window itself keeps the focus for its return.
    d.txt->setEnabled(true);
    d.txt->SetFocus();
    d.form->hide();
    EXPECT_EQ(d.form->ActiveControl(), d.txt.get());
}

TEST(Focus, KeysReachTheFocusedControlFirst) {
    Dialog d;
    d.form->show();
    std::vector<std::string> keys;
    d.txt->KeyDown.connect([&](std::int16_t& k, std::int16_t s) { keys.push_back("txt " + std::to_string(k) + "/" + std::to_string(s)); });
    d.txt->KeyPress.connect([&](std::int16_t& k) { keys.push_back("txt press " + std::to_string(k)); });
    d.form->KeyPress.connect([&](std::int16_t& k) { keys.push_back("form press " + std::to_string(k)); });
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyF5, vbCtrlMask));
    EXPECT_FALSE(d.form->pressKey('x'));
    EXPECT_EQ(keys, (std::vector<std::string>{"txt 116/2", "txt press 120"}));

    // A KeyDown handler that clears the code takes the key: Tab stays.
    d.txt->KeyDown.connect([](std::int16_t& k, std::int16_t) {
        if (k == vbKeyTab) k = 0;
    });
    EXPECT_TRUE(d.form->sendKeyDown(vbKeyTab));
    EXPECT_EQ(focusName(*d.form), "txt");

    // Nothing focused: typed keys go to the form.
    d.txt->setEnabled(false);
    d.fra->setEnabled(false);
    d.lvw->setEnabled(false);
    d.ok->setEnabled(false);
    d.cancel->setEnabled(false);
    ASSERT_EQ(d.form->ActiveControl(), nullptr);
    keys.clear();
    d.form->pressKey('y');
    EXPECT_EQ(keys, std::vector<std::string>{"form press 121"});
}

TEST(Focus, KeyBindingsGetWhatTheFocusedControlLeaves) {
    auto form = std::make_shared<Form>("frm");
    auto lvw = form->create<ListView>("lvw");
    lvw->addItem(item("a"));
    lvw->addItem(item("b"));
    auto bars = form->create<CommandBars>("cbr");
    auto bar = bars->Add("Run");
    bar->Controls().Add(cbcButton, 202, "Start");
    bar->Controls().Add(cbcButton, 103, "Next");
    bars->KeyBindings().Add(0, vbKeyF9, 202);
    bars->KeyBindings().Add(FCONTROL, vbKeyN, 103);
    bars->KeyBindings().Add(0, vbKeyDown, 103);  // shadowed by the list while it has the focus
    std::vector<std::int32_t> executed;
    bars->Execute.connect([&](std::shared_ptr<CommandBarControl> c) { executed.push_back(c->Id()); });
    form->show();
    ASSERT_TRUE(lvw->hasFocus());

    EXPECT_TRUE(form->sendKeyDown(vbKeyF9));
    EXPECT_TRUE(form->sendKeyDown(vbKeyN, vbCtrlMask));
    EXPECT_FALSE(form->sendKeyDown(vbKeyN));  // no binding without Ctrl
    EXPECT_TRUE(form->sendKeyDown(vbKeyDown));
    EXPECT_EQ(executed, (std::vector<std::int32_t>{202, 103}));
    EXPECT_EQ(lvw->selectedIndex(), 1);

    // Hidden or disabled command bars take no keys.
    bars->setVisible(false);
    EXPECT_FALSE(form->sendKeyDown(vbKeyF9));
    bars->setVisible(true);
    bars->setEnabled(false);
    EXPECT_FALSE(form->sendKeyDown(vbKeyF9));
    EXPECT_EQ(executed.size(), 2u);
}

TEST(Focus, ShiftF10AndTheMenuKeyAskTheFocusedControlForItsMenu) {
    Dialog d;
    d.form->show();
    d.lvw->Move(100, 200, 3000, 1500);
    std::vector<std::pair<float, float>> asked;
    d.lvw->ContextMenuRequested.connect([&](float x, float y) { asked.emplace_back(x, y); });
    d.lvw->SetFocus();
    EXPECT_TRUE(d.form->sendKeyDown(vbKeyF10, vbShiftMask));
    EXPECT_TRUE(d.form->sendKeyDown(vbKeyApps));
    EXPECT_TRUE(d.form->sendKeyDown(vbKeyApps, vbShiftMask));
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyF10));
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyF10, vbCtrlMask | vbShiftMask));
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyApps, vbAltMask));
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], (std::pair<float, float>{1500.f, 750.f}));  // the centre, in its own units

    // Only the focused control is asked.
    d.txt->SetFocus();
    EXPECT_TRUE(d.form->sendKeyDown(vbKeyApps));
    EXPECT_EQ(asked.size(), 3u);
}

TEST(Focus, LateBoundFocusMembers) {
    Dialog d;
    d.form->show();
    VariantList none;
    EXPECT_TRUE(d.ok->invoke("SetFocus", none).toBool());
    EXPECT_TRUE(d.ok->hasFocus());
    EXPECT_FALSE(d.lbl->invoke("SetFocus", none).toBool());
    d.ok->setProperty("TabIndex", 1);
    d.ok->setProperty("TabStop", false);
    EXPECT_EQ(d.ok->invoke("TabIndex", none).toInt32(), 1);
    EXPECT_FALSE(d.ok->invoke("TabStop", none).toBool());
    EXPECT_THROW(d.ok->setProperty("TabIndex", -1), Error);
    EXPECT_EQ(d.ok->TabIndex(), 1);
}

TEST(Focus, ControlsAddedLaterGetTheNextTabIndexOfTheirContainer) {
    Form form("frm");
    auto a = form.create<TextBox>("a");
    auto b = form.create<TextBox>("b");
    EXPECT_EQ(a->TabIndex(), 0);
    EXPECT_EQ(b->TabIndex(), 1);
    auto c = std::make_shared<TextBox>("c");
    c->setTabIndex(5);
    form.add(c);
    EXPECT_EQ(c->TabIndex(), 5);  // a set value is kept
    // Sending a control to the back changes its z-order, not its tab order.
    b->ZOrder(1);
    form.show();
    EXPECT_EQ(focusName(form), "a");
    EXPECT_EQ(tabWalk(form, 2), (std::vector<std::string>{"b", "c"}));
}

// --- the standard controls' keys ----------------------------------------------

TEST(StandardKeys, TheListMovesItsSelectionAsClicksWould) {
    Dialog d;
    for (const char* t : {"a", "b", "c", "d"}) d.lvw->addItem(item(t));
    std::vector<std::int32_t> clicks;
    d.lvw->ItemClick.connect([&](std::int32_t i) { clicks.push_back(i); });
    d.form->show();
    d.lvw->SetFocus();
    for (std::int16_t k : {vbKeyDown, vbKeyDown, vbKeyUp, vbKeyEnd, vbKeyDown, vbKeyHome, vbKeyUp})
        EXPECT_TRUE(d.form->sendKeyDown(k));
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{1, 2, 1, 4, 1}));
    EXPECT_EQ(d.lvw->selectedIndex(), 1);
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyDown, vbCtrlMask));  // not the list's

    d.lvw->clear();
    EXPECT_FALSE(d.form->sendKeyDown(vbKeyDown));
}

TEST(StandardKeys, SpacePressesButtonsAndTogglesCheckBoxes) {
    Dialog d;
    int clicks = 0;
    d.ok->Click.connect([&] { ++clicks; });
    d.form->show();
    d.ok->SetFocus();
    EXPECT_TRUE(d.form->sendKeyDown(vbKeySpace));
    EXPECT_EQ(clicks, 1);
    d.chk->SetFocus();
    d.form->sendKeyDown(vbKeySpace);
    EXPECT_EQ(d.chk->Value(), 1);
    d.form->sendKeyDown(vbKeySpace);
    EXPECT_EQ(d.chk->Value(), 0);
    // Enter still presses the default button, wherever the focus is.
    d.cancel->setDefault(true);
    int cancels = 0;
    d.cancel->Click.connect([&] { ++cancels; });
    EXPECT_TRUE(d.form->pressKey(13));
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(StandardKeys, ArrowsMoveAndSelectWithinAnOptionGroup) {
    Dialog d;
    auto opt2 = d.fra->create<OptionButton>("opt2");
    opt2->setEnabled(false);
    std::vector<std::string> clicks;
    for (auto* o : {d.opt0.get(), d.opt1.get(), opt2.get()})
        o->Click.connect([&clicks, o] { clicks.push_back(o->Name()); });
    d.form->show();
    d.opt0->SetFocus();
    d.form->sendKeyDown(vbKeySpace);
    d.form->sendKeyDown(vbKeyDown);
    EXPECT_EQ(focusName(*d.form), "opt1");
    EXPECT_TRUE(d.opt1->Value());
    d.form->sendKeyDown(vbKeyRight);  // past the disabled one, round to the first
    EXPECT_EQ(focusName(*d.form), "opt0");
    d.form->sendKeyDown(vbKeyUp);
    EXPECT_EQ(clicks, (std::vector<std::string>{"opt0", "opt1", "opt0", "opt1"}));
    EXPECT_FALSE(d.opt0->Value());
}

TEST(StandardKeys, ComboBoxChoosesWithTheArrows) {
    Form form("frm");
    auto cbo = form.create<ComboBox>("cbo");
    cbo->AddItem("Default");
    cbo->AddItem("Right to left");
    int clicks = 0;
    cbo->Click.connect([&] { ++clicks; });
    form.show();
    form.sendKeyDown(vbKeyDown);
    EXPECT_EQ(cbo->ListIndex(), 0);
    form.sendKeyDown(vbKeyEnd);
    form.sendKeyDown(vbKeyDown);
    EXPECT_EQ(cbo->ListIndex(), 1);
    form.sendKeyDown(vbKeyHome);
    EXPECT_EQ(cbo->ListIndex(), 0);
    EXPECT_EQ(clicks, 3);
}

TEST(StandardKeys, TabPagesTurnWithArrowsOnTheTabsAndCtrlTabFromAnywhere) {
    Form form("frm");
    auto tabs = form.create<TabControl>("tabs");
    auto page0 = tabs->create<Control>("Frame", "page0");
    auto page1 = tabs->create<Control>("Frame", "page1");
    auto txt0 = page0->create<TextBox>("txt0");
    auto txt1 = page1->create<TextBox>("txt1");
    auto ok = form.create<CommandButton>("ok");
    tabs->insertItem(0, "One");
    tabs->insertItem(1, "Two");
    tabs->SelectedChanged.connect([&](std::int32_t i) {
        page0->setVisible(i == 0);
        page1->setVisible(i == 1);
    });
    page1->setVisible(false);
    form.show();
    EXPECT_EQ(focusName(form), "tabs");
    form.sendKeyDown(vbKeyRight);
    EXPECT_EQ(tabs->selectedItem(), 1);
    form.sendKeyDown(vbKeyRight);  // no wrap on the tabs themselves
    EXPECT_EQ(tabs->selectedItem(), 1);
    EXPECT_EQ(tabWalk(form, 2), (std::vector<std::string>{"txt1", "ok"}));

    // Ctrl+Tab from a page turns it and leaves the focus on the tabs.
    txt1->SetFocus();
    EXPECT_TRUE(form.sendKeyDown(vbKeyTab, vbCtrlMask));
    EXPECT_EQ(tabs->selectedItem(), 0);
    EXPECT_EQ(focusName(form), "tabs");
    // From outside the tabs too, and backwards with Shift.
    ok->SetFocus();
    form.sendKeyDown(vbKeyTab, vbCtrlMask | vbShiftMask);
    EXPECT_EQ(tabs->selectedItem(), 1);
    form.sendKeyDown(vbKeyHome);
    EXPECT_EQ(tabs->selectedItem(), 0);
    EXPECT_TRUE(txt0->isFocusable());
    EXPECT_FALSE(txt1->isFocusable());
}
