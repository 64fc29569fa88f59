#pragma once
// Paints a control subtree into one surface, as an operator would see it,
// for hosts without a toolkit (a picture of a form, a test looking at what
// it built, the demo's snapshots). Each control draws what it is:
//
//  - a control with its own surface (a picture box, any DrawTarget) copies
//    that surface inside its border;
//  - a control that paints itself onto its parent (PaintsOnParent) does so;
//  - labels draw their caption (word-wrapped when asked) through the active
//    FontEngine, over their back colour unless transparent;
//  - shapes draw their fill and border;
//  - timers draw nothing; every other control fills its back colour.
//
// A control with a border draws it (1 pixel flat, 2 sunken); children are
// laid over their parent in z-order, clipped to it. Hidden controls and
// everything inside them are left out; the root is drawn even when hidden.
#include <tavixTGCL2/Export.h>
#include <string>
#include <cstdint>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

class TGCL_API Compositor {
public:
    // The root at its own pixel size (an empty surface for a control
    // without area).
    static Surface render(const Control& root);
    // Reuses out's pixels when the size matches.
    static void renderInto(const Control& root, Surface& out);
    // Paints c with its outer top-left pixel at (x, y) of dc, within dc's
    // clip region.
    static void paint(const Control& c, DC& dc, std::int32_t x, std::int32_t y);
    // Text in r with the selected font and colours: lines broken at "\n"
    // and, when wrap is on, greedily at blanks; a word wider than r keeps a
    // line of its own and is cut at the edge.
    static void drawTextBlock(DC& dc, const std::string& text, const Rect& r, std::uint32_t align, bool wrap);
};

}  // namespace tavixTGCL2
