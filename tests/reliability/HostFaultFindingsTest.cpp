// The faults the seeded runs found, each kept as the smallest host that
// shows it. Every one of them ended the process before it was fixed: a host
// object answered with nothing, or a failing one left the toolbar without
// its Start button, and the library used the nothing as an object.
#include <gtest/gtest.h>

#include "toolbar/ToolbarInternals.h"
#include "content/XPaneComment.h"
#include "content/XPaneProcedure.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "support/ControlTestServices.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

class HostFaultFindings : public ::testing::Test {
protected:
    test_support::ControlTestServices services;
    std::shared_ptr<MemorySettingsStore> store = services.store;
    std::shared_ptr<ScriptedPresenter> script = services.script;
};

// Fails the lookup of the texts it is told to, as a translator whose
// catalogue cannot be read would.
struct BrokenTranslator : CatalogueTranslator {
    std::string broken;
    std::string Translate(const std::string& c, const std::string& literal, const VariantList& args) override {
        if (!broken.empty() && literal.rfind(broken, 0) == 0) throw Error(errSubscript, "no text " + literal);
        return CatalogueTranslator::Translate(c, literal, args);
    }
};

struct ElementWithoutInfo : ITestElement {
    std::shared_ptr<IElementInfo> ElementInfo() const override { return nullptr; }
    std::shared_ptr<ITestResult> Result() const override { return nullptr; }
};

struct ListWithAHole : IStandardsList {
    std::int32_t Count() const override { return 3; }
    std::vector<std::shared_ptr<IStandard>> entries() const override {
        return {std::make_shared<SimpleStandard>("G1", "One"), nullptr, std::make_shared<SimpleStandard>("G3", "Three")};
    }
};

}  // namespace

TEST_F(HostFaultFindings, NoRegistryOrSettingsPathObjectLoadsNothing) {
    store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Settings\\Test Guide", "Toolbar",
                 std::string(XTgToolbar::kRightToLeftLayout));
    auto tb = std::make_shared<XTgToolbar>();
    const std::string layout = tb->ButtonLayout();
    HostServices::setRegistryFactory([] { return std::unique_ptr<IRegistry>(); });
    tb->Initialize(nullptr, nullptr);
    EXPECT_EQ(tb->ButtonLayout(), layout);
    HostServices::setRegistryFactory(nullptr);
    HostServices::setSettingsPathFactory([] { return std::shared_ptr<ISettingsPath>(); });
    tb->Initialize(nullptr, nullptr);
    EXPECT_EQ(tb->ButtonLayout(), layout);
    EXPECT_FALSE(XTgToolbar::HasStoredLayout());

    HostServices::reset();  // the host's objects are back: the stored layout applies
    tb->Initialize(nullptr, nullptr);
    EXPECT_EQ(tb->ButtonLayout(), XTgToolbar::kRightToLeftLayout);
}

TEST_F(HostFaultFindings, AStartButtonThatCouldNotBeMadeAgainLeavesTheToolbarWorking) {
    auto tr = std::make_shared<BrokenTranslator>();
    HostServices::setTranslatorFactory([tr] { return tr; });
    auto form = std::make_shared<Form>("frmRun");
    auto tb = form->create<XTgToolbar>();
    tr->broken = "253::";  // "Start" cannot be captioned: it is made all the same, with its default text
    tb->DefineButtons(etgActionAll, etgRunAllButtons);
    ASSERT_NE(tb->Button(ID_TGTBAR_START), nullptr);
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Caption(), "Start");
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    // A Start that is gone all the same (a bar that refused it) must not
    // stop the statements about the other buttons.
    ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Delete();
    ASSERT_EQ(tb->Button(ID_TGTBAR_START), nullptr);
    tb->SetButtonState(etgStateRunning);
    EXPECT_TRUE(tb->Button(ID_TGTBAR_STOP)->Enabled());  // the statements after Start still ran
    tb->SetButtonState(etgStateIdle);
    tb->setTextLabels(etgLabelsNone);
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_NEXT))->Style(), cbsAutomatic);
    script->onModal([](Form& f) {
        auto& d = dynamic_cast<FCustomizeToolbar&>(f);
        d.optLabels(1).doClick();
        d.cmdCancel().doClick();
    });
    tb->Bar()->FindControl(0, ID_TGTBAR_CUSTOMIZE, false, true)->Execute();
    EXPECT_EQ(script->formsShown.size(), 1u);

    tr->broken.clear();
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    ASSERT_NE(tb->Button(ID_TGTBAR_START), nullptr);
    EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Caption(), "Start");
    EXPECT_EQ(ToolbarInternals::Index(*tb->Button(ID_TGTBAR_START)), ToolbarInternals::Index(*tb->Button(ID_TGTBAR_STOP)) + 1);
}

TEST_F(HostFaultFindings, AStandardThatIsNothingIsLeftOutAndTheOthersKeepTheirNumbers) {
    auto tb = std::make_shared<XTgToolbar>();
    tb->DefineButtons(etgActionAll, etgRunStartAndStop);
    tb->Initialize(nullptr, std::make_shared<SimpleTestSetup>(nullptr, std::make_shared<ListWithAHole>()));
    auto menu = tb->GetPopupBar(ID_TGTBAR_STANDARDS);
    EXPECT_EQ(menu->Controls().Count(), 3);  // One, Three and the calculated-limits switch
    EXPECT_EQ(menu->Controls().Find(0, ID_TGTBAR_FIRSTSTD + 2), nullptr);
    auto three = menu->Controls().Find(0, ID_TGTBAR_FIRSTSTD + 3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->Parameter(), "G3");
    EXPECT_EQ(tb->StandardSelection().CompleteName, "One");
    EXPECT_TRUE(menu->Controls().Find(0, ID_TGTBAR_CALCULATED)->BeginGroup());
}

TEST_F(HostFaultFindings, ContentPaneWithoutAnElementOrWithAnElementWithoutInformation) {
    auto form = std::make_shared<Control>("Form", "frmRun");
    auto pane = form->create<XTgContentPane>("xcpContent");
    // Once the comment page exists, a run without a test element binds it
    // to nothing and leaves it as it was.
    pane->Content().setComment("noted");
    pane->SelectTab(etgCommentTab);
    pane->Initialize(nullptr, nullptr);
    auto* comment = dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(etgCommentTab)).get());
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Comment(), "noted");

    // An element without information clears the caption and keeps the
    // procedure.
    pane->SelectTab(etgProcedureTab);
    std::string text = "kept";
    pane->Content().SetProcedure(0, text);
    pane->Content().setCaption("old caption");
    pane->Initialize(std::make_shared<ElementWithoutInfo>(), nullptr);
    EXPECT_EQ(pane->Content().Caption(), "");
    EXPECT_EQ(pane->xpvProc().textView().Text(), "kept");
    EXPECT_EQ(pane->xpvProc().procedureView(), &pane->xpvProc().textView());
}
