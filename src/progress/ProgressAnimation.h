#pragma once
// What the progress control and the status bar share: the endless
// animation's step and the way both put a range on their renderer.
#include <cstdint>
#include <limits>

#include "frame/HostServices.h"
#include "platform/Error.h"
#include "progress/CTgProgressBar.h"

namespace tavixTGCL2::ProgressAnimation {

// A renderer position as the 16-bit number the controls work in.
inline std::int16_t toInt16(std::int32_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
        throw Error(errOverflow, "Overflow");
    return static_cast<std::int16_t>(v);
}

// One tick: the segment grows from the left edge to 20 units, slides right
// 5 units at a time, shrinks against the right end and restarts at (0, 5).
inline void step(std::int32_t& s, std::int32_t& e) {
    if (s >= 100 && e >= 100) {
        s = 0;
        e = 5;
    } else if (e < 20) {
        e += 5;
    } else {
        s += 5;
        e += 5;
    }
}

// One animation tick on the renderer: read the segment, step it, write it
// back. Each statement that fails is skipped, as the ticks of both
// controls require; the caller repaints afterwards.
inline void advance(CTgProgressBar& bar) {
    std::int32_t s = 0;
    std::int32_t e = 0;
    resumeNext([&] { s = toInt16(bar.BarStart()); });
    resumeNext([&] { e = toInt16(bar.BarStop()); });
    step(s, e);
    resumeNext([&] { bar.setBarStart(s); });
    resumeNext([&] { bar.setBarStop(e); });
}

// Puts start..stop on the renderer (which clamps both to its Min..Max),
// ordered through the host's utility object. A host without one cannot
// order the pair: that is an error for the caller, not a crash.
inline void setBarRange(CTgProgressBar& bar, std::int32_t start, std::int32_t stop) {
    if (start > stop) {
        auto utility = HostServices::Utility();
        if (!utility) throw Error(errObjectRequired, "Object required: the host's utility object");
        utility->Exchange(start, stop);
    }
    bar.setBarStart(start);
    bar.setBarStop(stop);
}

}  // namespace tavixTGCL2::ProgressAnimation
