#pragma once
// Finds the food an ingredient text names. Food names (German or English column by the interface
// language, the other column after it) and synonyms are read once into memory, keyed by
// FoodNameKey, so that matching a whole recipe collection asks the database nothing further. The
// matcher belongs to one database; Invalidate after foods or synonyms changed. It never writes.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pf {

class Database;
class Interaction;

// Picks one food for a text when the automatic match failed (the food selection dialog, or a list
// choice in batch use); 0 when the user chose nothing.
class FoodChooser
{
public:
    virtual ~FoodChooser() = default;
    virtual long ChooseFood(const std::string& presetText) = 0;
};

// A chooser through the interaction's list choice: the foods and synonyms that start like the
// text, by name.
class ListFoodChooser : public FoodChooser
{
public:
    ListFoodChooser(Database& db, Interaction& ui, std::string languageSuffix = "D");
    long ChooseFood(const std::string& presetText) override;

private:
    Database& m_db;
    Interaction& m_ui;
    std::string m_suffix;
};

// Passes the choice on to another chooser and remembers the text it was asked for and whether a
// food was chosen, so that a choice by hand can be learned afterwards.
class RecordingChooser : public FoodChooser
{
public:
    explicit RecordingChooser(FoodChooser& chooser) : m_chooser(chooser) {}
    long ChooseFood(const std::string& presetText) override
    {
        m_text = presetText;
        m_chosen = m_chooser.ChooseFood(presetText);
        return m_chosen;
    }
    bool Used() const { return m_chosen != 0; }
    const std::string& Text() const { return m_text; }

private:
    FoodChooser& m_chooser;
    std::string m_text;
    long m_chosen = 0;
};

class FoodMatcher
{
public:
    // strong: also try the text shortened by one and two characters, further words and plural and
    // diminutive forms (the setting ImportBLSStrong).
    FoodMatcher(Database& db, std::string languageSuffix = "D", bool strong = true);
    ~FoodMatcher();

    // Remembered matches were found with the old setting and are forgotten when it changes.
    void SetStrong(bool strong)
    {
        if (strong != m_strong)
            m_cache.clear();
        m_strong = strong;
    }
    bool Strong() const { return m_strong; }

    // The food of an ingredient text, 0 when none. A text starting with "-" or ";" is never
    // matched; text after ";" is ignored. With interactive and a chooser, a failed match tells the
    // user and lets the chooser pick.
    long MatchFoodForIngredient(std::string_view text, bool interactive = false,
                                FoodChooser* chooser = nullptr, Interaction* ui = nullptr);
    // One lookup of a text: synonyms, then names, then the heads of names before their first
    // comma ("Zwiebel" of "Zwiebel, roh"), main products before others; with strong also the word
    // forms of the text. Hits are remembered for the text as given.
    long FindFoodByName(const std::string& text);

    // The texts MatchFoodForIngredient tries for a text, in order (already without the part after
    // ";"); empty for a text that is not matched at all.
    std::vector<std::string> Variants(std::string_view text) const;

    // Forgets names, synonyms and remembered matches; the next lookup reads them again.
    void Invalidate();
    std::size_t CacheSize() const { return m_cache.size(); }

private:
    struct Index;
    void LoadIndex();
    // The first food any of the keys names, table by table.
    long Lookup(const std::vector<std::string>& keys) const;

    Database& m_db;
    std::string m_suffix;
    bool m_strong;
    std::unique_ptr<Index> m_index;
    std::unordered_map<std::string, long> m_cache;
};

} // namespace pf
