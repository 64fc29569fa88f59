#include "platform/StandardControls.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/KeyCodes.h"

namespace tavixTGCL2 {

namespace {

// Keys that move within a control come without Ctrl or Alt; those two make
// them someone else's (Ctrl+Tab, key bindings).
bool plain(std::int16_t shift) { return (shift & (vbCtrlMask | vbAltMask)) == 0; }

// Where Up, Down, Home and End lead from current in a list of count entries
// (1-based; current 0 is "nothing yet"); 0 for any other key.
std::int32_t listTarget(std::int16_t keyCode, std::int32_t current, std::int32_t count) {
    if (count <= 0) return 0;
    switch (keyCode) {
        case vbKeyUp: return std::max(1, current - 1);
        case vbKeyDown: return std::min(count, current + 1);
        case vbKeyHome: return 1;
        case vbKeyEnd: return count;
        default: return 0;
    }
}

// The option buttons of o's group, in tab order; empty for a button
// outside any container.
std::vector<OptionButton*> groupOf(const OptionButton& o) {
    std::vector<OptionButton*> group;
    if (!o.Parent()) return group;
    for (const auto& c : o.Parent()->Children())
        if (auto* b = dynamic_cast<OptionButton*>(c.get())) group.push_back(b);
    std::stable_sort(group.begin(), group.end(), [](auto* a, auto* b) { return a->TabIndex() < b->TabIndex(); });
    return group;
}

}  // namespace

void Label::setAutoSize(bool v) { m_autoSize = v; changed(Change::AutoSize); }
void Label::setWordWrap(bool v) { m_wordWrap = v; changed(Change::WordWrap); }
void Label::setAlignment(std::int32_t v) { m_alignment = v; changed(Change::Alignment); }
void Label::setBackStyleTransparent(bool v) { m_transparent = v; changed(Change::BackStyle); }

void TextBox::setText(std::string t) {
    if (t == m_text) return;
    m_text = std::move(t);
    changed(Change::Text);
    Change();
}

void TextBox::setLocked(bool v) { m_locked = v; changed(Change::Locked); }

bool TextBox::typeText(std::string t) {
    if (m_locked || !Enabled()) return false;
    setText(std::move(t));
    return true;
}

void Shape::setShapeKind(std::int32_t v) { m_shape = v; changed(Change::Shape); }
void Shape::setFillColor(OleColor c) { m_fillColor = c; changed(Change::FillColor); }
void Shape::setFillSolid(bool v) { m_fillSolid = v; changed(Change::FillStyle); }
void Shape::setBorderColor(OleColor c) { m_borderColor = c; changed(Change::BorderColor); }
void Shape::setBorderVisible(bool v) { m_borderVisible = v; changed(Change::BorderStyle); }

Timer::~Timer() {
    if (m_id) EventLoop::current().stopTimer(m_id);
}

void Timer::setInterval(std::int32_t ms) {
    if (ms < 0) throw Error(errInvalidProperty, "Invalid property value: Interval");
    m_interval = ms;
    restart();
}

void Timer::setTimerEnabled(bool on) {
    m_on = on;
    restart();
}

void Timer::restart() {
    auto& loop = EventLoop::current();
    if (m_id) loop.stopTimer(m_id);
    m_id = 0;
    if (m_on && m_interval > 0) {
        // The destructor stops the timer, so the loop never calls a
        // destroyed control.
        m_id = loop.startTimer(m_interval, [this] { Tick(); });
    }
}

void OptionButton::setValue(bool v) {
    if (v == m_value) return;
    m_value = v;
    changed(Change::Value);
    if (!v) return;
    if (Control* p = Parent())
        for (auto& c : p->Children())
            if (auto* o = dynamic_cast<OptionButton*>(c.get()); o && o != this && o->m_value) {
                o->m_value = false;
                o->changed(Change::Value);
            }
    Click();
}

void OptionButton::doClick() {
    if (!Enabled()) return;
    if (m_value) Click();
    else setValue(true);
}

bool OptionButton::isGroupTabStop() const {
    if (!TabStop()) return false;
    const auto group = groupOf(*this);
    if (group.empty()) return true;
    auto stop = std::find_if(group.begin(), group.end(), [](auto* b) { return b->m_value && b->isFocusable(); });
    if (stop == group.end()) stop = std::find_if(group.begin(), group.end(), [](auto* b) { return b->isFocusable(); });
    return stop != group.end() && *stop == this;
}

bool OptionButton::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (!plain(shift)) return false;
    if (keyCode == vbKeySpace) {
        doClick();
        return true;
    }
    const bool back = keyCode == vbKeyUp || keyCode == vbKeyLeft;
    if (!back && keyCode != vbKeyDown && keyCode != vbKeyRight) return false;
    // The arrows go round the group, past buttons the operator cannot reach.
    const auto group = groupOf(*this);
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t at = std::find(group.begin(), group.end(), this) - group.begin();
    for (std::ptrdiff_t step = 1; step < n; ++step) {
        OptionButton* next = group[static_cast<std::size_t>(((at + (back ? -step : step)) % n + n) % n)];
        if (!next->isFocusable()) continue;
        const auto keep = next->weak_from_this().lock();
        next->SetFocus();
        next->doClick();
        break;
    }
    return true;
}

