// Complete guided runs against a host whose objects fail: the run toolbar,
// the content pane in every tab and procedure format, and the Customize
// Toolbar dialog, driven for many seeded runs while the host's objects throw
// or answer with nothing. Nothing may escape a public operation (bar the
// progress-bar setters, which report their failures by contract), and once
// the host behaves again the same controls must answer as a fresh run would.
//
// TGCL_FAULT_RUNS sets the number of runs (default kDefaultRuns),
// TGCL_FAULT_SEED the first seed; a failure names the seed that reproduces it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <utility>

#include "toolbar/ToolbarInternals.h"
#include "FaultyHost.h"
#include "content/XMsnSplit.h"
#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTab.h"
#include "content/XTgContentPane.h"
#include "content/XTgDetailsPane.h"
#include "content/XWebToolbar.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "frame/ServicesScope.h"
#include "views/XItemCollEdit.h"
#include "views/XRichEdit.h"
#include "platform/Diagnostics.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/HtmlDocument.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/ShellOpen.h"
#include "platform/WebBrowser.h"
#include "progress/XStatusBar.h"
#include "progress/XTransparentImage.h"
#include "support/ControlTestServices.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

// Keeps the suite within half a minute in the sanitizer build.
constexpr int kDefaultRuns = 400;
constexpr int kElementsPerRun = 4;
// Light, moderate, heavy and total failure; runs take them in turn.
constexpr double kRates[] = {0.03, 0.12, 0.35, 1.0};

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

EventLoop& loop() { return EventLoop::current(); }

constexpr const char* kRtf =
    "{\\rtf1\\ansi{\\b Connect} the probe, see "
    "{\\field{\\*\\fldinst HYPERLINK \"http://example.invalid/probe\"}{\\fldrslt the manual}}.\\par}";

// The errors the controls contained, as the diagnostics sink saw them: the
// host's faults while it fails, and anything at all once it behaves.
struct ContainedTally {
    std::uint64_t whileFailing = 0;
    std::uint64_t hostMisuse = 0;  // of them, caused by the host's own calls
    std::uint64_t afterRecovery = 0;
    std::uint64_t internalFaults = 0;
    std::map<std::int32_t, std::uint64_t> byNumber;  // while failing
    void add(const ContainedTally& o) {
        whileFailing += o.whileFailing;
        hostMisuse += o.hostMisuse;
        afterRecovery += o.afterRecovery;
        internalFaults += o.internalFaults;
        for (const auto& [n, count] : o.byNumber) byNumber[n] += count;
    }
};

// What the operator and the host do in one run, and what they saw escape.
class GuidedRun {
public:
    GuidedRun(std::uint64_t seed, double rate, const fs::path& dir)
        : inj(std::make_shared<faults::Injector>(seed, rate)), m_seed(seed), m_rng(seed), m_dir(dir) {
        setDiagnosticsSink([this](const ContainedError& e) { onContained(e); });
        faults::installServices(inj, m_translator, m_settings);
        m_settings->setValue("ProcCSS", "body { color: navy }");
        script = std::make_shared<ScriptedPresenter>();
        setPresenter(faults::presenter(inj, script));
        ShellOpen::setOpener(faults::shellOpener(inj, [this](const std::string& target) {
            opened.push_back(target);
            return true;
        }));

        form = std::make_shared<Form>("frmRun");
        form->moveTwips(0, 0, 12000, 9000);
        op("new XTgToolbar", [&] { tb = form->create<Control>("Frame", "fraHost")->create<XTgToolbar>(); });
        op("new XTgContentPane", [&] { pane = form->create<XTgContentPane>("xcpContent"); });
        resultView = form->create<Control>("ListView", "lvwResults");
        helpPage = form->create<Control>("Frame", "fraHelp");
        customPage = form->create<Control>("Frame", "fraCustom");
        requestedPage = form->create<Control>("Frame", "fraRequested");

        op("XTgToolbar.Move", [&] { tb->Move(0, 8400, 12000, 600); });
        op("XTgContentPane.Move", [&] { pane->Move(0, 0, 12000, 8400); });
        connectHandlers();
        op("XTgToolbar.AddToolsMenu", [&] { tb->AddToolsMenu(901, "Calibrate"); });
        op("XTgToolbar.AddPopUpToolsMenu", [&] { tb->AddPopUpToolsMenu(910, "Reports"); });
        op("XTgToolbar.AddPopUpChildMenu", [&] { tb->AddPopUpChildMenu(910, 911, "Print"); });
        op("XTgToolbar.AddAccelerator", [&] { tb->AddAccelerator(901, 72, etgKeyMaskCtrl | etgKeyMaskShift); });
        op("setResultView", [&] { pane->setResultView(faults::control(inj, faults::Kind::ResultView, resultView)); });
        op("setHelpPageControl", [&] { pane->setHelpPageControl(faults::control(inj, faults::Kind::HostPage, helpPage)); });
        // The details view is a control of the form, used directly rather
        // than by name: it takes part in every layout, without faults.
        op("setTestDetailsView", [&] { pane->setTestDetailsView(form->create<Control>("Frame", "fraDetails")); });
        op("AddCustomTab", [&] {
            auto props = std::make_shared<CTabProperties>();
            props->ToolTipText = "Limits";
            m_customTab = pane->AddCustomTab(props, faults::control(inj, faults::Kind::HostPage, customPage));
        });
        op("AddCustomTab (requested)", [&] {
            const std::int16_t t = pane->AddCustomTab(std::make_shared<CTabProperties>(), nullptr);
            if (t) m_customTab = t;
        });
    }

