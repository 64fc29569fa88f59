#include "content/XTgContentPane.h"

#include "content/PageContracts.h"
#include "content/Twips.h"
#include "content/XMsnSplit.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "frame/Captions.h"
#include "frame/DispatchId.h"
#include "frame/MMain.h"
#include "frame/TextLookup.h"
#include "platform/CountedScope.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/StandardControls.h"
#include "progress/XTransparentImage.h"
#include "resources/TextBitmap.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XTgContentPane::registerClass(), true);

// Keeps the page events quiet while the pane itself writes into its pages.
using SuppressEvents = CountedScope;

void callByName(Object& o, const char* member, VariantList args = {}) { o.invoke(member, args); }

}  // namespace

void XTgContentPane::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XTgContentPane>(); });
}

XTgContentPane::XTgContentPane(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(kDesignBackColor);

    m_shpTopFrame = create<Shape>("shpTopFrame");
    m_shpTopFrame->setFillSolid(true);
    m_shpTopFrame->setFillColor(kBandColor);
    m_shpTopFrame->setBorderColor(kBandColor);
    m_shpTopFrame->moveTwips(0, 0, 9000, kDefaultTopMargin);

    m_xtiTopRight = create<XTransparentImage>("xtiTopRight");
    m_xtiTopRight->moveTwips(9000 - 75, kDefaultTopMargin, 75, 75);
    resumeNext([&] {
        PicturePtr corner = Resources::loadPicture("corner_topright.txt");
        m_xtiTopRight->setPicture(corner);
        m_xtiTopRight->setMaskPicture(corner);
        m_xtiTopRight->setMaskColor(0xFFFFFF);
    });

    m_xtsTabStrip = create<XTabStrip>("xtsTabStrip");
    m_xtsTabStrip->moveTwips(0, kDefaultTopMargin, kDesignTabStripWidth, 6000);

    m_xpvProc = create<XPaneProcedure>("xpvProc");
    m_xmsSplit = create<XMsnSplit>("xmsSplit");

    m_mnuTabStrip = {MenuEntry{1, "Auto-hide", true, false, false, {}}};
    m_mnuSplit = {MenuEntry{mnuSizeUp + 1, "Up", true, false, false, {}},
                  MenuEntry{mnuSizeDown + 1, "Down", true, false, false, {}},
                  MenuEntry{mnuSizeMaximize + 1, "Maximize", true, false, false, {}},
                  MenuEntry{mnuSizeMinimize + 1, "Minimize", true, false, false, {}}};

    m_xmsSplit->Click.connect([this] {
        resumeNext([&] { m_xmsSplit->ZOrder(0); });
        SetResultViewState(m_xmsSplit->State());
    });
    m_xmsSplit->MouseDown.connect([this](std::int16_t b, std::int16_t, float x, float y) { onSplitterMouseDown(b, x, y); });
    m_xmsSplit->MouseMove.connect([this](std::int16_t, std::int16_t, float, float) { LostMouseFocus(); });
    m_xtsTabStrip->MouseDown.connect([this](std::int16_t b, std::int16_t, float x, float y) { onTabStripMouseDown(b, x, y); });
    m_xtsTabStrip->MouseMove.connect([this](std::int16_t, std::int16_t, float, float) { onTabStripMouseMove(); });
    m_xtsTabStrip->KeyPress.connect([this](std::int16_t& k) { resumeNext([&] { KeyPress(k); }); });
    // The keyboard reaches what the mouse does: the same activation for a
    // tab chosen with the arrow keys, the same menus at the focused part.
    m_xtsTabStrip->KeySelect.connect([this](std::int16_t) { onTabChosen(); });
    m_xtsTabStrip->ContextMenuRequested.connect([this](float x, float y) {
        openTabStripMenu(x, y);
    });
    m_xmsSplit->ContextMenuRequested.connect([this](float x, float y) {
        openSplitMenu(x, y);
    });
    // A collapsed strip opens while the operator works it from the keyboard,
    // as it does under the mouse.
    m_xtsTabStrip->GotFocus.connect([this] { onTabStripMouseMove(); });
    m_xtsTabStrip->LostFocus.connect([this] { LostMouseFocus(); });
    m_xpvProc->ResizePanProc.connect([this](std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy, bool b) {
        const bool expand = b && m_xtsTabStrip->Selected() == etgProcedureTab;
        resumeNext([&] { ResizePanProcedure(x, y, dx, dy, expand); });
    });
    m_xpvProc->ResizeRTFPane.connect([this](float& x, float& y, float& dx, float& dy) {
        // The host sees the rectangle in pane coordinates; only y, dx and dy
        // go back to the procedure pane.
        float left = x + static_cast<float>(m_xpvProc->Left());
        resumeNext([&] { ResizeRTFPane(left, y, dx, dy); });
    });

    resumeNext([&] { m_xmsSplit->ZOrder(0); });
    m_colPages = std::make_unique<PageCollection>();
    (*m_colPages)[pageKey(etgProcedureTab)] = m_xpvProc;
    moveTwips(0, 0, 9000, 6000);
    // A new pane shows what an empty store gives; a host loading a saved
    // form reads its store again.
    ReadProperties();
}

