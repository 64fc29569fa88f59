#include "progress/XTransparentImage.h"

#include <cmath>
#include <limits>

#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/PictureText.h"
#include "platform/Units.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XTransparentImage::registerClass(), true);

// Pictures live in the store as text; no picture is the empty value, which
// equals the default and so is not stored at all.
Variant pictureValue(const PicturePtr& picture) {
    std::string text = pictureToText(picture);
    return text.empty() ? Variant() : Variant(std::move(text));
}

PicturePtr pictureOf(const Variant& v) {
    if (v.isEmpty()) return nullptr;
    if (v.type() != Variant::Type::String) throw Error(errTypeMismatch, "a picture is stored as text");
    return pictureFromText(v.toString());
}

// OLE colours use all 32 bits; a store may give them back as a negative
// 32-bit number or as a larger floating value.
OleColor colorOf(const Variant& v) {
    const double d = v.toDouble();
    if (!(d >= std::numeric_limits<std::int32_t>::min() && d <= std::numeric_limits<std::uint32_t>::max()) ||
        d != std::floor(d))
        throw Error(errOverflow, "Overflow: MaskColor");
    return static_cast<OleColor>(static_cast<std::int64_t>(d));
}

std::int16_t pointerOf(std::int64_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
        throw Error(errOverflow, "Overflow: MousePointer");
    return static_cast<std::int16_t>(v);
}

// A coordinate in a control's own units, as twips.
double toTwips(double v, ScaleMode m) { return m == ScaleMode::Pixels ? v * Screen::TwipsPerPixelX() : v; }
double fromTwips(double v, ScaleMode m) { return m == ScaleMode::Pixels ? v / Screen::TwipsPerPixelX() : v; }

}  // namespace

XTransparentImage::XTransparentImage(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
}

void XTransparentImage::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XTransparentImage>(); });
}

// --- Properties ----------------------------------------------------------------

void XTransparentImage::setPicture(PicturePtr picture) {
    m_picture = std::move(picture);
    changed(Change::Picture);
    PropertyChanged(kKeyPicture);
}

void XTransparentImage::setMaskColor(OleColor color) {
    m_maskColor = color;
    changed(Change::MaskColor);
    PropertyChanged(kKeyMaskColor);
}

void XTransparentImage::setMaskPicture(PicturePtr picture) {
    m_maskPicture = std::move(picture);
    changed(Change::MaskPicture);
    PropertyChanged(kKeyMaskPicture);
}

void XTransparentImage::setMouseIcon(PicturePtr picture) {
    m_mouseIcon = std::move(picture);
    changed(Change::MouseIcon);
    PropertyChanged(kKeyMouseIcon);
}

void XTransparentImage::setMousePointer(std::int32_t pointer) {
    m_mousePointer = pointerOf(pointer);
    changed(Change::MousePointer);
    PropertyChanged(kKeyMousePointer);
}

// --- Persistence -----------------------------------------------------------------

void XTransparentImage::ReadProperties(const PropertyBag& bag) {
    resumeNext([&] { m_picture = pictureOf(bag.ReadProperty(kKeyPicture, Variant())); });
    resumeNext([&] { m_maskColor = colorOf(bag.ReadProperty(kKeyMaskColor, Variant(std::int32_t{kDefaultMaskColor}))); });
    resumeNext([&] { m_maskPicture = pictureOf(bag.ReadProperty(kKeyMaskPicture, Variant())); });
    resumeNext([&] { m_mouseIcon = pictureOf(bag.ReadProperty(kKeyMouseIcon, Variant())); });
    resumeNext([&] {
        const Variant v = bag.ReadProperty(kKeyMousePointer, Variant(kDefaultMousePointer));
        m_mousePointer = pointerOf(static_cast<std::int64_t>(v.toInt32()));
    });
    changed(Change::Picture);
}

void XTransparentImage::WriteProperties(PropertyBag& bag) const {
    resumeNext([&] { bag.WriteProperty(kKeyPicture, pictureValue(m_picture), Variant()); });
    resumeNext([&] {
        bag.WriteProperty(kKeyMaskColor, Variant(static_cast<std::int32_t>(m_maskColor)),
                          Variant(static_cast<std::int32_t>(kDefaultMaskColor)));
    });
    resumeNext([&] { bag.WriteProperty(kKeyMaskPicture, pictureValue(m_maskPicture), Variant()); });
    resumeNext([&] { bag.WriteProperty(kKeyMouseIcon, pictureValue(m_mouseIcon), Variant()); });
    resumeNext([&] { bag.WriteProperty(kKeyMousePointer, Variant(m_mousePointer), Variant(kDefaultMousePointer)); });
}

