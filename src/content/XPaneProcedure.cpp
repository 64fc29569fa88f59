#include "content/XPaneProcedure.h"

#include <algorithm>
#include <cmath>

#include "content/XTgDetailsPane.h"
#include "content/XWebToolbar.h"
#include "frame/Captions.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "frame/TextLookup.h"
#include "views/XRichEdit.h"
#include "platform/CountedScope.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/EventLoop.h"
#include "platform/FontEngine.h"
#include "platform/HtmlDocument.h"
#include "platform/ShellOpen.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XPaneProcedure::registerClass(), true);

// Keeps the browser's navigation events quiet while the pane switches views.
using Busy = CountedScope;

// Rounds to the nearest whole number, halves to the even neighbour.
std::int32_t roundEven(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool equalsNoCase(const std::string& a, const std::string& b) { return lowerAscii(a) == lowerAscii(b); }

// The height a word-wrapped label needs for its text at a width, counted as
// the font engine lays the lines out (and as the compositor draws them).
std::int32_t wrappedHeight(const Label& label, std::int32_t widthTwips) {
    const FontEngine& fe = fontEngine();
    const std::int32_t widthPx = std::max(1, Screen::toPixels(widthTwips));
    const std::int32_t lineHeight = std::max(1, fe.metrics(label.font()).height);
    const std::string& text = label.Caption();
    std::int32_t lines = 0;
    std::size_t begin = 0;
    do {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::size_t cut = end;
        while (cut > begin &&
               fe.measure(label.font(), std::string_view(text).substr(begin, cut - begin)).cx > widthPx) {
            const std::size_t blank = text.rfind(' ', cut - 1);
            if (blank == std::string::npos || blank <= begin) break;
            cut = blank;
        }
        ++lines;
        begin = cut;
        while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\n'))
            if (text[begin++] == '\n') break;
    } while (begin < text.size());
    return Screen::toTwips(lines * lineHeight);
}

}  // namespace

void XPaneProcedure::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XPaneProcedure>(); });
}

XPaneProcedure::XPaneProcedure(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(0xF9DBC4);

    txtProc = create<TextBox>("txtProc");
    txtProc->setMultiLine(true);
    txtProc->setBorderPixels(1);
    txtProc->setVisible(false);

    lblTECaption = create<Label>("lblTECaption");
    lblTECaption->setBackStyleTransparent(true);
    lblTECaption->setWordWrap(true);
    lblTECaption->setForeColor(0x000000);
    Font f = lblTECaption->font();
    f.bold = true;
    f.size = 12;
    lblTECaption->setFont(f);

    lblDotNetCtrl = create<Label>("lblDotNetCtrl");
    lblDotNetCtrl->setBackStyleTransparent(true);
    lblDotNetCtrl->setVisible(false);

    xdpDetails = create<XTgDetailsPane>("xdpDetails");
    xdpDetails->setVisible(false);
    xdpDetails->ExpandCollapse.connect([this] { onExpandCollapse(); });

    xwbToolbar = create<XWebToolbar>("xwbToolbar");
    xwbToolbar->setVisible(false);
    xwbToolbar->ButtonClick.connect(
        [this](std::shared_ptr<CTgToolbarButton> btn, bool) { onToolbarButton(btn); });

    lblTECaption->MouseMove.connect([this](std::int16_t, std::int16_t, float, float) { forwardMouseMove(); });
    txtProc->MouseMove.connect([this](std::int16_t, std::int16_t, float, float) { forwardMouseMove(); });
    MouseMove.connect([this](std::int16_t, std::int16_t, float, float) { forwardMouseMove(); });
}

XPaneProcedure::~XPaneProcedure() {
    // The view may outlive the pane (someone else may hold it); it must not
    // call back into a pane that is gone.
    RemoveProcedureView();
    disconnectViews();
}

// --- content -------------------------------------------------------------------

