// The "lexicon" command of the command-line program: the lexicon search over all areas (or the
// one of --area) prints area<TAB>ID<TAB>keyword per hit, areas in number order.

#include "app/CliCommands.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconSearch.h"

#include <charconv>
#include <ostream>

namespace pf {

namespace {

bool ParseArea(const std::string& text, long& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return false;
    return value == kLexiconAllAreas || value == kLexiconTextSearch || !LexiconAreaName(value).empty();
}

} // namespace

int CliLexicon(CliCall& call)
{
    long selector = kLexiconAllAreas;
    std::string text;
    const bool parsed = ParseCliArgs(
        call,
        {{"--area", true, [&selector](const std::string& value) { return ParseArea(value, selector); },
          "Nach --area muss ein Bereich des Lexikons stehen (0 bis 6, 10, 11, 16383 oder 16384)."}},
        JoinedInto(text));
    if (!parsed)
        return 2;
    if (text.empty()) {
        call.Err << "Aufruf: pfannola-cli --db DATEI lexicon [--area N] TEXT\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    LexiconResultTree tree;
    LexiconSearch(*db, text, selector, tree);
    if (tree.Empty())
        call.Err << "Im Lexikon wurde nichts gefunden.\n";
    for (const LexiconAreaNode& root : tree.Roots())
        for (const LexiconHit& hit : root.Hits)
            call.Out << hit.Area << '\t' << hit.Id << '\t' << hit.Text << '\n';
    return 0;
}

} // namespace pf
