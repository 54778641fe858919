#include "nutrition/FoodMatcher.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/Interaction.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "nutrition/FoodNameKey.h"
#include "nutrition/FoodSearch.h"

#include <algorithm>
#include <optional>

namespace pf {

namespace {

// Each table keeps the first food that claimed a key; rows are read best first.
using KeyTable = std::unordered_map<std::string, long>;

void Claim(KeyTable& table, const std::string& key, long id)
{
    if (!key.empty())
        table.emplace(key, id);
}

// The text before the first comma of a food name ("Zwiebel, roh" is the onion a recipe names).
std::string NameHead(const std::string& name)
{
    const auto comma = name.find(',');
    return comma == std::string::npos ? std::string() : std::string(Trim(name.substr(0, comma)));
}

std::string FirstWord(const std::string& text)
{
    return text.substr(0, text.find(' '));
}

// Text without its last count characters.
std::string CutEnd(const std::string& text, std::size_t count)
{
    const std::size_t length = CharLength(text);
    return CharSubstr(text, 0, length - count);
}

void AddVariant(std::vector<std::string>& variants, std::string variant)
{
    variant = std::string(Trim(variant));
    if (!variant.empty())
        variants.push_back(std::move(variant));
}

// The word variants of one text, before any shortening.
std::vector<std::string> WordVariants(const std::string& text, bool strong)
{
    std::vector<std::string> variants;
    AddVariant(variants, text);
    const auto comma = text.find(',');
    std::string base = text;
    if (comma != std::string::npos) {
        const std::string before(Trim(text.substr(0, comma)));
        const std::string after(Trim(text.substr(comma + 1)));
        if (!after.empty() && !before.empty())
            AddVariant(variants, after + ", " + before);
        AddVariant(variants, after);
        AddVariant(variants, before);
        base = before;
    }
    auto blank = base.find(' ');
    if (blank != std::string::npos) {
        const std::string rest(Trim(base.substr(blank + 1)));
        AddVariant(variants, rest);
        if (rest.find(' ') != std::string::npos)
            AddVariant(variants, FirstWord(rest));
        AddVariant(variants, FirstWord(base));
    }
    if (!strong)
        return variants;
    // Each later word from its start: "frische braune Champignons" also tries "Champignons".
    if (blank != std::string::npos) {
        for (blank = base.find(' ', blank + 1); blank != std::string::npos;
             blank = base.find(' ', blank + 1)) {
            const std::string later(Trim(base.substr(blank + 1)));
            AddVariant(variants, later);
            if (later.find(' ') != std::string::npos)
                AddVariant(variants, FirstWord(later));
        }
    }
    // The last part of a compound with a hyphen: "Bio-Zitronen" names lemons.
    const std::string lastWord = base.substr(base.rfind(' ') == std::string::npos ? 0 : base.rfind(' ') + 1);
    const auto hyphen = lastWord.rfind('-');
    if (hyphen != std::string::npos && hyphen > 0)
        AddVariant(variants, lastWord.substr(hyphen + 1));
    return variants;
}

// The text as matched: nothing for "-" and ";" lines, the part before ";", blanks collapsed.
std::string MatchableText(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == ';'))
        return {};
    text = text.substr(0, text.find(';'));
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank && (clean.empty() || clean.back() == ' '))
            continue;
        clean += blank ? ' ' : c;
    }
    while (!clean.empty() && clean.back() == ' ')
        clean.pop_back();
    return clean;
}

} // namespace

// Tables in the order they are asked: a whole name in any language before the head of a longer
// name, so that "Tomaten" finds the tomato and not "Tomaten, getrocknet".
struct FoodMatcher::Index
{
    KeyTable Synonyms;
    KeyTable Names;      // the interface language's column
    KeyTable OtherNames; // the other language's column
    KeyTable Heads;      // names of the interface language before the first comma
    KeyTable OtherHeads;
};

FoodMatcher::FoodMatcher(Database& db, std::string languageSuffix, bool strong)
    : m_db(db), m_suffix(std::move(languageSuffix)), m_strong(strong)
{
}

FoodMatcher::~FoodMatcher() = default;

void FoodMatcher::Invalidate()
{
    m_index.reset();
    m_cache.clear();
}

void FoodMatcher::LoadIndex()
{
    auto index = std::make_unique<Index>();
    {
        auto rs = m_db.OpenRecordset(
            "SELECT T_INFO_KEY.[KEY], T_BLS_KEY.ID FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = "
            "T_BLS_KEY.ID WHERE T_INFO_KEY.KEYTYPE=3 ORDER BY ProduktHauptFlag DESC,T_INFO_KEY.[KEY]");
        for (; !rs->Eof(); rs->MoveNext())
            Claim(index->Synonyms, FoodNameKey(rs->Field(0).AsText()),
                  static_cast<long>(rs->Field(1).AsLong()));
    }
    const bool english = m_suffix == "E";
    const std::string column = english ? "STE" : "ST";
    const std::string other = english ? "ST" : "STE";
    {
        // Main products first (ProduktHauptFlag is -1 when set), then by name.
        auto rs = m_db.OpenRecordset("SELECT ID," + column + "," + other +
                                     " FROM T_BLS_KEY ORDER BY ProduktHauptFlag<>0 DESC," + column);
        std::vector<std::pair<std::string, long>> others;
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = static_cast<long>(rs->Field(0).AsLong());
            const std::string name = rs->Field(1).AsText();
            Claim(index->Names, FoodNameKey(name), id);
            Claim(index->Heads, FoodNameKey(NameHead(name)), id);
            others.emplace_back(rs->Field(2).AsText(), id);
        }
        for (const auto& [name, id] : others) {
            Claim(index->OtherNames, FoodNameKey(name), id);
            Claim(index->OtherHeads, FoodNameKey(NameHead(name)), id);
        }
    }
    m_index = std::move(index);
}

