#include "nutrition/FoodRecord.h"

#include "core/Settings.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ClFingerprint.h"
#include "nutrition/FoodTables.h"
#include "nutrition/Nutrition.h"

#include <algorithm>

namespace pf {

namespace {

Decimal4 CurrencyOf(const Value& value)
{
    return value.IsNull() ? Decimal4() : value.AsCurrency();
}

bool IsOwn(Database& db, long id, std::string& problem)
{
    auto rs = db.OpenRecordset("SELECT Userflag FROM T_BLS_KEY WHERE ID=?", {id});
    if (rs->Eof()) {
        problem = "Das Nahrungsmittel ist nicht mehr vorhanden.";
        return false;
    }
    if (rs->Field(0).IsNull() || !rs->Field(0).AsBool()) {
        problem = "Nahrungsmittel der Grunddaten können nicht geändert oder gelöscht werden. Legen Sie "
                  "mit \"Neu\" ein eigenes Nahrungsmittel nach diesem Vorbild an.";
        return false;
    }
    return true;
}

} // namespace

std::optional<FoodRecord> LoadFood(Database& db, const FoodTables& tables, long id)
{
    auto rs = db.OpenRecordset("SELECT * FROM T_BLS_KEY WHERE ID=?", {id});
    if (rs->Eof())
        return std::nullopt;
    FoodRecord food;
    food.Id = id;
    food.Code = rs->Field("SBLS").AsText();
    food.Name = rs->Field("ST").AsText();
    food.NameE = rs->Field("STE").AsText();
    food.NameF = rs->Field("STF").AsText();
    food.Info = rs->Field("ProduktInfo").AsText();
    food.Season = static_cast<long>(rs->Field("ProduktSaison").AsLong());
    food.Main = rs->Field("ProduktHauptFlag").AsBool();
    food.StdUnit = static_cast<long>(rs->Field("ProduktStandardEinheit").AsLong());
    food.StdGrams = CurrencyOf(rs->Field("ProduktStandardMenge"));
    food.AltUnit = static_cast<long>(rs->Field("ProduktAlternativEinheit").AsLong());
    food.AltGrams = CurrencyOf(rs->Field("ProduktAlternativMenge"));
    food.Own = rs->Field("Userflag").AsBool();
    const auto& descriptors = tables.NutrientDescriptors();
    food.Values.assign(descriptors.size(), std::nullopt);
    auto values =
        db.OpenRecordset("SELECT GP,GD," + tables.FieldList() + " FROM T_BLS_DAT WHERE SBLS=?", {food.Code});
    if (!values->Eof()) {
        food.Portion = CurrencyOf(values->Field(0));
        food.Price = CurrencyOf(values->Field(1));
        for (std::size_t i = 0; i < descriptors.size(); ++i) {
            const Value& v = values->Field(static_cast<int>(i) + 2);
            if (!v.IsNull())
                food.Values[i] = v.AsDouble();
        }
    }
    return food;
}

long FoodIdOfCode(Database& db, const std::string& code)
{
    const Value id = db.Scalar("SELECT ID FROM T_BLS_KEY WHERE SBLS=?", {code});
    return id.IsNull() ? 0 : static_cast<long>(id.AsLong());
}

std::string FoodNameOf(Database& db, long id)
{
    return db.Scalar("SELECT ST FROM T_BLS_KEY WHERE ID=?", {id}).AsText();
}

std::string FoodInfoCode(Database& db, const std::string& key)
{
    std::string code(Trim(key));
    if (const long id = SettingToLong(key); id != 0)
        code = std::string(Trim(db.Scalar("SELECT SBLS FROM T_BLS_KEY WHERE ID=?", {id}).AsText()));
    return CharLength(code) >= 3 ? code : std::string();
}

bool SaveOwnFood(Database& db, const FoodTables& tables, const FoodRecord& food, std::string& problem)
{
    problem.clear();
    if (!IsOwn(db, food.Id, problem))
        return false;
    if (food.Name.find_first_not_of(" \t") == std::string::npos) {
        problem = "Es muss eine Bezeichnung eingegeben sein !";
        return false;
    }
    const auto& descriptors = tables.NutrientDescriptors();
    DbTransaction transaction(db);
    db.Execute("UPDATE T_BLS_KEY SET ST=?,STE=?,STF=?,ProduktInfo=?,ProduktSaison=?,ProduktHauptFlag=?,"
               "ProduktStandardEinheit=?,ProduktStandardMenge=?,ProduktAlternativEinheit=?,"
               "ProduktAlternativMenge=? WHERE ID=?",
               {food.Name, food.NameE, food.NameF, food.Info, food.Season, food.Main, food.StdUnit,
                food.StdGrams, food.AltUnit, food.AltGrams, food.Id});
    // A food whose value row went missing gets a new one rather than losing the entered values.
    if (db.Scalar("SELECT COUNT(*) FROM T_BLS_DAT WHERE SBLS=?", {food.Code}).AsLong() == 0)
        db.Execute("INSERT INTO T_BLS_DAT (SBLS) VALUES (?)", {food.Code});
    std::string sql = "UPDATE T_BLS_DAT SET SKT=?,GP=?,GD=?";
    std::vector<Value> params = {food.Name, food.Portion, food.Price};
    for (std::size_t i = 0; i < descriptors.size() && i < food.Values.size(); ++i) {
        // The keys come from the descriptor table, which names columns of T_BLS_DAT only.
        sql += "," + descriptors[i].Key + "=?";
        if (food.Values[i])
            params.emplace_back(*food.Values[i]);
        else
            params.emplace_back(nullptr);
    }
    params.push_back(food.Code);
    db.Execute(sql + " WHERE SBLS=?", params);
    transaction.Commit();
    FoodNamesChanged(db);
    return true;
}

bool DeleteOwnFood(Database& db, long id, std::string& problem)
{
    problem.clear();
    if (!IsOwn(db, id, problem))
        return false;
    const std::string code = db.Scalar("SELECT SBLS FROM T_BLS_KEY WHERE ID=?", {id}).AsText();
    DbTransaction transaction(db);
    db.Execute("DELETE FROM T_BLS_DAT WHERE SBLS=?", {code});
    db.Execute("DELETE FROM T_BLS_KEY WHERE SBLS=?", {code});
    db.Execute("DELETE FROM T_INFO_KEY WHERE KEYTYPE=3 AND ID=?", {id});
    db.Execute("DELETE FROM T_BLS_INFO WHERE BLSID=?", {id});
    transaction.Commit();
    FoodNamesChanged(db);
    return true;
}

long FoodUseCount(Database& db, long id)
{
    return static_cast<long>(db.Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ZutBLSID=?", {id}).AsLong());
}

NewFoodCodeCheck CheckNewFoodCode(Database& db, const std::string& templateCode, const std::string& code)
{
    NewFoodCodeCheck check;
    check.Code = ToUpperAscii(code);
    std::string& c = check.Code;
    const std::string& t = templateCode;
    const auto fail = [&](std::string problem, int start, int length, bool restore) {
        check.Problem = std::move(problem);
        check.SelStart = start;
        check.SelLength = length;
        if (restore && t.size() >= static_cast<std::size_t>(start + length))
            c.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), t,
                      static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        return check;
    };
    const bool ascii =
        std::all_of(c.begin(), c.end(), [](unsigned char ch) { return ch >= 0x20 && ch < 0x7f; });
    if (c.size() != 7 || !ascii) {
        check.Problem = "BLS-Codes sind immer 7 stellig";
        check.Code = t;
        check.SelStart = 0;
        check.SelLength = static_cast<int>(t.size());
        return check;
    }
    if (t.size() != 7)
        return check;
    if (c.compare(0, 2, t, 0, 2) != 0)
        return fail("Die ersten beiden Stellen müssen mit der Vorlage übereinstimmen", 0, 2, true);
    if (c[6] != t[6])
        return fail("Stelle 7 (" + std::string(1, c[6]) + ") muss mit der Vorlage übereinstimmen", 6, 1,
                    true);
    // Positions 5 and 6 hold "0" and "1" as the same: both mean "no particular state".
    const auto same = [](char a, char b) {
        return a == b || ((a == '0' || a == '1') && (b == '0' || b == '1'));
    };
    for (int pos : {5, 4})
        if (!same(c[static_cast<std::size_t>(pos)], t[static_cast<std::size_t>(pos)]))
            return fail("Stelle " + std::to_string(pos + 1) + " (" +
                            std::string(1, c[static_cast<std::size_t>(pos)]) +
                            ") muss mit der Vorlage übereinstimmen (0/1 = identisch)",
                        pos, 1, true);
    auto rs = db.OpenRecordset("SELECT ST FROM T_BLS_KEY WHERE SBLS=?", {c});
    if (!rs->Eof())
        return fail("Dieser BLS-Code ist bereits durch folgendes Nahrungsmittel belegt:\r\n" +
                        rs->Field(0).AsText(),
                    2, 2, false);
    return check;
}

long CreateOwnFood(Database& db, const std::string& templateCode, const std::string& code,
                   const std::string& name)
{
    ClFingerprint fingerprint;
    fingerprint.Initialize();
    DbTransaction transaction(db);
    const long id = static_cast<long>(db.Scalar("SELECT MAX(ID) FROM T_BLS_KEY").AsLong()) + 1;
    db.Execute(
        "INSERT INTO T_BLS_KEY (ID,SBLS,ProduktInfo,ST,STE,ProduktHauptFlag,Fingerprint1,Fingerprint2,"
        "ProduktSaison,ProduktStandardEinheit,ProduktStandardMenge,ProduktAlternativEinheit,"
        "ProduktAlternativMenge,Userflag) VALUES (?,?,'',?,?,-1,?,?,0,0,0,0,0,-1)",
        {id, code, name, name, static_cast<long>(fingerprint.FP1()), static_cast<long>(fingerprint.FP2())});
    // All columns of the template's values: the new row differs only in code and name.
    std::vector<std::string> columns;
    for (const FieldDef& field : db.Fields("T_BLS_DAT"))
        if (field.Name != "SBLS" && field.Name != "SKT")
            columns.push_back(field.Name);
    std::string list;
    for (const std::string& column : columns)
        list += "," + column;
    const long copied = db.Execute("INSERT INTO T_BLS_DAT (SBLS,SKT" + list + ") SELECT ?,?" + list +
                                       " FROM T_BLS_DAT WHERE SBLS=?",
                                   {code, name, templateCode});
    if (copied == 0)
        db.Execute("INSERT INTO T_BLS_DAT (SBLS,SKT) VALUES (?,?)", {code, name});
    transaction.Commit();
    FoodNamesChanged(db);
    return id;
}

} // namespace pf
