#include "core/Markup.h"

namespace pf {

namespace {

struct Entity {
    char Char;
    std::string_view Text;
    MarkupSet From; // the smallest set that replaces the character
};

constexpr Entity kEntities[] = {
    {'&', "&amp;", MarkupSet::Minimal}, {'<', "&lt;", MarkupSet::Minimal}, {'>', "&gt;", MarkupSet::Text},
    {'"', "&quot;", MarkupSet::Html},   {'\'', "&apos;", MarkupSet::Xml},
};

} // namespace

std::string_view MarkupEntity(char c, MarkupSet set)
{
    for (const Entity& entity : kEntities)
        if (entity.Char == c)
            return set >= entity.From ? entity.Text : std::string_view();
    return {};
}

std::string MarkupEscaped(std::string_view text, MarkupSet set)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text)
        AppendMarkup(out, c, set);
    return out;
}

} // namespace pf
