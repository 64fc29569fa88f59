#pragma once
// Conversions between the controls' vocabulary and Qt's: colours, fonts,
// twips and pixels, images, mouse buttons and key codes. Header-only so
// that every part of the backend converts the same way.
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QKeySequence>
#include <QMouseEvent>
#include <QRect>
#include <QString>

#include <cmath>
#include <cstdint>
#include <string>

#include "platform/Colors.h"
#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/FontEngine.h"
#include "platform/ImageManager.h"
#include "platform/Picture.h"
#include "platform/Surface.h"
#include "platform/Units.h"

namespace tavixTGCL2::qt {

inline QString toQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string toStdString(const QString& s) { return s.toUtf8().toStdString(); }

inline QColor toQColor(ColorRef c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
// An OLE colour (system colours through the current table); an index
// without a colour gives an invalid QColor, which callers treat as "leave
// the palette alone".
inline QColor oleToQColor(OleColor c) {
    ColorRef ref = OleTranslateColor(c);
    return ref == CLR_INVALID ? QColor() : toQColor(ref);
}

// The screen's dots per inch as the twips setting implies it: 15 twips to a
// pixel is 96 dpi. Point sizes go through it so that text measured by the
// controls and text drawn by Qt agree.
inline double screenDpi() { return 1440.0 / Screen::TwipsPerPixelX(); }

inline QFont toQFont(const Font& f) {
    QFont q(toQString(f.name));
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(f.size * screenDpi() / 72.0))));
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    return q;
}

// A control's rectangle inside its parent's peer, in pixels: twips
// converted edge by edge, offset by the parent's border, as the
// compositor places children.
inline QRect pixelGeometry(const Control& c) {
    const Control* p = c.Parent();
    const int border = p ? p->borderPixels() : 0;
    const int l = Screen::toPixels(c.leftTwips());
    const int t = Screen::toPixels(c.topTwips());
    return {border + l, border + t, Screen::toPixels(c.widthTwips()), Screen::toPixels(c.heightTwips())};
}

// A point of a control's peer (pixels from its outer top-left) in the
// control's own scale units, as its mouse events report positions.
inline float toControlUnits(const Control& c, double px) {
    const double inner = px - c.borderPixels();
    return static_cast<float>(c.scaleMode() == ScaleMode::Twips ? inner * Screen::TwipsPerPixelX() : inner);
}

// The surface's pixels as an image without copying; valid while the surface
// keeps its size.
inline QImage wrapSurface(Surface& s) {
    if (s.isEmpty()) return {};
    return QImage(reinterpret_cast<uchar*>(s.data()), s.width(), s.height(), s.width() * 4, QImage::Format_RGB32);
}
inline QImage wrapSurface(const Surface& s) {
    if (s.isEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(s.data()), s.width(), s.height(), s.width() * 4,
                  QImage::Format_RGB32);
}
// A surface whose pixels carry alpha (0x00...... see-through), copied.
inline QImage alphaImage(const Surface& s) {
    if (s.isEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(s.data()), s.width(), s.height(), s.width() * 4,
                  QImage::Format_ARGB32)
        .copy();
}
// A picture as a QIcon: its logical pixels, and its device drawing where it
// has one, so Qt picks that at the ratio it was drawn for instead of
// enlarging the small one.
inline QIcon qIconOf(const PicturePtr& pic) {
    if (!pic) return {};
    QIcon icon(QPixmap::fromImage(alphaImage(pic->pixels())));
    if (!pic->devicePixels().isEmpty()) {
        QPixmap device = QPixmap::fromImage(alphaImage(pic->devicePixels()));
        device.setDevicePixelRatio(pic->deviceRatio());
        icon.addPixmap(device);
    }
    return icon;
}
inline QImage iconImage(const Icon& icon) {
    QImage img(icon.width, icon.height, QImage::Format_ARGB32);
    for (int y = 0; y < icon.height; ++y)
        std::copy_n(icon.pixels.data() + static_cast<std::size_t>(y) * icon.width, icon.width,
                    reinterpret_cast<std::uint32_t*>(img.scanLine(y)));
    return img;
}

inline std::int16_t toMouseButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return vbLeftButton;
        case Qt::RightButton: return vbRightButton;
        case Qt::MiddleButton: return vbMiddleButton;
        default: return 0;
    }
}
inline std::int16_t toMouseButtons(Qt::MouseButtons b) {
    std::int16_t r = 0;
    if (b & Qt::LeftButton) r |= vbLeftButton;
    if (b & Qt::RightButton) r |= vbRightButton;
    if (b & Qt::MiddleButton) r |= vbMiddleButton;
    return r;
}
inline std::int16_t toShiftMask(Qt::KeyboardModifiers m) {
    std::int16_t r = 0;
    if (m & Qt::ShiftModifier) r |= vbShiftMask;
    if (m & Qt::ControlModifier) r |= vbCtrlMask;
    if (m & Qt::AltModifier) r |= vbAltMask;
    return r;
}

// Virtual-key codes (as key bindings and KeyDown carry them) to Qt keys and
// back; 0 / Qt::Key_unknown for keys without a counterpart.
Qt::Key qtKeyFromVirtualKey(std::int32_t vk);
std::int32_t virtualKeyFromQtKey(int key);
// The key sequence of a binding with KeyBindingModifier bits.
QKeySequence keySequenceFor(std::int32_t vk, std::int32_t fVirt);

}  // namespace tavixTGCL2::qt
