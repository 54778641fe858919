#pragma once
// The setter rule the domain objects share: a value that differs from the current one is taken
// and marks the object changed; an equal value changes nothing.

#include <utility>

namespace pf {

template <typename T, typename V> void AssignChanged(T& member, V&& value, bool& changed)
{
    if (member != value) {
        member = std::forward<V>(value);
        changed = true;
    }
}

} // namespace pf
