#pragma once
// The shape the comment and DUT information pages share: a title line at the
// top left, in Arial Black 14.25 points and sized to its text as it was
// designed (so that a translated title gets the room it needs), and one body
// control filling the page below it.
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "platform/Control.h"
#include "platform/Error.h"
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

// The page's title label ("lblTitle") with its caption, in the title's look.
inline std::shared_ptr<Label> create(Control& page, const char* caption) {
    auto title = page.create<Label>("lblTitle");
    title->setCaption(caption);
    style(*title);
    return title;
}

// The label's size for its text on one line, in twips.
inline void fit(Label& title) {
    const Size s = fontEngine().measure(title.font(), title.Caption());
    title.moveTwips(0, 0, Screen::toTwips(s.cx + 4), Screen::toTwips(s.cy + 2));
}

// The body takes the page below the title, gap twips apart.
inline void placeBody(Control& page, const Label& title, Control& body, std::int32_t gap) {
    resumeNext([&] {
        const std::int32_t t = title.Height();
        body.Move(0, t + gap, page.ScaleWidth(), page.ScaleHeight() - t - gap);
    });
}

// The mouse over the page is off the content pane's own parts: the container
// hears of it ("LostMouseFocus") so that they drop their hover look.
inline void forwardMouseMove(Control& page) {
    resumeNext([&] {
        if (Control* container = page.Parent()) {
            VariantList none;
            container->invoke("LostMouseFocus", none);
        }
    });
}

// Forwards the mouse moves of the page and of each of its parts; the parts
// are the page's children, so none outlives it.
inline void forwardMouseMoves(Control& page, std::initializer_list<Control*> parts) {
    auto forward = [&page](std::int16_t, std::int16_t, float, float) { forwardMouseMove(page); };
    for (Control* part : parts) part->MouseMove.connect(forward);
    page.MouseMove.connect(forward);
}

}  // namespace tavixTGCL2::PaneTitle
