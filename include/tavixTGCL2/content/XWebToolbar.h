#pragma once
// The web navigation toolbar of the procedure pane: one command bar,
// "Procedure", with Back, Forward, Stop, Refresh and Home, and a small
// indicator (a bar sliding to and fro in a track) that runs while the
// browser loads. It navigates nothing itself: it reports the buttons with
// ButtonClick and the procedure pane acts on them.
//
// The bar comes from the definition resource kBarResource; its icons are
// drawn by the library (WebToolbarIcons). The control takes the size of its
// bar and says so with Resize. Stored property: "BackColor" (0xF9DBC4).
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/CommandBars.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/toolbar/CTgToolbarButton.h>

namespace tavixTGCL2 {

class Line;
class PictureBox;
class Timer;

class TGCL_API XWebToolbar : public Control {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XWebToolbar";
    static constexpr const char* kBarResource = "webtoolbar_procedure.bars";
    static constexpr OleColor kDefaultBackColor = 0xF9DBC4;
    // Command identifiers of the five buttons.
    enum ButtonId : std::int32_t { idBack = 101, idForward = 102, idHome = 103, idRefresh = 104, idStop = 105 };
    static constexpr std::int32_t kTimerInterval = 125;
    // The indicator: a margin at the left of the track, the distance the
    // moving part travels per tick, and the strip's height.
    static constexpr std::int32_t kTrackMargin = 30;
    static constexpr std::int32_t kStep = 45;
    static constexpr std::int32_t kIndicatorHeight = 90;

    explicit XWebToolbar(std::string name = "xwbToolbar");
    ~XWebToolbar() override;
    static void registerClass();

    // --- members, in contract order -------------------------------------
    OleColor BackColor() const { return Control::BackColor(); }
    // Changes the control's background (and the indicator's); the bar keeps
    // the colours it was built with. Marks "BackColor" changed.
    void setBackColor(OleColor c);
    // A new handle of the first control with that identifier in the bar,
    // menus included; nullptr when there is none.
    std::shared_ptr<CTgToolbarButton> Button(std::int32_t ID) const;
    bool ProgressBarVisible() const;
    // True starts the indicator at the left end of its track (also when it
    // runs already); False stops and hides it.
    void ShowProgressBar(bool fShow);

    // --- events ---------------------------------------------------------
    // An enabled button was executed; fAccelerator is True when the
    // executed control is not on the bar of the button (a key binding).
    Event<std::shared_ptr<CTgToolbarButton>, bool> ButtonClick;
    // The control has taken the size of its bar. Hides Control::Resize on
    // purpose: the owner wants this event, not every size change.
    Event<> Resize;

    // --- stored properties ----------------------------------------------
    void ReadProperties();
    void WriteProperties();

    // --- parts, for the procedure pane, backends and tests ----------------
    CommandBars& CommandBarsControl() const { return *cbrBars; }
    std::shared_ptr<CommandBar> Bar() const { return m_bar; }
    PictureBox& ProgressBox() const { return *pboProgress; }
    Line& ProgressFrame() const { return *lnProgFrame; }
    Line& ProgressBar() const { return *lnProgBar; }
    Timer& ProgressTimer() const { return *tmrProgress; }
    std::int16_t Direction() const { return m_iDirection; }
    // One step of the indicator, as the timer does it.
    void TimerTick();

    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override;

private:
    friend struct MemberTables;
    static const MemberTable<XWebToolbar>& members();

    void BuildBar();
    void OnExecute(const std::shared_ptr<CommandBarControl>& control);
    void OnBarsResized();
    void placeIndicator();

    std::shared_ptr<CommandBars> cbrBars;
    std::shared_ptr<ImageManager> immIcons;
    std::shared_ptr<PictureBox> pboProgress;
    std::shared_ptr<Line> lnProgFrame;
    std::shared_ptr<Line> lnProgBar;
    std::shared_ptr<Timer> tmrProgress;
    std::shared_ptr<CommandBar> m_bar;
    std::int16_t m_iDirection = 0;
};

}  // namespace tavixTGCL2
