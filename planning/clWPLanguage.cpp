#include "planning/clWPLanguage.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <array>

namespace pf {

namespace {

struct PlanLanguage
{
    const char* Name;
    long Code;
    const char* Title;
    std::array<const char*, 7> Days;
};

constexpr std::array<PlanLanguage, 4> kLanguages = {{
    {"Deutsch",
     1,
     "Wochenplan",
     {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}},
    {"Englisch",
     4,
     "Weekly menu",
     {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}},
    {"Französisch",
     6,
     "Menu de la semaine",
     {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"}},
    {"Italienisch",
     8,
     "Menù settimanale",
     {"Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato", "Domenica"}},
}};

const PlanLanguage* Row(int index)
{
    return index >= 1 && index <= static_cast<int>(kLanguages.size())
               ? &kLanguages[static_cast<std::size_t>(index - 1)]
               : nullptr;
}

} // namespace

int clWPLanguage::Count()
{
    return static_cast<int>(kLanguages.size());
}

std::string clWPLanguage::LanguageName(int index)
{
    const PlanLanguage* row = Row(index);
    return row ? row->Name : "";
}

long clWPLanguage::LanguageID(int index)
{
    const PlanLanguage* row = Row(index);
    return row ? row->Code : 0;
}

std::string clWPLanguage::WPTitle(int index)
{
    const PlanLanguage* row = Row(index);
    return row ? row->Title : "";
}

std::string clWPLanguage::WPDays(int index, int weekday)
{
    const PlanLanguage* row = Row(index);
    return row && weekday >= 1 && weekday <= 7 ? row->Days[static_cast<std::size_t>(weekday - 1)] : "";
}

int clWPLanguage::WeekdayIndex(DateSerial date)
{
    return IsoWeekday(date);
}

int clWPLanguage::IndexOfLanguage(long languageID)
{
    // Regional variants share the group letter of their language.
    const std::string group = LanguageGroup(languageID);
    for (int index = 1; index <= Count(); ++index)
        if (!group.empty() && group != "?" && LanguageGroup(LanguageID(index)) == group)
            return index;
    return 0;
}

std::vector<int> clWPLanguage::PrintLanguages()
{
    std::vector<int> indexes;
    const std::string text = ReadSetting("WPLanguage", "Language", "1", true);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const int index = IndexOfLanguage(SettingToLong(text.substr(start, end - start)));
        if (index != 0 && std::find(indexes.begin(), indexes.end(), index) == indexes.end())
            indexes.push_back(index);
        start = end + 1;
    }
    if (indexes.empty())
        indexes.push_back(1);
    return indexes;
}

void clWPLanguage::SetPrintLanguages(const std::vector<int>& indexes)
{
    std::string text;
    for (int index : indexes)
        if (Row(index))
            text += (text.empty() ? "" : ",") + std::to_string(LanguageID(index));
    WriteSetting("WPLanguage", "Language", text.empty() ? "1" : text, true);
}

} // namespace pf