void XPaneProcedure::Initialize(const std::shared_ptr<IElementInfo>& ie2Info) {
    Busy busy(m_iBusy);
    std::string caption;
    // An element without information (nothing) clears the caption and
    // leaves the procedure as it is.
    resumeNext([&] { caption = required(ie2Info, "element information").Caption(); });
    resumeNext([&] {
        if (!caption.empty()) return;
        const IElementView* view = required(ie2Info, "element information").elementView();
        if (!view) return;
        caption = view->PrimaryText();
        const std::string secondary = view->SecondaryText();
        if (!secondary.empty()) caption = caption + " - " + secondary;
    });
    resumeNext([&] { lblTECaption->setCaption(caption); });
    resumeNext([&] {
        std::string text = required(ie2Info, "element information").ProcText();
        SetProcedure(ie2Info->ProcFormat(), text);
    });
}

std::string XPaneProcedure::Caption() const { return lblTECaption->Caption(); }

void XPaneProcedure::setCaption(const std::string& s) {
    resumeNext([&] { lblTECaption->setCaption(s); });
    // The label's height follows its text, and the views below it follow
    // the label.
    layout();
}

void XPaneProcedure::SetProcedure(std::int16_t iFormat, const std::string& sProc) {
    Busy busy(m_iBusy);
    const std::uint64_t call = ++m_procedureCalls;
    m_iFormat = iFormat;
    m_sProc = sProc;
    m_fWebToolbarShown = false;
    // A toolbar left over from an earlier page would sit over the caption
    // with buttons for a browser that is gone.
    resumeNext([&] { xwbToolbar->ShowProgressBar(false); });
    resumeNext([&] { xwbToolbar->setVisible(false); });
    stopOnError([&] {
        RemoveProcedureView();
        std::shared_ptr<Control> view;
        switch (iFormat) {
            case fmtRichText:
                if (!m_fDotNetRtf) view = LoadRtfProcedure(sProc);
                break;
            case fmtTemplate: view = LoadTemplateProcedure(sProc); break;
            case fmtLink:
            case fmtLinkAlt: view = LoadLinkProcedure(sProc); break;
            default: view = LoadTextProcedure(sProc); break;
        }
        // A handler run while the failure page waited for the browser may
        // have shown another procedure: that one stays.
        if (call != m_procedureCalls) return;
        m_currentView = view;
        if (m_currentView) m_currentView->setVisible(true);
        layout();
    });
}

void XPaneProcedure::RemoveProcedureView() {
    resumeNext([&] { m_currentView = nullptr; });
    resumeNext([&] { mxreProc = nullptr; });
    if (mwebProc) {
        std::shared_ptr<WebBrowser> browser = mwebProc;
        resumeNext([&] { browser->Stop(); });
        if (m_lSavedZoom >= 0)
            resumeNext([&] {
                const Variant level(m_lSavedZoom);
                browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &level, nullptr);
            });
        m_lSavedZoom = -1;
        mwebProc = nullptr;
    }
    disconnectViews();
    resumeNext([&] { txtProc->setVisible(false); });
    resumeNext([&] {
        for (const auto& child : Children())
            if (child->Name() == kViewName) {
                remove(*child);
                break;
            }
    });
}

void XPaneProcedure::disconnectViews() {
    for (auto& c : m_viewConnections) c.disconnect();
    m_viewConnections.clear();
}

std::shared_ptr<Control> XPaneProcedure::LoadRtfProcedure(const std::string& text) {
    std::shared_ptr<Control> view = ControlFactory::create(kRichEditClass);
    view->setName(kViewName);
    view->setVisible(false);
    add(view);
    mxreProc = std::dynamic_pointer_cast<XRichEdit>(view);
    if (mxreProc)
        m_viewConnections.push_back(mxreProc->LinkClicked.connect([this](std::string& t) { onRichEditLink(t); }));
    view->setProperty("#0x68030008", true);
    view->setProperty("#0x68030000", text);
    return view;
}

std::shared_ptr<WebBrowser> XPaneProcedure::addBrowserView() {
    std::shared_ptr<Control> view = ControlFactory::create(kBrowserClass);
    view->setName(kViewName);
    view->setVisible(false);
    add(view);
    auto browser = std::dynamic_pointer_cast<WebBrowser>(view);
    if (!browser) throw Error(errTypeMismatch, std::string(kBrowserClass) + " is not a browser");
    mwebProc = browser;
    m_lSavedZoom = -1;
    connectBrowser(*browser);
    // A new browser has no history: buttons left enabled by the previous
    // one would offer a Back that fails.
    resumeNext([&] { xwbToolbar->Button(XWebToolbar::idBack)->setEnabled(false); });
    resumeNext([&] { xwbToolbar->Button(XWebToolbar::idForward)->setEnabled(false); });
    return browser;
}

