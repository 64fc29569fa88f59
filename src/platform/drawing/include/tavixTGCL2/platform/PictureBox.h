#pragma once
// A picture box: a control that owns a drawing surface of its inner pixel
// size, with a window handle and a device context for the code that paints
// into it (the status bar, the progress control, a toolbar's status window).
// What is drawn stays in the surface; a toolkit backend shows render(), and
// a host without one can take snapshot(), which lays the simple children
// (labels, shapes, nested picture boxes, self-painting controls) over it.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Rect.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

// A control that draws itself onto its parent's image when a snapshot is
// composed (an image with see-through parts, say). (x, y) is where the
// control's top-left pixel lands in dc; the context is already clipped to
// the control's rectangle.
class TGCL_API PaintsOnParent {
public:
    virtual ~PaintsOnParent() = default;
    virtual void paintOnParent(DC& dc, std::int32_t x, std::int32_t y) const = 0;
};

class TGCL_API PictureBox : public Control, public DrawTarget {
public:
    static constexpr const char* kClassName = "PictureBox";

    explicit PictureBox(std::string name = {});
    static void registerClass();

    // --- DrawTarget: what a drawing engine paints through ------------------
    std::int32_t hWnd() const override { return Control::hWnd(); }
    // The context stays the same object for the life of the control; a
    // resize changes the surface under it, not the context.
    DC* hDC() override { return &m_dc; }
    // (0, 0, inner width, inner height) in logical pixels.
    Rect clientRect() const override { return {0, 0, m_width, m_height}; }
    // The surface follows the new ratio and the owner draws again.
    void deviceScaleChanged() override;

    // Inner size in logical pixels, whatever the scale mode. The surface
    // holds Screen::toDevice of it at deviceScale().
    std::int32_t pixelWidth() const { return m_width; }
    std::int32_t pixelHeight() const { return m_height; }
    double deviceScale() const { return m_dc.deviceScale(); }

    // Clears the surface to the back colour with Picture at (0, 0).
    void Cls();

    // True: the surface keeps what was drawn, across resizes too, and Paint
    // is never raised. False: a resize or Refresh clears the surface and
    // raises Paint so the owner draws again.
    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on);

    // The background picture, drawn unscaled at (0, 0) by every Cls.
    // Setting it clears what was drawn, as a new background does.
    const PicturePtr& Picture() const { return m_picture; }
    void setPicture(PicturePtr picture);

    // Without AutoRedraw: clear, then Paint. With it: only tells a backend
    // that the image changed.
    virtual void Refresh();

    // The image as drawn, in device pixels.
    const Surface& render() const { return m_surface; }

    // The image with the visible children laid over it in z-order, as an
    // operator would see the box. Reuses `out`'s pixels when the size
    // matches, so a host refreshing a picture every frame does not allocate.
    void snapshotInto(Surface& out) const;
    Surface snapshot() const;

    // Raised, without AutoRedraw, whenever the surface was cleared and needs
    // the owner's drawing. Handler failures stay here: a paint that fails
    // leaves the cleared surface.
    Event<> Paint;

protected:
    // For controls that are picture boxes under another class name.
    PictureBox(std::string className, std::string name);

    // Resizes the surface to the new inner size; derived controls call this
    // first and then lay themselves out.
    void onResize() override;
    // Tells a toolkit backend that the surface holds a new image.
    void imageChanged() { changed(Change::Image); }

private:
    void fitSurface();
    void clearSurface();

    Surface m_surface;
    DC m_dc;
    // Composes snapshots; kept so that its saved states are reused.
    mutable DC m_composer;
    bool m_autoRedraw = false;
    PicturePtr m_picture;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
};

}  // namespace tavixTGCL2
