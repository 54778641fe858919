#include "search/SearchTemplates.h"

#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"

namespace pf {

std::vector<SearchTemplateItem> SearchTemplates::FillSearchTemplateList(const std::string& user)
{
    std::vector<SearchTemplateItem> items;
    std::string sql = "SELECT Suchname,ID FROM T_SUCHE_KOPF";
    if (!user.empty())
        sql += " WHERE Owner=\"\" OR Owner IS NULL OR Owner like \"" + ReplaceSpecialChars(user, 1) + "\"";
    sql += " ORDER BY Suchname";
    try {
        for (auto rs = Db().OpenRecordset(sql); !rs->Eof(); rs->MoveNext()) {
            const Value name = rs->Field(0);
            items.push_back(
                {name.IsNull() ? std::string() : name.AsText(), static_cast<long>(rs->Field(1).AsLong())});
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return items;
}

std::string SearchTemplates::GetSearchTemplateData(long id)
{
    try {
        const Value v = Db().Scalar("SELECT Daten FROM T_SUCHE_KOPF WHERE ID=" + std::to_string(id));
        return v.IsNull() ? std::string() : v.AsText();
    } catch (const DbError& e) {
        SetDbError(e);
        return {};
    }
}

long SearchTemplates::CompareSearchTemplateData(const std::string& data)
{
    try {
        for (auto rs = Db().OpenRecordset("SELECT Suchname,Daten,ID FROM T_SUCHE_KOPF"); !rs->Eof();
             rs->MoveNext()) {
            const Value v = rs->Field(1);
            if (!v.IsNull() && v.AsText() == data)
                return static_cast<long>(rs->Field(2).AsLong());
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return -1;
}

long SearchTemplates::FindByName(const std::string& name)
{
    try {
        for (auto rs = Db().OpenRecordset("SELECT Suchname,ID FROM T_SUCHE_KOPF"); !rs->Eof();
             rs->MoveNext()) {
            const Value v = rs->Field(0);
            if (!v.IsNull() && EqualsNoCase(v.AsText(), name))
                return static_cast<long>(rs->Field(1).AsLong());
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return -1;
}

long SearchTemplates::NextID()
{
    const Value v = Db().Scalar("SELECT MAX(ID) FROM T_SUCHE_KOPF");
    return std::max(1L, (v.IsNull() ? 0L : static_cast<long>(v.AsLong())) + 1);
}

long SearchTemplates::SaveSearchTemplateData(long id, const std::string& name, const std::string& owner,
                                             const std::string& data)
{
    LastErrorClear();
    try {
        DbTransaction transaction(Db());
        std::unique_ptr<Recordset> rs;
        if (id >= 0)
            rs = Db().OpenRecordset("SELECT ID,Suchname,Owner,Daten FROM T_SUCHE_KOPF WHERE ID=" +
                                    std::to_string(id));
        if (!rs || rs->Eof()) {
            if (id < 0)
                id = NextID();
            rs = Db().OpenRecordset("SELECT ID,Suchname,Owner,Daten FROM T_SUCHE_KOPF WHERE ID=" +
                                    std::to_string(id));
            rs->AddNew();
            rs->SetField("ID", id);
        } else {
            rs->Edit();
        }
        rs->SetField("Suchname", CharSubstr(name, 0, 64));
        rs->SetField("Owner", CharSubstr(owner, 0, 50));
        rs->SetField("Daten", data);
        rs->Update();
        transaction.Commit();
        return id;
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
}

bool SearchTemplates::DelSearchTemplatedata(long id)
{
    try {
        Db().Execute("DELETE FROM T_SUCHE_KOPF WHERE ID=" + std::to_string(id));
        return true;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

bool SearchTemplates::SetSearchTemplateDefault(long id)
{
    LastErrorClear();
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        if (id == -1) {
            db.Execute("UPDATE T_SUCHE_KOPF SET ID=" + std::to_string(NextID()) + " WHERE ID=0");
        } else if (id >= 1) {
            const bool hasDefault = db.Scalar("SELECT COUNT(*) FROM T_SUCHE_KOPF WHERE ID=0").AsLong() > 0;
            const std::string n = std::to_string(id);
            if (hasDefault) {
                db.Execute("UPDATE T_SUCHE_KOPF SET ID=-1 WHERE ID=" + n);
                db.Execute("UPDATE T_SUCHE_KOPF SET ID=" + n + " WHERE ID=0");
                db.Execute("UPDATE T_SUCHE_KOPF SET ID=0 WHERE ID=-1");
            } else {
                db.Execute("UPDATE T_SUCHE_KOPF SET ID=0 WHERE ID=" + n);
            }
        }
        transaction.Commit();
        return true;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

} // namespace pf
