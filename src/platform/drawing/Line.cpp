#include "platform/Line.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Colors.h"
#include "platform/DC.h"
#include "platform/MemberTable.h"

namespace tavixTGCL2 {

Line::Line(std::string name) : Control(kClassName, std::move(name)) { fit(); }

void Line::setX1(std::int32_t v) {
    m_x1 = v;
    fit();
}
void Line::setY1(std::int32_t v) {
    m_y1 = v;
    fit();
}
void Line::setX2(std::int32_t v) {
    m_x2 = v;
    fit();
}
void Line::setY2(std::int32_t v) {
    m_y2 = v;
    fit();
}

void Line::setBorderWidth(std::int32_t px) {
    m_borderWidth = std::clamp(px, 1, 100);
    fit();
}

void Line::setBorderColor(OleColor c) {
    if (c == m_borderColor) return;
    m_borderColor = c;
    changed(Change::BorderColor);
}

void Line::fit() {
    const ScaleMode m = parentScaleMode();
    const std::int32_t x1 = Screen::fromUnits(m_x1, m), x2 = Screen::fromUnits(m_x2, m);
    const std::int32_t y1 = Screen::fromUnits(m_y1, m), y2 = Screen::fromUnits(m_y2, m);
    // Half the width on either side, rounded up, and one pixel for the end
    // point a pen leaves out.
    const std::int32_t pad = Screen::toTwips(m_borderWidth / 2 + 1);
    moveTwips(std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * pad,
              std::abs(y2 - y1) + 2 * pad);
    changed(Change::Line);
}

void Line::paintOnParent(DC& dc, std::int32_t x, std::int32_t y) const {
    const ScaleMode m = parentScaleMode();
    // (x, y) is where the control's top-left corner lands; the end points
    // are relative to the container.
    const std::int32_t ox = x - Screen::toPixels(leftTwips());
    const std::int32_t oy = y - Screen::toPixels(topTwips());
    const std::int32_t x1 = ox + Screen::toPixels(Screen::fromUnits(m_x1, m));
    const std::int32_t y1 = oy + Screen::toPixels(Screen::fromUnits(m_y1, m));
    const std::int32_t x2 = ox + Screen::toPixels(Screen::fromUnits(m_x2, m));
    const std::int32_t y2 = oy + Screen::toPixels(Screen::fromUnits(m_y2, m));
    Selected<Pen> pen(dc, Pen::solid(OleTranslateColor(m_borderColor), m_borderWidth));
    dc.moveTo(x1, y1);
    dc.lineTo(x2, y2);
}

const MemberTable<Line>& Line::members() {
    using M = MemberTable<Line>;
    static const M table(MemberTables::of<Control>(),
                         {
                             M::property("X1", &Line::X1, &Line::setX1),
                             M::property("Y1", &Line::Y1, &Line::setY1),
                             M::property("X2", &Line::X2, &Line::setX2),
                             M::property("Y2", &Line::Y2, &Line::setY2),
                             M::property("BorderWidth", &Line::BorderWidth, &Line::setBorderWidth),
                             M::property("BorderColor", &Line::BorderColor, &Line::setBorderColor),
                         });
    return table;
}

Variant Line::invoke(const std::string& member, VariantList& args) { return members().invoke(*this, member, args); }

void Line::setProperty(const std::string& member, const Variant& value) { members().setProperty(*this, member, value); }

}  // namespace tavixTGCL2
