#include "platform/EventLoop.h"

#include <chrono>
#include <limits>
#include <thread>

#include "platform/Diagnostics.h"

namespace tavixTGCL2 {

namespace {
std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

EventLoop::EventLoop() = default;
EventLoop::~EventLoop() = default;

EventLoop& EventLoop::current() {
    thread_local EventLoop loop;
    return loop;
}

std::int64_t EventLoop::nowMs() const { return m_virtual ? m_virtualNow : steadyMs(); }

void EventLoop::useVirtualClock(bool on) {
    if (on == m_virtual) return;
    std::int64_t before = nowMs();
    m_virtual = on;
    if (on) m_virtualNow = 0;
    // Timers keep their remaining time across the switch.
    std::int64_t after = nowMs();
    for (auto& [id, t] : m_timers) t.due += after - before;
}

TimerId EventLoop::startTimer(std::int32_t intervalMs, std::function<void()> tick) {
    if (intervalMs < 1) intervalMs = 1;
    TimerId id = m_nextId++;
    m_timers[id] = Timer{intervalMs, nowMs() + intervalMs,
                         std::make_shared<std::function<void()>>(std::move(tick))};
    if (m_driver) m_driver->scheduleChanged();
    return id;
}

void EventLoop::stopTimer(TimerId id) { m_timers.erase(id); }

bool EventLoop::timerActive(TimerId id) const { return m_timers.count(id) != 0; }

std::size_t EventLoop::activeTimers() const { return m_timers.size(); }

void EventLoop::post(std::function<void()> work) {
    m_posted.push_back(std::move(work));
    if (m_driver) m_driver->scheduleChanged();
}

std::int64_t EventLoop::msUntilNextWork() const {
    if (!m_posted.empty()) return 0;
    if (m_virtual || m_timers.empty()) return -1;
    std::int64_t wait = nextDue() - nowMs();
    return wait < 0 ? 0 : wait;
}

int EventLoop::runPosted() {
    int n = 0;
    // Work posted by posted work runs on the next pass, so a callback that
    // re-posts itself cannot starve the timers.
    auto batch = std::move(m_posted);
    m_posted.clear();
    for (auto& w : batch) {
        try {
            w();
        } catch (...) {
            // A failing callback must not take the loop (and the host) down.
            reportContained();
        }
        ++n;
    }
    return n;
}

std::int64_t EventLoop::nextDue() const {
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (const auto& [id, t] : m_timers)
        if (t.due < best) best = t.due;
    return best;
}

bool EventLoop::runOneDueTimer(std::int64_t now) {
    TimerId pick = 0;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (const auto& [id, t] : m_timers)
        if (t.due <= now && t.due < best) {
            best = t.due;
            pick = id;
        }
    if (!pick) return false;
    Timer& t = m_timers[pick];
    // The next tick is counted from this one's due time, so ticks do not
    // drift; a loop that fell far behind does not replay a backlog.
    t.due += t.interval;
    if (t.due <= now - t.interval) t.due = now + t.interval;
    auto tick = t.tick;
    try {
        (*tick)();
    } catch (...) {
        reportContained();
    }
    return true;
}

int EventLoop::processPending() {
    if (m_driver) m_driver->processToolkitEvents(0);
    int n = runPosted();
    std::int64_t now = nowMs();
    // Each timer runs at most once per pass.
    std::size_t limit = m_timers.size();
    for (std::size_t i = 0; i < limit && runOneDueTimer(now); ++i) ++n;
    return n;
}

int EventLoop::advance(std::int64_t ms) {
    if (!m_virtual || ms < 0) return processPending();
    std::int64_t end = m_virtualNow + ms;
    // Work that posts further work (a page loading step by step) runs to
    // its end at each moment; the bound keeps work that re-posts itself
    // forever from stalling the clock.
    auto drainPosted = [this] {
        int ran = 0;
        for (int round = 0; round < 1000 && !m_posted.empty(); ++round) ran += runPosted();
        return ran;
    };
    int n = drainPosted();
    for (;;) {
        std::int64_t due = nextDue();
        if (due > end) break;
        if (due > m_virtualNow) m_virtualNow = due;
        if (runOneDueTimer(m_virtualNow)) ++n;
        n += drainPosted();
    }
    m_virtualNow = end;
    return n;
}

bool EventLoop::waitWhile(const std::function<bool()>& busy, std::int32_t timeoutMs) {
    std::int64_t start = nowMs();
    for (;;) {
        if (!busy()) return true;
        std::int64_t elapsed = nowMs() - start;
        if (elapsed >= timeoutMs) return false;
        if (m_virtual) {
            int ran = processPending();
            if (!busy()) return true;
            std::int64_t due = nextDue();
            std::int64_t limit = start + timeoutMs;
            std::int64_t step = (due > m_virtualNow && due <= limit) ? due - m_virtualNow : 0;
            if (ran == 0 && step == 0) step = limit - m_virtualNow;  // nothing can change: time out
            advance(step);
        } else {
            int ran = processPending();
            if (ran == 0 && !m_driver) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (m_driver) m_driver->processToolkitEvents(5);
        }
    }
}

void EventLoop::run() {
    m_quit = false;
    while (!m_quit) {
        int ran = processPending();
        if (m_quit) break;
        if (ran == 0) {
            if (m_driver) {
                m_driver->processToolkitEvents(10);
            } else {
                std::int64_t due = nextDue();
                std::int64_t wait = due == std::numeric_limits<std::int64_t>::max() ? 10 : due - nowMs();
                if (m_posted.empty() && wait > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(wait > 10 ? 10 : wait));
            }
        }
    }
}

}  // namespace tavixTGCL2
