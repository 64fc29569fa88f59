#pragma once
// The embedded browser's page shown by a real engine. The browser control
// of the core stays the one the controls talk to (navigation, history,
// events, the document they write into); this peer renders its current
// document in a QWebEngineView and follows every change of it, and links
// the operator clicks in the page go back to the control's Navigate2, so
// failures, history and events are the control's own. Built without Qt
// WebEngine, a QTextBrowser shows the document instead.
#include <QString>
#include <QVariant>

#include "QtPeer.h"

namespace tavixTGCL2::qt {

class QtBrowserPeer : public QtPeer {
public:
    using QtPeer::QtPeer;
    // The engine takes the mouse and the keyboard itself.
    bool reportsClicks() const override { return true; }
    bool ownsKeys() const override { return true; }
    // Waits (bounded) until the engine shows the control's current document.
    virtual bool waitShown(int timeoutMs) = 0;
    // How many documents the engine has finished showing; a picture needs
    // the engine's frame only to settle after this changes.
    virtual int documentsShown() const = 0;
    // What documentsShown() was when the last picture was taken.
    int settledAt = -1;
    // Runs script in the shown page and returns its result; an invalid
    // QVariant when the engine cannot run script or the wait timed out.
    virtual QVariant evaluate(const QString& script, int timeoutMs) = 0;
    // The zoom factor the engine shows for the control's text zoom level.
    static double zoomFactor(int level);
};

}  // namespace tavixTGCL2::qt
