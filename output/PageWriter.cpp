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

void PageWriter::PrintFlow(TextFlow& flow, double left, double right)
{
    while (!flow.AtEnd()) {
        if (m_y > 0 && m_y + flow.LineHeight() > Bottom())
            Break();
        const std::vector<PlacedText> line = flow.NextLine(left, right);
        flow.Draw(line, m_y);
        m_y += flow.LineHeight();
    }
}

void PageWriter::Heading(const std::string& text, double size)
{
    m_canvas.SetFont(Arial(size, true));
    const double heading = m_canvas.TextHeight();
    m_canvas.SetFont(Arial(11));
    if (m_y > 0 && m_y + heading + 2 * m_canvas.TextHeight() > Bottom())
        Break();
    TextFlow flow(m_canvas, Arial(size, true), {{text, true}});
    PrintFlow(flow, 0, m_canvas.Width());
}

void PageWriter::Paragraph(const std::string& text, double size, bool italic, double left)
{
    TextFlow flow(m_canvas, Arial(size, false, italic), {{text, false, italic}});
    PrintFlow(flow, left, m_canvas.Width());
}

void PageWriter::Labelled(const std::string& label, const std::string& value, double valueLeft, double size)
{
    TextFlow flow(m_canvas, Arial(size), {{value}});
    if (m_y > 0 && m_y + flow.LineHeight() > Bottom())
        Break();
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
    const double height = m_canvas.TextHeight();
    if (m_y > 0 && m_y + height > Bottom()) {
        Break();
        m_canvas.SetFont(Arial(size, bold));
    }
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

void PageWriter::Rule()
{
    if (m_y <= 0)
        return;
    if (m_y + 60 > Bottom()) {
        Break();
        return;
    }
    m_canvas.DrawLine(0, m_y, m_canvas.Width(), m_y);
    m_y += 60;
}

void PageWriter::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    PrintPageFooter(m_canvas, m_footer, true);
}

} // namespace pf
