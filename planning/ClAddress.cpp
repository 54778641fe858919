#include "planning/ClAddress.h"

#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"
#include "model/AddressNames.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>

namespace pf {
namespace {

std::string Trimmed(std::string_view text)
{
    return std::string(Trim(text));
}

// Pictures larger than this are refused: the address book is no image archive.
constexpr std::size_t kMaxPictureBytes = 8 * 1024 * 1024;

bool LooksLikeImage(const Blob& data)
{
    auto starts = [&](std::initializer_list<std::uint8_t> magic) {
        return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin());
    };
    return starts({0xFF, 0xD8, 0xFF}) || starts({0x89, 'P', 'N', 'G'}) || starts({'G', 'I', 'F', '8'}) ||
           starts({'B', 'M'});
}

} // namespace

const std::vector<std::string>& AddressKindNames()
{
    static const std::vector<std::string> names{"Gruppe",    "Person", "Geschäft",
                                                "Lieferant", "Verlag", "Autor"};
    return names;
}

bool ClAddress::IsChanged() const
{
    return !(m_data == m_stored);
}

ClAddress ClAddress::Clone() const
{
    ClAddress copy;
    copy.m_db = m_db;
    copy.m_data = m_data;
    copy.m_data.id = 0;
    copy.m_data.StdAdresse = false;
    for (AddressDelivery& d : copy.m_data.Deliveries)
        d.id = 0;
    return copy;
}

std::string ClAddress::NameFriend() const
{
    return Trimmed(m_data.NameGiven + " " + m_data.NameFamily);
}

std::string ClAddress::NameClassic() const
{
    if (m_data.NameGiven.empty())
        return m_data.NameFamily;
    return m_data.NameFamily + ", " + m_data.NameGiven;
}

void ClAddress::SetNameClassic(const std::string& name)
{
    const std::size_t comma = name.find(", ");
    if (comma == std::string::npos) {
        m_data.NameFamily = std::string(Trim(name));
        m_data.NameGiven.clear();
        return;
    }
    std::string family = name.substr(0, comma);
    family.erase(family.find_last_not_of(" \t") + 1);
    m_data.NameFamily = family;
    m_data.NameGiven = Trimmed(std::string_view(name).substr(comma + 2));
}

bool ClAddress::SetImagefromfile(const std::string& path)
{
    LastErrorClear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetError(kErrBadDelivery, "Die Bilddatei \"" + path + "\" kann nicht gelesen werden.");
        return false;
    }
    Blob data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() > kMaxPictureBytes || !LooksLikeImage(data)) {
        SetError(kErrBadDelivery, "Die Datei \"" + path + "\" ist kein Bild, das gespeichert werden kann.");
        return false;
    }
    m_data.Picture = std::move(data);
    return true;
}

bool ClAddress::SetParentID(long group)
{
    LastErrorClear();
    if (group < 0 || (group > 0 && IsBelowSelf(group))) {
        SetError(kErrBadGroup, "Eine Adresse kann nicht sich selbst oder einer ihrer Unterordnungen "
                               "untergeordnet werden.");
        return false;
    }
    m_data.ParentID = group;
    return true;
}

std::string ClAddress::Parent()
{
    if (m_data.ParentID <= 0)
        return {};
    std::string name;
    Recorded([&] { name = AddressNameOf(Db(), m_data.ParentID); });
    return name;
}

void ClAddress::SetSpez(int i, AddressDelivery delivery)
{
    const auto index = static_cast<std::size_t>(i);
    if (index == m_data.Deliveries.size())
        m_data.Deliveries.push_back(std::move(delivery));
    else
        m_data.Deliveries.at(index) = std::move(delivery);
}

void ClAddress::DelSpez(int i)
{
    const auto index = static_cast<std::size_t>(i);
    if (index < m_data.Deliveries.size())
        m_data.Deliveries.erase(m_data.Deliveries.begin() + i);
}

void ClAddress::Void()
{
    m_data = Data{};
    m_stored = Data{};
    m_fingerprint = ClFingerprint();
}

