#include "planning/ClShoppingList.h"

#include "core/AppContext.h"
#include "core/UserRights.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"

#include <algorithm>

namespace pf {

namespace {

// The unit text a stored separator line carries.
constexpr const char* kSeparatorUnit = "-----";

} // namespace

ClShoppingList::ClShoppingList() = default;
ClShoppingList::~ClShoppingList() = default;

void ClShoppingList::SetDB(Database* db)
{
    m_db = db;
    m_ownUnits.reset();
    if (db) {
        m_ownUnits = std::make_shared<ClUnit>();
        m_ownUnits->SetDB(db);
    }
    for (ClIngredient& line : m_lines)
        line.SetUnits(ListUnits());
}

ClUnit* ClShoppingList::ListUnits()
{
    return m_ownUnits.get();
}

void ClShoppingList::Void()
{
    m_id = 0;
    m_description.clear();
    m_datum = DateSerial();
    m_slots.clear();
    m_lines.clear();
    m_linesLeftOut = 0;
    m_detailsPending = false;
    m_changed = false;
}

void ClShoppingList::EnsureLoaded()
{
    if (!m_detailsPending)
        return;
    m_detailsPending = false;
    Recorded([this] { ReadDetails(); });
}

int ClShoppingList::RecipeCount()
{
    EnsureLoaded();
    return static_cast<int>(m_slots.size());
}

int ClShoppingList::IngredCount()
{
    EnsureLoaded();
    return static_cast<int>(m_lines.size());
}

const ClIngredient& ClShoppingList::Ingred(int index)
{
    static const ClIngredient kNone;
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_lines.size()))
        return kNone;
    return m_lines[static_cast<std::size_t>(index - 1)];
}

void ClShoppingList::SetIngred(int index, const ClIngredient& line)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_lines.size()))
        return;
    ClIngredient& target = m_lines[static_cast<std::size_t>(index - 1)];
    target = line;
    target.SetUnits(ListUnits());
    m_changed = true;
}

int ClShoppingList::IngredAdd(const ClIngredient& line)
{
    EnsureLoaded();
    if (static_cast<int>(m_lines.size()) >= kMaxLines) {
        ++m_linesLeftOut;
        return -1;
    }
    m_lines.push_back(line);
    m_lines.back().SetUnits(ListUnits());
    m_changed = true;
    return static_cast<int>(m_lines.size());
}

std::string ClShoppingList::LinesLeftOutText(int count)
{
    return "Die Einkaufsliste fasst höchstens " + std::to_string(kMaxLines) + " Zutatenzeilen; " +
           (count == 1 ? std::string("eine Zeile passte") : std::to_string(count) + " Zeilen passten") +
           " nicht mehr hinein. Die Mengen der Liste sind deshalb unvollständig.";
}

bool ClShoppingList::IngredDel(int index)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_lines.size()))
        return false;
    m_lines.erase(m_lines.begin() + (index - 1));
    m_changed = true;
    return true;
}

bool ClShoppingList::LoadByID(long id)
{
    LastErrorClear();
    Void();
    bool found = false;
    const bool ok = Recorded([&] {
        auto rs = Db().OpenRecordset("SELECT Owner,Bezeichnung,Datum FROM T_SHOPPING_KOPF WHERE ID=" +
                                     std::to_string(id));
        if (rs->Eof())
            return;
        found = true;
        m_description = rs->Field("Bezeichnung").AsText();
        m_datum = rs->Field("Datum").AsDate();
    });
    if (!ok || !found)
        return false;
    m_id = id;
    m_detailsPending = true;
    return true;
}

void ClShoppingList::ReadDetails()
{
    {
        auto rs = Db().OpenRecordset(
            "SELECT Num,RezName,BaseRecipeID,UnitNum,Unit FROM T_SHOPPING_PART WHERE ID=? ORDER BY Num",
            {m_id});
        ClRecipe names;
        names.SetDB(m_db);
        for (; !rs->Eof(); rs->MoveNext()) {
            ShoppingSlot slot;
            slot.Num = static_cast<long>(rs->Field("Num").AsLong());
            slot.Title = rs->Field("RezName").AsText();
            slot.RecipeID = static_cast<long>(rs->Field("BaseRecipeID").AsLong());
            slot.Yield = rs->Field("UnitNum").AsCurrency();
            slot.UnitID = static_cast<long>(rs->Field("Unit").AsLong());
            names.SetYieldUnitIndex(slot.UnitID);
            slot.UnitName = names.YieldUnitText();
            slot.FromDb = true;
            m_slots.push_back(std::move(slot));
        }
    }
    auto rs = Db().OpenRecordset("SELECT * FROM T_SHOPPING_DETAIL WHERE ID=? ORDER BY [No]", {m_id});
    for (; !rs->Eof(); rs->MoveNext()) {
        ClIngredient line;
        line.SetUnits(ListUnits());
        const std::string text = rs->Field("ZutText").AsText();
        if (rs->Field("ZutEinhText").AsText() == kSeparatorUnit) {
            line.SetIsTrenner(true);
            line.SetTrennzeile(text);
        } else {
            line.SetIngredient(text);
            line.SetOrgMeasurement(rs->Field("ZutAnz").AsCurrency());
            line.SetEinheitID(static_cast<long>(rs->Field("ZutEinh").AsLong()));
            const long key = static_cast<long>(rs->Field("ZutBLSID").AsLong());
            if (key > 0)
                line.SetBLSid(std::to_string(key));
        }
        line.SetRezID(static_cast<long>(rs->Field("ZutRecipe").AsLong()));
        line.IgnoreChange();
        m_lines.push_back(std::move(line));
    }
}

