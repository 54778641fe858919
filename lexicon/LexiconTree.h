#pragma once
// The classification tree of a lexicon area: nodes of T_INFO_TREE whose keys are hierarchical by
// prefix, and the entries hanging under the node their TREE names. Load reads the database once;
// the object then answers from memory.

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

// The parent key of a node key: the key without its last character when it is longer than three
// characters, "" (top level) otherwise.
std::string TreeParentKey(std::string_view key);

struct LexiconTreeNode
{
    std::string Key; // at most 10 characters, trimmed, upper case
    std::string Caption;
    std::string Parent; // "" for a top-level node
    long Area = 0;
};

struct LexiconTreeEntry
{
    long Id = 0;
    std::string Keyword;
    std::string Tree; // the node it hangs under ("" or an unknown key: the area's top level)
    long Language = 0;
};

class LexiconTree
{
public:
    // Reads the nodes and the keywords of one area (the keywords restricted to the user's language
    // group when languageCondition is given, e.g. " AND SprachCode IN (1,2,3)"). Throws DbError.
    void Load(Database& db, long area, const std::string& languageCondition = {});
    // Reads the nodes only. Throws DbError.
    void LoadNodes(Database& db, long area);
    // Builds the tree from node rows given as key and caption (for several areas at once, or in
    // tests). Each row's key is its first ten characters, trimmed and in upper case.
    void SetNodes(long area, const std::vector<std::pair<std::string, std::string>>& rows);

    const std::vector<LexiconTreeNode>& Nodes() const { return m_nodes; }
    const LexiconTreeNode* Find(std::string_view key) const;
    // The child nodes of a node ("" for the top level), sorted by key.
    std::vector<const LexiconTreeNode*> Children(std::string_view key) const;
    // The entries under a node ("" for those without a known node), sorted by keyword.
    std::vector<const LexiconTreeEntry*> Entries(std::string_view key) const;
    const std::vector<LexiconTreeEntry>& AllEntries() const { return m_entries; }

private:
    long m_area = 0;
    std::vector<LexiconTreeNode> m_nodes; // sorted by key
    std::vector<LexiconTreeEntry> m_entries;
};

} // namespace pf