bool ClAddress::GetID(long id)
{
    LastErrorClear();
    Void();
    return Recorded([&] {
               Database& db = Db();
               auto rs = db.OpenRecordset("SELECT * FROM T_ADRESSE WHERE ID=?", {Value(id)});
               if (rs->Eof())
                   return;
               const long aliasOf = AsId(rs->Field("AliasID"));
               if (aliasOf >= 1 && aliasOf != id) {
                   rs = db.OpenRecordset("SELECT * FROM T_ADRESSE WHERE ID=?", {Value(aliasOf)});
                   if (rs->Eof())
                       return;
                   id = aliasOf;
               }
               Data d;
               d.id = id;
               ClAddress names;
               names.SetNameClassic(AsString(rs->Field("Name")));
               d.NameFamily = names.m_data.NameFamily;
               d.NameGiven = names.m_data.NameGiven;
               d.Address = AsString(rs->Field("Adresse"));
               d.Plz = AsString(rs->Field("AdrPlz"));
               d.City = AsString(rs->Field("AdrOrt"));
               const long adrType = AsId(rs->Field("AdrType"));
               d.Kind = KindOf(adrType);
               d.Inactive = adrType < 0;
               d.Notices = AsString(rs->Field("Bemerkung"));
               d.Telefon = AsString(rs->Field("Telefon1"));
               d.Telefax = AsString(rs->Field("Fax1"));
               d.email = AsString(rs->Field("EMail"));
               d.WebSite = AsString(rs->Field("Homepage"));
               d.Ansprechpartner1 = AsString(rs->Field("AnsprechPartner"));
               d.Ansprechpartner2 = AsString(rs->Field("AnsprechPartner2"));
               d.Kundennummer = AsString(rs->Field("KundNummer"));
               d.MinBestellwert = rs->Field("MinBestell").AsCurrency();
               d.Waehrung = AsString(rs->Field("Currency"));
               d.StoreLocations = AsString(rs->Field("StoreLocations"));
               d.StdAdresse = !rs->Field("StdAdresse").IsNull() && rs->Field("StdAdresse").AsBool();
               d.ParentID = AsId(rs->Field("ParentID"));
               d.Picture = rs->Field("Picture").AsBinary();
               const auto fp1 = static_cast<std::int32_t>(AsId(rs->Field("Fingerprint1")));
               const auto fp2 = static_cast<std::int32_t>(AsId(rs->Field("Fingerprint2")));
               rs->Close();
               auto aliases = db.OpenRecordset("SELECT ID,ParentID FROM T_ADRESSE WHERE AliasID=? AND ID<>? "
                                               "ORDER BY ID",
                                               {Value(id), Value(id)});
               for (; !aliases->Eof(); aliases->MoveNext())
                   d.Aliases.push_back(AsId(aliases->Field("ParentID")));
               aliases->Close();
               auto spez = db.OpenRecordset(
                   "SELECT DISTINCTROW T_LIEFERUNG.*, T_BLS_KEY.SBLS AS FoodSBLS, T_BLS_KEY.ST FROM "
                   "(T_LIEFERUNG LEFT JOIN T_BLS_KEY ON T_LIEFERUNG.Nahrungsmittel = T_BLS_KEY.ID) "
                   "WHERE Lieferant = ? ORDER BY T_LIEFERUNG.ID",
                   {Value(id)});
               for (; !spez->Eof(); spez->MoveNext()) {
                   AddressDelivery s;
                   s.id = AsId(spez->Field("ID"));
                   s.Nahrungsmittel = AsId(spez->Field("Nahrungsmittel"));
                   s.SBLS = AsString(spez->Field("FoodSBLS"));
                   if (s.SBLS.empty())
                       s.SBLS = AsString(spez->Field("SBLS"));
                   s.FoodName = AsString(spez->Field("ST"));
                   s.Name = AsString(spez->Field("Name"));
                   s.Menge = spez->Field("Menge").AsCurrency();
                   s.Einheit = AsId(spez->Field("Einheit"));
                   s.Preis = spez->Field("Preis").AsCurrency();
                   s.Waehrung = AsString(spez->Field("Waehrung"));
                   s.Bemerkung = AsString(spez->Field("Bemerkung"));
                   s.Type = AsId(spez->Field("Type"));
                   d.Deliveries.push_back(std::move(s));
               }
               m_data = d;
               m_stored = d;
               if (fp1 != 0 || fp2 != 0)
                   m_fingerprint.SetFPBin(fp1, fp2);
           }) &&
           m_data.id != 0;
}

