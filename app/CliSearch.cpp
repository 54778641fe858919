// The "search" command of the command-line program: words searched in titles, ingredients by food
// or text, utensils, or a special list with --mode; prints ID<TAB>title per hit in the listing order.

#include "app/CliCommands.h"
#include "db/DatabaseChoice.h"
#include "model/ChoiceLists.h"
#include "model/ClRecipe.h"
#include "nutrition/IngredientLookup.h"
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

// The search data of the command's words: a word search with further criteria, or a special list
// with its value.
std::string SearchDataFor(int mode, const std::string& text, SearchCriteria criteria)
{
    if (mode == 0) {
        criteria.Words = text;
        return EncodeSearchData(criteria);
    }
    criteria = SearchCriteria();
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
    SearchCriteria criteria;
    std::vector<std::string> foods; // --food: ID, code or name, resolved once the database is open
    std::vector<std::string> tools; // --tool: ID or name
    auto collect = [](std::vector<std::string>& into) {
        return [&into](const std::string& value) {
            into.push_back(value);
            return !value.empty();
        };
    };
    auto flag = [](bool& into) {
        return [&into](const std::string&) {
            into = true;
            return true;
        };
    };
    const bool parsed = ParseCliArgs(
        call,
        {{"--mode", true, [&mode](const std::string& value) { return ParseMode(value, mode); },
          "Nach --mode muss eine Zahl von 1 bis 8 stehen."},
         {"--max", true, [&limit](const std::string& value) { return ParsePositiveNumber(value, limit); },
          "Nach --max muss eine ganze Zahl größer als 0 stehen."},
         {"--food", true, collect(foods),
          "Nach --food muss ein Lebensmittel (Nummer, Code oder Name) stehen."},
         {"--ingredient", true,
          [&criteria](const std::string& value) {
              criteria.Ingredients.push_back({0, value});
              return !value.empty();
          },
          "Nach --ingredient muss ein Zutatentext stehen."},
         {"--all-ingredients", false, flag(criteria.AllIngredients), ""},
         {"--without-ingredients", false, flag(criteria.NegateIngredients), ""},
         {"--tool", true, collect(tools), "Nach --tool muss ein Küchengerät (Nummer oder Name) stehen."},
         {"--without-tools", false, flag(criteria.NegateTools), ""}},
        JoinedInto(text));
    if (!parsed)
        return 2;
    const bool criteriaGiven = !foods.empty() || !tools.empty() || !criteria.Ingredients.empty();
    const bool needsText = (mode == 0 && !criteriaGiven) || mode == 2 || mode == 7 || mode == 8;
    if (needsText && text.empty()) {
        call.Err << "Aufruf: pfannola-cli --db DATEI search [--mode N] [--max N] [--food LEBENSMITTEL]… "
                    "[--ingredient TEXT]… [--all-ingredients] [--without-ingredients] [--tool GERÄT]… "
                    "[--without-tools] [TEXT]\n";
        return 2;
    }
    if (mode != 0 && criteriaGiven) {
        call.Err << "Eine Liste mit --mode lässt sich nicht mit Zutaten oder Geräten verbinden.\n";
        return 2;
    }
    if (mode == 7 && !IsImportDate(text)) {
        call.Err << "Nach --mode 7 muss ein Importdatum der Form MM/TT/JJJJ hh:mm:ss stehen.\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    for (const std::string& food : foods) {
        const long id = FindFoodId(*db, food);
        if (id == 0) {
            call.Err << "Das Lebensmittel \"" << food << "\" gibt es nicht.\n";
            return 2;
        }
        criteria.Ingredients.push_back({id, {}});
    }
    for (const std::string& tool : tools) {
        const long id = UtensilIdOf(*db, tool);
        if (id == 0) {
            call.Err << "Das Küchengerät \"" << tool << "\" gibt es nicht.\n";
            return 2;
        }
        criteria.Tools.push_back(id);
    }
    int code = 0;
    {
        ClSearch search;
        long count = 0;
        search.FindFirst(SearchDataFor(mode, text, criteria), -1, ClSearch::kSortTitle, count);
        if (search.LastError() != 0 && count == 0) {
            // A refusal says itself what is wrong; an engine error needs saying that the search failed.
            call.Err << (search.LastError() < 0 ? "" : "Die Suche ist fehlgeschlagen: ") << search.LastErrorText()
                     << "\n";
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
