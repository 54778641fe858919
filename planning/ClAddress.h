#pragma once
// One address of the address book (a T_ADRESSE row): a person, a shop, a supplier, a publisher or
// a group that holds other addresses. It keeps the further groups it is listed under (alias rows)
// and, for a supplier, the products it delivers (T_LIEFERUNG). The object touches the database
// only in its load, list, save, delete and default operations; every write is one transaction.

#include "core/Decimal4.h"
#include "db/Value.h"
#include "model/ClFingerprint.h"
#include "model/ModelObject.h"

#include <functional>
#include <string>
#include <vector>

namespace pf {

class Database;

// The kinds of address (AdrType). An inactive address keeps its kind, stored negative
// (-1 - kind), so that lists for choosing leave it out (they take AdrType >= 0).
enum class AddressKind : long { Gruppe = 0, Person = 1, Geschaeft = 2, Lieferant = 3, Verlag = 4, Autor = 5 };

// The German names of the kinds, in the order of their numbers.
const std::vector<std::string>& AddressKindNames();

// One product a supplier delivers.
struct AddressDelivery
{
    long id = 0;             // row ID in T_LIEFERUNG, given on save
    long Nahrungsmittel = 0; // food ID (T_BLS_KEY.ID), 0 for none
    std::string SBLS;        // the food's code, read with the food
    std::string FoodName;    // the food's name, read with the food
    std::string Name;        // the product as the supplier calls it
    Decimal4 Menge;
    long Einheit = 0; // unit ID
    Decimal4 Preis;
    std::string Waehrung;
    std::string Bemerkung;
    long Type = 0;
    bool operator==(const AddressDelivery&) const = default;
};

// One row of the address tree or of a flat list.
struct AddressListRow
{
    long id = 0;
    std::string Name;
    std::string Plz;
    std::string City;
    long ParentID = 0;
    long AdrType = 0;
    bool StdAdresse = false;
    long AliasID = 0; // for an alias row: the address it stands for
    std::string Text; // the display text (ListenName, " [Alias]" for an alias row)
    std::vector<AddressListRow> Children;
};

class ClAddress : public ModelObject
{
public:
    // Refusal codes (LastError).
    static constexpr long kErrNoName = -1;
    static constexpr long kErrTooLong = -2;
    static constexpr long kErrBadGroup = -3;
    static constexpr long kErrHasChildren = -4;
    static constexpr long kErrInUse = -5;
    static constexpr long kErrNotStored = -6;
    static constexpr long kErrBadDelivery = -7;
    // The entry that heads the list for choosing a group.
    static constexpr const char* kNoGroup = "** keine Unterordnung **";

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    // True when a field differs from what was last loaded or saved.
    bool IsChanged() const;
    bool IsNew() const { return m_data.id == 0; }
    // Restores what was last loaded or saved.
    void CancelChange() { m_data = m_stored; }
    // A copy that is not stored yet: no ID, no default flag, a fingerprint of its own.
    ClAddress Clone() const;

    // Names: the family and the given name are held apart.
    std::string NameFriend() const;  // given name, blank, family name
    std::string NameClassic() const; // family name, ", ", given name
    // Splits at the first ", ": family before it, given name after it.
    void SetNameClassic(const std::string& name);
    const std::string& NameFamily() const { return m_data.NameFamily; }
    void SetNameFamily(std::string name) { m_data.NameFamily = std::move(name); }
    const std::string& NameGiven() const { return m_data.NameGiven; }
    void SetNameGiven(std::string name) { m_data.NameGiven = std::move(name); }