XTgContentPane::~XTgContentPane() { m_activePageEvents.disconnect(); }

// --- layout ---------------------------------------------------------------

bool XTgContentPane::splitterTopFor(std::int32_t state, float& top) const {
    const float paneHeight = static_cast<float>(ScaleHeight());
    const float bandBottom = static_cast<float>(m_shpTopFrame->Top() + m_shpTopFrame->Height());
    const float H = paneHeight - bandBottom;
    const float splitHeight = static_cast<float>(m_xmsSplit->Height());
    switch (state) {
        case ervsNormal: top = 0.75f * H - splitHeight; return true;
        case ervsLarge: top = 0.25f * H; return true;
        case ervsMaximized: top = 0; return true;
        case ervsMinimized: top = paneHeight - splitHeight; return true;
        case ervsHideResults: top = paneHeight; return true;
        case ervsHideProcedure: top = -splitHeight; return true;
        default: return false;
    }
}

void XTgContentPane::placePage(Object& page) {
    const double bandBottom = m_shpTopFrame->Top() + m_shpTopFrame->Height();
    const double left = m_xtsTabStrip->Width() + kPageLeftGap;
    const double width = ScaleWidth() - left - kPageRightMargin;
    const double height = m_xmsSplit->Top() - bandBottom - kPageBottomGap;
    // A page that would come out with a negative size keeps its place,
    // whatever the page itself would make of such a size. That is the
    // layout of a maximized result view, not an error.
    if (width < 0 || height < 0) return;
    callByName(page, "Move",
               {static_cast<float>(left), static_cast<float>(bandBottom), static_cast<float>(width),
                static_cast<float>(height)});
}

void XTgContentPane::layout() {
    const float paneWidth = static_cast<float>(ScaleWidth());
    const float paneHeight = static_cast<float>(ScaleHeight());
    const float W = static_cast<float>(m_xtsTabStrip->Width());
    float B = static_cast<float>(m_shpTopFrame->Top() + m_shpTopFrame->Height());
    const float R = paneWidth - W;
    float H = paneHeight - B;

    resumeNext([&] { m_shpTopFrame->Move(0, 0, roundTwips(paneWidth), m_shpTopFrame->Height()); });
    resumeNext([&] { m_xtiTopRight->Move(roundTwips(paneWidth) - m_xtiTopRight->Width(), roundTwips(B)); });
    resumeNext([&] { m_xtsTabStrip->Move(0, roundTwips(B), roundTwips(W), roundTwips(H)); });
    resumeNext([&] {
        float top = 0;
        if (splitterTopFor(m_eResultViewState, top))
            m_xmsSplit->Move(roundTwips(W), roundTwips(top), roundTwips(R), m_xmsSplit->Height());
    });
    resumeNext([&] {
        // A selected tab without a page of its own leaves the page shown
        // where it is.
        if (ObjectPtr p = page(pageKey(m_xtsTabStrip->Selected()))) placePage(*p);
    });

    const float S = static_cast<float>(m_xmsSplit->Top() + m_xmsSplit->Height());
    const float RH = paneHeight - S;
    if (m_oResultView) {
        B = S;
        H = paneHeight - S;
        resumeNext([&] {
            if (H < 0 || R < 0) return;  // no room: the result view keeps its place
            callByName(*m_oResultView, "Move", {W, B, R, H});
        });
        resumeNext([&] { callByName(*m_oResultView, "ZOrder"); });
    }
    resumeNext([&] { ResizeResultView(W, B, R, H); });
    resumeNext([&] { ResultViewPosition(W, S, R, RH); });
}

