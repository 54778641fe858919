#include "nutrition/NutrientTablePrint.h"

#include "nutrition/NutrientTable.h"
#include "output/PageWriter.h"

namespace pf {

namespace {

// Columns in twips: the value ends at kValueEnd, its dimension starts a little right of it.
constexpr double kValueEnd = 7200;
constexpr double kDimension = 7400;

} // namespace

void PrintNutrientTable(PageCanvas& canvas, const std::string& title, const NutrientTable& table,
                        const std::vector<std::pair<std::string, std::string>>& leftOut)
{
    PageWriter page(canvas, {});
    page.Heading(title);
    page.Paragraph(table.WeightLabel(), 10, true);
    page.Gap(10, 0.6);
    page.Row({{"Inhaltsstoff", 0}, {table.ValueHeader(), kValueEnd, true}, {"Einheit", kDimension}}, 10,
             true);
    page.Rule();
    for (const NutrientLine& line : table.Lines())
        page.Row({{line.Description + (line.Missing > 0 ? " *" : ""), 0},
                  {FormatGrouped(table.Shown(line), 3), kValueEnd, true},
                  {line.Dimension, kDimension}});
    bool incomplete = false;
    for (const NutrientLine& line : table.Lines())
        incomplete = incomplete || line.Missing > 0;
    if (incomplete) {
        page.Gap(10, 0.6);
        page.Paragraph("* unvollständig: nicht jede Zutat hat einen Wert für diesen Inhaltsstoff", 9, true);
    }
    if (!leftOut.empty()) {
        page.Gap(10, 1);
        page.Heading("Nicht berechnete Zutaten", 11);
        for (const auto& [text, reason] : leftOut)
            page.Labelled(text, reason, 4200, 10);
    }
    page.Finish();
}

} // namespace pf
