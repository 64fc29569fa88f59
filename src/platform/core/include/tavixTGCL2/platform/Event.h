#pragma once
// Events of the controls. A control names its events exactly as its public
// contract does (ButtonClick, ResizeResultView...). Arguments that the
// contract passes by reference are references: a handler may change them and
// the control uses what the handler left there.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tavixTGCL2 {

class TGCL_API Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<bool> alive) : m_alive(std::move(alive)) {}
    void disconnect() {
        if (auto p = m_alive.lock()) *p = false;
    }
    bool connected() const {
        auto p = m_alive.lock();
        return p && *p;
    }

private:
    std::weak_ptr<bool> m_alive;
};

template <class... Args>
class TGCL_API Event {
public:
    using Handler = std::function<void(Args...)>;

    Connection connect(Handler h) {
        auto alive = std::make_shared<bool>(true);
        m_slots.push_back({std::move(h), alive});
        return Connection(alive);
    }
    void disconnectAll() { m_slots.clear(); }
    bool hasHandlers() const {
        for (auto& s : m_slots)
            if (*s.alive) return true;
        return false;
    }

    // Handlers run in connection order. A handler may connect or disconnect
    // others while the event is raised; new handlers see the next raise.
    // An error thrown by a handler reaches the raising control, which
    // contains it like any other failing statement.
    void operator()(Args... args) {
        prune();
        auto snapshot = m_slots;
        for (auto& s : snapshot)
            if (*s.alive) s.handler(args...);
    }

private:
    struct Slot {
        Handler handler;
        std::shared_ptr<bool> alive;
    };
    void prune() {
        std::erase_if(m_slots, [](const Slot& s) { return !*s.alive; });
    }
    std::vector<Slot> m_slots;
};

}  // namespace tavixTGCL2
