#include "progress/XStatusBar.h"

#include "frame/GPublicDeclares.h"
#include "frame/MMain.h"
#include "frame/TextLookup.h"
#include "platform/Error.h"
#include "platform/FontEngine.h"
#include "progress/MGradient.h"
#include "progress/ProgressAnimation.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XStatusBar::registerClass(), true);

constexpr OleColor kBlack = 0x00000000;
constexpr OleColor kWhite = 0x00FFFFFF;
constexpr OleColor kWindow = 0x80000005;  // the system window colour

// How each verdict shows: the gradient, the labels' colour and the two
// forms of its text (the word, and the long form shown when it fits).
struct VerdictLook {
    std::int32_t status;
    OleColor top;
    OleColor bottom;
    OleColor text;
    const char* word;      // nullptr: no text
    const char* longText;  // nullptr: no text
    bool longEmbedsWord;   // the long text takes the looked-up word as %1
    // Put before both texts when the verdict mark is on, so that PASSED and
    // FAILED differ in shape as well as in colour.
    const char* mark;
};

constexpr const char* kStepCompleted = "208::STEP COMPLETED:  %%1";

constexpr VerdictLook kVerdictLooks[] = {
    // RGB(205, 224, 250) to RGB(135, 173, 228)
    {.status = 0, .top = 0x00FAE0CD, .bottom = 0x00E4AD87, .text = kBlack,
     .word = nullptr, .longText = nullptr, .longEmbedsWord = false, .mark = nullptr},
    // RGB(0, 192, 192) to RGB(0, 80, 0)
    {.status = 1, .top = 0x00C0C000, .bottom = 0x00005000, .text = kWhite,
     .word = "204::PASSED", .longText = kStepCompleted, .longEmbedsWord = true, .mark = "\u2713"},
    // RGB(224, 112, 112) to RGB(112, 0, 0)
    {.status = 2, .top = 0x007070E0, .bottom = 0x00000070, .text = kWhite,
     .word = "205::FAILED", .longText = kStepCompleted, .longEmbedsWord = true, .mark = "\u2717"},
    // RGB(255, 255, 16) to RGB(211, 211, 72)
    {.status = 3, .top = 0x0010FFFF, .bottom = 0x0048D3D3, .text = kBlack,
     .word = "206::NA", .longText = "207::NOT APPLICABLE", .longEmbedsWord = false, .mark = nullptr},
};

// nullptr for a code no verdict has.
const VerdictLook* verdictLook(std::int32_t status) {
    for (const VerdictLook& look : kVerdictLooks)
        if (look.status == status) return &look;
    return nullptr;
}

}  // namespace

XStatusBar::XStatusBar(std::string name) : PictureBox(kClassName, std::move(name)) {
    MMain::ensureStarted();
    setScaleMode(ScaleMode::Pixels);
    // Redraw paints the whole image, so it can stay in the surface between
    // repaints instead of being asked for again.
    setAutoRedraw(true);
    setBackColor(kWindow);

    m_shpBorder = create<Shape>("shpBorder");
    m_shpBorder->setShapeKind(0);
    m_shpBorder->setBorderColor(kBorderColor);
    auto label = [&](const char* labelName) {
        auto l = create<Label>(labelName);
        l->setBackStyleTransparent(true);
        l->setAlignment(0);
        l->setWordWrap(false);
        l->setAutoSize(false);
        l->MouseDown.connect([this](std::int16_t button, std::int16_t shift, float x, float y) {
            resumeNext([&] { MouseDown(button, shift, x, y); });
        });
        return l;
    };
    m_lblStd = label("lblStd");
    m_lblStatus = label("lblStatus");
    m_lblProg = label("lblProg");
    Font bold = m_lblStatus->font();
    bold.bold = true;
    m_lblStatus->setFont(bold);
    m_lblProg->setHeight(14);
    m_tmrProgIndet = create<Timer>("tmrProgIndet");
    m_tmrProgIndet->setTimerEnabled(false);
    m_tmrProgIndet->setInterval(kAnimationInterval);
    m_tmrProgIndet->Tick.connect([this] { AnimationTick(); });

    resumeNext([&] { m_Status = 0; });
    resumeNext([&] { ApplyButtonSize(etgButtonSizeMedium); });
    resumeNext([&] {
        m_rcGradient.left = 0;
        m_rcGradient.top = 0;
    });
    resumeNext([&] { UpdateVisibility(); });
}

