#pragma once
// The Qt side of one control: a widget that follows the control's state,
// and the knowledge of which of the widget's own signals are operator
// input. The mirror makes one per control (QtPeers.cpp picks the kind) and
// feeds it the changes the control reports.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string_view>

#include "platform/Control.h"

namespace tavixTGCL2::qt {

class QtMirror;

class QtPeer {
public:
    QtPeer(QtMirror& mirror, Control& control, QWidget* widget);
    virtual ~QtPeer();
    QtPeer(const QtPeer&) = delete;
    QtPeer& operator=(const QtPeer&) = delete;

    // The control, or nullptr once it is being destroyed or the peer is
    // being taken down.
    Control* control() const;
    bool alive() const { return control() != nullptr; }
    QWidget* widget() const { return m_widget.data(); }
    QtMirror& mirror() const { return m_mirror; }

    // Applies one reported change ("Geometry", "Visible", "Caption"...).
    void apply(Change what);
    // Applies everything, as for a new peer.
    void applyAll();
    // Whether the widget turns presses into clicks itself (a button): the
    // mirror then leaves Click to the widget's signal.
    virtual bool reportsClicks() const { return false; }
    // Whether the widget takes the keyboard for itself (a text box).
    virtual bool ownsKeys() const { return false; }
    // Deferred work (command bars lay out after a batch); the mirror calls
    // this when it flushes.
    virtual void flush() {}
    // Where the widgets of child controls go.
    virtual QWidget* childParent() const { return widget(); }
    // An embedded root sits at its container's top-left whatever the
    // control's own position (a form's is its place on the screen).
    bool embedded() const { return m_embedded; }
    void setEmbedded(bool on) { m_embedded = on; }
    // The mirror stops routing the widget's events to this peer before it
    // is destroyed; from then on control() is nullptr for its handlers too.
    void detach() { m_detached = true; }

protected:
    // What a kind of peer shows beyond the common properties.
    virtual void applyCaption() {}
    virtual void applyColors();
    virtual void applyFont();
    virtual void applyOther(Change what);
    // A guard for the peer's own signals while it writes into its widget.
    bool syncing() const { return m_syncing > 0; }
    struct Syncing {
        QtPeer& p;
        explicit Syncing(QtPeer& peer) : p(peer) { ++p.m_syncing; }
        ~Syncing() { --p.m_syncing; }
    };

private:
    void applyGeometry();
    void applyFocusPolicy();

    QtMirror& m_mirror;
    std::weak_ptr<Control> m_weak;
    Control* m_raw;
    bool m_watched = false;
    bool m_embedded = false;
    bool m_detached = false;
    QPointer<QWidget> m_widget;
    int m_syncing = 0;
};

// Makes the peer of the control's kind with its widget under parent.
std::unique_ptr<QtPeer> makePeer(QtMirror& mirror, Control& control, QWidget* parent);

}  // namespace tavixTGCL2::qt