    ~GuidedRun() {
        // The controls go before the services they might still call.
        tb.reset();
        pane.reset();
        form.reset();
        loop().advance(60000);
    }

    // One test element from Initialize to its verdict, under injection.
    void element(int index) {
        auto realSetup = makeSetup(pick(4), pick(3) != 0, pick(2) == 0);
        auto realElement = makeElement(index, static_cast<std::int16_t>(pick(4)));
        auto ite = faults::element(inj, realElement);
        auto its = faults::setup(inj, realSetup);

        op("XTgToolbar.Initialize", [&] { tb->Initialize(ite, its); });
        op("XTgContentPane.Initialize", [&] { pane->Initialize(ite, its); });
        op("ApplyWindowSettings", [&] { pane->ApplyWindowSettings(*form); });
        op("DefineButtons", [&] { tb->DefineButtons(pick(8), pick(8)); });
        op("SetButtonState", [&] { tb->SetButtonState(etgStateIdle); });

        for (int action = 0; action < 14; ++action) operate();

        op("SetButtonState", [&] { tb->SetButtonState(etgStateCompleted); });
        op("StatusBar.setStatus", [&] { tb->StatusBar().setStatus(static_cast<std::int16_t>(pick(4))); });
        op("StoreWindowSettings", [&] { pane->StoreWindowSettings(*form); });
        op("advance", [&] { loop().advance(pick(700)); });
    }

    // One thing the operator or the host does, drawn at random.
    void operate() {
        switch (pick(24)) {
            case 0: op("SetButtonState", [&] { tb->SetButtonState(pick(3)); }); break;
            case 1:
                op("UpdateStatusBar", [&] {
                    tb->UpdateStatusBar(Variant("Measuring " + std::to_string(pick(100))), Variant(pick(2) == 0),
                                        Variant(pick(2) == 0));
                });
                break;
            case 2:
                op("UpdateStatusBar (no flag)", [&] { tb->UpdateStatusBar(std::nullopt, Variant("maybe")); });
                break;
            case 3: {
                static constexpr std::pair<std::int32_t, std::int32_t> keys[] = {
                    {120, 0}, {78, FCONTROL}, {27, 0}, {66, FCONTROL}, {69, FCONTROL}, {65, FCONTROL},
                    {75, FCONTROL}, {72, FCONTROL | FSHIFT}};
                const auto& k = keys[pick(std::size(keys))];
                op("pressKey", [&] { tb->CommandBarsControl().pressKey(k.first, k.second); });
                break;
            }
            case 4: execute(pick(2) ? 901 : 911); break;
            case 5: execute(ID_TGTBAR_FIRSTSTD + 1 + pick(3)); break;
            case 6: execute(ID_TGTBAR_CALCULATED); break;
            case 7:
                script->answerMenu(ID_TGTBAR_FIRSTSTD + 2);
                op("ShowStandardsPopup", [&] { tb->ShowStandardsPopup(0, 10, 10); });
                break;
            case 8: {
                std::string a = "G2", c = "Standard 2";
                op("SetStandardName", [&] { tb->StatusBar().SetStandardName(a, c); });
                break;
            }
            case 9: customize(); break;
            case 10: {
                auto formatText = procedure(static_cast<std::int16_t>(pick(6)));
                op("SetProcedure", [&] { pane->Content().SetProcedure(formatText.first, formatText.second); });
                break;
            }
            case 11: op("SelectTab", [&] { pane->SelectTab(pick(6)); }); break;
            case 12: op("ShowTab", [&] { pane->ShowTab(pick(6), pick(3) != 0); }); break;
            case 13: clickTab(); break;
            case 14: op("setResultViewState", [&] { pane->setResultViewState(pick(7)); }); break;
            case 15:
                op("splitter", [&] {
                    if (pick(2)) return pane->xmsSplit().doClick();
                    script->answerMenu(1 + pick(4));
                    pane->xmsSplit().doMouseDown(vbRightButton, 0, 100, 50);
                });
                break;
            case 16:
                op("setCaption/setComment", [&] {
                    pane->Content().setCaption("Step " + std::to_string(pick(50)));
                    pane->Content().setComment("note " + std::to_string(pick(50)));
                });
                break;
            case 17: pageInput(); break;
            case 18: webToolbar(); break;
            case 19:
                op("tab strip menu", [&] {
                    script->answerMenu(1);
                    pane->xtsTabStrip().doMouseDown(vbRightButton, 0, 10, 400);
                    pane->xtsTabStrip().doMouseMove(0, 0, 10, 400);
                    pane->LostMouseFocus();
                });
                break;
            case 20:
                op("ResizeLabel/DotNetRtf", [&] {
                    pane->ResizeLabel(10, 20, 3000, 2000);
                    pane->setDotNetRtf(pick(4) == 0);
                    pane->setSplitterCaption("Results " + std::to_string(pick(9)));
                });
                break;
            case 21: progressBar(); break;
            case 22:
                op("Refresh/setMessage", [&] {
                    tb->Refresh();
                    tb->StatusBar().setMessage(pick(2) ? "Waiting for the DUT" : "");
                });
                break;
            default: op("advance", [&] { loop().advance(pick(400)); }); break;
        }
    }

