#include "content/XWebToolbar.h"

#include <cmath>

#include "content/WebToolbarIcons.h"
#include "frame/Captions.h"
#include "frame/MMain.h"
#include "frame/TextLookup.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/Line.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "resources/Resources.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XWebToolbar::registerClass(), true);

// Drawing the icons is the costly part of building a bar and they never
// change, so every web toolbar shares one list.
std::shared_ptr<ImageManager> sharedIcons() {
    static std::shared_ptr<ImageManager> icons = WebToolbarIcons::makeImageManager();
    return icons;
}

// The command-bar values the bar is built with.
constexpr std::int32_t kThemeOffice2003 = 2;
constexpr std::int32_t kDockTopNoWrap = cbdTop | cbdNoWrap;  // 33

std::int32_t roundHalfEven(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

}  // namespace

void XWebToolbar::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XWebToolbar>(); });
}

XWebToolbar::XWebToolbar(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(kDefaultBackColor);
    cbrBars = create<CommandBars>("cbrBars");
    immIcons = sharedIcons();
    pboProgress = create<PictureBox>("pboProgress");
    pboProgress->setVisible(false);
    pboProgress->setBackColor(kDefaultBackColor);
    lnProgFrame = pboProgress->create<Line>("lnProgFrame");
    lnProgBar = pboProgress->create<Line>("lnProgBar");
    tmrProgress = create<Timer>("tmrProgress");
    tmrProgress->setTimerEnabled(false);
    tmrProgress->setInterval(kTimerInterval);
    tmrProgress->Tick.connect([this] { TimerTick(); });

    cbrBars->Execute.connect([this](std::shared_ptr<CommandBarControl> c) { OnExecute(c); });
    cbrBars->Resize.connect([this] { OnBarsResized(); });
    BuildBar();
    resumeNext([&] { cbrBars->RecalcLayout(); });
}

XWebToolbar::~XWebToolbar() = default;

// --- construction ------------------------------------------------------------

void XWebToolbar::BuildBar() {
    const OleColor back = Control::BackColor();
    stopOnError([&] {
        cbrBars->ActiveMenuBar()->setVisible(false);
        cbrBars->setIcons(immIcons);
        cbrBars->LoadDesignerBars(std::string(Resources::get(kBarResource)));
        m_bar = cbrBars->Item(2);
        cbrBars->setVisualTheme(kThemeOffice2003);
        cbrBars->setSpecialColor(cbcolDockFace, back);
        cbrBars->setSpecialColor(cbcolMenuFace, back);
        cbrBars->setSpecialColor(cbcolBarFace, back);
        cbrBars->setSpecialColor(cbcolHighlight, cbrBars->SpecialColor(cbcolHighlight));
        // The bars as controls carry the same colour, for whoever paints
        // them without reading the colour table.
        cbrBars->setBackColor(back);
        lnProgFrame->setBorderColor(cbrBars->SpecialColor(cbcolDisabledText));
        lnProgBar->setBorderColor(cbrBars->SpecialColor(cbcolCheckedFace));
        cbrBars->Options().setOption(13, false);
        cbrBars->Options().setOption(11, false);
        cbrBars->Options().setOption(21, false);
        cbrBars->Options().setOption(6, true);
        m_bar->setBackColor(back);
        m_bar->ModifyStyle(0, cbwGripper);
        m_bar->EnableDocking(kDockTopNoWrap);
        m_bar->setOption(CommandBar::optionCustomizable, false);
        m_bar->setOption(CommandBar::optionShowExpandButton, false);
        m_bar->setOption(CommandBar::optionContextMenuPresent, false);
        // A lookup that fails costs its caption only (the default text
        // shows), not the rest of the build.
        for (const auto& c : m_bar->Controls()) {
            c->setCaption(captionText(c->Caption()));
            c->setToolTipText(captionText(c->ToolTipText()));
        }
        m_bar->RedrawBar();
    });
}

// --- buttons -------------------------------------------------------------------

std::shared_ptr<CTgToolbarButton> XWebToolbar::Button(std::int32_t ID) const {
    try {
        if (!m_bar) return nullptr;
        auto c = m_bar->FindControl(0, ID, false, true);
        return CTgToolbarButton::of(c);
    } catch (...) {
        reportContained();
        return nullptr;
    }
}

void XWebToolbar::OnExecute(const std::shared_ptr<CommandBarControl>& control) {
    stopOnError([&] {
        auto btn = Button(control->Id());
        if (!btn || !btn->Enabled()) return;
        const bool fAccelerator = control->Parent() != btn->Parent();
        ButtonClick(btn, fAccelerator);
    });
}

