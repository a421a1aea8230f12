#pragma once
// The seams that tests use to stand in for a dialog or the browser: a replacement that
// holds until the guard goes, then the previous one comes back (guards nest).

#include <utility>

namespace platform {

template <typename Fn>
class ScopedOverride {
public:
    ScopedOverride(Fn& slot, Fn replacement) : m_slot(slot), m_previous(std::exchange(slot, std::move(replacement))) {}
    ~ScopedOverride() { m_slot = std::move(m_previous); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Fn& m_slot;
    Fn m_previous;
};

} // namespace platform
