#include "model/AddressNames.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowCopy.h"
#include "db/RowValues.h"

namespace pf {

std::string AddressNameOf(Database& db, long id)
{
    if (id <= 0)
        return {};
    return AsString(db.Scalar("SELECT Name FROM T_ADRESSE WHERE ID=?", {Value(id)}));
}

long AddressInOtherDb(Database& from, long id, Database& to)
{
    if (id <= 0)
        return 0;
    auto row = from.OpenRecordset("SELECT * FROM T_ADRESSE WHERE ID=?", {Value(id)});
    if (row->Eof())
        return 0;
    const long identity = AsId(row->Field("Fingerprint2"));
    long found = 0;
    if (identity != 0)
        found =
            AsId(to.Scalar("SELECT ID FROM T_ADRESSE WHERE Fingerprint2=? AND (AliasID=0 OR AliasID=ID OR "
                           "AliasID IS NULL) ORDER BY ID",
                           {Value(identity)}));
    if (found == 0)
        found =
            AsId(to.Scalar("SELECT ID FROM T_ADRESSE WHERE Name=? AND (AdrType>=0 OR AdrType IS NULL) AND "
                           "(AliasID=0 OR AliasID=ID OR AliasID IS NULL) ORDER BY ID",
                           {row->Field("Name")}));
    if (found != 0)
        return found;
    const long next = AsId(to.Scalar("SELECT MAX(ID) FROM T_ADRESSE")) + 1;
    // The group and the aliases belong to the other database's tree.
    CopyRow(
        *row, to, "T_ADRESSE", ColumnNames(to, "T_ADRESSE"),
        {{"ID", Value(next)}, {"ParentID", Value(0L)}, {"AliasID", Value(0L)}, {"StdAdresse", Value(false)}});
    return next;
}

std::vector<AddressChoiceRow> ChoosableAddresses(Database& db)
{
    std::vector<AddressChoiceRow> rows;
    // An alias row repeats the name of the address it stands for; listing it would offer one
    // address twice.
    auto rs = db.OpenRecordset("SELECT DISTINCT ID,Name,AdrPlz,AdrOrt,Adrtype FROM T_Adresse WHERE "
                               "(AdrType>=0 OR AdrType IS NULL) AND "
                               "(AliasID=0 OR AliasID=ID OR AliasID IS NULL) ORDER BY Name");
    for (; !rs->Eof(); rs->MoveNext()) {
        AddressChoiceRow row;
        row.ID = AsId(rs->Field("ID"));
        row.Name = AsString(rs->Field("Name"));
        row.Plz = AsString(rs->Field("AdrPlz"));
        row.City = AsString(rs->Field("AdrOrt"));
        row.AdrType = AsId(rs->Field("Adrtype"));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace pf
