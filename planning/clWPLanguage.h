#pragma once
// The languages weekly plans are printed in: for each its name, the program's language code, the
// plan title and the weekday names. The machine-wide setting "Language" of section "WPLanguage"
// lists the codes a printout uses (German when unset). No database.

#include "db/Value.h"

#include <string>
#include <vector>

namespace pf {

class clWPLanguage
{
public:
    // Number of plan languages; the index arguments below run 1..Count, others read as "" or 0.
    static int Count();
    static std::string LanguageName(int index);
    // The program's language code (1 German, 4 English, 6 French, 8 Italian).
    static long LanguageID(int index);
    static std::string WPTitle(int index);
    // The name of weekday 1 (Monday) .. 7 (Sunday) in a plan language.
    static std::string WPDays(int index, int weekday);
    // 1 (Monday) .. 7 (Sunday) of a day, the index WPDays takes.
    static int WeekdayIndex(DateSerial date);
    // The plan language of a language code; 0 when there is none for it (other German or
    // English codes map to their language).
    static int IndexOfLanguage(long languageID);

    // The plan languages a printout uses, from the setting; never empty.
    static std::vector<int> PrintLanguages();
    static void SetPrintLanguages(const std::vector<int>& indexes);
};

} // namespace pf