// --- size ------------------------------------------------------------------------

void XWebToolbar::OnBarsResized() {
    resumeNext([&] {
        std::int32_t l = 0, t = 0, r = 0, b = 0;
        m_bar->GetWindowRect(l, t, r, b);
        // The bar's rectangle is in pixels, the control's size in twips.
        const std::int32_t w = Screen::toTwips(r - l);
        const std::int32_t h = Screen::toTwips(b - t);
        if (w == widthTwips() && h == heightTwips()) return;
        moveTwips(leftTwips(), topTwips(), w, h);
        Resize();
    });
}

void XWebToolbar::onResize() {
    // The bar docks in the whole control, and the indicator runs along its
    // bottom edge.
    resumeNext([&] { cbrBars->moveTwips(0, 0, widthTwips(), heightTwips()); });
    placeIndicator();
}

void XWebToolbar::placeIndicator() {
    resumeNext([&] {
        const std::int32_t h = std::min(kIndicatorHeight, heightTwips());
        pboProgress->moveTwips(0, heightTwips() - h, widthTwips(), h);
        lnProgFrame->setY1(h / 2);
        lnProgFrame->setY2(h / 2);
        lnProgBar->setY1(h / 2);
        lnProgBar->setY2(h / 2);
    });
}

// --- progress indicator --------------------------------------------------------------

bool XWebToolbar::ProgressBarVisible() const { return pboProgress->Visible(); }

void XWebToolbar::ShowProgressBar(bool fShow) {
    if (fShow) {
        const std::int32_t m = kTrackMargin;
        const std::int32_t w = ScaleWidth() - 2 * m;
        resumeNext([&] { lnProgFrame->setBorderWidth(3); });
        resumeNext([&] { lnProgFrame->setX1(m); });
        resumeNext([&] { lnProgFrame->setX2(w); });
        resumeNext([&] { lnProgBar->setBorderWidth(3); });
        resumeNext([&] { lnProgBar->setX1(m); });
        resumeNext([&] { lnProgBar->setX2(m + roundHalfEven(w / 10.0)); });
        resumeNext([&] { pboProgress->setVisible(true); });
        resumeNext([&] { pboProgress->Refresh(); });
        resumeNext([&] { tmrProgress->setTimerEnabled(true); });
    } else {
        resumeNext([&] { tmrProgress->setTimerEnabled(false); });
        resumeNext([&] { pboProgress->setVisible(false); });
        resumeNext([&] { pboProgress->Refresh(); });
    }
}

void XWebToolbar::TimerTick() {
    resumeNext([&] {
        if (m_iDirection == 0) m_iDirection = 1;
        std::int32_t x1 = lnProgBar->X1();
        const double len = (lnProgFrame->X2() - lnProgFrame->X1()) / 10.0;
        if (x1 <= lnProgFrame->X1()) m_iDirection = 1;
        else if (lnProgBar->X2() >= lnProgFrame->X2()) m_iDirection = -1;
        x1 += m_iDirection * kStep;
        lnProgBar->setX1(x1);
        lnProgBar->setX2(roundHalfEven(x1 + len));
    });
}

// --- background and stored properties ----------------------------------------------------

void XWebToolbar::setBackColor(OleColor c) {
    Control::setBackColor(c);
    PropertyChanged("BackColor");
}

void XWebToolbar::ReadProperties() {
    resumeNext([&] {
        const auto c = static_cast<OleColor>(
            propertyBag().ReadProperty("BackColor", static_cast<std::int32_t>(kDefaultBackColor)).toInt32());
        Control::setBackColor(c);
        pboProgress->setBackColor(c);
    });
}

void XWebToolbar::WriteProperties() {
    resumeNext([&] {
        propertyBag().WriteProperty("BackColor", static_cast<std::int32_t>(Control::BackColor()),
                                    static_cast<std::int32_t>(kDefaultBackColor));
    });
}

// --- late binding ---------------------------------------------------------------------------

const MemberTable<XWebToolbar>& XWebToolbar::members() {
    using M = MemberTable<XWebToolbar>;
    static const M table(
        MemberTables::of<Control>(),
        {
            M::property("BackColor", &XWebToolbar::BackColor, &XWebToolbar::setBackColor),
            M::readOnly("ProgressBarVisible", &XWebToolbar::ProgressBarVisible),
            M::method("ShowProgressBar", [](XWebToolbar& t, MemberCall& c) { t.ShowProgressBar(c.arg(0).toBool()); }),
        });
    return table;
}

Variant XWebToolbar::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XWebToolbar::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
