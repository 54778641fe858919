#include "lexicon/clTool.h"

#include "core/Language.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "lexicon/LexiconAreas.h"

namespace pf {

namespace {

std::string Text(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

} // namespace

clTool::clTool() : m_group(UserLanguageGroup()) {}

std::string clTool::SynonymText(int i) const
{
    return i >= 0 && i < SynonymCount() ? m_synonyms[static_cast<std::size_t>(i)].Text : std::string();
}

long clTool::SynonymLang(int i) const
{
    return i >= 0 && i < SynonymCount() ? m_synonyms[static_cast<std::size_t>(i)].Language : 0;
}

void clTool::SynonymAdd(std::string text, long language)
{
    m_synonyms.push_back({std::move(text), language});
}

void clTool::SynonymRemove(int i)
{
    if (i >= 0 && i < SynonymCount())
        m_synonyms.erase(m_synonyms.begin() + i);
}

std::string clTool::Name() const
{
    for (const LexiconSynonym& synonym : m_synonyms)
        if (LanguageGroup(synonym.Language) == m_group)
            return synonym.Text;
    return m_synonyms.empty() ? std::string() : m_synonyms.front().Text;
}

std::string clTool::DescriptionColumn() const
{
    // The table carries the German column only; other groups read and write it as well.
    return "GerMerkmalD";
}

bool clTool::LoadByID(long id)
{
    LastErrorClear();
    try {
        Database& db = Db();
        auto rs = db.OpenRecordset("SELECT * FROM T_GERAET WHERE ID=" + std::to_string(id));
        auto keys = db.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE KeyType=2 AND ID=" + std::to_string(id) +
                                     " ORDER BY Sprachcode");
        if (rs->Eof() && keys->Eof()) {
            SetError(-1, "Das Utensil " + std::to_string(id) + " gibt es nicht.");
            return false;
        }
        *this = clTool();
        m_db = &db;
        m_id = id;
        if (!rs->Eof()) {
            m_description = Text(rs->Field("GerMerkmalD"));
            const Value picture = rs->Field("GerBild");
            if (!picture.IsNull())
                m_picture = picture.AsBinary();
            m_language =
                rs->Field("Language").IsNull() ? 0 : static_cast<long>(rs->Field("Language").AsLong());
            m_userflag = !rs->Field("Userflag").IsNull() && rs->Field("Userflag").AsBool();
            const long fp1 = static_cast<long>(
                rs->Field("Fingerprint1").IsNull() ? 0 : rs->Field("Fingerprint1").AsLong());
            const long fp2 = static_cast<long>(
                rs->Field("Fingerprint2").IsNull() ? 0 : rs->Field("Fingerprint2").AsLong());
            if (fp1 != 0 || fp2 != 0)
                m_fingerprint.SetFPBin(static_cast<std::int32_t>(fp1), static_cast<std::int32_t>(fp2));
        }
        for (; !keys->Eof(); keys->MoveNext()) {
            const Value language = keys->Field("Sprachcode");
            m_synonyms.push_back(
                {Text(keys->Field("KEY")), language.IsNull() ? 0 : static_cast<long>(language.AsLong())});
            if (m_tree.empty())
                m_tree = Text(keys->Field("Tree"));
        }
        return true;
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

bool clTool::FillList(std::vector<ToolListRow>& list)
{
    LastErrorClear();
    list.clear();
    try {
        auto rs = Db().OpenRecordset("SELECT ID,[KEY],Sprachcode,Tree FROM T_INFO_KEY WHERE KEYTYPE=2" +
                                     LanguageGroupCondition(m_group) + " ORDER BY ID");
        for (; !rs->Eof(); rs->MoveNext()) {
            const Value language = rs->Field("Sprachcode");
            list.push_back({static_cast<long>(rs->Field("ID").AsLong()), Text(rs->Field("KEY")),
                            language.IsNull() ? 0 : static_cast<long>(language.AsLong()),
                            Text(rs->Field("Tree"))});
        }
        return true;
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

void clTool::WriteRows(Database& db)
{
    if (m_id <= 0)
        m_id = NextEntryID(db, area::kUtensils);
    m_fingerprint.Update();
    const std::string id = std::to_string(m_id);
    db.Execute("DELETE FROM T_GERAET WHERE ID=" + id);
    db.Execute("INSERT INTO T_GERAET (ID, " + DescriptionColumn() +
                   ", GerBild, Language, Fingerprint1, Fingerprint2, Userflag) VALUES (?, ?, ?, ?, ?, ?, ?)",
               {m_id, m_description.empty() ? Value() : Value(m_description),
                m_picture.empty() ? Value() : Value(m_picture), m_language,
                static_cast<long>(m_fingerprint.FP1()), static_cast<long>(m_fingerprint.FP2()), m_userflag});
    db.Execute("DELETE FROM T_INFO_KEY WHERE ID=" + id + " AND KeyType=2");
    for (const LexiconSynonym& synonym : m_synonyms)
        db.Execute("INSERT INTO T_INFO_KEY (ID, [KEY], SprachCode, KeyType, Tree) VALUES (?, ?, ?, 2, ?)",
                   {m_id, synonym.Text, synonym.Language, m_tree.empty() ? Value() : Value(m_tree)});
}

bool clTool::Save()
{
    LastErrorClear();
    const long idBefore = m_id;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        WriteRows(db);
        transaction.Commit();
        return true;
    } catch (const DbError& error) {
        m_id = idBefore;
        SetDbError(error);
        return false;
    }
}

long clTool::ImportUpdate(const std::string& name)
{
    LastErrorClear();
    const std::string cleaned =
        std::string(Trim(ReplaceSpecialChars(ReplaceSpecialChars(name, 1), 2), kWhiteSpace));
    if (cleaned.empty())
        return 0;
    try {
        const Value found =
            Db().Scalar("SELECT ID FROM T_INFO_KEY WHERE KeyType=2 AND [Key] LIKE ?", {cleaned});
        if (!found.IsNull())
            return static_cast<long>(found.AsLong());
    } catch (const DbError& error) {
        SetDbError(error);
        return 0;
    }
    Database* db = m_db;
    *this = clTool();
    m_db = db;
    SynonymAdd(cleaned, 1);
    m_userflag = true;
    return Save() ? m_id : 0;
}

std::vector<clTool> RecipeTools(Database& db, long recipeId)
{
    std::vector<long> ids;
    auto rs = db.OpenRecordset("SELECT DISTINCT GeraetID FROM T_REZ_GERAET WHERE RezID=" +
                               std::to_string(recipeId) + " ORDER BY GeraetID");
    for (; !rs->Eof(); rs->MoveNext())
        ids.push_back(static_cast<long>(rs->Field("GeraetID").AsLong()));
    std::vector<clTool> tools;
    for (long id : ids) {
        clTool tool;
        tool.SetDB(db);
        if (tool.LoadByID(id))
            tools.push_back(std::move(tool));
        else if (tool.LastError() > 0)
            throw DbError(tool.LastError(), tool.LastErrorText(), {}, "RecipeTools");
    }
    return tools;
}

} // namespace pf
