#pragma once
// The modal Customize Toolbar dialog. It edits a toolbar live: every choice
// is applied to the bar at once through the toolbar's settings accessors.
// OK keeps the changes (the toolbar then stores them); Cancel undoes them.
//
// Two tab pages: the button style (size, text labels, colour, dimmed
// icons) and the button position (scheme, the list of the bar's controls
// with separators, moving entries, adding and removing separators,
// restoring the defaults).
//
// The list mirrors the bar: one entry per visible control in bar order, and
// a separator entry before each control that starts a group. Every list
// operation keeps this true: a control starts a group exactly when the
// entry before its entry is a separator entry.
//
// No error leaves the dialog.
#include <tavixTGCL2/Export.h>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/StandardControls.h>

namespace tavixTGCL2 {

class XTgToolbar;

class TGCL_API FCustomizeToolbar : public Form {
public:
    explicit FCustomizeToolbar(std::string name = "FCustomizeToolbar");
    ~FCustomizeToolbar() override;

    // The toolbar's side of command 402: create and load the dialog, find
    // the owner form, bind the dialog to the toolbar, show it modally, store
    // the settings unless it was cancelled, unload it and lay out the bars.
    static void Open(XTgToolbar& xtg);

    // Binds the dialog to a toolbar and loads its settings into the
    // controls. The toolbar must outlive the binding, which ends when the
    // dialog is closed.
    void Initialize(XTgToolbar& xtg);
    // True when the dialog was closed with Cancel (or through its window
    // frame, or never closed with OK); False after OK.
    bool Cancel() const { return m_fCancel; }
    // The toolbar being edited; nullptr once the dialog was closed.
    XTgToolbar* Toolbar() const { return m_xtg; }

    // Clears the list and refills it from the bar; nothing is selected
    // afterwards.
    void FillButtonList();

    // The page colour of the tab control, given to every control of the
    // dialog not tagged "nobck": the light page of the themed tab control.
    static constexpr OleColor kPageColor = 0x00FEFCFC;
    // The tag of controls that keep their own background.
    static constexpr const char* kNoBackTag = "nobck";
    // The width given to the list's single column is the list's less this.
    static constexpr std::int32_t kColumnMargin = 60;

    // --- the dialog's controls, named as the operator's guide names them ----
    TabControl& tabCustomize() { return *m_tab; }
    Control& page(std::int32_t index) { return *m_pages.at(static_cast<std::size_t>(index)); }
    OptionButton& optButtonSize(std::int32_t index) { return *m_optButtonSize.at(static_cast<std::size_t>(index)); }
    OptionButton& optLabels(std::int32_t index) { return *m_optLabels.at(static_cast<std::size_t>(index)); }
    OptionButton& optStyle(std::int32_t index) { return *m_optStyle.at(static_cast<std::size_t>(index)); }
    CheckBox& chkFade() { return *m_chkFade; }
    Label& lblScheme() { return *m_lblScheme; }
    ComboBox& cboScheme() { return *m_cboScheme; }
    ListView& lvwButtons() { return *m_lvwButtons; }
    CommandButton& cmdUp() { return *m_cmdUp; }
    CommandButton& cmdDown() { return *m_cmdDown; }
    CommandButton& cmdAddSep() { return *m_cmdAddSep; }
    CommandButton& cmdRestore() { return *m_cmdRestore; }
    CommandButton& cmdOk() { return *m_cmdOk; }
    CommandButton& cmdCancel() { return *m_cmdCancel; }

private:
    // What the bar looked like when the dialog was bound to it, for a
    // Cancel that has no stored settings to go back to.
    struct OpeningState {
        std::string layout;
        std::int32_t buttonSize = 0;
        std::int32_t iconWidth = 0;
        std::int32_t iconHeight = 0;
        std::int32_t textLabels = 0;
        bool allCaptions = false;
        std::array<std::int32_t, 4> captionStyles{};  // of Next, Start, NA, Skip
        std::int32_t visualStyle = 0;
        bool fadedIcons = false;
    };

    void createControls();
    void connectEvents();
    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t mode);

    void optButtonSize_Click(std::int32_t index);
    void optLabels_Click(std::int32_t index);
    void optStyle_Click(std::int32_t index);
    void chkFade_Click();
    void tabCustomize_SelectedChanged(std::int32_t index);
    void lvwButtons_ItemClick(std::int32_t index);
    void cmdAddSep_Click();
    void cmdUp_Click() { MoveEntry(-1); }
    void cmdDown_Click() { MoveEntry(+1); }
    void cboScheme_Click();
    void cmdRestore_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    // Enables Move Up, Move Down and Add/Remove Separator for the selected
    // entry (all three off when nothing is selected).
    void UpdateListButtons();
    void MoveEntry(std::int32_t step);
    // Sets every listed control's group flag from the entry before it.
    void ApplyGroupsFromList();
    void RedrawBar();
    // The shown scheme no longer describes the bar once the list was edited;
    // clearing it also lets the operator choose the same scheme again.
    void ForgetScheme();
    void CaptureOpeningState();
    void RestoreOpeningState();

    bool isSeparator(std::int32_t index) const;
    std::int32_t entryId(std::int32_t index) const;

    std::shared_ptr<TabControl> m_tab;
    std::array<std::shared_ptr<Control>, 2> m_pages;
    std::shared_ptr<Control> m_fraButtonSize, m_fraLabels, m_fraStyle;
    std::array<std::shared_ptr<OptionButton>, 3> m_optButtonSize;
    std::array<std::shared_ptr<OptionButton>, 3> m_optLabels;
    std::array<std::shared_ptr<OptionButton>, 2> m_optStyle;
    std::shared_ptr<CheckBox> m_chkFade;
    std::shared_ptr<Label> m_lblScheme;
    std::shared_ptr<ComboBox> m_cboScheme;
    std::shared_ptr<ListView> m_lvwButtons;
    std::shared_ptr<CommandButton> m_cmdUp, m_cmdDown, m_cmdAddSep, m_cmdRestore, m_cmdOk, m_cmdCancel;

    XTgToolbar* m_xtg = nullptr;
    OpeningState m_opening;
    bool m_fInitialising = false;
    bool m_fSyncingFade = false;
    bool m_fForgettingScheme = false;
    bool m_fCancel = true;
};

}  // namespace tavixTGCL2
