#pragma once
// The printout of a nutrient table: its title, the weight it refers to, one row per nutrient
// (description, value as the window shows it, dimension) and the lines the calculation left out
// with the reason, so the paper says as much as the window. Writes only to the canvas.

#include <string>
#include <utility>
#include <vector>

namespace pf {

class NutrientTable;
class PageCanvas;

// leftOut: the text of each line left out and why. Ends the last page; the caller finishes the
// canvas.
void PrintNutrientTable(PageCanvas& canvas, const std::string& title, const NutrientTable& table,
                        const std::vector<std::pair<std::string, std::string>>& leftOut);

} // namespace pf