void XPaneProcedure::connectBrowser(WebBrowser& b) {
    m_viewConnections.push_back(b.BeforeNavigate2.connect(
        [this](Object*, const std::string&, std::int32_t, const std::string&, const Variant&, const std::string&,
               bool&) { onBeforeNavigate2(); }));
    m_viewConnections.push_back(
        b.ProgressChange.connect([this](std::int32_t p, std::int32_t max) { onProgressChange(p, max); }));
    m_viewConnections.push_back(
        b.CommandStateChange.connect([this](std::int32_t c, bool e) { onCommandStateChange(c, e); }));
    m_viewConnections.push_back(
        b.DocumentComplete.connect([this](Object*, const std::string& url) { onDocumentComplete(url); }));
    m_viewConnections.push_back(b.NavigateError.connect(
        [this](Object*, const std::string& url, const std::string&, std::int32_t, bool&) { onNavigateError(url); }));
}

std::shared_ptr<Control> XPaneProcedure::LoadTemplateProcedure(const std::string&) {
    auto browser = addBrowserView();
    browser->Navigate2(MMain::TemplatePage());
    return browser;
}

std::shared_ptr<Control> XPaneProcedure::LoadLinkProcedure(const std::string& text) {
    auto browser = addBrowserView();
    bool loadable = !text.empty();
    if (lowerAscii(text.substr(0, 7)) == "file://" && !fileLinkExists(text)) loadable = false;
    if (loadable) {
        m_fWebToolbarShown = true;
        xwbToolbar->setVisible(true);
        browser->Navigate2("about:blank");
        browser->Navigate2(text);
    } else {
        ShowLoadError(text);
    }
    return browser;
}

bool XPaneProcedure::fileLinkExists(const std::string& link) const {
    std::shared_ptr<IUtility> utility = HostServices::Utility();
    if (!utility) throw Error(errObjectRequired, "no utility object");
    const std::string path = link.substr(7);
    if (utility->FileExists(path)) return true;
    // A link names its file in URL form: "my%20plan.html" is the file
    // "my plan.html", and a query or fragment is no part of the name. The
    // browser reads the link so, and so does this test.
    const std::string local = weburl::localPath(link);
    return !local.empty() && local != path && utility->FileExists(local);
}

std::shared_ptr<Control> XPaneProcedure::LoadTextProcedure(const std::string& text) {
    Font f = txtProc->font();
    f.size = kTextPoints;
    txtProc->setFont(f);
    txtProc->setLocked(true);
    txtProc->setText(text);
    return txtProc;
}

void XPaneProcedure::ApplyTemplateContent(const std::string& text) {
    if (!mwebProc) throw Error(errObjectRequired, "no browser view");
    std::shared_ptr<HtmlDocument> doc = mwebProc->Document();
    if (!doc) throw Error(errObjectRequired, "the browser has no document");
    doc->body().setInnerHTML(text);
    std::shared_ptr<ISettings> settings = HostServices::Settings();
    if (!settings) throw Error(errObjectRequired, "no settings object");
    std::shared_ptr<ISettingsSection> section = settings->Section();
    if (!section) throw Error(errObjectRequired, "no settings section");
    const std::string css = section->Value(kStyleSheetSetting).toString();
    if (!css.empty()) doc->createStyleSheet(css);
}

void XPaneProcedure::waitForBrowser(WebBrowser& browser) {
    EventLoop::current().waitWhile([&browser] { return browser.Busy(); }, kBrowserWaitMs);
}

void XPaneProcedure::ShowLoadError(const std::string& link) {
    // Held here: an event handler run during the wait may replace the view.
    std::shared_ptr<WebBrowser> browser = mwebProc;
    if (!browser) throw Error(errObjectRequired, "no browser view");
    browser->Stop();
    browser->Navigate2("about:blank");
    waitForBrowser(*browser);
    std::shared_ptr<HtmlDocument> doc = browser->Document();
    if (!doc) return;
    // The link goes into markup: escaped, it shows exactly as given and can
    // never add elements or script to the page.
    const VariantList args{html::escape(link)};
    std::string page = translatedText(kLoadErrorText, args);
    // A translator without this text, or a failing one, would leave the
    // operator a blank page.
    if (page.empty()) page = fillPlaceholders(literalDefaultText(kLoadErrorText), args);
    doc->body().setInnerHTML(page);
}