void ClShoppingList::SetDescription(std::string_view text)
{
    if (m_description != text) {
        m_description = std::string(text);
        m_changed = true;
    }
}

ChoiceList ClShoppingList::FillList(int& selected)
{
    ChoiceList items{{0, "Neue ungespeicherte Einkaufsliste"}};
    selected = 0;
    Recorded([&] {
        auto rs = Db().OpenRecordset("SELECT ID,Bezeichnung,Datum FROM T_SHOPPING_KOPF");
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = static_cast<long>(rs->Field("ID").AsLong());
            if (id == m_id)
                selected = static_cast<int>(items.size());
            items.push_back({id, rs->Field("Bezeichnung").AsText() + " [" +
                                     DateTimeText(rs->Field("Datum").AsDate(), true) + "]"});
        }
    });
    return items;
}

ChoiceList ClShoppingList::FillRecipes()
{
    EnsureLoaded();
    ChoiceList items{{0, "Manuelle Erfassung"}};
    for (const ShoppingSlot& slot : m_slots)
        items.push_back({slot.RecipeID, slot.Title});
    return items;
}

const ShoppingSlot& ClShoppingList::Slot(int index)
{
    static const ShoppingSlot kNone;
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return kNone;
    return m_slots[static_cast<std::size_t>(index - 1)];
}

ClRecipe* ClShoppingList::Recipe(int index)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return nullptr;
    ShoppingSlot& slot = m_slots[static_cast<std::size_t>(index - 1)];
    if (!slot.Recipe && slot.RecipeID > 0) {
        auto recipe = std::make_shared<ClRecipe>();
        if (m_db)
            recipe->SetDB(m_db);
        if (!recipe->LoadByID(slot.RecipeID, 0, true))
            return nullptr;
        slot.Recipe = std::move(recipe);
    }
    return slot.Recipe.get();
}

void ClShoppingList::SetRecipeYield(int index, Decimal4 yield)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return;
    m_slots[static_cast<std::size_t>(index - 1)].Yield = yield;
    m_changed = true;
}

void ClShoppingList::SetRecipeTitle(int index, std::string_view title)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return;
    m_slots[static_cast<std::size_t>(index - 1)].Title = std::string(title);
    m_changed = true;
}

long ClShoppingList::YieldUnitId(std::string_view name)
{
    ClRecipe names;
    names.SetDB(m_db);
    names.SetYieldUnitText(name);
    return names.YieldUnitIndex();
}

void ClShoppingList::SetRecipeUnitType(int index, std::string_view unitName)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return;
    ShoppingSlot& slot = m_slots[static_cast<std::size_t>(index - 1)];
    slot.UnitName = std::string(unitName);
    slot.UnitID = YieldUnitId(unitName);
    m_changed = true;
}

int ClShoppingList::SlotOfRecipe(long recipeId)
{
    EnsureLoaded();
    for (std::size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].RecipeID == recipeId)
            return static_cast<int>(i + 1);
    return 0;
}

std::string ClShoppingList::TitleOfRecipe(long recipeId)
{
    const int slot = SlotOfRecipe(recipeId);
    return slot > 0 ? m_slots[static_cast<std::size_t>(slot - 1)].Title : std::string();
}

int ClShoppingList::RecipeAdd(long recipeId, long servings, std::string_view parentTitle, bool ingredientsOff)
{
    LastErrorClear();
    EnsureLoaded();
    std::vector<long> chain;
    return AddSlot(recipeId, servings, parentTitle, ingredientsOff, chain);
}

