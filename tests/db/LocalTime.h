#pragma once
// A moment of the local clock, as the backup names and the archive's file times read it.

#include <ctime>

namespace pf::test {

inline std::tm LocalTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return local;
}

} // namespace pf::test