// --- browser events ----------------------------------------------------------------

void XPaneProcedure::onBeforeNavigate2() {
    if (m_iBusy > 0) return;
    if (!m_fWebToolbarShown) {
        m_fWebToolbarShown = true;
        resumeNext([&] { xwbToolbar->setVisible(true); });
        layout();
    }
    resumeNext([&] { xwbToolbar->ShowProgressBar(true); });
    changed(Change::Repaint);
}

void XPaneProcedure::onProgressChange(std::int32_t, std::int32_t progressMax) {
    if (m_iBusy > 0 || !m_fWebToolbarShown) return;
    resumeNext([&] {
        const bool running = xwbToolbar->ProgressBarVisible();
        if (progressMax == 0 && running) xwbToolbar->ShowProgressBar(false);
        else if (progressMax != 0 && !running) xwbToolbar->ShowProgressBar(true);
    });
}

void XPaneProcedure::onCommandStateChange(std::int32_t command, bool enable) {
    if (!m_fWebToolbarShown) return;
    std::int32_t id = 0;
    if (command == CSC_NAVIGATEFORWARD) id = XWebToolbar::idForward;
    else if (command == CSC_NAVIGATEBACK) id = XWebToolbar::idBack;
    else return;
    resumeNext([&] { xwbToolbar->Button(id)->setEnabled(enable); });
}

void XPaneProcedure::onDocumentComplete(const std::string& url) {
    resumeNext([&] {
        if (m_iFormat == fmtTemplate && equalsNoCase(url, MMain::TemplatePage())) ApplyTemplateContent(m_sProc);
    });
    // The text zoom is raised for every page of the view; the level found
    // first is given back when the view goes.
    std::shared_ptr<WebBrowser> browser = mwebProc;
    if (!browser) return;
    std::int32_t current = -1;
    resumeNext([&] {
        Variant out;
        browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, &out);
        current = out.toInt32();
    });
    resumeNext([&] {
        if (m_lSavedZoom == -1) m_lSavedZoom = current;
    });
    resumeNext([&] {
        if (current < kMinZoom) {
            const Variant level(kMinZoom);
            browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &level, nullptr);
        }
    });
}

void XPaneProcedure::onNavigateError(const std::string& url) {
    if (url == "about:blank") return;
    resumeNext([&] { ShowLoadError(url); });
}

void XPaneProcedure::onRichEditLink(std::string& target) {
    if (target.empty()) return;
    ShellOpen::open(target);
}

// --- web toolbar commands ------------------------------------------------------------

void XPaneProcedure::onToolbarButton(const std::shared_ptr<CTgToolbarButton>& btn) {
    std::int32_t id = 0;
    resumeNext([&] { id = btn->ID(); });
    auto browser = [this]() -> WebBrowser& {
        if (!mwebProc) throw Error(errObjectRequired, "no browser view");
        return *mwebProc;
    };
    switch (id) {
        case XWebToolbar::idBack: resumeNext([&] { browser().GoBack(); }); break;
        case XWebToolbar::idForward: resumeNext([&] { browser().GoForward(); }); break;
        case XWebToolbar::idHome:
            if (m_iFormat == fmtTemplate) resumeNext([&] { browser().Navigate2(MMain::TemplatePage()); });
            else if (m_iFormat == fmtLink || m_iFormat == fmtLinkAlt) resumeNext([&] { browser().Navigate2(m_sProc); });
            break;
        case XWebToolbar::idRefresh: {
            resumeNext([&] { browser().Refresh(); });
            if (m_iFormat != fmtTemplate) break;
            std::string t = MMain::TemplatePage();
            std::replace(t.begin(), t.end(), '\\', '/');
            bool onTemplate = false;
            resumeNext([&] { onTemplate = browser().LocationURL().find(t) != std::string::npos; });
            if (onTemplate) {
                std::shared_ptr<WebBrowser> held = mwebProc;
                resumeNext([&] { waitForBrowser(*held); });
                resumeNext([&] { ApplyTemplateContent(m_sProc); });
            }
            break;
        }
        case XWebToolbar::idStop:
            resumeNext([&] { browser().Stop(); });
            resumeNext([&] { xwbToolbar->ShowProgressBar(false); });
            break;
        default: break;
    }
}

