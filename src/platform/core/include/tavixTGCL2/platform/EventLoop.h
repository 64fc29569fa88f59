#pragma once
// The single-threaded loop the controls run on: timers, posted work and the
// bounded "let pending window events run" wait. Tests drive it with a
// virtual clock so that exactly the ticks that are due run.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace tavixTGCL2 {

using TimerId = std::uint64_t;

// A real toolkit (the Qt backend) installs a driver so that "let pending
// events run" also processes its own window events.
class TGCL_API LoopDriver {
public:
    virtual ~LoopDriver() = default;
    // Process the toolkit's pending events once, waiting at most maxWaitMs.
    virtual void processToolkitEvents(int maxWaitMs) = 0;
    // Work was posted or a timer started: a driver that runs the loop from
    // its toolkit's own timers re-arms them (see msUntilNextWork).
    virtual void scheduleChanged() {}
};

class TGCL_API EventLoop {
public:
    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // The loop of this thread. Controls use it for their timers.
    static EventLoop& current();

    // Time in milliseconds: the steady clock, or the virtual clock once
    // useVirtualClock(true) was called (starting at 0).
    std::int64_t nowMs() const;
    void useVirtualClock(bool on);
    bool virtualClock() const { return m_virtual; }

    // A repeating timer; the callback runs on the loop each time the interval
    // has passed. An interval below 1 ms counts as 1 ms so that a bad value
    // cannot spin the loop.
    TimerId startTimer(std::int32_t intervalMs, std::function<void()> tick);
    void stopTimer(TimerId id);
    bool timerActive(TimerId id) const;
    std::size_t activeTimers() const;

    void post(std::function<void()> work);
    std::size_t pendingPosts() const { return m_posted.size(); }
    // How long processPending() can wait before it has something to run: 0
    // when work is posted or a timer is due, -1 when nothing is scheduled.
    // A timer of the virtual clock never falls due by itself, so only posted
    // work counts then.
    std::int64_t msUntilNextWork() const;

    // Runs posted work and the timers due now. Returns how many callbacks ran.
    int processPending();

    // Virtual clock only: moves time forward by ms, running every tick that
    // falls due on the way in time order (and posted work between ticks).
    int advance(std::int64_t ms);

    // "Let pending events run" until busy() is false or timeoutMs passed.
    // With the virtual clock, time jumps to each next due timer. Returns
    // true when busy() ended, false on timeout: a caller never hangs.
    bool waitWhile(const std::function<bool()>& busy, std::int32_t timeoutMs);

    // Runs until quit() (for hosts without a toolkit loop of their own).
    void run();
    void quit() { m_quit = true; }

    void setDriver(LoopDriver* d) { m_driver = d; }

private:
    struct Timer {
        std::int32_t interval;
        std::int64_t due;
        std::shared_ptr<std::function<void()>> tick;
    };
    bool runOneDueTimer(std::int64_t now);
    int runPosted();
    std::int64_t nextDue() const;

    bool m_virtual = false;
    std::int64_t m_virtualNow = 0;
    bool m_quit = false;
    TimerId m_nextId = 1;
    std::map<TimerId, Timer> m_timers;
    std::vector<std::function<void()>> m_posted;
    LoopDriver* m_driver = nullptr;
};

}  // namespace tavixTGCL2
