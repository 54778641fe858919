#include "output/TextFlow.h"

#include "core/Utf8.h"

#include <algorithm>

namespace pf {

TextFlow::TextFlow(PageCanvas& canvas, const PageFont& font, const std::vector<TextRun>& runs)
    : m_canvas(canvas), m_font(font), m_runs(runs)
{
    for (std::size_t run = 0; run < m_runs.size(); ++run) {
        m_canvas.SetFont(RunFont(run));
        m_spaceWidth.push_back(m_canvas.TextWidth(" "));
        m_lineHeight = std::max(m_lineHeight, m_canvas.TextHeight());
        bool space = false;
        Word word;
        auto flush = [&] {
            if (!word.Text.empty()) {
                word.Run = run;
                Measure(word);
                m_words.push_back(std::move(word));
            }
            word = Word{};
        };
        const std::string& text = m_runs[run].Text;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            if (c == '\n' || c == '\r') {
                flush();
                Word lineBreak;
                lineBreak.LineBreak = true;
                lineBreak.Run = run;
                m_words.push_back(lineBreak);
                space = false;
            } else if (c == ' ' || c == '\t') {
                flush();
                space = true;
            } else {
                if (word.Text.empty())
                    word.SpaceBefore = space;
                space = false;
                word.Text += c;
            }
        }
        flush();
        // A space at the end of one run separates it from the next.
        if (space && run + 1 < m_runs.size()) {
            Word marker;
            marker.Run = run;
            marker.SpaceBefore = true;
            m_words.push_back(marker);
        }
    }
    // Empty markers only carried a space to the following word.
    for (std::size_t i = 0; i < m_words.size(); ++i) {
        if (!m_words[i].LineBreak && m_words[i].Text.empty()) {
            if (i + 1 < m_words.size())
                m_words[i + 1].SpaceBefore = true;
        }
    }
    std::erase_if(m_words, [](const Word& w) { return !w.LineBreak && w.Text.empty(); });
    // A text ending with a line break has no empty line after it.
    while (!m_words.empty() && m_words.back().LineBreak)
        m_words.pop_back();
    if (m_lineHeight == 0) {
        m_canvas.SetFont(m_font);
        m_lineHeight = m_canvas.TextHeight();
    }
}

PageFont TextFlow::RunFont(std::size_t run) const
{
    PageFont font = m_font;
    font.Bold = m_runs[run].Bold;
    font.Italic = m_runs[run].Italic;
    return font;
}

void TextFlow::Measure(Word& word)
{
    m_canvas.SetFont(RunFont(word.Run));
    word.Width = m_canvas.TextWidth(word.Text);
}

std::vector<PlacedText> TextFlow::NextLine(double left, double right)
{
    std::vector<PlacedText> line;
    double x = left;
    bool first = true;
    while (m_next < m_words.size()) {
        Word& word = m_words[m_next];
        if (word.LineBreak) {
            ++m_next;
            break;
        }
        const double space = first || !word.SpaceBefore ? 0 : m_spaceWidth[word.Run];
        if (x + space + word.Width > right) {
            if (!first)
                break;
            // Alone on the line and still too wide: as many characters as fit (at least one).
            const std::u32string chars = ToCodePoints(word.Text);
            m_canvas.SetFont(RunFont(word.Run));
            std::size_t fit = 1;
            while (fit < chars.size() &&
                   x + m_canvas.TextWidth(FromCodePoints(chars.substr(0, fit + 1))) <= right)
                ++fit;
            if (fit < chars.size()) {
                Word rest = word;
                rest.Text = FromCodePoints(chars.substr(fit));
                rest.SpaceBefore = false;
                Measure(rest);
                word.Text = FromCodePoints(chars.substr(0, fit));
                Measure(word);
                m_words.insert(m_words.begin() + static_cast<std::ptrdiff_t>(m_next) + 1, rest);
            }
            continue;
        }
        const TextRun& run = m_runs[word.Run];
        if (!line.empty() && line.back().Bold == run.Bold && line.back().Italic == run.Italic) {
            line.back().Text += (space > 0 ? " " : "") + word.Text;
            line.back().Width = x + space + word.Width - line.back().X;
        } else {
            line.push_back({x + space, word.Width, word.Text, run.Bold, run.Italic});
        }
        x += space + word.Width;
        first = false;
        ++m_next;
    }
    return line;
}

void TextFlow::Draw(const std::vector<PlacedText>& line, double y)
{
    // Pieces of different fonts share one baseline.
    double ascent = 0;
    std::vector<double> ascents;
    for (const PlacedText& piece : line) {
        PageFont font = m_font;
        font.Bold = piece.Bold;
        font.Italic = piece.Italic;
        m_canvas.SetFont(font);
        ascents.push_back(m_canvas.TextAscent());
        ascent = std::max(ascent, ascents.back());
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        PageFont font = m_font;
        font.Bold = line[i].Bold;
        font.Italic = line[i].Italic;
        m_canvas.SetFont(font);
        m_canvas.DrawText(line[i].X, y + ascent - ascents[i], line[i].Text);
    }
}

std::string FittedText(PageCanvas& canvas, const std::string& text, double width)
{
    if (canvas.TextWidth(text) <= width)
        return text;
    std::u32string chars = ToCodePoints(text);
    while (!chars.empty() && canvas.TextWidth(FromCodePoints(chars) + "...") > width)
        chars.pop_back();
    return FromCodePoints(chars) + "...";
}

} // namespace pf
