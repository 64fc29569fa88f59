#pragma once
// Runs the controls' event loop on Qt's: one single-shot QTimer is armed
// for the moment the loop next has work (a timer due or work posted) and
// runs processPending() then, so control timers tick and browser loads
// finish while the host sits in QApplication::exec(). The other way round,
// the loop's bounded waits ("let pending events run") process Qt's events
// through processToolkitEvents, still bounded by their timeouts.
#include <QTimer>

#include "platform/EventLoop.h"

namespace tavixTGCL2::qt {

class QtLoopDriver final : public LoopDriver {
public:
    explicit QtLoopDriver(EventLoop& loop = EventLoop::current());
    ~QtLoopDriver() override;
    QtLoopDriver(const QtLoopDriver&) = delete;
    QtLoopDriver& operator=(const QtLoopDriver&) = delete;

    void processToolkitEvents(int maxWaitMs) override;
    void scheduleChanged() override;

    EventLoop& loop() const { return m_loop; }

private:
    void pump();
    void arm();

    EventLoop& m_loop;
    QTimer m_timer;
    // Set while the loop runs from the timer or processes Qt events for a
    // wait: the timer then does not run the loop a second time inside itself.
    int m_depth = 0;
};

}  // namespace tavixTGCL2::qt
