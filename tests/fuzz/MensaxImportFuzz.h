#pragma once
// One fuzz input through the Mensax reader, as a file's bytes: whatever they hold, the reader must
// return in time and in bounded memory, hand over only recipes the pipeline can store and menus
// with courses and a plausible date, and tell the progress within the file's size.

#include "exchange/ImportFile.h"
#include "exchange/MMImport.h"
#include "exchange/MensaxImport.h"
#include "model/ClUnit.h"
#include "tests/support/BaseDataDb.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class MensaxCheckingSink : public MMImportSink
{
public:
    long StoreRecipe(ImportRecipe& recipe) override
    {
        ++recipes;
        if (recipe.ImportSource != 6)
            ++broken;
        for (const ImportIngredient& line : recipe.Lines) {
            // A sub-recipe reference names the recipe found; a heading carries no amount.
            if (line.IsRecipe && (line.RefID.empty() || line.RefID == "0"))
                ++broken;
            if (line.IsTrenner && (line.IsRecipe || line.Amount != Decimal4()))
                ++broken;
        }
        return recipes;
    }
    long StoreMenu(ImportMenu& menu) override
    {
        // Only menus with courses are handed over, dated today or within the years a file may give.
        if (menu.Courses.empty() || menu.Date.Days < DateSerial::FromParts(1900, 1, 1).Days ||
            menu.Date.Days >= DateSerial::FromParts(2500, 1, 1).Days)
            ++broken;
        return ++menus;
    }
    void StoreInfoBlock(long, const MMInfoBlock&) override { ++broken; }
    long RecipeByFingerprint(std::int32_t fp1, std::int32_t fp2) override
    {
        return fp1 == 1 && fp2 == 2 ? 42 : 0;
    }
    long FoodKeyByCode(const std::string& code) override { return code == "B100000" ? 7 : 0; }
    void Progress(std::size_t done, std::size_t total) override
    {
        if (done > total)
            ++broken;
    }

    long recipes = 0;
    long menus = 0;
    long broken = 0;
};

class MensaxImportFuzz
{
public:
    MensaxImportFuzz() : m_db(test::MakeBaseDataDatabase(m_dir))
    {
        m_units.SetDB(m_db.get());
        m_units.Count();
    }

    // Empty when the reader kept its promises, else what it broke.
    std::string Run(std::string_view bytes)
    {
        MensaxImport reader(m_units, DateSerial{46000});
        MensaxCheckingSink sink;
        reader.ReadFile(ImportTextFromString(bytes, "fuzz.mnx"), sink);
        return sink.broken == 0 ? std::string()
                                : std::to_string(sink.broken) + " Zusagen des Mensax-Lesers verletzt";
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ClUnit m_units;
};

} // namespace pf::fuzz
