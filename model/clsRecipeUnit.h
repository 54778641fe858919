#pragma once
// The units a recipe's yield is counted in (T_REZ_KOPFEINHEIT: portions, pieces, loaves), held in
// memory at indexes 1..Count in German-name order. Renames, new entries and merges stay in memory
// until RefreshDB writes them in one transaction; a read-only list never writes.

#include "model/ModelObject.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClUnit;
class Database;

struct RecipeUnitEntry
{
    long id = 0; // -1 until stored
    std::string UnitNameD;
    std::string UnitNameE;
    std::string UnitNameF;
    int UnitCompatible = 0; // index of the matching ClUnit entry, 0 when none
    long UnitUsenum = -1;   // recipes using it, -1 until first asked
    long ReplacementId = 0; // set by Deleteentry
    bool Deleted = false;
    bool Changed = false;
};

class clsRecipeUnit : public ModelObject
{
public:
    // units may be null: then no entry has a compatible measurement unit. Loads the list.
    bool Init(Database& db, ClUnit* units = nullptr);
    // Copies the list of source (used for a second database).
    void LoadDefault(const clsRecipeUnit& source);
    void ReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int Count() const { return static_cast<int>(m_entries.size()) - 1; }

    // Getters give empty values for an index outside 1..Count.
    long id(int index) const;
    std::string UnitNameD(int index) const;
    std::string UnitNameE(int index) const;
    std::string UnitNameF(int index) const;
    int UnitCompatible(int index) const;
    bool IsDeleted(int index) const;

    // Appends an entry; empty British or French names take the German one.
    int NewEntry(const std::string& nameD, const std::string& nameE, const std::string& nameF);
    // Renames an entry (same name rules as NewEntry); marks it changed.
    bool SetNames(int index, const std::string& nameD, const std::string& nameE, const std::string& nameF);
    // Marks the entry to be merged into replacementID by the next RefreshDB.
    bool Deleteentry(int index, long replacementID);

    // First entry whose German, British or French name equals name, ignoring case; 0 when none.
    int SearchName(std::string_view name) const;
    // A numeric text searches by ID, any other text by name.
    int SearchID(std::string_view text) const;
    // Number of recipes (not templates, not deleted) counted in this unit; cached per entry.
    long UnitUsenum(int index);

    // Merges the deleted entries into their replacements and writes changed entries, in one
    // transaction. False with LastErrorText when it failed; the database is then unchanged.
    bool RefreshDB();

private:
    void Load();
    int FindCompatible(const RecipeUnitEntry& e) const;
    const RecipeUnitEntry* Entry(int index) const;

    ClUnit* m_units = nullptr;
    bool m_readOnly = false;
    std::vector<RecipeUnitEntry> m_entries = std::vector<RecipeUnitEntry>(1); // [0] is empty
};

} // namespace pf
