#pragma once
// One fuzz input as text a user typed into the recipe search: taken as a whole statement, as a
// LIKE pattern and as the search words of a real search over a database. The translation may
// refuse text with its own error only; a search for a plain word (no wildcard or bracket) must
// find the recipe that is titled with exactly that word.

#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/JetLike.h"
#include "db/JetSql.h"
#include "search/ClSearch.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class JetSqlFuzz
{
public:
    JetSqlFuzz()
    {
        m_db = test::NewSchemaDatabase(m_dir.File("search.db"));
        m_db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle, RezParent) VALUES (1, 'Apfelkuchen', 0)");
    }

    std::string Run(std::string_view bytes)
    {
        try {
            TranslateJetSql(bytes);
        } catch (const DbError&) {
            // Text the translation cannot read is refused with the engine's error.
        }
        try {
            JetLikePattern(bytes).Matches(bytes);
        } catch (const JetPatternError&) {
        }
        if (!IsValidUtf8(bytes))
            return {};
        return Search(std::string(bytes));
    }

private:
    static bool IsPlainWord(std::string_view word)
    {
        return !word.empty() && CharLength(word) <= 100 &&
               word.find_first_of(" \"'|?*%[]#!-\\", 0) == std::string_view::npos &&
               std::none_of(word.begin(), word.end(), [](char c) { return c >= 0 && c < ' '; });
    }

    std::string Search(const std::string& words)
    {
        const bool plain = IsPlainWord(words);
        DbTransaction rollBack(*m_db);
        if (plain)
            m_db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle, RezParent) VALUES (2, ?, 0)",
                          {Value(words)});
        for (int variant = 0; variant < 3; ++variant) {
            SearchCriteria criteria;
            criteria.Words = words;
            criteria.Instructions = variant == 1;
            if (variant == 2)
                criteria.Ingredients.push_back({0, words});
            ClSearch search(m_db.get());
            long count = 0;
            search.FindFirst(EncodeSearchData(criteria), -1, ClSearch::kSortTitle, count);
            const auto& hits = search.Hits();
            const bool found =
                std::any_of(hits.begin(), hits.end(), [](const SearchHit& hit) { return hit.id == 2; });
            if (plain && variant < 2 && !found)
                return "die Suche nach \"" + words + "\" findet das Rezept dieses Titels nicht";
        }
        return {};
    }

    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace pf::fuzz
