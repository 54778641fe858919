#include "nutrition/FoodSearch.h"

#include "core/Interaction.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "nutrition/FoodTables.h"
#include "nutrition/NutrientTable.h"

#include <algorithm>

namespace pf {

namespace {

std::string NameColumn(const FoodSearchOptions& options)
{
    return options.LanguageSuffix == "E" ? "STE" : "ST";
}

FoodHit HitOf(Recordset& rs)
{
    return {rs.Field(2).AsText(), rs.Field(1).AsText(), static_cast<long>(rs.Field(0).AsLong())};
}

// Adds the rows of a synonym query (ID, synonym, code, name) as "Name [Synonym X]", each once.
void AddSynonyms(std::vector<FoodHit>& hits, Recordset& syn)
{
    for (; !syn.Eof(); syn.MoveNext()) {
        FoodHit hit{syn.Field(3).AsText() + " [Synonym " + syn.Field(1).AsText() + "]", syn.Field(2).AsText(),
                    static_cast<long>(syn.Field(0).AsLong())};
        if (std::none_of(hits.begin(), hits.end(), [&](const FoodHit& h) { return h.Text == hit.Text; }))
            hits.push_back(std::move(hit));
    }
}

// The synonyms of the first count hits, listed after them.
void AddAllSynonyms(Database& db, std::vector<FoodHit>& hits, std::size_t count, const std::string& column)
{
    if (count == 0)
        return;
    std::string ids;
    for (std::size_t i = 0; i < count; ++i)
        ids += (i ? "," : "") + std::to_string(hits[i].Id);
    auto syn = db.OpenRecordset("SELECT DISTINCT T_INFO_KEY.ID,T_INFO_KEY.[KEY],SBLS," + column +
                                " FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = T_BLS_KEY.ID WHERE "
                                "(T_INFO_KEY.KEYTYPE=3) AND T_INFO_KEY.ID IN (" +
                                ids + ")");
    AddSynonyms(hits, *syn);
}

std::string Filter(const FoodSearchOptions& options)
{
    std::string filter;
    if (options.MainOnly)
        filter += " AND (ProduktHauptFlag<>0)";
    if (options.OwnOnly)
        filter += " AND (Userflag<>0)";
    return filter;
}

} // namespace

std::vector<FoodHit> SearchFoodsByName(Database& db, const std::string& term,
                                       const FoodSearchOptions& options)
{
    const std::string column = NameColumn(options);
    const std::string pattern = (options.Detailed ? "*" : "") + term + "*";
    const std::string filter = Filter(options);
    const std::string order = options.OrderByCode ? "SBLS" : column;
    std::vector<FoodHit> hits;
    auto rs = db.OpenRecordset("SELECT ID,SBLS," + column + " FROM T_BLS_KEY WHERE " + column + " LIKE ?" +
                                   filter + " ORDER BY " + order,
                               {pattern});
    for (; !rs->Eof(); rs->MoveNext())
        hits.push_back(HitOf(*rs));
    const std::size_t foods = hits.size();
    if (options.InSynonyms) {
        auto syn = db.OpenRecordset(
            "SELECT DISTINCT T_INFO_KEY.ID,T_INFO_KEY.[KEY],SBLS," + column +
                " FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = T_BLS_KEY.ID WHERE "
                "(T_INFO_KEY.KEYTYPE=3) AND T_INFO_KEY.[KEY] LIKE ?" +
                filter + " ORDER BY " + (options.OrderByCode ? "SBLS" : "T_INFO_KEY.[KEY]"),
            {pattern});
        AddSynonyms(hits, *syn);
    }
    if (options.ShowAllSynonyms)
        AddAllSynonyms(db, hits, foods, column);
    return hits;
}

std::vector<FoodHit> SearchFoodsAsking(Database& db, const std::string& term, FoodSearchOptions& options,
                                       Interaction& ui)
{
    std::vector<FoodHit> hits = SearchFoodsByName(db, term, options);
    if (hits.empty() && !options.Detailed &&
        ui.Ask("Sehr detailierte Suche durchführen ?\r\n(Dauert ein wenig)", Buttons::YesNo, Answer::Yes,
               MsgIcon::Question, "Nahrungsmittelsuche") == Answer::Yes) {
        options.Detailed = true;
        hits = SearchFoodsByName(db, term, options);
    }
    return hits;
}

std::vector<FoodHit> SearchFoodsByClass(Database& db, const std::string& prefix,
                                        const FoodSearchOptions& options)
{
    const std::string column = NameColumn(options);
    std::vector<FoodHit> hits;
    // In the tree, main foods are the base entries of their codes, not the flagged main products.
    std::vector<Value> params = {prefix + "*"};
    if (options.MainOnly)
        params.emplace_back("?????00");
    auto rs =
        db.OpenRecordset("SELECT ID,SBLS," + column + " FROM T_BLS_KEY WHERE SBLS LIKE ?" +
                             (options.MainOnly ? " AND (SBLS LIKE ?)" : "") + " ORDER BY " + column + ",SBLS",
                         params);
    for (; !rs->Eof(); rs->MoveNext())
        hits.push_back(HitOf(*rs));
    if (options.ShowAllSynonyms)
        AddAllSynonyms(db, hits, hits.size(), column);
    return hits;
}

std::vector<FoodHit> SearchFoodsByNutrient(Database& db, const FoodTables& tables, const std::string& term,
                                           const NutrientRange& range, const FoodSearchOptions& options)
{
    const auto& descriptors = tables.NutrientDescriptors();
    const auto descriptor = std::find_if(descriptors.begin(), descriptors.end(),
                                         [&](const NutrientDescriptor& d) { return d.Key == range.Key; });
    if (descriptor == descriptors.end())
        return {};
    const std::string column = NameColumn(options);
    // The key is a descriptor's, so it names a column of T_BLS_DAT.
    const std::string value = "T_BLS_DAT." + descriptor->Key;
    std::string sql =
        "SELECT T_BLS_KEY.ID,T_BLS_KEY.SBLS,T_BLS_KEY." + column + "," + value +
        " FROM T_BLS_KEY INNER JOIN T_BLS_DAT ON T_BLS_KEY.SBLS = T_BLS_DAT.SBLS WHERE T_BLS_KEY." + column +
        " LIKE ? AND " + value + " IS NOT NULL";
    std::vector<Value> params = {(options.Detailed ? "*" : "") + term + "*"};
    if (range.Min) {
        sql += " AND " + value + ">=?";
        params.emplace_back(*range.Min);
    }
    if (range.Max) {
        sql += " AND " + value + "<=?";
        params.emplace_back(*range.Max);
    }
    auto rs = db.OpenRecordset(sql + Filter(options) + " ORDER BY T_BLS_KEY.SBLS", params);
    std::vector<FoodHit> hits;
    for (; !rs->Eof(); rs->MoveNext()) {
        FoodHit hit = HitOf(*rs);
        hit.Text += " (" + FormatShort(rs->Field(3).AsDouble()) + " " + descriptor->Dimension + ")";
        hits.push_back(std::move(hit));
    }
    return hits;
}

} // namespace pf
