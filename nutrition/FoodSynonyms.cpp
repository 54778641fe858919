#include "nutrition/FoodSynonyms.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "nutrition/Nutrition.h"

namespace pf {

std::vector<FoodSynonym> SynonymsOf(Database& db, long foodId)
{
    std::vector<FoodSynonym> synonyms;
    auto rs = db.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE ID=? AND KEYTYPE=3", {foodId});
    for (; !rs->Eof(); rs->MoveNext())
        synonyms.push_back({rs->Field("KEY").AsText(), rs->Field("TREE").AsText(),
                            static_cast<long>(rs->Field("Sprachcode").AsLong())});
    return synonyms;
}

void SaveSynonym(Database& db, long foodId, const FoodSynonym& synonym)
{
    if (db.Execute("UPDATE T_INFO_KEY SET Tree=?, Sprachcode=? WHERE Keytype=3 AND [Key]=? AND id=?",
                   {synonym.Tree, synonym.Language, synonym.Text, foodId}) == 0)
        db.Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,TREE,Sprachcode) VALUES (?,?,3,?,?)",
                   {foodId, synonym.Text, synonym.Tree, synonym.Language});
    FoodNamesChanged(db);
}

bool DeleteSynonym(Database& db, long foodId, const std::string& text)
{
    const bool deleted =
        db.Execute("DELETE FROM T_INFO_KEY WHERE Keytype=3 AND [Key]=? AND id=?", {text, foodId}) > 0;
    FoodNamesChanged(db);
    return deleted;
}

std::vector<std::pair<long, std::string>> FoodsWithSynonyms(Database& db, const std::string& languageSuffix)
{
    const std::string column = languageSuffix == "E" ? "STE" : "ST";
    std::vector<std::pair<long, std::string>> foods;
    auto rs = db.OpenRecordset("SELECT DISTINCT T_BLS_KEY.ID, T_BLS_KEY." + column +
                               " FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = T_BLS_KEY.ID WHERE "
                               "T_INFO_KEY.KeyType = 3 ORDER BY T_BLS_KEY." +
                               column);
    for (; !rs->Eof(); rs->MoveNext())
        foods.emplace_back(static_cast<long>(rs->Field(0).AsLong()), rs->Field(1).AsText());
    return foods;
}

} // namespace pf
