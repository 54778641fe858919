#pragma once
// Word-by-word line breaking of text on a page canvas. A flow takes runs of text (bold, italic)
// in one font and hands out one line at a time for the width the caller has at that place, so a
// text can run beside a picture and then across the page, and break onto a new page between any
// two lines. Line breaks in the text start a new line; an empty line between paragraphs stays.

#include "output/PageCanvas.h"

#include <string>
#include <vector>

namespace pf {

struct TextRun
{
    std::string Text;
    bool Bold = false;
    bool Italic = false;
};

// A piece of one line, ready to draw at X in the font of its run.
struct PlacedText
{
    double X = 0;
    double Width = 0;
    std::string Text;
    bool Bold = false;
    bool Italic = false;
};

class TextFlow
{
public:
    TextFlow(PageCanvas& canvas, const PageFont& font, const std::vector<TextRun>& runs);

    bool AtEnd() const { return m_next >= m_words.size(); }
    // The next line between left and right. Words go whole to the next line when they do not fit;
    // a word wider than the whole line is cut between two characters. An empty paragraph gives an
    // empty line.
    std::vector<PlacedText> NextLine(double left, double right);
    // Draws a line the flow gave, its top at y.
    void Draw(const std::vector<PlacedText>& line, double y);
    // Height of one line: the tallest font of the runs.
    double LineHeight() const { return m_lineHeight; }

private:
    struct Word
    {
        std::string Text;
        std::size_t Run = 0;
        bool SpaceBefore = false;
        bool LineBreak = false; // a line break of the text, no word
        double Width = 0;
    };
    PageFont RunFont(std::size_t run) const;
    void Measure(Word& word);

    PageCanvas& m_canvas;
    PageFont m_font;
    std::vector<TextRun> m_runs;
    std::vector<double> m_spaceWidth; // per run
    std::vector<Word> m_words;
    std::size_t m_next = 0;
    double m_lineHeight = 0;
};

// The text cut at its end with "..." so that it fits the width in the canvas's current font.
std::string FittedText(PageCanvas& canvas, const std::string& text, double width);

} // namespace pf
