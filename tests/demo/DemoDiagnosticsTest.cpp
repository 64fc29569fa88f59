// The demo host's sink: what the controls contain shows in its event log,
// right after the action that caused it, and a run without faults shows
// nothing of the kind.
#include <gtest/gtest.h>

#include <algorithm>

#include "DemoHost.h"
#include <tavixTGCL2/frame/HostKit.h>
#include <tavixTGCL2/frame/HostServices.h>
#include <tavixTGCL2/frame/ServicesScope.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/Error.h>
#include <tavixTGCL2/platform/EventLoop.h>
#include <tavixTGCL2/platform/MemorySettingsStore.h>
#include <tavixTGCL2/platform/SettingsStore.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

using namespace tavixTGCL2;
using namespace tavixTGCL2::demo;

namespace {

// The built-in catalogue, but the verdict word "PASSED" cannot be read.
struct VerdictlessTranslator : CatalogueTranslator {
    std::string Translate(const std::string& context, const std::string& literal, const VariantList& args) override {
        if (literal.rfind("204::", 0) == 0) throw Error(errFileNotFound, "no text for " + literal);
        return CatalogueTranslator::Translate(context, literal, args);
    }
};

TestPlan twoElements() {
    TestPlan p;
    p.title = "Two";
    for (const char* caption : {"A", "B"}) {
        PlanElement e;
        e.caption = caption;
        e.procedure.text = "Do it.";
        e.verdict = Verdict::Passed;
        e.durationMs = 200;
        p.elements.push_back(e);
    }
    return p;
}

class DemoDiagnostics : public ::testing::Test {
protected:
    ServicesScope services;
    void SetUp() override {
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
        HostServices::reset();
        EventLoop::current().useVirtualClock(true);
    }
    void TearDown() override { host.reset(); }
    void key(std::int32_t k, std::int32_t mask = 0) { host->toolbar().CommandBarsControl().pressKey(k, mask); }
    // Index of the first log line starting with prefix at or after from.
    std::ptrdiff_t find(const std::string& prefix, std::size_t from = 0) const {
        const auto& lines = host->log().lines();
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return static_cast<std::ptrdiff_t>(i);
        return -1;
    }
    std::size_t contained() const {
        const auto& lines = host->log().lines();
        return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("library: ", 0) == 0;
        }));
    }

    std::unique_ptr<DemoHost> host;
};

}  // namespace

TEST_F(DemoDiagnostics, ARunWithoutFaultsLogsNoContainedError) {
    host = std::make_unique<DemoHost>(twoElements());
    key(etgKeyStart);
    EventLoop::current().advance(400);
    key(etgKeyNext, etgKeyMaskCtrl);
    key(etgKeyStart);
    EventLoop::current().advance(400);
    key(etgKeyNext, etgKeyMaskCtrl);
    ASSERT_TRUE(host->complete());
    EXPECT_EQ(contained(), 0u);
}

TEST_F(DemoDiagnostics, AContainedErrorFollowsTheStepThatCausedIt) {
    auto translator = std::make_shared<VerdictlessTranslator>();
    HostServices::setTranslatorFactory([translator] { return translator; });
    host = std::make_unique<DemoHost>(twoElements());
    const std::size_t before = host->log().size();
    EXPECT_EQ(contained(), 0u);  // nothing asks for the verdict until one is shown

    key(etgKeyStart);
    EventLoop::current().advance(400);
    const auto click = find("Toolbar.ButtonClick 202 Start", before);
    ASSERT_GE(click, 0);
    const auto error = find("library: error 53 contained in XTgToolbar::setStatus: no text for 204::PASSED",
                            static_cast<std::size_t>(click));
    EXPECT_GT(error, click);
    EXPECT_EQ(find("library: internal fault"), -1);

    // The host takes its sink away with it.
    host.reset();
    resumeNext([] { throw Error("after the host"); });
}
