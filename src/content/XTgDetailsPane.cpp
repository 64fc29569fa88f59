#include "content/XTgDetailsPane.h"

#include "content/Twips.h"
#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"
#include "progress/XTransparentImage.h"
#include "resources/TextBitmap.h"

namespace tavixTGCL2 {

namespace {
[[maybe_unused]] const bool kRegistered = (XTgDetailsPane::registerClass(), true);
}  // namespace

void XTgDetailsPane::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XTgDetailsPane>(); });
}

XTgDetailsPane::XTgDetailsPane(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(kDesignBackColor);
    shpFrame = create<Shape>("shpFrame");
    shpFrame->setFillSolid(true);
    shpFrame->setFillColor(kDesignBackColor);
    shpFrame->setBorderColor(kFrameBorderColor);
    shpFrame->setBorderPixels(1);
    xtiFlip = create<XTransparentImage>("xtiFlip");
    xtiFlip->moveTwips(0, 0, Screen::toTwips(8), Screen::toTwips(33));
    xtiFlip->Click.connect([this] { toggle(); });
    moveTwips(0, 0, roundTwips(kDefaultExpandWidth), 3000);
    applyOrientation(edpoOrientRightTop);
}

XTgDetailsPane::~XTgDetailsPane() = default;

OleColor XTgDetailsPane::BackColor() const { return shpFrame->FillColor(); }

void XTgDetailsPane::setBackColor(OleColor c) {
    shpFrame->setFillColor(c);
    PropertyChanged("BackColor");
}

// The border is counted in pixels of the screen's horizontal resolution, in
// both directions.
float XTgDetailsPane::ClientLeft() const {
    return static_cast<float>(shpFrame->Left() + shpFrame->borderPixels() * Screen::TwipsPerPixelX());
}
float XTgDetailsPane::ClientTop() const {
    return static_cast<float>(shpFrame->Top() + shpFrame->borderPixels() * Screen::TwipsPerPixelX());
}
float XTgDetailsPane::ClientWidth() const {
    return static_cast<float>(shpFrame->Width() - 2 * shpFrame->borderPixels() * Screen::TwipsPerPixelX());
}
float XTgDetailsPane::ClientHeight() const {
    return static_cast<float>(shpFrame->Height() - 2 * shpFrame->borderPixels() * Screen::TwipsPerPixelX());
}

bool XTgDetailsPane::Expanded() const { return shpFrame->Visible(); }

void XTgDetailsPane::setExpanded(bool f) {
    if (f == Expanded()) return;
    toggle();
    PropertyChanged("Expanded");
}

void XTgDetailsPane::setOrientation(std::int32_t o) {
    if (o == m_orientation) return;
    applyOrientation(o);
    PropertyChanged("Orientation");
}

void XTgDetailsPane::onResize() { layout(); }

// The pass itself; Resize follows it, raised by the resize that ran it or
// by the caller.
void XTgDetailsPane::layout() {
    if (!Expanded()) resumeNext([&] { moveTwips(leftTwips(), topTwips(), xtiFlip->widthTwips(), heightTwips()); });
    const std::int32_t H = ScaleHeight();
    const std::int32_t tabW = xtiFlip->Width();
    const std::int32_t tabH = xtiFlip->Height();
    const std::int32_t w = ScaleWidth() - tabW;
    switch (m_orientation) {
        case edpoOrientRightBottom:
            resumeNext([&] { xtiFlip->Move(w, H - tabH); });
            resumeNext([&] { shpFrame->Move(0, 0, w, H); });
            break;
        case edpoOrientLeftTop:
            resumeNext([&] { xtiFlip->Move(0, 0); });
            resumeNext([&] { shpFrame->Move(tabW, 0, w, shpFrame->Height()); });
            break;
        case edpoOrientLeftBottom:
            resumeNext([&] { xtiFlip->Move(0, H - tabH); });
            resumeNext([&] { shpFrame->Move(tabW, 0, w, shpFrame->Height()); });
            break;
        default:
            resumeNext([&] { xtiFlip->Move(w, 0); });
            resumeNext([&] { shpFrame->Move(0, 0, w, H); });
            break;
    }
}

void XTgDetailsPane::toggle() {
    if (m_inToggle) return;
    m_inToggle = true;
    stopOnError([&] {
        if (Expanded()) {
            shpFrame->setVisible(false);
            const std::int32_t t = xtiFlip->Width();
            m_expandWidth = static_cast<float>(Width());
            PropertyChanged("ExpandWidth");
            if (leftOriented()) setWidth(t);
            else Move(roundTwips(Left() + m_expandWidth - t), Top(), t, Height());
        } else {
            shpFrame->setVisible(true);
            const float w = m_expandWidth;
            if (leftOriented()) setWidth(roundTwips(w));
            else Move(roundTwips(Left() - w + xtiFlip->Width()), Top(), roundTwips(w), Height());
        }
        ExpandCollapse();
    });
    m_inToggle = false;
}

void XTgDetailsPane::applyOrientation(std::int32_t o) {
    m_orientation = o;
    const std::int32_t number = leftOriented() ? 103 : 104;
    resumeNext([&] {
        PicturePtr p = Resources::LoadResPicture(number);
        xtiFlip->setPicture(p);
        xtiFlip->setMaskPicture(p);
        m_flipPicture = number;
    });
    resumeNext([&] { xtiFlip->setMaskColor(kFlipMaskColor); });
    layout();
    resumeNext([&] { Resize(); });
}

void XTgDetailsPane::ReadProperties() {
    const PropertyBag& bag = propertyBag();
    resumeNext([&] {
        shpFrame->setFillColor(static_cast<OleColor>(
            bag.ReadProperty("BackColor", static_cast<std::int32_t>(Control::BackColor())).toInt32()));
    });
    std::int32_t orientation = edpoOrientRightTop;
    bool expanded = true;
    float expandWidth = kDefaultExpandWidth;
    resumeNext([&] { orientation = bag.ReadProperty("Orientation", 0).toInt32(); });
    resumeNext([&] { expanded = bag.ReadProperty("Expanded", true).toBool(); });
    resumeNext([&] { expandWidth = static_cast<float>(bag.ReadProperty("ExpandWidth", kDefaultExpandWidth).toDouble()); });
    m_expandWidth = expandWidth;
    applyOrientation(orientation);
    if (expanded != Expanded()) {
        toggle();
        // Collapsing stored the current width; the stored one is what counts.
        m_expandWidth = expandWidth;
    }
}

void XTgDetailsPane::WriteProperties() {
    PropertyBag& bag = propertyBag();
    resumeNext([&] {
        bag.WriteProperty("BackColor", static_cast<std::int32_t>(BackColor()),
                          static_cast<std::int32_t>(Control::BackColor()));
    });
    resumeNext([&] { bag.WriteProperty("Expanded", Expanded(), true); });
    resumeNext([&] { bag.WriteProperty("ExpandWidth", m_expandWidth, kDefaultExpandWidth); });
    resumeNext([&] { bag.WriteProperty("Orientation", m_orientation, 0); });
}

}  // namespace tavixTGCL2
