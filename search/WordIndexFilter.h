#pragma once
// Narrows the word step of the recipe search through the word index of the database: each word's
// patterns become a query for the three-character pieces every match must contain, and the step
// then compares only the recipes the index names. The comparison itself stays the search's own,
// so the result is the same with and without the index; a word the index cannot narrow (shorter
// than three characters, wildcards between every letter, an ID "#n") is left to the comparison.

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// The full-text query of one search pattern (wildcards "*", "?", "#", lists "[...]"): the
// trigrams of its literal stretches joined by AND, a list of a few letters as OR of its forms.
// "" when the pattern has no stretch of three characters the index can look up.
std::string TrigramQuery(std::string_view pattern);

// The full-text query of one search word (its written form or the form with written-out
// umlauts); "" when the index cannot narrow it.
std::string WordIndexQuery(const std::string& word);

// "SELECT rowid FROM table WHERE table MATCH 'query'": the recipes (rowids) the index table names
// for a query of TrigramQuery's form.
std::string IndexMatch(const char* table, const std::string& query);

// The condition on T_REZ_KOPF.ID that keeps every recipe the words can match, for the word step
// of a search that is not negated; "" when the index cannot narrow these words (then the step
// compares every recipe). anyWord: one word suffices; instructions: the words may also stand in
// the instructions.
std::string WordIndexCondition(const std::vector<std::string>& words, bool anyWord, bool instructions);

// The condition on T_REZ_ZUTAT.ID that keeps every recipe with an ingredient line containing one
// of the texts; "" when the index cannot narrow one of them (then the step reads every line).
std::string IngredientIndexCondition(const std::vector<std::string>& texts);
// The full-text query behind it; "" likewise.
std::string IngredientIndexQuery(const std::vector<std::string>& texts);

} // namespace pf
