#pragma once
// One fuzz input as the text of an ingredient line, matched against a small food table the
// way the import and the batch run match it, with and without the stronger variants. The match
// must be one of the foods or none; a line starting with "-" or ";" is never matched; every text
// tried is trimmed, non-empty and free of the part after ";"; the comparable form of a name is
// stable when taken twice.

#include "db/Database.h"
#include "nutrition/FoodMatcher.h"
#include "nutrition/FoodNameKey.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class MatcherFuzz
{
public:
    MatcherFuzz()
    {
        m_db = test::NewSchemaDatabase(m_dir.File("foods.db"));
        const char* const foods[] = {"Zwiebel",      "Zwiebel, getrocknet", "Möhre", "Ei", "Crème fraîche",
                                     "Paprika, rot", "Weizenmehl Type 405", "Äpfel"};
        long id = 0;
        for (const char* food : foods) {
            ++id;
            m_db->Execute(
                "INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag) VALUES (?,?,?,?,?)",
                {id, "A" + std::to_string(100000 + id), food, std::string("E ") + food, id % 2 ? -1 : 0});
        }
        for (const char* synonym : {"Karotte", "Gelbe Rübe", "Schlagobers", "Rahm"})
            m_db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (3,?,3)", {synonym});
        m_maxId = id;
    }

    std::string Run(std::string_view text)
    {
        const std::string key = FoodNameKey(text);
        if (FoodNameKey(key) != key)
            return "der Vergleichsname \"" + key + "\" ändert sich beim zweiten Mal";
        for (const std::string& form : FoodNameForms(key))
            if (form.empty() || form == key)
                return "leere oder gleiche Wortform von \"" + key + "\"";
        for (const bool strong : {false, true}) {
            FoodMatcher matcher(*m_db, strong ? "D" : "E", strong);
            for (const std::string& variant : matcher.Variants(text)) {
                if (variant.empty() || variant.front() == ' ' || variant.back() == ' ' ||
                    variant.find(';') != std::string::npos)
                    return "Variante \"" + variant + "\" ist leer, ungetrimmt oder enthält \";\"";
            }
            const long id = matcher.MatchFoodForIngredient(text);
            if (id < 0 || id > m_maxId)
                return "unbekanntes Nahrungsmittel " + std::to_string(id);
            if (id != 0 && !text.empty() && (text.front() == '-' || text.front() == ';'))
                return "eine Zeile mit \"-\" oder \";\" am Anfang wurde zugeordnet";
        }
        return {};
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    long m_maxId = 0;
};

} // namespace pf::fuzz
