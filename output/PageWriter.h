#pragma once
// Lays the simple printouts (lexicon entries, product information, lists, menus) down the pages
// of a canvas: headings, paragraphs and labelled lines in "Arial", each wrapped to the page width
// and continued on the next page, and blocks the caller draws itself. Every page ends with the common footer
// of the printout's kind; a heading never stands alone at the bottom of a page. Writes only to the canvas.

#include "output/PageCanvas.h"
#include "output/PageFooter.h"
#include "output/TextFlow.h"

#include <string>
#include <vector>

namespace pf {

// One cell of a table row: its text starts at X, or ends at X when Right is set.
struct PageCell
{
    std::string Text;
    double X = 0;
    bool Right = false;
};

class PageWriter
{
public:
    PageWriter(PageCanvas& canvas, PageFooter footer);

    // A bold heading; moves to a new page first when the heading and two lines of text below it
    // would not fit.
    void Heading(const std::string& text, double size = 14);
    // Text wrapped from left to the right edge; line breaks in it start new lines.
    void Paragraph(const std::string& text, double size = 11, bool italic = false, double left = 0);
    // Text wrapped to the page width, each line centred on the page.
    void Centred(const std::string& text, double size = 11, bool bold = false, bool italic = false);
    // The label in bold at the left edge, the value wrapped from valueLeft (in bold when boldValue).
    void Labelled(const std::string& label, const std::string& value, double valueLeft, double size = 11,
                  bool boldValue = false);
    // One line of table cells (not wrapped; the caller's columns leave room for them).
    void Row(const std::vector<PageCell>& cells, double size = 10, bool bold = false);
    // Empty space of a share of a line of that size (none at the top of a page).
    void Gap(double size, double share);
    // A thin line across the page, or centred on it with that width.
    void Rule(double width = 0);
    // Starts a new page unless height still fits above the footer (keeps a block together).
    void Need(double height);
    // Room for a block the caller draws itself: a new page first unless height fits, then the
    // block's top is returned and the writer moves below it. The canvas's font is left changed.
    double Place(double height);
    // Starts a new page unless the current one is still empty.
    void NewPage();
    // Prints the footer of the last page. Nothing is drawn after it; unless last, the footer
    // starts a new page, where another printout can go on.
    void Finish(bool last = true);

    double Y() const { return m_y; }

private:
    double Bottom();
    void PrintFlow(TextFlow& flow, double left, double right, bool centred = false);
    void Break();

    PageCanvas& m_canvas;
    PageFooter m_footer;
    double m_y = 0;
    bool m_finished = false;
};

} // namespace pf
