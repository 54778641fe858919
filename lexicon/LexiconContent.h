#pragma once
// The lexicon the program ships: readable source files (one line per entry, tab-separated) turned
// into the base-data section that fills a new database, and the fill of an existing database
// whose lexicon is still empty.
//
// Source files in one folder, '#' starts a comment line:
//   trees.txt      AREA  KEY  CAPTION
//   terms.txt      AREA  TREE  KEYWORDS  EXPLANATION        (areas 0 and 5; IDs in file order)
//   additives.txt  ENUMBER  TREE  KEYWORDS  COLOUR  INFO  OCCURS-IN
//   utensils.txt   TREE  KEYWORDS  DESCRIPTION
//   nutrients.txt  AREA  DINDEX  TREE  KEYWORDS  EXPLANATION (areas 10 and 11; the ID is the
//                  nutrient descriptor's DINDEX)
// KEYWORDS are separated by "|"; a keyword may end in "@" and a language code (German, 1, when
// none is given).

#include <string>

namespace pf {

class Database;

// The base-data text of the sources in folder, or "" with error set to the file, line and reason
// of the first line it cannot read.
std::string MakeLexiconBaseData(const std::string& folder, std::string& error);

// Loads the lexicon rows of a base-data file into db when its lexicon is empty (no keyword,
// explanation or additive of the areas 0, 1, 5, 10 and 11); utensils and their tree come along
// when the database has none. Rows of other areas (food synonyms) and of other tables are left
// out, nothing stored is changed. One transaction. Returns 1 when it filled the lexicon, 0 when
// there was nothing to do, -1 on failure (reported; nothing written).
int FillEmptyLexicon(Database& db, const std::string& baseDataFile);
// The same with the base data of the program's INIT.ZIP, for a database opened or upgraded:
// nothing happens (0) when the lexicon has entries, the database is read-only or the archive is
// missing.
int FillEmptyLexiconFromInit(Database& db);

} // namespace pf