bool ClAddress::IsBelowSelf(long group)
{
    if (m_data.id == 0)
        return false;
    // Walks up from the group; a loop already stored ends the walk.
    std::set<long> seen;
    long current = group;
    while (current > 0 && seen.insert(current).second) {
        if (current == m_data.id)
            return true;
        current = AsId(Db().Scalar("SELECT ParentID FROM T_ADRESSE WHERE ID=?", {Value(current)}));
    }
    return false;
}

bool ClAddress::CheckTexts()
{
    struct Limit
    {
        std::string Text;
        std::size_t Max;
        const char* Name;
    };
    const Data& d = m_data;
    for (const Limit& limit :
         {Limit{NameClassic(), 100, "Der Name"}, Limit{d.Address, 100, "Die Straße"},
          Limit{d.Plz, 10, "Die PLZ"}, Limit{d.City, 50, "Der Ort"},
          Limit{d.Telefon, 30, "Die Telefonnummer"}, Limit{d.Telefax, 30, "Die Faxnummer"},
          Limit{d.email, 100, "Die E-Mail-Adresse"}, Limit{d.WebSite, 255, "Die Homepage"},
          Limit{d.Ansprechpartner1, 100, "Der Ansprechpartner"},
          Limit{d.Ansprechpartner2, 100, "Der zweite Ansprechpartner"},
          Limit{d.Kundennummer, 50, "Die Kundennummer"}, Limit{d.Waehrung, 10, "Die Währung"},
          Limit{d.StoreLocations, 64, "Die Reihenfolge der Warengruppen"}}) {
        if (CharLength(limit.Text) > limit.Max) {
            SetError(kErrTooLong, std::string(limit.Name) + " darf höchstens " + std::to_string(limit.Max) +
                                      " Zeichen lang sein.");
            return false;
        }
    }
    for (const AddressDelivery& s : d.Deliveries) {
        if (Trim(s.Name).empty() && s.Nahrungsmittel <= 0) {
            SetError(kErrBadDelivery, "Jede Lieferung braucht einen Namen oder ein Nahrungsmittel.");
            return false;
        }
        if (CharLength(s.Name) > 100 || CharLength(s.Waehrung) > 10) {
            SetError(kErrTooLong,
                     "Der Name einer Lieferung darf höchstens 100 Zeichen, ihre Währung höchstens "
                     "10 Zeichen lang sein.");
            return false;
        }
    }
    return true;
}

bool ClAddress::ConsistencyCheck()
{
    LastErrorClear();
    m_data.NameFamily = Trimmed(m_data.NameFamily);
    m_data.NameGiven = Trimmed(m_data.NameGiven);
    if (m_data.NameFamily.empty() && m_data.NameGiven.empty()) {
        SetError(kErrNoName, "Eine Adresse braucht einen Namen.");
        return false;
    }
    if (m_data.NameFamily.empty()) {
        // A single name is the family name: lists sort by it.
        std::swap(m_data.NameFamily, m_data.NameGiven);
    }
    if (!CheckTexts())
        return false;
    // Each food group once, in the order first given.
    std::string letters;
    for (char c : m_data.StoreLocations)
        if (c != ' ' && letters.find(c) == std::string::npos)
            letters += c;
    m_data.StoreLocations = letters;
    return Recorded([&] {
               auto exists = [&](long group) {
                   return AsId(Db().Scalar("SELECT COUNT(*) FROM T_ADRESSE WHERE ID=?", {Value(group)})) > 0;
               };
               std::vector<long> groups{m_data.ParentID};
               groups.insert(groups.end(), m_data.Aliases.begin(), m_data.Aliases.end());
               for (long group : groups) {
                   if (group == 0)
                       continue;
                   if (group < 0 || !exists(group)) {
                       SetError(kErrBadGroup, "Die gewählte Unterordnung gibt es nicht.");
                       return;
                   }
                   if (group == m_data.id || IsBelowSelf(group)) {
                       SetError(kErrBadGroup, "Eine Adresse kann nicht sich selbst oder einer ihrer "
                                              "Unterordnungen untergeordnet werden.");
                       return;
                   }
               }
               // An alias under the own group or twice under one group lists the address twice there.
               std::vector<long> aliases;
               for (long group : m_data.Aliases)
                   if (group != m_data.ParentID &&
                       std::find(aliases.begin(), aliases.end(), group) == aliases.end())
                       aliases.push_back(group);
               m_data.Aliases = aliases;
           }) &&
           m_lastError == 0;
}

