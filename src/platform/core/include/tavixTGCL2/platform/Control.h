#pragma once
// The retained control tree: every control of the library is a Control with
// a parent, ordered children (order is z-order, last in front) and geometry
// kept in twips. Left/Top/Width/Height read and write in the parent's scale
// units, ScaleWidth/ScaleHeight in the control's own, as a host expects.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/Event.h>
// The font of a control is the one the drawing code measures and draws
// with, so a label's font can be handed to a device context as it is.
#include <tavixTGCL2/platform/Font.h>
#include <tavixTGCL2/platform/PropertyBag.h>
#include <tavixTGCL2/platform/Units.h>
#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

using OleColor = std::uint32_t;

// Mouse button and shift masks as controls report them in mouse events.
enum MouseButton : std::int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftMask : std::int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

class Control;

// What changed about a control, as its observer (a toolkit backend) is told.
// Most name the property whose new value is to be shown; the others:
// Focus (the control lost or got the focus: hasFocus() tells which),
// TabOrder (CanGetFocus, TabStop or TabIndex), ZOrder (its place among its
// siblings), UpdateLocked/UpdateUnlocked (painting waits while a control
// rearranges many children), Redraw/Repaint (drawn content), All (nothing in
// particular: show everything again; never sent by a control).
enum class Change : std::uint8_t {
    All,
    Alignment,
    AutoRedraw,
    AutoSize,
    BackColor,
    BackStyle,
    Border,
    BorderColor,
    BorderStyle,
    Caption,
    Colors,
    Columns,
    Content,
    Controls,
    Document,
    Enabled,
    FillColor,
    FillStyle,
    Focus,
    Font,
    ForeColor,
    Geometry,
    Image,
    Items,
    Line,
    List,
    ListIndex,
    ListItems,
    Locked,
    MaskColor,
    MaskPicture,
    MouseIcon,
    MousePointer,
    Options,
    Picture,
    Position,
    ReadOnly,
    Redraw,
    Repaint,
    SelectedItem,
    Shape,
    SmallIcons,
    TabOrder,
    Text,
    Theme,
    ToolTipText,
    TopMost,
    UpdateLocked,
    UpdateUnlocked,
    Value,
    View,
    Visible,
    WordWrap,
    ZOrder,
    Zoom,
};

// Lets a toolkit backend follow the tree as it changes. The headless build
// has no observer and pays one branch per change.
class TGCL_API ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void controlAdded(Control& parent, Control& child) = 0;
    virtual void controlRemoved(Control& parent, Control& child) = 0;
    // Change::Focus comes for the control that lost the focus, then for the
    // one that got it.
    virtual void controlChanged(Control& c, Change what) = 0;
    // The control is being destroyed (its own parts already are): only its
    // identity is left, so an observer drops what it keeps for it and never
    // reads it again. Children that die with it are reported after it.
    virtual void controlDestroyed(const Control&) {}
};