    // The host ends the pane (or hides it outside run mode) and the run
    // goes on calling it.
    void terminateAndCarryOn() {
        op("Terminate", [&] { pane->Terminate(); });
        m_terminated = true;
        for (int action = 0; action < 14; ++action) operate();
    }

    // The host's handlers of every event of both controls. They fail like
    // the host's objects (a failing one leaves its by-reference arguments
    // as nothing), and now and then they do what hosts do in handlers: call
    // back into the control that is raising the event.
    void connectHandlers() {
        auto& i = *inj;
        tb->ButtonClick.connect([this, &i](std::shared_ptr<CTgToolbarButton> b, bool acc) {
            if (!faults::handler(i, "ButtonClick")) return;
            if (b) clicks.emplace_back(b->ID(), acc);
            reenter("ButtonClick", [&] {
                tb->SetButtonState(b && b->ID() == ID_TGTBAR_START ? etgStateRunning : etgStateCompleted);
                tb->DefineButtons(etgActionAll, pick(2) ? etgRunAllButtons : etgRunStartAndStop);
                tb->UpdateStatusBar(Variant("Clicked"), Variant(true), Variant(true));
            });
        });
        tb->Resize.connect([this, &i] {
            if (faults::handler(i, "Resize")) reenter("Resize", [&] { tb->Refresh(); });
        });
        tb->StandardSelectionChange.connect([this, &i] {
            if (!faults::handler(i, "StandardSelectionChange")) return;
            reenter("StandardSelectionChange", [&] {
                std::string a = "G1", c = "Standard 1";
                tb->StatusBar().SetStandardName(a, c);
            });
        });
        pane->RequestPage.connect([this, &i](std::int16_t tab, ObjectPtr& page) {
            if (!faults::handler(i, "RequestPage", page)) return;
            if (tab == m_customTab) page = faults::control(inj, faults::Kind::HostPage, requestedPage);
            reenter("RequestPage", [&] { pane->SelectTab(pick(4)); });
        });
        pane->TabClick.connect([this, &i](std::int32_t tab) {
            if (faults::handler(i, "TabClick")) reenter("TabClick", [&] { pane->ShowTab(tab, true); });
        });
        pane->CommentChange.connect([this, &i] {
            if (faults::handler(i, "CommentChange")) reenter("CommentChange", [&] { pane->Content().setComment("seen"); });
        });
        pane->KeyPress.connect([this, &i](std::int16_t& key) {
            if (faults::handler(i, "KeyPress", key)) reenter("KeyPress", [&] { pane->SelectTab(etgProcedureTab); });
        });
        pane->ResizeResultView.connect([this, &i](float, float, float, float) {
            if (faults::handler(i, "ResizeResultView"))
                reenter("ResizeResultView", [&] { pane->setResultViewState(pick(6)); });
        });
        pane->ResultViewPosition.connect([&i](float, float, float, float) { faults::handler(i, "ResultViewPosition"); });
        pane->ResizePanProcedure.connect([this, &i](std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy, bool) {
            if (faults::handler(i, "ResizePanProcedure"))
                reenter("ResizePanProcedure", [&] { pane->ResizeLabel(x, y, dx, dy); });
        });
        pane->ResizeRTFPane.connect([this, &i](float& x, float& y, float& dx, float& dy) {
            if (faults::handler(i, "ResizeRTFPane", x, y, dx, dy))
                reenter("ResizeRTFPane", [&] { pane->Content().setCaption("Resized"); });
        });
    }

    // A call back into a control from one of its own events, in one handler
    // call of five while the run is under injection; not nested deeper than
    // a host would plausibly go.
    template <class F>
    void reenter(const char* event, F&& f) {
        if (!m_reenter || m_depth >= 3 || pick(5) != 0) return;
        ++m_depth;
        op(event, std::forward<F>(f));
        --m_depth;
    }