XStatusBar::~XStatusBar() {
    // The parts are children that someone may still hold; none of them may
    // call into a control that is gone.
    m_tmrProgIndet->setTimerEnabled(false);
    m_tmrProgIndet->Tick.disconnectAll();
    for (auto* l : {m_lblStd.get(), m_lblStatus.get(), m_lblProg.get()}) l->MouseDown.disconnectAll();
}

void XStatusBar::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XStatusBar>(); });
}

std::shared_ptr<ITgProgressBar> XStatusBar::ProgressBarShared() {
    return std::shared_ptr<ITgProgressBar>(shared_from_this(), &m_progress);
}

// --- Public members ---------------------------------------------------------------

void XStatusBar::setStatus(std::int32_t status) {
    m_Status = status;
    UpdateVisibility();
    Redraw();
}

void XStatusBar::setVerdictMark(bool on) {
    if (on == m_fVerdictMark) return;
    m_fVerdictMark = on;
    UpdateStatusDisplay();
}

std::string XStatusBar::Message() const { return m_lblProg->Caption(); }

void XStatusBar::setMessage(const std::string& message) {
    m_lblProg->setCaption(message);
    m_lblProg->setToolTipText(message);
    m_lblProg->setVisible(!message.empty());
    m_lblStatus->setVisible(message.empty());
}

void XStatusBar::SetStandardName(const CTgStandardSel& cssStdSel) {
    std::string name;
    resumeNext([&] { name = cssStdSel.CompleteName; });
    resumeNext([&] { m_asStd[0] = name; });
    resumeNext([&] { m_asStd[1] = translate("241::Selected standard: %%1", {Variant(name)}); });
    resumeNext([&] { m_lblStd->setToolTipText(m_asStd[1]); });
    resumeNext([&] { FitCaption(*m_lblStd, m_asStd); });
}

void XStatusBar::ApplyButtonSize(std::int32_t buttonSize) {
    Font f = font();
    switch (buttonSize) {
        case etgButtonSizeSmall:
            f.size = 8;
            f.name = "Tahoma";
            break;
        case etgButtonSizeMedium:
            f.size = 9;
            f.name = "Arial";
            break;
        case etgButtonSizeLarge:
            f.size = 12;
            f.name = "Verdana";
            break;
        default: break;
    }
    setFont(f);
    UpdateVisibility();
}

void XStatusBar::doMouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    resumeNext([&] { PictureBox::doMouseDown(button, shift, x, y); });
}

// --- Display ---------------------------------------------------------------------

void XStatusBar::UpdateVisibility() {
    m_lblStd->setVisible(!m_fProgVisible);
    m_lblStatus->setVisible(!m_fProgVisible);
    m_lblProg->setVisible(m_fProgVisible);
    UpdateStatusDisplay();
}

void XStatusBar::UpdateStatusDisplay() {
    OleColor text = kBlack;
    if (const VerdictLook* look = verdictLook(m_Status)) {
        m_clrTop = look->top;
        m_clrBottom = look->bottom;
        text = look->text;
        // The step-completed text embeds the looked-up verdict word, so the
        // long text is looked up second.
        m_asStatus[0] = look->word ? translate(look->word) : std::string();
        if (!look->longText) m_asStatus[1].clear();
        else if (look->longEmbedsWord) m_asStatus[1] = translate(look->longText, {Variant(m_asStatus[0])});
        else m_asStatus[1] = translate(look->longText);
        if (m_fVerdictMark && look->mark)
            for (std::string& t : m_asStatus) t = std::string(look->mark) + " " + t;
    }
    m_lblStatus->setForeColor(text);
    m_lblStd->setForeColor(text);
    m_lblProg->setForeColor(text);
    CopyFont(font(), *m_lblStatus);
    Font bold = m_lblStatus->font();
    bold.bold = true;
    m_lblStatus->setFont(bold);
    FitCaption(*m_lblStatus, m_asStatus);
    m_lblStatus->setToolTipText(m_asStatus[1]);
    CopyFont(font(), *m_lblStd);
    CopyFont(font(), *m_lblProg);
}

void XStatusBar::CopyFont(const Font& source, Label& destination) {
    Font f = destination.font();
    f.name = source.name;
    f.size = source.size;
    f.bold = source.bold;
    f.italic = source.italic;
    f.underline = source.underline;
    destination.setFont(f);
}

void XStatusBar::setOwnFontBold(bool bold) {
    Font f = font();
    f.bold = bold;
    setFont(f);
}