void ClAddress::WriteRow(Database& db, long id)
{
    auto rs = db.OpenRecordset("SELECT * FROM T_ADRESSE WHERE ID=?", {Value(id)});
    if (rs->Eof()) {
        rs->AddNew();
        rs->SetField("ID", id);
        rs->SetField("AliasID", 0L);
    } else {
        rs->Edit();
    }
    const Data& d = m_data;
    rs->SetField("Name", NameClassic());
    rs->SetField("Adresse", d.Address);
    rs->SetField("AdrPlz", d.Plz);
    rs->SetField("AdrOrt", d.City);
    rs->SetField("AdrType", AdrTypeOf(d.Kind, d.Inactive));
    rs->SetField("Bemerkung", d.Notices);
    rs->SetField("Telefon1", d.Telefon);
    rs->SetField("Fax1", d.Telefax);
    rs->SetField("EMail", d.email);
    rs->SetField("Homepage", d.WebSite);
    rs->SetField("AnsprechPartner", d.Ansprechpartner1);
    rs->SetField("AnsprechPartner2", d.Ansprechpartner2);
    rs->SetField("KundNummer", d.Kundennummer);
    rs->SetField("MinBestell", d.MinBestellwert);
    rs->SetField("Currency", d.Waehrung);
    rs->SetField("StoreLocations", d.StoreLocations);
    rs->SetField("StdAdresse", d.StdAdresse);
    rs->SetField("ParentID", d.ParentID);
    rs->SetField("Picture", d.Picture.empty() ? Value() : Value(d.Picture));
    rs->SetField("Fingerprint1", static_cast<long>(m_fingerprint.FP1()));
    rs->SetField("Fingerprint2", static_cast<long>(m_fingerprint.FP2()));
    rs->Update();
}

bool ClAddress::Save(bool keepFingerprint)
{
    if (!ConsistencyCheck())
        return false;
    const ClFingerprint fingerprintBefore = m_fingerprint;
    const Data before = m_data;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        long id = m_data.id;
        if (id == 0)
            id = std::max(1L, AsId(db.Scalar("SELECT MAX(ID) AS X FROM T_ADRESSE")) + 1);
        if (!keepFingerprint || !m_fingerprint.HasFingerprint())
            m_fingerprint.Update();
        WriteRow(db, id);
        db.Execute("DELETE FROM T_ADRESSE WHERE AliasID=? AND ID<>?", {Value(id), Value(id)});
        for (long group : m_data.Aliases) {
            const long aliasId = AsId(db.Scalar("SELECT MAX(ID) AS X FROM T_ADRESSE")) + 1;
            db.Execute(
                "INSERT INTO T_ADRESSE (ID,AliasID,ParentID,AdrType,Name,Adresse,AdrPlz,AdrOrt,StdAdresse,"
                "Fingerprint1,Fingerprint2) VALUES (?,?,?,?,?,?,?,?,?,0,0)",
                {Value(aliasId), Value(id), Value(group), Value(AdrTypeOf(m_data.Kind, m_data.Inactive)),
                 Value(NameClassic()), Value(m_data.Address), Value(m_data.Plz), Value(m_data.City),
                 Value(false)});
        }
        db.Execute("DELETE FROM T_LIEFERUNG WHERE Lieferant=?", {Value(id)});
        for (AddressDelivery& s : m_data.Deliveries) {
            s.id = std::max(1L, AsId(db.Scalar("SELECT MAX(ID) AS X FROM T_LIEFERUNG")) + 1);
            db.Execute("INSERT INTO T_LIEFERUNG (ID,Lieferant,Nahrungsmittel,SBLS,Name,Menge,Einheit,Preis,"
                       "Waehrung,Bemerkung,Type) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                       {Value(s.id), Value(id), Value(s.Nahrungsmittel), Value(s.SBLS), Value(s.Name),
                        Value(s.Menge), Value(s.Einheit), Value(s.Preis), Value(s.Waehrung),
                        Value(s.Bemerkung), Value(s.Type)});
        }
        transaction.Commit();
        m_data.id = id;
    } catch (const DbError& e) {
        SetDbError(e);
        m_fingerprint = fingerprintBefore;
        m_data = before;
        return false;
    }
    m_stored = m_data;
    return true;
}

