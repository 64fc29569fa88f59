// What a screen reader is told, read through Qt's accessibility layer as
// the AT-SPI bridge reads it, with the events captured where the bridge
// would receive them.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QElapsedTimer>
#include <QMenu>

#include "RunFormFixture.h"
#include "QtAccessible.h"
#include "progress/XTgProgressBar.h"

using namespace tavixTGCL2;

// Offscreen Qt has no accessibility bridge to switch itself on, and
// QAccessible::setActive only tells observers. Qt's own accessibility tests
// switch on the platform's accessibility object; its classes are Qt's
// private API without installed headers, so the two members are declared
// here as Qt exports them.
class QPlatformAccessibility {
public:
    void setActive(bool active);
};
class QPlatformIntegration {
public:
    QPlatformAccessibility* accessibility() const;
};
class QGuiApplicationPrivate {
public:
    static QPlatformIntegration* platform_integration;
};

namespace {

bool switchAccessibility(bool on) {
    QPlatformIntegration* platform = QGuiApplicationPrivate::platform_integration;
    QPlatformAccessibility* access = platform ? platform->accessibility() : nullptr;
    if (access) access->setActive(on);
    return QAccessible::isActive() == on;
}

struct Heard {
    QObject* object;
    QAccessible::Event type;
    QVariant value;
    QAccessible::State changed;
};
std::vector<Heard> g_heard;

void capture(QAccessibleEvent* e) {
    Heard h{e->object(), e->type(), {}, {}};
    if (e->type() == QAccessible::ValueChanged) h.value = static_cast<QAccessibleValueChangeEvent*>(e)->value();
    if (e->type() == QAccessible::StateChanged) h.changed = static_cast<QAccessibleStateChangeEvent*>(e)->changedStates();
    g_heard.push_back(h);
}

class AccessibilityTest : public tgcltest::RunFormTest {
protected:
    void SetUp() override {
        RunFormTest::SetUp();
        m_previous = QAccessible::installUpdateHandler(capture);
        if (!switchAccessibility(true)) GTEST_SKIP() << "no accessibility on this platform";
        g_heard.clear();
    }
    void TearDown() override {
        switchAccessibility(false);
        QAccessible::installUpdateHandler(m_previous);
        RunFormTest::TearDown();
    }
    QAccessibleInterface* of(const Control& c) { return QAccessible::queryAccessibleInterface(widgetOf(c)); }
    std::vector<Heard> heard(QObject* o, QAccessible::Event type) {
        std::vector<Heard> out;
        for (const Heard& h : g_heard)
            if (h.object == o && h.type == type) out.push_back(h);
        return out;
    }
    // Lets Qt's loop run until the condition holds, or gives up after a while.
    template <class F>
    bool waitFor(F condition) {
        QElapsedTimer t;
        t.start();
        while (!condition() && t.elapsed() < 5000) QTest::qWait(20);
        return condition();
    }

private:
    QAccessible::UpdateHandler m_previous = nullptr;
};

}  // namespace

TEST_F(AccessibilityTest, ToolbarCommandsAreButtonsNamedWithoutTheMnemonicWithTheirStates) {
    open();
    auto* start = win->findChild<QWidget*>(QString::number(ID_TGTBAR_START));
    auto* next = win->findChild<QWidget*>(QString::number(ID_TGTBAR_NEXT));
    ASSERT_TRUE(start && next);
    QAccessibleInterface* s = QAccessible::queryAccessibleInterface(start);
    EXPECT_EQ(s->role(), QAccessible::Button);
    EXPECT_EQ(s->text(QAccessible::Name), "Start");
    EXPECT_FALSE(s->state().disabled);
    QAccessibleInterface* n = QAccessible::queryAccessibleInterface(next);
    EXPECT_TRUE(n->state().disabled);  // idle: nothing to go on to

    g_heard.clear();
    tb->SetButtonState(etgStateCompleted);
    settle();
    EXPECT_FALSE(n->state().disabled);
    ASSERT_FALSE(heard(next, QAccessible::StateChanged).empty());
    EXPECT_TRUE(heard(next, QAccessible::StateChanged).back().changed.disabled);

    // A checked command is checked for the reader too, both ways.
    auto command = tb->Bar()->Controls().Find(0, ID_TGTBAR_START);
    command->setChecked(true);
    settle();
    EXPECT_TRUE(s->state().checked);
    command->setChecked(false);
    settle();
    EXPECT_FALSE(s->state().checked);
    int checkedChanges = 0;
    for (const Heard& h : heard(start, QAccessible::StateChanged)) checkedChanges += h.changed.checked;
    EXPECT_EQ(checkedChanges, 2);
}