    const std::string& Address() const { return m_data.Address; }
    void SetAddress(std::string street) { m_data.Address = std::move(street); }
    const std::string& Plz() const { return m_data.Plz; }
    void SetPlz(std::string plz) { m_data.Plz = std::move(plz); }
    const std::string& City() const { return m_data.City; }
    void SetCity(std::string city) { m_data.City = std::move(city); }
    // Food-group letters in the order the groups are found along the shop.
    const std::string& StoreLocations() const { return m_data.StoreLocations; }
    void SetStoreLocations(std::string letters) { m_data.StoreLocations = std::move(letters); }
    const std::string& Waehrung() const { return m_data.Waehrung; }
    void SetWaehrung(std::string currency) { m_data.Waehrung = std::move(currency); }
    const std::string& email() const { return m_data.email; }
    void Setemail(std::string mail) { m_data.email = std::move(mail); }
    const std::string& WebSite() const { return m_data.WebSite; }
    void SetWebSite(std::string site) { m_data.WebSite = std::move(site); }
    Decimal4 MinBestellwert() const { return m_data.MinBestellwert; }
    void SetMinBestellwert(Decimal4 value) { m_data.MinBestellwert = value; }
    const std::string& Kundennummer() const { return m_data.Kundennummer; }
    void SetKundennummer(std::string number) { m_data.Kundennummer = std::move(number); }
    // The kind of address (AddressKind as a number) and whether it is set inactive.
    long Status() const { return m_data.Kind; }
    void SetStatus(long kind) { m_data.Kind = kind; }
    bool IsInactive() const { return m_data.Inactive; }
    void SetInactive(bool inactive) { m_data.Inactive = inactive; }
    // The stored AdrType of a kind and an inactive flag, and back.
    static long AdrTypeOf(long kind, bool inactive) { return inactive ? -1 - kind : kind; }
    static long KindOf(long adrType) { return adrType < 0 ? -1 - adrType : adrType; }
    const std::string& Telefon() const { return m_data.Telefon; }
    void SetTelefon(std::string number) { m_data.Telefon = std::move(number); }
    const std::string& Telefax() const { return m_data.Telefax; }
    void SetTelefax(std::string number) { m_data.Telefax = std::move(number); }
    const std::string& Ansprechpartner1() const { return m_data.Ansprechpartner1; }
    void SetAnsprechpartner1(std::string name) { m_data.Ansprechpartner1 = std::move(name); }
    const std::string& Ansprechpartner2() const { return m_data.Ansprechpartner2; }
    void SetAnsprechpartner2(std::string name) { m_data.Ansprechpartner2 = std::move(name); }
    const std::string& Notices() const { return m_data.Notices; }
    void SetNotices(std::string notes) { m_data.Notices = std::move(notes); }

    // The picture as stored (empty for none).
    const Blob& GetImage2Control() const { return m_data.Picture; }
    // Reads a picture file; false (with a German message) when it cannot be read.
    bool SetImagefromfile(const std::string& path);
    void SetImagefromObject(Blob picture) { m_data.Picture = std::move(picture); }

    long id() const { return m_data.id; }
    bool StdAdresse() const { return m_data.StdAdresse; }
    long ParentID() const { return m_data.ParentID; }
    // Sets the group; refuses the address itself and groups below it (the tree would loop).
    bool SetParentID(long group);
    // Sets the group without looking at the tree (for copies between databases).
    void ParentIDUnconditional(long group) { m_data.ParentID = group; }
    // The name of the group, "" at the top.
    std::string Parent();

    // Deliveries. SetSpez with i equal to the count appends.
    const AddressDelivery& GetSpez(int i) const { return m_data.Deliveries.at(static_cast<std::size_t>(i)); }
    void SetSpez(int i, AddressDelivery delivery);
    int GetSpezCount() const { return static_cast<int>(m_data.Deliveries.size()); }
    void DelSpez(int i);

    // Loads address id (the address an alias row stands for); false and an empty object when none.
    bool GetID(long id);
    // Empties the object.
    void Void();

