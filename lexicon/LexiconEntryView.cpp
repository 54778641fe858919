#include "lexicon/LexiconEntryView.h"

#include "core/Language.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconEntry.h"
#include "lexicon/LexiconFoodLinks.h"
#include "lexicon/LexiconTree.h"

namespace pf {

namespace {

std::string TextOf(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

void AddFact(LexiconEntryView& view, const char* label, const std::string& value)
{
    if (!value.empty())
        view.Facts.emplace_back(label, value);
}

std::optional<LexiconEntryView> ViewFood(Database& db, long id)
{
    auto rs = db.OpenRecordset("SELECT ST,STE,SBLS FROM T_BLS_KEY WHERE ID=" + std::to_string(id));
    if (rs->Eof())
        return std::nullopt;
    LexiconEntryView view;
    view.Area = area::kFoods;
    view.Id = id;
    view.Title = TextOf(rs->Field("ST"));
    AddFact(view, "Lebensmittelschlüssel", TextOf(rs->Field("SBLS")));
    AddFact(view, "Englisch", TextOf(rs->Field("STE")));
    std::string linked;
    for (const FoodLexiconLink& link : LinksOfFood(db, id))
        if (!link.EntryName.empty())
            linked += (linked.empty() ? "" : ", ") + link.EntryName + " (" + LexiconAreaName(link.Area) + ")";
    AddFact(view, "Siehe auch", linked);
    for (auto keys = db.OpenRecordset("SELECT [KEY],Sprachcode FROM T_INFO_KEY WHERE KEYTYPE=3 AND ID=" +
                                      std::to_string(id) + " ORDER BY [KEY]");
         !keys->Eof(); keys->MoveNext())
        view.Keywords.push_back(
            TextOf(keys->Field("KEY")) + " " +
            LanguageShort(keys->Field("Sprachcode").IsNull() ? 0 : keys->Field("Sprachcode").AsLong()));
    return view;
}

} // namespace

std::optional<LexiconEntryView> ViewLexiconEntry(Database& db, long areaNumber, long id)
{
    if (areaNumber == area::kFoods)
        return ViewFood(db, id);
    LexiconEntry entry;
    entry.SetDB(db);
    if (!entry.LoadByID(areaNumber, id)) {
        if (entry.LastError() > 0)
            throw DbError(entry.LastError(), entry.LastErrorText(), {}, "ViewLexiconEntry");
        return std::nullopt;
    }
    LexiconEntryView view;
    view.Area = areaNumber;
    view.Id = id;
    view.Title = entry.Name();
    for (const LexiconSynonym& synonym : entry.Synonyms())
        view.Keywords.push_back(synonym.Text + " " + LanguageShort(synonym.Language));
    if (!entry.Tree().empty()) {
        LexiconTree tree;
        tree.LoadNodes(db, areaNumber);
        if (const LexiconTreeNode* node = tree.Find(entry.Tree()))
            view.Node = node->Caption;
    }
    switch (areaNumber) {
    case area::kAdditives:
        AddFact(view, "E-Nummer", entry.ENumber);
        AddFact(view, "Farbe", entry.Farbe);
        AddFact(view, "Enthalten in", entry.EnthaltenIn);
        view.Text = entry.Info;
        break;
    case area::kUtensils:
        view.Text = entry.Description;
        break;
    case area::kWine:
        AddFact(view, "Etikett", entry.Label);
        AddFact(view, "Jahrgang", entry.Jahr != 0 ? std::to_string(entry.Jahr) : std::string());
        AddFact(view, "Rebsorten", entry.Trauben);
        AddFact(view, "Herkunft", entry.Detail);
        AddFact(view, "Verkostung", entry.Degustation);
        view.Text = entry.Text;
        break;
    default:
        view.Text = entry.Text;
        break;
    }
    std::string foods;
    for (const FoodLexiconLink& link : LinksOfEntry(db, areaNumber, id))
        if (!link.FoodName.empty())
            foods += (foods.empty() ? "" : ", ") + link.FoodName;
    AddFact(view, "Lebensmittel", foods);
    return view;
}

} // namespace pf