int ClShoppingList::AddSlot(long recipeId, long servings, std::string_view parentTitle, bool ingredientsOff,
                            std::vector<long>& chain)
{
    if (static_cast<int>(m_slots.size()) >= kMaxRecipes)
        return 0;
    ShoppingSlot slot;
    slot.RecipeID = recipeId;
    slot.Num = static_cast<long>(m_slots.size()) + 1;
    auto recipe = std::make_shared<ClRecipe>();
    if (m_db)
        recipe->SetDB(m_db);
    const bool loaded = recipeId > 0 && recipe->LoadByID(recipeId, 0, true);
    if (!loaded && recipe->LastError() != 0)
        TakeError(*recipe);
    if (loaded) {
        if (servings > 0)
            recipe->ScaleRecipe(servings);
        slot.Title = recipe->Title();
        slot.Yield = Decimal4::FromLong(recipe->Yield());
        slot.UnitName = recipe->YieldUnitText();
        slot.UnitID = recipe->YieldUnitIndex();
        slot.Recipe = recipe;
    }
    if (!parentTitle.empty())
        slot.Title += " (" + std::string(parentTitle) + ")";
    m_slots.push_back(slot);
    m_changed = true;
    const int number = static_cast<int>(m_slots.size());
    if (!loaded || ingredientsOff)
        return number;

    // A recipe that names itself through its sub-recipes is added once per chain.
    chain.push_back(recipeId);
    const int count = recipe->IngredCount();
    for (int i = 1; i <= count; ++i) {
        const ClIngredient& line = recipe->Ingredient(i);
        if (line.IsTrenner() || line.Menge() == Decimal4() || line.MengeTxt().empty())
            continue;
        ClIngredient copy = line;
        copy.SetRezID(recipeId);
        if (IngredAdd(copy) < 0)
            continue; // left out, and the sub-recipe it names with it
        if (line.IsRecipe() && std::find(chain.begin(), chain.end(), line.IsRecipeID()) == chain.end())
            AddSlot(line.IsRecipeID(), 0, recipe->Title(), false, chain);
    }
    chain.pop_back();
    return number;
}

bool ClShoppingList::RecipeDelete(int index)
{
    EnsureLoaded();
    if (index < 1 || index > static_cast<int>(m_slots.size()))
        return false;
    const long recipeId = m_slots[static_cast<std::size_t>(index - 1)].RecipeID;
    std::erase_if(m_lines, [recipeId](const ClIngredient& line) { return line.RezID() == recipeId; });
    m_slots.erase(m_slots.begin() + (index - 1));
    m_changed = true;
    return true;
}

bool ClShoppingList::RecipeRescale(int index, long servings)
{
    ClRecipe* recipe = Recipe(index);
    if (!recipe || servings <= 0)
        return false;
    ClRecipe scaled;
    if (m_db)
        scaled.SetDB(m_db);
    scaled.Copy2Me(*recipe);
    scaled.ScaleRecipe(servings);
    ClRecipe edit;
    if (m_db)
        edit.SetDB(m_db);
    edit.LoadByID(0);
    edit.IngredCount();
    edit.Setid(recipe->id());
    const int count = scaled.IngredCount();
    for (int i = 1; i <= count; ++i) {
        const ClIngredient& line = scaled.Ingredient(i);
        if (!line.IsTrenner() && line.Menge() != Decimal4() && !line.MengeTxt().empty())
            edit.IngredAdd(line);
    }
    TransferEdit2List(edit);
    m_slots[static_cast<std::size_t>(index - 1)].Yield = Decimal4::FromLong(scaled.Yield());
    return true;
}

void ClShoppingList::TransferRecipe2Edit(long recipeId, ClRecipe& edit)
{
    EnsureLoaded();
    edit.LoadByID(0);
    edit.IngredCount(); // an empty line list, not the stored lines of recipeId
    edit.Setid(recipeId);
    for (const ClIngredient& line : m_lines)
        if (line.RezID() == recipeId)
            edit.IngredAdd(line);
}

void ClShoppingList::TransferEdit2List(ClRecipe& edit)
{
    EnsureLoaded();
    const long recipeId = edit.id();
    const int count = edit.IngredCount();
    int next = 1;
    for (auto it = m_lines.begin(); it != m_lines.end();) {
        if (it->RezID() != recipeId) {
            ++it;
        } else if (next <= count) {
            *it = edit.Ingredient(next++);
            it->SetRezID(recipeId);
            it->SetUnits(ListUnits());
            ++it;
        } else {
            it = m_lines.erase(it);
        }
    }
    for (; next <= count; ++next) {
        ClIngredient line = edit.Ingredient(next);
        line.SetRezID(recipeId);
        IngredAdd(line);
    }
    m_changed = true;
}