// --- layout state ---------------------------------------------------------

void XTgContentPane::SetResultViewState(std::int32_t e) {
    m_eResultViewState = e;
    if (e < ervsHideResults && e != m_xmsSplit->State()) resumeNext([&] { m_xmsSplit->setState(e); });
    layout();
}

void XTgContentPane::setResultViewState(std::int32_t e) {
    if (e == m_eResultViewState) return;
    SetResultViewState(e);
    PropertyChanged("ResultViewState");
}

void XTgContentPane::onSplitterMouseDown(std::int16_t button, float x, float y) {
    if (button != vbRightButton) return;
    openSplitMenu(x, y);
}

// x and y in the splitter's own units; the menu opens at that point of the pane.
void XTgContentPane::openSplitMenu(float x, float y) {
    // The entry that leads to the current layout is checked, so the menu
    // (and a screen reader reading it) tells where the operator is.
    std::vector<MenuEntry> entries = m_mnuSplit;
    std::int32_t current = -1;
    switch (m_eResultViewState) {
        case ervsLarge: current = mnuSizeUp; break;
        case ervsNormal: current = mnuSizeDown; break;
        case ervsMaximized: current = mnuSizeMaximize; break;
        case ervsMinimized: current = mnuSizeMinimize; break;
        default: break;
    }
    for (MenuEntry& e : entries) e.checked = e.id == current + 1;
    std::int32_t chosen = 0;
    resumeNext([&] {
        chosen = presenter().popupMenu(entries, roundTwips(x + static_cast<float>(m_xmsSplit->Left())),
                                       roundTwips(y + static_cast<float>(m_xmsSplit->Top())), 0);
    });
    // "Up" enlarges the result view and "Down" shrinks it back.
    switch (chosen - 1) {
        case mnuSizeUp: SetResultViewState(ervsLarge); break;
        case mnuSizeDown: SetResultViewState(ervsNormal); break;
        case mnuSizeMaximize: SetResultViewState(ervsMaximized); break;
        case mnuSizeMinimize: SetResultViewState(ervsMinimized); break;
        default: break;
    }
}

// --- properties -----------------------------------------------------------

std::string XTgContentPane::SplitterCaption() const { return m_xmsSplit->Caption(); }

void XTgContentPane::setSplitterCaption(const std::string& s) {
    resumeNext([&] { m_xmsSplit->setCaption(s); });
    PropertyChanged("SplitterCaption");
}

void XTgContentPane::setResultView(ObjectPtr view) {
    m_oResultView = std::move(view);
    layout();
}

void XTgContentPane::setTestDetailsView(ObjectPtr view) {
    resumeNext([&] { m_xpvProc->setTestDetailsView(std::move(view)); });
}

bool XTgContentPane::DotNetRtf() const { return m_xpvProc->DotNetRtf(); }

void XTgContentPane::setDotNetRtf(bool f) {
    resumeNext([&] { m_xpvProc->setDotNetRtf(f); });
}

void XTgContentPane::ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight) {
    resumeNext([&] { m_xpvProc->ResizeLabel(lLeft, lTop, lWidth, lHeight); });
}

// --- pages ----------------------------------------------------------------

XTgContentPane::PageCollection& XTgContentPane::pages() const {
    if (!m_colPages) throw Error(errObjectRequired, "Object variable not set: page collection");
    return *m_colPages;
}

ObjectPtr XTgContentPane::page(const std::string& key) const {
    if (!m_colPages) return nullptr;
    auto it = m_colPages->find(key);
    return it == m_colPages->end() ? nullptr : it->second;
}