class TGCL_API Control : public Object, public std::enable_shared_from_this<Control> {
public:
    explicit Control(std::string className, std::string name = {});
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return m_name; }
    void setName(std::string n) { m_name = std::move(n); }
    const std::string& ClassName() const { return m_className; }
    // A process-unique number standing in for a window handle.
    std::int32_t hWnd() const { return m_hWnd; }
    Variant Tag;

    // --- tree -----------------------------------------------------------
    Control* Parent() const { return m_parent; }
    Control* root();
    const std::vector<std::shared_ptr<Control>>& Children() const { return m_children; }
    // Adds child in front of its siblings. A child that has a parent is
    // moved; adding an ancestor of this control throws.
    template <class T>
    std::shared_ptr<T> add(std::shared_ptr<T> child) {
        addChild(child);
        return child;
    }
    template <class T, class... A>
    std::shared_ptr<T> create(A&&... args) {
        return add(std::make_shared<T>(std::forward<A>(args)...));
    }
    void remove(Control& child);
    void removeAll();
    // Depth-first search by name (case-sensitive), this control included.
    Control* find(const std::string& name);
    std::shared_ptr<Control> sharedChild(const Control* c) const;

    // --- geometry, in the parent's units ---------------------------------
    std::int32_t Left() const;
    std::int32_t Top() const;
    std::int32_t Width() const;
    std::int32_t Height() const;
    void setLeft(std::int32_t v);
    void setTop(std::int32_t v);
    void setWidth(std::int32_t v);   // negative throws Error(errInvalidProperty)
    void setHeight(std::int32_t v);  // negative throws Error(errInvalidProperty)
    // Moves and sizes at once; a negative width or height throws and leaves
    // the control where it was (callers rely on the failure).
    void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    void Move(std::int32_t left, std::int32_t top);
    // Twips, whatever the units.
    std::int32_t leftTwips() const { return m_left; }
    std::int32_t topTwips() const { return m_top; }
    std::int32_t widthTwips() const { return m_width; }
    std::int32_t heightTwips() const { return m_height; }
    void moveTwips(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h);

    // Units this control's children and ScaleWidth/ScaleHeight use.
    ScaleMode scaleMode() const { return m_scaleMode; }
    void setScaleMode(ScaleMode m);
    ScaleMode parentScaleMode() const;
    // Border thickness in pixels on each side (0 none, 1 flat, 2 3-D).
    std::int32_t borderPixels() const { return m_borderPixels; }
    void setBorderPixels(std::int32_t px);
    std::int32_t ScaleWidth() const;
    std::int32_t ScaleHeight() const;

    // --- state ---------------------------------------------------------
    bool Visible() const { return m_visible; }
    void setVisible(bool v);
    // Visible and every ancestor visible.
    bool isShown() const;
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool v);
    const std::string& ToolTipText() const { return m_toolTip; }
    void setToolTipText(std::string s);
    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string s);
    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor c);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor c);
    const Font& font() const { return m_font; }
    void setFont(const Font& f);
    // 0 brings to the front of its siblings, 1 sends to the back.
    void ZOrder(std::int32_t position = 0);
    // Index among siblings, 0 = backmost.
    std::int32_t zIndex() const;

    // --- focus (docs/accessibility.md) -------------------------------------
    // The window (the top control of the tree, a Form or not) keeps one
    // focused control. Only kinds the operator types into or operates
    // take focus at all (CanGetFocus); Tab reaches those with TabStop.
    bool CanGetFocus() const { return m_canGetFocus; }
    void setCanGetFocus(bool v);
    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool v);
    // Tab order among siblings: TabIndex, then z-order. A control added
    // without one gets the next number of its new container.
    std::int16_t TabIndex() const { return m_tabIndex; }
    void setTabIndex(std::int16_t v);  // negative throws Error(errInvalidProperty)
    // CanGetFocus, shown, and neither it nor a container disabled.
    bool isFocusable() const;
    bool hasFocus() const;
    // The focused control of this control's window; nullptr when none.
    Control* ActiveControl() const;
    // Gives this control the focus: LostFocus on the old one, then
    // GotFocus here. False, and nothing changes, when it cannot take it.
    bool SetFocus();
    // Tab (forward) or Shift+Tab: the next control of the window in tab
    // order that can take focus, wrapping round. False when there is none.
    bool moveFocus(bool forward = true);
    // The controls of this control's window in the order Tab visits them,
    // whether or not each can take the focus right now (a toolkit mirrors
    // the order into its own widgets).
    std::vector<Control*> tabOrder() const;

    // --- keyboard -------------------------------------------------------
    // The operator presses a key in this control's window. The focused
    // control has it first (KeyDown, then what the control does with it);
    // then Tab and Shift+Tab move the focus, Ctrl+Tab turns the page of a
    // tab control, Shift+F10 and the menu key open the focused control's
    // context menu, and last the window's key bindings (command bars) get
    // it. shift is a ShiftMask sum. Returns whether anything used the key.
    bool sendKeyDown(std::int16_t keyCode, std::int16_t shift = 0);
    // A typed character: to the focused control, or to the window itself
    // when nothing has the focus (KeyPress).
    void sendKeyPress(std::int16_t keyAscii);
    // The key reaches this control: KeyDown (a handler that sets the code
    // to 0 takes the key), then the control's own handling. Only on an
    // enabled control. Returns whether the key was used.
    bool doKeyDown(std::int16_t keyCode, std::int16_t shift = 0);
    // The operator asks for this control's context menu from the keyboard:
    // raises ContextMenuRequested at the control's centre, in its own units.
    virtual void doContextMenu();

    // Ambient run mode of the container (False while a form is designed).
    bool ambientUserMode() const;
    void setUserMode(bool runMode) { m_userMode = runMode; }

    // Design-time property store handed over by the container when the
    // control is sited; the control reads and writes its persisted
    // properties there.
    PropertyBag& propertyBag() { return m_bag; }
    void PropertyChanged(const std::string& key) { PropertyChangedEvent(key); }

    // --- events common to all controls -----------------------------------
    Event<> Resize;
    Event<> Click;
    Event<> DblClick;
    Event<std::int16_t&> KeyPress;
    Event<std::int16_t&, std::int16_t> KeyDown;
    Event<std::int16_t, std::int16_t, float, float> MouseDown;
    Event<std::int16_t, std::int16_t, float, float> MouseMove;
    Event<std::int16_t, std::int16_t, float, float> MouseUp;
    Event<const std::string&> PropertyChangedEvent;
    // Generic events of controls created at run time by class name: the
    // event's name and its arguments, by reference.
    Event<const std::string&, VariantList&> ObjectEvent;
    Event<> GotFocus;
    Event<> LostFocus;
    // Raised by doContextMenu: where the menu belongs, in the control's own
    // units. A right mouse button still comes as MouseDown.
    Event<float, float> ContextMenuRequested;

    // Input as the operator gives it; a toolkit backend or a test calls
    // these, and they raise the events above (only on an enabled control).
    virtual void doClick();
    virtual void doMouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void doMouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void doMouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void doKeyPress(std::int16_t keyAscii);

    // Late binding: the members every control has (see members() in
    // Control.cpp), "Move", "ZOrder", "Visible", "Left" and the like.
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

    static void setObserver(ControlObserver* o) { s_observer = o; }
    static ControlObserver* observer() { return s_observer; }

