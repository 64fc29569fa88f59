#pragma once
// Follows the controls' retained tree with Qt widgets. Installed as the
// tree's observer, it keeps one peer per mirrored control (a control is
// mirrored once a window was opened on it or on an ancestor) and applies
// each change the controls report. Operator input on the widgets comes back
// as the controls' own input calls (doMouseDown, doClick, doKeyPress...),
// in the units the controls use, through one event filter.
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

class QtPeer;
class QtPresenter;

class TGCL_API QtMirror final : public QObject, public ControlObserver {
public:
    QtMirror();
    ~QtMirror() override;

    // A top-level window showing root and everything inside it, sized to
    // the control. Opening a root twice gives the same window.
    QWidget* openWindow(const std::shared_ptr<Control>& root);
    // Removes the window and the peers of the subtree.
    void closeWindow(const Control& root);
    // A form's window; opens it when asked and not mirrored yet.
    QWidget* windowFor(Form& form, bool open = true);
    QWidget* widgetFor(const Control& c) const;
    QtPeer* peerFor(const Control& c) const;
    std::size_t peerCount() const { return m_peers.size(); }

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
    void controlChanged(Control& c, const char* what) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtPeer* createTree(Control& c, QWidget* parentWidget);
    void destroyTree(const Control& c);
    void restack(const Control& parent);
    void dropDeadPeers();
    bool mouseEvent(QtPeer& peer, QEvent* event);
    bool keyEvent(QtPeer& peer, QEvent* event);

    std::unordered_map<const Control*, std::unique_ptr<QtPeer>> m_peers;
    std::unordered_map<const QObject*, QtPeer*> m_byWidget;
    std::vector<const Control*> m_roots;
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
};

}  // namespace tavixTGCL2::qt
