#pragma once
// Follows the controls' retained tree with Qt widgets. Installed as the
// tree's observer, it keeps one peer per mirrored control (a control is
// mirrored once a window was opened on it or on an ancestor, or it was
// embedded in a host's widget) and applies each change the controls report.
// Operator input on the widgets comes back as the controls' own input calls
// (doMouseDown, doClick, doKeyPress...), in the units the controls use,
// through one event filter.
//
// Lifetimes: the mirror owns the peers and their widgets, never a control.
// It learns of a control's destruction from the tree (controlDestroyed) and
// takes the peers of its subtree down from its own record of that subtree,
// so it never reads a control that may be gone. Any order of destroying
// controls, forms, host widgets and the mirror is therefore safe.
#include <tavixTGCL2/Export.h>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include <tavixTGCL2/platform/Control.h>

class QWidget;

namespace tavixTGCL2 {
class Form;
}

namespace tavixTGCL2::qt {

class AccessNotifier;
class QtPeer;
class QtPresenter;

class TGCL_API QtMirror final : public QObject, public ControlObserver {
public:
    QtMirror();
    ~QtMirror() override;

    // A top-level window showing root and everything inside it, sized to
    // the control. Opening a root twice gives the same window.
    QWidget* openWindow(const std::shared_ptr<Control>& root);
    // Shows root inside container instead of in a window of its own: its
    // widget becomes a child of container at the top-left, sized to the
    // control (the container sizes the control; QtControlHost does). A root
    // mirrored before moves there; a form that is not shown yet is shown.
    // nullptr (nothing done) for no control, no container, or a control
    // that has a parent.
    QWidget* embed(const std::shared_ptr<Control>& root, QWidget* container);
    // Removes the window (or the embedded widget) and the peers of the subtree.
    void closeWindow(const Control& root);
    // A form's window; opens it when asked and not mirrored yet.
    QWidget* windowFor(Form& form, bool open = true);
    QWidget* widgetFor(const Control& c) const;
    QtPeer* peerFor(const Control& c) const;
    // The peer whose widget this is; nullptr for any other object.
    QtPeer* peerForWidget(const QObject* widget) const;
    std::size_t peerCount() const { return m_nodes.size(); }
    // Whether root is shown inside a host's widget.
    bool isEmbedded(const Control& root) const;

    // Forms that become visible open their own window (default on).
    void setAutoOpenForms(bool on) { m_autoOpenForms = on; }

    // Changes that are applied after a batch (command bars) are applied now.
    void flush();
    void scheduleFlush(QtPeer* peer);

    // Peers that turn key bindings into shortcuts; bindings change without
    // a report, so they are looked at before Qt matches a shortcut.
    void addKeyOwner(QtPeer* p) { m_keyOwners.insert(p); }
    void removeKeyOwner(QtPeer* p) { m_keyOwners.erase(p); }

    void setPresenter(QtPresenter* p) { m_presenter = p; }
    QtPresenter* presenter() const { return m_presenter; }
    // Where the presenter puts the next menu: the operator's last press.
    void setMenuAnchor(QPoint global);

    // --- ControlObserver ---------------------------------------------------
    void controlAdded(Control& parent, Control& child) override;
    void controlRemoved(Control& parent, Control& child) override;
    void controlChanged(Control& c, Change what) override;
    void controlDestroyed(const Control& c) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One mirrored control, keyed by its address. The subtree is recorded
    // here as it was mirrored, so it can be taken down after the controls
    // themselves are gone.
    struct Node {
        std::unique_ptr<QtPeer> peer;
        const Control* parent = nullptr;  // nullptr: a window or an embedded root
        std::vector<const Control*> kids;
    };
    QtPeer* createTree(Control& c, QWidget* parentWidget, const Control* parentKey, bool embedded = false);
    void destroyTree(const Control* key);
    void detachTree(const Control* key, std::vector<std::unique_ptr<QtPeer>>& out);
    void restack(const Control& parent);
    void dropDeadPeers();
    bool mouseEvent(QtPeer& peer, QEvent* event);
    bool keyEvent(QtPeer& peer, QEvent* event);
    bool focusIn(QtPeer& peer);
    bool keyboardContextMenu(QtPeer& peer);
    void focusChanged(Control& c);
    // Puts the presenter's anchor at the focused control, where a menu
    // asked for from the keyboard belongs.
    void anchorAtFocus(Control& window);
    void scheduleTabOrder(Control& c);
    void applyTabOrder(const Control& window);

    std::unordered_map<const Control*, Node> m_nodes;
    std::unordered_map<const QObject*, QtPeer*> m_byWidget;
    std::set<QtPeer*> m_dirty;
    std::set<QtPeer*> m_keyOwners;
    // Watches the whole application for the moment before shortcuts match.
    class KeyWatch : public QObject {
    public:
        explicit KeyWatch(QtMirror& m) : m_mirror(m) {}
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        QtMirror& m_mirror;
    };
    KeyWatch m_keyWatch{*this};
    QTimer m_flushTimer;
    QtPresenter* m_presenter = nullptr;
    bool m_autoOpenForms = true;
    // The control a left press started on, so the release can make it a click.
    QPointer<QWidget> m_pressed;
    struct KeySeen {
        const QEvent* event = nullptr;
        unsigned long long timestamp = 0;
        int key = 0;
        friend bool operator==(const KeySeen&, const KeySeen&) = default;
    };
    KeySeen m_lastKey;
    // Set while the mirror itself moves Qt's focus, so the FocusIn that
    // follows is not reported back to the controls.
    bool m_movingFocus = false;
    // Windows whose Qt tab chain is to be brought in line with the controls'.
    std::set<const Control*> m_tabOrderDirty;
    std::unique_ptr<AccessNotifier> m_access;
};

}  // namespace tavixTGCL2::qt