// --- Drawing and hit-testing --------------------------------------------------------

std::int32_t XTransparentImage::pixelWidth() const { return Screen::toPixels(widthTwips()); }
std::int32_t XTransparentImage::pixelHeight() const { return Screen::toPixels(heightTwips()); }

bool XTransparentImage::isOpaqueAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return false;
    return belongs(x, y, OleTranslateColor(m_maskColor));
}

bool XTransparentImage::belongs(std::int32_t x, std::int32_t y, ColorRef mask) const {
    if (m_maskPicture) {
        const Surface& pixels = m_maskPicture->pixels();
        // A colour that cannot be translated (CLR_INVALID) matches no pixel.
        return pixels.bounds().contains(x, y) && pixels.colorAt(x, y) != mask;
    }
    return m_picture && m_picture->pixels().bounds().contains(x, y);
}

void XTransparentImage::paintOnParent(DC& dc, std::int32_t x, std::int32_t y) const {
    Surface* target = dc.surface();
    if (!target) return;
    if (dc.deviceScale() != 1.0) {
        paintScaled(dc, x, y);
        return;
    }
    const Rect visible = Rect{x, y, saturate32(std::int64_t{x} + pixelWidth()), saturate32(std::int64_t{y} + pixelHeight())}
                             .intersected(dc.clipBox());
    if (visible.isEmpty()) return;
    const Pixel back = pixelFromColorRef(OleTranslateColor(BackColor()));
    const Surface* picture = m_picture ? &m_picture->pixels() : nullptr;
    const ColorRef mask = OleTranslateColor(m_maskColor);
    for (std::int32_t row = visible.top; row < visible.bottom; ++row) {
        Pixel* out = target->row(row);
        const std::int32_t py = row - y;
        for (std::int32_t col = visible.left; col < visible.right; ++col) {
            const std::int32_t px = col - x;
            if (!belongs(px, py, mask)) continue;
            out[col] = (picture && picture->bounds().contains(px, py)) ? (picture->row(py)[px] | 0xFF000000u) : back;
        }
    }
}

// Each device pixel takes its shape from the logical pixel under it (the
// mask stays a crisp outline) and its colour from the picture smoothly
// scaled to the device size.
void XTransparentImage::paintScaled(DC& dc, std::int32_t x, std::int32_t y) const {
    Surface* target = dc.surface();
    const Rect logical{x, y, saturate32(std::int64_t{x} + pixelWidth()), saturate32(std::int64_t{y} + pixelHeight())};
    const Rect area = dc.toDevice(logical);
    const Rect visible = area.intersected(dc.toDevice(dc.clipBox())).intersected(target->bounds());
    if (visible.isEmpty()) return;
    const Pixel back = pixelFromColorRef(OleTranslateColor(BackColor()));
    const Surface* picture = nullptr;
    if (m_picture && !m_picture->pixels().isEmpty()) {
        const Rect size = dc.toDevice({0, 0, m_picture->width(), m_picture->height()});
        if (m_scaledFrom != m_picture || m_scaledMask != m_maskPicture || m_scaledMaskColor != m_maskColor ||
            m_scaled.width() != size.right || m_scaled.height() != size.bottom) {
            // Pixels outside the shape are made see-through first, so the
            // mask colour does not bleed into the rim of the scaled picture.
            Surface shaped = m_picture->pixels();
            const ColorRef maskRef = OleTranslateColor(m_maskColor);
            for (std::int32_t py = 0; py < shaped.height(); ++py)
                for (std::int32_t px = 0; px < shaped.width(); ++px)
                    if (!belongs(px, py, maskRef)) shaped.row(py)[px] &= 0x00FFFFFFu;
            m_scaled = scaledSmooth(shaped, size.right, size.bottom);
            m_scaledFrom = m_picture;
            m_scaledMask = m_maskPicture;
            m_scaledMaskColor = m_maskColor;
        }
        picture = &m_scaled;
    }
    const ColorRef mask = OleTranslateColor(m_maskColor);
    const double scale = dc.deviceScale();
    for (std::int32_t row = visible.top; row < visible.bottom; ++row) {
        Pixel* out = target->row(row);
        const std::int32_t dy = row - area.top;
        const auto py = static_cast<std::int32_t>((dy + 0.5) / scale);
        for (std::int32_t col = visible.left; col < visible.right; ++col) {
            const std::int32_t dx = col - area.left;
            if (!belongs(static_cast<std::int32_t>((dx + 0.5) / scale), py, mask)) continue;
            out[col] = (picture && picture->bounds().contains(dx, dy)) ? (picture->row(dy)[dx] | 0xFF000000u) : back;
        }
    }
}

