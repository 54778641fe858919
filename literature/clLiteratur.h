#pragma once
// One literature source (a T_LITERATUR row with its categories and cover picture): a cookbook or a magazine
// issue that recipes name with a page. Publisher and author are address records; their names are read on
// load. The object touches the database only in its load, count, list, save and delete operations; Save and
// Delete each write in one transaction. Questions go through UI().

#include "db/Value.h"
#include "model/ModelObject.h"

#include <map>
#include <string>
#include <vector>

namespace pf {

class Database;

class clLiteratur : public ModelObject
{
public:
    // Refusal codes of Save and Delete (LastError).
    static constexpr long kErrNoTitle = -1;
    static constexpr long kErrTooLong = -2;
    static constexpr long kErrDuplicate = -3;
    static constexpr long kErrInUse = -4;
    static constexpr long kErrNotStored = -5;
    static constexpr long kErrBadEAN = -6;

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    long id() const { return m_data.id; }
    const std::string& Title() const { return m_data.Title; }
    void SetTitle(std::string title) { m_data.Title = std::move(title); }
    long Jahrgang() const { return m_data.Jahrgang; }
    void SetJahrgang(long year) { m_data.Jahrgang = year; }
    const std::string& Ausgabe() const { return m_data.Ausgabe; }
    void SetAusgabe(std::string issue) { m_data.Ausgabe = std::move(issue); }
    long VerlagID() const { return m_data.VerlagID; }
    // Sets the publisher's address and reads its name.
    void SetVerlagID(long id);
    const std::string& Verlag() const { return m_verlag; }
    long AutorID() const { return m_data.AutorID; }
    // Sets the author's address and reads its name.
    void SetAutorID(long id);
    const std::string& Autor() const { return m_autor; }
    const std::string& Bemerkungen() const { return m_data.Bemerkungen; }
    void SetBemerkungen(std::string notes) { m_data.Bemerkungen = std::move(notes); }
    const std::string& Storage() const { return m_data.Storage; }
    void SetStorage(std::string place) { m_data.Storage = std::move(place); }
    const std::string& Borrowed() const { return m_data.Borrowed; }
    void SetBorrowed(std::string who) { m_data.Borrowed = std::move(who); }
    // The EAN or ISBN, digits only (an ISBN-10 may end in "X"); "" for none.
    const std::string& EAN() const { return m_data.EAN; }
    // Takes the code as typed: blanks and hyphens are dropped, the rest is checked on save.
    void SetEAN(const std::string& code);
    // The cover picture (picture 1 of the source), read with the source; empty for none.
    const Blob& DeckblattBild() const { return m_data.Cover; }
    // Sets the cover; an empty one removes it on the next save.
    void SetDeckblattBild(Blob picture) { m_data.Cover = std::move(picture); }
    // The number of pictures of the stored source (the cover is picture 1).
    long PictureCount();
    long Rating() const { return m_data.Rating; }
    void SetRating(long rating) { m_data.Rating = rating; }
    long Fingerprint1() const { return m_data.Fingerprint1; }
    long Fingerprint2() const { return m_data.Fingerprint2; }
    void SetFingerprint(long part1, long part2)
    {
        m_data.Fingerprint1 = part1;
        m_data.Fingerprint2 = part2;
    }
    // Categories, the primary one first; CatPrimary is 0 when none is primary.
    const std::vector<long>& Categories() const { return m_data.Categories; }
    long CatPrimary() const { return m_data.CatPrimary; }
    // Sets the categories; primary (0 for none) is added when missing and listed first.
    void SetCategories(std::vector<long> categories, long primary);

    // Loads source id with its categories; false (and an empty object) when there is none.
    bool Loadr(long id);
    // Loads the source with this title, year (0 = any) and issue ("" = any); false when none.
    bool LoadbyName(const std::string& title, long year = 0, const std::string& issue = "");
    // Loads the source whose second fingerprint part is value; false when none.
    bool LoadByFingerprint(long value);
    // Forgets the loaded source: id 0, empty fields.
    void Void();

    // True when another stored source has the same title, year and issue.
    bool CheckForDupe();
    // Recipes that name this source, those in the trash included (their restore would otherwise
    // name a source that is gone).
    long RecipeCount();
    // The same count for every source that recipes name, by QuelleID, read at once for lists.
    std::map<long, long> RecipeCounts();

    // Writes the source; a new one (id 0) takes the next free QuelleID. Refuses an empty title,
    // texts longer than their columns and a duplicate of another source.
    bool Save();
    // Deletes the source with its categories and cover pictures. Refuses a source that recipes
    // still name: their page references would point nowhere.
    bool Delete();
    // Delete after the question "Soll die Literaturquelle ... gelöscht werden?"; a refusal is shown.
    // False when the user said No or the delete was refused.
    bool AskDelete();

