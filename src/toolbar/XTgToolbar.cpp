#include "toolbar/XTgToolbar.h"

#include <mutex>

#include "frame/Captions.h"
#include "frame/MMain.h"
#include "frame/TextLookup.h"
#include "platform/Error.h"
#include "progress/XStatusBar.h"
#include "resources/Resources.h"
#include "toolbar/FCustomizeToolbar.h"
#include "toolbar/ToolbarIcons.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XTgToolbar::registerClass(), true);

std::function<void(XTgToolbar&)>& customizeOpener() {
    static std::function<void(XTgToolbar&)> opener;
    return opener;
}

// One icon list serves every toolbar: drawing the icons is the costly part
// of building a toolbar and they never change.
std::shared_ptr<ImageManager> sharedIcons() {
    static std::shared_ptr<ImageManager> icons = ToolbarIcons::makeImageManager();
    return icons;
}

constexpr std::int32_t kDockBottomStretchedNoWrap = cbdBottom | cbdNoWrap | cbdStretched;  // 98

}  // namespace

XTgToolbar::XTgToolbar(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    setCanGetFocus(true);
    m_cbrBars = create<CommandBars>("cbrBars");
    pboStatus = create<PictureBox>("pboStatus");
    xsbStatus = pboStatus->create<XStatusBar>("xsbStatus");
    connectEvents();
    UserControl_Initialize();
}

XTgToolbar::~XTgToolbar() = default;

void XTgToolbar::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XTgToolbar>(); });
}

void XTgToolbar::connectEvents() {
    m_cbrBars->Execute.connect([this](std::shared_ptr<CommandBarControl> c) { OnExecute(c); });
    m_cbrBars->Resize.connect([this] { OnBarsResized(); });
    m_cbrBars->ContextMenu.connect(
        [this](std::shared_ptr<CommandBar>, std::shared_ptr<CommandBar>& menu) { OnContextMenu(menu); });
}

// --- construction -------------------------------------------------------------

