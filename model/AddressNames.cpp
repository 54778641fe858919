#include "model/AddressNames.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"

namespace pf {

std::string AddressNameOf(Database& db, long id)
{
    if (id <= 0)
        return {};
    return AsString(db.Scalar("SELECT Name FROM T_ADRESSE WHERE ID=?", {Value(id)}));
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
