#pragma once
// Re-entrance is guarded by counters, not locks: a control counts its own
// work (switching views, writing into its pages) so that the events that work
// causes stay quiet. The scope keeps the count right on every way out,
// errors included.
#include <cstdint>

namespace tavixTGCL2 {

class CountedScope {
public:
    explicit CountedScope(std::int16_t& counter) : m_counter(counter) { ++m_counter; }
    ~CountedScope() { --m_counter; }
    CountedScope(const CountedScope&) = delete;
    CountedScope& operator=(const CountedScope&) = delete;

private:
    std::int16_t& m_counter;
};

}  // namespace tavixTGCL2