    // The host behaves from now on: the same controls must answer as they
    // would in a run that never saw a fault.
    void checkRecovered() {
        inj->setRate(0);
        // A terminated pane fails every tab operation by design.
        m_recovered = !m_terminated;
        m_reenter = false;
        script = std::make_shared<ScriptedPresenter>();
        setPresenter(faults::presenter(inj, script));
        clicks.clear();
        auto realResult = std::make_shared<SimpleTestResult>(0, "clean comment");
        auto info = std::make_shared<SimpleElementInfo>("Clean element", 0, "Recovered procedure");
        auto ite = faults::element(inj, std::make_shared<SimpleTestElement>(info, realResult));
        auto its = faults::setup(inj, makeSetup(2, true, true));

        // The toolbar.
        expectNoEscape("DefineButtons", [&] {
            tb->DefineButtons(etgActionAll, etgRunAllButtons);  // Start changes form: made anew
            tb->DefineButtons(etgActionAll, etgRunStartAndStop);
        });
        expectNoEscape("XTgToolbar.Initialize", [&] { tb->Initialize(ite, its); });
        ASSERT_TRUE(tb->Button(ID_TGTBAR_START)) << where();
        EXPECT_EQ(ToolbarInternals::control(*tb->Button(ID_TGTBAR_START))->Caption(), "Start") << where();
        EXPECT_TRUE(enabled(ID_TGTBAR_START) && !enabled(ID_TGTBAR_STOP) && !enabled(ID_TGTBAR_NEXT)) << where();
        EXPECT_TRUE(enabled(ID_TGTBAR_NA) && enabled(ID_TGTBAR_SKIP) && enabled(ID_TGTBAR_CUSTOMIZE)) << where();
        auto menu = tb->GetPopupBar(ID_TGTBAR_STANDARDS);
        EXPECT_EQ(menu->Controls().Count(), 3) << where();
        EXPECT_EQ(tb->StandardSelection().CompleteName, "Standard 1") << where();
        EXPECT_TRUE(tb->Button(ID_TGTBAR_STANDARDS)->Visible()) << where();

        tb->SetButtonState(etgStateRunning);
        EXPECT_TRUE(enabled(ID_TGTBAR_STOP) && tb->Button(ID_TGTBAR_START)->Checked()) << where();
        EXPECT_FALSE(enabled(ID_TGTBAR_PREV) || enabled(ID_TGTBAR_NA) || enabled(ID_TGTBAR_CUSTOMIZE)) << where();
        tb->CommandBarsControl().pressKey(120, 0);  // F9
        tb->UpdateStatusBar(Variant("Clean run"), Variant(true), Variant(true));
        EXPECT_EQ(tb->StatusControl().Message(), "Clean run") << where();
        EXPECT_TRUE(tb->ProgressBar().Visible() && tb->ProgressBar().Animate()) << where();
        tb->UpdateStatusBar(std::nullopt, Variant(false), Variant(false));
        EXPECT_FALSE(tb->StatusControl().tmrProgIndet().TimerEnabled()) << where();
        tb->StatusBar().setStatus(1);
        EXPECT_EQ(tb->StatusControl().Status(), 1) << where();
        EXPECT_EQ(tb->StatusControl().StatusTexts()[0], "PASSED") << where();
        EXPECT_EQ(tb->StatusControl().lblStatus().ToolTipText(), "STEP COMPLETED:  PASSED") << where();
        tb->SetButtonState(etgStateCompleted);
        tb->CommandBarsControl().pressKey(78, FCONTROL);  // Ctrl+N
        const std::vector<std::pair<std::int32_t, bool>> expected{{ID_TGTBAR_START, true}, {ID_TGTBAR_NEXT, true}};
        EXPECT_EQ(clicks, expected) << where();

        // The dialog stores what the operator chose under the host's key.
        script->onModal([](Form& f) {
            auto& d = dynamic_cast<FCustomizeToolbar&>(f);
            d.optButtonSize(2).doClick();
            d.cmdOk().doClick();
        });
        execute(ID_TGTBAR_CUSTOMIZE);
        EXPECT_EQ(tb->ButtonSize(), 2) << where();
        auto stored = defaultSettingsStore().read(HKEY_LOCAL_MACHINE, XTgToolbar::SettingsKey(), "ButtonSize");
        EXPECT_EQ(stored, SettingsValue(2)) << where();

        // The content pane; one that was terminated only has to stay quiet.
        if (m_terminated) {
            expectNoEscape("terminated pane", [&] {
                pane->Initialize(ite, its);
                pane->SelectTab(etgCommentTab);
                std::string text = "after the end";
                pane->Content().SetProcedure(0, text);
                pane->setResultViewState(ervsLarge);
            });
            return;
        }
        expectNoEscape("XTgContentPane.Initialize", [&] { pane->Initialize(ite, its); });
        expectNoEscape("SelectTab", [&] { pane->SelectTab(etgProcedureTab); });
        auto& proc = pane->xpvProc();
        EXPECT_EQ(pane->Content().Caption(), "Clean element") << where();
        EXPECT_EQ(proc.procedureView(), &proc.textView()) << where();
        EXPECT_EQ(proc.textView().Text(), "Recovered procedure") << where();
        EXPECT_EQ(pane->activePage().get(), &proc) << where();

        std::string fragment = "<p>clean fragment</p>";
        pane->Content().SetProcedure(XPaneProcedure::fmtTemplate, fragment);
        settle();
        ASSERT_TRUE(proc.browserView()) << where();
        EXPECT_NE(body().find("clean fragment"), std::string::npos) << where() << body();
        pane->setDotNetRtf(false);  // the run may have handed rich text to the host
        std::string rtf = kRtf;
        pane->Content().SetProcedure(XPaneProcedure::fmtRichText, rtf);
        ASSERT_TRUE(proc.richEditView()) << where();
        EXPECT_NE(proc.richEditView()->Text().find("Connect the probe"), std::string::npos) << where();
        EXPECT_TRUE(proc.richEditView()->clickLink(0)) << where();
        EXPECT_EQ(opened.empty() ? std::string() : opened.back(), "http://example.invalid/probe") << where();
        std::string link = "file://" + (m_dir / "plan.html").string();
        pane->Content().SetProcedure(XPaneProcedure::fmtLink, link);
        settle();
        EXPECT_NE(body().find("Test plan"), std::string::npos) << where() << body();
        std::string missing = "file://" + (m_dir / "gone.html").string();
        pane->Content().SetProcedure(XPaneProcedure::fmtLinkAlt, missing);
        settle();
        EXPECT_NE(body().find("cannot be loaded"), std::string::npos) << where() << body();

        pane->SelectTab(etgCommentTab);
        auto* comment = dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(etgCommentTab)).get());
        ASSERT_TRUE(comment) << where();
        EXPECT_EQ(pane->activePage().get(), comment) << where();
        EXPECT_EQ(comment->Comment(), "clean comment") << where();
        EXPECT_TRUE(comment->Visible()) << where();

        pane->ShowTab(etgDutInfoTab, true);
        pane->SelectTab(etgDutInfoTab);
        auto* dut = dynamic_cast<XPaneDutInfo*>(pane->page(XTgContentPane::pageKey(etgDutInfoTab)).get());
        // The page keeps the setup it was made with; only its showing is new.
        ASSERT_TRUE(dut && dut->xieDutInfo()) << where();
        EXPECT_EQ(pane->activePage().get(), dut) << where();
        EXPECT_TRUE(dut->Visible() && pane->xtsTabStrip().Tabs(etgDutInfoTab).Visible()) << where();

        if (m_customTab > 0) {
            pane->SelectTab(m_customTab);
            EXPECT_TRUE(requestedPage->Visible()) << where();
            EXPECT_FALSE(comment->Visible()) << where();
        }
        pane->setHelpPageControl(faults::control(inj, faults::Kind::HostPage, helpPage));
        pane->SelectTab(etgHelpTab);
        EXPECT_TRUE(helpPage->Visible() && !requestedPage->Visible()) << where();
        pane->SelectTab(etgProcedureTab);
        EXPECT_FALSE(helpPage->Visible()) << where();
        pane->setResultViewState(ervsMinimized);
        pane->setResultViewState(ervsLarge);
        float top = 0;
        ASSERT_TRUE(pane->splitterTopFor(ervsLarge, top));
        EXPECT_EQ(pane->xmsSplit().Top(), static_cast<std::int32_t>(top)) << where();
        EXPECT_EQ(resultView->Top(), pane->xmsSplit().Top() + pane->xmsSplit().Height()) << where();

        // Nothing a failure interrupted is left half done: no freeze of the
        // window, no busy count keeping the browser's events quiet.
        EXPECT_FALSE(WindowUpdateLock::held()) << where();
        EXPECT_EQ(proc.BusyCount(), 0) << where();
    }

    std::uint64_t seed() const { return m_seed; }
    std::vector<std::string> escapes;
    // Internal faults, and errors contained once the host behaved: neither
    // may happen.
    std::vector<std::string> unexpected;
    ContainedTally tally;

    std::shared_ptr<faults::Injector> inj;

