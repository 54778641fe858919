#include "output/PageWriter.h"

#include <algorithm>
#include <utility>

namespace pf {

PageWriter::PageWriter(PageCanvas& canvas, PageFooter footer) : m_canvas(canvas), m_footer(std::move(footer))
{
}

double PageWriter::Bottom()
{
    return m_canvas.Height() - PageFooterReserve(m_canvas);
}

void PageWriter::Break()
{
    PrintPageFooter(m_canvas, m_footer, false);
    m_y = 0;
}

void PageWriter::NewPage()
{
    if (m_y > 0)
        Break();
}

void PageWriter::Need(double height)
{
    if (m_y > 0 && m_y + height > Bottom())
        Break();
}

double PageWriter::Place(double height)
{
    Need(height);
    const double top = m_y;
    m_y += height;
    return top;
}

void PageWriter::PrintFlow(TextFlow& flow, double left, double right, bool centred)
{
    while (!flow.AtEnd()) {
        Need(flow.LineHeight());
        std::vector<PlacedText> line = flow.NextLine(left, right);
        if (centred && !line.empty()) {
            const double shift = (right - line.back().X - line.back().Width - (line.front().X - left)) / 2;
            for (PlacedText& piece : line)
                piece.X += shift;
        }
        flow.Draw(line, m_y);
        m_y += flow.LineHeight();
    }
}

void PageWriter::Heading(const std::string& text, double size)
{
    m_canvas.SetFont(Arial(size, true));
    const double heading = m_canvas.TextHeight();
    m_canvas.SetFont(Arial(11));
    Need(heading + 2 * m_canvas.TextHeight());
    TextFlow flow(m_canvas, Arial(size, true), {{text, true}});
    PrintFlow(flow, 0, m_canvas.Width());
}

void PageWriter::Paragraph(const std::string& text, double size, bool italic, double left)
{
    TextFlow flow(m_canvas, Arial(size, false, italic), {{text, false, italic}});
    PrintFlow(flow, left, m_canvas.Width());
}

void PageWriter::Centred(const std::string& text, double size, bool bold, bool italic)
{
    TextFlow flow(m_canvas, Arial(size, bold, italic), {{text, bold, italic}});
    PrintFlow(flow, 0, m_canvas.Width(), true);
}

void PageWriter::Labelled(const std::string& label, const std::string& value, double valueLeft, double size,
                          bool boldValue)
{
    TextFlow flow(m_canvas, Arial(size, boldValue), {{value, boldValue}});
    Need(flow.LineHeight());
    m_canvas.SetFont(Arial(size, true));
    // A label wider than its column pushes the value below it.
    if (m_canvas.TextWidth(label) > valueLeft - 120) {
        TextFlow labelFlow(m_canvas, Arial(size, true), {{label, true}});
        PrintFlow(labelFlow, 0, m_canvas.Width());
    } else {
        m_canvas.DrawText(0, m_y, label);
    }
    if (value.empty()) {
        m_y += flow.LineHeight();
        return;
    }
    PrintFlow(flow, valueLeft, m_canvas.Width());
}

void PageWriter::Row(const std::vector<PageCell>& cells, double size, bool bold)
{
    m_canvas.SetFont(Arial(size, bold));
    Need(m_canvas.TextHeight());
    // The footer of a page break set its own font.
    m_canvas.SetFont(Arial(size, bold));
    const double height = m_canvas.TextHeight();
    for (const PageCell& cell : cells)
        m_canvas.DrawText(cell.Right ? cell.X - m_canvas.TextWidth(cell.Text) : cell.X, m_y, cell.Text);
    m_y += height;
}

void PageWriter::Gap(double size, double share)
{
    if (m_y <= 0)
        return;
    m_canvas.SetFont(Arial(size));
    m_y += m_canvas.TextHeight() * share;
}

void PageWriter::Rule(double width)
{
    if (m_y <= 0)
        return;
    if (m_y + 60 > Bottom()) {
        Break();
        return;
    }
    const double left = width > 0 ? (m_canvas.Width() - width) / 2 : 0;
    m_canvas.DrawLine(left, m_y, m_canvas.Width() - left, m_y);
    m_y += 60;
}

void PageWriter::Finish(bool last)
{
    if (m_finished)
        return;
    m_finished = true;
    PrintPageFooter(m_canvas, m_footer, last);
}

} // namespace pf
