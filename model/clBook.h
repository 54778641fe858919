#pragma once
// One cookbook (a T_BUCH row) and the list of all cookbooks, read once per object and kept until
// the next save. The numbers 0, -1, -2 and -3 are reserved views (all recipes, none, duplicates,
// trash) that have no row; they load with their fixed names. Touches the database only on load,
// count and save.

#include "db/Value.h"
#include "model/ModelObject.h"

#include <string>
#include <vector>

namespace pf {

class Database;

class clBook : public ModelObject
{
public:
    static constexpr long kBaseBook = 0;
    static constexpr long kNoBook = -1;
    static constexpr long kDuplicates = -2;
    static constexpr long kTrash = -3;

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    long id() const { return m_id; }
    const std::string& Title() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string description) { m_description = std::move(description); }
    DateSerial DateCreated() const { return m_dateCreated; }
    DateSerial DateModified() const { return m_dateModified; }

    // Name of a reserved number; empty for any other number.
    static std::string DefaultName(long id);
    // Fixed description of a reserved number shown on the cookbook screen; empty for others.
    static std::string DefaultDescription(long id);

    // Loads cookbook id; reserved numbers load their fixed name (the base cookbook the dates of its
    // row, when it has one). False when the
    // cookbook does not exist: it then carries id and the name "Unbekanntes Kochbuch #<id>".
    bool LoadByID(long id);
    // Loads the first cookbook whose title matches (LIKE, case-insensitive); false when none.
    bool LoadbyName(const std::string& title);
    // Name of cookbook id as LoadByID gives it, without changing this object.
    std::string GetBookName(long id);

    // Number of T_BUCH rows; reads and keeps the list of all cookbooks ordered by ID.
    long Count();
    // Loads entry index (1..Count) of the kept list; Index gives the loaded entry, 0 when none.
    bool SetIndex(long index);
    long Index() const { return m_index; }

    // Recipes shown in cookbook id: the trash counts deleted recipes, the base cookbook every
    // recipe not deleted, any other cookbook its members that are neither deleted nor templates.
    // -1 when the count failed.
    long RezCount(long id);

    // Writes the cookbook; a new one (id -1) takes the next free ID. Title and description are
    // both required; reserved numbers have no row and cannot be saved.
    bool Save();
    // Finds the cookbook an import names by its title, or creates it (the description defaults to
    // the title). False only when neither worked.
    bool ImportUpdate(const std::string& title, const std::string& description = "");

    // Deletes the loaded cookbook (real cookbooks only) and its memberships in one transaction.
    // With moveOnlyMembersToTrash the recipes that belong to no other cookbook go to the trash.
    // Returns the number of recipes thrown into the trash, -1 on failure (nothing changed).
    long Delete(bool moveOnlyMembersToTrash);
    // Adds every recipe of the loaded cookbook that targetID does not hold yet to targetID, in one
    // transaction. Returns the number of recipes added, -1 on failure.
    long AddToNewBook(long targetID);
    // As AddToNewBook, then removes the recipes from the loaded cookbook, in one transaction.
    long Move(long targetID);

    // The same three with the cookbook screen's question first and its warning, progress and
    // result afterwards. -1 when the user said No or the change failed (the reason was shown).
    long AskDelete(bool moveOnlyMembersToTrash);
    long AskAddToNewBook(long targetID);
    long AskMove(long targetID);

    // Entries of a cookbook list: every cookbook ordered by ID, preceded by the reserved views
    // (base cookbook, duplicates, trash) when withReserved is set.
    struct ListItem
    {
        long id = 0;
        std::string Text;
    };
    std::vector<ListItem> GetBooklist2List(bool withReserved);
    // Forgets the loaded cookbook: id -1, empty fields.
    void Void();

private:
    struct Entry
    {
        long id = 0;
        std::string Title;
        std::string Description;
        DateSerial DateCreated;
        DateSerial DateModified;
    };

    void ReadList();
    // The dates of a reserved number's own row, when it has one.
    void ReadReservedDates();
    void Assign(const Entry& entry);
    void ForgetList();
    // Checks that the loaded cookbook is a stored one and targetID another stored one.
    bool CheckTransfer(long targetID);
    long Transfer(long targetID, bool removeFromSource);
    long AskTransfer(long targetID, bool removeFromSource);

    long m_id = kNoBook;
    std::string m_title;
    std::string m_description;
    DateSerial m_dateCreated;
    DateSerial m_dateModified;

    bool m_listRead = false;
    std::vector<Entry> m_list;
    long m_index = 0;
};

// The active cookbook of the program (the start hook): loads cookbook id into AppContext
// ActiveBookId/ActiveBookTitle. A cookbook that no longer exists gives the base cookbook, so a
// deleted book is not kept as the active one.
void LoadActiveCookbook(long id);

} // namespace pf