private:
    std::uint32_t pick(std::size_t n) { return static_cast<std::uint32_t>(m_rng() % n); }
    std::string where() const { return "seed " + std::to_string(m_seed); }
    bool enabled(std::int32_t id) const {
        auto b = tb->Button(id);
        return b && b->Enabled();
    }
    std::string body() const {
        auto* web = pane->xpvProc().browserView();
        return web && web->Document() ? web->Document()->body().innerHTML() : std::string();
    }
    void settle() {
        loop().waitWhile([this] {
            auto* web = pane ? pane->xpvProc().browserView() : nullptr;
            return web && web->Busy();
        }, 30000);
        loop().advance(1);
    }

    void onContained(const ContainedError& e) {
        if (e.internalFault) {
            ++tally.internalFaults;
            unexpected.push_back("internal fault contained in " + e.operation() + " (" + e.file + ":" +
                                 std::to_string(e.line) + "): " + e.text);
            // Said at once: under the test switch the process ends right after.
            std::cerr << "[ faults   ] " << where() << ": " << unexpected.back() << std::endl;
        } else if (m_recovered) {
            ++tally.afterRecovery;
            unexpected.push_back("error " + std::to_string(e.number) + " contained in " + e.operation() + " (" +
                                 e.file.substr(e.file.find_last_of('/') + 1) + ":" + std::to_string(e.line) +
                                 ") after the host behaved again: " + e.text);
            std::cerr << "[ faults   ] " << where() << ": " << unexpected.back() << std::endl;
        } else if (hostMisuse(e)) {
            ++tally.whileFailing;
            ++tally.hostMisuse;
            ++tally.byNumber[e.number];
        } else {
            ++tally.whileFailing;
            ++tally.byNumber[e.number];
            m_containedHere.push_back("error " + std::to_string(e.number) + " contained in " + e.operation() + " (" +
                                      e.file.substr(e.file.find_last_of('/') + 1) + ":" + std::to_string(e.line) +
                                      "): " + e.text);
        }
    }

    // Errors the host causes without any fault injected: it passes an
    // argument that is no flag, presses a web toolbar button it cannot see,
    // calls a pane it terminated, or hands over a setup without the second
    // view the DUT page reads its flag from. Each is reported, as it should
    // be, and none is a fault of the library.
    bool hostMisuse(const ContainedError& e) const {
        if (m_opName == "UpdateStatusBar (no flag)") return e.number == errTypeMismatch;
        if (m_opName == "web toolbar (hidden)") return true;
        if (m_terminated && e.control == "XTgContentPane" && e.number == errObjectRequired) return true;
        return e.operation() == "XPaneDutInfo::Initialize" && e.number == errNoSuchMember;
    }

    // A public operation: any exception out of it is a finding, and so is
    // an error it contained while no fault was injected during it (a fault
    // of the library's own, whatever its type).
    template <class F>
    void op(const char* name, F&& f) {
        const std::uint64_t faultsBefore = inj->totalFaults();
        const std::size_t containedBefore = m_containedHere.size();
        const std::string outerName = std::exchange(m_opName, name);
        try {
            f();
        } catch (const std::exception& e) {
            escapes.push_back(std::string(name) + ": " + e.what());
        } catch (...) {
            escapes.push_back(std::string(name) + ": unknown exception");
        }
        m_opName = outerName;
        if (inj->totalFaults() == faultsBefore)
            for (std::size_t i = containedBefore; i < m_containedHere.size(); ++i) {
                unexpected.push_back(m_containedHere[i] + ", in " + name + " while no fault was injected");
                std::cerr << "[ faults   ] " << where() << ": " << unexpected.back() << std::endl;
            }
        if (m_depth == 0) m_containedHere.clear();
    }
    template <class F>
    void expectNoEscape(const char* name, F&& f) {
        const std::size_t before = escapes.size();
        op(name, std::forward<F>(f));
        EXPECT_EQ(escapes.size(), before) << where() << ": " << escapes.back();
    }

    void execute(std::int32_t id) {
        op("Execute", [&] {
            if (auto c = tb->Bar()->FindControl(0, id, false, true)) c->Execute();
        });
    }

    // The operator opens Customize... and works the dialog before OK or
    // Cancel.
    void customize() {
        const std::uint32_t plan = pick(1u << 12);
        script->onModal([plan](Form& f) {
            auto* d = dynamic_cast<FCustomizeToolbar*>(&f);
            if (!d) return;
            d->optButtonSize(static_cast<std::int32_t>(plan % 3)).doClick();
            d->optLabels(static_cast<std::int32_t>((plan >> 2) % 3)).doClick();
            d->optStyle(static_cast<std::int32_t>((plan >> 4) % 2)).doClick();
            if (plan & 0x20) d->chkFade().doClick();
            d->tabCustomize().setSelectedItem(1);
            if (d->lvwButtons().count() > 0) {
                d->lvwButtons().clickItem(1 + static_cast<std::int32_t>(plan % d->lvwButtons().count()));
                d->cmdDown().doClick();
                d->cmdAddSep().doClick();
                d->cmdUp().doClick();
            }
            if ((plan & 0x40) && d->cboScheme().ListCount() == 2)
                d->cboScheme().setListIndex(static_cast<std::int32_t>((plan >> 7) % 2));
            if (plan & 0x200) d->cmdRestore().doClick();
            if (plan & 0x400) d->cmdOk().doClick();
            else if (plan & 0x800) d->cmdCancel().doClick();
        });
        execute(ID_TGTBAR_CUSTOMIZE);
    }

    void clickTab() {
        op("tab click", [&] {
            auto& strip = pane->xtsTabStrip();
            const std::int32_t tab = static_cast<std::int32_t>(pick(static_cast<std::size_t>(strip.TabCount())));
            strip.Tabs(tab).doMouseDown(vbLeftButton, 0, 10, 10);
        });
    }

    // Input on whatever page and view is showing.
    void pageInput() {
        op("page input", [&] {
            if (auto* c = dynamic_cast<XPaneComment*>(pane->page(XTgContentPane::pageKey(etgCommentTab)).get()))
                c->txtComment().typeText("typed " + std::to_string(pick(9)));
            if (auto* rich = pane->xpvProc().richEditView()) rich->clickLink(0);
            pane->xpvProc().details().flipTab().doClick();
            pane->doKeyPress(13);
        });
    }

    // The progress bar's setters are the one place allowed to report a
    // failure to the host, and only as our Error.
    void progressBar() {
        try {
            tb->ProgressBar().setVisible(pick(2) == 0);
            tb->ProgressBar().setValue(static_cast<std::int16_t>(pick(120)));
            tb->ProgressBar().setAnimate(pick(2) == 0);
        } catch (const Error&) {
        } catch (const std::exception& e) {
            escapes.push_back(std::string("ProgressBar setters: ") + e.what());
        }
    }

    void webToolbar() {
        static constexpr std::int32_t ids[] = {XWebToolbar::idBack, XWebToolbar::idForward, XWebToolbar::idHome,
                                               XWebToolbar::idRefresh, XWebToolbar::idStop};
        const std::int32_t id = ids[pick(std::size(ids))];
        // Pressed whether or not it is shown: a hidden bar has no browser to
        // act on, which no operator could do to it.
        const bool shown = pane->xpvProc().WebToolbarShown();
        op(shown ? "web toolbar" : "web toolbar (hidden)", [&] {
            if (auto c = pane->xpvProc().webToolbar().Bar()->FindControl(0, id)) c->Execute();
        });
    }

    // Every format the pane knows, a link that loads and two that fail.
    std::pair<std::int16_t, std::string> procedure(std::int16_t kind) {
        switch (kind) {
            case 0: return {0, "Plain step " + std::to_string(pick(99))};
            case 1: return {XPaneProcedure::fmtRichText, kRtf};
            case 2: return {XPaneProcedure::fmtTemplate, "<p>Fragment <b>" + std::to_string(pick(99)) + "</b></p>"};
            case 3: return {XPaneProcedure::fmtLink, "file://" + (m_dir / "plan.html").string()};
            case 4: return {XPaneProcedure::fmtLinkAlt, "file://" + (m_dir / "gone.html").string()};
            default: return {XPaneProcedure::fmtLink, "http://unreachable.invalid/plan"};
        }
    }

    std::shared_ptr<ITestElement> makeElement(int index, std::int16_t kind) {
        auto [format, text] = procedure(kind);
        auto info = std::make_shared<SimpleElementInfo>(pick(4) ? "Element " + std::to_string(index) : "", format, text);
        if (pick(2)) info->setView("Primary", pick(2) ? "Secondary" : "");
        auto result = std::make_shared<SimpleTestResult>(static_cast<std::int32_t>(pick(4)), "comment");
        return std::make_shared<SimpleTestElement>(info, pick(5) ? result : nullptr);
    }

    std::shared_ptr<ITestSetup> makeSetup(int standards, bool withDut, bool secondView) {
        auto list = std::make_shared<SimpleStandardsList>();
        for (int i = 1; i <= standards; ++i) list->add("G" + std::to_string(i), "Standard " + std::to_string(i));
        auto dut = withDut ? std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{
                                 {"Serial", "A-1"}, {"Firmware", "2.4"}})
                           : nullptr;
        auto s = std::make_shared<SimpleTestSetup>(dut, list);
        if (secondView) s->setSecondView(m_windowSettings, true);
        return s;
    }

    std::uint64_t m_seed;
    std::mt19937_64 m_rng;
    fs::path m_dir;
    std::shared_ptr<CatalogueTranslator> m_translator = std::make_shared<CatalogueTranslator>();
    std::shared_ptr<SimpleSettings> m_settings = std::make_shared<SimpleSettings>();
    std::shared_ptr<SimpleWindowSettings> m_windowSettings = std::make_shared<SimpleWindowSettings>();
    std::shared_ptr<ScriptedPresenter> script;
    std::shared_ptr<Form> form;
    std::shared_ptr<XTgToolbar> tb;
    std::shared_ptr<XTgContentPane> pane;
    std::shared_ptr<Control> resultView, helpPage, customPage, requestedPage;
    std::int16_t m_customTab = 0;
    bool m_terminated = false;
    bool m_recovered = false;
    // The run's services (sink, presenter, opener, host objects) go when it does.
    ServicesScope m_services;
    std::vector<std::string> m_containedHere;  // by the operation under way
    std::string m_opName;
    bool m_reenter = true;
    int m_depth = 0;
    std::vector<std::pair<std::int32_t, bool>> clicks;
    std::vector<std::string> opened;
};

