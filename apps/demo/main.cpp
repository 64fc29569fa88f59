// The demo host: starts the library the way a test-automation host does,
// creates the controls that exist and prints what happens.
#include <tavixTGCL2.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "PngFile.h"
#include "platform/Compositor.h"
#include "progress/XStatusBar.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

void say(const std::string& what) { std::cout << "  " << what << "\n"; }

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path out = "demo-out";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--help") {
            std::cout << "usage: tgcl-demo [--out DIR]\n";
            return 0;
        } else {
            std::cerr << "tgcl-demo: unknown argument " << a << "\n";
            return 2;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    // The demo keeps its settings beside its output, not in the user's folder.
    setDefaultSettingsStore(std::make_shared<FileSettingsStore>(out / "settings"));

    std::cout << "tavixTGCL2 demo host\n";
    std::cout << "start-up:\n";
    say("template page = " + MMain::TemplatePage());

    std::cout << "text lookup:\n";
    for (const char* lit : {"253::Start", "Next", "241::Selected standard: %%1"})
        say(std::string(lit) + " -> " + TranslateText(lit));
    say("208 with argument 3 -> " + translate("208::STEP COMPLETED:  %%1", {Variant(3)}));

    std::cout << "settings store (" << (out / "settings").string() << "):\n";
    StoreRegistry reg;
    reg.OpenKey(HKEY_LOCAL_MACHINE, HostServices::SettingsPath()->Path(1004) + "\\Test Guide");
    Variant runs = reg.ReadValue("DemoRuns");
    std::int32_t n = runs.isEmpty() ? 0 : runs.toInt32();
    reg.WriteValue("DemoRuns", n + 1);
    say("this demo has run " + std::to_string(n + 1) + " time(s)");

    std::cout << "a host form with a modal dialog answered by a script:\n";
    auto sp = std::make_shared<ScriptedPresenter>();
    setPresenter(sp);
    Form dlg("FDemo");
    dlg.setCaption("270::Customize Toolbar");
    HostServices::Translator()->TranslateControls("", dlg);
    auto ok = dlg.create<CommandButton>("cmdOk");
    ok->setCaption("1::&Ok");
    ok->setDefault(true);
    ok->Click.connect([&] {
        say("cmdOk clicked: the dialog closes");
        dlg.unload();
    });
    dlg.Load.connect([&] { say("Load: '" + dlg.Caption() + "'"); });
    sp->onModal([](Form& f) { f.pressKey(13); });
    dlg.show(true);

    std::cout << "the run toolbar through idle, running and completed:\n";
    {
        auto tb = std::make_shared<XTgToolbar>();
        tb->Move(0, 0, 12000, 600);
        tb->ButtonClick.connect([](std::shared_ptr<CTgToolbarButton> btn, bool acc) {
            say("ButtonClick " + std::to_string(btn->ID()) + (acc ? " (accelerator)" : " (click)"));
        });
        tb->StandardSelectionChange.connect([&] {
            say("StandardSelectionChange: " + tb->StandardSelection().CompleteName);
        });
        auto standards = std::make_shared<SimpleStandardsList>();
        standards->add("IEC", "IEC 60601-1");
        standards->add("UL", "UL 2601-1");
        auto setup = std::make_shared<SimpleTestSetup>(nullptr, standards);
        tb->DefineButtons(etgActionAll, etgRunAllButtons);
        tb->Initialize(nullptr, setup);
        auto state = [&](const char* name) {
            std::string s = std::string(name) + ": enabled";
            for (int id : {101, 102, 103, 201, 202, 301, 302})
                if (tb->Button(id)->Enabled()) s += " " + std::to_string(id);
            say(s);
        };
        state("idle");
        say("operator presses F9");
        tb->CommandBarsControl().pressKey(etgKeyStart, 0);
        tb->SetButtonState(etgStateRunning);
        tb->UpdateStatusBar(Variant("Measuring leakage current"), Variant(true), Variant(true));
        state("running");
        say("operator presses Ctrl+N while running (Next is disabled: nothing happens)");
        tb->CommandBarsControl().pressKey(etgKeyNext, etgKeyMaskCtrl);
        tb->ProgressBar().setVisible(false);
        tb->StatusBar().setStatus(1);
        tb->SetButtonState(etgStateCompleted);
        state("completed");
        say("status bar shows: " + tb->StatusControl().lblStatus().Caption());
        say("operator presses Ctrl+N");
        tb->CommandBarsControl().pressKey(etgKeyNext, etgKeyMaskCtrl);
        say("operator picks the second standard from the Standards menu");
        tb->GetPopupBar(ID_TGTBAR_STANDARDS)->Controls().Item(2)->Execute();
        say("button layout: " + tb->ButtonLayout());
    }

    EventLoop::current().useVirtualClock(true);
    std::cout << "the content pane with a procedure in each format:\n";
    {
        auto form = std::make_shared<Form>("frmRun");
        form->Move(0, 0, 9000, 6000);
        auto pane = form->create<XTgContentPane>("xcpContent");
        pane->Move(0, 0, 9000, 6000);
        pane->ResizeResultView.connect([](float l, float t, float w, float h) {
            say("ResizeResultView " + std::to_string(int(l)) + "," + std::to_string(int(t)) + " " +
                std::to_string(int(w)) + "x" + std::to_string(int(h)) + " twips");
        });
        pane->TabClick.connect([](std::int32_t tab) { say("TabClick " + std::to_string(tab)); });
        pane->CommentChange.connect([] { say("CommentChange"); });
        auto info = std::make_shared<SimpleElementInfo>("Supply voltage at TP3", 0,
                                                        "Set the supply to 12 V and read TP3.");
        auto result = std::make_shared<SimpleTestResult>(0, "");
        auto dut = std::make_shared<SimpleDutInfo>();
        dut->add("Serial number", "SN-0042");
        auto setup = std::make_shared<SimpleTestSetup>(dut, nullptr);
        pane->Initialize(std::make_shared<SimpleTestElement>(info, result), setup);
        auto shot = [&](const std::string& name) {
            std::string path = (out / (name + ".png")).string();
            if (writePng(Compositor::render(*pane), path)) say("picture: " + path);
        };
        shot("content-plain");
        std::string html = "<h3>Ripple</h3><p>Set the scope to 20 mV/div and read the ripple.</p>";
        pane->Content().SetProcedure(3, html);
        EventLoop::current().advance(100);  // let the template page load
        shot("content-html");
        std::string missing = "file:///no/such/procedure.html";
        pane->Content().SetProcedure(4, missing);
        EventLoop::current().advance(100);
        say("a link that cannot load shows the failure page");
        shot("content-link-failure");
        pane->setResultViewState(ervsLarge);
        pane->SelectTab(etgCommentTab);
        pane->Content().setComment("Ripple within limits.");
        say("comment now: " + pane->Content().Comment());
        shot("content-comment");
    }

    std::cout << "timers on a virtual clock:\n";
    auto& loop = EventLoop::current();
    loop.useVirtualClock(true);
    int ticks = 0;
    Timer tmr("tmrProgress");
    tmr.Tick.connect([&] { ++ticks; });
    tmr.setInterval(150);
    loop.advance(1000);
    say("150 ms timer ticked " + std::to_string(ticks) + " times in 1 s");
    return 0;
}
