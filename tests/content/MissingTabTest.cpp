// Selecting a tab the strip does not have, through the content pane: the
// host's index may be stale (a custom tab it never added) or simply wrong,
// and the operator must not lose what the pane is showing because of it.
#include <gtest/gtest.h>

#include "content/XPaneComment.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/ServicesScope.h"
#include "platform/Diagnostics.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"

using namespace tavixTGCL2;

namespace {

struct WatchedPane {
    std::shared_ptr<Control> form = std::make_shared<Control>("Form", "frmRun");
    std::shared_ptr<XTgContentPane> pane = form->create<XTgContentPane>("xcpContent");
    std::vector<std::int16_t> requested;
    std::vector<std::int16_t> keys;
    std::vector<std::int16_t> clicks;
    int commentChanges = 0;
    std::shared_ptr<Control> answer;  // what the host hands over for RequestPage

    WatchedPane() {
        form->moveTwips(0, 0, 9000, 6000);
        pane->moveTwips(0, 0, 9000, 6000);
        pane->CommentChange.connect([this] { ++commentChanges; });
        pane->KeyPress.connect([this](std::int16_t& key) { keys.push_back(key); });
        pane->TabClick.connect([this](std::int32_t tab) { clicks.push_back(static_cast<std::int16_t>(tab)); });
        pane->RequestPage.connect([this](std::int16_t i, ObjectPtr& page) {
            requested.push_back(i);
            if (answer) page = answer;
        });
    }
    XPaneComment* comment() const {
        return dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(etgCommentTab)).get());
    }
};

}  // namespace

TEST(MissingTab, SelectingItChangesNothingAndTheCommentPageStaysConnected) {
    WatchedPane p;
    p.pane->SelectTab(etgCommentTab);
    XPaneComment* comment = p.comment();
    ASSERT_NE(comment, nullptr);
    const ObjectPtr active = p.pane->activePage();
    ASSERT_EQ(active, p.pane->page(XTgContentPane::pageKey(etgCommentTab)));
    const OleColor back = p.pane->BackColor();

    // A host that answers every request would otherwise get its page shown
    // for a tab that is not there.
    p.answer = p.form->create<Label>("lblStray");
    p.answer->setVisible(false);
    p.pane->SelectTab(9);

    EXPECT_TRUE(p.requested.empty());
    EXPECT_EQ(p.pane->page(XTgContentPane::pageKey(9)), nullptr);
    EXPECT_FALSE(p.answer->Visible());
    EXPECT_EQ(p.pane->xtsTabStrip().Selected(), etgCommentTab);
    EXPECT_EQ(p.pane->activePage(), active);
    EXPECT_TRUE(comment->Visible());
    EXPECT_EQ(p.pane->BackColor(), back);
    EXPECT_TRUE(p.clicks.empty());

    // The page on screen still reaches the host.
    comment->txtComment().typeText("typed after the stray selection");
    EXPECT_EQ(p.commentChanges, 1);
    VariantList args{std::int16_t{65}};
    comment->ObjectEvent("KeyPress", args);
    EXPECT_EQ(p.keys, (std::vector<std::int16_t>{65}));
}

TEST(MissingTab, IndexesJustPastTheEndAndNegativeOnesAlike) {
    WatchedPane p;
    ASSERT_EQ(p.pane->AddCustomTab(std::make_shared<CTabProperties>(), nullptr), 4);
    auto custom = p.form->create<Label>("lblCustom");
    p.answer = custom;
    p.pane->SelectTab(4);  // the custom tab exists: asked for and shown
    ASSERT_EQ(p.requested, (std::vector<std::int16_t>{4}));
    ASSERT_EQ(p.pane->activePage(), custom);

    for (std::int32_t stray : {5, 6, 100, -1, -2, 40000}) {
        p.pane->SelectTab(stray);
        EXPECT_EQ(p.pane->activePage(), custom) << stray;
        EXPECT_EQ(p.pane->xtsTabStrip().Selected(), 4) << stray;
    }
    EXPECT_EQ(p.requested, (std::vector<std::int16_t>{4}));
    VariantList args{std::int16_t{13}};
    custom->ObjectEvent("KeyPress", args);
    EXPECT_EQ(p.keys, (std::vector<std::int16_t>{13}));

    // A real tab still works after the stray ones.
    p.pane->SelectTab(etgProcedureTab);
    EXPECT_EQ(p.pane->xtsTabStrip().Selected(), etgProcedureTab);
    EXPECT_TRUE(p.pane->xpvProc().Visible());
    EXPECT_FALSE(custom->Visible());
}

TEST(MissingTab, TheSinkHearsOfTheIndexWithoutATab) {
    WatchedPane p;
    std::vector<ContainedError> reports;
    {
        ServicesScope services;
        setDiagnosticsSink([&](const ContainedError& e) { reports.push_back(e); });
        p.pane->SelectTab(9);
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].operation(), "XTgContentPane::SelectTab");
    EXPECT_EQ(reports[0].number, errSubscript);
    EXPECT_FALSE(reports[0].internalFault);
}