class FaultyHostRuns : public ::testing::Test {
protected:
    test_support::StartUpAgain startUpAgain;
    ServicesScope services;
    static void SetUpTestSuite() { totals = std::make_unique<faults::Injector>(0, 0); }
    static void TearDownTestSuite() {
        std::cout << "[ faults   ] calls and faults per kind (thrown / nothing):\n";
        for (std::size_t k = 0; k < faults::kKinds; ++k) {
            const auto kind = static_cast<faults::Kind>(k);
            std::cout << "[ faults   ]   " << faults::kindName(kind) << ": " << totals->calls(kind) << " calls, "
                      << totals->thrown(kind) << " / " << totals->nothing(kind) << "\n";
        }
        std::cout << "[ faults   ] total faults injected: " << totals->totalFaults() << "\n";
        std::cout << "[ faults   ] errors contained while the host failed: " << contained.whileFailing
                  << " (by number:";
        for (const auto& [n, count] : contained.byNumber) std::cout << " " << n << " x" << count;
        std::cout << "), " << contained.hostMisuse << " of them caused by the host's own calls; after it behaved: "
                  << contained.afterRecovery
                  << "; internal faults: " << contained.internalFaults << std::endl;
        totals.reset();
        contained = ContainedTally{};
    }
    void SetUp() override {
        loop().useVirtualClock(true);
        dir = fs::temp_directory_path() / ("tgcl-faults-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "plan.html") << "<html><body><h1>Test plan</h1></body></html>";
        std::ofstream(dir / "template.html") << "<html><head><title>T</title></head><body></body></html>";
        store = std::make_shared<MemorySettingsStore>();
        store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template", "Empty",
                     (dir / "template.html").string());
        setDefaultSettingsStore(store);
        HostServices::reset();
        MMain::restart();
    }
    void TearDown() override {
        loop().advance(60000);
        fs::remove_all(dir);
    }

