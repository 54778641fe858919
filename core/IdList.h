#pragma once
// Lists of record IDs as the program passes them around and places them into statements:
// comma-separated text such as "5,8,13".

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// The IDs of a comma-separated list; fields that are not whole numbers are dropped, so that the
// text rebuilt from the result can go into a statement as it is.
std::vector<long> ParseIdList(std::string_view list);

// count IDs from first (all when count is npos), joined with ",".
std::string JoinIds(const std::vector<long>& ids, std::size_t first = 0,
                    std::size_t count = std::string::npos);

} // namespace pf