ObjectPtr XTgContentPane::commentPage() const {
    ObjectPtr p = page(pageKey(etgCommentTab));
    return std::dynamic_pointer_cast<ICommentPage>(p) ? p : nullptr;
}

void XTgContentPane::setActivePage(ObjectPtr p) {
    m_activePageEvents.disconnect();
    mvceActivePage = std::move(p);
    if (auto c = std::dynamic_pointer_cast<Control>(mvceActivePage))
        m_activePageEvents = c->ObjectEvent.connect(
            [this](const std::string& name, VariantList& args) { onActivePageEvent(name, args); });
}

ObjectPtr XTgContentPane::createFixedPage(std::int16_t iTab) {
    std::shared_ptr<Control> created;
    if (iTab == etgCommentTab) {
        created = ControlFactory::create(kCommentClass);
        created->setName("xtcComment");
        created->setVisible(false);
        add(created);
        if (auto comment = std::dynamic_pointer_cast<ICommentPage>(created)) {
            if (!m_iteOwner) resumeNext([&] { comment->setComment(m_sComment); });
            else resumeNext([&] { comment->Initialize(m_iteOwner->Result()); });
        }
    } else if (iTab == etgDutInfoTab) {
        created = ControlFactory::create(kDutInfoClass);
        created->setName("xdiDutInfo");
        created->setVisible(false);
        add(created);
        if (auto dut = std::dynamic_pointer_cast<IDutInfoPage>(created))
            resumeNext([&] { dut->Initialize(m_itsSetup); });
    }
    // Tab goes from the strip into the page shown and on to the splitter,
    // as the procedure page does, however late the page was created.
    if (created) resumeNext([&] { created->setTabIndex(m_xpvProc->TabIndex()); });
    return created;
}

void XTgContentPane::ActivatePage(std::int16_t iTab) {
    const std::string key = pageKey(iTab);
    setActivePage(nullptr);
    ObjectPtr oPage;
    if (iTab >= etgHelpTab) {
        resumeNext([&] { RequestPage(iTab, oPage); });
        if (oPage)
            resumeNext([&] {
                dropPage(key, oPage);
                pages()[key] = oPage;
            });
    }
    resumeNext([&] {
        auto it = pages().find(key);
        if (it != pages().end()) oPage = it->second;
    });
    if (!oPage && iTab < etgHelpTab)
        resumeNext([&] {
            ObjectPtr created = createFixedPage(iTab);
            if (created) {
                pages()[key] = created;
                oPage = created;
            }
        });
    if (oPage) {
        resumeNext([&] { placePage(*oPage); });
        resumeNext([&] {
            for (auto& [k, p] : pages()) resumeNext([&] { p->setProperty("Visible", false); });
        });
        resumeNext([&] { oPage->setProperty("Visible", true); });
        resumeNext([&] { callByName(*oPage, "ZOrder"); });
        resumeNext([&] { Control::setBackColor(m_xtsTabStrip->Tabs(iTab).SelColor()); });
        resumeNext([&] { m_xmsSplit->ZOrder(0); });
        if (m_eResultViewState == ervsMaximized) SetResultViewState(ervsNormal);
    }
    setActivePage(oPage);
    if (oPage) resumeNext([&] { oPage->setProperty("Tag", std::to_string(iTab)); });
}

void XTgContentPane::onActivePageEvent(const std::string& name, VariantList& args) {
    if (m_iSuppressEvents > 0) return;
    if (name == "Change") {
        if (mvceActivePage && mvceActivePage == commentPage()) resumeNext([&] { CommentChange(); });
    } else if (name == "MouseMove") {
        LostMouseFocus();
    } else if (name == "KeyPress") {
        std::int16_t key = 0;
        resumeNext([&] { key = args.empty() ? std::int16_t{0} : args[0].toInt16(); });
        resumeNext([&] { KeyPress(key); });
        if (!args.empty()) args[0] = key;
    }
}

void XTgContentPane::onTabStripMouseDown(std::int16_t button, float x, float y) {
    if (button == vbLeftButton)
        onTabChosen();
    else if (button == vbRightButton)
        openTabStripMenu(x, y);
}

