#include "core/IdList.h"

#include <algorithm>
#include <charconv>

namespace pf {

std::vector<long> ParseIdList(std::string_view list)
{
    std::vector<long> ids;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        std::size_t end = list.find(',', pos);
        if (end == std::string_view::npos)
            end = list.size();
        std::string_view token = list.substr(pos, end - pos);
        while (!token.empty() && token.front() == ' ')
            token.remove_prefix(1);
        while (!token.empty() && token.back() == ' ')
            token.remove_suffix(1);
        long value = 0;
        const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (ec == std::errc() && ptr == token.data() + token.size() && !token.empty())
            ids.push_back(value);
        pos = end + 1;
    }
    return ids;
}

std::string JoinIds(const std::vector<long>& ids, std::size_t first, std::size_t count)
{
    std::string text;
    const std::size_t last = count == std::string::npos ? ids.size() : std::min(ids.size(), first + count);
    for (std::size_t i = first; i < last; ++i) {
        if (!text.empty())
            text += ',';
        text += std::to_string(ids[i]);
    }
    return text;
}

} // namespace pf
