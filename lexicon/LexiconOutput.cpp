#include "lexicon/LexiconOutput.h"

#include "core/AtomicFile.h"
#include "core/Markup.h"
#include "core/Utf8.h"
#include "lexicon/LexiconAreas.h"
#include "output/PageWriter.h"

#include <algorithm>
#include <cctype>

namespace pf {

namespace {

// Where the value of a fact starts on paper, in twips from the left edge.
constexpr double kFactValueLeft = 2600;

std::string AreaLine(const LexiconEntryView& view)
{
    std::string line = LexiconAreaName(view.Area);
    if (!view.Node.empty())
        line += " – " + view.Node;
    return line;
}

std::string KeywordLine(const LexiconEntryView& view)
{
    std::string line;
    for (const std::string& keyword : view.Keywords)
        line += (line.empty() ? "" : ", ") + keyword;
    return line;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "<br>\n";
        else
            AppendMarkup(out, c, MarkupSet::Html);
    }
    return out;
}

bool EndsWithHtml(const std::string& path)
{
    std::string lower = ToLower(path);
    for (const char* end : {".htm", ".html"}) {
        const std::string e(end);
        if (lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string LexiconEntryText(const LexiconEntryView& view)
{
    std::string text = view.Title + "\n" + AreaLine(view) + "\n";
    if (!view.Keywords.empty())
        text += "Stichwörter: " + KeywordLine(view) + "\n";
    for (const auto& [label, value] : view.Facts)
        text += label + ": " + value + "\n";
    if (!view.Text.empty()) {
        std::string body = view.Text;
        body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
        text += "\n" + body + (!body.empty() && body.back() == '\n' ? "" : "\n");
    }
    return text;
}

std::string LexiconEntriesHtml(const std::vector<LexiconEntryView>& views, const std::string& caption)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       Escaped(caption) +
                       "</title>\n<style>\nbody { font-family: Arial, sans-serif; margin: 2em; }\n"
                       ".bereich { color: #555; font-style: italic; }\n"
                       "th { text-align: left; padding-right: 1em; vertical-align: top; }\n"
                       "</style>\n</head>\n<body>\n";
    for (const LexiconEntryView& view : views) {
        html += "<div class=\"eintrag\">\n<h2>" + Escaped(view.Title) + "</h2>\n<p class=\"bereich\">" +
                Escaped(AreaLine(view)) + "</p>\n";
        if (!view.Keywords.empty())
            html += "<p><b>Stichwörter:</b> " + Escaped(KeywordLine(view)) + "</p>\n";
        if (!view.Facts.empty()) {
            html += "<table>\n";
            for (const auto& [label, value] : view.Facts)
                html += "<tr><th>" + Escaped(label) + "</th><td>" + Escaped(value) + "</td></tr>\n";
            html += "</table>\n";
        }
        if (!view.Text.empty())
            html += "<p>" + Escaped(view.Text) + "</p>\n";
        html += "</div>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

std::vector<LexiconEntryView> ViewLexiconEntries(Database& db, const std::vector<LexiconEntryKey>& keys)
{
    std::vector<LexiconEntryView> views;
    for (const auto& [area, id] : keys)
        if (std::optional<LexiconEntryView> view = ViewLexiconEntry(db, area, id))
            views.push_back(std::move(*view));
    return views;
}

bool ExportLexiconEntries(Database& db, const std::vector<LexiconEntryKey>& keys, const std::string& path,
                          std::string& problem)
{
    problem.clear();
    const std::vector<LexiconEntryView> views = ViewLexiconEntries(db, keys);
    if (views.empty()) {
        problem = "Es ist kein Lexikon-Eintrag zum Exportieren gewählt.";
        return false;
    }
    std::string content;
    if (EndsWithHtml(path)) {
        content = LexiconEntriesHtml(views, views.size() == 1 ? views.front().Title : std::string("Lexikon"));
    } else {
        for (const LexiconEntryView& view : views)
            content += (content.empty() ? "" : "\n----------\n\n") + LexiconEntryText(view);
    }
    if (!WriteFileAtomically(path, content)) {
        problem = "Die Datei \"" + path + "\" kann nicht geschrieben werden.";
        return false;
    }
    return true;
}

void PrintLexiconEntries(PageCanvas& canvas, const std::vector<LexiconEntryView>& views)
{
    PageWriter page(canvas, {"Lexikon", false});
    bool first = true;
    for (const LexiconEntryView& view : views) {
        if (!first) {
            page.Gap(11, 0.6);
            page.Rule();
            page.Gap(11, 0.4);
        }
        first = false;
        page.Heading(view.Title);
        page.Paragraph(AreaLine(view), 10, true);
        page.Gap(10, 0.4);
        if (!view.Keywords.empty())
            page.Labelled("Stichwörter", KeywordLine(view), kFactValueLeft, 10);
        for (const auto& [label, value] : view.Facts)
            page.Labelled(label, value, kFactValueLeft, 10);
        if (!view.Text.empty()) {
            page.Gap(11, 0.5);
            page.Paragraph(view.Text, 11);
        }
    }
    page.Finish();
}

} // namespace pf