void XTgContentPane::onTabChosen() {
    const std::int16_t selected = m_xtsTabStrip->Selected();
    ActivatePage(selected);
    std::int32_t x = 0, y = 0, dx = 0, dy = 0;
    bool expand = false;
    resumeNext([&] { m_xpvProc->UpdateLocations(x, y, dx, dy, expand); });
    if (selected != etgProcedureTab) expand = false;
    resumeNext([&] { ResizePanProcedure(x, y, dx, dy, expand); });
    resumeNext([&] { TabClick(selected); });
}

// x and y in the strip's own units, as for the splitter's menu.
void XTgContentPane::openTabStripMenu(float x, float y) {
    std::int32_t chosen = 0;
    resumeNext([&] {
        chosen = presenter().popupMenu(m_mnuTabStrip, roundTwips(x + static_cast<float>(m_xtsTabStrip->Left())),
                                       roundTwips(y + static_cast<float>(m_xtsTabStrip->Top())), 0);
    });
    if (chosen == 1) switchAutoHide();
}

void XTgContentPane::switchAutoHide() {
    m_fAutoHideTabs = !m_mnuTabStrip[0].checked;
    m_mnuTabStrip[0].checked = m_fAutoHideTabs;
    resumeNext([&] { m_xtsTabStrip->ShowTabs(!m_fAutoHideTabs); });
    resumeNext([&] { m_xtsTabStrip->setWidth(m_fAutoHideTabs ? kCollapsedTabStripWidth : kExpandedTabStripWidth); });
    layout();
}

void XTgContentPane::onTabStripMouseMove() {
    if (!m_fAutoHideTabs) return;
    resumeNext([&] { m_xtsTabStrip->setWidth(kExpandedTabStripWidth); });
    resumeNext([&] { m_xtsTabStrip->ZOrder(0); });
    resumeNext([&] { m_xtsTabStrip->ShowTabs(true); });
    layout();
}

void XTgContentPane::LostMouseFocus() {
    if (!m_fAutoHideTabs) return;
    resumeNext([&] { m_xtsTabStrip->setWidth(kCollapsedTabStripWidth); });
    resumeNext([&] { m_xtsTabStrip->ShowTabs(false); });
    layout();
}

void XTgContentPane::SelectTab(std::int32_t eTab) {
    resumeNext([&] {
        const std::int16_t tab = Variant(eTab).toInt16();
        // An index without a tab changes nothing: activation would let go of
        // the page on screen, whose typing would then no longer reach the
        // host, and ask the host for a page of a tab that is not there.
        (void)m_xtsTabStrip->Tabs(tab);
        m_xtsTabStrip->setSelected(tab);
        ActivatePage(tab);
    });
}

void XTgContentPane::ShowTab(std::int32_t eTab, bool fShow) {
    if (eTab < 0) return;
    stopOnError([&] {
        m_xtsTabStrip->ShowTab(eTab, fShow);
        if (eTab == m_xtsTabStrip->Selected()) {
            m_xtsTabStrip->setSelected(etgProcedureTab);
            ActivatePage(etgProcedureTab);
        }
    });
}

std::int16_t XTgContentPane::AddCustomTab(const std::shared_ptr<CTabProperties>& ctpProperties,
                                          ObjectPtr oTabPageControl) {
    if (!ctpProperties) return 0;
    std::int16_t index = 0;
    const bool ok = stopOnError([&] {
        index = m_xtsTabStrip->AddTab(*ctpProperties);
        if (oTabPageControl && !pages().emplace(pageKey(index), oTabPageControl).second)
            throw Error(errGeneric, "a page is already filed under " + pageKey(index));
    });
    return ok ? index : std::int16_t{0};
}

void XTgContentPane::dropPage(const std::string& key, const ObjectPtr& successor) {
    auto it = pages().find(key);
    if (it == pages().end()) return;
    const ObjectPtr old = it->second;
    pages().erase(it);
    // Activation hides only the pages in the collection: a page that leaves
    // it would otherwise stay shown under the new one.
    if (old && old != successor) resumeNext([&] { old->setProperty("Visible", false); });
}

