#include "content/XTab.h"

#include <algorithm>
#include <cmath>

#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/PictureText.h"
#include "progress/XTransparentImage.h"
#include "resources/TextBitmap.h"

namespace tavixTGCL2 {

namespace {
constexpr ColorRef kBodyWhite = RGB(255, 255, 255);
}

XTab::XTab(std::string name) : Control("tavixTGCL2.XTab", std::move(name)), m_dc(&m_surface) {
    MMain::ensureStarted();
    m_surface.reset(Screen::toPixels(kWidth), Screen::toPixels(kHeight));
    resumeNext([&] { ilstTab["active"] = Resources::loadPicture("tab_active.txt"); });
    resumeNext([&] { ilstTab["inactive"] = Resources::loadPicture("tab_inactive.txt"); });
    xtiPicture = create<XTransparentImage>("xtiPicture");
    xtiPicture->Move(0, 0, 495, 735);
    xtiPicture->setMaskColor(kDefaultMaskColor);
    moveTwips(0, 0, kWidth, kHeight);
    showBackground("inactive");

    // The icon is part of the tab: its presses are the tab's, at the tab's
    // coordinates.
    xtiPicture->Click.connect([this] { Click(); });
    xtiPicture->MouseDown.connect([this](std::int16_t b, std::int16_t s, float x, float y) {
        MouseDown(b, s, x + static_cast<float>(xtiPicture->Left()), y + static_cast<float>(xtiPicture->Top()));
    });
}

XTab::~XTab() = default;

void XTab::onResize() {
    if (widthTwips() != kWidth || heightTwips() != kHeight)
        resumeNext([&] { moveTwips(leftTwips(), topTwips(), kWidth, kHeight); });
}

PicturePtr XTab::background(const std::string& key) const {
    auto it = ilstTab.find(key);
    return it == ilstTab.end() ? nullptr : it->second;
}

// At a device pixel ratio other than 1 the background is enlarged pixel by
// nearest pixel rather than smoothly: it is pixel art with hard edges, and
// the selection fill finds the body by its exact white, which a blend at
// the rim would leave behind as a light seam.
void XTab::showBackground(const std::string& key) {
    PicturePtr p = background(key);
    if (!p) return;
    const double scale = Screen::devicePixelRatio();
    if (scale == 1.0) {
        m_surface = p->pixels();
    } else {
        const Surface& from = p->pixels();
        const std::int32_t w = Screen::toDevice(from.width(), scale);
        const std::int32_t h = Screen::toDevice(from.height(), scale);
        m_surface.reset(w, h);
        for (std::int32_t y = 0; y < m_surface.height(); ++y) {
            const Pixel* src = from.row(std::min(from.height() - 1, static_cast<std::int32_t>((y + 0.5) / scale)));
            Pixel* dst = m_surface.row(y);
            for (std::int32_t x = 0; x < m_surface.width(); ++x)
                dst[x] = src[std::min(from.width() - 1, static_cast<std::int32_t>((x + 0.5) / scale))];
        }
    }
    m_dc.setDeviceScale(scale);
    m_dc.selectSurface(&m_surface);
    changed(Change::Picture);
}

void XTab::deviceScaleChanged() {
    if (m_dc.deviceScale() == Screen::devicePixelRatio()) return;
    if (m_fSelected) fillBody();
    else showBackground("inactive");
}

// The body is the connected white area around the centre pixel of a fresh
// "active" background. The fill starts from a fresh background every time:
// on a body already filled there is no white left to fill, and a change of
// colour would not show.
void XTab::fillBody() {
    showBackground("active");
    tavixTGCL2::Selected<Brush> brush(m_dc, Brush::fromOleColor(m_lSelColor));
    const double ppx = Screen::TwipsPerPixelX(), ppy = Screen::TwipsPerPixelY();
    auto x = static_cast<std::int32_t>(std::nearbyint(ScaleWidth() / 2.0 / ppx));
    auto y = static_cast<std::int32_t>(std::nearbyint(ScaleHeight() / 2.0 / ppy));
    m_dc.extFloodFill(x, y, kBodyWhite, FLOODFILLSURFACE);
    changed(Change::Picture);
}

void XTab::showIcon(const PicturePtr& p) {
    resumeNext([&] { xtiPicture->setPicture(p); });
    resumeNext([&] { xtiPicture->setMaskPicture(p); });
}

void XTab::setSelected(bool f) {
    if (f == m_fSelected) return;
    m_fSelected = f;
    WindowUpdateLock freeze(this);
    if (f) {
        fillBody();
        if (m_picSel) showIcon(m_picSel);
    } else {
        showBackground("inactive");
        showIcon(m_pic);
    }
}

void XTab::applyPicture(PicturePtr p) {
    m_pic = std::move(p);
    if (!m_fSelected) showIcon(m_pic);
}

void XTab::setPicture(PicturePtr p) {
    applyPicture(std::move(p));
    PropertyChanged("Picture");
}

void XTab::applySelPicture(PicturePtr p) {
    m_picSel = std::move(p);
    if (m_fSelected && m_picSel) showIcon(m_picSel);
}

void XTab::setSelPicture(PicturePtr p) {
    applySelPicture(std::move(p));
    PropertyChanged("SelectedPicture");
}

OleColor XTab::MaskColor() const { return xtiPicture->MaskColor(); }

void XTab::setMaskColor(OleColor c) {
    xtiPicture->setMaskColor(c);
    PropertyChanged("MaskColor");
}

void XTab::applySelColor(OleColor c) {
    m_lSelColor = c;
    if (m_fSelected) fillBody();
}

void XTab::setSelColor(OleColor c) {
    applySelColor(c);
    PropertyChanged("SelColor");
}

void XTab::setToolTipText(std::string s) {
    Control::setToolTipText(s);
    xtiPicture->setToolTipText(std::move(s));
    PropertyChanged("ToolTipText");
}

const MemberTable<XTab>& XTab::members() {
    using M = MemberTable<XTab>;
    // The tip is shown on the icon as well, and the change is stored.
    static const M table(MemberTables::of<Control>(),
                         {M::property("ToolTipText", &Control::ToolTipText, &XTab::setToolTipText)});
    return table;
}

void XTab::setProperty(const std::string& member, const Variant& value) { members().setProperty(*this, member, value); }

void XTab::ReadProperties() {
    PropertyBag& bag = propertyBag();
    resumeNext([&] { applyPicture(pictureFromText(bag.ReadProperty("Picture", std::string()).toString())); });
    resumeNext([&] { applySelPicture(pictureFromText(bag.ReadProperty("SelectedPicture", std::string()).toString())); });
    resumeNext([&] {
        xtiPicture->setMaskColor(static_cast<OleColor>(
            bag.ReadProperty("MaskColor", static_cast<std::int32_t>(kDefaultMaskColor)).toInt32()));
    });
    resumeNext([&] {
        applySelColor(static_cast<OleColor>(
            bag.ReadProperty("SelColor", static_cast<std::int32_t>(kDefaultSelColor)).toInt32()));
    });
    resumeNext([&] {
        std::string tip = bag.ReadProperty("ToolTipText", std::string()).toString();
        Control::setToolTipText(tip);
        xtiPicture->setToolTipText(tip);
    });
}

void XTab::WriteProperties() {
    PropertyBag& bag = propertyBag();
    resumeNext([&] { bag.WriteProperty("Picture", pictureToText(m_pic), std::string()); });
    resumeNext([&] { bag.WriteProperty("SelectedPicture", pictureToText(m_picSel), std::string()); });
    resumeNext([&] {
        bag.WriteProperty("MaskColor", static_cast<std::int32_t>(MaskColor()),
                          static_cast<std::int32_t>(kDefaultMaskColor));
    });
    resumeNext([&] {
        bag.WriteProperty("SelColor", static_cast<std::int32_t>(m_lSelColor),
                          static_cast<std::int32_t>(kDefaultSelColor));
    });
    resumeNext([&] { bag.WriteProperty("ToolTipText", ToolTipText(), std::string()); });
}

}  // namespace tavixTGCL2
