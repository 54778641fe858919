#pragma once
// Entities for text put into HTML or XML. The sets grow from the least a text node needs to what
// an XML attribute in single or double quotes needs; each writer picks the set its format expects.

#include <string>
#include <string_view>

namespace pf {

enum class MarkupSet {
    Minimal, // & and <: enough for XML text nodes
    Text,    // also >: HTML and XML text as most readers expect it
    Html,    // also ": HTML text and double-quoted attributes
    Xml,     // also ': XML text and attributes of either quote
};

// The entity for one character, or an empty view when the character stands as it is.
std::string_view MarkupEntity(char c, MarkupSet set);

// Appends the character or its entity.
inline void AppendMarkup(std::string& out, char c, MarkupSet set)
{
    const std::string_view entity = MarkupEntity(c, set);
    if (entity.empty())
        out += c;
    else
        out += entity;
}

// The text with every character of the set replaced by its entity.
std::string MarkupEscaped(std::string_view text, MarkupSet set);

} // namespace pf