std::string ClShoppingList::LineCode(const ClIngredient& line)
{
    if (line.BLSid().empty())
        return {};
    try {
        ClIngredient copy = line;
        return copy.BLSCode(Db());
    } catch (const DbError&) {
        return {};
    }
}

long ClShoppingList::FoodKeyId(const ClIngredient& line)
{
    if (line.BLSid().empty())
        return 0;
    const long numeric = LeadingLong(line.BLSid());
    if (numeric > 0)
        return numeric;
    return static_cast<long>(Db().Scalar("SELECT [ID] FROM T_BLS_KEY WHERE SBLS=?", {line.BLSid()}).AsLong());
}

bool ClShoppingList::Save()
{
    LastErrorClear();
    EnsureLoaded();
    if (!m_changed)
        return true;
    return Recorded([this] {
        Database& db = Db();
        DbTransaction transaction(db);
        long id = m_id;
        const DateSerial now = NowSerial();
        std::unique_ptr<Recordset> head;
        if (id > 0) {
            db.Execute("DELETE FROM T_SHOPPING_PART WHERE ID=" + std::to_string(id));
            db.Execute("DELETE FROM T_SHOPPING_DETAIL WHERE ID=" + std::to_string(id));
            head = db.OpenRecordset("SELECT * FROM T_SHOPPING_KOPF WHERE ID=" + std::to_string(id));
        }
        if (head && !head->Eof()) {
            head->Edit();
        } else {
            if (id <= 0)
                id = static_cast<long>(db.Scalar("SELECT MAX(ID) FROM T_SHOPPING_KOPF").AsLong()) + 1;
            head = db.OpenRecordset("SELECT * FROM T_SHOPPING_KOPF WHERE ID=0");
            head->AddNew();
            head->SetField("ID", id);
        }
        // A stored list belongs to the user who saved it; without users, to the login of the machine.
        const LoggedInUser& user = CurrentUser();
        head->SetField("Owner", user.UsersEnabled ? user.Name : AppContext::Current().WinUser);
        head->SetField("Datum", now);
        head->SetField("Bezeichnung", m_description);
        head->Update();

        auto parts = db.OpenRecordset("SELECT * FROM T_SHOPPING_PART WHERE ID=" + std::to_string(id));
        long num = 0;
        for (const ShoppingSlot& slot : m_slots) {
            ++num;
            if (slot.RecipeID <= 0)
                continue;
            parts->AddNew();
            parts->SetField("ID", id);
            parts->SetField("Num", num);
            parts->SetField("RezName", slot.Title);
            parts->SetField("BaseRecipeID", slot.RecipeID);
            parts->SetField("UnitNum", slot.Yield);
            const long unit = slot.FromDb || slot.UnitID > 0 ? slot.UnitID : YieldUnitId(slot.UnitName);
            parts->SetField("Unit", unit > 0 ? Value(unit) : Value());
            parts->Update();
        }

        auto details = db.OpenRecordset("SELECT * FROM T_SHOPPING_DETAIL WHERE ID=" + std::to_string(id));
        long no = 0;
        for (const ClIngredient& line : m_lines) {
            details->AddNew();
            details->SetField("ID", id);
            details->SetField("No", ++no);
            if (line.IsTrenner()) {
                details->SetField("ZutText", line.Trennzeile());
                details->SetField("ZutEinhText", kSeparatorUnit);
            } else {
                details->SetField("ZutBLSID", FoodKeyId(line));
                details->SetField("ZutText", line.Ingredient());
                details->SetField("ZutAnz", line.OrgMeasurement());
                details->SetField("ZutEinh", line.EinheitID());
                details->SetField("ZutEinhText", line.DisplayUnitText());
                details->SetField("ZutAnzText", line.MengeTxt());
            }
            details->SetField("ZutRecipe", line.RezID());
            details->Update();
        }
        transaction.Commit();
        m_id = id;
        m_datum = now;
        m_changed = false;
        for (ShoppingSlot& slot : m_slots)
            slot.FromDb = true;
    });
}

bool ClShoppingList::Delete()
{
    LastErrorClear();
    const long id = m_id;
    const bool ok = id <= 0 || Recorded([&] {
                        Database& db = Db();
                        DbTransaction transaction(db);
                        db.Execute("DELETE FROM T_SHOPPING_KOPF WHERE ID=" + std::to_string(id));
                        db.Execute("DELETE FROM T_SHOPPING_PART WHERE ID=" + std::to_string(id));
                        db.Execute("DELETE FROM T_SHOPPING_DETAIL WHERE ID=" + std::to_string(id));
                        transaction.Commit();
                    });
    if (ok)
        Void();
    return ok;
}

} // namespace pf