void XTgToolbar::UserControl_Initialize() {
    // 1. The design-time bar; the test-guide bar is bar 2.
    resumeNext([&] {
        m_cbrBars->LoadDesignerBars(std::string(Resources::get(kBarResource)));
        m_cbrBars->setIcons(sharedIcons());
    });
    resumeNext([&] { m_cbrBars->EnableCustomization(false); });
    resumeNext([&] { m_bar = m_cbrBars->Item(2); });
    // 2. A fixed strip: no gripper, docked at the bottom, stretched, no wrap,
    // no user options.
    resumeNext([&] { m_bar->ModifyStyle(cbwGripper, 0); });
    resumeNext([&] { m_bar->EnableDocking(kDockBottomStretchedNoWrap); });
    resumeNext([&] { m_bar->setShowExpandButton(false); });
    resumeNext([&] { m_bar->setCustomizable(false); });
    resumeNext([&] { m_bar->setOption(1, false); });  // no floating by the operator
    // 3. The status host paints what the bar paints behind hosted windows.
    resumeNext([&] { pboStatus->setBackColor(m_cbrBars->SpecialColor(cbcolToolbarFace)); });
    // 4. The status control, stretched over the bar's free width.
    resumeNext([&] {
        auto ctl = m_bar->Controls().Add(cbcCustom, ID_TGTBAR_STATUS, captionText("262::Statusbar"));
        ctl->setFlags(cbfStretched);
        ctl->setHostedWindow(pboStatus);
    });
    // 5. The default accelerators.
    resumeNext([&] { m_cbrBars->KeyBindings().DeleteAll(); });
    AddAccelerator(ID_TGTBAR_ABORT, etgKeyAbort, etgKeyMaskNone);
    AddAccelerator(ID_TGTBAR_PREV, etgKeyPrevious, etgKeyMaskCtrl);
    AddAccelerator(ID_TGTBAR_NEXT, etgKeyNext, etgKeyMaskCtrl);
    AddAccelerator(ID_TGTBAR_START, etgKeyStart, etgKeyMaskNone);
    AddAccelerator(ID_TGTBAR_STOP, etgKeyStop, etgKeyMaskCtrl);
    AddAccelerator(ID_TGTBAR_NA, etgKeyNA, etgKeyMaskCtrl);
    AddAccelerator(ID_TGTBAR_SKIP, etgKeySkip, etgKeyMaskCtrl);
    // 6. Skip and NA offered, no run buttons.
    DefineButtons(etgActionSkipAndNa, etgRunNone);
    // 7. Captions and tooltips through the text lookup, menus included.
    resumeNext([&] { TranslateBar(m_bar); });
    // 8. The standard selection lives as long as the toolbar.
    if (!m_cssStdSel) m_cssStdSel = std::make_shared<CTgStandardSel>();
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

void XTgToolbar::TranslateBar(const std::shared_ptr<CommandBar>& bar) {
    for (std::int32_t i = 1; i <= bar->Controls().Count(); ++i) {
        auto c = bar->Controls().Item(i);
        resumeNext([&] { c->setCaption(captionText(c->Caption())); });
        resumeNext([&] { c->setToolTipText(captionText(c->ToolTipText())); });
        if (c->Type() == cbcPopup || c->Type() == cbcButtonPopup)
            resumeNext([&] { TranslateBar(c->CommandBar()); });
    }
}

// --- buttons -----------------------------------------------------------------

std::shared_ptr<CommandBarControl> XTgToolbar::findControl(std::int32_t id) const {
    if (!m_bar) return nullptr;
    return m_bar->FindControl(0, id, false, true);
}

std::shared_ptr<CommandBarControl> XTgToolbar::ownControl(std::int32_t id) const {
    if (!m_bar) return nullptr;
    return m_bar->Controls().Find(0, id);
}

bool XTgToolbar::ExecuteCommand(std::int32_t id) {
    // The same path as a click: the bar's Execute event reaches OnExecute,
    // which tells a click from a key binding by the control's own bar.
    bool done = false;
    resumeNext([&] {
        auto control = findControl(id);
        done = control && control->Execute();
    });
    return done;
}

std::shared_ptr<CTgToolbarButton> XTgToolbar::Button(std::int32_t ID) const {
    try {
        auto c = findControl(ID);
        return CTgToolbarButton::of(c);
    } catch (...) {
        reportContained();
        return nullptr;
    }
}

ITgProgressBar& XTgToolbar::ProgressBar() { return xsbStatus->ProgressBarInterface(); }

bool XTgToolbar::VerdictMark() const { return xsbStatus && xsbStatus->VerdictMark(); }

void XTgToolbar::setVerdictMark(bool on) {
    if (xsbStatus) resumeNext([&] { xsbStatus->setVerdictMark(on); });
}

void XTgToolbar::AddAccelerator(std::int32_t idBtn, std::int16_t iKey, std::int32_t eCtrlMask) {
    resumeNext([&] { m_cbrBars->KeyBindings().Add(eCtrlMask, iKey, idBtn); });
}

void XTgToolbar::DefineButtons(std::int32_t eActionButtons, std::int32_t eRunButtons) {
    m_lActionMask = eActionButtons;
    m_lRunMask = eRunButtons;
    resumeNext([&] { required(Button(ID_TGTBAR_NA), "button").setEnabled((eActionButtons & etgActionNA) != 0); });
    resumeNext([&] { required(Button(ID_TGTBAR_SKIP), "button").setEnabled((eActionButtons & etgActionSkip) != 0); });
    resumeNext([&] {
        required(findControl(ID_TGTBAR_STANDARDS), "control").setVisible((eActionButtons & etgActionStandards) != 0);
    });
    resumeNext([&] { required(Button(ID_TGTBAR_STOP), "button").setEnabled((eRunButtons & etgRunStop) != 0); });
    resumeNext([&] { required(Button(ID_TGTBAR_START), "button").setEnabled((eRunButtons & etgRunStart) != 0); });
    resumeNext([&] { SetupStartButton((eRunButtons & etgRunStep) != 0); });
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

void XTgToolbar::SetupStartButton(bool fStep) {
    std::int32_t position = 0;
    std::shared_ptr<CommandBarControl> start;
    resumeNext([&] {
        start = ownControl(ID_TGTBAR_START);
        if (!start) {
            auto stop = ownControl(ID_TGTBAR_STOP);
            position = stop ? stop->Index() + 1 : 0;
        }
    });
    if (start) {
        bool keep = false;
        resumeNext([&] {
            position = start->Index();
            bool plain = start->Type() == cbcButton;
            keep = plain != fStep;  // already in the form asked for
        });
        if (keep) return;
        resumeNext([&] { start->Delete(); });
    }
    std::shared_ptr<CommandBarControl> ctl;
    resumeNext([&] {
        ctl = m_bar->Controls().Add(fStep ? cbcSplitButtonPopup : cbcButton, ID_TGTBAR_START,
                                    captionText("253::Start"), position);
    });
    // When the Start button could not be made, the statements that finish
    // it fail one by one; the next DefineButtons makes it again.
    resumeNext([&] { required(ctl, "Start").setToolTipText(captionText("213::Start automatic test")); });
    resumeNext([&] {
        if (TextLabels() == etgLabelsSelective) required(ctl, "Start").setStyle(cbsIconAndCaption);
    });
    resumeNext([&] { required(ctl, "Start").setEnabled((m_lRunMask & etgRunStart) != 0); });
    if (fStep)
        resumeNext([&] {
            required(ctl, "Start").CommandBar()->Controls().Add(cbcButton, ID_TGTBAR_STEP,
                                                                captionText("255::Stepwise test"));
        });
}

void XTgToolbar::SetButtonState(std::int32_t eState) {
    const bool running = eState == etgStateRunning;
    resumeNext([&] { required(Button(ID_TGTBAR_PREV), "button").setEnabled(!running); });
    resumeNext([&] { required(Button(ID_TGTBAR_NEXT), "button").setEnabled(eState == etgStateCompleted); });
    resumeNext([&] { required(Button(ID_TGTBAR_STOP), "button").setEnabled(running && (m_lRunMask & etgRunStop)); });
    resumeNext([&] {
        // The handle must outlive the reference taken from it.
        const auto handle = Button(ID_TGTBAR_START);
        auto& start = required(handle, "button");
        start.setEnabled((m_lRunMask & etgRunStart) != 0);
        start.setChecked(start.Enabled() && running);
    });
    if (m_lRunMask & etgRunStep)
        resumeNext([&] { required(Button(ID_TGTBAR_STEP), "button").setEnabled(!running); });
    resumeNext([&] { required(Button(ID_TGTBAR_NA), "button").setEnabled((m_lActionMask & etgActionNA) && !running); });
    resumeNext([&] {
        required(Button(ID_TGTBAR_SKIP), "button").setEnabled((m_lActionMask & etgActionSkip) && !running);
    });
    resumeNext([&] { required(Button(ID_TGTBAR_CUSTOMIZE), "button").setEnabled(!running); });
}

// --- commands ------------------------------------------------------------------

void XTgToolbar::OnExecute(const std::shared_ptr<CommandBarControl>& control) {
    stopOnError([&] {
        const std::int32_t id = control->Id();
        if (id == ID_TGTBAR_CUSTOMIZE) {
            ShowCustomizeDialog();
        } else if (id == ID_TGTBAR_CALCULATED) {
            // A key binding delivers a stand-in; the check mark lives on the
            // menu item itself.
            auto item = findControl(ID_TGTBAR_CALCULATED);
            if (!item) item = control;
            item->setChecked(!item->Checked());
            m_cssStdSel->CalculateLimits = item->Checked();
            StandardSelectionChange();
        } else if (id >= ID_TGTBAR_FIRSTSTD && id <= ID_TGTBAR_LASTSTD) {
            auto item = findControl(id);
            SelectStandard(item ? item : control);
        } else {
            auto btn = Button(id);
            if (btn && btn->Enabled()) {
                bool fAccelerator = control->Parent() != btn->Parent();
                ButtonClick(btn, fAccelerator);
            }
        }
    });
}

void XTgToolbar::ShowCustomizeDialog() {
    auto opener = customizeOpener();
    stopOnError([&] {
        if (opener) opener(*this);
        else FCustomizeToolbar::Open(*this);
    });
}

void XTgToolbar::setCustomizeDialogOpener(std::function<void(XTgToolbar&)> opener) {
    customizeOpener() = std::move(opener);
}

void XTgToolbar::OnContextMenu(std::shared_ptr<CommandBar>& menu) {
    // The bar's context menu offers exactly one entry: Customize...
    stopOnError([&] {
        menu->Controls().DeleteAll();
        required(findControl(ID_TGTBAR_CUSTOMIZE), "control").Copy(menu);
    });
}

// --- layout ------------------------------------------------------------------------

void XTgToolbar::onResize() {
    // The bars dock in the whole toolbar; a change of width lays them out.
    resumeNext([&] { m_cbrBars->moveTwips(0, 0, widthTwips(), heightTwips()); });
}

void XTgToolbar::OnBarsResized() {
    if (m_fitting) return;  // our own height change lays the bars out again
    m_fitting = true;
    bool raise = false;
    std::int32_t h = 0;
    // The bar's rectangle is in pixels; the toolbar and the offsets 45 and
    // 90 are in twips (3 and 6 pixels at the standard setting).
    resumeNext([&] {
        std::int32_t l, t, r, b;
        m_bar->GetWindowRect(l, t, r, b);
        h = Screen::toTwips(b - t);
    });
    resumeNext([&] {
        if (h != heightTwips()) {
            moveTwips(leftTwips(), topTwips(), widthTwips(), h);
            raise = true;
        }
    });
    resumeNext([&] { pboStatus->moveTwips(pboStatus->leftTwips(), 45, pboStatus->widthTwips(), h - 90); });
    resumeNext([&] { xsbStatus->Move(0, 0, pboStatus->ScaleWidth(), pboStatus->ScaleHeight()); });
    m_fitting = false;
    if (raise) resumeNext([&] { Resize(); });
}

void XTgToolbar::Refresh() {
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
    resumeNext([&] { m_bar->RedrawBar(); });
    resumeNext([&] { xsbStatus->Refresh(); });
}

// --- running -----------------------------------------------------------------------

void XTgToolbar::Initialize(std::shared_ptr<ITestElement> iteOwner, std::shared_ptr<ITestSetup> itsSetup) {
    resumeNext([&] { LoadToolbarLayout(); });
    resumeNext([&] {
        auto standards = findControl(ID_TGTBAR_STANDARDS);
        if (!itsSetup) {
            standards->setVisible(false);
            return;
        }
        auto list = itsSetup->Standards();
        if (list && list->Count() >= 1) {
            FillStandardsMenu(list);
            standards->setVisible((m_lActionMask & etgActionStandards) != 0);
        } else {
            standards->setVisible(false);
        }
    });
    std::int32_t completed = 0;
    resumeNext([&] {
        if (!iteOwner) return;
        if (auto result = iteOwner->Result()) completed = result->Status();
    });
    resumeNext([&] { SetButtonState(completed != 0 ? etgStateCompleted : etgStateIdle); });
    resumeNext([&] { xsbStatus->setStatus(completed); });
    resumeNext([&] { m_cbrBars->RecalcLayout(); });
}

void XTgToolbar::UpdateStatusBar(std::optional<Variant> sMessage, std::optional<Variant> fShowProgBar,
                                 std::optional<Variant> fAnimateProgBar) {
    stopOnError([&] {
        if (sMessage) xsbStatus->setMessage(sMessage->toString());
        if (fShowProgBar) ProgressBar().setVisible(fShowProgBar->toBool());
        if (fAnimateProgBar) ProgressBar().setAnimate(fAnimateProgBar->toBool());
    });
}

void XTgToolbar::setStatus(std::int16_t status) {
    resumeNext([&] { xsbStatus->setStatus(status); });
}

void XTgToolbar::setMessage(const std::string& message) {
    resumeNext([&] { xsbStatus->setMessage(message); });
}

}  // namespace tavixTGCL2
