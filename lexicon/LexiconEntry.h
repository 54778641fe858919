#pragma once
// One lexicon entry as the editor holds it: its area, number, tree node, keywords (synonyms in
// several languages) and the fields of its area's entry table (explanation, additive data,
// utensil description, wine data). Save writes the keywords and every entry row in one
// transaction; Delete removes them in one transaction. Methods return false with the reason in
// LastError/LastErrorText; a database failure also goes to the error log and leaves the object as
// it was.

#include "core/Decimal4.h"
#include "db/Value.h"
#include "lexicon/clTool.h"
#include "model/ClFingerprint.h"
#include "model/ModelObject.h"

#include <string>
#include <vector>

namespace pf {

class Database;

struct LexiconEntryRow
{
    long Id = 0;
    std::string Keyword;
    bool HasDescription = false;
};

class LexiconEntry : public ModelObject
{
public:
    static constexpr long kRefusedNoKeyword = -1;
    static constexpr long kRefusedArea = -2;
    static constexpr long kRefusedMissing = -3;
    static constexpr long kRefusedDeclined = -4;
    static constexpr long kRefusedPicture = -5;

    LexiconEntry() = default;
    explicit LexiconEntry(long area) : m_area(area), m_savedArea(area) {}

    void SetDB(Database& db) { m_db = &db; }
    bool LoadByID(long area, long id);
    // Saves after asking "… Speichern" with Yes/No when confirm is set (No: false, nothing
    // written). A new entry gets the next number of its area; an additive without E number a
    // generated key "-0001" ….
    bool Save(bool confirm = false);
    // Deletes the entry after asking with Yes/No when confirm is set (No: false, nothing
    // deleted). A utensil leaves the tool lists of the recipes that name it, and every food link
    // to the entry goes too, so that a later entry given the same number inherits nothing.
    bool Delete(bool confirm = false);
    // Takes the picture of a utensil from a file: JPEG, PNG, GIF or BMP (a large one after a
    // question). Other files are refused with LastErrorText, a file that cannot be read after its
    // message was shown (LastErrorText empty); the picture held before stays.
    bool LoadPicture(const std::string& path);

    long Area() const { return m_area; }
    // Moves the entry to another area; Save carries its keywords along.
    void Area(long value) { m_area = value; }
    long Id() const { return m_id; }
    // The area the entry is stored in (differs from Area() until a moved entry is saved).
    long SavedArea() const { return m_savedArea; }
    const std::string& Tree() const { return m_tree; }
    void Tree(std::string value) { m_tree = std::move(value); }
    long Language() const { return m_language; }
    void Language(long value) { m_language = value; }
    std::vector<LexiconSynonym>& Synonyms() { return m_synonyms; }
    const std::vector<LexiconSynonym>& Synonyms() const { return m_synonyms; }
    std::string Name() const { return m_synonyms.empty() ? std::string() : m_synonyms.front().Text; }

    // The explanation (T_LEXIKON.LexikonD) of terms, techniques, wines, vitamins and minerals.
    std::string Text;
    // Additives (T_GIFT): the E number (KEY), description, colour, where it occurs, the flag.
    std::string ENumber;
    std::string Info;
    std::string Farbe;
    std::string EnthaltenIn;
    bool Gefahr = false;
    // Utensils (T_GERAET).
    std::string Description;
    Blob Picture;
    // Wines (T_WEIN): the language-neutral row and the texts of the entry's language.
    std::string Label;
    long Jahr = 0;
    std::string Trauben;
    long Rating = 0;
    Decimal4 Preis;
    Decimal4 Alkohol;
    std::string Detail;
    std::string Degustation;

private:
    void WriteEntryRows(Database& db);
    void WriteTextRow(Database& db);
    void WriteAdditiveRow(Database& db);
    void WriteWineRows(Database& db);
    void WriteKeys(Database& db);
    void MoveArea(Database& db);

    long m_area = 0;
    long m_savedArea = 0; // the area the entry is stored in
    long m_id = 0;
    std::string m_tree;
    long m_language = 1;
    std::vector<LexiconSynonym> m_synonyms;
    ClFingerprint m_fingerprint;
};

// The language a new keyword gets: the first code of the user's language group (German when the
// group has none).
long DefaultKeywordLanguage();

// The key an additive without E number gets: "-" and the number after the highest such key,
// four digits ("-0001" when there is none). Throws DbError.
std::string NextGeneratedAdditiveKey(Database& db);

// Removes an entry's keywords and its rows in the area's tables. Throws DbError.
void DeleteLexiconEntryRows(Database& db, long area, long id);

// The entries of an area with their first keyword, for the deletion list of the maintenance
// window; HasDescription tells whether the entry has its text (explanation, additive info,
// utensil description). Throws DbError.
std::vector<LexiconEntryRow> LexiconDeleteList(Database& db, long area);
// Deletes the chosen entries of an area in one transaction, after asking with Yes/No when confirm
// is set; returns how many were deleted (0 when declined), -1 on a database failure (reported,
// nothing deleted).
long DeleteLexiconEntries(Database& db, long area, const std::vector<long>& ids, bool confirm = false);

} // namespace pf
