#include "planning/ShoppingExchange.h"

#include "core/CsvText.h"

#include "core/AppContext.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/DbError.h"
#include "db/Value.h"
#include "nutrition/FoodTables.h"
#include "planning/ClShoppingList.h"
#include "planning/StoreOrder.h"

#include <cmath>

namespace pf {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kEndRecord = "-----";

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

// A mail program quotes a reply with "> " (nested: "> > ", ">> "); the prefix is not part of the
// block.
std::string_view WithoutQuotePrefix(std::string_view line)
{
    std::size_t start = 0;
    for (;;) {
        std::size_t at = start;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at >= line.size() || line[at] != '>')
            break;
        start = at + 1;
        if (start < line.size() && line[start] == ' ')
            ++start;
    }
    return line.substr(start);
}

bool QuotesOpen(std::string_view text)
{
    bool open = false;
    for (char c : text)
        if (c == '"')
            open = !open;
    return open;
}

// The records of the block after the marker's line, as the exporter wrote them: quote prefixes
// removed, and lines a mail program wrapped joined again. Wrapping breaks only at blanks, and
// blanks occur only inside the quoted texts, so a record whose quotes are still open continues on
// the next line; the blank the break took is put back. ended tells whether the end record came.
std::vector<std::string> BlockRecords(std::string_view text, bool& found, bool& ended)
{
    found = false;
    ended = false;
    const std::size_t marker = ToUpperAscii(text).find(ToUpperAscii(kShoppingExchangeMarker));
    if (marker == std::string_view::npos)
        return {};
    found = true;
    text.remove_prefix(marker);
    const std::size_t lineEnd = text.find_first_of("\r\n");
    text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd);

    std::vector<std::string> records;
    std::string current;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view raw = text.substr(0, end);
        if (end == std::string_view::npos)
            text = {};
        else
            text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
        std::string_view line = WithoutQuotePrefix(raw);
        line = Trim(line, " \t");
        if (!current.empty()) {
            current += ' ';
            current += line;
        } else {
            if (line.empty())
                continue;
            current = std::string(line);
        }
        if (QuotesOpen(current))
            continue;
        if (current == kEndRecord) {
            ended = true;
            break;
        }
        records.push_back(std::move(current));
        current.clear();
    }
    return records;
}