void CheckBox::setValue(std::int32_t v) {
    if (v < 0 || v > 2) throw Error(errInvalidProperty, "Invalid property value: Value");
    if (v == m_value) return;
    m_value = v;
    changed(Change::Value);
    Click();
}

void CheckBox::doClick() {
    if (Enabled()) setValue(m_value == 1 ? 0 : 1);
}

bool CheckBox::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (keyCode != vbKeySpace || !plain(shift)) return false;
    doClick();
    return true;
}

bool CommandButton::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (keyCode != vbKeySpace || !plain(shift)) return false;
    doClick();
    return true;
}

void ComboBox::AddItem(std::string item, std::int32_t index) {
    if (index < 0 || index > ListCount()) index = ListCount();
    m_items.insert(m_items.begin() + index, std::move(item));
    m_itemData.insert(m_itemData.begin() + index, 0);
    if (m_listIndex >= index) ++m_listIndex;
    changed(Change::List);
}

void ComboBox::RemoveItem(std::int32_t index) {
    if (index < 0 || index >= ListCount()) throw Error(errSubscript, "Invalid list index");
    m_items.erase(m_items.begin() + index);
    m_itemData.erase(m_itemData.begin() + index);
    if (m_listIndex == index) m_listIndex = -1;
    else if (m_listIndex > index) --m_listIndex;
    changed(Change::List);
}

void ComboBox::Clear() {
    m_items.clear();
    m_itemData.clear();
    m_listIndex = -1;
    changed(Change::List);
}

const std::string& ComboBox::List(std::int32_t index) const {
    if (index < 0 || index >= ListCount()) throw Error(errSubscript, "Invalid list index");
    return m_items[index];
}

std::int32_t ComboBox::ItemData(std::int32_t index) const {
    if (index < 0 || index >= ListCount()) throw Error(errSubscript, "Invalid list index");
    return m_itemData[index];
}

void ComboBox::setItemData(std::int32_t index, std::int32_t data) {
    if (index < 0 || index >= ListCount()) throw Error(errSubscript, "Invalid list index");
    m_itemData[index] = data;
}

void ComboBox::setListIndex(std::int32_t i) {
    if (i < -1 || i >= ListCount()) throw Error(errInvalidProperty, "Invalid property value: ListIndex");
    if (i == m_listIndex) return;
    m_listIndex = i;
    changed(Change::ListIndex);
    Click();
}

std::string ComboBox::Text() const { return m_listIndex >= 0 ? m_items[m_listIndex] : std::string(); }

bool ComboBox::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (!plain(shift)) return false;
    const std::int32_t target = listTarget(keyCode, m_listIndex + 1, ListCount());
    if (target == 0) return false;
    setListIndex(target - 1);
    return true;
}

std::int32_t ListView::addItem(ListItem item, std::int32_t index) {
    if (index < 1 || index > count()) index = count() + 1;
    m_items.insert(m_items.begin() + (index - 1), std::move(item));
    if (m_selected >= index) ++m_selected;
    changed(Change::ListItems);
    return index;
}

