#include "model/RecipeSaveChecks.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/RememberedAnswers.h"
#include "core/Trim.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "model/ClCategory.h"
#include "model/ClRecipe.h"
#include "model/ProgramUnits.h"
#include "model/clBook.h"
#include "model/clsRecipeUnit.h"

namespace pf {

namespace {

constexpr const char* kCaption = "Speichern eines Rezeptes";

bool AskYes(const std::string& question)
{
    return UI().Ask(question, Buttons::YesNo, Answer::Yes, MsgIcon::Question, kCaption) == Answer::Yes;
}

// A question the cook may silence for good.
bool AskYesRemembered(const char* key, const std::string& question)
{
    return AskRemembered(key, question, Buttons::YesNo, Answer::Yes, MsgIcon::Question, kCaption) ==
           Answer::Yes;
}

bool HasBookBesidesBase(ClRecipe& recipe)
{
    for (long book : recipe.BookIDs()) {
        if (book != clBook::kBaseBook)
            return true;
    }
    return false;
}

// The origin check: an existing category must be a country open for manual assignment (or the
// recipe's stored origin already), an unknown name may become a new country. False stops the
// save.
bool CheckOrigin(ClRecipe& recipe, const std::string& name, bool complete, RecipeSaveCheck& check)
{
    if (name.empty()) {
        if (complete &&
            !AskYesRemembered("SaveNoOrigin",
                              "Ist es korrekt, dass keine Herkunftsangabe gemacht worden ist ?"))
            check.Problems.push_back("Eine geographische Herkunft sollte angegeben werden.");
        return true;
    }
    ClCategory category;
    category.SetDB(&recipe.Db());
    if (category.LoadbyName(name)) {
        const bool usable = category.IsCountry() && (category.IsEdit() || category.id() == recipe.Origin());
        if (usable) {
            check.OriginID = category.id();
            return true;
        }
        UI().Inform(
            "Die Herkunftsangabe \"" + name +
                "\" ist bereits bekannt und ist entweder eine Kategorie, die nicht als Herkunftsort "
                "gekennzeichnet ist oder aber nicht zur Erfassung freigegeben ist.\n"
                "Das Rezept kann so nicht gespeichert werden. Tipp: In der Karteikarte \"Kategorien\" "
                "das Kategoriemanagement aufrufen und die Situation überprüfen!",
            MsgIcon::Warning, kCaption);
        check.Refused = true;
        return false;
    }
    if (AskYes("Die erfasste geographische Herkunft: \"" + name +
               "\" ist neu. Soll diese Angabe wirklich als neue Herkunft gespeichert werden ?"))
        check.NewOrigin = name;
    else
        check.Problems.push_back("Die geographische Herkunft soll eine bereits erfasste Herkunft sein.");
    return true;
}

} // namespace

bool NeedsCompletenessChecks(ClRecipe& recipe)
{
    if (recipe.Zubereitung().empty())
        return false;
    for (int i = 1; i <= recipe.IngredCount(); ++i) {
        const ClIngredient& line = recipe.Ingredient(i);
        if (!line.IsTrenner() && line.OrgMeasurement() != Decimal4())
            return true;
    }
    return false;
}

RecipeSaveCheck CheckRecipeBeforeSave(ClRecipe& recipe, const std::string& originText,
                                      const std::string& yieldUnitText)
{
    RecipeSaveCheck check;
    const bool complete = NeedsCompletenessChecks(recipe);
    if (complete) {
        if (recipe.CatCount() == 0)
            check.Problems.push_back("Das Rezept muss zu mindestens einer Kategorie gehören.");
        if (!HasBookBesidesBase(recipe) &&
            !AskYesRemembered("SaveOnlyBaseBook",
                              "Ist es korrekt, dass das Rezept ausser zum Basiskochbuch zu "
                              "keinen weiteren Kochbüchern gehört ?"))
            check.Problems.push_back("Das Rezept soll zu einem zusätzlichem Kochbuch gehören.");
    }
    if (!CheckOrigin(recipe, std::string(Trim(originText)), complete, check))
        return check;
    if (complete && recipe.Yield() < 1)
        check.Problems.push_back("Eine Mengenangabe muss gemacht werden.");

    const std::string unit(Trim(yieldUnitText));
    if (!unit.empty() && ProgramRecipeUnits().SearchName(unit) == 0)
        check.NewYieldUnit = unit;

    if (!check.Problems.empty()) {
        std::string text = "Vor dem Speichern müssen noch folgende Probleme beseitigt sein:";
        for (const std::string& problem : check.Problems)
            text += "\n" + problem;
        UI().Inform(text, MsgIcon::Warning, kCaption);
    }
    return check;
}

bool SaveCheckedRecipe(ClRecipe& recipe, const RecipeSaveCheck& check, bool asChild, std::string& errorText)
{
    errorText.clear();
    if (!check.CanSave())
        return false;
    Database& db = recipe.Db();
    const long oldOrigin = recipe.Origin();
    const long oldYieldUnit = recipe.YieldUnitIndex();
    bool unitCreated = false;
    bool saved = false;
    try {
        DbTransaction trans(db);
        long origin = check.OriginID;
        if (!check.NewOrigin.empty()) {
            ClCategory country;
            country.SetDB(&db);
            if (!country.LoadbyNameorCreate(check.NewOrigin, true)) {
                errorText = "Die neue Herkunft konnte nicht gespeichert werden:\n" + country.LastErrorText();
                return false;
            }
            origin = country.id();
        }
        recipe.SetOriginID(origin);
        if (!check.NewYieldUnit.empty()) {
            clsRecipeUnit& units = ProgramRecipeUnits();
            units.NewEntry(check.NewYieldUnit, "", "");
            unitCreated = true;
            if (!units.RefreshDB()) {
                errorText =
                    "Die neue Rezept-Einheit konnte nicht gespeichert werden:\n" + units.LastErrorText();
            } else {
                recipe.SetYieldUnitText(check.NewYieldUnit);
            }
        }
        if (errorText.empty()) {
            saved = asChild ? recipe.SaveAsChild() : recipe.Save();
            if (saved)
                trans.Commit();
            else
                errorText = RecipeSaveErrorText(recipe);
        }
    } catch (const DbError& error) {
        saved = false;
        errorText = "Das Rezept konnte nicht gespeichert werden:\n" + std::string(error.what());
    }
    if (!saved) {
        recipe.SetOriginID(oldOrigin);
        recipe.SetYieldUnitIndex(oldYieldUnit);
        // The list holds the rolled-back entry; read it again from the database.
        if (unitCreated)
            ProgramRecipeUnits().Init(db, &ProgramUnits());
    }
    return saved;
}

std::string RecipeSaveErrorText(const ClRecipe& recipe)
{
    switch (recipe.LastError()) {
    case 0:
        return {};
    case ClRecipe::kErrTitle:
        return "Das Rezept braucht einen Titel.";
    case ClRecipe::kErrCategories:
        return "Das Rezept muss zu mindestens einer Kategorie gehören.";
    case ClRecipe::kErrInstructions:
        return "Das Rezept braucht eine Zubereitung.";
    default:
        return "Das Rezept konnte nicht gespeichert werden:\n" + recipe.LastErrorText();
    }
}

} // namespace pf
