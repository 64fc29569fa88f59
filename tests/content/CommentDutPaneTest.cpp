// The comment and DUT information pages: created by class name, bound to
// the host's result and setup, and their events as the content pane gets
// them.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "frame/HostKit.h"
#include "frame/XItemCollEdit.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

// Counts the LostMouseFocus calls a page makes on its container.
struct Container : Control {
    int lostFocus = 0;
    Container() : Control("UserControl", "container") {}
    Variant invoke(const std::string& m, VariantList& a) override {
        if (m == "LostMouseFocus") {
            ++lostFocus;
            return {};
        }
        return Control::invoke(m, a);
    }
};

struct Events {
    std::vector<std::string> names;
    explicit Events(Control& c) {
        c.ObjectEvent.connect([this](const std::string& n, VariantList&) { names.push_back(n); });
    }
};

}  // namespace

TEST(CommentPane, CreatedByClassNameWithItsTranslatedTitle) {
    auto c = ControlFactory::create("tavixTGCL2.XPaneComment");
    auto* pane = dynamic_cast<XPaneComment*>(c.get());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->lblTitle().Caption(), "Comment:");
    EXPECT_EQ(pane->lblTitle().font().name, "Arial Black");
    EXPECT_GT(pane->lblTitle().Height(), 0);
    pane->moveTwips(0, 0, 4000, 3000);
    const std::int32_t t = pane->lblTitle().Height();
    EXPECT_EQ(pane->txtComment().Top(), t + 60);
    EXPECT_EQ(pane->txtComment().Height(), 3000 - t - 60);
    EXPECT_EQ(pane->txtComment().Width(), 4000);
}

TEST(CommentPane, OperatorEditsGoToTheResultAndRaiseChange) {
    XPaneComment pane;
    Events events(pane);
    int changes = 0;
    pane.Change.connect([&] { ++changes; });
    auto result = std::make_shared<SimpleTestResult>(0, "first");
    pane.Initialize(result);
    EXPECT_EQ(pane.Comment(), "first");
    EXPECT_EQ(changes, 0);  // the pane's own write is quiet

    ASSERT_TRUE(pane.txtComment().typeText("edited"));
    EXPECT_EQ(result->Comment(), "edited");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(events.names, std::vector<std::string>{"Change"});

    pane.setComment("from the host");  // neither Change nor the result
    EXPECT_EQ(result->Comment(), "edited");
    EXPECT_EQ(changes, 1);

    auto empty = std::make_shared<SimpleTestResult>(0, "");
    pane.Initialize(empty);
    EXPECT_EQ(pane.Comment(), "");
    EXPECT_EQ(changes, 1);

    pane.Initialize(nullptr);  // unbound: the text stays, edits only raise Change
    EXPECT_EQ(pane.Comment(), "");
    pane.txtComment().typeText("loose");
    EXPECT_EQ(empty->Comment(), "");
    EXPECT_EQ(changes, 2);
}

TEST(CommentPane, MouseMovesAskTheContainerToCollapseItsTabs) {
    auto container = std::make_shared<Container>();
    auto pane = container->create<XPaneComment>();
    pane->lblTitle().doMouseMove(0, 0, 1, 1);
    pane->txtComment().doMouseMove(0, 0, 1, 1);
    pane->doMouseMove(0, 0, 1, 1);
    EXPECT_EQ(container->lostFocus, 3);
    XPaneComment orphan;  // no container: nothing to call, nothing thrown
    orphan.doMouseMove(0, 0, 1, 1);
}

TEST(DutInfoPane, LoadsTheSetupsItemsAndFlag) {
    auto c = ControlFactory::create("tavixTGCL2.XPaneDutInfo");
    auto* pane = dynamic_cast<XPaneDutInfo*>(c.get());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->lblTitle().Caption(), "Device Under Test");
    auto* editor = dynamic_cast<XItemCollEdit*>(pane->xieDutInfo());
    ASSERT_NE(editor, nullptr);

    auto dut = std::make_shared<SimpleDutInfo>(
        std::vector<std::pair<std::string, std::string>>{{"Serial", "4711"}, {"Firmware", "2.3"}});
    auto setup = std::make_shared<SimpleTestSetup>(dut, nullptr);
    setup->setSecondView(nullptr, true);
    pane->Initialize(setup);
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(editor->Items(), (std::vector<ItemRow>{{"Serial", "4711"}, {"Firmware", "2.3"}}));
    EXPECT_TRUE(editor->ReadOnly());

    // Without a setup the editor is hidden and keeps what it showed.
    pane->Initialize(nullptr);
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(editor->ItemCount(), 2);

    // A setup without a second view still loads; the flag stays as it was.
    auto plain = std::make_shared<SimpleTestSetup>(std::make_shared<SimpleDutInfo>(), nullptr);
    pane->Initialize(plain);
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(editor->ItemCount(), 0);
    EXPECT_TRUE(editor->ReadOnly());
}

TEST(DutInfoPane, BackColorIsSharedWithTheEditorAndStored) {
    XPaneDutInfo pane;
    auto* editor = dynamic_cast<XItemCollEdit*>(pane.xieDutInfo());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(pane.BackColor(), 0xFFFFFFu);
    std::vector<std::string> changed;
    pane.PropertyChangedEvent.connect([&](const std::string& k) { changed.push_back(k); });
    pane.setBackColor(0xC0FFC0);
    EXPECT_EQ(editor->BackColor(), 0xC0FFC0u);
    EXPECT_EQ(changed, std::vector<std::string>{"BackColor"});
    pane.WriteProperties();
    XPaneDutInfo other;
    other.propertyBag() = pane.propertyBag();
    other.ReadProperties();
    EXPECT_EQ(other.BackColor(), 0xC0FFC0u);
    EXPECT_EQ(dynamic_cast<XItemCollEdit*>(other.xieDutInfo())->BackColor(), 0xC0FFC0u);
    pane.setBackColor(0xFFFFFF);
    pane.propertyBag().clear();
    pane.WriteProperties();
    EXPECT_FALSE(pane.propertyBag().contains("BackColor"));
}
