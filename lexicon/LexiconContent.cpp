#include "lexicon/LexiconContent.h"

#include "core/Trim.h"
#include "db/BaseData.h"
#include "lexicon/LexiconAreas.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <vector>

namespace pf {

namespace {

const char* const kCrLf = "\r\n";

struct SourceError
{
    std::string Text;
};

struct Keyword
{
    std::string Text;
    long Language = 1;
};

struct Entry
{
    long Area = 0;
    long Id = 0;
    std::string Tree;
    std::vector<Keyword> Keywords;
    std::string Explanation;
    // additives
    std::string ENumber, Colour, Info, OccursIn;
};

// The tab-separated lines of a source file, each with its line number, comments and blank lines
// left out.
struct SourceLine
{
    long Number;
    std::vector<std::string> Fields;
};

std::vector<SourceLine> ReadSource(const std::filesystem::path& path, std::size_t fieldCount)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SourceError{path.filename().string() + ": die Datei kann nicht gelesen werden"};
    std::vector<SourceLine> lines;
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (Trim(line, kWhiteSpace).empty() || line.front() == '#')
            continue;
        SourceLine parsed{number, {}};
        std::size_t start = 0;
        while (true) {
            const std::size_t tab = line.find('\t', start);
            parsed.Fields.emplace_back(Trim(line.substr(start, tab - start), " "));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (parsed.Fields.size() != fieldCount)
            throw SourceError{path.filename().string() + " Zeile " + std::to_string(number) + ": " +
                              std::to_string(parsed.Fields.size()) + " Felder statt " +
                              std::to_string(fieldCount)};
        lines.push_back(std::move(parsed));
    }
    return lines;
}

long ReadLong(const std::string& text, const std::string& where)
{
    long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw SourceError{where + ": \"" + text + "\" ist keine Zahl"};
    return value;
}

std::vector<Keyword> ReadKeywords(const std::string& text, const std::string& where)
{
    std::vector<Keyword> keywords;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        if (bar == std::string::npos)
            bar = text.size();
        std::string word(Trim(text.substr(start, bar - start), " "));
        Keyword keyword;
        const std::size_t at = word.rfind('@');
        if (at != std::string::npos) {
            keyword.Language = ReadLong(word.substr(at + 1), where);
            word = std::string(Trim(word.substr(0, at), " "));
        }
        if (word.empty())
            throw SourceError{where + ": leeres Stichwort"};
        keyword.Text = word;
        keywords.push_back(keyword);
        start = bar + 1;
    }
    return keywords;
}

// Where the fields of an entry stand in the lines of one source file (-1: not there).
struct Layout
{
    const char* File;
    std::size_t Fields;
    int AreaField;           // -1: the file's only area is Areas[0]
    std::vector<long> Areas; // the areas the file may name
    int IdField;             // -1: numbered in file order, per area
    int TreeField, KeywordsField, TextField;
};

void ReadEntries(const std::filesystem::path& dir, const Layout& layout, std::map<long, long>& nextId,
                 std::vector<Entry>& entries, const std::function<void(Entry&, const SourceLine&)>& more = {})
{
    for (const SourceLine& line : ReadSource(dir / layout.File, layout.Fields)) {
        const std::string where = std::string(layout.File) + " Zeile " + std::to_string(line.Number);
        auto field = [&](int index) { return line.Fields[static_cast<std::size_t>(index)]; };
        Entry e;
        e.Area = layout.AreaField < 0 ? layout.Areas.front() : ReadLong(field(layout.AreaField), where);
        if (std::find(layout.Areas.begin(), layout.Areas.end(), e.Area) == layout.Areas.end())
            throw SourceError{where + ": Bereich " + field(layout.AreaField) + " gehört nicht hierher"};
        e.Id = layout.IdField < 0 ? ++nextId[e.Area] : ReadLong(field(layout.IdField), where);
        e.Tree = field(layout.TreeField);
        e.Keywords = ReadKeywords(field(layout.KeywordsField), where);
        if (layout.TextField >= 0)
            e.Explanation = field(layout.TextField);
        if (more)
            more(e, line);
        entries.push_back(std::move(e));
    }
}

std::string Quoted(const std::string& text)
{
    return "\"" + EncodeBaseDataText(text) + "\"";
}