void XStatusBar::FitCaption(Label& label, const std::array<std::string, 2>& texts) {
    setOwnFontBold(label.font().bold);
    const std::int32_t width = fontEngine().measure(font(), texts[1]).cx;
    setOwnFontBold(false);
    label.setCaption(label.Width() >= width ? texts[1] : texts[0]);
}

void XStatusBar::Redraw() {
    const std::int32_t w = ScaleWidth();
    const std::int32_t h = ScaleHeight();
    // Under a gradient that covers the whole surface the clearing would
    // never be seen, and it costs as much again as the gradient; it is
    // still done whenever part of the surface could show it.
    const bool covered = m_rcGradient.left <= 0 && m_rcGradient.top <= 0 && m_rcGradient.right >= w &&
                         m_rcGradient.bottom >= h;
    bool filled = false;
    if (!covered) resumeNext([&] { Cls(); });
    resumeNext([&] { filled = MGradient::GradientFillRect(hDC(), m_rcGradient, m_clrTop, m_clrBottom, 1); });
    if (covered && !filled) resumeNext([&] { Cls(); });
    if (m_fProgVisible) resumeNext([&] { m_pbDraw.DrawToDC(hWnd(), hDC(), 3, 2, w - 3, h / 2 - 1); });
    imageChanged();
}

void XStatusBar::onResize() {
    PictureBox::onResize();
    const std::int32_t w = ScaleWidth();
    const std::int32_t h = ScaleHeight();
    resumeNext([&] {
        m_shpBorder->Move(0, 0, w, h);
        m_shpBorder->ZOrder(1);
    });
    resumeNext([&] {
        m_rcGradient.right = w;
        m_rcGradient.bottom = h;
        Redraw();
    });
    const std::int32_t half = h / 2;
    // A bar too small for the labels leaves them where they are: it is the
    // bar's size while its host lays it out, not an error worth a report.
    const bool room = w >= 6 && half >= 3;
    resumeNext([&] {
        if (m_lblProg->Height() > half - 3) m_lblProg->Move(3, half, w, half);
        else if (room) m_lblProg->Move(3, half + 1, w - 6, half - 3);
    });
    if (room) {
        resumeNext([&] { m_lblStd->Move(3, 2, w - 6, half - 3); });
        resumeNext([&] { m_lblStatus->Move(3, half + 1, w - 6, half - 3); });
    }
    resumeNext([&] { FitCaption(*m_lblStd, m_asStd); });
    resumeNext([&] { FitCaption(*m_lblStatus, m_asStatus); });
}

// --- Progress --------------------------------------------------------------------

void XStatusBar::SetBarRange(std::int32_t start, std::int32_t stop) {
    ProgressAnimation::setBarRange(m_pbDraw, start, stop);
}

void XStatusBar::AnimationTick() {
    ProgressAnimation::advance(m_pbDraw);
    resumeNext([&] { Redraw(); });
}

bool XStatusBar::ProgressLink::Visible() const { return m_owner.m_fProgVisible; }

void XStatusBar::ProgressLink::setVisible(bool v) {
    if (v == m_owner.m_fProgVisible) return;
    m_owner.m_fProgVisible = v;
    // A hidden bar cannot animate: left running, the timer would repaint an
    // invisible bar every 150 ms and set it moving again, unasked, the next
    // time it is shown.
    if (!v) m_owner.m_tmrProgIndet->setTimerEnabled(false);
    m_owner.SetBarRange(0, 0);
    m_owner.UpdateVisibility();
    m_owner.Redraw();
}

bool XStatusBar::ProgressLink::Animate() const {
    return m_owner.m_fProgVisible && m_owner.m_tmrProgIndet->TimerEnabled();
}

void XStatusBar::ProgressLink::setAnimate(bool v) {
    if (m_owner.m_fProgVisible && v) {
        m_owner.SetBarRange(0, 0);
        m_owner.Redraw();
        m_owner.m_tmrProgIndet->setTimerEnabled(true);
    } else {
        m_owner.m_tmrProgIndet->setTimerEnabled(false);
    }
}

std::int16_t XStatusBar::ProgressLink::Value() const {
    if (m_owner.m_tmrProgIndet->TimerEnabled()) return 0;
    return ProgressAnimation::toInt16(m_owner.m_pbDraw.BarStop());
}

void XStatusBar::ProgressLink::setValue(std::int16_t v) {
    if (!m_owner.m_fProgVisible) return;
    m_owner.m_tmrProgIndet->setTimerEnabled(false);
    m_owner.SetBarRange(0, v);
    m_owner.Redraw();
}

}  // namespace tavixTGCL2
