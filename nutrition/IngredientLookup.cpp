#include "nutrition/IngredientLookup.h"

#include "core/Interaction.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ChoiceLists.h"

#include <algorithm>

namespace pf {

namespace {

// A drop-down of more recipes than this helps nobody; the person types more of the title instead.
constexpr int kMaxRecipes = 500;
constexpr const char* kCaption = "Nahrungsmittelsuche";

void AddFoods(Database& db, const std::string& term, const IngredientLookupOptions& options,
              std::vector<IngredientHit>& hits)
{
    const std::string column = options.LanguageSuffix == "E" ? "STE" : "ST";
    std::string filter;
    if (options.MainOnly)
        filter += " AND ProduktHauptFlag<>0";
    if (options.NoComposites)
        filter += " AND NOT ((SBLS LIKE 'X*') OR (SBLS LIKE 'Y*'))";
    const std::string pattern = term + "*";
    auto foods = db.OpenRecordset("SELECT " + column + ",SBLS,ID FROM T_BLS_KEY WHERE " + column + " LIKE ?" +
                                      filter + " ORDER BY " + column,
                                  {pattern});
    for (; !foods->Eof(); foods->MoveNext())
        hits.push_back({foods->Field(0).AsText(), foods->Field(0).AsText(),
                        static_cast<long>(foods->Field(2).AsLong()), false, foods->Field(1).AsText()});
    auto synonyms =
        db.OpenRecordset("SELECT DISTINCT SBLS," + column +
                             ",T_BLS_KEY.ID,T_INFO_KEY.[KEY] FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON "
                             "T_INFO_KEY.ID = T_BLS_KEY.ID WHERE T_INFO_KEY.[KEY] LIKE ? AND "
                             "T_INFO_KEY.KEYTYPE=3" +
                             filter + " ORDER BY T_INFO_KEY.[KEY]",
                         {pattern});
    for (; !synonyms->Eof(); synonyms->MoveNext()) {
        IngredientHit hit{synonyms->Field(1).AsText() + " [Synonym " + synonyms->Field(3).AsText() + "]",
                          synonyms->Field(1).AsText(), static_cast<long>(synonyms->Field(2).AsLong()), false,
                          synonyms->Field(0).AsText()};
        if (std::none_of(hits.begin(), hits.end(),
                         [&](const IngredientHit& h) { return h.Text == hit.Text; }))
            hits.push_back(std::move(hit));
    }
}

void AddRecipes(Database& db, const std::string& term, const IngredientLookupOptions& options,
                std::vector<IngredientHit>& hits)
{
    std::string sql = "SELECT T_REZ_KOPF.ID,T_REZ_KOPF.RezTitle,T_LITERATUR.Title FROM (T_REZ_KOPF LEFT JOIN "
                      "T_LITERATUR ON T_REZ_KOPF.RezQuelleID = T_LITERATUR.QuelleID)";
    std::vector<Value> params{Value(term + "*")};
    if (options.CurrentBookOnly) {
        sql +=
            " INNER JOIN T_REZ_KOCHBUCH ON T_REZ_KOPF.ID = T_REZ_KOCHBUCH.RezID WHERE (T_REZ_KOPF.RezTitle "
            "LIKE ?) AND (T_REZ_KOCHBUCH.BuchID=?)";
        params.emplace_back(options.Book);
    } else {
        sql += " WHERE T_REZ_KOPF.RezTitle LIKE ?";
    }
    sql += " ORDER BY T_REZ_KOPF.RezTitle LIMIT " + std::to_string(kMaxRecipes);
    auto rs = db.OpenRecordset(sql, params);
    for (; !rs->Eof(); rs->MoveNext()) {
        const std::string title = rs->Field(1).AsText();
        const std::string source = std::string(Trim(rs->Field(2).AsText()));
        hits.push_back({source.empty() ? title : title + " (" + source + ")",
                        title,
                        static_cast<long>(rs->Field(0).AsLong()),
                        true,
                        {}});
    }
}

} // namespace

std::string LookupTerm(const std::string& text)
{
    std::string term;
    for (char c : Trim(text))
        if (std::string_view("|?*%[]#").find(c) == std::string_view::npos)
            term += c;
    return std::string(Trim(term));
}

std::vector<IngredientHit> FindFoodsForIngredient(Database& db, const std::string& text,
                                                  IngredientLookupOptions options, Interaction& ui)
{
    const std::string first = LookupTerm(text);
    std::vector<IngredientHit> hits;
    if (first.empty()) {
        ui.Inform("Es wurde kein Produkt gefunden !", MsgIcon::Information, kCaption);
        return hits;
    }
    std::string term = first;
    if (!options.RecipesOnly) {
        bool shortened = false;
        for (;;) {
            AddFoods(db, term, options, hits);
            if (!hits.empty())
                break;
            if (!shortened && CharLength(term) > 1) {
                // "Möhren" finds "Möhre": one character less catches most plurals.
                term = CharSubstr(term, 0, CharLength(term) - 1);
                shortened = true;
                continue;
            }
            if (!options.MainOnly)
                break;
            if (ui.Ask("Kein BLS Hauptprodukt gefunden. In den weiteren Produkten suchen ?", Buttons::YesNo,
                       Answer::Yes, MsgIcon::Question, kCaption) != Answer::Yes)
                break;
            options.MainOnly = false;
            term = first;
            shortened = false;
        }
    }
    if (!options.FoodsOnly)
        AddRecipes(db, term, options, hits);
    if (hits.empty())
        ui.Inform("Es wurde kein Produkt gefunden !", MsgIcon::Information, kCaption);
    return hits;
}

long FindFoodId(Database& db, const std::string& idCodeOrName)
{
    return IdNamedBy(
        db, idCodeOrName, "SELECT ID FROM T_BLS_KEY WHERE ID=?",
        {"SELECT ID FROM T_BLS_KEY WHERE SBLS=?", "SELECT ID FROM T_BLS_KEY WHERE ST=? ORDER BY ID"});
}

} // namespace pf