long ClAddress::ReferenceCount(std::string& names)
{
    struct Use
    {
        const char* Sql;
        const char* Name;
    };
    static const Use uses[] = {
        {"SELECT COUNT(*) FROM T_LITERATUR WHERE VerlagID=? OR AutorID=?", "Literaturquellen"},
        {"SELECT COUNT(*) FROM T_MENU_GAST WHERE AdressID=? OR AdressID=?", "Menüs"},
        {"SELECT COUNT(*) FROM T_WEIN WHERE ShopID=? OR ProduzentID=? OR KellermeisterID=? OR "
         "ViticulturistID=?",
         "Weine"}};
    long total = 0;
    for (const Use& use : uses) {
        const std::string sql = use.Sql;
        std::vector<Value> params(static_cast<std::size_t>(std::count(sql.begin(), sql.end(), '?')),
                                  Value(m_data.id));
        const long n = AsId(Db().Scalar(sql, params));
        if (n > 0) {
            names += std::string(names.empty() ? "" : ", ") + use.Name;
            total += n;
        }
    }
    return total;
}

bool ClAddress::WriteStored(const std::function<void(Database&)>& work)
{
    LastErrorClear();
    if (m_data.id == 0) {
        SetError(kErrNotStored, "Die Adresse ist noch nicht gespeichert.");
        return false;
    }
    const bool done = Recorded([&] {
        Database& db = Db();
        DbTransaction transaction(db);
        work(db);
        if (m_lastError == 0)
            transaction.Commit();
    });
    return done && m_lastError == 0;
}

bool ClAddress::Delete()
{
    const bool done = WriteStored([this](Database& db) {
        const Value id(m_data.id);
        if (AsId(db.Scalar("SELECT COUNT(*) AS X FROM T_ADRESSE WHERE ParentID=?", {id})) > 0) {
            SetError(kErrHasChildren,
                     "Die Adresse \"" + NameClassic() +
                         "\" hat noch untergeordnete Einträge und kann nicht gelöscht werden.");
            return;
        }
        std::string users;
        if (ReferenceCount(users) > 0) {
            SetError(kErrInUse, "Die Adresse \"" + NameClassic() + "\" wird noch verwendet (" + users +
                                    ") und kann nicht gelöscht werden.");
            return;
        }
        db.Execute("DELETE FROM T_ADRESSE WHERE ID=?", {id});
        db.Execute("DELETE FROM T_ADRESSE WHERE AliasID=?", {id});
        db.Execute("DELETE FROM T_LIEFERUNG WHERE Lieferant=?", {id});
    });
    if (done)
        Void();
    return done;
}

bool ClAddress::SetDefault()
{
    const bool done = WriteStored([this](Database& db) {
        db.Execute("UPDATE T_ADRESSE SET StdAdresse=? WHERE StdAdresse<>0", {Value(false)});
        db.Execute("UPDATE T_ADRESSE SET StdAdresse=? WHERE ID=?", {Value(true), Value(m_data.id)});
    });
    if (done) {
        m_data.StdAdresse = true;
        m_stored.StdAdresse = true;
    }
    return done;
}

long ClAddress::DefaultID(Database& db)
{
    return AsId(db.Scalar("SELECT MIN(ID) FROM T_ADRESSE WHERE StdAdresse<>0 AND AliasID=0"));
}

