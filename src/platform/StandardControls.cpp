#include "platform/StandardControls.h"

#include "platform/Error.h"

namespace tavixTGCL2 {

void Label::setAutoSize(bool v) { m_autoSize = v; changed("AutoSize"); }
void Label::setWordWrap(bool v) { m_wordWrap = v; changed("WordWrap"); }
void Label::setAlignment(std::int32_t v) { m_alignment = v; changed("Alignment"); }
void Label::setBackStyleTransparent(bool v) { m_transparent = v; changed("BackStyle"); }

void TextBox::setText(std::string t) {
    if (t == m_text) return;
    m_text = std::move(t);
    changed("Text");
    Change();
}

void TextBox::setLocked(bool v) { m_locked = v; changed("Locked"); }

bool TextBox::typeText(std::string t) {
    if (m_locked || !Enabled()) return false;
    setText(std::move(t));
    return true;
}

void Shape::setShapeKind(std::int32_t v) { m_shape = v; changed("Shape"); }
void Shape::setFillColor(OleColor c) { m_fillColor = c; changed("FillColor"); }
void Shape::setFillSolid(bool v) { m_fillSolid = v; changed("FillStyle"); }
void Shape::setBorderColor(OleColor c) { m_borderColor = c; changed("BorderColor"); }
void Shape::setBorderVisible(bool v) { m_borderVisible = v; changed("BorderStyle"); }

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
    changed("Value");
    if (!v) return;
    if (Control* p = Parent())
        for (auto& c : p->Children())
            if (auto* o = dynamic_cast<OptionButton*>(c.get()); o && o != this && o->m_value) {
                o->m_value = false;
                o->changed("Value");
            }
    Click();
}

void OptionButton::doClick() {
    if (!Enabled()) return;
    if (m_value) Click();
    else setValue(true);
}

void CheckBox::setValue(std::int32_t v) {
    if (v < 0 || v > 2) throw Error(errInvalidProperty, "Invalid property value: Value");
    if (v == m_value) return;
    m_value = v;
    changed("Value");
    Click();
}

void CheckBox::doClick() {
    if (Enabled()) setValue(m_value == 1 ? 0 : 1);
}

void ComboBox::AddItem(std::string item, std::int32_t index) {
    if (index < 0 || index > ListCount()) index = ListCount();
    m_items.insert(m_items.begin() + index, std::move(item));
    m_itemData.insert(m_itemData.begin() + index, 0);
    if (m_listIndex >= index) ++m_listIndex;
    changed("List");
}

void ComboBox::RemoveItem(std::int32_t index) {
    if (index < 0 || index >= ListCount()) throw Error(errSubscript, "Invalid list index");
    m_items.erase(m_items.begin() + index);
    m_itemData.erase(m_itemData.begin() + index);
    if (m_listIndex == index) m_listIndex = -1;
    else if (m_listIndex > index) --m_listIndex;
    changed("List");
}

void ComboBox::Clear() {
    m_items.clear();
    m_itemData.clear();
    m_listIndex = -1;
    changed("List");
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
    changed("ListIndex");
    Click();
}

std::string ComboBox::Text() const { return m_listIndex >= 0 ? m_items[m_listIndex] : std::string(); }

std::int32_t ListView::addItem(ListItem item, std::int32_t index) {
    if (index < 1 || index > count()) index = count() + 1;
    m_items.insert(m_items.begin() + (index - 1), std::move(item));
    if (m_selected >= index) ++m_selected;
    changed("ListItems");
    return index;
}

void ListView::removeItem(std::int32_t index) {
    if (index < 1 || index > count()) throw Error(errSubscript, "Index out of bounds");
    m_items.erase(m_items.begin() + (index - 1));
    if (m_selected == index) m_selected = 0;
    else if (m_selected > index) --m_selected;
    changed("ListItems");
}

void ListView::clear() {
    m_items.clear();
    m_selected = 0;
    changed("ListItems");
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
    changed("SelectedItem");
}

void ListView::clickItem(std::int32_t index) {
    if (!Enabled()) return;
    setSelectedIndex(index);
    if (index > 0) ItemClick(index);
}

std::int32_t ListView::addColumn(std::string text, std::int32_t width) {
    if (width < 0) throw Error(errInvalidProperty, "Invalid property value: Width");
    m_columns.push_back({std::move(text), width});
    changed("Columns");
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
    changed("Columns");
}

void ListView::setSmallIcons(ImageList icons) {
    m_smallIcons = std::move(icons);
    changed("SmallIcons");
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
    changed("Items");
    return index;
}

const std::string& TabControl::itemCaption(std::int32_t index) const {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    return m_captions[index];
}

void TabControl::setItemCaption(std::int32_t index, std::string caption) {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    m_captions[index] = std::move(caption);
    changed("Items");
}

void TabControl::setSelectedItem(std::int32_t index) {
    if (index < 0 || index >= itemCount()) throw Error(errSubscript, "Index out of bounds");
    if (index == m_selected) return;
    m_selected = index;
    changed("SelectedItem");
    SelectedChanged(index);
}

}  // namespace tavixTGCL2
