#pragma once
// The page of the procedure tab: a caption line for the test element and,
// below it, the procedure as plain text (txtProc), as rich text (a
// "tavixView.XRichEdit" view) or as a web page (a "Shell.Explorer.2" view
// with the web navigation toolbar xwbToolbar at the right end of the caption
// line). The details pane xdpDetails runs along the right edge with the
// host's details view laid over its client area.
//
// Procedure formats of SetProcedure: 1 rich text, 3 an HTML fragment written
// into the host's template page, 4 and 5 a link (a web address or a
// "file://" reference), anything else plain text.
//
// Events: ResizePanProc reports the details view's rectangle (in its
// container's coordinates) after every layout pass that places a procedure
// view; ResizeRTFPane reports the procedure rectangle (X always 0) and the
// view is placed where the handler left y, dx and dy.
//
// No error of any member reaches the caller. The two waits for a busy
// browser are bounded by kBrowserWaitMs.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/frame/HostComponents.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/toolbar/CTgToolbarButton.h>

namespace tavixTGCL2 {

class Label;
class TextBox;
class WebBrowser;
class XRichEdit;
class XTgDetailsPane;
class XWebToolbar;

class TGCL_API XPaneProcedure : public Control {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XPaneProcedure";
    static constexpr const char* kViewName = "ctlProc";
    static constexpr const char* kRichEditClass = "tavixView.XRichEdit";
    static constexpr const char* kBrowserClass = "Shell.Explorer.2";
    static constexpr const char* kLoadErrorText =
        "2179::<b><font face='Verdana' size='2' color='#FF0000'><p>This procedure links to a file or web page "
        "that cannot be loaded!</font><font face='Verdana' size='1' color='#000000'><p>The link is "
        "'%%1'.</font></b>";
    static constexpr const char* kStyleSheetSetting = "ProcCSS";
    // Procedure formats.
    static constexpr std::int16_t fmtPlainText = 0;
    static constexpr std::int16_t fmtRichText = 1;
    static constexpr std::int16_t fmtTemplate = 3;
    static constexpr std::int16_t fmtLink = 4;
    static constexpr std::int16_t fmtLinkAlt = 5;
    // Lengths of the layout, in twips.
    static constexpr std::int32_t kCaptionGap = 60;
    static constexpr std::int32_t kDetailsGap = 120;
    static constexpr double kTextPoints = 10.0;
    // The browser's text zoom (0 to 4) is raised to at least this level
    // while the pane shows a page.
    static constexpr std::int32_t kMinZoom = 3;
    // The longest the pane lets pending events run for a busy browser; a
    // browser that never settles cannot hang the host.
    static constexpr std::int32_t kBrowserWaitMs = 5000;

    explicit XPaneProcedure(std::string name = "xpvProc");
    ~XPaneProcedure() override;
    static void registerClass();

    // --- content ----------------------------------------------------------
    // Takes the element's caption (or its alternative view's texts) and
    // shows its procedure.
    void Initialize(const std::shared_ptr<IElementInfo>& ie2Info);
    // Replaces the procedure view by one for the format; see above.
    void SetProcedure(std::int16_t iFormat, const std::string& sProc);
    std::string Caption() const;
    void setCaption(const std::string& s);
    // True: rich text is shown by the host, which places its own view at
    // the rectangle ResizeRTFPane reports. Takes effect at the next
    // SetProcedure and the next layout pass.
    bool DotNetRtf() const { return m_fDotNetRtf; }
    void setDotNetRtf(bool f) { m_fDotNetRtf = f; }

    // --- layout -----------------------------------------------------------
    // The host's details view: a control of the pane's container, or any
    // other object, for which the hidden label lblDotNetCtrl stands in;
    // nullptr removes it.
    void setTestDetailsView(ObjectPtr v);
    void ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);
    // The details view's rectangle and whether it is shown expanded; the
    // four numbers stay as passed when there is no details view.
    void UpdateLocations(std::int32_t& X, std::int32_t& y, std::int32_t& dx, std::int32_t& dy, bool& fExpand);
    // Runs on every resize and whenever the content changes; a pass started
    // from inside a pass (an event handler resizing the pane) is skipped.
    void layout();

