#include "platform/CommandBarLayout.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/CommandBars.h"

namespace tavixTGCL2 {

std::string displayCaption(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::int32_t FixedTextMeasure::textWidth(const std::string& text) const {
    std::int32_t codePoints = 0;
    for (unsigned char ch : text)
        if ((ch & 0xC0) != 0x80) ++codePoints;  // continuation bytes belong to the previous character
    return codePoints * m_charWidth;
}

std::int32_t FontTextMeasure::textWidth(const std::string& text) const {
    return fontEngine().measure(m_font, text).cx;
}

std::int32_t FontTextMeasure::lineHeight() const { return fontEngine().metrics(m_font).height; }

namespace {

using M = CommandBarMetrics;

enum class Face { Icon, Caption, IconRight, IconBelow };

Face faceOf(const CommandBar& bar, std::int32_t style) {
    if (bar.ShowTextBelowIcons() && style != cbsCaption && style != cbsIcon) return Face::IconBelow;
    switch (style) {
        case cbsCaption: return Face::Caption;
        case cbsIcon: return Face::Icon;
        case cbsIconAndCaption: return Face::IconRight;
        case cbsIconAndCaptionBelow: return Face::IconBelow;
        default: return bar.Type() == cbtMenuBar ? Face::Caption : Face::Icon;
    }
}

struct Box {
    std::int32_t w = 0, h = 0;
};

Box buttonSize(const CommandBar& bar, const CommandBarControl& c, const TextMeasure& tm) {
    const std::int32_t iw = bar.IconWidth(), ih = bar.IconHeight(), p = M::buttonPad;
    std::string text = displayCaption(c.Caption());
    std::int32_t tw = text.empty() ? 0 : tm.textWidth(text) + 2 * M::captionPad;
    std::int32_t th = tm.lineHeight();
    Box s;
    switch (faceOf(bar, c.Style())) {
        case Face::Icon: s = {iw + 2 * p, ih + 2 * p}; break;
        case Face::Caption: s = {tw + 2 * p, th + 2 * p}; break;
        case Face::IconRight:
            s = {iw + (tw ? M::iconTextGap + tw : 0) + 2 * p, (tw ? std::max(ih, th) : ih) + 2 * p};
            break;
        case Face::IconBelow: s = {std::max(iw, tw) + 2 * p, ih + M::iconTextGap + th + 2 * p}; break;
    }
    std::int32_t type = c.Type();
    if ((type == cbcPopup || type == cbcButtonPopup) && bar.Type() != cbtMenuBar) s.w += M::popupArrow;
    if (type == cbcSplitButtonPopup) s.w += M::splitArrow;
    return s;
}

// One control on its way through the layout, along the bar's main axis
// (x on a horizontal bar, y on a vertical one) and across it.
struct Item {
    CommandBarControl* control;
    std::int32_t main;
    std::int32_t cross;  // 0 for custom controls: they never make a row thicker
    bool stretch;
    std::int32_t separator = 0;
    std::int32_t pos = 0;
    std::size_t row = 0;
    bool shown = true;
};

struct BarPlan {
    std::vector<Item> items;
    std::int32_t lead = 0;   // border and gripper before the first control
    std::int32_t trail = 0;  // border and chevron after the last
    std::int32_t defaultCross = 0;
    std::int32_t naturalInner = 0;  // all controls in one row, stretched ones at 0
};

BarPlan planBar(const CommandBar& bar, bool vertical, const TextMeasure& tm) {
    BarPlan plan;
    plan.lead = M::barBorder + ((bar.WindowStyle() & cbwGripper) ? M::gripper : 0);
    plan.trail = M::barBorder + (bar.ShowExpandButton() ? M::expandButton : 0);
    if (bar.Type() == cbtMenuBar) plan.defaultCross = tm.lineHeight() + 2 * M::buttonPad;
    else plan.defaultCross = (vertical ? bar.IconWidth() : bar.IconHeight()) + 2 * M::buttonPad;

    for (const auto& c : bar.Controls()) {
        if (!c->Visible()) continue;
        Item it{c.get(), 0, 0, false};
        if (c->Type() == cbcCustom) {
            it.stretch = (c->Flags() & cbfStretched) != 0;
            if (!it.stretch)
                if (auto w = c->HostedWindow())
                    it.main = Screen::toPixels(vertical ? w->heightTwips() : w->widthTwips());
        } else {
            Box s = buttonSize(bar, *c, tm);
            it.main = vertical ? s.h : s.w;
            it.cross = vertical ? s.w : s.h;
        }
        if (c->BeginGroup() && !plan.items.empty()) plan.naturalInner += M::separator;
        plan.naturalInner += it.main;
        plan.items.push_back(it);
    }
    return plan;
}

struct Extent {
    std::int32_t main = 0, cross = 0;
};

// Places the items in rows no longer than limit, shares each row's free
// length among its stretched controls and returns the bar's size; control
// rectangles are set relative to the bar.
Extent arrange(BarPlan& plan, bool vertical, std::int32_t limit, bool wrap) {
    std::vector<std::vector<Item*>> rows(1);
    std::int32_t pos = 0;
    for (auto& it : plan.items) {
        bool rowEmpty = rows.back().empty();
        std::int32_t sep = (it.control->BeginGroup() && !rowEmpty) ? M::separator : 0;
        if (wrap && !rowEmpty && pos + sep + it.main > limit) {
            rows.emplace_back();
            pos = 0;
            sep = 0;
        }
        it.separator = sep;
        pos += sep + it.main;
        it.row = rows.size() - 1;
        rows.back().push_back(&it);
    }

    std::int32_t crossAt = M::barBorder;
    for (auto& row : rows) {
        std::int32_t used = 0, stretched = 0, rowCross = plan.defaultCross;
        for (Item* it : row) {
            used += it->separator + it->main;
            if (it->stretch) ++stretched;
            rowCross = std::max(rowCross, it->cross);
        }
        std::int32_t free = std::max(0, limit - used);
        std::int32_t share = stretched ? free / stretched : 0;
        std::int32_t extra = stretched ? free % stretched : 0;
        std::int32_t cursor = 0;
        bool overflowed = false;
        for (Item* it : row) {
            if (it->stretch) {
                it->main = share + extra;
                extra = 0;
            }
            cursor += it->separator;
            it->pos = cursor;
            cursor += it->main;
            // A bar that must not wrap hides what does not fit, and all that
            // follows it, rather than drawing past its own edge.
            if (!wrap && cursor > limit) overflowed = true;
            it->shown = !overflowed;
            if (!it->shown) {
                CommandBarLayout::setControlRect(*it->control, {});
                continue;
            }
            std::int32_t a = plan.lead + it->pos, b = a + it->main;
            CommandBarLayout::setControlRect(*it->control, vertical ? Rect{crossAt, a, crossAt + rowCross, b}
                                                                    : Rect{a, crossAt, b, crossAt + rowCross});
        }
        crossAt += rowCross;
    }
    return {plan.lead + limit + plan.trail, crossAt + M::barBorder};
}

// The bar's size when laid out along an edge of length clientLength
// (negative: the owner gave no length yet, so nothing constrains the bar).
Extent layoutDocked(CommandBar& bar, bool vertical, std::int32_t clientLength, const TextMeasure& tm) {
    BarPlan plan = planBar(bar, vertical, tm);
    std::int32_t room = clientLength >= 0 ? std::max(0, clientLength - plan.lead - plan.trail) : -1;
    bool stretchedBar = (bar.DockingFlags() & cbdStretched) != 0 || bar.Type() == cbtMenuBar;
    std::int32_t limit = plan.naturalInner;
    if (room >= 0) limit = stretchedBar ? room : std::min(plan.naturalInner, room);
    bool wrap = (bar.DockingFlags() & cbdNoWrap) == 0;
    return arrange(plan, vertical, limit, wrap);
}

void clearRects(CommandBar& bar) {
    for (const auto& c : bar.Controls()) CommandBarLayout::setControlRect(*c, {});
}

bool hasVisibleControl(const CommandBar& bar) {
    for (const auto& c : bar.Controls())
        if (c->Visible()) return true;
    return false;
}

struct Placement {
    CommandBar* bar;
    Rect slot;
    bool vertical;
};

void placeWindow(Control& window, const Placement& p) {
    if (window.Parent() != p.bar) resumeNext([&] { p.bar->add(window.shared_from_this()); });
    // The window keeps its own thickness across the bar where it fits,
    // centred in its row, so an owner that trims it keeps its trim.
    const Rect& s = p.slot;
    if (!p.vertical) {
        std::int32_t rowTop = Screen::toTwips(s.top), rowHeight = Screen::toTwips(s.height());
        std::int32_t h = window.heightTwips();
        if (h <= 0 || h > rowHeight) h = rowHeight;
        window.moveTwips(Screen::toTwips(s.left), rowTop + (rowHeight - h) / 2, Screen::toTwips(s.width()), h);
    } else {
        std::int32_t colLeft = Screen::toTwips(s.left), colWidth = Screen::toTwips(s.width());
        std::int32_t w = window.widthTwips();
        if (w <= 0 || w > colWidth) w = colWidth;
        window.moveTwips(colLeft + (colWidth - w) / 2, Screen::toTwips(s.top), w, Screen::toTwips(s.height()));
    }
    window.setVisible(true);
}

}  // namespace

void CommandBarLayout::setControlRect(CommandBarControl& control, const Rect& rect) { control.m_rect = rect; }

bool CommandBarLayout::layoutAll(CommandBars& bars) {
    const TextMeasure& tm = bars.textMeasure();
    const std::int32_t W = bars.ClientWidth(), H = bars.ClientHeight();
    // A client area the owner never sized does not constrain the bars: they
    // take their natural size and the owner can size itself after them.
    const std::int32_t edgeLength = W > 0 ? W : -1;

    std::map<const CommandBar*, Rect> before;
    for (const auto& bar : bars.m_bars) before[bar.get()] = bar->m_rect;

    auto shownAt = [](const CommandBar& bar, std::int32_t position) {
        if (!bar.docked() || !bar.Visible() || bar.Position() != position) return false;
        return bar.Type() != cbtMenuBar || hasVisibleControl(bar);
    };

    std::int32_t topY = 0, bottomTotal = 0, widest = 0;
    std::vector<std::pair<CommandBar*, Extent>> bottoms;
    for (const auto& bar : bars.m_bars) {
        if (bar->Type() == cbtPopup || bar->Position() == cbpPopup) continue;  // menus keep where they were shown
        clearRects(*bar);
        bar->m_rect = {};
        if (shownAt(*bar, cbpTop)) {
            Extent e = layoutDocked(*bar, false, edgeLength, tm);
            bar->m_rect = {0, topY, e.main, topY + e.cross};
            topY += e.cross;
            widest = std::max(widest, e.main);
        } else if (shownAt(*bar, cbpBottom)) {
            Extent e = layoutDocked(*bar, false, edgeLength, tm);
            bottoms.emplace_back(bar.get(), e);
            bottomTotal += e.cross;
            widest = std::max(widest, e.main);
        }
    }
    // Bottom bars never climb above the top ones, whatever height the
    // owner gave.
    const std::int32_t dockHeight = std::max(H, topY + bottomTotal);
    std::int32_t y = dockHeight - bottomTotal;
    for (auto& [bar, e] : bottoms) {
        bar->m_rect = {0, y, e.main, y + e.cross};
        y += e.cross;
    }

    const std::int32_t sideLength = H > 0 ? std::max(0, dockHeight - topY - bottomTotal) : -1;
    std::int32_t leftX = 0;
    std::vector<std::pair<CommandBar*, Extent>> rights;
    std::int32_t rightTotal = 0;
    for (const auto& bar : bars.m_bars) {
        if (shownAt(*bar, cbpLeft)) {
            Extent e = layoutDocked(*bar, true, sideLength, tm);
            bar->m_rect = {leftX, topY, leftX + e.cross, topY + e.main};
            leftX += e.cross;
        } else if (shownAt(*bar, cbpRight)) {
            Extent e = layoutDocked(*bar, true, sideLength, tm);
            rights.emplace_back(bar.get(), e);
            rightTotal += e.cross;
        } else if (shownAt(*bar, cbpFloating)) {
            Extent e = layoutDocked(*bar, false, -1, tm);
            bar->m_rect = {bar->m_floatX, bar->m_floatY, bar->m_floatX + e.main, bar->m_floatY + e.cross};
        }
    }
    std::int32_t x = std::max({W, widest, leftX + rightTotal}) - rightTotal;
    for (auto& [bar, e] : rights) {
        bar->m_rect = {x, topY, x + e.cross, topY + e.main};
        x += e.cross;
    }

    // Bars follow their rectangles in the control tree; hosted windows go to
    // the slot of the last shown custom control hosting them.
    std::map<Control*, Placement> placements;
    std::vector<Control*> hosted;
    bool changed = false;
    for (const auto& bar : bars.m_bars) {
        if (!bar->docked()) continue;
        const Rect& r = bar->m_rect;
        if (!(before[bar.get()] == r)) changed = true;
        if (!r.isEmpty())
            bar->moveTwips(Screen::toTwips(r.left), Screen::toTwips(r.top), Screen::toTwips(r.width()),
                           Screen::toTwips(r.height()));
        bool vertical = bar->Position() == cbpLeft || bar->Position() == cbpRight;
        for (const auto& c : bar->Controls()) {
            Control* w = c->m_window.get();
            if (!w) continue;
            hosted.push_back(w);
            if (c->m_rect.isEmpty()) continue;
            Rect slot = c->m_rect;
            placements[w] = {bar.get(), slot, vertical};
        }
    }
    for (Control* w : hosted) {
        auto it = placements.find(w);
        if (it == placements.end()) w->setVisible(false);
        else placeWindow(*w, it->second);
    }
    return changed;
}

void CommandBarLayout::layoutMenu(CommandBar& menu, std::int32_t x, std::int32_t y) {
    static const FontTextMeasure standalone;
    const TextMeasure& tm = menu.m_owner ? menu.m_owner->textMeasure() : static_cast<const TextMeasure&>(standalone);
    const std::int32_t iw = menu.IconWidth(), ih = menu.IconHeight(), p = M::buttonPad;
    const std::int32_t itemHeight = std::max(ih, tm.lineHeight()) + 2 * p;
    std::int32_t width = 0, cursor = M::barBorder;
    std::vector<CommandBarControl*> shown;
    for (const auto& c : menu.Controls()) {
        c->m_rect = {};
        if (!c->Visible() || c->Type() == cbcCustom) continue;
        if (c->BeginGroup() && !shown.empty()) cursor += M::separator;
        std::string text = displayCaption(c->Caption());
        std::int32_t w = iw + 2 * p + M::iconTextGap + tm.textWidth(text) + 2 * M::captionPad +
                         (c->CommandBar() ? M::menuArrow : 0);
        width = std::max(width, w);
        c->m_rect = {M::barBorder, cursor, 0, cursor + itemHeight};
        cursor += itemHeight;
        shown.push_back(c.get());
    }
    for (CommandBarControl* c : shown) c->m_rect.right = M::barBorder + width;
    menu.m_rect = {x, y, x + width + 2 * M::barBorder, y + cursor + M::barBorder};
}

}  // namespace tavixTGCL2
