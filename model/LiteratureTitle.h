#pragma once
// The display text of a literature source, which recipes show wherever they name their source:
// title, " (publisher)", ", year", "/issue" after a year or ", issue" without one, ", Seite page".
// The reading variant throws DbError.

#include <string>

namespace pf {

class Database;

// The text from the given parts; a publisher of one character or less is left out.
std::string LiteratureTitleText(const std::string& title, const std::string& publisher, long year,
                                const std::string& issue, long page);
// The text of source quelleId of db with its publisher's name; "" when there is no such source.
std::string LiteratureTitleOf(Database& db, long quelleId, long page = 0);

} // namespace pf
