#pragma once
// The title line the comment and DUT information pages share: a label in
// Arial Black 14.25 points at the top left, sized to its text as it was
// designed, so that a translated title gets the room it needs.
#include "platform/FontEngine.h"
#include "platform/StandardControls.h"
#include "platform/Units.h"

namespace tavixTGCL2::PaneTitle {

inline constexpr double kPoints = 14.25;

inline void style(Label& title) {
    Font f = title.font();
    f.name = "Arial Black";
    f.size = kPoints;
    f.bold = false;
    title.setFont(f);
    title.setBackStyleTransparent(true);
    title.setForeColor(0x000000);
}

// The label's size for its text on one line, in twips.
inline void fit(Label& title) {
    const Size s = fontEngine().measure(title.font(), title.Caption());
    title.moveTwips(0, 0, Screen::toTwips(s.cx + 4), Screen::toTwips(s.cy + 2));
}

}  // namespace tavixTGCL2::PaneTitle
