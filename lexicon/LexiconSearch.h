#pragma once
// The lexicon search: a text looked up in the keywords of every area, in the explanations, the
// additive and utensil tables and the food names, ignoring accents and accepting umlauts written
// as digraphs. The hits go into a result tree with one root per area. When nothing is found the
// text is shortened, and the user is asked once (through the interaction interface) whether the
// search should be widened. Reads the database only; a failing read ends its step and is logged.

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

constexpr long kLexiconAllAreas = 16383;
// Also searches the additive and utensil texts.
constexpr long kLexiconTextSearch = 16384;

struct LexiconHit
{
    long Area = 0;
    long Id = 0;
    std::string Text; // the keyword, for foods the food name
    std::string Sbls; // foods: the food code
};

struct LexiconAreaNode
{
    long Area = 0;
    std::string Key;  // the area number in hexadecimal and "T": "AT" for area 10
    std::string Text; // the area name and, after the search, " (" hit count ")"
    std::vector<LexiconHit> Hits;
};

class LexiconResultTree
{
public:
    void Clear();
    bool Empty() const { return m_roots.empty(); }
    // Adds a hit under its area's root, made on first use; the same keyword of the same entry is
    // listed once.
    void Add(LexiconHit hit);
    // Appends the hit counts to the root texts.
    void Finish();
    // The roots in area order.
    const std::vector<LexiconAreaNode>& Roots() const { return m_roots; }
    const LexiconAreaNode* Root(long area) const;
    // The node shown selected after a search: the first root, or nothing.
    const LexiconAreaNode* Selected() const { return m_roots.empty() ? nullptr : &m_roots.front(); }
    std::size_t HitCount() const;

private:
    std::vector<LexiconAreaNode> m_roots;
};

// Every letter with accented forms becomes a LIKE class of the letter and those forms ("creme" →
// "cr[eèéêë]m[eèéêë]"); characters of the pattern language stand for themselves.
std::string MakeAccentPattern(std::string_view text);

// The three LIKE patterns of one pass for a working text, all anchored at the start of the
// column: as typed, with digraphs turned into umlauts, with umlauts written as digraphs. Empty
// when the text gives no pattern of at least three characters.
struct LexiconPatterns
{
    std::string Typed;
    std::string Regenerated;
    std::string Eliminated;
};
LexiconPatterns MakeLexiconPatterns(std::string_view workingText);

// Fills tree with the hits of text in the areas of selector (kLexiconAllAreas, one area number,
// or kLexiconTextSearch).
void LexiconSearch(Database& db, const std::string& text, long selector, LexiconResultTree& tree);

} // namespace pf