    // The procedure view goes; the pane ends its use of the browser.
    void Terminate();

    // Shows or hides the pane; the host's details view follows.
    void setVisible(bool v);

    Event<std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool> ResizePanProc;
    Event<float&, float&, float&, float&> ResizeRTFPane;

    // --- state and parts, for the content pane, backends and tests ----------
    XTgDetailsPane& details() const { return *xdpDetails; }
    Label& captionLabel() const { return *lblTECaption; }
    TextBox& textView() const { return *txtProc; }
    Label& dotNetLabel() const { return *lblDotNetCtrl; }
    XWebToolbar& webToolbar() const { return *xwbToolbar; }
    // The view that shows the procedure now, nullptr when there is none.
    Control* procedureView() const { return m_currentView.get(); }
    WebBrowser* browserView() const { return mwebProc.get(); }
    XRichEdit* richEditView() const { return mxreProc.get(); }
    std::int16_t ProcFormat() const { return m_iFormat; }
    const std::string& ProcText() const { return m_sProc; }
    bool WebToolbarShown() const { return m_fWebToolbarShown; }
    std::int16_t BusyCount() const { return m_iBusy; }
    std::int32_t SavedZoom() const { return m_lSavedZoom; }
    bool HasDetailsView() const { return m_fHasDetailsView; }

    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override { layout(); }

private:
    friend struct MemberTables;
    static const MemberTable<XPaneProcedure>& members();

    std::shared_ptr<Control> LoadRtfProcedure(const std::string& text);
    std::shared_ptr<Control> LoadTemplateProcedure(const std::string& text);
    std::shared_ptr<Control> LoadLinkProcedure(const std::string& text);
    std::shared_ptr<Control> LoadTextProcedure(const std::string& text);
    void RemoveProcedureView();
    void ApplyTemplateContent(const std::string& text);
    void ShowLoadError(const std::string& link);

    std::shared_ptr<WebBrowser> addBrowserView();
    bool fileLinkExists(const std::string& link) const;
    void waitForBrowser(WebBrowser& browser);
    void connectBrowser(WebBrowser& browser);
    void onBeforeNavigate2();
    void onProgressChange(std::int32_t progress, std::int32_t progressMax);
    void onCommandStateChange(std::int32_t command, bool enable);
    void onDocumentComplete(const std::string& url);
    void onNavigateError(const std::string& url);
    void onRichEditLink(std::string& target);
    void onToolbarButton(const std::shared_ptr<CTgToolbarButton>& btn);
    void onExpandCollapse();
    void paneShown();
    void paneHidden();
    void forwardMouseMove();
    std::shared_ptr<Control> detailsViewControl() const;
    void sizeCaption(std::int32_t width);
    void disconnectViews();

    std::shared_ptr<TextBox> txtProc;
    std::shared_ptr<Label> lblTECaption;
    std::shared_ptr<Label> lblDotNetCtrl;
    std::shared_ptr<XTgDetailsPane> xdpDetails;
    std::shared_ptr<XWebToolbar> xwbToolbar;

    std::shared_ptr<Control> m_currentView;
    std::shared_ptr<XRichEdit> mxreProc;
    std::shared_ptr<WebBrowser> mwebProc;
    std::vector<Connection> m_viewConnections;
    std::int16_t m_iFormat = 0;
    std::string m_sProc;
    bool m_fWebToolbarShown = false;
    std::int16_t m_iBusy = 0;
    std::uint64_t m_procedureCalls = 0;  // tells a nested SetProcedure apart
    std::int32_t m_lSavedZoom = -1;
    bool m_fDotNetRtf = false;
    ObjectPtr m_detailsView;
    bool m_fHasDetailsView = false;
    bool m_fInLayout = false;
};

}  // namespace tavixTGCL2
