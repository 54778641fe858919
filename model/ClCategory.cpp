#include "model/ClCategory.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "model/ChangeFlag.h"

#include <algorithm>
#include <set>

namespace pf {

namespace {

// A name as a LIKE pattern that matches only itself (case-insensitive): the wildcards of the
// pattern language are put in brackets.
std::string LiteralPattern(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '*' || c == '?' || c == '#' || c == '[') {
            out += '[';
            out += c;
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::string Str(long n)
{
    return std::to_string(n);
}

long AsLong(const Value& v)
{
    return static_cast<long>(v.AsLong());
}

CategoryItem ItemOf(const Recordset& rs)
{
    CategoryItem item;
    item.ID = AsLong(rs.Field("ID"));
    item.TypeID = AsLong(rs.Field("CatType"));
    item.Parent = AsLong(rs.Field("CatParent"));
    item.IsCountry = AsLong(rs.Field("LaenderCode")) != 0;
    item.IsEdit = rs.Field("ErfassungsFlag").AsBool();
    item.Name = rs.Field("CatNameD").AsText();
    item.Text = item.Name;
    if (item.IsCountry)
        item.Text += " [Herkunft]";
    return item;
}

std::string Caption()
{
    return AppContext::Current().AppCaption;
}

} // namespace

void ClCategory::SetDB(Database* db)
{
    m_db = db;
    if (m_db || HasWorkDb())
        m_readOnly = !Db().IsUpdatable();
}

std::string ClCategory::Quoted() const
{
    return "\"" + m_name + "\"";
}

// --- properties ----------------------------------------------------------------------------

void ClCategory::SetDescription(std::string name)
{
    AssignChanged(m_name, std::move(name), m_changed);
}

void ClCategory::SetIsCountry(bool country)
{
    if (country == IsCountry())
        return;
    // Booleans are stored as -1; country codes proper come with the base data.
    m_laenderCode = country ? -1 : 0;
    m_changed = true;
}

void ClCategory::SetIsEdit(bool edit)
{
    AssignChanged(m_isEdit, edit, m_changed);
}

void ClCategory::SetParent(long parent)
{
    AssignChanged(m_parent, parent, m_changed);
}

void ClCategory::Setwplevel(long level)
{
    AssignChanged(m_wpLevel, level, m_changed);
}

void ClCategory::SetWPRepeat(long repeat)
{
    AssignChanged(m_wpRepeat, repeat, m_changed);
}

bool ClCategory::SetTypeID(long typeID)
{
    LastErrorClear();
    if (typeID == m_typeID)
        return true;
    if (m_id != 0 && !m_new) {
        if (m_readOnly) {
            SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
            return false;
        }
        try {
            Db().Execute("UPDATE T_CAT SET CatType=" + Str(typeID) + " WHERE ID=" + Str(m_id));
        } catch (const DbError& e) {
            SetDbError(e);
            return false;
        }
        m_typeID = typeID;
        return true;
    }
    m_typeID = typeID;
    m_changed = true;
    return true;
}

std::string ClCategory::TypeIDText()
{
    LastErrorClear();
    try {
        auto rs = Db().OpenRecordset("SELECT CatTypeName FROM T_CAT_TYPE WHERE CatTypeID=" + Str(m_typeID));
        if (!rs->Eof())
            return rs->Field("CatTypeName").AsText();
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return "<undefiniert>";
}

ClCategory ClCategory::ParentObject()
{
    ClCategory parent;
    GetParentCategory(parent);
    return parent;
}

// --- loading -------------------------------------------------------------------------------

void ClCategory::Clear()
{
    m_id = 0;
    m_name.clear();
    m_laenderCode = 0;
    m_isEdit = true;
    m_typeID = 0;
    m_parent = 0;
    m_wpLevel = 0;
    m_wpRepeat = 0;
    m_changed = false;
    m_new = false;
}

bool ClCategory::LoadWhere(const std::string& sql)
{
    LastErrorClear();
    try {
        auto rs = Db().OpenRecordset(sql);
        Clear();
        if (rs->Eof())
            return false;
        m_id = AsLong(rs->Field("ID"));
        m_name = rs->Field("CatNameD").AsText();
        m_laenderCode = AsLong(rs->Field("LaenderCode"));
        m_isEdit = rs->Field("ErfassungsFlag").AsBool();
        m_typeID = AsLong(rs->Field("CatType"));
        m_parent = AsLong(rs->Field("CatParent"));
        m_wpLevel = AsLong(rs->Field("CatWPLevel"));
        m_wpRepeat = AsLong(rs->Field("CatWPRepeat"));
        return true;
    } catch (const DbError& e) {
        Clear();
        SetDbError(e);
        return false;
    }
}

bool ClCategory::LoadByID(long id)
{
    return LoadWhere("SELECT * FROM T_CAT WHERE ID=" + Str(id));
}

bool ClCategory::LoadbyName(const std::string& name)
{
    LastErrorClear();
    long found = 0;
    try {
        // Bound, so a name with quotes cannot break the statement.
        auto rs = Db().OpenRecordset("SELECT ID FROM T_CAT WHERE CatNameD LIKE ? ORDER BY ID",
                                     {LiteralPattern(name)});
        if (rs->Eof()) {
            Clear();
            return false;
        }
        found = AsLong(rs->Field("ID"));
    } catch (const DbError& e) {
        Clear();
        SetDbError(e);
        return false;
    }
    return LoadByID(found);
}

bool ClCategory::LoadbyNameorCreate(const std::string& name, bool isCountry, long typeID)
{
    if (LoadbyName(name))
        return true;
    if (m_lastError != 0)
        return false;
    Clear();
    m_name = name;
    m_laenderCode = isCountry ? -1 : 0;
    m_isEdit = true;
    m_typeID = typeID;
    m_new = true;
    m_changed = true;
    if (isCountry && typeID == 0) {
        try {
            m_typeID = AsLong(Db().Scalar("SELECT TOP 1 CatType FROM T_CAT WHERE LaenderCode<>0 AND "
                                          "LaenderCode<>99 AND CatType<>0 ORDER BY ID"));
        } catch (const DbError& e) {
            SetDbError(e);
            return false;
        }
    }
    return Save();
}

bool ClCategory::LoadRezOrigin(long recipeID)
{
    LastErrorClear();
    long origin = 0;
    if (!Recorded([&] {
            origin = AsLong(
                Db().Scalar("SELECT DISTINCTROW RezHerkunft FROM T_REZ_KOPF WHERE Id = " + Str(recipeID)));
        }))
        return false;
    if (origin == 0) {
        Clear();
        return false;
    }
    return LoadByID(origin);
}

void ClCategory::CancelChange()
{
    if (m_id != 0 && !m_new)
        LoadByID(m_id);
    else
        Clear();
}

// --- saving --------------------------------------------------------------------------------

bool ClCategory::LowestFreeID(long& id)
{
    Database& db = Db();
    if (db.Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=1").AsLong() == 0) {
        id = 1;
        return true;
    }
    // The first stored ID whose successor is free, found along the key without reading the table.
    id = AsLong(db.Scalar("SELECT TOP 1 a.ID+1 AS NewID FROM T_CAT AS a WHERE a.ID>=1 AND NOT EXISTS "
                          "(SELECT b.ID FROM T_CAT AS b WHERE b.ID=a.ID+1) ORDER BY a.ID"));
    return id > 0;
}

long ClCategory::SetNewID()
{
    LastErrorClear();
    long id = 0;
    try {
        LowestFreeID(id);
    } catch (const DbError& e) {
        SetDbError(e);
        return 0;
    }
    m_id = id;
    m_new = true;
    m_changed = true;
    return id;
}

bool ClCategory::Save()
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
        return false;
    }
    if (!m_changed && !m_new && m_id != 0)
        return true;
    const std::string name = CharSubstr(m_name, 0, kNameLength);
    if (name.find_first_not_of(' ') == std::string::npos) {
        SetError(-1, "Eine Kategorie muss einen Namen erhalten !");
        return false;
    }
    try {
        Database& db = Db();
        // A parent chain that leads back here would make the category its own ancestor.
        if (m_id != 0) {
            std::set<long> seen;
            for (long p = m_parent; p != 0 && seen.insert(p).second;
                 p = AsLong(db.Scalar("SELECT CatParent FROM T_CAT WHERE ID=" + Str(p)))) {
                if (p == m_id) {
                    SetError(-1, "Eine Kategorie kann nicht sich selbst oder einer ihrer Unterkategorien "
                                 "untergeordnet werden.");
                    return false;
                }
            }
        }
        DbTransaction transaction(db);
        long id = m_id;
        if (id == 0 || (m_new && db.Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=" + Str(id)).AsLong() != 0))
            LowestFreeID(id);
        auto rs = db.OpenRecordset("SELECT * FROM T_CAT WHERE ID=" + Str(id));
        if (rs->Eof()) {
            rs->AddNew();
            rs->SetField("ID", id);
        } else {
            rs->Edit();
        }
        rs->SetField("CatNameD", name);
        rs->SetField("ErfassungsFlag", m_isEdit);
        rs->SetField("LaenderCode", m_laenderCode);
        rs->SetField("CatType", m_typeID);
        rs->SetField("CatParent", m_parent);
        rs->SetField("CatWPLevel", m_wpLevel);
        rs->SetField("CatWPRepeat", m_wpRepeat);
        rs->Update();
        rs->Close();
        transaction.Commit();
        m_id = id;
        m_name = name;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    m_changed = false;
    m_new = false;
    return true;
}

bool ClCategory::ImportUpdate()
{
    LastErrorClear();
    ClCategory stored;
    stored.m_db = m_db;
    if (stored.LoadbyName(CharSubstr(m_name, 0, kNameLength))) {
        stored.m_readOnly = m_readOnly;
        *this = std::move(stored);
        return true;
    }
    if (stored.LastError() != 0) {
        TakeError(stored);
        return false;
    }
    m_id = 0;
    m_new = true;
    m_changed = true;
    return Save();
}

// --- changes over recipes ------------------------------------------------------------------

bool ClCategory::Delete()
{
    LastErrorClear();
    if (m_id == 0)
        return true;
    if (m_readOnly) {
        SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
        return false;
    }
    const std::string id = Str(m_id);
    if (!Recorded([&] {
            Database& db = Db();
            DbTransaction transaction(db);
            db.Execute("DELETE FROM T_REZ_CAT_NDX WHERE CatID=" + id);
            // Subcategories move up one level instead of pointing at a category that is gone.
            db.Execute("UPDATE T_CAT SET CatParent=" + Str(m_parent) + " WHERE CatParent=" + id);
            db.Execute("DELETE FROM T_CAT WHERE ID=" + id);
            db.Execute("UPDATE T_REZ_KOPF SET RezHERKUNFT=0 WHERE RezHERKUNFT=" + id);
            transaction.Commit();
        }))
        return false;
    Clear();
    return true;
}

bool ClCategory::Merge(long targetID)
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
        return false;
    }
    if (m_id == 0 || targetID == m_id) {
        SetError(
            -1, "Eine Kategorie kann nur mit einer anderen, gespeicherten Kategorie zusammengeführt werden.");
        return false;
    }
    const std::string id = Str(m_id);
    const std::string target = Str(targetID);
    try {
        Database& db = Db();
        if (db.Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=" + target).AsLong() == 0) {
            SetError(-1, "Die Kategorie, mit der zusammengeführt werden soll, gibt es nicht.");
            return false;
        }
        DbTransaction transaction(db);
        if (IsCountry())
            db.Execute("UPDATE T_REZ_KOPF SET RezHerkunft=" + target + " WHERE RezHerkunft=" + id);
        else
            db.Execute("UPDATE T_REZ_CAT_NDX SET CatID=" + target + " WHERE CatID=" + id);
        // Subcategories follow their parent into the target.
        db.Execute("UPDATE T_CAT SET CatParent=" + target + " WHERE CatParent=" + id);
        db.Execute("DELETE FROM T_CAT WHERE ID=" + id);
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    LoadByID(targetID);
    return true;
}

long ClCategory::ChangeToCountryFailCount()
{
    LastErrorClear();
    try {
        return AsLong(
            Db().Scalar("SELECT COUNT(*) FROM T_REZ_CAT_NDX INNER JOIN T_REZ_KOPF ON T_REZ_CAT_NDX.ID "
                        "= T_REZ_KOPF.ID  WHERE (T_REZ_CAT_NDX.CatID=" +
                        Str(m_id) + ") AND (T_REZ_KOPF.RezHerkunft<>0)"));
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
}

bool ClCategory::SetCountry(bool country, bool replaceExisting)
{
    LastErrorClear();
    if (country == IsCountry())
        return true;
    if (m_readOnly) {
        SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
        return false;
    }
    if (m_id == 0 || m_new) {
        SetIsCountry(country);
        return true;
    }
    const std::string id = Str(m_id);
    const long code = country ? -1 : 0;
    if (!Recorded([&] {
            Database& db = Db();
            DbTransaction transaction(db);
            if (country) {
                std::string update = "UPDATE T_REZ_CAT_NDX INNER JOIN T_REZ_KOPF ON T_REZ_CAT_NDX.ID = "
                                     "T_REZ_KOPF.ID SET T_REZ_KOPF.RezHerkunft = " +
                                     id + " WHERE (T_REZ_CAT_NDX.CatID=" + id + ")";
                // A recipe without origin may hold an empty column instead of 0.
                if (!replaceExisting)
                    update += " AND (T_REZ_KOPF.RezHerkunft=0 OR T_REZ_KOPF.RezHerkunft IS NULL)";
                db.Execute(update);
                // Only the category rows go; the origins just written stay.
                db.Execute("DELETE T_REZ_CAT_NDX.* FROM T_REZ_KOPF "
                           "INNER JOIN T_REZ_CAT_NDX ON T_REZ_KOPF.ID = T_REZ_CAT_NDX.ID WHERE "
                           "T_REZ_CAT_NDX.CatID=" +
                           id);
            } else {
                std::vector<long> recipes;
                auto heads = db.OpenRecordset(
                    "SELECT DISTINCTROW ID,RezHerkunft FROM T_REZ_KOPF WHERE RezHerkunft=" + id);
                for (; !heads->Eof(); heads->MoveNext())
                    recipes.push_back(AsLong(heads->Field("ID")));
                heads->Close();
                for (long recipe : recipes) {
                    bool hasPrimary = false;
                    bool hasThis = false;
                    long maxNo = 0;
                    auto rows =
                        db.OpenRecordset("SELECT DISTINCTROW * FROM T_REZ_CAT_NDX WHERE ID=" + Str(recipe));
                    for (; !rows->Eof(); rows->MoveNext()) {
                        hasPrimary = hasPrimary || rows->Field("CatPrimary").AsBool();
                        hasThis = hasThis || AsLong(rows->Field("CatID")) == m_id;
                        maxNo = std::max(maxNo, AsLong(rows->Field("No")));
                    }
                    rows->Close();
                    if (hasThis)
                        continue;
                    auto add = db.OpenRecordset("SELECT * FROM T_REZ_CAT_NDX WHERE ID=" + Str(recipe));
                    add->AddNew();
                    add->SetField("ID", recipe);
                    add->SetField("CatID", m_id);
                    add->SetField("CatPrimary", !hasPrimary);
                    add->SetField("No", maxNo + 1);
                    add->Update();
                    add->Close();
                }
                db.Execute("UPDATE T_REZ_KOPF SET RezHerkunft=0 WHERE RezHerkunft=" + id);
            }
            db.Execute("UPDATE T_CAT SET LaenderCode=" + Str(code) + " WHERE ID=" + id);
            transaction.Commit();
        }))
        return false;
    m_laenderCode = code;
    return true;
}

long ClCategory::MergeTypeID(long from, long to)
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Kategorie kann in dieser Datenbank nicht geändert werden.");
        return -1;
    }
    try {
        Database& db = Db();
        const long count = AsLong(db.Scalar("SELECT COUNT(*) FROM T_CAT WHERE CatType=" + Str(from)));
        DbTransaction transaction(db);
        db.Execute("UPDATE T_CAT SET CatType=" + Str(to) + " WHERE CatType=" + Str(from));
        db.Execute("DELETE FROM T_CAT_TYPE WHERE CatTypeID=" + Str(from));
        transaction.Commit();
        if (m_typeID == from)
            m_typeID = to;
        return count;
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
}

// --- questions -----------------------------------------------------------------------------

bool ClCategory::ConfirmDelete()
{
    LastErrorClear();
    if (UI().Ask("Soll die Kategorie " + Quoted() + " wirklich aus allen Rezepten entfernt werden ?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
        return false;
    return Delete();
}

bool ClCategory::ConfirmMerge(long targetID)
{
    LastErrorClear();
    ClCategory target;
    target.m_db = m_db;
    if (!target.LoadByID(targetID) || targetID == m_id) {
        SetError(-1, "Die Kategorie, mit der zusammengeführt werden soll, gibt es nicht.");
        return false;
    }
    const std::string start = IsCountry() ? "Sollen nun alle Rezepte, die als Herkunftangabe "
                                          : "Sollen nun alle Rezepte, die die Kategorie ";
    if (UI().Ask(start + Quoted() + " enthalten, an dessen Stelle " + target.Quoted() + " erhalten ?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, "Umwandeln von " + m_name) != Answer::Yes)
        return false;
    return Merge(targetID);
}

bool ClCategory::ConfirmSetCountry(bool country)
{
    LastErrorClear();
    if (country == IsCountry())
        return true;
    const long used = UsageCount();
    if (used < 0)
        return false;
    // Without recipes nothing needs adapting, so there is nothing to ask.
    if (used == 0)
        return SetCountry(country, true);
    if (!country) {
        if (UI().Ask("Sollen alle Rezepte, die bisher " + Quoted() +
                         " als Herkunft enthalten haben, diese nun als Kategorie erhalten ?",
                     Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
            return false;
        return SetCountry(false);
    }
    if (UI().Ask("Sollen alle Rezepte, die " + Quoted() +
                     " als Kategorie enthalten, nun entsprechend angepasst werden ?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
        return false;
    const long withOrigin = ChangeToCountryFailCount();
    if (withOrigin < 0)
        return false;
    bool replace = true;
    if (withOrigin > 0) {
        replace = UI().Ask("Es gibt " + Str(withOrigin) +
                               " Rezepte, die bereits eine andere Herkunftsangabe haben. \n\n"
                               "[Ja] Die bisherige Herkunftsangabe wird durch die neue Herkunftsangabe "
                               "ersetzt.\n"
                               "[Nein] Die Kategorie wird aus den Rezepten entfernt, aber die vorhandene "
                               "Herkunftsangabe wird nicht ersetzt.",
                           Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) == Answer::Yes;
    }
    return SetCountry(true, replace);
}

// --- information ---------------------------------------------------------------------------

bool ClCategory::IsNewNameOK(const std::string& name)
{
    LastErrorClear();
    std::string sql = "SELECT * FROM T_CAT WHERE CatNameD LIKE ?";
    if (m_id != 0 && !m_new)
        sql += " AND ID<>" + Str(m_id);
    try {
        return Db().OpenRecordset(sql, {LiteralPattern(CharSubstr(name, 0, kNameLength))})->Eof();
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

long ClCategory::UsageCount()
{
    LastErrorClear();
    const std::string sql = IsCountry()
                                ? "SELECT Count(*) AS X FROM T_REZ_KOPF WHERE RezHerkunft=" + Str(m_id)
                                : "SELECT Count(*) AS X FROM T_REZ_CAT_NDX WHERE CatID=" + Str(m_id);
    try {
        return AsLong(Db().Scalar(sql));
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
}

std::string ClCategory::GetCookbookIDList()
{
    LastErrorClear();
    const std::string id = Str(m_id);
    std::string list;
    try {
        auto rs = Db().OpenRecordset(
            "SELECT DISTINCT T_REZ_KOCHBUCH.BuchID FROM (T_REZ_CAT_NDX INNER JOIN T_REZ_KOCHBUCH ON "
            "T_REZ_CAT_NDX.ID = T_REZ_KOCHBUCH.RezID) INNER JOIN T_REZ_KOPF ON T_REZ_CAT_NDX.ID = "
            "T_REZ_KOPF.ID "
            "WHERE T_REZ_CAT_NDX.CatID=" +
            id + " OR T_REZ_KOPF.RezHerkunft=" + id + " ORDER BY T_REZ_KOCHBUCH.BuchID");
        for (; !rs->Eof(); rs->MoveNext()) {
            if (!list.empty())
                list += ',';
            list += rs->Field("BuchID").AsText();
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return list;
}

std::map<long, long> ClCategory::UsageCounts()
{
    LastErrorClear();
    std::map<long, long> counts;
    try {
        Database& db = Db();
        std::map<long, long> asOrigin;
        auto rs = db.OpenRecordset("SELECT CatID, Count(*) AS X FROM T_REZ_CAT_NDX GROUP BY CatID");
        for (; !rs->Eof(); rs->MoveNext())
            counts[AsLong(rs->Field("CatID"))] = AsLong(rs->Field("X"));
        rs = db.OpenRecordset(
            "SELECT RezHerkunft, Count(*) AS X FROM T_REZ_KOPF WHERE RezHerkunft<>0 GROUP BY "
            "RezHerkunft");
        for (; !rs->Eof(); rs->MoveNext())
            asOrigin[AsLong(rs->Field("RezHerkunft"))] = AsLong(rs->Field("X"));
        // A country counts its origins, as UsageCount does.
        rs = db.OpenRecordset("SELECT ID FROM T_CAT WHERE LaenderCode<>0");
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = AsLong(rs->Field("ID"));
            counts.erase(id);
            if (auto it = asOrigin.find(id); it != asOrigin.end())
                counts[id] = it->second;
        }
    } catch (const DbError& e) {
        SetDbError(e);
        counts.clear();
    }
    return counts;
}

// --- find lists ----------------------------------------------------------------------------

bool ClCategory::LoadFound()
{
    while (m_foundIndex < m_found.size()) {
        if (LoadByID(m_found[m_foundIndex]))
            return true;
        if (m_lastError != 0)
            return false;
        ++m_foundIndex; // a row that names a missing category
    }
    Clear();
    return false;
}

bool ClCategory::FindFirst(const CategoryFindFilter& filter)
{
    LastErrorClear();
    m_found.clear();
    m_foundIndex = 0;
    using Source = CategoryFindFilter::Source;
    std::string sql = "SELECT DISTINCTROW T_CAT.* FROM ";
    bool overIndex = false;
    switch (filter.From) {
    case Source::All:
        sql += "T_CAT WHERE";
        break;
    case Source::InUse:
        sql += "T_REZ_CAT_NDX INNER JOIN T_CAT ON T_REZ_CAT_NDX.CatID = T_CAT.ID WHERE";
        overIndex = true;
        break;
    case Source::OriginsInUse:
        sql += "T_CAT INNER JOIN T_REZ_KOPF ON T_REZ_KOPF.RezHerkunft=T_CAT.ID WHERE";
        break;
    case Source::InCookbook:
        sql +=
            "T_REZ_KOCHBUCH INNER JOIN (T_REZ_CAT_NDX INNER JOIN T_CAT ON T_REZ_CAT_NDX.CatID = T_CAT.ID) ON "
            "T_REZ_KOCHBUCH.RezID = T_REZ_CAT_NDX.ID WHERE (T_REZ_KOCHBUCH.BuchID=" +
            Str(filter.BookID) + ") AND ";
        overIndex = true;
        break;
    }
    sql += " CatNameD LIKE ?";
    if (filter.Country)
        sql += *filter.Country ? " AND LaenderCode<>0" : " AND LaenderCode=0";
    if (filter.TypeID != 0)
        sql += " AND CatType=" + Str(filter.TypeID);
    if (filter.EditOnly)
        sql += " AND ErfassungsFlag<>0";
    if (!Recorded([&] {
            Database& db = Db();
            if (filter.ClassifiedOnly) {
                std::string kinds;
                auto rs = db.OpenRecordset("SELECT CatTypeID FROM T_CAT_TYPE WHERE CatClassified<>0");
                for (; !rs->Eof(); rs->MoveNext())
                    kinds += (kinds.empty() ? "" : ",") + rs->Field("CatTypeID").AsText();
                sql += "  AND (T_CAT.CatTYPE IN (" + (kinds.empty() ? std::string("0") : kinds) + "))";
            }
            if (filter.PrimaryOnly && overIndex)
                sql += " AND (T_REZ_CAT_NDX.CatPrimary<>0) ";
            if (filter.Levels == CategoryFindFilter::Level::ChildrenOnly)
                sql += " AND CatParent<>0";
            else if (filter.Levels == CategoryFindFilter::Level::TopLevelOnly)
                sql += " AND (CatParent=0 or CatParent Is Null)";
            sql += " ORDER BY T_CAT.CatNameD";
            auto rs = db.OpenRecordset(sql, {LiteralPattern(filter.NameStart) + "*"});
            // By position: T_CAT.* begins with ID, and over the nested cookbook join the engine names
            // that column "ID:1".
            for (; !rs->Eof(); rs->MoveNext())
                m_found.push_back(AsLong(rs->Field(0)));
        }))
        return false;
    return LoadFound();
}

bool ClCategory::FindFirstRecipe(long recipeID)
{
    LastErrorClear();
    m_found.clear();
    m_foundIndex = 0;
    if (!Recorded([&] {
            auto rs = Db().OpenRecordset("SELECT CatID,[No] FROM T_REZ_CAT_NDX WHERE T_REZ_CAT_NDX.ID=" +
                                         Str(recipeID) + " ORDER BY T_REZ_CAT_NDX.CatPrimary, [No]");
            for (; !rs->Eof(); rs->MoveNext())
                m_found.push_back(AsLong(rs->Field("CatID")));
        }))
        return false;
    return LoadFound();
}

bool ClCategory::FindNext()
{
    LastErrorClear();
    if (m_foundIndex >= m_found.size())
        return false;
    ++m_foundIndex;
    return LoadFound();
}

long ClCategory::FindMaxRezCatNo(long recipeID)
{
    LastErrorClear();
    try {
        return AsLong(Db().Scalar("SELECT MAX([No]) FROM T_REZ_CAT_NDX WHERE ID=" + Str(recipeID)));
    } catch (const DbError& e) {
        SetDbError(e);
        return 0;
    }
}

// --- lists ---------------------------------------------------------------------------------

std::vector<CategoryKind> ClCategory::FillCatLevel()
{
    LastErrorClear();
    std::vector<CategoryKind> kinds;
    Recorded([&] {
        for (auto rs = Db().OpenRecordset("SELECT * FROM T_CAT_TYPE ORDER BY CatTypeID"); !rs->Eof();
             rs->MoveNext())
            kinds.push_back({AsLong(rs->Field("CatTypeID")), rs->Field("CatTypeName").AsText(),
                             AsLong(rs->Field("CatParentID")), rs->Field("CatClassified").AsBool()});
    });
    return kinds;
}

std::vector<CategoryItem> ClCategory::FillListbox(const CategoryListFilter& filter)
{
    LastErrorClear();
    // An empty code is no country and no hidden entry either.
    std::string sql = "SELECT * FROM T_CAT WHERE (LaenderCode<>99 OR LaenderCode Is Null)";
    if (filter.ExcludeID != 0)
        sql += " AND ID<>" + Str(filter.ExcludeID);
    if (filter.EditOnly)
        sql += " AND Erfassungsflag<>0";
    if (filter.TypeID != 0)
        sql += " AND CatTYPE=" + Str(filter.TypeID);
    if (filter.WPLevelOnly)
        sql += " AND CatWPLevel<>0";
    if (filter.TopLevelOnly)
        sql += " AND (CatParent=0 OR CatParent is Null)";
    if (filter.Country)
        sql += *filter.Country ? " AND LaenderCode<>0" : " AND (LaenderCode=0 OR LaenderCode Is Null)";
    sql += " ORDER BY CatNameD";
    return ItemsOf(sql);
}

std::vector<CategoryItem> ClCategory::GetChilds(long parentID)
{
    LastErrorClear();
    std::string sql = "SELECT * FROM T_CAT WHERE ";
    sql += parentID == 0 ? "(CatParent=0 OR CatParent Is Null)" : "CatParent=" + Str(parentID);
    sql += " AND (LaenderCode<>99 OR LaenderCode Is Null) ORDER BY CatNameD";
    return ItemsOf(sql);
}

std::vector<CategoryItem> ClCategory::ItemsOf(const std::string& sql)
{
    std::vector<CategoryItem> items;
    Recorded([&] {
        for (auto rs = Db().OpenRecordset(sql); !rs->Eof(); rs->MoveNext())
            items.push_back(ItemOf(*rs));
    });
    return items;
}

bool ClCategory::GetParentCategory(ClCategory& parent)
{
    parent.m_db = m_db;
    parent.m_readOnly = m_readOnly;
    if (m_parent == 0) {
        parent.Clear();
        return false;
    }
    return parent.LoadByID(m_parent);
}

bool ClCategory::LoadInheritData(long parentID)
{
    ClCategory parent;
    parent.m_db = m_db;
    if (!parent.LoadByID(parentID)) {
        if (parent.LastError() != 0)
            TakeError(parent);
        else
            SetError(-1, "Die übergeordnete Kategorie gibt es nicht.");
        return false;
    }
    LastErrorClear();
    m_parent = parentID;
    m_typeID = parent.m_typeID;
    m_laenderCode = parent.m_laenderCode;
    m_isEdit = parent.m_isEdit;
    m_changed = true;
    return true;
}

} // namespace pf
