#pragma once
// Lexicon entries leaving the program: as plain text (the clipboard, text files), as an HTML page
// and printed on a page canvas. Every form shows the same parts in the same order: the heading,
// area and group, the keywords with their languages, the facts of the area and the explanation.
// Reads the database only; an export writes the one file it is given and nothing else.

#include "lexicon/LexiconEntryView.h"

#include <string>
#include <utility>
#include <vector>

namespace pf {

class Database;
class PageCanvas;

// An entry by area and number.
using LexiconEntryKey = std::pair<long, long>;

// The entry as plain text, lines ended by "\n".
std::string LexiconEntryText(const LexiconEntryView& view);
// The entries as one HTML page in UTF-8, titled by caption.
std::string LexiconEntriesHtml(const std::vector<LexiconEntryView>& views, const std::string& caption);

// The views of the entries that still exist, in the given order. Throws DbError.
std::vector<LexiconEntryView> ViewLexiconEntries(Database& db, const std::vector<LexiconEntryKey>& keys);

// Writes the entries to path: an HTML page when the name ends in ".htm" or ".html", plain text
// (UTF-8) otherwise. False with a German reason in problem when there is nothing to write or the
// file cannot be written.
bool ExportLexiconEntries(Database& db, const std::vector<LexiconEntryKey>& keys, const std::string& path,
                          std::string& problem);

// Prints the entries one below the other, each page ending with the footer "Lexikon", and ends
// the last page. The caller finishes the canvas.
void PrintLexiconEntries(PageCanvas& canvas, const std::vector<LexiconEntryView>& views);

} // namespace pf