std::string Memo(const std::string& text)
{
    return text.empty() ? std::string() : "\"" + EncodeBase64(text) + "\"";
}

} // namespace

std::string MakeLexiconBaseData(const std::string& folder, std::string& error)
{
    error.clear();
    const std::filesystem::path dir(folder);
    try {
        std::string out;
        out +=
            "# The lexicon: technical terms (area 0), cooking techniques (5), food additives (1),\r\n"
            "# utensils (2), vitamins (10) and minerals (11). Written by MakeLexicon from the sources in\r\n"
            "# data/lexicon; change those and run it again instead of editing this file.\r\n";
        out += std::string("T_INFO_TREE\tKEY\tKEYTYPE\tKEYDESC") + kCrLf;
        for (const SourceLine& line : ReadSource(dir / "trees.txt", 3)) {
            const std::string where = "trees.txt Zeile " + std::to_string(line.Number);
            out += "\t" + Quoted(line.Fields[1]) + "\t" + std::to_string(ReadLong(line.Fields[0], where)) +
                   "\t" + Quoted(line.Fields[2]) + kCrLf;
        }

        std::map<long, long> nextId;
        std::vector<Entry> entries;
        ReadEntries(dir, {"terms.txt", 4, 0, {area::kTerms, area::kTechniques}, -1, 1, 2, 3}, nextId,
                    entries);
        ReadEntries(dir, {"nutrients.txt", 5, 0, {area::kVitamins, area::kMinerals}, 1, 2, 3, 4}, nextId,
                    entries);
        ReadEntries(dir, {"additives.txt", 6, -1, {area::kAdditives}, -1, 1, 2, -1}, nextId, entries,
                    [](Entry& e, const SourceLine& line) {
                        e.ENumber = line.Fields[0];
                        // The number is a keyword too, written with and without the blank.
                        e.Keywords.push_back({e.ENumber, 1});
                        std::string compact = e.ENumber;
                        std::erase(compact, ' ');
                        if (compact != e.ENumber)
                            e.Keywords.push_back({compact, 1});
                        e.Colour = line.Fields[3];
                        e.Info = line.Fields[4];
                        e.OccursIn = line.Fields[5];
                    });
        ReadEntries(dir, {"utensils.txt", 3, -1, {area::kUtensils}, -1, 0, 1, 2}, nextId, entries);

        out += std::string("T_INFO_KEY\tID\tKEY\tKEYTYPE\tTREE\tSprachcode") + kCrLf;
        for (const Entry& e : entries)
            for (const Keyword& k : e.Keywords)
                out += "\t" + std::to_string(e.Id) + "\t" + Quoted(k.Text) + "\t" + std::to_string(e.Area) +
                       "\t" + Quoted(e.Tree) + "\t" + std::to_string(k.Language) + kCrLf;
        out += std::string("T_LEXIKON\tID\tType\tLanguage\tLexikonD") + kCrLf;
        for (const Entry& e : entries)
            if (IsTextArea(e.Area))
                out += "\t" + std::to_string(e.Id) + "\t" + std::to_string(e.Area) + "\t1\t" +
                       Memo(e.Explanation) + kCrLf;
        out += std::string("T_GIFT\tID\tKEY\tInfo\tFarbe\tEnthaltenIn\tGefahr\tLanguage") + kCrLf;
        for (const Entry& e : entries)
            if (e.Area == area::kAdditives)
                out += "\t" + std::to_string(e.Id) + "\t" + Quoted(e.ENumber) + "\t" + Memo(e.Info) + "\t" +
                       (e.Colour.empty() ? std::string() : Quoted(e.Colour)) + "\t" + Memo(e.OccursIn) +
                       "\tFalse\t1" + kCrLf;
        out += std::string("T_GERAET\tID\tGerMerkmalD\tLanguage\tUserflag") + kCrLf;
        for (const Entry& e : entries)
            if (e.Area == area::kUtensils)
                out += "\t" + std::to_string(e.Id) + "\t" + Memo(e.Explanation) + "\t1\tFalse" + kCrLf;
        return out;
    } catch (const SourceError& e) {
        error = e.Text;
        return {};
    }
}

} // namespace pf
