#pragma once
// A picture with see-through parts. Wherever the mask picture has the mask
// colour, the control is not there: its parent (or a sibling below it)
// shows through, and mouse presses at such a point go to whatever is below.
// The tab strip's tabs, the content pane and the details pane use it for
// icons and small buttons.
//
// Which pixels belong to the control: with a mask picture, those inside the
// mask whose colour differs from MaskColor; without one, those inside
// Picture (the whole picture is opaque). Picture is drawn unscaled at the
// top left; a pixel that belongs to the control but lies outside Picture
// shows the control's back colour.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/PictureBox.h>
#include <tavixTGCL2/platform/PropertyBag.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

class TGCL_API XTransparentImage : public Control, public PaintsOnParent {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XTransparentImage";

    // Keys and defaults in the owner's property store.
    static constexpr const char* kKeyPicture = "Picture";
    static constexpr const char* kKeyMaskColor = "MaskColor";
    static constexpr const char* kKeyMaskPicture = "MaskPicture";
    static constexpr const char* kKeyMouseIcon = "MouseIcon";
    static constexpr const char* kKeyMousePointer = "MousePointer";
    static constexpr OleColor kDefaultMaskColor = 0;
    static constexpr std::int16_t kDefaultMousePointer = 0;

    explicit XTransparentImage(std::string name = {});
    static void registerClass();

    // Every setter stores the value, then raises PropertyChanged with the
    // property's store key.
    const PicturePtr& Picture() const { return m_picture; }
    void setPicture(PicturePtr picture);
    OleColor MaskColor() const { return m_maskColor; }
    void setMaskColor(OleColor color);
    const PicturePtr& MaskPicture() const { return m_maskPicture; }
    void setMaskPicture(PicturePtr picture);
    // The custom pointer a toolkit shows when MousePointer is 99.
    const PicturePtr& MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(PicturePtr picture);
    // A 16-bit pointer code exposed as 32 bits: a value outside -32768..32767
    // throws Error(errOverflow) and changes nothing.
    std::int32_t MousePointer() const { return m_mousePointer; }
    void setMousePointer(std::int32_t pointer);

    // Loading and saving the five properties, in their fixed order. Each
    // failing read, apply or write is skipped and the rest goes on; loading
    // raises no PropertyChanged. Pictures are kept as their text form
    // (PictureText.h). The overloads without a bag use propertyBag().
    void ReadProperties(const PropertyBag& bag);
    void ReadProperties() { ReadProperties(propertyBag()); }
    void WriteProperties(PropertyBag& bag) const;
    void WriteProperties() { WriteProperties(propertyBag()); }

    // Whether the control's pixel (x, y), counted from its top-left corner,
    // belongs to it.
    bool isOpaqueAt(std::int32_t x, std::int32_t y) const;
    // The control's image at its own pixel size; pixels that do not belong
    // to it are fully transparent (alpha 0), the others opaque.
    Surface render() const;
    // Draws the pixels that belong to the control, leaving the others as
    // the parent drew them.
    void paintOnParent(DC& dc, std::int32_t x, std::int32_t y) const override;

    // Input: a press, move or release on a see-through point is passed to
    // the control below it (a sibling under that point, or the parent), in
    // that control's own units; so is the click that follows such a press.
    // Failures of this control's event handlers stay here.
    void doClick() override;
    void doMouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;
    void doMouseMove(std::int16_t button, std::int16_t shift, float x, float y) override;
    void doMouseUp(std::int16_t button, std::int16_t shift, float x, float y) override;

private:
    enum class MouseAction { Down, Move, Up };
    std::int32_t pixelWidth() const;
    std::int32_t pixelHeight() const;
    bool belongs(std::int32_t x, std::int32_t y, ColorRef mask) const;
    void paintScaled(DC& dc, std::int32_t x, std::int32_t y) const;
    // The pixel under (x, y) given in this control's own units.
    bool opaqueAtUnits(float x, float y) const;
    // Hands a see-through event to the control below; returns it.
    Control* passBelow(MouseAction action, std::int16_t button, std::int16_t shift, float x, float y);

    PicturePtr m_picture;
    OleColor m_maskColor = kDefaultMaskColor;
    // The picture smoothly scaled to the device size it was last painted
    // at, kept so a repaint at the same size does not scale it again.
    mutable PicturePtr m_scaledFrom;
    mutable PicturePtr m_scaledMask;
    mutable OleColor m_scaledMaskColor = 0;
    mutable Surface m_scaled;
    PicturePtr m_maskPicture;
    PicturePtr m_mouseIcon;
    std::int16_t m_mousePointer = kDefaultMousePointer;
    // Where the last press went when it was not this control's, so that the
    // click completing it goes there too.
    std::weak_ptr<Control> m_pressedBelow;
    bool m_lastPressBelow = false;
};

}  // namespace tavixTGCL2
