#pragma once
// One kitchen utensil of the lexicon (area 2): its description and picture in T_GERAET and its
// keywords (one T_INFO_KEY row per synonym, all with the same ID and tree node). A recipe's tool
// list names utensils by ID. Save replaces the utensil's rows in one transaction; methods return
// false with the reason in LastError/LastErrorText.

#include "db/Value.h"
#include "model/ClFingerprint.h"
#include "model/ModelObject.h"

#include <string>
#include <vector>

namespace pf {

class Database;

struct LexiconSynonym
{
    std::string Text;
    long Language = 1;
    friend bool operator==(const LexiconSynonym&, const LexiconSynonym&) = default;
};

// One row of FillList.
struct ToolListRow
{
    long Id = 0;
    std::string Keyword;
    long Language = 0;
    std::string Tree;
};

class clTool : public ModelObject
{
public:
    clTool();

    void SetDB(Database& db) { m_db = &db; }
    bool LoadByID(long id);
    // Every utensil keyword of the user's language group, by ID.
    bool FillList(std::vector<ToolListRow>& list);
    // Writes the utensil: a new one gets the next free number first.
    bool Save();
    // The utensil whose keyword equals name (case ignored); a new one, marked as the user's, when
    // none has it. Returns its ID, 0 on failure or for an empty name.
    long ImportUpdate(const std::string& name);

    long id() const { return m_id; }
    void id(long value) { m_id = value; }
    const std::string& Description() const { return m_description; }
    void Description(std::string value) { m_description = std::move(value); }
    // The description column for the user's language group ("GerMerkmal" and the group letter).
    std::string DescriptionColumn() const;
    long LanguageID() const { return m_language; }
    void LanguageID(long value) { m_language = value; }
    const std::string& Tree() const { return m_tree; }
    void Tree(std::string value) { m_tree = std::move(value); }
    const Blob& Picture() const { return m_picture; }
    void Picture(Blob value) { m_picture = std::move(value); }
    bool Userflag() const { return m_userflag; }
    void Userflag(bool value) { m_userflag = value; }
    ClFingerprint& Fingerprint() { return m_fingerprint; }

    int SynonymCount() const { return static_cast<int>(m_synonyms.size()); }
    std::string SynonymText(int i) const;
    long SynonymLang(int i) const;
    void SynonymAdd(std::string text, long language);
    void SynonymRemove(int i);
    const std::vector<LexiconSynonym>& Synonyms() const { return m_synonyms; }
    // The first keyword in the user's language group, else the first keyword.
    std::string Name() const;

    // The rows of Save without a transaction of their own, for callers that hold one. Throws
    // DbError.
    void WriteRows(Database& db);

private:
    long m_id = 0;
    std::string m_description;
    long m_language = 0;
    std::string m_tree;
    Blob m_picture;
    bool m_userflag = false;
    ClFingerprint m_fingerprint;
    std::vector<LexiconSynonym> m_synonyms;
    std::string m_group; // the user's language group when the object was made
};

// The utensils of a recipe (T_REZ_GERAET) as lexicon entries, in ID order; utensils whose entry is
// missing are left out. Throws DbError.
std::vector<clTool> RecipeTools(Database& db, long recipeId);

} // namespace pf