Surface XTransparentImage::render() const {
    Surface image(pixelWidth(), pixelHeight(), 0x00000000u);
    if (image.isEmpty()) return image;
    DC dc(&image);
    paintOnParent(dc, 0, 0);
    return image;
}

bool XTransparentImage::opaqueAtUnits(float x, float y) const {
    const double px = fromTwips(toTwips(x, scaleMode()), ScaleMode::Pixels);
    const double py = fromTwips(toTwips(y, scaleMode()), ScaleMode::Pixels);
    if (!(px >= 0 && py >= 0 && px < pixelWidth() && py < pixelHeight())) return false;
    return isOpaqueAt(static_cast<std::int32_t>(std::floor(px)), static_cast<std::int32_t>(std::floor(py)));
}

Control* XTransparentImage::passBelow(MouseAction action, std::int16_t button, std::int16_t shift, float x, float y) {
    Control* parent = Parent();
    if (!parent) return nullptr;
    // The point in the parent's client area, in twips.
    const double tx = leftTwips() + toTwips(x, scaleMode());
    const double ty = topTwips() + toTwips(y, scaleMode());

    Control* receiver = parent;
    double rx = fromTwips(tx, parent->scaleMode());
    double ry = fromTwips(ty, parent->scaleMode());
    const auto& siblings = parent->Children();
    const std::int32_t self = zIndex();
    for (std::int32_t i = self - 1; i >= 0; --i) {
        Control& c = *siblings[static_cast<std::size_t>(i)];
        if (!c.Visible() || !c.Enabled()) continue;
        if (tx < c.leftTwips() || ty < c.topTwips() || tx >= double(c.leftTwips()) + c.widthTwips() ||
            ty >= double(c.topTwips()) + c.heightTwips())
            continue;
        const double border = Screen::toTwips(c.borderPixels());
        receiver = &c;
        rx = fromTwips(tx - c.leftTwips() - border, c.scaleMode());
        ry = fromTwips(ty - c.topTwips() - border, c.scaleMode());
        break;
    }
    const float fx = static_cast<float>(rx);
    const float fy = static_cast<float>(ry);
    switch (action) {
        case MouseAction::Down: receiver->doMouseDown(button, shift, fx, fy); break;
        case MouseAction::Move: receiver->doMouseMove(button, shift, fx, fy); break;
        case MouseAction::Up: receiver->doMouseUp(button, shift, fx, fy); break;
    }
    return receiver;
}

void XTransparentImage::doMouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    m_lastPressBelow = !opaqueAtUnits(x, y);
    m_pressedBelow.reset();
    if (m_lastPressBelow) {
        if (Control* below = passBelow(MouseAction::Down, button, shift, x, y)) m_pressedBelow = below->weak_from_this();
        return;
    }
    resumeNext([&] { Control::doMouseDown(button, shift, x, y); });
}

void XTransparentImage::doMouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    if (!opaqueAtUnits(x, y)) {
        passBelow(MouseAction::Move, button, shift, x, y);
        return;
    }
    resumeNext([&] { Control::doMouseMove(button, shift, x, y); });
}

void XTransparentImage::doMouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    if (m_lastPressBelow) {
        passBelow(MouseAction::Up, button, shift, x, y);
        return;
    }
    resumeNext([&] { Control::doMouseUp(button, shift, x, y); });
}

void XTransparentImage::doClick() {
    if (m_lastPressBelow) {
        m_lastPressBelow = false;
        if (auto below = m_pressedBelow.lock()) below->doClick();
        m_pressedBelow.reset();
        return;
    }
    resumeNext([&] { Control::doClick(); });
}

}  // namespace tavixTGCL2