TEST_F(AccessibilityTest, TheTabStripIsAPageTabListOfItsTabs) {
    open();
    XTabStrip& strip = pane->xtsTabStrip();
    QAccessibleInterface* list = of(strip);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), strip.TabCount());
    QAccessibleInterface* first = list->child(0);
    QAccessibleInterface* second = list->child(1);
    EXPECT_EQ(first->role(), QAccessible::PageTab);
    EXPECT_EQ(first->text(QAccessible::Name), "Procedure");  // a built-in tab has no caption of its own
    EXPECT_EQ(second->text(QAccessible::Name), "Comment");
    EXPECT_EQ(list->indexOfChild(second), 1);
    EXPECT_EQ(second->parent()->object(), list->object());
    QWidget* tab0 = widgetOf(strip.Tabs(0));
    EXPECT_EQ(first->rect(), QRect(tab0->mapToGlobal(QPoint(0, 0)), tab0->size()));
    EXPECT_TRUE(first->state().selected);
    EXPECT_FALSE(first->state().focused);

    key(Qt::Key_Tab);
    ASSERT_TRUE(strip.hasFocus());
    EXPECT_TRUE(first->state().focused);
    EXPECT_EQ(list->focusChild()->object(), first->object());
    g_heard.clear();
    key(Qt::Key_Down);
    EXPECT_TRUE(second->state().selected && second->state().focused);
    EXPECT_FALSE(first->state().selected);
    EXPECT_EQ(heard(first->object(), QAccessible::StateChanged).size(), 1u);
    EXPECT_EQ(heard(second->object(), QAccessible::StateChanged).size(), 1u);
    EXPECT_EQ(heard(second->object(), QAccessible::Focus).size(), 1u);

    // A caption the host gives is the name from then on.
    strip.Tabs(1).setToolTipText("Operator &comment");
    EXPECT_EQ(second->text(QAccessible::Name), "Operator &comment");
    EXPECT_EQ(heard(second->object(), QAccessible::NameChanged).size(), 1u);
    strip.ShowTab(1, false);
    settle();
    EXPECT_TRUE(second->state().invisible);
}

TEST_F(AccessibilityTest, TheSplitterIsNamedReportsTheLayoutAndTogglesByAction) {
    pane->setSplitterCaption("Results");
    open();
    QAccessibleInterface* split = of(pane->xmsSplit());
    EXPECT_EQ(split->role(), QAccessible::Splitter);
    EXPECT_EQ(split->text(QAccessible::Name), "Results");
    EXPECT_EQ(split->text(QAccessible::Description), "Normal");
    QAccessibleActionInterface* action = split->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    action->doAction(QAccessibleActionInterface::toggleAction());
    settle();
    EXPECT_EQ(pane->ResultViewState(), ervsLarge);
    EXPECT_EQ(split->text(QAccessible::Description), "Large");
    EXPECT_EQ(heard(split->object(), QAccessible::DescriptionChanged).size(), 1u);
    pane->setResultViewState(ervsHideResults);
    EXPECT_EQ(split->text(QAccessible::Description), "Results hidden");

    // The same layouts in the splitter menu: the current one is checked.
    pane->setResultViewState(ervsMaximized);
    bool maximizeChecked = false, othersUnchecked = true;
    backend->presenter()->setHooks({.onMenu = [&](QMenu& menu) {
        QAccessibleInterface* m = QAccessible::queryAccessibleInterface(&menu);
        for (int i = 0; i < m->childCount(); ++i) {
            QAccessibleInterface* item = m->child(i);
            if (item->text(QAccessible::Name) == "Maximize") maximizeChecked = item->state().checked;
            else othersUnchecked = othersUnchecked && !item->state().checked;
        }
        QTest::keyClick(&menu, Qt::Key_Escape);
    }});
    pane->xmsSplit().SetFocus();
    key(Qt::Key_Menu);
    EXPECT_TRUE(maximizeChecked);
    EXPECT_TRUE(othersUnchecked);
}