long FoodMatcher::Lookup(const std::vector<std::string>& keys) const
{
    const std::pair<const KeyTable*, const KeyTable*> passes[] = {{&m_index->Synonyms, &m_index->Names},
                                                                  {&m_index->OtherNames, nullptr},
                                                                  {&m_index->Heads, &m_index->OtherHeads}};
    // The text and its likeliest singular first through every table, then the rarer forms: so
    // "Kirschen" finds "Kirsche, süß" before the synonym "Kirsch" of a brandy.
    const std::size_t likely = std::min<std::size_t>(keys.size(), 2);
    for (const std::size_t limit : {likely, keys.size()}) {
        for (const auto& [first, second] : passes) {
            for (std::size_t k = 0; k < limit; ++k) {
                for (const KeyTable* table : {first, second}) {
                    if (!table)
                        continue;
                    if (const auto it = table->find(keys[k]); it != table->end())
                        return it->second;
                }
            }
        }
    }
    return 0;
}

long FoodMatcher::FindFoodByName(const std::string& text)
{
    if (const auto it = m_cache.find(text); it != m_cache.end())
        return it->second;
    if (!m_index)
        LoadIndex();
    std::vector<std::string> keys = {FoodNameKey(text)};
    if (keys.front().empty())
        return 0;
    if (m_strong) {
        std::vector<std::string> forms = FoodNameForms(keys.front());
        keys.insert(keys.end(), std::make_move_iterator(forms.begin()), std::make_move_iterator(forms.end()));
    }
    const long id = Lookup(keys);
    if (id != 0)
        m_cache.emplace(text, id);
    return id;
}

std::vector<std::string> FoodMatcher::Variants(std::string_view text) const
{
    const std::string clean = MatchableText(text);
    if (clean.empty())
        return {};
    const std::vector<std::string> words = WordVariants(clean, m_strong);
    std::vector<std::string> variants = words;
    const std::size_t length = CharLength(clean);
    const std::size_t rounds = m_strong ? 2 : 0;
    for (std::size_t k = 1; k <= rounds && length >= k + 2; ++k) {
        for (const std::string& word : words) {
            if (CharLength(word) > k + 2)
                AddVariant(variants, CutEnd(word, k));
        }
    }
    return variants;
}

long FoodMatcher::MatchFoodForIngredient(std::string_view text, bool interactive, FoodChooser* chooser,
                                         Interaction* ui)
{
    const std::vector<std::string> variants = Variants(text);
    if (variants.empty())
        return 0;
    std::optional<BusyPointer> busy;
    if (interactive)
        busy.emplace();
    for (const std::string& variant : variants) {
        if (const long id = FindFoodByName(variant))
            return id;
    }
    if (!interactive || !chooser)
        return 0;
    busy.reset();
    Interaction& person = ui ? *ui : UI();
    const std::string clean = variants.front();
    person.Inform("Bitte wählen Sie ein Produkt aus, das \"" + clean +
                      "\" entspricht und drücken Sie auf \"Auswahl\"",
                  MsgIcon::Warning, "Nährwert-Abgleich");
    return chooser->ChooseFood(clean);
}

ListFoodChooser::ListFoodChooser(Database& db, Interaction& ui, std::string languageSuffix)
    : m_db(db), m_ui(ui), m_suffix(std::move(languageSuffix))
{
}

long ListFoodChooser::ChooseFood(const std::string& presetText)
{
    // The foods and synonyms starting like the text's first word, shortened character by
    // character until some do (down to three characters).
    FoodSearchOptions options;
    options.InSynonyms = true;
    options.LanguageSuffix = m_suffix;
    for (std::string term = FirstWord(presetText); CharLength(term) >= 3; term = CutEnd(term, 1)) {
        const std::vector<FoodHit> hits = SearchFoodsByName(m_db, term, options);
        if (hits.empty())
            continue;
        std::vector<std::string> names;
        for (const FoodHit& hit : hits)
            names.push_back(hit.Text);
        const std::optional<int> chosen =
            m_ui.ChooseItem("Nahrungsmittel für \"" + presetText + "\"", names, "Nahrungsmittelsuche");
        return chosen && *chosen >= 0 && *chosen < static_cast<int>(hits.size())
                   ? hits[static_cast<std::size_t>(*chosen)].Id
                   : 0;
    }
    m_ui.Inform("Es wurde kein Produkt gefunden !", MsgIcon::Information, "Nahrungsmittelsuche");
    return 0;
}

} // namespace pf
