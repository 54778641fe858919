#include "model/ChoiceLists.h"

#include "core/Trim.h"
#include "db/Database.h"
#include "db/Recordset.h"

namespace pf {

namespace {

// Rows of (ID, text) of a statement; rows without text are skipped when skipEmpty is set.
ChoiceList Rows(Database& db, std::string_view sql, const std::vector<Value>& params = {},
                bool skipEmpty = false)
{
    ChoiceList rows;
    try {
        for (auto rs = db.OpenRecordset(sql, params); !rs->Eof(); rs->MoveNext()) {
            const Value text = rs->Field(1);
            std::string name = text.IsNull() ? "" : text.AsText();
            if (skipEmpty && name.empty())
                continue;
            rows.push_back({static_cast<long>(rs->Field(0).AsLong()), std::move(name)});
        }
    } catch (const DbError&) {
        rows.clear();
    }
    return rows;
}

} // namespace

ChoiceList LiteratureChoices(Database& db)
{
    return Rows(db, "SELECT QuelleID,Title FROM T_LITERATUR ORDER BY Title");
}

ChoiceList UtensilChoices(Database& db)
{
    return Rows(db, "SELECT ID,MIN([KEY]) AS Name FROM T_INFO_KEY WHERE KEYTYPE=2 GROUP BY ID "
                    "ORDER BY MIN([KEY])");
}

ChoiceList YieldUnitChoices(Database& db)
{
    return Rows(db, "SELECT ID,NameD FROM T_REZ_KOPFEINHEIT ORDER BY NameD");
}

ChoiceList KindCategoryChoices(Database& db)
{
    return Rows(db, "SELECT ID,CatNameD FROM T_CAT WHERE (LaenderCode=0 OR LaenderCode IS NULL) "
                    "ORDER BY CatNameD");
}

ChoiceList OriginChoices(Database& db)
{
    return Rows(db,
                "SELECT ID,CatNameD FROM T_CAT WHERE LaenderCode<>0 AND LaenderCode<>99 ORDER BY CatNameD");
}

ChoiceList PublisherChoices(Database& db)
{
    return Rows(db, "SELECT DISTINCT T_ADRESSE.ID,T_ADRESSE.Name FROM T_ADRESSE INNER JOIN "
                    "T_LITERATUR ON T_ADRESSE.ID=T_LITERATUR.VerlagID ORDER BY T_ADRESSE.Name");
}

ChoiceList AuthorChoices(Database& db)
{
    return Rows(db, "SELECT DISTINCT T_ADRESSE.ID,T_ADRESSE.Name FROM T_ADRESSE INNER JOIN "
                    "T_LITERATUR ON T_ADRESSE.ID=T_LITERATUR.AutorID ORDER BY T_ADRESSE.Name");
}

ChoiceList RecipeReferenceChoices(Database& db, long excludeID)
{
    return Rows(db,
                "SELECT ID,RezTitle FROM T_REZ_KOPF WHERE FlagDeleted=False AND Template=False AND ID<>? "
                "ORDER BY RezTitle",
                {excludeID}, true);
}

long IdNamedBy(Database& db, const std::string& text, const std::string& byNumber,
               const std::vector<std::string>& byText)
{
    const std::string value(Trim(text));
    if (value.empty())
        return 0;
    Value id;
    if (value.find_first_not_of("0123456789") == std::string::npos && value.size() < 10)
        id = db.Scalar(byNumber, {std::stol(value)});
    for (std::size_t i = 0; id.IsNull() && i < byText.size(); ++i)
        id = db.Scalar(byText[i], {value});
    return id.IsNull() ? 0 : static_cast<long>(id.AsLong());
}

long UtensilIdOf(Database& db, const std::string& idOrKeyword)
{
    return IdNamedBy(db, idOrKeyword, "SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=2 AND ID=?",
                     {"SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=2 AND [KEY]=? ORDER BY ID"});
}

} // namespace pf
