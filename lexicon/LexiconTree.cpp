#include "lexicon/LexiconTree.h"

#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>

namespace pf {

namespace {

constexpr std::size_t kKeyChars = 10;

std::string NodeKey(std::string_view text)
{
    return ToUpper(Trim(CharSubstr(std::string(text), 0, kKeyChars), kWhiteSpace));
}

} // namespace

std::string TreeParentKey(std::string_view key)
{
    const std::string trimmed = NodeKey(key);
    const std::size_t length = CharLength(trimmed);
    if (length <= 3)
        return {};
    return CharSubstr(trimmed, 0, length - 1);
}

void LexiconTree::SetNodes(long area, const std::vector<std::pair<std::string, std::string>>& rows)
{
    m_area = area;
    m_nodes.clear();
    for (const auto& [key, caption] : rows) {
        LexiconTreeNode node;
        node.Key = NodeKey(key);
        node.Caption = std::string(Trim(caption, kWhiteSpace));
        node.Area = area;
        if (!node.Key.empty())
            m_nodes.push_back(std::move(node));
    }
    std::sort(m_nodes.begin(), m_nodes.end(),
              [](const LexiconTreeNode& a, const LexiconTreeNode& b) { return a.Key < b.Key; });
    // A node whose prefix parent is missing hangs under the nearest ancestor that exists, so that
    // no node is lost from the display.
    for (LexiconTreeNode& node : m_nodes) {
        std::string parent = TreeParentKey(node.Key);
        while (!parent.empty() && !Find(parent))
            parent = TreeParentKey(parent);
        node.Parent = parent;
    }
}

void LexiconTree::LoadNodes(Database& db, long area)
{
    std::vector<std::pair<std::string, std::string>> rows;
    auto rs = db.OpenRecordset("SELECT [KEY],KEYTYPE,KEYDESC FROM T_INFO_TREE WHERE Keytype=" +
                               std::to_string(area) + " ORDER BY [Key]");
    for (; !rs->Eof(); rs->MoveNext()) {
        const Value key = rs->Field("KEY");
        const Value caption = rs->Field("KEYDESC");
        rows.emplace_back(key.IsNull() ? std::string() : key.AsText(),
                          caption.IsNull() ? std::string() : caption.AsText());
    }
    SetNodes(area, rows);
}

void LexiconTree::Load(Database& db, long area, const std::string& languageCondition)
{
    LoadNodes(db, area);

    m_entries.clear();
    auto keys = db.OpenRecordset("SELECT ID,[KEY],Sprachcode,Tree FROM T_INFO_KEY WHERE KEYTYPE=" +
                                 std::to_string(area) + languageCondition + " ORDER BY [KEY],ID");
    for (; !keys->Eof(); keys->MoveNext()) {
        LexiconTreeEntry entry;
        entry.Id = static_cast<long>(keys->Field("ID").AsLong());
        const Value keyword = keys->Field("KEY");
        entry.Keyword = keyword.IsNull() ? std::string() : keyword.AsText();
        const Value tree = keys->Field("Tree");
        entry.Tree = tree.IsNull() ? std::string() : NodeKey(tree.AsText());
        const Value language = keys->Field("Sprachcode");
        entry.Language = language.IsNull() ? 0 : static_cast<long>(language.AsLong());
        m_entries.push_back(std::move(entry));
    }
}

const LexiconTreeNode* LexiconTree::Find(std::string_view key) const
{
    const std::string wanted = NodeKey(key);
    const auto it =
        std::lower_bound(m_nodes.begin(), m_nodes.end(), wanted,
                         [](const LexiconTreeNode& node, const std::string& k) { return node.Key < k; });
    return it != m_nodes.end() && it->Key == wanted ? &*it : nullptr;
}

std::vector<const LexiconTreeNode*> LexiconTree::Children(std::string_view key) const
{
    const std::string parent = NodeKey(key);
    std::vector<const LexiconTreeNode*> children;
    for (const LexiconTreeNode& node : m_nodes)
        if (node.Parent == parent)
            children.push_back(&node);
    return children;
}

std::vector<const LexiconTreeEntry*> LexiconTree::Entries(std::string_view key) const
{
    const std::string wanted = NodeKey(key);
    std::vector<const LexiconTreeEntry*> entries;
    for (const LexiconTreeEntry& entry : m_entries) {
        const std::string node = Find(entry.Tree) ? entry.Tree : std::string();
        if (node == wanted)
            entries.push_back(&entry);
    }
    return entries;
}

} // namespace pf
