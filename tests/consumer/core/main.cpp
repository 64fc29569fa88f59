// A host of the controls without a toolkit: builds a run form, presses a
// command, draws the form, and crosses the library boundary with a thrown
// error and a dynamic_cast, which work only when the library exports the
// classes' type information.
#include <tavixTGCL2/tavixTGCL2.h>

#include <iostream>
#include <memory>
#include <string>

using namespace tavixTGCL2;

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    std::cout << (ok ? "ok" : "FAILED") << " - " << what << "\n";
    if (!ok) ++failures;
}

}  // namespace

int main() {
    setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
    check(MMain::TemplatePage() == "about:blank", "template page: " + MMain::TemplatePage());
    check(TranslateText("253::Start") == "Start", "the built-in catalogue translates 253");

    auto form = std::make_shared<Form>("frmRun");
    form->Move(0, 0, 12000, 9000);
    auto toolbar = form->create<XTgToolbar>("xtbRun");
    auto pane = form->create<XTgContentPane>("xcpContent");
    toolbar->Move(0, 0, form->ScaleWidth(), 600);
    pane->Move(0, toolbar->Height(), form->ScaleWidth(), form->ScaleHeight() - toolbar->Height());
    toolbar->DefineButtons(etgActionAll, etgRunStartAndStop);
    toolbar->SetButtonState(etgStateIdle);

    int clicks = 0;
    bool byKey = true;
    toolbar->ButtonClick.connect([&](std::shared_ptr<CTgToolbarButton> button, bool fAccelerator) {
        if (button && button->ID() == ID_TGTBAR_START) ++clicks;
        byKey = fAccelerator;
    });
    check(toolbar->ExecuteCommand(ID_TGTBAR_START) && clicks == 1 && !byKey, "Start pressed raises ButtonClick");

    float top = -1, height = -1;
    pane->ResizeResultView.connect([&](float, float t, float, float h) {
        top = t;
        height = h;
    });
    pane->setResultViewState(ervsLarge);
    check(top > 0 && height > 0 && top + height == static_cast<float>(pane->ScaleHeight()),
          "ResizeResultView reports the area below the splitter, in the pane's twips");

    pane->Content().SetProcedure(etgProcPlainText, "Connect the probe.");
    form->setVisible(true);
    const Surface picture = Compositor::render(*form);
    check(picture.width() == Screen::toPixels(12000) && picture.height() == Screen::toPixels(9000),
          "the form draws at 800x600 pixels");

    bool caught = false;
    try {
        ControlFactory::create("no.such.Control");
    } catch (const Error& e) {
        caught = e.code() != 0;
    }
    check(caught, "an Error thrown inside the library is caught by type in the host");

    std::shared_ptr<Control> made = ControlFactory::create(XTgProgressBar::kClassName);
    check(std::dynamic_pointer_cast<XTgProgressBar>(made) != nullptr, "a control created by name casts to its class");

    std::cout << (failures ? "consumer-core: FAILED\n" : "consumer-core: all checks passed\n");
    return failures ? 1 : 0;
}