TEST_F(AccessibilityTest, TheStatusBarReadsStandardVerdictAndMessageAndAnnouncesAVerdictOnce) {
    tb->SetStandardName("IEC", "IEC 60065");
    open();
    QAccessibleInterface* status = of(tb->StatusControl());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    ASSERT_EQ(status->childCount(), 4);
    QAccessibleInterface* verdict = status->child(1);
    EXPECT_EQ(status->child(0)->text(QAccessible::Name), "Selected standard: IEC 60065");
    EXPECT_EQ(verdict->text(QAccessible::Description), "Verdict");
    EXPECT_EQ(verdict->role(), QAccessible::StaticText);
    EXPECT_EQ(status->child(2)->text(QAccessible::Name), "Ready: Supply voltage");
    EXPECT_EQ(status->child(3)->role(), QAccessible::ProgressBar);

    g_heard.clear();
    key(Qt::Key_F9);  // passes
    EXPECT_EQ(verdict->text(QAccessible::Name), "STEP COMPLETED: PASSED");
    ASSERT_EQ(heard(verdict->object(), QAccessible::Alert).size(), 1u);
    EXPECT_EQ(heard(verdict->object(), QAccessible::NameChanged).size(), 1u);
    // Repaints, the same verdict again: nothing new to say.
    tb->StatusControl().Refresh();
    tb->setStatus(1);
    settle();
    EXPECT_EQ(heard(verdict->object(), QAccessible::Alert).size(), 1u);
    tb->setStatus(2);
    settle();
    EXPECT_EQ(heard(verdict->object(), QAccessible::Alert).size(), 2u);
    EXPECT_EQ(verdict->text(QAccessible::Name), "STEP COMPLETED: FAILED");
}

TEST_F(AccessibilityTest, ProgressValuesAreAnnouncedAtMostEveryIntervalAndTheLastAlways) {
    auto bar = form->create<XTgProgressBar>("pbRun");
    bar->Move(0, 7000, 6000, 300);
    tb->UpdateStatusBar(std::string("Measuring"), true, false);
    open();
    QAccessibleInterface* drawn = of(*bar);
    QAccessibleInterface* inStatus = of(tb->StatusControl())->child(3);
    ASSERT_TRUE(drawn && inStatus);
    EXPECT_EQ(drawn->role(), QAccessible::ProgressBar);
    for (QAccessibleInterface* p : {drawn, inStatus}) {
        QAccessibleValueInterface* v = p->valueInterface();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->minimumValue().toInt(), 0);
        EXPECT_EQ(v->maximumValue().toInt(), 100);
    }
    EXPECT_FALSE(inStatus->state().invisible);

    g_heard.clear();
    ITgProgressBar& status = tb->StatusControl().ProgressBarInterface();
    for (std::int16_t v = 10; v <= 50; v += 10) {
        bar->setValue(v);
        status.setValue(static_cast<std::int16_t>(v + 1));
    }
    EXPECT_EQ(drawn->valueInterface()->currentValue().toInt(), 50);
    EXPECT_EQ(inStatus->valueInterface()->currentValue().toInt(), 51);
    const std::tuple<QObject*, int, int> bars[] = {{drawn->object(), 10, 50}, {inStatus->object(), 11, 51}};
    for (auto [o, first, last] : bars) {
        ASSERT_EQ(heard(o, QAccessible::ValueChanged).size(), 1u);
        EXPECT_EQ(heard(o, QAccessible::ValueChanged)[0].value.toInt(), first);
    }
    for (auto [o, first, last] : bars) {
        // Nothing is lost at the end: the last value follows by itself.
        ASSERT_TRUE(waitFor([&] { return heard(o, QAccessible::ValueChanged).size() == 2; }));
        EXPECT_EQ(heard(o, QAccessible::ValueChanged)[1].value.toInt(), last);
    }
    QTest::qWait(2 * qt::AccessNotifier::kValueIntervalMs);
    EXPECT_EQ(heard(drawn->object(), QAccessible::ValueChanged).size(), 2u);
}