    // The checks a save makes first: a name, texts within their columns, a group that exists and
    // does not lie below the address, alias groups likewise, deliveries with a name or a food.
    bool ConsistencyCheck();
    // Writes the address, its alias rows and its deliveries in one transaction; a new address
    // gets the next free ID. The fingerprint advances unless keepFingerprint is set (a copy or an
    // import keeps the version it brings).
    bool Save(bool keepFingerprint = false);
    // Deletes the address with its alias rows and deliveries. Refuses an address that still has
    // entries below it or that literature sources, menus or wines name.
    bool Delete();
    // Makes this stored address the default one (the flag leaves the previous one).
    bool SetDefault();

    // The address tree from the top groups down. kindFilter (>= 0) keeps the rows of that kind
    // and the groups above them; -1 keeps everything.
    std::vector<AddressListRow> FillAdressTree(long kindFilter = -1);
    // The flat list for choosing a group: "** keine Unterordnung **" (ID 0) first, then every
    // active address by name.
    std::vector<AddressListRow> FillAdresslist();
    // The same tree read again (after a change elsewhere).
    std::vector<AddressListRow> ReloadTree(long kindFilter = -1) { return FillAdressTree(kindFilter); }
    // One row read again, without its children; false when it is gone.
    bool ReloadTreeEntry(long id, AddressListRow& row);
    // The text lists show for an address: the name and, when known, ", " postal code and town.
    std::string ListenName() const;
    static std::string ListenName(const std::string& name, const std::string& plz, const std::string& city);
    // IDs of the rows directly below the address (alias rows placed there included).
    std::vector<long> GetChildrenID();
    // Loads the address whose name matches (LIKE, wildcards allowed); false when none.
    bool LoadbyName(const std::string& name);
    // Loads the address whose second fingerprint part is value; false when none.
    bool LoadByFingerprint(long value);

    // The groups the address is listed under besides its own.
    const std::vector<long>& AliasList() const { return m_data.Aliases; }
    // Lists the address under a further group; false (nothing changed) for its own group, a group
    // it lists already, itself or a group below it.
    bool AddAlias(long group);
    // False when the address was not listed under that group.
    bool RemoveAlias(long group);

    // Writes a copy into another database as a new address (without aliases and group, which
    // belong to this database's tree); its ID there is returned, 0 on failure.
    long CloneToNewDb(Database& target);
    // Stores an address read from outside: when one with the same fingerprint identity exists
    // it is replaced if this one is newer and kept otherwise; a new one is saved as new.
    bool ImportUpdate();
    ClFingerprint& Fingerprint() { return m_fingerprint; }

    // The ID of the default address, 0 when none is marked.
    static long DefaultID(Database& db);

private:
    // Loads the first address the statement finds for the key; false (and empty) when none.
    bool LoadFirst(const std::string& sql, const Value& key);
    // Runs work on the stored address in one transaction, committed unless work recorded a
    // refusal. False, with the reason, for an address not yet stored, a refusal or an engine error.
    bool WriteStored(const std::function<void(Database&)>& work);

    struct Data
    {
        long id = 0;
        std::string NameFamily;
        std::string NameGiven;
        std::string Address;
        std::string Plz;
        std::string City;
        long Kind = static_cast<long>(AddressKind::Person);
        bool Inactive = false;
        std::string Telefon;
        std::string Telefax;
        std::string email;
        std::string WebSite;
        std::string StoreLocations;
        std::string Notices;
        std::string Ansprechpartner1;
        std::string Ansprechpartner2;
        std::string Kundennummer;
        Decimal4 MinBestellwert;
        std::string Waehrung;
        Blob Picture;
        bool StdAdresse = false;
        long ParentID = 0;
        std::vector<long> Aliases;
        std::vector<AddressDelivery> Deliveries;
        bool operator==(const Data&) const = default;
    };

    // True when group is the address itself or lies below it in the stored tree.
    bool IsBelowSelf(long group);
    bool CheckTexts();
    void WriteRow(Database& db, long id);
    long ReferenceCount(std::string& names);

    Data m_data;
    Data m_stored;
    ClFingerprint m_fingerprint;
};

} // namespace pf
