#pragma once
// The primitive controls of the container that the library's controls are
// built from. Each keeps its state as plain members; a toolkit backend maps
// them onto its natural widgets.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/EventLoop.h>
#include <tavixTGCL2/platform/Picture.h>

namespace tavixTGCL2 {

class TGCL_API Label : public Control {
public:
    explicit Label(std::string name = {}) : Control("Label", std::move(name)) { setBackColor(0x8000000F); }
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool v);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool v);
    // 0 left, 1 right, 2 centre.
    std::int32_t Alignment() const { return m_alignment; }
    void setAlignment(std::int32_t v);
    bool BackStyleTransparent() const { return m_transparent; }
    void setBackStyleTransparent(bool v);

private:
    bool m_autoSize = false;
    bool m_wordWrap = false;
    std::int32_t m_alignment = 0;
    bool m_transparent = false;
};

class TGCL_API TextBox : public Control {
public:
    explicit TextBox(std::string name = {}) : Control("TextBox", std::move(name)) {
        setBackColor(0x80000005);
        setCanGetFocus(true);
    }
    const std::string& Text() const { return m_text; }
    // Raises Change when the text differs.
    void setText(std::string t);
    bool Locked() const { return m_locked; }
    void setLocked(bool v);
    bool MultiLine() const { return m_multiLine; }
    void setMultiLine(bool v) { m_multiLine = v; }
    // What the operator types: refused while locked or disabled.
    bool typeText(std::string t);
    Event<> Change;

private:
    std::string m_text;
    bool m_locked = false;
    bool m_multiLine = false;
};

class TGCL_API Shape : public Control {
public:
    explicit Shape(std::string name = {}) : Control("Shape", std::move(name)) {}
    // 0 rectangle, 1 square, 2 oval, 3 circle, 4 rounded rectangle.
    std::int32_t ShapeKind() const { return m_shape; }
    void setShapeKind(std::int32_t v);
    OleColor FillColor() const { return m_fillColor; }
    void setFillColor(OleColor c);
    bool FillSolid() const { return m_fillSolid; }
    void setFillSolid(bool v);
    OleColor BorderColor() const { return m_borderColor; }
    void setBorderColor(OleColor c);
    bool BorderVisible() const { return m_borderVisible; }
    void setBorderVisible(bool v);

private:
    std::int32_t m_shape = 0;
    OleColor m_fillColor = 0;
    bool m_fillSolid = false;
    OleColor m_borderColor = 0x80000008;
    bool m_borderVisible = true;
};

// A repeating timer as a control: ticks on the event loop every Interval ms
// while Enabled and Interval > 0.
class TGCL_API Timer : public Control {
public:
    explicit Timer(std::string name = {}) : Control("Timer", std::move(name)) { setVisible(false); }
    ~Timer() override;
    std::int32_t Interval() const { return m_interval; }
    void setInterval(std::int32_t ms);
    bool TimerEnabled() const { return m_on; }
    void setTimerEnabled(bool on);
    Event<> Tick;

private:
    void restart();
    std::int32_t m_interval = 0;
    bool m_on = true;
    TimerId m_id = 0;
};

class TGCL_API CommandButton : public Control {
public:
    explicit CommandButton(std::string name = {}) : Control("CommandButton", std::move(name)) { setCanGetFocus(true); }
    bool Default() const { return m_default; }
    void setDefault(bool v) { m_default = v; }
    bool Cancel() const { return m_cancel; }
    void setCancel(bool v) { m_cancel = v; }

protected:
    // Space presses the focused button.
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    bool m_default = false;
    bool m_cancel = false;
};

// Option buttons in one container form a group: setting one clears the rest.
// Tab reaches a group once, at its selected button (the first in tab order
// while none is selected); the arrow keys move and select within it.
class TGCL_API OptionButton : public Control {
public:
    explicit OptionButton(std::string name = {}) : Control("OptionButton", std::move(name)) { setCanGetFocus(true); }
    bool Value() const { return m_value; }
    // Setting True clears the siblings and raises Click, as an operator's
    // choice does; setting False raises nothing.
    void setValue(bool v);
    void doClick() override;
    // Whether Tab stops here, by the group rule above (and TabStop).
    bool isGroupTabStop() const;

protected:
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    bool m_value = false;
};

class TGCL_API CheckBox : public Control {
public:
    explicit CheckBox(std::string name = {}) : Control("CheckBox", std::move(name)) { setCanGetFocus(true); }
    // 0 unchecked, 1 checked, 2 greyed. Any change raises Click.
    std::int32_t Value() const { return m_value; }
    void setValue(std::int32_t v);
    void doClick() override;

protected:
    // Space toggles, as a click does.
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    std::int32_t m_value = 0;
};

