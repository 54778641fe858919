#include "exchange/RecipeTransfer.h"

#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/RowCopy.h"
#include "db/RowValues.h"
#include "exchange/ImportRecipe.h"
#include "exchange/RecipeImport.h"
#include "literature/clLiteratur.h"
#include "model/AddressNames.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <unordered_set>

namespace pf {

namespace {

// Recipes read from the source with one statement per table.
constexpr std::size_t kPortion = 500;

std::string IdList(const std::vector<long>& ids)
{
    std::string list;
    for (long id : ids)
        list += (list.empty() ? "" : ",") + std::to_string(id);
    return list;
}

long Days(const Value& v)
{
    return v.IsNull() ? 0 : std::lround(v.AsDate().Days);
}

DateSerial DateOf(const Value& v)
{
    return v.IsNull() ? DateSerial() : v.AsDate();
}

// What makes two units the same: they read alike in every measure system and convert an amount
// alike. Several units share their German names (ounce and pound show as grams) and differ only
// in the others and the factor. A factor of 0 converts as little as one of 1.
std::string UnitIdentity(const Recordset& row)
{
    std::string identity;
    for (const char* column :
         {"UnitShortD", "UnitNameD", "UnitShortUK", "UnitNameUK", "UnitShortUS", "UnitNameUS"})
        identity += ToLower(Trim(row.Field(column).AsText())) + '\x1f';
    for (const char* column : {"ConvMetrisch", "ConvMetrischUS"}) {
        const std::int64_t ticks = row.Field(column).AsCurrency().Ticks();
        identity += std::to_string(ticks == 0 ? Decimal4::kScale : ticks) + '\x1f';
    }
    return identity;
}

} // namespace

RecipeTransfer::RecipeTransfer(Database& source, Database& target, RecipeImport& pipeline)
    : m_source(source), m_target(target), m_pipeline(pipeline)
{
}

std::vector<long> RecipeTransfer::AllRecipes(Database& source)
{
    std::vector<long> ids;
    auto rs = source.OpenRecordset(
        "SELECT ID FROM T_REZ_KOPF WHERE FlagDeleted=0 OR FlagDeleted IS NULL ORDER BY ID");
    for (; !rs->Eof(); rs->MoveNext())
        ids.push_back(AsId(rs->Field(0)));
    return ids;
}

std::vector<long> RecipeTransfer::InDependencyOrder(const std::vector<long>& ids)
{
    std::unordered_map<long, std::vector<long>> uses;
    const std::unordered_set<long> listed(ids.begin(), ids.end());
    auto subs =
        m_source.OpenRecordset("SELECT ID, ZutBLSID FROM T_REZ_ZUTAT WHERE ZutRezept<>0 AND ZutBLSID>0");
    for (; !subs->Eof(); subs->MoveNext())
        uses[AsId(subs->Field(0))].push_back(AsId(subs->Field(1)));
    auto parents = m_source.OpenRecordset("SELECT ID, RezParent FROM T_REZ_KOPF WHERE RezParent>0");
    for (; !parents->Eof(); parents->MoveNext())
        uses[AsId(parents->Field(0))].push_back(AsId(parents->Field(1)));

    // Depth first, each recipe after what it uses; a cycle is broken where it closes.
    std::vector<long> ordered;
    ordered.reserve(ids.size());
    std::unordered_set<long> placed;
    std::unordered_set<long> open;
    for (long start : ids) {
        if (placed.contains(start))
            continue;
        std::vector<std::pair<long, std::size_t>> stack{{start, 0}};
        open.insert(start);
        while (!stack.empty()) {
            auto& [id, next] = stack.back();
            const auto found = uses.find(id);
            if (found != uses.end() && next < found->second.size()) {
                const long used = found->second[next++];
                if (listed.contains(used) && !placed.contains(used) && !open.contains(used)) {
                    open.insert(used);
                    stack.emplace_back(used, 0);
                }
                continue;
            }
            placed.insert(id);
            open.erase(id);
            ordered.push_back(id);
            stack.pop_back();
        }
    }
    return ordered;
}

bool RecipeTransfer::PrepareReferences(const std::vector<long>& ids)
{
    try {
        DbTransaction trans(m_target);
        // Units: the target's row of the same ID when it is the same unit, else the first one that is;
        // a unit the target lacks is added, so that every amount keeps its meaning.
        std::vector<std::pair<long, std::string>> present;
        long nextUnit = 1;
        auto own = m_target.OpenRecordset("SELECT * FROM T_UNIT ORDER BY ID");
        for (; !own->Eof(); own->MoveNext()) {
            present.emplace_back(AsId(own->Field("ID")), UnitIdentity(*own));
            nextUnit = std::max(nextUnit, present.back().first + 1);
        }
        const std::vector<std::string> unitColumns = ColumnNames(m_target, "T_UNIT");
        auto units = m_source.OpenRecordset("SELECT * FROM T_UNIT ORDER BY ID");
        for (; !units->Eof(); units->MoveNext()) {
            const long id = AsId(units->Field("ID"));
            const std::string identity = UnitIdentity(*units);
            const auto same = [&](const auto& unit) { return unit.second == identity; };
            auto match = std::find_if(present.begin(), present.end(),
                                      [&](const auto& unit) { return unit.first == id && same(unit); });
            if (match == present.end())
                match = std::find_if(present.begin(), present.end(), same);
            if (match != present.end()) {
                m_unitMap[id] = match->first;
                continue;
            }
            CopyRow(*units, m_target, "T_UNIT", unitColumns, {{"ID", Value(nextUnit)}});
            present.emplace_back(nextUnit, identity);
            m_unitMap[id] = nextUnit++;
        }
        CopyFoods();
        CopyTools(ids);
        CopySources(ids);
        trans.Commit();
    } catch (const DbError& error) {
        m_lastErrorText = error.JoinedDescription();
        return false;
    }

    auto yields = m_source.OpenRecordset("SELECT ID, NameD, NameE FROM T_REZ_KOPFEINHEIT");
    for (; !yields->Eof(); yields->MoveNext()) {
        std::string name = yields->Field(1).AsText();
        m_yieldUnits[AsId(yields->Field(0))] = name.empty() ? yields->Field(2).AsText() : name;
    }
    auto cats = m_source.OpenRecordset("SELECT ID, CatNameD FROM T_CAT");
    for (; !cats->Eof(); cats->MoveNext())
        m_categories[AsId(cats->Field(0))] = cats->Field(1).AsText();
    auto books = m_source.OpenRecordset("SELECT ID, BuchTitel, BuchBeschreib FROM T_BUCH WHERE ID>0");
    for (; !books->Eof(); books->MoveNext())
        m_books[AsId(books->Field(0))] = {books->Field(1).AsText(), books->Field(2).AsText()};
    return true;
}

void RecipeTransfer::CopyFoods()
{
    // Only the foods the recipes use; a food code the target knows is the same food there.
    std::unordered_map<std::string, long> targetByCode;
    long nextFood = 1;
    auto own = m_target.OpenRecordset("SELECT ID, SBLS FROM T_BLS_KEY");
    for (; !own->Eof(); own->MoveNext()) {
        targetByCode[own->Field(1).AsText()] = AsId(own->Field(0));
        nextFood = std::max(nextFood, AsId(own->Field(0)) + 1);
    }
    std::vector<std::string> keyColumns;
    std::vector<std::string> valueColumns;
    auto used = m_source.OpenRecordset(
        "SELECT * FROM T_BLS_KEY WHERE ID IN (SELECT DISTINCT ZutBLSID FROM T_REZ_ZUTAT WHERE ZutBLSID>0 AND "
        "(ZutRezept=0 OR ZutRezept IS NULL))");
    for (; !used->Eof(); used->MoveNext()) {
        const long id = AsId(used->Field("ID"));
        const std::string code = used->Field("SBLS").AsText();
        if (const auto found = targetByCode.find(code); found != targetByCode.end()) {
            m_foodMap[id] = found->second;
            continue;
        }
        if (keyColumns.empty()) {
            keyColumns = ColumnNames(m_target, "T_BLS_KEY");
            valueColumns = ColumnNames(m_target, "T_BLS_DAT");
        }
        CopyRow(*used, m_target, "T_BLS_KEY", keyColumns, {{"ID", Value(nextFood)}});
        auto values = m_source.OpenRecordset("SELECT * FROM T_BLS_DAT WHERE SBLS=?", {code});
        if (!values->Eof() &&
            m_target.Scalar("SELECT COUNT(*) FROM T_BLS_DAT WHERE SBLS=?", {code}).AsLong() == 0)
            CopyRow(*values, m_target, "T_BLS_DAT", valueColumns, {});
        targetByCode[code] = nextFood;
        m_foodMap[id] = nextFood++;
    }
}

void RecipeTransfer::CopyTools(const std::vector<long>& ids)
{
    const std::unordered_set<long> listed(ids.begin(), ids.end());
    std::set<long> used;
    auto rows = m_source.OpenRecordset("SELECT RezID, GeraetID FROM T_REZ_GERAET WHERE GeraetID>0");
    for (; !rows->Eof(); rows->MoveNext())
        if (listed.contains(AsId(rows->Field(0))))
            used.insert(AsId(rows->Field(1)));
    if (used.empty())
        return;
    long next = std::max(AsId(m_target.Scalar("SELECT MAX(ID) FROM T_GERAET")),
                         AsId(m_target.Scalar("SELECT MAX(ID) FROM T_INFO_KEY WHERE KEYTYPE=2"))) +
                1;
    const std::vector<std::string> entryColumns = ColumnNames(m_target, "T_GERAET");
    const std::vector<std::string> keyColumns = ColumnNames(m_target, "T_INFO_KEY");
    for (long tool : used) {
        // The same utensil is the one with the same fingerprint identity, else one of the same name.
        auto entry = m_source.OpenRecordset("SELECT * FROM T_GERAET WHERE ID=?", {Value(tool)});
        long found = 0;
        if (!entry->Eof() && AsId(entry->Field("Fingerprint2")) != 0)
            found = AsId(m_target.Scalar("SELECT ID FROM T_GERAET WHERE Fingerprint2=? ORDER BY ID",
                                         {entry->Field("Fingerprint2")}));
        auto keys =
            m_source.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE KEYTYPE=2 AND ID=?", {Value(tool)});
        bool anyKey = false;
        for (; found == 0 && !keys->Eof(); keys->MoveNext()) {
            anyKey = true;
            found = AsId(m_target.Scalar("SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=2 AND [KEY]=? ORDER BY ID",
                                         {keys->Field("KEY")}));
        }
        if (found == 0 && (anyKey || !entry->Eof())) {
            if (!entry->Eof())
                CopyRow(*entry, m_target, "T_GERAET", entryColumns, {{"ID", Value(next)}});
            for (keys->MoveFirst(); !keys->Eof(); keys->MoveNext())
                CopyRow(*keys, m_target, "T_INFO_KEY", keyColumns, {{"ID", Value(next)}});
            found = next++;
        }
        if (found != 0)
            m_toolMap[tool] = found;
    }
}

void RecipeTransfer::CopySources(const std::vector<long>& ids)
{
    const std::unordered_set<long> listed(ids.begin(), ids.end());
    std::set<long> used;
    auto rows = m_source.OpenRecordset("SELECT ID, RezQuelleID FROM T_REZ_KOPF WHERE RezQuelleID>0");
    for (; !rows->Eof(); rows->MoveNext())
        if (listed.contains(AsId(rows->Field(0))))
            used.insert(AsId(rows->Field(1)));
    for (long id : used) {
        clLiteratur source;
        source.SetDB(&m_source);
        if (!source.Loadr(id)) {
            if (source.LastError() != 0)
                throw DbError(source.LastError(), source.LastErrorText());
            continue; // a source that is gone leaves the recipe without one
        }
        const long copied = source.CloneToNewDb(m_target);
        // A source the target refuses (no title) leaves its recipes without one; an engine error
        // stops the run.
        if (copied == 0 && source.LastError() < 0)
            continue;
        if (copied == 0)
            throw source.LastDbError("Literaturquelle \"" + source.GetTitleText() + "\": ");
        m_sourceMap[id] = copied;
    }
}

void RecipeTransfer::CopyGuestMenus()
{
    // The menus in which guests were served a recipe that came over (or was there already).
    std::set<long> menus;
    auto served =
        m_source.OpenRecordset("SELECT DISTINCT T_MENU_GANG.MenuID, T_MENU_GANG.RezID FROM T_MENU_GANG "
                               "INNER JOIN T_MENU_GAST ON T_MENU_GANG.MenuID=T_MENU_GAST.MenuID "
                               "WHERE T_MENU_GANG.RezID>0");
    for (; !served->Eof(); served->MoveNext())
        if (m_recipeMap.contains(AsId(served->Field(1))))
            menus.insert(AsId(served->Field(0)));
    if (menus.empty())
        return;
    DbTransaction trans(m_target);
    const std::vector<std::string> headColumns = ColumnNames(m_target, "T_MENU_KOPF");
    const std::vector<std::string> courseColumns = ColumnNames(m_target, "T_MENU_GANG");
    const std::vector<std::string> guestColumns = ColumnNames(m_target, "T_MENU_GAST");
    long next = AsId(m_target.Scalar("SELECT MAX(MenuID) FROM T_MENU_KOPF")) + 1;
    for (long menu : menus) {
        auto head = m_source.OpenRecordset("SELECT * FROM T_MENU_KOPF WHERE MenuID=?", {Value(menu)});
        if (head->Eof())
            continue;
        // A menu of the same title and day is the same event: a second run adds nothing.
        const Value date = head->Field("MenuDatum");
        const long present = AsId(m_target.Scalar(
            date.IsNull() ? "SELECT COUNT(*) FROM T_MENU_KOPF WHERE MenuTitle=? AND MenuDatum IS NULL"
                          : "SELECT COUNT(*) FROM T_MENU_KOPF WHERE MenuTitle=? AND MenuDatum=?",
            date.IsNull() ? std::vector<Value>{head->Field("MenuTitle")}
                          : std::vector<Value>{head->Field("MenuTitle"), date}));
        if (present > 0)
            continue;
        const long id = next++;
        // The folder tree is the other database's; the menu goes to the top level.
        CopyRow(*head, m_target, "T_MENU_KOPF", headColumns,
                {{"MenuID", Value(id)}, {"MenuTree", Value(0L)}});
        auto courses = m_source.OpenRecordset("SELECT * FROM T_MENU_GANG WHERE MenuID=?", {Value(menu)});
        for (; !courses->Eof(); courses->MoveNext()) {
            // A course whose recipe did not come over keeps its text without the recipe; wines
            // are lexicon entries of the other database.
            const auto recipe = m_recipeMap.find(AsId(courses->Field("RezID")));
            CopyRow(*courses, m_target, "T_MENU_GANG", courseColumns,
                    {{"MenuID", Value(id)},
                     {"RezID", Value(recipe != m_recipeMap.end() ? recipe->second : 0L)},
                     {"WeinID", Value(0L)}});
        }
        auto guests = m_source.OpenRecordset("SELECT * FROM T_MENU_GAST WHERE MenuID=?", {Value(menu)});
        for (; !guests->Eof(); guests->MoveNext())
            CopyRow(
                *guests, m_target, "T_MENU_GAST", guestColumns,
                {{"MenuID", Value(id)},
                 {"AdressID", Value(AddressInOtherDb(m_source, AsId(guests->Field("AdressID")), m_target))}});
    }
    trans.Commit();
}

bool RecipeTransfer::Run(const std::vector<long>& ids)
{
    m_lastErrorText.clear();
    m_recipeMap.clear();
    std::vector<long> ordered;
    try {
        ordered = InDependencyOrder(ids);
        if (!PrepareReferences(ordered))
            return false;
    } catch (const DbError& error) {
        m_lastErrorText = error.JoinedDescription();
        return false;
    }
    const bool ok = m_pipeline.ImportRecords([&] {
        for (std::size_t first = 0; first < ordered.size() && !m_pipeline.Cancelled(); first += kPortion) {
            const auto begin = ordered.begin() + static_cast<std::ptrdiff_t>(first);
            const auto end =
                ordered.begin() + static_cast<std::ptrdiff_t>(std::min(ordered.size(), first + kPortion));
            try {
                TransferPortion(std::vector<long>(begin, end));
            } catch (const DbError& error) {
                m_lastErrorText = error.JoinedDescription();
                m_pipeline.Cancel();
            }
            if (!m_pipeline.LastErrorText().empty())
                break;
        }
    });
    if (m_lastErrorText.empty() && !ok)
        m_lastErrorText = m_pipeline.LastErrorText();
    if (ok && m_lastErrorText.empty() && !m_pipeline.Cancelled()) {
        try {
            CopyGuestMenus();
        } catch (const DbError& error) {
            m_lastErrorText = error.JoinedDescription();
        }
    }
    return ok && m_lastErrorText.empty();
}

// The recipes of one portion as read from the source, before they are stored.
struct RecipeTransfer::Portion
{
    std::unordered_map<long, ImportRecipe> Records;
    std::unordered_map<long, long> Parents;
    std::unordered_map<long, std::vector<std::pair<std::size_t, long>>> SubRecipes; // line, recipe
};

void RecipeTransfer::TransferPortion(const std::vector<long>& ids)
{
    const std::string list = IdList(ids);
    Portion portion;
    ReadHeads(list, portion);
    ReadLines(list, portion);
    ReadRecipeLinks(list, portion);
    ReadPictures(list, portion);
    StorePortion(ids, portion);
}

void RecipeTransfer::ReadHeads(const std::string& list, Portion& portion)
{
    auto heads = m_source.OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID IN (" + list + ")");
    for (; !heads->Eof(); heads->MoveNext()) {
        const long id = AsId(heads->Field("ID"));
        ImportRecipe& r = portion.Records[id];
        r.Title = heads->Field("RezTitle").AsText();
        r.MenuCardTitle = heads->Field("RezMenuCard").AsText();
        r.Servings = AsId(heads->Field("RezYield"));
        if (const auto unit = m_yieldUnits.find(AsId(heads->Field("RezYieldEinh")));
            unit != m_yieldUnits.end())
            r.YieldUnitText = unit->second;
        r.LanguageID = AsId(heads->Field("RezSprache"));
        r.FP1 = static_cast<std::int32_t>(heads->Field("Fingerprint1").AsLong());
        r.FP2 = static_cast<std::int32_t>(heads->Field("Fingerprint2").AsLong());
        r.PreparationTime = DateOf(heads->Field("RezZeitVorher"));
        r.CookingTime = DateOf(heads->Field("RezZeitKochen"));
        r.StorageTime = {Days(heads->Field("RezHaltbarLagern")), Days(heads->Field("RezHaltbarKuehl")),
                         Days(heads->Field("RezHaltbarTiefkuehl"))};
        r.Notizen = heads->Field("RezNotizen").AsText();
        r.SourceText = heads->Field("RezQuelle").AsText();
        if (const auto origin = m_categories.find(AsId(heads->Field("RezHerkunft")));
            origin != m_categories.end())
            r.Origin = origin->second;
        r.IsTemplate = heads->Field("Template").AsBool();
        r.WineDegustation = heads->Field("RezWeinTipp").AsText();
        r.WPExclude = AsId(heads->Field("WPExclude"));
        r.ImportSource = AsId(heads->Field("RezImportSource"));
        if (m_keepImportDate)
            r.ImportDate = DateOf(heads->Field("RezImportDate"));
        if (const auto book = m_sourceMap.find(AsId(heads->Field("RezQuelleID")));
            book != m_sourceMap.end()) {
            r.SourcebookID = book->second;
            r.SourcePage = LeadingLong(heads->Field("RezQuellePage").AsText());
        }
        const long parent = AsId(heads->Field("RezParent"));
        if (parent != 0 && parent != id)
            portion.Parents[id] = parent;
        r.File = m_source.Name() + ", Rezept " + std::to_string(id);
    }
}

void RecipeTransfer::ReadLines(const std::string& list, Portion& portion)
{
    auto lines =
        m_source.OpenRecordset("SELECT * FROM T_REZ_ZUTAT WHERE ID IN (" + list + ") ORDER BY ID, [No]");
    for (; !lines->Eof(); lines->MoveNext()) {
        const auto found = portion.Records.find(AsId(lines->Field("ID")));
        if (found == portion.Records.end())
            continue;
        ImportIngredient line;
        line.IsTrenner = lines->Field("ZutTrenner").AsBool();
        line.IsRecipe = lines->Field("ZutRezept").AsBool();
        line.Text = lines->Field("ZutText").AsText();
        line.Amount = lines->Field("ZutAnz").AsCurrency();
        if (const auto unit = m_unitMap.find(AsId(lines->Field("ZutEinh"))); unit != m_unitMap.end())
            line.UnitID = unit->second;
        line.Verarbeitung = lines->Field("ZutVerarbeitung").AsText();
        line.Zubereitung = lines->Field("ZutZubereitung").AsText();
        const long reference = AsId(lines->Field("ZutBLSID"));
        // Sub-recipes are looked up when the recipe is stored: they may come in this portion.
        if (line.IsRecipe)
            portion.SubRecipes[found->first].emplace_back(found->second.Lines.size(), reference);
        else if (const auto food = m_foodMap.find(reference); reference > 0 && food != m_foodMap.end())
            line.RefID = std::to_string(food->second);
        found->second.Lines.push_back(std::move(line));
    }
}

// Instructions, categories, cookbooks and utensils.
void RecipeTransfer::ReadRecipeLinks(const std::string& list, Portion& portion)
{
    auto texts = m_source.OpenRecordset("SELECT ID, AnwText FROM T_REZ_ANWEIS WHERE ID IN (" + list +
                                        ") ORDER BY ID, [NO]");
    for (; !texts->Eof(); texts->MoveNext())
        if (const auto found = portion.Records.find(AsId(texts->Field(0))); found != portion.Records.end())
            found->second.Zubereitung += texts->Field(1).AsText();
    auto cats = m_source.OpenRecordset("SELECT ID, CatID FROM T_REZ_CAT_NDX WHERE ID IN (" + list +
                                       ") ORDER BY ID, CatPrimary, [No]");
    for (; !cats->Eof(); cats->MoveNext()) {
        const auto found = portion.Records.find(AsId(cats->Field(0)));
        const auto name = m_categories.find(AsId(cats->Field(1)));
        if (found != portion.Records.end() && name != m_categories.end())
            found->second.Categories.push_back(name->second);
    }
    auto books = m_source.OpenRecordset("SELECT RezID, BuchID FROM T_REZ_KOCHBUCH WHERE RezID IN (" + list +
                                        ") ORDER BY RezID, BuchID");
    for (; !books->Eof(); books->MoveNext()) {
        const auto found = portion.Records.find(AsId(books->Field(0)));
        const auto book = m_books.find(AsId(books->Field(1)));
        if (found != portion.Records.end() && book != m_books.end())
            found->second.Cookbooks.push_back(book->second);
    }
    auto tools = m_source.OpenRecordset("SELECT RezID, GeraetID FROM T_REZ_GERAET WHERE RezID IN (" + list +
                                        ") ORDER BY RezID, GeraetID");
    for (; !tools->Eof(); tools->MoveNext()) {
        const auto found = portion.Records.find(AsId(tools->Field(0)));
        const auto tool = m_toolMap.find(AsId(tools->Field(1)));
        if (found != portion.Records.end() && tool != m_toolMap.end() &&
            std::find(found->second.Tools.begin(), found->second.Tools.end(), tool->second) ==
                found->second.Tools.end())
            found->second.Tools.push_back(tool->second);
    }
}

void RecipeTransfer::ReadPictures(const std::string& list, Portion& portion)
{
    auto pictures = m_source.OpenRecordset(
        "SELECT IDReference, IDNum, Property, BlobPath, Blob, Description FROM T_BLOB WHERE IDType=5 AND "
        "IDReference IN (" +
        list + ") ORDER BY IDReference, IDNum");
    for (; !pictures->Eof(); pictures->MoveNext()) {
        const auto found = portion.Records.find(AsId(pictures->Field(0)));
        if (found == portion.Records.end())
            continue;
        ImportPicture picture;
        picture.Num = AsId(pictures->Field(1));
        if ((AsId(pictures->Field(2)) & 1) != 0)
            picture.Path = pictures->Field(3).AsText();
        else
            picture.Data = pictures->Field(4).AsBinary();
        picture.Description = pictures->Field(5).AsText();
        if (!picture.Path.empty() || !picture.Data.empty())
            found->second.Pictures.push_back(std::move(picture));
    }
}

void RecipeTransfer::StorePortion(const std::vector<long>& ids, Portion& portion)
{
    for (long id : ids) {
        const auto found = portion.Records.find(id);
        if (found == portion.Records.end())
            continue;
        if (m_pipeline.Cancelled() || !m_pipeline.LastErrorText().empty())
            return;
        ImportRecipe& recipe = found->second;
        if (const auto parent = portion.Parents.find(id); parent != portion.Parents.end())
            if (const auto target = m_recipeMap.find(parent->second); target != m_recipeMap.end())
                recipe.ParentID = target->second;
        // A sub-recipe that did not come over leaves its line as plain text.
        for (const auto& [line, reference] : portion.SubRecipes[id]) {
            const auto target = m_recipeMap.find(reference);
            recipe.Lines[line].IsRecipe = target != m_recipeMap.end();
            if (target != m_recipeMap.end())
                recipe.Lines[line].RefID = std::to_string(target->second);
        }
        m_pipeline.StoreRecipe(recipe);
        if (recipe.StoredID != 0)
            m_recipeMap[id] = recipe.StoredID;
        portion.Records.erase(found);
    }
}

} // namespace pf
