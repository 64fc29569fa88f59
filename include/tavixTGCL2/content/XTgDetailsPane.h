#pragma once
// A framed panel that collapses to a narrow flip tab and expands again when
// the tab is clicked. It draws nothing inside its frame: its owner lays
// another view over the client rectangle. It remembers its expanded width,
// keeps its outer edge in place when its width changes, and puts its flip
// tab at one of four places.
//
// Events: Resize (the control's own) at the end of every layout pass, and
// ExpandCollapse after every toggle. A toggle resizes the pane, so Resize
// comes before ExpandCollapse.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/frame/GPublicDeclares.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>

namespace tavixTGCL2 {

class Shape;
class XTransparentImage;

class TGCL_API XTgDetailsPane : public Control {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XTgDetailsPane";
    static constexpr float kDefaultExpandWidth = 2685.0f;
    // The pane's own background as designed (the window colour); the frame
    // is filled with it until BackColor says otherwise.
    static constexpr OleColor kDesignBackColor = 0x80000005;
    static constexpr OleColor kFrameBorderColor = 0xB24801;  // RGB(1, 72, 178)
    static constexpr OleColor kFlipMaskColor = 0xFF;

    explicit XTgDetailsPane(std::string name = "xdpDetails");
    ~XTgDetailsPane() override;
    static void registerClass();

    // The frame's fill colour ("BackColor"); the pane's own background is
    // Control::BackColor.
    OleColor BackColor() const;
    void setBackColor(OleColor c);
    // The frame's inner rectangle in the pane's coordinates.
    float ClientLeft() const;
    float ClientTop() const;
    float ClientWidth() const;
    float ClientHeight() const;
    // Whether the frame is shown ("Expanded"). Setting the other value
    // toggles the pane.
    bool Expanded() const;
    void setExpanded(bool f);
    // Where the flip tab sits ("Orientation"); values outside the four lay
    // out like edpoOrientRightTop.
    std::int32_t Orientation() const { return m_orientation; }
    void setOrientation(std::int32_t o);
    // The width the pane takes when expanded ("ExpandWidth").
    float ExpandWidth() const { return m_expandWidth; }

    Event<> ExpandCollapse;

    Shape& frame() const { return *shpFrame; }
    XTransparentImage& flipTab() const { return *xtiFlip; }
    // The flip tab's picture number (103 or 104).
    std::int32_t flipPicture() const { return m_flipPicture; }

    void ReadProperties();
    void WriteProperties();

protected:
    void onResize() override;

private:
    void layout();
    void toggle();
    void applyOrientation(std::int32_t o);
    bool leftOriented() const { return m_orientation == edpoOrientLeftTop || m_orientation == edpoOrientLeftBottom; }

    std::shared_ptr<Shape> shpFrame;
    std::shared_ptr<XTransparentImage> xtiFlip;
    std::int32_t m_orientation = edpoOrientRightTop;
    float m_expandWidth = kDefaultExpandWidth;
    bool m_inToggle = false;
    std::int32_t m_flipPicture = 0;
};

}  // namespace tavixTGCL2