// --- mouse focus -----------------------------------------------------------------------

void XPaneProcedure::forwardMouseMove() {
    resumeNext([&] {
        if (Control* container = Parent()) {
            VariantList none;
            container->invoke("LostMouseFocus", none);
        }
    });
}

// --- layout ------------------------------------------------------------------------------

std::shared_ptr<Control> XPaneProcedure::detailsViewControl() const {
    return std::dynamic_pointer_cast<Control>(m_detailsView);
}

void XPaneProcedure::setTestDetailsView(ObjectPtr v) {
    // The pane showed the old view over its details pane; left shown, it
    // would lie over the procedure view that now takes the width.
    if (std::shared_ptr<Control> old = detailsViewControl(); old && old != v)
        resumeNext([&] { old->setVisible(false); });
    if (!v) m_detailsView = nullptr;
    else if (std::dynamic_pointer_cast<Control>(v)) m_detailsView = std::move(v);
    else m_detailsView = lblDotNetCtrl;
    std::shared_ptr<Control> view = detailsViewControl();
    if (!view) {
        m_fHasDetailsView = false;
        resumeNext([&] { xdpDetails->setVisible(false); });
    } else {
        m_fHasDetailsView = true;
        resumeNext([&] {
            const float frame = static_cast<float>(xdpDetails->Width()) - xdpDetails->ClientWidth();
            xdpDetails->setWidth(roundEven(static_cast<float>(view->Width()) + frame));
        });
        resumeNext([&] { xdpDetails->setVisible(true); });
        resumeNext([&] {
            if (Visible()) {
                view->setVisible(xdpDetails->Expanded());
                view->ZOrder(0);
            } else {
                view->setVisible(false);
            }
        });
    }
    layout();
}

void XPaneProcedure::ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight) {
    resumeNext([&] { lblDotNetCtrl->setLeft(lLeft); });
    resumeNext([&] { lblDotNetCtrl->setTop(lTop); });
    resumeNext([&] { lblDotNetCtrl->setWidth(lWidth); });
    resumeNext([&] { lblDotNetCtrl->setHeight(lHeight); });
}

void XPaneProcedure::UpdateLocations(std::int32_t& X, std::int32_t& y, std::int32_t& dx, std::int32_t& dy,
                                     bool& fExpand) {
    resumeNext([&] { fExpand = xdpDetails->Expanded() && m_fHasDetailsView; });
    std::shared_ptr<Control> view = detailsViewControl();
    if (!view) return;
    resumeNext([&] {
        const std::int32_t l = view->Left(), t = view->Top(), w = view->Width(), h = view->Height();
        X = l;
        y = t;
        dx = w;
        dy = h;
    });
}

void XPaneProcedure::onExpandCollapse() {
    if (std::shared_ptr<Control> view = detailsViewControl())
        resumeNext([&] { view->setVisible(xdpDetails->Expanded()); });
    layout();
}

void XPaneProcedure::sizeCaption(std::int32_t width) {
    resumeNext([&] { lblTECaption->setAutoSize(false); });
    resumeNext([&] { lblTECaption->Move(0, 0, width, lblTECaption->Height()); });
    resumeNext([&] { lblTECaption->setAutoSize(true); });
    resumeNext([&] { lblTECaption->setHeight(wrappedHeight(*lblTECaption, lblTECaption->Width())); });
}

