#pragma once
// A straight line between two points of its container, as a form's line
// control draws it: the end points in the container's units, a width in
// pixels and a colour. The control's own rectangle is kept around the line
// (its width included) so that hosts and the compositor see where it lies;
// it paints itself onto its container.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/PictureBox.h>

namespace tavixTGCL2 {

class TGCL_API Line : public Control, public PaintsOnParent {
public:
    static constexpr const char* kClassName = "Line";

    explicit Line(std::string name = {});

    // End points in the container's scale units.
    std::int32_t X1() const { return m_x1; }
    std::int32_t Y1() const { return m_y1; }
    std::int32_t X2() const { return m_x2; }
    std::int32_t Y2() const { return m_y2; }
    void setX1(std::int32_t v);
    void setY1(std::int32_t v);
    void setX2(std::int32_t v);
    void setY2(std::int32_t v);
    // Width in pixels, 1 to 100 (values outside are clamped).
    std::int32_t BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(std::int32_t px);
    OleColor BorderColor() const { return m_borderColor; }
    void setBorderColor(OleColor c);

    void paintOnParent(DC& dc, std::int32_t x, std::int32_t y) const override;

    // By name: the end points, "BorderWidth", "BorderColor", and those of
    // Control (see members() in Line.cpp).
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

private:
    friend struct MemberTables;
    static const MemberTable<Line>& members();

    // Keeps the control's rectangle around the line.
    void fit();

    std::int32_t m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    std::int32_t m_borderWidth = 1;
    OleColor m_borderColor = 0x80000012;  // button text
};

}  // namespace tavixTGCL2
