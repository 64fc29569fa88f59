#include "content/XTabStrip.h"

#include <cstdint>

#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "resources/TextBitmap.h"

namespace tavixTGCL2 {

namespace {

struct BuiltInTab {
    std::int32_t picture;
    std::int32_t selPicture;
    OleColor selColor;
};
// Procedure, comment, DUT information, help.
constexpr BuiltInTab kBuiltInTabs[] = {
    {120, 124, 0xF9DBC4},
    {121, 125, 0xC0FFFF},
    {122, 126, 0xDFF7D6},
    {123, 127, 0xF0F0F0},
};
constexpr OleColor kBuiltInMaskColor = 0xFF;

}  // namespace

XTabStrip::XTabStrip(std::string name) : Control("tavixTGCL2.XTabStrip", std::move(name)) {
    MMain::ensureStarted();
    setBackColor(kBackColor);
    setCanGetFocus(true);
    moveTwips(0, 0, kDesignWidth, 4 * kTabPitch + XTab::kHeight);
    for (std::int32_t i = 0; i < 4; ++i) {
        XTab& tab = newTab();
        const BuiltInTab& b = kBuiltInTabs[i];
        resumeNext([&] { tab.setMaskColor(kBuiltInMaskColor); });
        resumeNext([&] { tab.setPicture(Resources::LoadResPicture(b.picture)); });
        resumeNext([&] { tab.setSelPicture(Resources::LoadResPicture(b.selPicture)); });
        resumeNext([&] { tab.setSelColor(b.selColor); });
        tab.Move(kTabLeft, i * kTabPitch);
    }
    XTab& help = *xtbTab[3];
    help.Tag = std::string(kCreatedHiddenTag);
    help.setVisible(false);
    m_iSelected = -1;
    resumeNext([&] { SetSelectedTab(0); });
}

XTabStrip::~XTabStrip() = default;

XTab& XTabStrip::newTab() {
    const auto index = static_cast<std::int16_t>(xtbTab.size());
    auto tab = create<XTab>("xtbTab(" + std::to_string(index) + ")");
    // New tabs lie behind the others, so the selected tab stays in front.
    tab->ZOrder(1);
    XTab* t = tab.get();
    t->Click.connect([this] { Click(); });
    t->MouseDown.connect([this, t, index](std::int16_t button, std::int16_t shift, float x, float y) {
        if (button == vbLeftButton) resumeNext([&] { SetSelectedTab(index); });
        MouseDown(button, shift, x + static_cast<float>(t->Left()), y + static_cast<float>(t->Top()));
    });
    xtbTab.push_back(std::move(tab));
    return *t;
}

XTab& XTabStrip::Tabs(std::int32_t iIdx) const {
    if (iIdx < 0 || iIdx >= TabCount()) throw Error(errSubscript, "Control array element " + std::to_string(iIdx) + " doesn't exist");
    return *xtbTab[static_cast<std::size_t>(iIdx)];
}

void XTabStrip::SetSelectedTab(std::int16_t iNew) {
    if (iNew == m_iSelected) return;
    XTab& next = Tabs(iNew);  // an index without a tab fails here, before anything changed
    if (m_iSelected >= 0) {
        Tabs(m_iSelected).setSelected(false);
        for (std::int32_t i = m_iSelected; i < TabCount(); ++i) xtbTab[static_cast<std::size_t>(i)]->ZOrder(1);
    }
    next.setSelected(true);
    next.ZOrder(0);
    m_iSelected = iNew;
}

void XTabStrip::setSelected(std::int16_t iNew) {
    stopOnError([&] {
        SetSelectedTab(iNew);
        PropertyChanged("Selected");
    });
}

void XTabStrip::restack() {
    std::int32_t top = 0;
    for (auto& t : xtbTab) {
        if (!t->Tag.toString().empty()) continue;
        t->Move(kTabLeft, top);
        top += kTabPitch;
    }
}

void XTabStrip::ShowTab(std::int32_t iIdx, bool fShow) {
    XTab& tab = Tabs(iIdx);
    tab.Tag = std::string(fShow ? "" : kHiddenTag);
    tab.setVisible(fShow);
    restack();
}

void XTabStrip::ShowTabs(bool fShow) {
    for (auto& t : xtbTab) t->setVisible(fShow && t->Tag.toString().empty());
}

std::int16_t XTabStrip::AddTab(const CTabProperties& ctpProps) {
    if (TabCount() > INT16_MAX) throw Error(errOverflow, "Overflow: no more tabs");
    XTab& tab = newTab();
    const auto index = static_cast<std::int16_t>(TabCount() - 1);
    tab.setPicture(ctpProps.Picture);
    tab.setSelPicture(ctpProps.SelectedPicture);
    tab.setMaskColor(ctpProps.MaskColor);
    tab.setSelColor(ctpProps.SelectedColor);
    tab.setToolTipText(ctpProps.ToolTipText);
    ShowTab(index, true);
    return index;
}

bool XTabStrip::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (shift & (vbCtrlMask | vbAltMask)) return false;
    if (keyCode != vbKeyUp && keyCode != vbKeyDown && keyCode != vbKeyHome && keyCode != vbKeyEnd) return false;
    // The operator moves among the tabs the strip stacks, collapsed or not;
    // a hidden selected tab still tells where Up and Down start from.
    std::vector<std::int16_t> stacked;
    for (std::int32_t i = 0; i < TabCount(); ++i)
        if (xtbTab[static_cast<std::size_t>(i)]->Tag.toString().empty()) stacked.push_back(static_cast<std::int16_t>(i));
    if (stacked.empty()) return true;
    std::int16_t target = m_iSelected;
    if (keyCode == vbKeyHome) target = stacked.front();
    else if (keyCode == vbKeyEnd) target = stacked.back();
    else if (keyCode == vbKeyDown) {
        for (std::int16_t i : stacked)
            if (i > m_iSelected) {
                target = i;
                break;
            }
    } else {
        for (auto it = stacked.rbegin(); it != stacked.rend(); ++it)
            if (*it < m_iSelected) {
                target = *it;
                break;
            }
    }
    if (target == m_iSelected) return true;
    if (!stopOnError([&] { SetSelectedTab(target); })) return true;
    resumeNext([&] { KeySelect(target); });
    resumeNext([&] { Click(); });
    return true;
}

void XTabStrip::ReadProperties() {
    resumeNext([&] {
        auto i = propertyBag().ReadProperty("Selected", std::int16_t{0}).toInt16();
        SetSelectedTab(i);
    });
}

void XTabStrip::WriteProperties() {
    resumeNext([&] { propertyBag().WriteProperty("Selected", m_iSelected, std::int16_t{0}); });
}

}  // namespace tavixTGCL2
