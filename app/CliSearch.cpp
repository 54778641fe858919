// The "search" command of the command-line program: words searched in titles, or a special list
// with --mode; prints ID<TAB>title per hit in the listing order.

#include "app/CliCommands.h"
#include "db/DatabaseChoice.h"
#include "model/ClRecipe.h"
#include "search/ClSearch.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string_view>

namespace pf {

namespace {

bool ParseMode(const std::string& text, int& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size() && value >= 1 && value <= 8;
}

// The search data of the command's words: a word search, or a special list with its value.
std::string SearchDataFor(int mode, const std::string& text)
{
    SearchCriteria criteria;
    if (mode == 0) {
        criteria.Words = text;
        return EncodeSearchData(criteria);
    }
    criteria.SpecialMode = mode;
    if (mode == 7 && !text.empty() && text.front() != '#')
        criteria.SpecialValue = "#" + text + "#";
    else if (mode == 2 || mode == 7 || mode == 8)
        criteria.SpecialValue = text;
    return EncodeSearchData(criteria);
}

// The search would only inform about a wrong date and find nothing; a caller must see the mistake.
bool IsImportDate(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '#' && text.back() == '#')
        text = text.substr(1, text.size() - 2);
    DateSerial date;
    return ClSearch::ParseImportDateText(text, date);
}

} // namespace

int CliSearch(CliCall& call)
{
    int mode = 0;
    std::string text;
    long limit = 0; // --max: the most hits the caller wants, 0 for all
    const bool parsed = ParseCliArgs(
        call,
        {{"--mode", true, [&mode](const std::string& value) { return ParseMode(value, mode); },
          "Nach --mode muss eine Zahl von 1 bis 8 stehen."},
         {"--max", true, [&limit](const std::string& value) { return ParsePositiveNumber(value, limit); },
          "Nach --max muss eine ganze Zahl größer als 0 stehen."}},
        JoinedInto(text));
    if (!parsed)
        return 2;
    const bool needsText = mode == 0 || mode == 2 || mode == 7 || mode == 8;
    if (needsText && text.empty()) {
        call.Err << "Aufruf: pfannola-cli --db DATEI search [--mode N] [--max N] TEXT\n";
        return 2;
    }
    if (mode == 7 && !IsImportDate(text)) {
        call.Err << "Nach --mode 7 muss ein Importdatum der Form MM/TT/JJJJ hh:mm:ss stehen.\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    int code = 0;
    {
        ClSearch search;
        long count = 0;
        search.FindFirst(SearchDataFor(mode, text), -1, ClSearch::kSortTitle, count);
        if (search.LastError() != 0 && count == 0) {
            call.Err << "Die Suche ist fehlgeschlagen: " << search.LastErrorText() << "\n";
            code = 1;
        } else if (count == 0) {
            call.Err << "keine Rezepte mit diesem Suchbegriff !\n";
        }
        const std::vector<SearchHit>& hits = search.Hits();
        const std::size_t shown =
            limit > 0 ? std::min(static_cast<std::size_t>(limit), hits.size()) : hits.size();
        for (std::size_t i = 0; i < shown; ++i)
            call.Out << hits[i].id << '\t' << hits[i].Title << '\n';
        if (shown < hits.size())
            call.Out << "gezeigt: " << shown << " von " << hits.size() << " Treffern (--max " << limit
                     << ")\n";
    }
    return code;
}

} // namespace pf
