#pragma once
// The printed shopping list: a head with the list's name and date, then the shown lines grouped
// by the main food class of their codes, the groups in the order their first line is shown (so
// a list sorted by shop prints in the shop's order), lines without a class last under
// "Unkategorisiert". Each line has a box to tick, quantity, unit, ingredient and, at the right, the
// recipes it is for. Every page ends with the common footer labelled "Einkaufsliste".

#include "output/PageCanvas.h"
#include "planning/ShoppingView.h"

#include <string>
#include <vector>

namespace pf {

class ClShoppingList;

// The groups as printed: heading and the lines under it.
struct ShoppingPrintGroup
{
    std::string Heading;
    std::vector<const ShoppingLine*> Lines;
};
std::vector<ShoppingPrintGroup> GroupShoppingLines(const std::vector<ShoppingLine>& lines,
                                                   const std::vector<std::string>& classes);

// Prints the lines and finishes the canvas's document; false when it could not be written.
bool PrintShoppingList(PageCanvas& canvas, ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                       const std::vector<std::string>& classes);

} // namespace pf