// Fields split at commas; a field that begins with a double quote runs to its closing quote, two
// double quotes inside standing for one.
std::vector<std::string> SplitFields(std::string_view record)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    for (;;) {
        std::string field;
        if (i < record.size() && record[i] == '"') {
            ++i;
            while (i < record.size()) {
                if (record[i] == '"') {
                    if (i + 1 < record.size() && record[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += record[i++];
            }
            while (i < record.size() && record[i] != ',')
                ++i;
        } else {
            const std::size_t comma = record.find(',', i);
            field = std::string(
                record.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i));
            i = comma == std::string_view::npos ? record.size() : comma;
        }
        fields.push_back(std::move(field));
        if (i >= record.size())
            break;
        ++i; // the comma
    }
    return fields;
}

std::string Field(const std::vector<std::string>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

// The name of the first class whose entry starts with the two characters.
std::string ClassName(const std::vector<std::string>& classes, std::string_view key2)
{
    for (const std::string& entry : classes) {
        const std::string_view head = std::string_view(entry).substr(0, 2);
        if (head.size() == 2 && head == key2)
            return std::string(
                Trim(entry.size() > 10 ? std::string_view(entry).substr(10) : std::string_view()));
    }
    return {};
}

} // namespace

std::string ShoppingExchangeText(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                                 const std::string& versionText)
{
    std::string out = kCrLf;
    out += kShoppingExchangeMarker + versionText + kCrLf;
    bool first = true;
    long previous = 0;
    for (const ShoppingLine& shown : lines) {
        const ClIngredient& line = shown.Line;
        if (first || line.RezID() != previous) {
            const int slot = list.SlotOfRecipe(line.RezID());
            const ShoppingSlot& s = list.Slot(slot);
            out += "R," + std::to_string(line.RezID()) + "," + Quoted(slot > 0 ? s.Title : "") + "," +
                   s.Yield.ToString() + "," + Quoted(s.UnitName) + kCrLf;
            previous = line.RezID();
            first = false;
        }
        if (line.IsTrenner()) {
            out += std::string("Z,-----,0,") + Quoted(line.Trennzeile()) + "," + kCrLf;
            continue;
        }
        out += "Z," + (line.EinheitID() < 1 ? std::string() : std::to_string(line.EinheitID())) + "," +
               line.Menge().ToString() + "," + Quoted(line.Ingredient()) + "," + shown.Code + kCrLf;
    }
    out += std::string(kEndRecord) + kCrLf + kCrLf;
    return out;
}

std::string ExchangeNoMarkerText()
{
    return std::string(
               "In der Zwischenablage konnte kein Text gefunden werden, der eine Pfannola Shoppingliste "
               "im Austauschformat enthält.\r\n\r\nHinweis: Die gesuchte Information beginnt mit dem "
               "Text \"") +
           kShoppingExchangeMarker +
           "\", muss aber nicht am Anfang der in der Zwischenablage enthaltenem Text zu finden sein.\r\n\r\n"
           "OK drücken, wenn die Information kopiert worden ist, ansonsten einfach abbrechen";
}

std::string ExchangeNoEndText()
{
    return "Die Daten in der Zwischenablage sind korrupt: Das Ende fehlt.";
}

ExchangeRead CheckShoppingExchange(std::string_view text)
{
    bool found = false;
    bool ended = false;
    BlockRecords(text, found, ended);
    if (!found)
        return ExchangeRead::NoMarker;
    return ended ? ExchangeRead::Ok : ExchangeRead::NoEnd;
}

ExchangeRead ReadShoppingExchange(std::string_view text, ClShoppingList& list)
{
    bool found = false;
    bool ended = false;
    const std::vector<std::string> records = BlockRecords(text, found, ended);
    if (!found)
        return ExchangeRead::NoMarker;
    if (!ended)
        return ExchangeRead::NoEnd;
    long recipe = -1;
    for (const std::string& record : records) {
        const std::vector<std::string> fields = SplitFields(record);
        const std::string kind = Field(fields, 0);
        if (kind == "R") {
            recipe = LeadingLong(Field(fields, 1));
            if (recipe >= 1 && list.SlotOfRecipe(recipe) == 0) {
                const Decimal4 yield = Decimal4::Parse(Field(fields, 3));
                const int slot =
                    list.RecipeAdd(recipe, static_cast<long>(std::lround(yield.ToDouble())), {}, true);
                if (slot > 0) {
                    list.SetRecipeUnitType(slot, Field(fields, 4));
                    list.SetRecipeYield(slot, yield);
                    // The sender's title names the slot as it did there ("Teig (Pizza)").
                    if (!Field(fields, 2).empty())
                        list.SetRecipeTitle(slot, Field(fields, 2));
                }
            }
        } else if (kind == "Z") {
            ClIngredient line;
            line.SetRezID(recipe);
            if (Field(fields, 1) == kEndRecord) {
                line.SetIsTrenner(true);
                line.SetTrennzeile(Field(fields, 3));
            } else {
                line.SetEinheitID(LeadingLong(Field(fields, 1)));
                line.SetIngredient(Field(fields, 3));
                line.SetBLSid(Field(fields, 4));
                // The quantity is shown in the list's units: set it through the added line.
                const int added = list.IngredAdd(line);
                if (added < 0)
                    continue;
                ClIngredient stored = list.Ingred(added);
                stored.SetMenge(Decimal4::Parse(Field(fields, 2)));
                list.SetIngred(added, stored);
                continue;
            }
            list.IngredAdd(line);
        }
    }
    return ExchangeRead::Ok;
}

std::vector<std::string> LoadFoodClasses(Database& db)
{
    try {
        FoodTables tables;
        if (tables.Load(db, AppContext::Current().LocaleLetter))
            return tables.FoodClassList();
    } catch (const DbError&) {
    }
    return {};
}

std::string DetailClassName(std::string_view code, const std::vector<std::string>& classes)
{
    if (code.size() < 2)
        return {};
    return ClassName(classes, code.substr(0, 2));
}

std::string MainClassName(std::string_view code, const std::vector<std::string>& classes)
{
    return code.empty() ? std::string() : MainFoodGroupName(classes, code.front());
}

std::string ShoppingSpreadsheetRows(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                                    std::string_view storeLocations, const std::vector<std::string>& classes,
                                    char separator)
{
    const auto cell = [separator](const std::string& text) {
        return separator == ';' ? CsvField(text, ';') : text;
    };
    std::string out;
    const char* header[] = {
        "Menge", "Einheit", "Zutat", "Ladenposition", "Kategorie (Detail)", "Kategorie (Haupt)", "Rezept"};
    for (std::size_t i = 0; i < 7; ++i)
        out += (i ? std::string(1, separator) : std::string()) + header[i];
    out += kCrLf;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ShoppingLine& shown = lines[i];
        std::string text = shown.Line.IsTrenner() ? shown.Line.Trennzeile() : shown.Line.Ingredient();
        while (i + 1 < lines.size() && !lines[i + 1].Line.IsTrenner() &&
               lines[i + 1].Line.Ingredient().starts_with("-"))
            text += " " + lines[++i].Line.Ingredient();
        const int position = ShopPosition(shown.Code, storeLocations);
        std::string titles;
        for (long recipe : shown.Recipes) {
            const std::string title = list.TitleOfRecipe(recipe);
            if (!title.empty())
                titles += (titles.empty() ? "" : ", ") + title;
        }
        const std::string cells[] = {shown.Line.IsTrenner() ? std::string() : shown.Line.MengeTxt(),
                                     shown.Line.IsTrenner() ? std::string() : shown.Line.DisplayUnitText(),
                                     text,
                                     position > 0 ? std::to_string(position) : std::string(),
                                     DetailClassName(shown.Code, classes),
                                     MainClassName(shown.Code, classes),
                                     titles};
        for (std::size_t c = 0; c < 7; ++c)
            out += (c ? std::string(1, separator) : std::string()) + cell(cells[c]);
        out += kCrLf;
    }
    return out;
}

std::string ShoppingCsv(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                        std::string_view storeLocations, const std::vector<std::string>& classes)
{
    return "\xEF\xBB\xBF" + ShoppingSpreadsheetRows(list, lines, storeLocations, classes, ';');
}

} // namespace pf
