#include "core/Language.h"

namespace pf {

namespace {

struct LanguageRow
{
    const char* Name;
    const char* Short;
    const char* Group;
};

constexpr LanguageRow kLanguages[kLanguageCount] = {
    {"Anderes/Unbekannt", "?", "?"},
    {"Deutsch (Deutschland)", "DE(D)", "D"},
    {"Deutsch (Schweiz)", "DE(CH)", "D"},
    {"Deutsch (Österreich)", "DE(A)", "D"},
    {"Englisch (Grossbritannien)", "EN(UK)", "E"},
    {"Englisch (USA)", "EN(US)", "E"},
    {"Französisch (Frankreich)", "FR(F)", "F"},
    {"Französisch (Schweiz)", "FR(CH)", "F"},
    {"Italienisch (Italien)", "IT(I)", "I"},
    {"Italienisch (Schweiz)", "IT(CH)", "I"},
};

const LanguageRow* Row(long code)
{
    return code >= 0 && code < kLanguageCount ? &kLanguages[code] : nullptr;
}

} // namespace

std::string LanguageName(long code)
{
    const LanguageRow* row = Row(code);
    return row ? row->Name : "";
}

std::string LanguageShort(long code)
{
    const LanguageRow* row = Row(code);
    return row ? std::string("[") + row->Short + "]" : "";
}

std::string LanguageGroup(long code)
{
    const LanguageRow* row = Row(code);
    return row ? row->Group : "";
}

} // namespace pf