void XTgContentPane::setHelpPageControl(ObjectPtr pageControl) {
    const std::string key = pageKey(etgHelpTab);
    resumeNext([&] { dropPage(key, pageControl); });
    if (pageControl) resumeNext([&] { pages()[key] = pageControl; });
    ShowTab(etgHelpTab, pageControl != nullptr);
}

// --- binding to the host ---------------------------------------------------

void XTgContentPane::Initialize(std::shared_ptr<ITestElement> iteOwner, std::shared_ptr<ITestSetup> itsSetup) {
    WindowUpdateLock freeze(this);
    SuppressEvents quiet(m_iSuppressEvents);
    m_iteOwner = std::move(iteOwner);
    m_itsSetup = std::move(itsSetup);
    if (m_iteOwner) {
        resumeNext([&] { m_xpvProc->Initialize(m_iteOwner->ElementInfo()); });
        std::int16_t tab = 0;
        resumeNext([&] {
            if (mvceActivePage) tab = mvceActivePage->getProperty("Tag").toInt16();
        });
        if (tab < 0 || !m_colPages || tab > static_cast<std::int32_t>(m_colPages->size())) tab = 0;
        ActivatePage(tab);
    }
    if (ObjectPtr p = commentPage())
        resumeNext([&] {
            std::dynamic_pointer_cast<ICommentPage>(p)->Initialize(required(m_iteOwner, "test element").Result());
        });
    bool noDut = true;
    resumeNext([&] { noDut = !m_itsSetup || !m_itsSetup->DutInfo(); });
    if (noDut) ShowTab(etgDutInfoTab, false);
}

void XTgContentPane::Terminate() {
    resumeNext([&] { m_xpvProc->setTestDetailsView(nullptr); });
    m_colPages.reset();
    setActivePage(nullptr);
    m_oResultView = nullptr;
    m_iteOwner = nullptr;
    m_itsSetup = nullptr;
}

void XTgContentPane::ApplyWindowSettings(Control& oForm) {
    resumeNext([&] {
        if (!m_itsSetup) return;
        ITestSetupView2* view = m_itsSetup->secondView();
        if (!view) return;
        if (auto ws = view->WindowSettings()) ws->ApplySettings(oForm);
    });
}

void XTgContentPane::StoreWindowSettings(Control& oForm) {
    resumeNext([&] {
        if (!m_itsSetup) return;
        ITestSetupView2* view = m_itsSetup->secondView();
        if (!view) return;
        if (auto ws = view->WindowSettings()) ws->StoreSettings(oForm);
    });
}

// --- the contract the host fills ------------------------------------------

std::string XTgContentPane::Caption() const { return m_xpvProc->Caption(); }

void XTgContentPane::setCaption(const std::string& s) {
    SuppressEvents quiet(m_iSuppressEvents);
    resumeNext([&] { m_xpvProc->setCaption(s); });
}

void XTgContentPane::setComment(const std::string& s) {
    SuppressEvents quiet(m_iSuppressEvents);
    m_sComment = s;
    if (ObjectPtr p = commentPage())
        resumeNext([&] { std::dynamic_pointer_cast<ICommentPage>(p)->setComment(s); });
}

std::string XTgContentPane::OperatorComment() const {
    std::string text = m_sComment;
    resumeNext([&] {
        if (auto page = std::dynamic_pointer_cast<ICommentPage>(commentPage())) text = page->Comment();
    });
    return text;
}

void XTgContentPane::SetProcedure(std::int16_t iFormat, const std::string& sProc) {
    SuppressEvents quiet(m_iSuppressEvents);
    resumeNext([&] { m_xpvProc->SetProcedure(iFormat, sProc); });
}

void XTgContentPane::setVisible(bool v) {
    const bool was = Visible();
    Control::setVisible(v);
    if (v == was) return;
    if (v) resumeNext([&] { m_xtsTabStrip->setVisible(true); });
    else if (!ambientUserMode()) Terminate();
}

void XTgContentPane::doKeyPress(std::int16_t keyAscii) {
    if (Enabled()) resumeNext([&] { KeyPress(keyAscii); });
}

// --- stored properties ----------------------------------------------------