class TGCL_API ComboBox : public Control {
public:
    explicit ComboBox(std::string name = {}) : Control("ComboBox", std::move(name)) {
        setBackColor(0x80000005);
        setCanGetFocus(true);
    }
    void AddItem(std::string item, std::int32_t index = -1);
    void RemoveItem(std::int32_t index);
    void Clear();
    std::int32_t ListCount() const { return static_cast<std::int32_t>(m_items.size()); }
    const std::string& List(std::int32_t index) const;  // throws errSubscript
    std::int32_t ItemData(std::int32_t index) const;
    void setItemData(std::int32_t index, std::int32_t data);
    // -1 = nothing selected. Changing it raises Click.
    std::int32_t ListIndex() const { return m_listIndex; }
    void setListIndex(std::int32_t i);  // out of range throws errInvalidProperty
    std::string Text() const;
    Event<> Change;

protected:
    // Up, Down, Home and End choose an entry (raising Click).
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    std::vector<std::string> m_items;
    std::vector<std::int32_t> m_itemData;
    std::int32_t m_listIndex = -1;
};

struct TGCL_API ListItem {
    std::string Text;
    std::string Key;
    std::string Icon;       // key in the list view's image list
    std::string SmallIcon;  // key in the list view's small image list
    Variant Tag;
    bool Ghosted = false;
};

// A report/icon list with a single selection, as the dialogs use it.
class TGCL_API ListView : public Control {
public:
    explicit ListView(std::string name = {}) : Control("ListView", std::move(name)) {
        setBackColor(0x80000005);
        setCanGetFocus(true);
    }
    // index is 1-based as the host's list items are; 0 or beyond the end appends.
    std::int32_t addItem(ListItem item, std::int32_t index = 0);
    void removeItem(std::int32_t index);  // 1-based; throws errSubscript
    void clear();
    std::int32_t count() const { return static_cast<std::int32_t>(m_items.size()); }
    ListItem& item(std::int32_t index);  // 1-based; throws errSubscript
    const ListItem& item(std::int32_t index) const;
    // 0 when nothing is selected.
    std::int32_t selectedIndex() const { return m_selected; }
    // Selects without raising ItemClick (a program's selection).
    void setSelectedIndex(std::int32_t index);
    // The operator clicks an item: selects it and raises ItemClick.
    void clickItem(std::int32_t index);
    void ensureVisible(std::int32_t index) { m_topIndex = index; }
    // 0 icon, 1 small icon, 2 list, 3 report.
    std::int32_t View() const { return m_view; }
    void setView(std::int32_t v) { m_view = v; changed(Change::View); }
    std::int32_t topIndex() const { return m_topIndex; }

    // Report columns, 1-based; widths in the list's parent units.
    std::int32_t addColumn(std::string text, std::int32_t width);
    std::int32_t columnCount() const { return static_cast<std::int32_t>(m_columns.size()); }
    const std::string& columnText(std::int32_t index) const;  // throws errSubscript
    std::int32_t columnWidth(std::int32_t index) const;       // throws errSubscript
    // A negative width throws errInvalidProperty.
    void setColumnWidth(std::int32_t index, std::int32_t width);

    // The small image list: the pictures that ListItem::SmallIcon names.
    using ImageList = std::map<std::string, PicturePtr>;
    const ImageList& SmallIcons() const { return m_smallIcons; }
    void setSmallIcons(ImageList icons);
    // The picture an item shows; nullptr when it names none or a key the
    // image list lacks.
    PicturePtr smallIconOf(std::int32_t index) const;  // 1-based; throws errSubscript

    Event<std::int32_t> ItemClick;

protected:
    // Up, Down, Home and End select an item as a click on it does.
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    struct Column {
        std::string text;
        std::int32_t width;
    };
    std::vector<ListItem> m_items;
    std::vector<Column> m_columns;
    ImageList m_smallIcons;
    std::int32_t m_selected = 0;
    std::int32_t m_view = 0;
    std::int32_t m_topIndex = 1;
};

// A tab control: captions only; the pages are ordinary child containers the
// owner shows and hides on SelectedChanged.
class TGCL_API TabControl : public Control {
public:
    explicit TabControl(std::string name = {}) : Control("TabControl", std::move(name)) { setCanGetFocus(true); }
    std::int32_t insertItem(std::int32_t index, std::string caption);
    std::int32_t itemCount() const { return static_cast<std::int32_t>(m_captions.size()); }
    const std::string& itemCaption(std::int32_t index) const;  // 0-based; throws errSubscript
    void setItemCaption(std::int32_t index, std::string caption);
    std::int32_t selectedItem() const { return m_selected; }
    // Raises SelectedChanged when the selection moves.
    void setSelectedItem(std::int32_t index);
    Event<std::int32_t> SelectedChanged;

protected:
    // Left, Right, Home and End turn the page while the tabs have the focus
    // (Ctrl+Tab turns it from anywhere in the window).
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    std::vector<std::string> m_captions;
    std::int32_t m_selected = -1;
};

}  // namespace tavixTGCL2