void ListView::removeItem(std::int32_t index) {
    if (index < 1 || index > count()) throw Error(errSubscript, "Index out of bounds");
    m_items.erase(m_items.begin() + (index - 1));
    if (m_selected == index) m_selected = 0;
    else if (m_selected > index) --m_selected;
    changed(Change::ListItems);
}

void ListView::clear() {
    m_items.clear();
    m_selected = 0;
    changed(Change::ListItems);
}

ListItem& ListView::item(std::int32_t index) {
    if (index < 1 || index > count()) throw Error(errSubscript, "Index out of bounds");
    return m_items[index - 1];
}

const ListItem& ListView::item(std::int32_t index) const {
    if (index < 1 || index > count()) throw Error(errSubscript, "Index out of bounds");
    return m_items[index - 1];
}

void ListView::setSelectedIndex(std::int32_t index) {
    if (index < 0 || index > count()) throw Error(errSubscript, "Index out of bounds");
    m_selected = index;
    changed(Change::SelectedItem);
}

void ListView::clickItem(std::int32_t index) {
    if (!Enabled()) return;
    setSelectedIndex(index);
    if (index > 0) ItemClick(index);
}

bool ListView::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (!plain(shift)) return false;
    const std::int32_t target = listTarget(keyCode, m_selected, count());
    if (target == 0) return false;
    // Staying on the same item is no new choice.
    if (target != m_selected) {
        ensureVisible(target);
        clickItem(target);
    }
    return true;
}

std::int32_t ListView::addColumn(std::string text, std::int32_t width) {
    if (width < 0) throw Error(errInvalidProperty, "Invalid property value: Width");
    m_columns.push_back({std::move(text), width});
    changed(Change::Columns);
    return columnCount();
}

const std::string& ListView::columnText(std::int32_t index) const {
    if (index < 1 || index > columnCount()) throw Error(errSubscript, "Index out of bounds");
    return m_columns[index - 1].text;
}

std::int32_t ListView::columnWidth(std::int32_t index) const {
    if (index < 1 || index > columnCount()) throw Error(errSubscript, "Index out of bounds");
    return m_columns[index - 1].width;
}

void ListView::setColumnWidth(std::int32_t index, std::int32_t width) {
    if (index < 1 || index > columnCount()) throw Error(errSubscript, "Index out of bounds");
    if (width < 0) throw Error(errInvalidProperty, "Invalid property value: Width");
    m_columns[index - 1].width = width;
    changed(Change::Columns);
}

void ListView::setSmallIcons(ImageList icons) {
    m_smallIcons = std::move(icons);
    changed(Change::SmallIcons);
}

PicturePtr ListView::smallIconOf(std::int32_t index) const {
    const std::string& key = item(index).SmallIcon;
    if (key.empty()) return nullptr;
    auto it = m_smallIcons.find(key);
    return it == m_smallIcons.end() ? nullptr : it->second;
}

std::int32_t TabControl::insertItem(std::int32_t index, std::string caption) {
    if (index < 0 || index > itemCount()) index = itemCount();
    m_captions.insert(m_captions.begin() + index, std::move(caption));
    if (m_selected >= index) ++m_selected;
    if (m_selected < 0) m_selected = 0;
    changed(Change::Items);
    return index;
}

const std::string& TabControl::itemCaption(std::int32_t index) const {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    return m_captions[index];
}

void TabControl::setItemCaption(std::int32_t index, std::string caption) {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    m_captions[index] = std::move(caption);
    changed(Change::Items);
}

void TabControl::setSelectedItem(std::int32_t index) {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    if (index == m_selected) return;
    m_selected = index;
    changed(Change::SelectedItem);
    SelectedChanged(index);
}

bool TabControl::onKeyDown(std::int16_t keyCode, std::int16_t shift) {
    if (!plain(shift)) return false;
    std::int16_t asList = keyCode;
    if (keyCode == vbKeyLeft) asList = vbKeyUp;
    else if (keyCode == vbKeyRight) asList = vbKeyDown;
    else if (keyCode != vbKeyHome && keyCode != vbKeyEnd) return false;
    const std::int32_t target = listTarget(asList, m_selected + 1, itemCount());
    if (target > 0) setSelectedItem(target - 1);
    return true;
}

}  // namespace tavixTGCL2
