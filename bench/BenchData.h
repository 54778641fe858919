#pragma once
// What the benchmarks that generate recipes share: a clock that reads in seconds or milliseconds,
// and the reference rows every generated recipe points at (five units, the yield unit "Portionen",
// 200 categories).

#include "db/Database.h"

#include <chrono>
#include <string>

namespace pf::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Millis(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Units 1..5 (gram, millilitre, tablespoon, teaspoon, piece) with their export short names, yield
// unit 1 and categories 1..200; inside the caller's transaction.
inline void AddReferenceRows(Database& db)
{
    const char* units[][3] = {{"G", "Gramm", "G"},
                              {"ML", "Milliliter", "ML"},
                              {"EL", "Esslöffel", "TB"},
                              {"TL", "Teelöffel", "TS"},
                              {"STK.", "Stück", "EA"}};
    for (long i = 0; i < 5; ++i)
        db.Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS,"
            "ConvMetrisch,ConvMetrischUS) VALUES (?,?,?,?,?,?,?,1,1)",
            {i + 1, units[i][0], units[i][1], units[i][2], units[i][1], units[i][2], units[i][1]});
    db.Execute(
        "INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (1,'Portionen','Servings','Portions')");
    for (long c = 1; c <= 200; ++c)
        db.Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,ErfassungsFlag) VALUES (?,?,1,-1)",
                   {c, "Kategorie " + std::to_string(c)});
}

} // namespace pf::bench
