#pragma once
// The run toolbar of a guided test: one command bar with Abort, Previous,
// Next, Stop, Start (optionally with a Stepwise item), NA, Skip and a Tools
// menu, followed by the status bar stretched over the rest of the bar. The
// host declares the offered buttons with DefineButtons, reports the run with
// SetButtonState and UpdateStatusBar, and handles ButtonClick.
//
// No public operation lets an error reach the host: each stops at its first
// error or skips the failing statement, as noted per member. The only
// exception is the progress bar handed out by ProgressBar, whose setters
// report their failures.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <tavixTGCL2/frame/CTgStandardSel.h>
#include <tavixTGCL2/frame/GPublicDeclares.h>
#include <tavixTGCL2/frame/HostComponents.h>
#include <tavixTGCL2/frame/ITgProgressBar.h>
#include <tavixTGCL2/frame/ITgStatusbar.h>
#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/KeyCodes.h>
#include <tavixTGCL2/platform/PictureBox.h>
#include <tavixTGCL2/toolbar/CTgToolbarButton.h>

namespace tavixTGCL2 {

class XStatusBar;

class TGCL_API XTgToolbar : public Control, public ITgStatusbar {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XTgToolbar";
    // Where the bar definition lives among the library's resources.
    static constexpr const char* kBarResource = "toolbar_testguide.bars";

    explicit XTgToolbar(std::string name = "xtbToolbar");
    ~XTgToolbar() override;
    static void registerClass();

    // --- public members, in contract order -------------------------------
    // A new handle of the first control with that identifier, searched
    // through the bar and all its menus; nullptr when there is none.
    std::shared_ptr<CTgToolbarButton> Button(std::int32_t ID) const;
    CTgStandardSel& StandardSelection() { return *m_cssStdSel; }
    // The toolbar itself seen as its status bar.
    ITgStatusbar& StatusBar() { return *this; }
    // The embedded status bar's progress bar; its setters may throw.
    ITgProgressBar& ProgressBar();
    // Adds a key binding without removing any: iKey is a key code
    // (KeyCodes.h: vbKeyF9, vbKeyA, ...), eCtrlMask a sum of etgKeyMask*
    // values. Errors are ignored.
    void AddAccelerator(std::int32_t idBtn, std::int16_t iKey, std::int32_t eCtrlMask = etgKeyMaskNone);
    // A plain button in the Tools menu before idBefore (0: before
    // Customize...). Captions are used as given. nullptr when nothing was added.
    std::shared_ptr<CTgToolbarButton> AddToolsMenu(std::int32_t idNew, const std::string& sCaption,
                                                   std::int32_t idBefore = 0);
    void Initialize(std::shared_ptr<ITestElement> iteOwner, std::shared_ptr<ITestSetup> itsSetup);
    void SetButtonState(std::int32_t eState);
    void DefineButtons(std::int32_t eActionButtons, std::int32_t eRunButtons);
    // Shows the Standards sub-menu as a context menu at (X, y), screen
    // pixels; the flags go to the menu display unchanged.
    void ShowStandardsPopup(std::optional<std::int32_t> iFlags = std::nullopt,
                            std::optional<std::int32_t> X = std::nullopt,
                            std::optional<std::int32_t> y = std::nullopt);
    // Each argument that is given is applied (converted as a host value
    // converts), in order; the first failure abandons the rest.
    void UpdateStatusBar(std::optional<Variant> sMessage = std::nullopt,
                         std::optional<Variant> fShowProgBar = std::nullopt,
                         std::optional<Variant> fAnimateProgBar = std::nullopt);
    void Refresh();
    // The status bar's verdict mark (off by default): a check mark before
    // PASSED and a cross before FAILED, for operators who cannot tell the
    // gradient's colours apart. Not stored with the toolbar's settings.
    bool VerdictMark() const;
    void setVerdictMark(bool on);
    // The construction sequence (runs from the constructor; public as the
    // contract has it).
    void UserControl_Initialize();
    std::shared_ptr<CTgToolbarButton> AddPopUpToolsMenu(std::int32_t idNew, const std::string& sCaption,
                                                        std::int32_t idBefore = 0);
    std::shared_ptr<CTgToolbarButton> AddPopUpChildMenu(std::int32_t idParent, std::int32_t idChildNew,
                                                        const std::string& sCaption, std::int32_t idBefore = 0);

    // --- ITgStatusbar --------------------------------------------------------
    void setStatus(std::int16_t status) override;
    void setMessage(const std::string& message) override;
    // Selects a standard by its names; raises no event.
    void SetStandardName(const std::string& sAlphaName, const std::string& sCompleteName) override;

    // --- events -------------------------------------------------------------
    // An enabled command other than 402, 501 and 510..599 was executed;
    // fAccelerator tells a key binding from a click.
    Event<std::shared_ptr<CTgToolbarButton>, bool> ButtonClick;
    // The toolbar changed its own height to fit the bar. Hides the
    // control's own Resize on purpose: hosts want the toolbar's event.
    Event<> Resize;
    // The standard or the calculated-limits flag changed.
    Event<> StandardSelectionChange;