std::string ClAddress::ListenName(const std::string& name, const std::string& plz, const std::string& city)
{
    const std::string place = Trimmed(Trimmed(plz) + " " + Trimmed(city));
    return place.empty() ? name : name + ", " + place;
}

std::string ClAddress::ListenName() const
{
    return ListenName(NameClassic(), m_data.Plz, m_data.City);
}

namespace {

// A row of the address tree from a record of ID, Name, AdrPlz, AdrOrt, ParentID, Adrtype, StdAdresse
// and AliasID; an address that names itself as its alias is no alias.
AddressListRow TreeRow(Recordset& rs)
{
    AddressListRow row;
    row.id = AsId(rs.Field("ID"));
    row.Name = AsString(rs.Field("Name"));
    row.Plz = AsString(rs.Field("AdrPlz"));
    row.City = AsString(rs.Field("AdrOrt"));
    row.ParentID = AsId(rs.Field("ParentID"));
    row.AdrType = AsId(rs.Field("Adrtype"));
    row.StdAdresse = !rs.Field("StdAdresse").IsNull() && rs.Field("StdAdresse").AsBool();
    row.AliasID = AsId(rs.Field("AliasID"));
    if (row.AliasID == row.id)
        row.AliasID = 0;
    row.Text = ClAddress::ListenName(row.Name, row.Plz, row.City) + (row.AliasID > 0 ? " [Alias]" : "");
    return row;
}

} // namespace

std::vector<AddressListRow> ClAddress::FillAdressTree(long kindFilter)
{
    LastErrorClear();
    std::vector<AddressListRow> rows;
    Recorded([&] {
        auto rs = Db().OpenRecordset("SELECT ID,Name,AdrPlz,AdrOrt,ParentID,Adrtype,StdAdresse,AliasID FROM "
                                     "T_Adresse Where ID>0 ORDER BY AdrType,Name");
        for (; !rs->Eof(); rs->MoveNext()) {
            rows.push_back(TreeRow(*rs));
        }
    });
    // Assembled in memory from one read: a row whose group is missing (or lies in a stored loop)
    // is shown at the top rather than hidden.
    std::map<long, std::size_t> index;
    for (std::size_t i = 0; i < rows.size(); ++i)
        index[rows[i].id] = i;
    std::vector<long> parentOf(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        long parent = rows[i].ParentID;
        if (parent > 0 && index.count(parent)) {
            // Walk up to the top; a loop makes the row a top row.
            std::set<long> seen{rows[i].id};
            long up = parent;
            while (up > 0 && index.count(up) && seen.insert(up).second)
                up = rows[index[up]].ParentID;
            if (up > 0 && (index.count(up) == 0 || seen.count(up)))
                parent = 0;
            // An alias row never holds children, so nothing hangs below one.
            if (parent > 0 && rows[index[parent]].AliasID > 0)
                parent = 0;
        } else {
            parent = 0;
        }
        parentOf[i] = parent;
    }
    std::function<std::vector<AddressListRow>(long)> build = [&](long parent) {
        std::vector<AddressListRow> level;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (parentOf[i] != parent)
                continue;
            AddressListRow row = rows[i];
            if (row.AliasID == 0)
                row.Children = build(row.id);
            const bool keep = kindFilter < 0 || KindOf(row.AdrType) == kindFilter || !row.Children.empty();
            if (keep)
                level.push_back(std::move(row));
        }
        return level;
    };
    return build(0);
}

std::vector<AddressListRow> ClAddress::FillAdresslist()
{
    LastErrorClear();
    std::vector<AddressListRow> rows;
    AddressListRow none;
    none.Text = kNoGroup;
    rows.push_back(none);
    Recorded([&] {
        for (AddressChoiceRow& choice : ChoosableAddresses(Db())) {
            AddressListRow row;
            row.id = choice.ID;
            row.Text = ListenName(choice.Name, choice.Plz, choice.City);
            row.Name = std::move(choice.Name);
            row.Plz = std::move(choice.Plz);
            row.City = std::move(choice.City);
            row.AdrType = choice.AdrType;
            rows.push_back(std::move(row));
        }
    });
    return rows;
}

