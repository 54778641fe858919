#include "model/LiteratureTitle.h"

#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"
#include "model/AddressNames.h"

namespace pf {

std::string LiteratureTitleText(const std::string& title, const std::string& publisher, long year,
                                const std::string& issue, long page)
{
    std::string text = title;
    const std::string verlag(Trim(publisher));
    if (CharLength(verlag) > 1)
        text += " (" + verlag + ")";
    if (year > 0)
        text += ", " + std::to_string(year);
    const std::string ausgabe(Trim(issue));
    if (!ausgabe.empty())
        text += (year > 0 ? "/" : ", ") + ausgabe;
    if (page > 0)
        text += ", Seite " + std::to_string(page);
    return text;
}

std::string LiteratureTitleOf(Database& db, long quelleId, long page)
{
    if (quelleId <= 0)
        return {};
    auto rs = db.OpenRecordset("SELECT Title,VerlagID,Jahrgang,AusgabeNr FROM T_Literatur WHERE QuelleID=?",
                               {Value(quelleId)});
    if (rs->Eof())
        return {};
    const std::string title = AsString(rs->Field("Title"));
    const long publisher = AsId(rs->Field("VerlagID"));
    const long year = AsId(rs->Field("Jahrgang"));
    const std::string issue = AsString(rs->Field("AusgabeNr"));
    rs->Close();
    return LiteratureTitleText(title, AddressNameOf(db, publisher), year, issue, page);
}

} // namespace pf
