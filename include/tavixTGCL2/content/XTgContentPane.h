#pragma once
// The main area of the host's test-run form: a band across the top, the tab
// strip down the left edge, the page of the selected tab to its right, and
// below the pages a splitter bar over the host's result view. How the height
// is shared between pages and result view follows one of six layout states.
//
// The members of the default interface, with their dispatch numbers
// (late-bound callers may name a member "#0x68030006" instead of
// "ResultViewState"), are listed once, in members() in XTgContentPane.cpp.
//
// Events (event interface __XTgContentPane, identifiers 1 to 8): TabClick,
// CommentChange, RequestPage, KeyPress (the control's own, by reference),
// ResizeResultView, ResultViewPosition, ResizePanProcedure, ResizeRTFPane.
//
// Stored properties: "ResultViewState" (0), "SplitterCaption" (""),
// "TopMargin" (30). No error of any member reaches the host.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/frame/CTabProperties.h>
#include <tavixTGCL2/frame/GPublicDeclares.h>
#include <tavixTGCL2/frame/HostComponents.h>
#include <tavixTGCL2/frame/ITgContentPane.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/platform/Presenter.h>

namespace tavixTGCL2 {

class Shape;
class XMsnSplit;
class XPaneProcedure;
class XTabStrip;
class XTransparentImage;

class TGCL_API XTgContentPane : public Control, public ITgContentPane {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XTgContentPane";
    static constexpr const char* kCommentClass = "tavixTGCL2.XPaneComment";
    static constexpr const char* kDutInfoClass = "tavixTGCL2.XPaneDutInfo";
    static constexpr OleColor kBandColor = 0xB24801;        // RGB(1, 72, 178)
    static constexpr OleColor kDesignBackColor = 0xF9DBC4;  // RGB(196, 219, 249)
    static constexpr std::int32_t kDefaultTopMargin = 30;
    static constexpr std::int32_t kDesignTabStripWidth = 495;
    static constexpr std::int32_t kCollapsedTabStripWidth = 60;
    static constexpr std::int32_t kExpandedTabStripWidth = 510;
    // Page area: a gap right of the tab strip, a margin at the right edge
    // and a gap above the splitter.
    static constexpr std::int32_t kPageLeftGap = 120;
    static constexpr std::int32_t kPageRightMargin = 60;
    static constexpr std::int32_t kPageBottomGap = 60;

    // Items of the splitter menu (their menu identifiers are index + 1).
    enum SplitMenuItem : std::int32_t { mnuSizeUp = 0, mnuSizeDown = 1, mnuSizeMaximize = 2, mnuSizeMinimize = 3 };

    explicit XTgContentPane(std::string name = {});
    ~XTgContentPane() override;
    static void registerClass();

    // --- properties -------------------------------------------------------
    ITgContentPane& Content() { return *this; }
    std::int32_t ResultViewState() const { return m_eResultViewState; }
    // A value different from the current one changes the layout state and
    // marks "ResultViewState" changed; the current value does nothing.
    void setResultViewState(std::int32_t e);
    std::string SplitterCaption() const;
    void setSplitterCaption(const std::string& s);
    void setHelpPageControl(ObjectPtr page);
    void setResultView(ObjectPtr view);
    const ObjectPtr& ResultView() const { return m_oResultView; }
    void setTestDetailsView(ObjectPtr view);
    bool DotNetRtf() const;
    void setDotNetRtf(bool f);

    // --- methods ----------------------------------------------------------
    void Initialize(std::shared_ptr<ITestElement> iteOwner, std::shared_ptr<ITestSetup> itsSetup);
    void ApplyWindowSettings(Control& oForm);
    void StoreWindowSettings(Control& oForm);
    std::int16_t AddCustomTab(const std::shared_ptr<CTabProperties>& ctpProperties, ObjectPtr oTabPageControl);
    void LostMouseFocus();
    void SelectTab(std::int32_t eTab);
    void ShowTab(std::int32_t eTab, bool fShow);
    void Terminate();
    void ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);

    // --- ITgContentPane ---------------------------------------------------
    std::string Caption() const override;
    void setCaption(const std::string& s) override;
    // The text last set through setComment, not what the operator typed:
    // typed text goes to the test element's result (IResult::setComment)
    // and raises CommentChange. Read it with OperatorComment.
    std::string Comment() const override { return m_sComment; }
    void setComment(const std::string& s) override;
    void SetProcedure(std::int16_t iFormat, const std::string& sProc) override;