protected:
    void changed(Change what);
    // Called after the size changed, before Resize is raised.
    virtual void onResize() {}
    // What the control does with a key that reaches it while it has the
    // focus, after KeyDown; returns whether it used the key.
    virtual bool onKeyDown(std::int16_t /*keyCode*/, std::int16_t /*shift*/) { return false; }
    // A key nothing focused used, offered to every shown, enabled control
    // of the window in tree order (key bindings); returns whether it was
    // taken.
    virtual bool onAccelerator(std::int16_t /*keyCode*/, std::int16_t /*shift*/) { return false; }

private:
    friend struct MemberTables;
    static const MemberTable<Control>& members();

    void addChild(std::shared_ptr<Control> child);
    void applyGeometry(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h);
    // Focus held inside this control moves on when it is hidden, disabled
    // or taken out of its window, so the window never keeps focus on a
    // control the operator cannot reach.
    void focusLeaving(bool removed);
    // On the window's top control: moves the focus and tells everyone.
    void focusTo(Control* next);

    std::string m_className;
    std::string m_name;
    std::int32_t m_hWnd;
    Control* m_parent = nullptr;
    std::vector<std::shared_ptr<Control>> m_children;
    std::int32_t m_left = 0, m_top = 0, m_width = 0, m_height = 0;  // twips
    ScaleMode m_scaleMode = ScaleMode::Twips;
    std::int32_t m_borderPixels = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_userMode = true;
    std::string m_toolTip;
    std::string m_caption;
    OleColor m_backColor = 0x8000000F;  // button face
    OleColor m_foreColor = 0x80000012;  // button text
    Font m_font{.name = "MS Sans Serif", .size = 8.25};
    PropertyBag m_bag;
    bool m_canGetFocus = false;
    bool m_tabStop = true;
    bool m_tabIndexSet = false;
    std::int16_t m_tabIndex = 0;
    Control* m_focus = nullptr;  // kept by the top control of a window only
    static inline ControlObserver* s_observer = nullptr;
};

// Creation of controls by class name ("tavixTGCL2.XPaneComment"), as a
// container does for controls added at run time.
class TGCL_API ControlFactory {
public:
    using Maker = std::function<std::shared_ptr<Control>()>;
    static void registerClass(const std::string& className, Maker make);
    static bool isRegistered(const std::string& className);
    // Throws Error when the class is unknown.
    static std::shared_ptr<Control> create(const std::string& className);
};

// Holds a window's redraw while a control rearranges many children, as the
// host platform's window-update lock does; a toolkit backend defers painting
// while it is held. Nested locks are counted.
class TGCL_API WindowUpdateLock {
public:
    explicit WindowUpdateLock(Control* c);
    ~WindowUpdateLock();
    WindowUpdateLock(const WindowUpdateLock&) = delete;
    WindowUpdateLock& operator=(const WindowUpdateLock&) = delete;
    static bool held() { return s_depth > 0; }

private:
    Control* m_control;
    static inline int s_depth = 0;
};

}  // namespace tavixTGCL2
