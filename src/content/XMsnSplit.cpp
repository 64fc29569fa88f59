#include "content/XMsnSplit.h"

#include "content/Twips.h"
#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/FontEngine.h"
#include "platform/KeyCodes.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "resources/TextBitmap.h"

namespace tavixTGCL2 {

namespace {
constexpr std::int32_t kButtonUp = 101;
constexpr std::int32_t kButtonDown = 102;
}  // namespace

XMsnSplit::XMsnSplit(std::string name) : Control("tavixTGCL2.XMsnSplit", std::move(name)) {
    MMain::ensureStarted();
    setBackColor(kBackColor);
    setCanGetFocus(true);
    resumeNext([&] { m_mouseIcon = Resources::loadPicture("cursor_hand.txt"); });

    imgSplitButton = create<PictureBox>("imgSplitButton");
    imgSplitButton->setBackColor(kBackColor);
    imgSplitButton->moveTwips(kButtonLeft, 0, Screen::toTwips(15), Screen::toTwips(15));

    lblCaption = create<Label>("lblCaption");
    lblCaption->setBackStyleTransparent(true);
    lblCaption->setForeColor(0xFFFFFF);
    Font f = lblCaption->font();
    f.bold = true;
    lblCaption->setFont(f);
    lblCaption->setCaption("(rt)");
    sizeCaptionToText();

    moveTwips(0, 0, 6000, kDesignHeight);
    UpdateButtonImage(m_eState);

    for (Control* part : {static_cast<Control*>(imgSplitButton.get()), static_cast<Control*>(lblCaption.get())}) {
        part->Click.connect([this] { clicked(); });
        part->MouseDown.connect([this](std::int16_t b, std::int16_t s, float x, float y) { MouseDown(b, s, x, y); });
        part->MouseMove.connect([this](std::int16_t b, std::int16_t s, float x, float y) { MouseMove(b, s, x, y); });
    }
}

XMsnSplit::~XMsnSplit() = default;

void XMsnSplit::UpdateButtonImage(std::int32_t e) {
    std::int32_t number = 0;
    if (e == 0 || e == 3) number = kButtonUp;
    else if (e == 1 || e == 2) number = kButtonDown;
    else return;
    resumeNext([&] {
        imgSplitButton->setPicture(Resources::LoadResPicture(number));
        m_buttonPicture = number;
    });
}

void XMsnSplit::setState(std::int32_t e) {
    if (e == m_eState) return;
    m_eState = e;
    UpdateButtonImage(e);
    PropertyChanged("State");
}

std::string XMsnSplit::Caption() const { return lblCaption->Caption(); }

void XMsnSplit::setCaption(std::string s) {
    lblCaption->setCaption(std::move(s));
    sizeCaptionToText();
    PropertyChanged("Caption");
}

// The label sizes itself to its text, as an auto-sized label does, so that
// the layout can centre it.
void XMsnSplit::sizeCaptionToText() {
    resumeNext([&] {
        Size ext = fontEngine().measure(lblCaption->font(), lblCaption->Caption());
        lblCaption->moveTwips(lblCaption->leftTwips(), lblCaption->topTwips(), Screen::toTwips(ext.cx),
                              Screen::toTwips(ext.cy));
    });
    onResize();
}

void XMsnSplit::clicked() {
    if (m_eState == 0) m_eState = 1;
    else if (m_eState >= 1 && m_eState <= 3) m_eState = 0;
    UpdateButtonImage(m_eState);
    resumeNext([&] { Click(); });
}

void XMsnSplit::doClick() {
    if (Enabled()) clicked();
}

bool XMsnSplit::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (keyCode != vbKeySpace || (shift & (vbCtrlMask | vbAltMask))) return false;
    clicked();
    return true;
}

void XMsnSplit::onResize() {
    const double h = ScaleHeight();
    resumeNext([&] { imgSplitButton->Move(kButtonLeft, roundTwips((h - imgSplitButton->Height()) / 2)); });
    resumeNext([&] { lblCaption->Move(kCaptionLeft, roundTwips((h - lblCaption->Height()) / 2)); });
}

void XMsnSplit::ReadProperties() {
    const PropertyBag& bag = propertyBag();
    resumeNext([&] {
        m_eState = bag.ReadProperty("State", 0).toInt32();
        UpdateButtonImage(m_eState);
    });
    resumeNext([&] {
        lblCaption->setCaption(bag.ReadProperty("Caption", std::string()).toString());
        sizeCaptionToText();
    });
}

void XMsnSplit::WriteProperties() {
    PropertyBag& bag = propertyBag();
    resumeNext([&] { bag.WriteProperty("State", m_eState, 0); });
    resumeNext([&] { bag.WriteProperty("Caption", lblCaption->Caption(), std::string()); });
}

}  // namespace tavixTGCL2
