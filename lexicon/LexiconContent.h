#pragma once
// The lexicon the program ships: readable source files (one line per entry, tab-separated) turned
// into the base-data section that fills a new database (and an existing one whose lexicon is
// still empty, at its open).
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

// The base-data text of the sources in folder, or "" with error set to the file, line and reason
// of the first line it cannot read.
std::string MakeLexiconBaseData(const std::string& folder, std::string& error);

} // namespace pf
