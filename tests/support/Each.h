#pragma once
// One member of every element of a list, in order: what a test compares when only that part of
// the items a function returns matters. The member may be a field or a const method, the elements
// objects or pointers to them.

#include <functional>
#include <iterator>
#include <type_traits>
#include <vector>

namespace pf::test {

template <typename Items, typename Member> auto Each(const Items& items, Member member)
{
    std::vector<std::decay_t<std::invoke_result_t<Member, decltype(*std::begin(items))>>> values;
    for (const auto& item : items)
        values.push_back(std::invoke(member, item));
    return values;
}

} // namespace pf::test
