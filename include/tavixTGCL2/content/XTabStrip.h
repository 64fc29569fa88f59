#pragma once
// The vertical strip of tabs down the left edge of the content pane. It
// stacks the shown tabs from the top, keeps exactly one selected, adds host
// tabs at run time and passes mouse and key actions on to the pane.
//
// Events (the control's own): Click when a tab or its icon is clicked;
// MouseDown on a tab, its icon or the strip, in strip coordinates (a left
// press on a tab selects it first); MouseMove over the strip's own
// background only; KeyPress while the strip has the focus; KeySelect when
// the operator moved the selection with the keyboard (then Click, as for a
// click on the tab).
//
// Focused, Up and Down select the tab above or below among the tabs not
// marked hidden, Home and End the first and the last; Shift+F10 and the
// menu key ask for the strip's menu (ContextMenuRequested).
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/content/XTab.h>
#include <tavixTGCL2/frame/CTabProperties.h>
#include <tavixTGCL2/platform/Control.h>

namespace tavixTGCL2 {

class TGCL_API XTabStrip : public Control {
public:
    static constexpr OleColor kBackColor = 0xB24801;  // RGB(1, 72, 178)
    static constexpr std::int32_t kDesignWidth = 510;
    static constexpr std::int32_t kTabLeft = 30;
    static constexpr std::int32_t kTabPitch = 720;  // tabs overlap by 870 - 720
    // The tags that mark a tab hidden: ShowTab writes the first; the help
    // tab is created with the second.
    static constexpr const char* kHiddenTag = "/";
    static constexpr const char* kCreatedHiddenTag = "-";

    explicit XTabStrip(std::string name = "xtsTabStrip");
    ~XTabStrip() override;

    // The selected tab ("Selected"); -1 only while the strip is created.
    // Setting an index without a tab changes nothing at all.
    std::int16_t Selected() const { return m_iSelected; }
    void setSelected(std::int16_t iNew);
    // Throws Error(errSubscript) for an index without a tab.
    XTab& Tabs(std::int32_t iIdx) const;
    std::int32_t TabCount() const { return static_cast<std::int32_t>(xtbTab.size()); }

    // Adds a tab below the shown ones and returns its index.
    std::int16_t AddTab(const CTabProperties& ctpProps);
    // Shows or hides every tab not marked hidden; positions do not change.
    void ShowTabs(bool fShow);
    // Marks one tab shown or hidden and stacks the shown tabs again. Throws
    // Error(errSubscript) for an index without a tab.
    void ShowTab(std::int32_t iIdx, bool fShow);

    void ReadProperties();
    void WriteProperties();

    // The tab the operator chose from the keyboard, already selected.
    Event<std::int16_t> KeySelect;

protected:
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    // Throws Error(errSubscript) before anything changes when iNew has no tab.
    void SetSelectedTab(std::int16_t iNew);
    void restack();
    XTab& newTab();

    std::vector<std::shared_ptr<XTab>> xtbTab;
    std::int16_t m_iSelected = -1;
};

}  // namespace tavixTGCL2