void XTgContentPane::ReadProperties() {
    const PropertyBag& bag = propertyBag();
    resumeNext([&] {
        const std::int32_t state = bag.ReadProperty("ResultViewState", 0).toInt32();
        if (state != m_eResultViewState) SetResultViewState(state);
    });
    resumeNext([&] {
        std::string caption = bag.ReadProperty("SplitterCaption", std::string()).toString();
        if (caption.empty()) caption = translatedText("3523::Test results");
        m_xmsSplit->setCaption(caption);
    });
    resumeNext([&] {
        const double margin = bag.ReadProperty("TopMargin", std::int16_t{kDefaultTopMargin}).toDouble();
        m_shpTopFrame->setHeight(roundTwips(margin));
    });
    layout();
}

void XTgContentPane::WriteProperties() {
    PropertyBag& bag = propertyBag();
    resumeNext([&] { bag.WriteProperty("ResultViewState", m_eResultViewState, 0); });
    resumeNext([&] { bag.WriteProperty("SplitterCaption", m_xmsSplit->Caption(), std::string()); });
    resumeNext([&] {
        bag.WriteProperty("TopMargin", static_cast<float>(m_shpTopFrame->Height()),
                          static_cast<float>(kDefaultTopMargin));
    });
}

// --- late binding ---------------------------------------------------------

const MemberTable<XTgContentPane>& XTgContentPane::members() {
    using M = MemberTable<XTgContentPane>;
    using P = XTgContentPane;
    auto windowSettings = [](void (P::*apply)(Control&)) {
        return [apply](P& p, MemberCall& c) {
            auto form = std::dynamic_pointer_cast<Control>(c.arg(0).toObject());
            if (!form) throw Error(errObjectRequired, "Object required: " + std::string(c.name));
            (p.*apply)(*form);
        };
    };
    static const M table(
        MemberTables::of<Control>(),
        {
            // Shown, the pane shows its tab strip; hidden at design time, it ends.
            M::property("Visible", &Control::Visible, &P::setVisible),
            // The pane through ITgContentPane.
            M::method("Content", 0x68030007,
                      [](P& p, MemberCall&) {
                          ObjectPtr self = p.weak_from_this().lock();
                          if (!self)
                              throw Error(errObjectRequired,
                                          "Object required: the pane is not shared by its container");
                          return self;
                      }),
            M::property("ResultViewState", 0x68030006, &P::ResultViewState, &P::setResultViewState),
            M::property("SplitterCaption", 0x68030005, &P::SplitterCaption, &P::setSplitterCaption),
            M::writeOnly("HelpPageControl", 0x68030004, &P::setHelpPageControl),
            M::writeOnly("ResultView", 0x68030003, &P::setResultView),
            M::writeOnly("TestDetailsView", 0x68030002, &P::setTestDetailsView),
            M::property("DotNetRtf", 0x68030010, &P::DotNetRtf, &P::setDotNetRtf),
            M::unreachable("Initialize", 0x60030008),
            M::method("ApplyWindowSettings", 0x60030009, windowSettings(&P::ApplyWindowSettings)),
            M::method("StoreWindowSettings", 0x6003000A, windowSettings(&P::StoreWindowSettings)),
            M::unreachable("AddCustomTab", 0x6003000B),
            M::method("LostMouseFocus", 0x6003000C, [](P& p, MemberCall&) { p.LostMouseFocus(); }),
            M::method("SelectTab", 0x6003000D, [](P& p, MemberCall& c) { p.SelectTab(c.arg(0).toInt32()); }),
            M::method("ShowTab", 0x6003000E,
                      [](P& p, MemberCall& c) { p.ShowTab(c.arg(0).toInt32(), c.arg(1).toBool()); }),
            M::method("Terminate", 0x6003000F, [](P& p, MemberCall&) { p.Terminate(); }),
            M::method("ResizeLabel", 0x6003002B,
                      [](P& p, MemberCall& c) {
                          p.ResizeLabel(c.arg(0).toInt32(), c.arg(1).toInt32(), c.arg(2).toInt32(),
                                        c.arg(3).toInt32());
                      }),
        },
        {.dispatchId = dispatchIdOf, .reportWriteOnly = true});
    return table;
}

Variant XTgContentPane::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XTgContentPane::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
