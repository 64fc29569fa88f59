// The comment and DUT information pages: created by class name, bound to
// the host's result and setup.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "frame/HostKit.h"
#include "views/XItemCollEdit.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

TEST(CommentPane, OperatorEditsGoToTheResultAndRaiseChangeTheHostsDoNot) {
    auto c = ControlFactory::create("tavixTGCL2.XPaneComment");
    auto* pane = dynamic_cast<XPaneComment*>(c.get());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->lblTitle().Caption(), "Comment:");
    pane->moveTwips(0, 0, 4000, 3000);
    EXPECT_EQ(pane->txtComment().Top(), pane->lblTitle().Height() + 60);
    EXPECT_EQ(pane->txtComment().Height() + pane->txtComment().Top(), 3000);

    std::vector<std::string> events;
    pane->ObjectEvent.connect([&](const std::string& n, VariantList&) { events.push_back(n); });
    auto result = std::make_shared<SimpleTestResult>(0, "first");
    pane->Initialize(result);
    EXPECT_EQ(pane->Comment(), "first");
    ASSERT_TRUE(pane->txtComment().typeText("edited"));
    EXPECT_EQ(result->Comment(), "edited");
    pane->setComment("from the host");  // neither Change nor the result
    EXPECT_EQ(result->Comment(), "edited");
    auto empty = std::make_shared<SimpleTestResult>(0, "");
    pane->Initialize(empty);  // cleared quietly
    EXPECT_EQ(pane->Comment(), "");
    pane->Initialize(nullptr);  // unbound: edits only raise Change
    pane->txtComment().typeText("loose");
    EXPECT_EQ(empty->Comment(), "");
    EXPECT_EQ(events, (std::vector<std::string>{"Change", "Change"}));
}

TEST(DutInfoPane, LoadsTheSetupsItemsAndFlagAndSharesItsBackColor) {
    auto c = ControlFactory::create("tavixTGCL2.XPaneDutInfo");
    auto* pane = dynamic_cast<XPaneDutInfo*>(c.get());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->lblTitle().Caption(), "Device Under Test");
    auto* editor = dynamic_cast<XItemCollEdit*>(pane->xieDutInfo());
    ASSERT_NE(editor, nullptr);
    auto setup = std::make_shared<SimpleTestSetup>(
        std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{{"Serial", "4711"}}), nullptr);
    setup->setSecondView(nullptr, true);
    pane->Initialize(setup);
    EXPECT_EQ(editor->Items(), (std::vector<ItemRow>{{"Serial", "4711"}}));
    EXPECT_TRUE(editor->ReadOnly());
    pane->Initialize(nullptr);  // hidden, keeping what it showed
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(editor->ItemCount(), 1);
    pane->Initialize(std::make_shared<SimpleTestSetup>(nullptr, nullptr));  // no second view: flag kept
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(editor->ItemCount(), 0);
    EXPECT_TRUE(editor->ReadOnly());

    pane->setBackColor(0xC0FFC0);
    EXPECT_EQ(editor->BackColor(), 0xC0FFC0u);
    pane->WriteProperties();
    XPaneDutInfo other;
    other.propertyBag() = pane->propertyBag();
    other.ReadProperties();
    EXPECT_EQ(dynamic_cast<XItemCollEdit*>(other.xieDutInfo())->BackColor(), 0xC0FFC0u);
}
