#pragma once
// One lexicon entry as a reader sees it: its heading, its keywords with their languages, the facts
// of its area as labelled lines, and its explanation. The same view serves the lexicon window, and
// the printing and export of entries. Reads the database only.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pf {

class Database;

struct LexiconEntryView
{
    long Area = 0;
    long Id = 0;
    std::string Title;
    std::vector<std::string> Keywords;                      // "Schneebesen [DE(D)]"
    std::string Node;                                       // the caption of its tree node, "" when none
    std::vector<std::pair<std::string, std::string>> Facts; // label, value
    std::string Text;
};

// nullopt when the area has no entry of that number. Throws DbError.
std::optional<LexiconEntryView> ViewLexiconEntry(Database& db, long area, long id);

} // namespace pf