    // What the comment tab shows now, operator's edits included; the text
    // last set through setComment while the comment page was never opened.
    std::string OperatorComment() const;

    // --- events -----------------------------------------------------------
    Event<std::int32_t> TabClick;
    Event<> CommentChange;
    Event<std::int16_t, ObjectPtr&> RequestPage;
    Event<float, float, float, float> ResizeResultView;
    Event<float, float, float, float> ResultViewPosition;
    Event<std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool> ResizePanProcedure;
    Event<float&, float&, float&, float&> ResizeRTFPane;

    // --- stored properties ------------------------------------------------
    void ReadProperties();
    void WriteProperties();

    // --- state and parts, for hosts, backends and tests -------------------
    // Changes the layout state without marking it changed.
    void SetResultViewState(std::int32_t e);
    bool AutoHideTabs() const { return m_fAutoHideTabs; }
    static std::string pageKey(std::int32_t iTab) { return "::" + std::to_string(iTab); }
    // The page under a key, nullptr when there is none (or after Terminate).
    ObjectPtr page(const std::string& key) const;
    const ObjectPtr& activePage() const { return mvceActivePage; }
    // The splitter top a state gives, or false for a state outside 0 to 5.
    bool splitterTopFor(std::int32_t state, float& top) const;
    const std::vector<MenuEntry>& splitMenu() const { return m_mnuSplit; }
    Shape& shpTopFrame() const { return *m_shpTopFrame; }
    XTransparentImage& xtiTopRight() const { return *m_xtiTopRight; }
    XTabStrip& xtsTabStrip() const { return *m_xtsTabStrip; }
    XMsnSplit& xmsSplit() const { return *m_xmsSplit; }
    XPaneProcedure& xpvProc() const { return *m_xpvProc; }

    // Runs on every resize and after every change that moves the parts.
    void layout();

    // Late binding by name or by "#<dispatch id>".
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

    void doKeyPress(std::int16_t keyAscii) override;

    // Shows or hides the pane (also by name, "Visible"). Shown, it makes
    // sure its tab strip is shown; hidden while its container is being
    // designed (not in run mode), it terminates.
    void setVisible(bool v);

protected:
    void onResize() override { layout(); }

private:
    friend struct MemberTables;
    static const MemberTable<XTgContentPane>& members();

    using PageCollection = std::map<std::string, ObjectPtr>;

    // Throws Error(errObjectRequired) after Terminate.
    PageCollection& pages() const;

    void ActivatePage(std::int16_t iTab);
    // Takes the page under key out of the collection and hides it, unless
    // it is the successor that takes its place.
    void dropPage(const std::string& key, const ObjectPtr& successor);
    ObjectPtr createFixedPage(std::int16_t iTab);
    void placePage(Object& page);
    void setActivePage(ObjectPtr page);
    void onActivePageEvent(const std::string& name, VariantList& args);
    void onTabStripMouseDown(std::int16_t button, float x, float y);
    // A tab was chosen (a click, or the arrow keys): its page and the
    // events a host expects.
    void onTabChosen();
    void onTabStripMouseMove();
    // Menus open at the mouse position, or at the focused part for the
    // keyboard, in the pane's twips.
    void onSplitterMouseDown(std::int16_t button, float x, float y);
    void openSplitMenu(float x, float y);
    void openTabStripMenu(float x, float y);
    void switchAutoHide();
    void collapseOrExpandTabs(bool expand);
    ObjectPtr commentPage() const;

    std::shared_ptr<Shape> m_shpTopFrame;
    std::shared_ptr<XTransparentImage> m_xtiTopRight;
    std::shared_ptr<XTabStrip> m_xtsTabStrip;
    std::shared_ptr<XMsnSplit> m_xmsSplit;
    std::shared_ptr<XPaneProcedure> m_xpvProc;
    std::vector<MenuEntry> m_mnuTabStrip;
    std::vector<MenuEntry> m_mnuSplit;

    std::int32_t m_eResultViewState = ervsNormal;
    ObjectPtr m_oResultView;
    std::unique_ptr<PageCollection> m_colPages;
    ObjectPtr mvceActivePage;
    Connection m_activePageEvents;
    std::shared_ptr<ITestElement> m_iteOwner;
    std::shared_ptr<ITestSetup> m_itsSetup;
    std::string m_sComment;
    bool m_fAutoHideTabs = false;
    std::int16_t m_iSuppressEvents = 0;
};

}  // namespace tavixTGCL2