    // Turns the object into an unsaved copy of itself (id 0, changed) with the cover and categories;
    // the copy gets no fingerprint, being another record. It saves once title, year or issue differ.
    void Clone();
    // Writes this source into another database and returns its QuelleID there (0 on failure, the
    // reason in LastErrorText). A source the target holds already (same fingerprint identity, or
    // same title, year and issue) is not copied again: its ID is returned. Publisher and author
    // are matched there by fingerprint or name, and copied when missing; categories, which belong
    // to this database's tree, stay behind. Writes in one transaction on the target.
    long CloneToNewDb(Database& target);
    // Stores a source read from outside (this object, id ignored). A stored source with the same
    // fingerprint identity is replaced when this one is newer and kept otherwise; failing that a
    // source with the same title, year and issue is kept; else this one is saved as new. The
    // object then holds what is stored.
    bool ImportUpdate();

    // True when a field differs from what was last loaded or saved.
    bool IsChanged() const;
    // Restores what was last loaded or saved.
    void CancelChange();

    // The display text of a source: title, " (publisher)", ", year", "/issue" after a year or
    // ", issue" without one, ", Seite page". Empty or 0 arguments are taken from this source.
    std::string GetTitleText(const std::string& title = "", const std::string& publisher = "", long year = 0,
                             const std::string& issue = "", long page = 0) const;
    // The same text from the given parts alone.
    static std::string ComposeTitleText(const std::string& title, const std::string& publisher, long year,
                                        const std::string& issue, long page);

    struct ListItem
    {
        long id = 0;
        std::string Text;
    };
    // All sources by title, year and issue, or those of one publisher (publisher > 0).
    std::vector<ListItem> FillLiteraturlist(long publisher = 0);

    struct ContentsRecipe
    {
        long id = 0;
        std::string Title;
        std::string Page; // as stored, may be empty
        std::string Text; // the page right-aligned in five characters, " - ", the title
    };
    struct ContentsSource
    {
        long id = 0;
        std::string Text;
        std::vector<ContentsRecipe> Recipes; // by page number, recipes without page last
    };
    struct ContentsPublisher
    {
        long id = 0;
        std::string Name;
        std::vector<ContentsSource> Sources;
    };
    // The table of contents: sources grouped under their publisher (sorted by name), each with
    // its recipes that are not deleted. publisher and source (0 = all) restrict it.
    std::vector<ContentsPublisher> FillLiteraturInhalt(long publisher = 0, long source = 0);
    // One line of the table of contents.
    static std::string ContentsLine(const std::string& page, const std::string& title);

    struct TreeNode
    {
        long id = 0;      // the source; 0 for a node that only groups the issues of one title
        std::string Text; // the title text, or year and issue below a group node
        std::vector<TreeNode> Children;
    };
    // The sources of a category as a tree, ordered by title, year, issue and publisher: a title
    // held by one source is a leaf; the issues of a title with several are children of one node for
    // the title. primaryOnly keeps sources for which the category is the primary one; withoutIssue
    // keeps sources without issue number (books, whole volumes).
    std::vector<TreeNode> FillLiteraturTree(long category, bool primaryOnly = false,
                                            bool withoutIssue = false);

    struct CoverItem
    {
        long id = 0;
        std::string Text; // the title text
        Blob Picture;     // empty when the source has no cover
    };
    // Every source by title, year and issue with its cover picture, for the gallery.
    std::vector<CoverItem> CoverList();

    // The code with hyphens where an ISBN has them: "978-3-12-345678-9" for the German-language
    // group 3 and the English-language groups 0 and 1, whose publisher ranges are carried here;
    // any other code (other groups, the 979 prefix) as it is.
    static std::string ISBNText(const std::string& code);
    // True when the code has the length of an EAN-8, ISBN-10 or EAN-13 and its check digit fits.
    static bool ValidEAN(const std::string& code);

    // Addresses that can be chosen as publisher or author: the active ones without their alias rows,
    // ID and name, by name.
    std::vector<ListItem> AddressList();

private:
    struct Data
    {
        long id = 0;
        std::string Title;
        long Jahrgang = 0;
        std::string Ausgabe;
        long VerlagID = 0;
        long AutorID = 0;
        std::string Bemerkungen;
        std::string Storage;
        std::string Borrowed;
        long Rating = 0;
        long Fingerprint1 = 0;
        long Fingerprint2 = 0;
        std::vector<long> Categories;
        long CatPrimary = 0;
        std::string EAN;
        Blob Cover;
        bool operator==(const Data&) const = default;
    };

    std::string AddressName(long id);
    bool CheckFields();
    void SaveCover(Database& db, long id);

    Data m_data;
    Data m_stored;
    std::string m_verlag;
    std::string m_autor;
};

} // namespace pf
