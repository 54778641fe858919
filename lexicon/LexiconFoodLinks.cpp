#include "lexicon/LexiconFoodLinks.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "lexicon/LexiconAreas.h"

#include <algorithm>

namespace pf {

namespace {

std::string TextOf(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

// The first keyword of an entry, preferring the user's language group.
std::string EntryName(Database& db, long area, long id)
{
    const std::string base = "SELECT [KEY] FROM T_INFO_KEY WHERE KEYTYPE=? AND ID=?";
    for (const std::string& condition : {LanguageGroupCondition(UserLanguageGroup()), std::string()}) {
        auto rs = db.OpenRecordset(base + condition + " ORDER BY [KEY]", {area, id});
        if (!rs->Eof())
            return TextOf(rs->Field(0));
    }
    return {};
}

std::vector<FoodLexiconLink> ReadLinks(Database& db, const std::string& where, std::vector<Value> params)
{
    std::vector<FoodLexiconLink> links;
    auto rs = db.OpenRecordset(
        "SELECT T_BLS_INFO.BLSID, T_BLS_INFO.KEYTYPE, T_BLS_INFO.KEYID, T_BLS_INFO.Prefered, "
        "T_BLS_KEY.ST FROM T_BLS_INFO LEFT JOIN T_BLS_KEY ON T_BLS_INFO.BLSID = T_BLS_KEY.ID "
        "WHERE " +
            where,
        std::move(params));
    for (; !rs->Eof(); rs->MoveNext()) {
        FoodLexiconLink link;
        link.FoodId = static_cast<long>(rs->Field(0).AsLong());
        link.Area = static_cast<long>(rs->Field(1).AsLong());
        link.EntryId = static_cast<long>(rs->Field(2).AsLong());
        link.Preferred = !rs->Field(3).IsNull() && rs->Field(3).AsBool();
        link.FoodName = TextOf(rs->Field(4));
        links.push_back(std::move(link));
    }
    for (FoodLexiconLink& link : links)
        link.EntryName = EntryName(db, link.Area, link.EntryId);
    return links;
}

bool LinkExists(Database& db, long foodId, long area, long entryId)
{
    return db.Scalar("SELECT COUNT(*) FROM T_BLS_INFO WHERE BLSID=? AND KEYTYPE=? AND KEYID=?",
                     {foodId, area, entryId})
               .AsLong() > 0;
}

} // namespace

std::vector<FoodLexiconLink> LinksOfFood(Database& db, long foodId)
{
    std::vector<FoodLexiconLink> links = ReadLinks(db, "T_BLS_INFO.BLSID=?", {foodId});
    std::stable_sort(links.begin(), links.end(), [](const FoodLexiconLink& a, const FoodLexiconLink& b) {
        if (a.Preferred != b.Preferred)
            return a.Preferred;
        return a.Area != b.Area ? a.Area < b.Area : a.EntryName < b.EntryName;
    });
    return links;
}

std::vector<FoodLexiconLink> LinksOfEntry(Database& db, long area, long entryId)
{
    std::vector<FoodLexiconLink> links =
        ReadLinks(db, "T_BLS_INFO.KEYTYPE=? AND T_BLS_INFO.KEYID=?", {area, entryId});
    std::stable_sort(links.begin(), links.end(), [](const FoodLexiconLink& a, const FoodLexiconLink& b) {
        return a.FoodName < b.FoodName;
    });
    return links;
}

bool AddFoodLink(Database& db, long foodId, long area, long entryId)
{
    if (area == area::kFoods || area == area::kRecipes || LinkExists(db, foodId, area, entryId))
        return false;
    if (db.Scalar("SELECT COUNT(*) FROM T_BLS_KEY WHERE ID=?", {foodId}).AsLong() == 0 ||
        db.Scalar("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=? AND ID=?", {area, entryId}).AsLong() == 0)
        return false;
    db.Execute("INSERT INTO T_BLS_INFO (BLSID,KEYID,KEYTYPE,Prefered) VALUES (?,?,?,0)",
               {foodId, entryId, area});
    return true;
}

bool RemoveFoodLink(Database& db, long foodId, long area, long entryId)
{
    return db.Execute("DELETE FROM T_BLS_INFO WHERE BLSID=? AND KEYTYPE=? AND KEYID=?",
                      {foodId, area, entryId}) > 0;
}

bool SetPreferredFoodLink(Database& db, long foodId, long area, long entryId)
{
    if (!LinkExists(db, foodId, area, entryId))
        return false;
    DbTransaction transaction(db);
    db.Execute("UPDATE T_BLS_INFO SET Prefered=0 WHERE BLSID=?", {foodId});
    db.Execute("UPDATE T_BLS_INFO SET Prefered=-1 WHERE BLSID=? AND KEYTYPE=? AND KEYID=?",
               {foodId, area, entryId});
    transaction.Commit();
    return true;
}

} // namespace pf