    // --- settings (the Customize Toolbar dialog works through these) ---------
    std::int32_t ButtonSize() const { return m_lButtonSize; }
    void setButtonSize(std::int32_t v);
    std::int32_t TextLabels() const;
    void setTextLabels(std::int32_t v);
    std::int32_t VisualStyle() const;
    void setVisualStyle(std::int32_t v);
    bool FadedIcons() const;
    void setFadedIcons(bool v);
    // The button layout string of the bar as it is now.
    std::string ButtonLayout() const;
    void LoadToolbarLayout();
    void SaveToolbarLayout();
    void ApplyButtonLayout(const std::string& layout);
    // Moves one of the bar's own controls to a 1-based position (a copy is
    // put before the control there and the original deleted); returns the
    // control in its new place. Throws when there is no such control.
    std::shared_ptr<CommandBarControl> MoveControl(std::int32_t id, std::int32_t position);
    // The settings key: the host's path for code 1004 and "\Test Guide".
    static std::string SettingsKey();
    // Whether the store holds a button layout.
    static bool HasStoredLayout();
    // The layouts the dialog offers.
    static constexpr const char* kDefaultLayout = "101:0;102:0;103:0;201:1;202:0;301:1;302:0;401:0;600:0;";
    static constexpr const char* kRightToLeftLayout = "600:0;101:1;401:0;301:0;302:0;201:1;202:0;102:0;103:0;";

    // Presses a command by its identifier as the operator's click would,
    // wherever it is (bar, Tools menu, Standards sub-menu): the command's
    // own work happens (Customize..., a standard, calculated limits) or
    // ButtonClick is raised with fAccelerator False. False when there is no
    // such command, it is disabled, or the press failed.
    bool ExecuteCommand(std::int32_t id);

    // --- the toolbar's parts, for hosts that reach further --------------------
    // The command bar and its component, e.g. to find a command's widget.
    std::shared_ptr<CommandBar> Bar() const { return m_bar; }
    CommandBars& CommandBarsControl() { return *m_cbrBars; }
    // The embedded status bar and the picture box that holds it.
    XStatusBar& StatusControl() { return *xsbStatus; }
    PictureBox& StatusHost() { return *pboStatus; }
    // The menu of the first pop-up with that identifier through all menus;
    // throws Error when there is none.
    std::shared_ptr<CommandBar> GetPopupBar(std::int32_t id) const;
    // Opens the Customize Toolbar dialog for this toolbar (command 402 and
    // the bar's context menu).
    void ShowCustomizeDialog();
    // Replaces the dialog with the host's own; nullptr restores the dialog.
    static void setCustomizeDialogOpener(std::function<void(XTgToolbar&)> opener);
    // At most this many standards get a menu item (identifiers 511..599).
    static constexpr std::int32_t kMaxStandards = ID_TGTBAR_LASTSTD - ID_TGTBAR_FIRSTSTD;

    // The toolbar takes the focus (Tab reaches it). Its keyboard menu
    // (Shift+F10 or the menu key while it has the focus) is the Tools menu,
    // shown and answered as a click on Tools shows it, below the Tools
    // button (at the bar's lower left while the bar has no room for the
    // button); nothing while Tools is hidden or disabled.
    void doContextMenu() override;

protected:
    void onResize() override;

private:
    friend struct ToolbarInternals;
    std::int32_t ActionMask() const { return m_lActionMask; }
    std::int32_t RunMask() const { return m_lRunMask; }
    // Fills the Standards sub-menu from a host list (nullptr only clears it).
    void FillStandardsMenu(const std::shared_ptr<IStandardsList>& list);
    void SelectStandard(const std::shared_ptr<CommandBarControl>& item);
    void connectEvents();
    void SetupStartButton(bool fStep);
    void TranslateBar(const std::shared_ptr<CommandBar>& bar);
    void OnExecute(const std::shared_ptr<CommandBarControl>& control);
    void OnBarsResized();
    void OnContextMenu(std::shared_ptr<CommandBar>& menu);
    std::shared_ptr<CTgToolbarButton> addToToolsMenu(std::int32_t type, std::int32_t idNew,
                                                     const std::string& sCaption, std::int32_t idBefore);
    std::shared_ptr<CommandBarControl> findControl(std::int32_t id) const;
    std::shared_ptr<CommandBarControl> ownControl(std::int32_t id) const;

    std::shared_ptr<CommandBars> m_cbrBars;
    std::shared_ptr<CommandBar> m_bar;
    std::shared_ptr<PictureBox> pboStatus;
    std::shared_ptr<XStatusBar> xsbStatus;
    std::shared_ptr<CTgStandardSel> m_cssStdSel;
    std::int32_t m_lActionMask = 0;
    std::int32_t m_lRunMask = 0;
    std::int32_t m_lButtonSize = 0;
    bool m_fitting = false;
};

}  // namespace tavixTGCL2
