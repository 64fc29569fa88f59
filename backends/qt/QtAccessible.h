#pragma once
// What assistive technology learns of the controls through Qt's
// accessibility layer (AT-SPI on Linux). Natural widgets describe
// themselves; the drawn ones (tab strip and tabs, splitter bar, status bar,
// progress bar, the run toolbar's panel) get interfaces of their own from a
// factory that reads the controls, and the notifier raises the events a
// screen reader needs when what they show changes.
#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "platform/Control.h"

class QWidget;

namespace tavixTGCL2 {
class XMsnSplit;
class XStatusBar;
class XTab;
class XTabStrip;
}  // namespace tavixTGCL2

namespace tavixTGCL2::qt {

class QtMirror;

// The factory answers for this mirror's widgets from now on; nullptr makes
// it answer for nothing. Installed with Qt once per process.
void serveAccessibility(QtMirror* mirror);

// Objects the factory serves (painted widgets, progress elements) say so
// when they are made and destroyed: the factory is asked about every
// object, some of them from libraries built without type information, so
// it casts none it does not know.
void setDrawnObject(QObject* o, bool drawn);

// The status bar draws its progress bar on its own surface: this object,
// a child of the status bar's widget, stands for it.
class ProgressElement : public QObject {
public:
    explicit ProgressElement(QObject* parent) : QObject(parent) { setDrawnObject(this, true); }
    ~ProgressElement() override { setDrawnObject(this, false); }
};
// The status bar's progress element, made when first asked for.
ProgressElement* progressElementOf(QWidget& statusBarWidget);

// Tells assistive technology that the states set in `changed` (checked,
// selected...) changed on o, where it listens; Qt's own widgets raise
// this themselves except where they clear a state silently.
void announceStateChange(QObject* o, QAccessible::State changed);

// The words for a result-view layout (ETgResultViewState), as the splitter
// bar reports it.
QString resultViewStateText(std::int32_t state);

class AccessNotifier {
public:
    // Value changes of one progress bar are announced at most this often;
    // the last one always is, when the interval is over.
    static constexpr int kValueIntervalMs = 250;

    explicit AccessNotifier(QtMirror& mirror);
    ~AccessNotifier();
    AccessNotifier(const AccessNotifier&) = delete;
    AccessNotifier& operator=(const AccessNotifier&) = delete;

    // A control reported a change: whatever of it (or of the drawn control
    // it belongs to) assistive technology shows is compared with what it
    // was last told.
    void changed(Control& c, Change what);
    void focusChanged(Control& c);
    // The control's peer goes; nothing is kept for it.
    void forget(const Control* c, QWidget* widget);

private:
    struct Seen {
        QString name;
        QString description;
        bool selected = false;
        bool known = false;
    };
    struct ValueFeed {
        QPointer<QObject> target;
        QTimer timer;
        int sent = 0;
        int pending = 0;
        bool hasPending = false;
    };
    void syncStatusBar(XStatusBar& bar);
    void syncTab(XTab& tab, XTabStrip* strip);
    void syncSplitter(XMsnSplit& split);
    void feedValue(QObject* target, int value);
    void sendValue(ValueFeed& feed);

    QtMirror& m_mirror;
    std::unordered_map<const Control*, Seen> m_seen;
    std::map<const QObject*, std::unique_ptr<ValueFeed>> m_feeds;
};

}  // namespace tavixTGCL2::qt