bool ClAddress::ReloadTreeEntry(long id, AddressListRow& row)
{
    LastErrorClear();
    bool found = false;
    Recorded([&] {
        auto rs = Db().OpenRecordset(
            "SELECT ID,Name,AdrPlz,AdrOrt,ParentID,Adrtype,StdAdresse,AliasID FROM T_Adresse WHERE ID=?",
            {Value(id)});
        if (rs->Eof())
            return;
        row = TreeRow(*rs);
        found = true;
    });
    return found;
}

std::vector<long> ClAddress::GetChildrenID()
{
    std::vector<long> ids;
    if (m_data.id == 0)
        return ids;
    Recorded([&] {
        auto rs =
            Db().OpenRecordset("SELECT ID FROM T_ADRESSE WHERE ParentID=? ORDER BY ID", {Value(m_data.id)});
        for (; !rs->Eof(); rs->MoveNext())
            ids.push_back(AsId(rs->Field("ID")));
    });
    return ids;
}

bool ClAddress::LoadbyName(const std::string& name)
{
    // The address itself before a row that stands for it.
    return LoadFirst("SELECT ID FROM T_ADRESSE WHERE Name LIKE ? ORDER BY AliasID,ID", Value(name));
}

bool ClAddress::LoadByFingerprint(long value)
{
    return LoadFirst("SELECT ID FROM T_ADRESSE WHERE Fingerprint2=? AND Fingerprint2<>0 ORDER BY ID",
                     Value(value));
}

bool ClAddress::LoadFirst(const std::string& sql, const Value& key)
{
    LastErrorClear();
    long found = 0;
    if (!Recorded([&] { found = AsId(Db().Scalar(sql, {key})); }) || found == 0) {
        Void();
        return false;
    }
    return GetID(found);
}

bool ClAddress::AddAlias(long group)
{
    LastErrorClear();
    if (group <= 0 || group == m_data.ParentID ||
        std::find(m_data.Aliases.begin(), m_data.Aliases.end(), group) != m_data.Aliases.end())
        return false;
    bool below = false;
    if (!Recorded([&] { below = IsBelowSelf(group); }) || below)
        return false;
    m_data.Aliases.push_back(group);
    return true;
}

bool ClAddress::RemoveAlias(long group)
{
    auto it = std::find(m_data.Aliases.begin(), m_data.Aliases.end(), group);
    if (it == m_data.Aliases.end())
        return false;
    m_data.Aliases.erase(it);
    return true;
}

long ClAddress::CloneToNewDb(Database& target)
{
    ClAddress copy = Clone();
    copy.SetDB(&target);
    copy.m_data.ParentID = 0;
    copy.m_data.Aliases.clear();
    copy.m_fingerprint = m_fingerprint;
    if (!copy.Save(true)) {
        TakeError(copy);
        return 0;
    }
    return copy.id();
}

bool ClAddress::ImportUpdate()
{
    LastErrorClear();
    long existing = 0;
    const std::int32_t fp1 = m_fingerprint.HasFingerprint() ? m_fingerprint.FP1() : 0;
    const std::int32_t fp2 = m_fingerprint.HasFingerprint() ? m_fingerprint.FP2() : 0;
    if (fp2 != 0 && !Recorded([&] {
            existing = AsId(Db().Scalar(
                "SELECT ID FROM T_ADRESSE WHERE Fingerprint2=? AND (AliasID=0 OR AliasID=ID) ORDER BY ID",
                {Value(fp2)}));
        }))
        return false;
    if (existing == 0) {
        m_data.id = 0;
        return Save(true);
    }
    ClAddress stored;
    stored.SetDB(m_db);
    if (!stored.GetID(existing)) {
        TakeError(stored);
        return false;
    }
    if (stored.Fingerprint().CompareFingerprint(fp1, fp2) >= 0) {
        // The stored version is as new or newer: it stays.
        *this = stored;
        return true;
    }
    m_data.id = existing;
    m_data.ParentID = stored.m_data.ParentID;
    m_data.Aliases = stored.m_data.Aliases;
    m_data.StdAdresse = stored.m_data.StdAdresse;
    return Save(true);
}

} // namespace pf
