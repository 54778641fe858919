#include "nutrition/FoodSynonyms.h"

#include "core/Interaction.h"
#include "core/Trim.h"
#include "core/Utf8.h"
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

bool LearnSynonym(Database& db, Interaction& ui, long foodId, const std::string& text, long language)
{
    const std::string word(Trim(text));
    auto food = db.OpenRecordset("SELECT ST,STE FROM T_BLS_KEY WHERE ID=?", {foodId});
    if (word.empty() || food->Eof())
        return false;
    const std::string name = food->Field("ST").AsText();
    const std::string folded = ToLower(word);
    bool known = folded == ToLower(name) || folded == ToLower(food->Field("STE").AsText());
    for (const FoodSynonym& synonym : SynonymsOf(db, foodId))
        known = known || folded == ToLower(synonym.Text);
    if (known)
        return false;
    if (ui.Ask("Soll \"" + word + "\" künftig als anderer Name für \"" + name +
                   "\" erkannt werden? Der Abgleich ordnet die Zutat dann selbst zu.",
               Buttons::YesNo, Answer::Yes, MsgIcon::Question, "Synonym lernen") != Answer::Yes)
        return false;
    SaveSynonym(db, foodId, {word, "", language});
    return true;
}

} // namespace pf
