#pragma once
// One fuzz input through the Meal-Master reader: the bytes are decoded and split as a file would
// be and read with every umlaut option in turn. Whatever the input, the reader must return, and
// every recipe it delivers must be one the pipeline can store.

#include "exchange/ImportFile.h"
#include "exchange/MMImport.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pf::fuzz {

class CheckingSink : public MMImportSink
{
public:
    long StoreRecipe(ImportRecipe& recipe) override
    {
        ++recipes;
        lines += recipe.Lines.size();
        // What the pipeline relies on.
        if (recipe.Title.empty() || recipe.Servings < 1 || recipe.YieldUnitText.empty())
            ++broken;
        for (int written : recipe.WrittenLines)
            if (written >= static_cast<int>(recipe.Lines.size()))
                ++broken;
        return recipes;
    }
    void StoreInfoBlock(long, const MMInfoBlock&) override { ++infos; }

    long recipes = 0;
    std::size_t lines = 0;
    long infos = 0;
    long broken = 0;
};

// Returns the number of recipes that broke the reader's promises (0 for a good run).
inline long FuzzMealMasterReader(const std::uint8_t* data, std::size_t size, ClUnit& units)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ImportText text = ImportTextFromString(bytes, "fuzz.mm");
    long broken = 0;
    for (int variant = 0; variant < 3; ++variant) {
        MMReadOptions options;
        options.Umlaute = variant == 1;
        options.NoUmlaute = variant == 2;
        MMImport reader(units, options);
        CheckingSink sink;
        reader.ReadFile(text, sink);
        broken += sink.broken;
    }
    return broken;
}

} // namespace pf::fuzz
