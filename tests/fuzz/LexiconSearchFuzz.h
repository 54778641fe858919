#pragma once
// One fuzz input as a lexicon search: the first byte chooses the area selector, the rest is the
// text a user typed. The search runs over a small lexicon in a database of its own; it must end
// without an exception, build only LIKE patterns the engine accepts, and list each hit under the
// root of its area, counted in the root's text.

#include "db/Database.h"
#include "db/JetLike.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconSearch.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class LexiconSearchFuzz
{
public:
    LexiconSearchFuzz()
    {
        m_db = test::NewSchemaDatabase(m_dir.File("lexikon.db"));
        m_db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,TREE,Sprachcode) VALUES "
                      "(1,'Crème brûlée',0,'F01',1),(2,'Käsespätzle',0,'F01',1),(1,'Blanchieren',5,'K01',1),"
                      "(1,'Zitronensäure',1,'E03',1),(1,'E 330',1,'E03',1),(1,'Spätzlepresse',2,'U06',1),"
                      "(7,'Zitrone',3,'',1),(22,'Vitamin A',10,'V01',1),(41,'Calcium',11,'M01',1),"
                      "(3,'[eckig] 100% *stern* ?frage #1',0,'',1)");
        m_db->Execute(
            "INSERT INTO T_LEXIKON (ID,Type,Language,LexikonD) VALUES (1,5,1,'Kurz in kochendes Wasser.')");
        m_db->Execute(
            "INSERT INTO T_GIFT (ID,[KEY],Info,EnthaltenIn) VALUES (1,'E 330','Säuerungsmittel','Limonade')");
        m_db->Execute("INSERT INTO T_GERAET (ID,GerMerkmalD) VALUES (1,'Drückt Teig ins Wasser.')");
        m_db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE) VALUES (7,'F503100','Zitrone','Lemon')");
    }

    std::string Run(std::string_view bytes)
    {
        static constexpr long kSelectors[] = {kLexiconAllAreas, kLexiconTextSearch, 0, 1, 2, 3, 5, 6, 10, 11};
        if (bytes.empty())
            return {};
        const long selector = kSelectors[static_cast<unsigned char>(bytes[0]) % std::size(kSelectors)];
        const std::string text(bytes.substr(1));

        const LexiconPatterns patterns = MakeLexiconPatterns(text);
        for (const std::string& pattern : {patterns.Typed, patterns.Regenerated, patterns.Eliminated}) {
            try {
                JetLike(pattern, text);
            } catch (const JetPatternError&) {
                return "das Muster \"" + pattern + "\" ist ungültig";
            }
        }
        LexiconResultTree tree;
        try {
            LexiconSearch(*m_db, text, selector, tree);
        } catch (const std::exception& e) {
            return std::string("die Suche bricht ab: ") + e.what();
        }
        for (const LexiconAreaNode& root : tree.Roots()) {
            char key[24];
            std::snprintf(key, sizeof key, "%lXT", root.Area);
            if (root.Key != key || root.Hits.empty() ||
                root.Text != LexiconAreaName(root.Area) + " (" + std::to_string(root.Hits.size()) + ")")
                return "die Wurzel \"" + root.Text + "\" passt nicht zu ihren Treffern";
            for (const LexiconHit& hit : root.Hits)
                if (hit.Area != root.Area ||
                    (selector != kLexiconAllAreas && selector != kLexiconTextSearch && hit.Area != selector))
                    return "der Treffer \"" + hit.Text + "\" steht im falschen Bereich";
        }
        return {};
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace pf::fuzz
