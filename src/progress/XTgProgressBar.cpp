#include "progress/XTgProgressBar.h"

#include <optional>
#include <stdexcept>

#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "progress/ProgressAnimation.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XTgProgressBar::registerClass(), true);

}  // namespace

XTgProgressBar::XTgProgressBar(std::string name) : PictureBox(kClassName, std::move(name)) {
    MMain::ensureStarted();
    setScaleMode(ScaleMode::Pixels);
    // Redraw paints the complete control, so the surface can keep the last
    // image for whatever exposes it.
    setAutoRedraw(true);
    m_tmrAnimate = create<Timer>("tmrAnimate");
    m_tmrAnimate->setTimerEnabled(false);
    m_tmrAnimate->setInterval(kAnimationInterval);
    m_tmrAnimate->Tick.connect([this] { tmrAnimate_Timer(); });
}

XTgProgressBar::~XTgProgressBar() {
    // The timer is a child that someone may still hold; it must not call
    // into a control that is gone.
    m_tmrAnimate->setTimerEnabled(false);
    m_tmrAnimate->Tick.disconnectAll();
}

void XTgProgressBar::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XTgProgressBar>(); });
}

bool XTgProgressBar::Animate() const { return m_tmrAnimate->TimerEnabled(); }

void XTgProgressBar::setAnimate(bool on) {
    if (on) {
        SetBarRange(0, 0);
        Redraw();
        m_tmrAnimate->setTimerEnabled(true);
    } else {
        m_tmrAnimate->setTimerEnabled(false);
    }
}

std::int16_t XTgProgressBar::Value() const {
    if (m_tmrAnimate->TimerEnabled()) return 0;
    return ProgressAnimation::toInt16(m_pbDraw.BarStop());
}

void XTgProgressBar::setValue(std::int16_t value) {
    m_tmrAnimate->setTimerEnabled(false);
    SetBarRange(0, value);
    Redraw();
}

void XTgProgressBar::setText(const std::string& text) {
    m_pbDraw.setShowText(!text.empty());
    m_pbDraw.setText(text);
}

void XTgProgressBar::Refresh() { resumeNext([&] { Redraw(); }); }

void XTgProgressBar::onResize() {
    PictureBox::onResize();
    resumeNext([&] { Redraw(); });
}

void XTgProgressBar::Redraw() {
    const std::int32_t w = pixelWidth();
    const std::int32_t h = pixelHeight();
    // The bar covers the whole control and, once its work surface is big
    // enough, reaches the control in one final copy or not at all: then the
    // clearing is only needed when that copy does not happen.
    const CMemDC& work = m_pbDraw.workSurface();
    const bool offScreen = work.surface() && work.Width() >= w && work.Height() >= h;
    if (!offScreen) Cls();
    // A control without area has nothing to paint, which is no failure.
    if (w > 0 && h > 0 && !m_pbDraw.DrawToDC(hWnd(), hDC(), 0, 0, w, h)) {
        if (offScreen) Cls();
        throw Error(errGeneric, "the progress bar could not be painted");
    }
    imageChanged();
}

void XTgProgressBar::SetBarRange(std::int32_t start, std::int32_t stop) {
    ProgressAnimation::setBarRange(m_pbDraw, start, stop);
}

void XTgProgressBar::tmrAnimate_Timer() {
    ProgressAnimation::advance(m_pbDraw);
    resumeNext([&] { Redraw(); });
}

// --- Late binding ---------------------------------------------------------------

namespace {
// The numbers as this control has always read them, more loosely than the
// other controls: any base std::stoll knows ("#0x..", "#0..", decimal), text
// after the number ignored, wrapped to 32 bits. Hosts written against it may
// rely on that.
std::optional<std::int32_t> lenientDispatchId(const std::string& member) {
    if (member.size() < 2 || member[0] != '#') return std::nullopt;
    try {
        return static_cast<std::int32_t>(std::stoll(member.substr(1), nullptr, 0));
    } catch (const std::logic_error&) {
        return std::nullopt;
    }
}
}  // namespace

const MemberTable<XTgProgressBar>& XTgProgressBar::members() {
    using M = MemberTable<XTgProgressBar>;
    static const M table(MemberTables::of<Control>(),
                         {
                             M::property("Text", kDispIdText, &XTgProgressBar::Text, &XTgProgressBar::setText),
                             M::property("XpStyle", kDispIdXpStyle, &XTgProgressBar::XpStyle, &XTgProgressBar::setXpStyle),
                             M::property("Value", kDispIdValue, &XTgProgressBar::Value, &XTgProgressBar::setValue),
                             M::property("Animate", kDispIdAnimate, &XTgProgressBar::Animate, &XTgProgressBar::setAnimate),
                             M::method("Refresh", kDispIdRefresh, [](XTgProgressBar& b, MemberCall&) { b.Refresh(); }),
                         },
                         {.dispatchId = lenientDispatchId});
    return table;
}

Variant XTgProgressBar::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XTgProgressBar::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