    static inline std::unique_ptr<faults::Injector> totals;
    static inline ContainedTally contained;
    fs::path dir;
    std::shared_ptr<MemorySettingsStore> store;
};

}  // namespace

TEST_F(FaultyHostRuns, GuidedRunsContainEveryFaultAndRecover) {
    const int runs = envInt("TGCL_FAULT_RUNS", kDefaultRuns);
    const auto firstSeed = static_cast<std::uint64_t>(envInt("TGCL_FAULT_SEED", 1));
    int reported = 0;
    for (int r = 0; r < runs; ++r) {
        const std::uint64_t seed = firstSeed + static_cast<std::uint64_t>(r);
        GuidedRun run(seed, kRates[seed % std::size(kRates)], dir);
        for (int e = 0; e < kElementsPerRun; ++e) run.element(e);
        if (seed % 7 == 0) run.terminateAndCarryOn();
        for (const auto& escape : run.escapes)
            if (reported++ < 20) ADD_FAILURE() << "seed " << seed << ": an error escaped " << escape;
        run.checkRecovered();
        for (const auto& what : run.unexpected)
            if (reported++ < 20) ADD_FAILURE() << "seed " << seed << ": " << what;
        totals->addCounts(*run.inj);
        contained.add(run.tally);
        if (HasFatalFailure()) break;
    }
    // A run in which nothing failed proves nothing about containment.
    EXPECT_GT(totals->totalFaults(), static_cast<std::uint64_t>(runs));
    // The host's faults are the only errors contained: none is a fault of
    // the library, and none is left once the host behaves.
    EXPECT_GT(contained.whileFailing, 0u);
    EXPECT_EQ(contained.internalFaults, 0u);
    EXPECT_EQ(contained.afterRecovery, 0u);
    for (std::size_t k = 0; k < faults::kKinds; ++k)
        EXPECT_GT(totals->calls(static_cast<faults::Kind>(k)), 0u) << faults::kindName(static_cast<faults::Kind>(k));
}

// The template page is read once at start-up through a registry object that
// may fail in every way; start-up never fails and falls back to about:blank.
TEST_F(FaultyHostRuns, StartUpSurvivesAFailingRegistry) {
    auto inj = std::make_shared<faults::Injector>(7, 0.5);
    faults::installServices(inj, std::make_shared<CatalogueTranslator>(), std::make_shared<SimpleSettings>());
    const std::string page = (dir / "template.html").string();
    int blank = 0;
    for (int i = 0; i < 200; ++i) {
        EXPECT_NO_THROW(MMain::restart());
        const std::string got = MMain::TemplatePage();
        EXPECT_TRUE(got == page || got == "about:blank") << got;
        blank += got == "about:blank";
    }
    EXPECT_GT(blank, 0);
    EXPECT_LT(blank, 200);
    inj->setRate(0);
    MMain::restart();
    EXPECT_EQ(MMain::TemplatePage(), page);
    faults::uninstallServices();
}
