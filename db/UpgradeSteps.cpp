#include "db/UpgradeSteps.h"

#include "core/Messages.h"
#include "core/Settings.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SearchIndex.h"

#include <algorithm>

namespace pf {

namespace {

bool HasColumn(Database& db, const char* table, const char* column)
{
    const std::vector<FieldDef> fields = db.Fields(table);
    return std::any_of(fields.begin(), fields.end(),
                       [&](const FieldDef& f) { return EqualsNoCase(f.Name, column); });
}

// Removals tolerate a column that is already gone: the database ends as the step wants it.
void DropIfPresent(Database& db, const char* table, const char* column)
{
    if (HasColumn(db, table, column))
        db.DropColumn(table, column);
}

FieldDef LongDefault0(const char* name, bool required = false)
{
    return {name, FieldType::Long, 0, required, Value(0)};
}

// --- structures as the steps create them --------------------------------------------------------

void CreateGuests(Database& db)
{
    db.CreateTable({"T_MENU_GAST",
                    {{"MenuID", FieldType::Long, 0, true},
                     {"No", FieldType::Long, 0, true},
                     {"AdressID", FieldType::Long, 0, true},
                     {"Notiz", FieldType::Memo}},
                    {{"PrimaryKey", {"MenuID", "No"}, true, true}}});
}

void CreateLiterature(Database& db)
{
    db.CreateTable({"T_LITERATUR",
                    {{"QuelleID", FieldType::Long, 0, true, Value(0)},
                     {"Title", FieldType::Text, 64, true, Value("")},
                     {"Jahrgang", FieldType::Long, 0, true, Value(0)},
                     {"ISBN", FieldType::Text, 10},
                     {"EAN", FieldType::Text, 13},
                     {"AutorID", FieldType::Long, 0, true, Value(0)},
                     {"VerlagID", FieldType::Long, 0, true, Value(0)},
                     {"AusgabeNr", FieldType::Text, 10},
                     {"Notiz", FieldType::Memo},
                     {"DeckblattBild", FieldType::Binary}},
                    {{"PrimaryKey", {"QuelleID"}, true, true}}});
}

void CreateBlobs(Database& db)
{
    // The rows of one owner share ID, IDReference and IDType and differ in IDNum, so IDNum is part
    // of both unique keys.
    db.CreateTable({"T_BLOB",
                    {{"ID", FieldType::Long, 0, true},
                     {"IDReference", FieldType::Long, 0, true},
                     {"IDType", FieldType::Long, 0, true},
                     {"IDNum", FieldType::Long, 0, true},
                     {"Property", FieldType::Long, 0, true},
                     {"BlobPath", FieldType::Text, 255},
                     {"Blob", FieldType::Binary}},
                    {{"PrimIndex", {"ID", "IDNum"}, true, true},
                     {"RefIndex", {"IDReference", "IDType", "IDNum"}, true, false}}});
}

void CreateWeeklyPlanLevels(Database& db)
{
    db.CreateTable({"T_WPLevel",
                    {{"ID", FieldType::Long, 0, true},
                     {"WPOrder", FieldType::Long, 0, true},
                     {"WPName", FieldType::Text, 32, true},
                     {"WPCost", FieldType::Currency, 0, true, Value(Decimal4())},
                     {"WPPrint", FieldType::Boolean, 0, true, Value(true)},
                     {"WPRepeat", FieldType::Boolean, 0, true, Value(false)}},
                    {{"PrimIndex", {"ID"}, true, true}, {"RefIndex", {"WPOrder"}, true, false}}});
}

void CreateLiteratureCategories(Database& db)
{
    db.CreateTable({"T_LITERATUR_CAT_NDX",
                    {{"ID", FieldType::Long, 0, true},
                     {"CatID", FieldType::Long, 0, true},
                     {"CatPrimary", FieldType::Boolean, 0, true, Value(false)}},
                    {{"PrimIndex", {"ID", "CatID"}, true, true}}});
}

Value FirstValue(Database& db, std::string_view sql, const std::vector<Value>& params)
{
    auto rs = db.OpenRecordset(sql, params);
    return rs->Eof() ? Value() : rs->Field(0);
}

// Stores a picture object as the picture class does: the owner's existing row ID or the next free
// one, the next number after the owner's last picture. Property bit 1 marks a file path.
void StoreBlob(Database& db, long ownerKind, long owner, const std::string& path, const Blob& data)
{
    Value id = FirstValue(db, "SELECT ID FROM T_BLOB WHERE IDReference=? AND IDType=?", {owner, ownerKind});
    if (id.IsNull())
        id = Value(db.Scalar("SELECT MAX(ID) FROM T_BLOB").AsLong() + 1);
    const long long num =
        FirstValue(db, "SELECT MAX(IDNum) FROM T_BLOB WHERE IDType=? AND IDReference=?", {ownerKind, owner})
            .AsLong() +
        1;
    const bool isPath = !path.empty();
    db.Execute("INSERT INTO T_BLOB (ID, IDReference, IDType, IDNum, Property, BlobPath, Blob) "
               "VALUES (?, ?, ?, ?, ?, ?, ?)",
               {id, owner, ownerKind, num, isPath ? 1 : 0, isPath ? Value(path) : Value(),
                isPath ? Value() : Value(data)});
}

// The level text of the newest weekly plan that carries one, else the setting's.
std::string InitialLevelText(Database& db)
{
    std::string text;
    auto rs = db.OpenRecordset("SELECT MenuQuelle FROM T_MENU_KOPF WHERE MenuTree=-3 ORDER BY MenuDatum");
    for (; !rs->Eof(); rs->MoveNext()) {
        std::string levels = rs->Field("MenuQuelle").AsText();
        if (!ParseWeeklyPlanLevels(levels).empty())
            text = std::move(levels);
    }
    if (text.empty())
        text =
            ReadSetting("", "WPLevel",
                        "\"Tagesdessert\",\"Tagessuppe\",\"Tagesteller 1\",\"Tagesteller 2\",\"Vegetarisch\","
                        "\"Wochenteller;;1\"",
                        true);
    return text;
}

// --- the steps ----------------------------------------------------------------------------------

void Step001_10_090(Database& db, const std::string& fromVersion)
{
    if (fromVersion >= "001.10.089") {
        // This form had the guests of an occasion on the recipe head.
        if (db.TableExists("T_REZ_GAST")) {
            db.RenameTable("T_REZ_GAST", "T_MENU_GAST");
            db.RenameColumn("T_MENU_GAST", "RezID", "MenuID");
            db.DropColumn("T_MENU_GAST", "Anlass");
            db.DropColumn("T_MENU_GAST", "Datum");
        } else if (!db.TableExists("T_MENU_GAST")) {
            CreateGuests(db);
        }
        DropIfPresent(db, "T_REZ_KOPF", "RezWeinLexID");
        if (!HasColumn(db, "T_REZ_KOPF", "RezWeinTipp"))
            db.AddColumn("T_REZ_KOPF", {"RezWeinTipp", FieldType::Memo});
        db.Execute("UPDATE T_REZ_KOPF SET RezWeinTipp=\"\"");
        return;
    }
    db.AddColumn("T_ADRESSE", LongDefault0("ParentID"));
    db.AddColumn("T_ADRESSE", {"Picture", FieldType::Binary});
    db.Execute("UPDATE T_ADRESSE SET ParentID=0,Picture=Null");
    CreateLiterature(db);
    for (const char* column : {"ProduzentID", "KellermeisterID", "ViticulturistID"})
        db.AddColumn("T_WEIN", LongDefault0(column));
    db.Execute("UPDATE T_WEIN SET ProduzentID=0,KellermeisterID=0,ViticulturistID=0");
    CreateGuests(db);
    db.AddColumn("T_REZ_KOPF", LongDefault0("RezQuelleID"));
    db.AddColumn("T_REZ_KOPF", {"RezQuellePage", FieldType::Text, 8});
    db.AddColumn("T_REZ_KOPF", {"RezWeinTipp", FieldType::Memo});
    db.Execute("UPDATE T_REZ_KOPF SET RezQuelleID=0,RezQuellePage=\"\",RezWeinTipp=Null");
    // The wine's lexicon reference gave way to the free recommendation in both forms; the current
    // structure has no place for it.
    DropIfPresent(db, "T_REZ_KOPF", "RezWeinLexID");
}

void Step001_10_091(Database& db, const std::string&)
{
    db.AddColumn("T_MENU_KOPF", {"MenuDatum", FieldType::Date});
    db.Execute("UPDATE T_MENU_KOPF SET MenuDatum=0");
    // Guests named recipe heads before; as guests of menus they would point at the wrong rows.
    db.Execute("DELETE FROM T_MENU_GAST");
}

void Step001_10_092(Database& db, const std::string&)
{
    db.AddColumn("T_MENU_GANG", LongDefault0("WeinID", true));
    db.Execute("UPDATE T_MENU_GANG SET WeinID=0");
}

void Step001_10_093(Database& db, const std::string&)
{
    db.AddColumn("T_ADRESSE", LongDefault0("AliasID", true));
    db.Execute("UPDATE T_ADRESSE SET AliasID=0");
}

void Step001_10_094(Database& db, const std::string&)
{
    DropIfPresent(db, "T_LITERATUR", "ISBN");
}

void Step001_10_095(Database& db, const std::string&)
{
    db.WidenTextColumn("T_REZ_KOPF", "RezMenuCard", 128);
    // Some databases carry the wine recommendation under the name RezWeinTip: it becomes the
    // column every later step and the recipe use.
    if (HasColumn(db, "T_REZ_KOPF", "RezWeinTip") && !HasColumn(db, "T_REZ_KOPF", "RezWeinTipp"))
        db.RenameColumn("T_REZ_KOPF", "RezWeinTip", "RezWeinTipp");
}

void Step001_10_099(Database& db, const std::string&)
{
    for (const char* table : {"T_LITERATUR", "T_ADRESSE"}) {
        db.AddColumn(table, LongDefault0("Fingerprint1"));
        db.AddColumn(table, LongDefault0("Fingerprint2"));
    }
    db.Execute("UPDATE T_LITERATUR SET Fingerprint1=0, Fingerprint2=0");
    db.Execute("UPDATE T_ADRESSE SET Fingerprint1=0, Fingerprint2=0");
}

void Step001_19_103(Database& db, const std::string&)
{
    db.AddColumn("T_CAT", {"CatParent", FieldType::Long});
    db.AddColumn("T_CAT", {"CatWPLevel", FieldType::Long});
    db.AddColumn("T_CAT", {"CatWPRepeat", FieldType::Integer});
    db.Execute("UPDATE T_CAT SET CatParent=0, CatWPLevel=0, CatWPRepeat=0");
    db.AddColumn("T_REZ_KOPF", {"WPExclude", FieldType::Long});
    db.AddColumn("T_REZ_KOPF", {"RezParent", FieldType::Long});
    db.CreateIndex("T_REZ_KOPF", {"IParent", {"RezParent"}, false, false});
    db.Execute("UPDATE T_REZ_KOPF SET RezParent=0, WPExclude=0");
}

void Step001_19_104(Database& db, const std::string&)
{
    db.AddColumn("T_MENU_GANG", {"WPLevel", FieldType::Long});
    db.AddColumn("T_MENU_GANG", {"WPDay", FieldType::Long});
    db.Execute("UPDATE T_MENU_GANG SET WPLevel=0, WPDay=0");
}

void Step001_19_107(Database& db, const std::string&)
{
    CreateBlobs(db);
    // The picture file of a recipe head becomes the recipe's first picture, kept as a file path.
    std::vector<std::pair<long, std::string>> pictures;
    auto rs = db.OpenRecordset("SELECT RezBild,ID FROM T_REZ_KOPF WHERE RezBild<>\"\" or RezBild<>Null");
    for (; !rs->Eof(); rs->MoveNext())
        pictures.emplace_back(static_cast<long>(rs->Field("ID").AsLong()), rs->Field("RezBild").AsText());
    rs->Close();
    const auto count = static_cast<long>(pictures.size());
    for (long i = 0; i < count; ++i) {
        ShowProgress(count, i, "Rezept-Bilder werden konvertiert");
        const auto& [recipe, path] = pictures[static_cast<std::size_t>(i)];
        StoreBlob(db, kBlobOwnerRecipe, recipe, path, {});
    }
}

void Step001_19_108(Database& db, const std::string&)
{
    CreateWeeklyPlanLevels(db);
    std::vector<WeeklyPlanLevel> levels = ParseWeeklyPlanLevels(InitialLevelText(db));
    long order = 0;
    std::vector<long> ids;
    for (const WeeklyPlanLevel& level : levels) {
        // A level text naming an ID twice keeps the first.
        if (std::find(ids.begin(), ids.end(), level.Id) != ids.end())
            continue;
        ids.push_back(level.Id);
        db.Execute(
            "INSERT INTO T_WPLevel (ID, WPOrder, WPName, WPCost, WPPrint, WPRepeat) VALUES (?,?,?,?,?,?)",
            {level.Id, ++order, CharSubstr(level.Name, 0, 32), level.Cost, !level.NoPrint, level.Repeat});
    }
}

void Step001_19_109(Database& db, const std::string&)
{
    DropIfPresent(db, "T_REZ_KOPF", "RezBild");
    db.AddColumn("T_BLOB", {"Description", FieldType::Memo});
}

void Step001_19_110(Database& db, const std::string&)
{
    db.AddColumn("T_LITERATUR", {"Lagerort", FieldType::Text, 16});
}

void Step001_19_111(Database& db, const std::string&)
{
    CreateLiteratureCategories(db);
    db.AddColumn("T_LITERATUR", {"Borrowed", FieldType::Text, 32});
    db.AddColumn("T_LITERATUR", {"Rating", FieldType::Integer, 0, true, Value(0)});
    db.Execute("UPDATE T_LITERATUR SET Rating=0, Borrowed=''");
}

void Step001_19_112(Database& db, const std::string&)
{
    db.AddColumn("T_CAT", {"temp", FieldType::Long});
    db.Execute("Update T_CAT set temp=CatParent");
    db.DropColumn("T_CAT", "CatParent");
    db.RenameColumn("T_CAT", "temp", "CatParent");
}

void Step001_99_114(Database& db, const std::string&)
{
    std::vector<std::pair<long, Blob>> covers;
    auto rs = db.OpenRecordset(
        "SELECT Deckblattbild,QuelleID FROM T_LITERATUR WHERE DeckblattBild<>\"\" or DeckblattBild<>Null");
    for (; !rs->Eof(); rs->MoveNext()) {
        Blob data = rs->Field("DeckblattBild").AsBinary();
        if (!data.empty())
            covers.emplace_back(static_cast<long>(rs->Field("QuelleID").AsLong()), std::move(data));
    }
    rs->Close();
    const auto count = static_cast<long>(covers.size());
    for (long i = 0; i < count; ++i) {
        ShowProgress(count, i, "Literatur-Bilder werden konvertiert");
        const auto& [source, data] = covers[static_cast<std::size_t>(i)];
        StoreBlob(db, kBlobOwnerLiterature, source, {}, data);
        db.Execute("UPDATE T_LITERATUR SET DeckblattBild=Null WHERE QuelleID=?", {source});
    }
}

void Step002_00_126(Database& db, const std::string&)
{
    db.AddColumn("T_UNIT", {"NoFractionOnScale", FieldType::Boolean, 0, false, Value(false)});
    db.Execute("Update T_UNIT set NoFractionOnScale=False");
    db.Execute("Update T_Unit set NoFractionOnScale=True WHERE UnitShortD IN (\"ML\",\"GR\",\"PR\", \"TR\", "
               "\"SP\")");
    db.AddColumn("T_REZ_ZUTAT", {"ZutVerarbeitung", FieldType::Text, 64});
    db.AddColumn("T_REZ_ZUTAT", {"ZutZubereitung", FieldType::Memo});
    db.Execute("UPDATE T_REZ_ZUTAT SET ZutVerarbeitung=\"\",ZutZubereitung=Null");
}

} // namespace

const std::vector<UpgradeStep>& UpgradeSteps()
{
    static const std::vector<UpgradeStep> steps = {
        {"001.10.090", Step001_10_090}, {"001.10.091", Step001_10_091}, {"001.10.092", Step001_10_092},
        {"001.10.093", Step001_10_093}, {"001.10.094", Step001_10_094}, {"001.10.095", Step001_10_095},
        {"001.10.099", Step001_10_099}, {"001.19.103", Step001_19_103}, {"001.19.104", Step001_19_104},
        {"001.19.107", Step001_19_107}, {"001.19.108", Step001_19_108}, {"001.19.109", Step001_19_109},
        {"001.19.110", Step001_19_110}, {"001.19.111", Step001_19_111}, {"001.19.112", Step001_19_112},
        {"001.99.114", Step001_99_114}, {"002.00.126", Step002_00_126},
    };
    return steps;
}

void AddMissingIndexes(Database& db)
{
    for (const TableDef& table : SchemaTables()) {
        if (!db.TableExists(table.Name))
            continue;
        const std::vector<IndexDef> present = db.Indexes(table.Name);
        const std::vector<FieldDef> fields = db.Fields(table.Name);
        for (const IndexDef& index : table.Indexes) {
            if (index.Primary || std::any_of(present.begin(), present.end(), [&](const IndexDef& p) {
                    return EqualsNoCase(p.Name, index.Name);
                }))
                continue;
            const bool columnsThere =
                std::all_of(index.Columns.begin(), index.Columns.end(), [&](const std::string& c) {
                    return std::any_of(fields.begin(), fields.end(),
                                       [&](const FieldDef& f) { return EqualsNoCase(f.Name, c); });
                });
            if (!columnsThere)
                continue;
            try {
                db.CreateIndex(table.Name, index);
            } catch (const DbError&) {
                // Rows that a unique index would reject (duplicate food codes, say) stay readable;
                // the database then works without that index.
            }
        }
    }
    if (dynamic_cast<PgDatabase*>(&db)) {
        EnsureServerSearchIndex(db); // tells the user when the role may not create it
        return;
    }
    try {
        CreateSearchIndex(db);
    } catch (const DbError&) {
        // Without the word index the search reads every title; it finds the same recipes.
    }
}

std::vector<WeeklyPlanLevel> ParseWeeklyPlanLevels(const std::string& text)
{
    // Entries are separated by commas outside double quotes: a level name may hold a comma.
    std::vector<std::string> entries(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            entries.emplace_back();
        else
            entries.back() += c;
    }
    std::vector<WeeklyPlanLevel> levels;
    for (const std::string& raw : entries) {
        std::string entry = std::string(Trim(raw));
        if (entry.size() < 4)
            continue;
        if (entry.front() == '"')
            entry.erase(0, 1);
        if (!entry.empty() && entry.back() == '"')
            entry.pop_back();
        std::vector<std::string> fields(1);
        for (char c : entry) {
            if (c == ';')
                fields.emplace_back();
            else
                fields.back() += c;
        }
        fields.resize(std::max<std::size_t>(fields.size(), 5));
        WeeklyPlanLevel level;
        level.Name = fields[0];
        const Decimal4 cost = Decimal4::Parse(fields[1]);
        level.NoPrint = cost < Decimal4() || LeadingNumber(fields[4]) != 0;
        level.Cost = cost < Decimal4() ? -cost : cost;
        level.Repeat = LeadingNumber(fields[2]) > 0;
        const double id = LeadingNumber(fields[3]);
        level.Id = id > 0 ? static_cast<long>(id) : static_cast<long>(levels.size() + 1);
        levels.push_back(std::move(level));
        if (levels.size() == 10) // a plan holds at most ten levels
            break;
    }
    return levels;
}

} // namespace pf