void XPaneProcedure::layout() {
    if (m_fInLayout) return;
    m_fInLayout = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{m_fInLayout};

    std::int32_t cw = ScaleWidth();
    if (m_fWebToolbarShown) resumeNext([&] { cw -= xwbToolbar->Width(); });
    sizeCaption(cw);
    std::int32_t top = kCaptionGap;
    resumeNext([&] { top = lblTECaption->Height() + kCaptionGap; });
    if (m_fWebToolbarShown)
        resumeNext([&] {
            xwbToolbar->Move(cw, top - xwbToolbar->Height(), xwbToolbar->Width(), xwbToolbar->Height());
        });
    float w = static_cast<float>(ScaleWidth());
    const float h = static_cast<float>(ScaleHeight() - top);
    resumeNext([&] {
        xdpDetails->Move(roundEven(w - static_cast<float>(xdpDetails->Width())), top, xdpDetails->Width(),
                         roundEven(h));
    });
    std::shared_ptr<Control> view = detailsViewControl();
    if (m_fHasDetailsView) {
        resumeNext([&] { w -= static_cast<float>(xdpDetails->Width()); });
        if (xdpDetails->Expanded()) {
            if (view)
                resumeNext([&] {
                    view->Move(roundEven(Left() + xdpDetails->Left() + xdpDetails->ClientLeft()),
                               roundEven(Top() + xdpDetails->Top() + xdpDetails->ClientTop()),
                               roundEven(xdpDetails->ClientWidth()), roundEven(xdpDetails->ClientHeight()));
                });
            w -= kDetailsGap;
        }
    }
    if (!m_currentView && !m_fDotNetRtf) {
        // The placeholder only carries a rectangle; it is never left shown.
        if (view == lblDotNetCtrl) resumeNext([&] { lblDotNetCtrl->setVisible(false); });
        return;
    }
    float X = 0, y = static_cast<float>(top), dx = w, dy = h;
    resumeNext([&] { ResizeRTFPane(X, y, dx, dy); });
    // A view the pane shows is placed whatever DotNetRtf says: the flag only
    // hands rich text to the host. The left edge stays 0.
    if (m_currentView) resumeNext([&] { m_currentView->Move(0, roundEven(y), roundEven(dx), roundEven(dy)); });
    bool bExpand = false;
    resumeNext([&] { bExpand = xdpDetails->Expanded() && m_fHasDetailsView; });
    if (view) {
        resumeNext([&] {
            ResizePanProc(view->Left(), view->Top(), view->Width(), view->Height(), bExpand);
        });
        // Only the placeholder: a host whose own details view happens to be a
        // label would otherwise see it vanish after every pass.
        if (view == lblDotNetCtrl) resumeNext([&] { lblDotNetCtrl->setVisible(false); });
    }
}

// --- show, hide, termination ----------------------------------------------------------------

void XPaneProcedure::setVisible(bool v) {
    const bool was = Visible();
    Control::setVisible(v);
    if (v && !was) paneShown();
    else if (!v && was) paneHidden();
}

void XPaneProcedure::paneShown() {
    if (std::shared_ptr<Control> view = detailsViewControl()) {
        resumeNext([&] { view->setVisible(xdpDetails->Expanded()); });
        resumeNext([&] { view->ZOrder(0); });
    }
}

void XPaneProcedure::paneHidden() {
    if (std::shared_ptr<Control> view = detailsViewControl()) resumeNext([&] { view->setVisible(false); });
}

void XPaneProcedure::Terminate() { RemoveProcedureView(); }

// --- late binding ------------------------------------------------------------------------------

const MemberTable<XPaneProcedure>& XPaneProcedure::members() {
    using M = MemberTable<XPaneProcedure>;
    static const M table(
        MemberTables::of<Control>(),
        {
            // Showing and hiding moves the host's details view with the pane.
            M::property("Visible", &Control::Visible, &XPaneProcedure::setVisible),
            M::property("Caption", &XPaneProcedure::Caption, &XPaneProcedure::setCaption),
            M::property("DotNetRtf", &XPaneProcedure::DotNetRtf, &XPaneProcedure::setDotNetRtf),
            M::writeOnly("TestDetailsView", &XPaneProcedure::setTestDetailsView),
            M::method("SetProcedure",
                      [](XPaneProcedure& p, MemberCall& c) {
                          c.arg(1);  // both present before either is converted
                          std::string text = c.args[1].toString();
                          p.SetProcedure(c.args[0].toInt16(), text);
                          c.args[1] = text;
                      }),
            M::method("ResizeLabel",
                      [](XPaneProcedure& p, MemberCall& c) {
                          c.arg(3);  // all four present before any is converted
                          p.ResizeLabel(c.args[0].toInt32(), c.args[1].toInt32(), c.args[2].toInt32(),
                                        c.args[3].toInt32());
                      }),
        });
    return table;
}

Variant XPaneProcedure::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XPaneProcedure::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
