#include "QtLoopDriver.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>

namespace tavixTGCL2::qt {

QtLoopDriver::QtLoopDriver(EventLoop& loop) : m_loop(loop) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { pump(); });
    m_loop.setDriver(this);
    arm();
}

QtLoopDriver::~QtLoopDriver() { m_loop.setDriver(nullptr); }

void QtLoopDriver::scheduleChanged() { arm(); }

void QtLoopDriver::arm() {
    const std::int64_t wait = m_loop.msUntilNextWork();
    if (wait < 0) {
        m_timer.stop();
        return;
    }
    const int ms = static_cast<int>(std::min<std::int64_t>(wait, 24 * 3600 * 1000));
    // An earlier deadline replaces a later one; a later one never delays
    // an earlier.
    if (m_timer.isActive() && m_timer.remainingTime() <= ms) return;
    m_timer.start(ms);
}

void QtLoopDriver::pump() {
    if (m_depth > 0) {
        // The loop is already running further up this stack; it runs what
        // is due itself, and the timer looks again once it has returned.
        m_timer.start(1);
        return;
    }
    ++m_depth;
    m_loop.processPending();
    --m_depth;
    arm();
}

void QtLoopDriver::processToolkitEvents(int maxWaitMs) {
    if (!QCoreApplication::instance()) return;
    ++m_depth;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (maxWaitMs > 0) {
        // Wait for the next window event, but never longer than asked: the
        // deadline timer is an event too.
        QEventLoop wait;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
        deadline.start(maxWaitMs);
        wait.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    --m_depth;
}

}  // namespace tavixTGCL2::qt
