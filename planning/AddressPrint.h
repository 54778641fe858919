#pragma once
// The address printouts: a list of addresses ("Ausdruck der ..." with each address's name, street,
// town and its "Telefon: ", "Fax: " and "EMail: " lines, never split over a page) and an order to
// a supplier (sender, recipient, customer number, the ordered products with prices and the sum).
// Both draw in "Arial" and end every page with the common footer; they finish the canvas.

#include "output/PageCanvas.h"
#include "planning/ClAddress.h"

#include <string>
#include <vector>

namespace pf {

class Database;

// One line of an order, as printed.
struct AddressOrderLine
{
    std::string Menge;
    std::string Einheit;
    std::string Name;
    Decimal4 Preis; // per line
};

// title follows "Ausdruck der " ("Adressen", "Gruppe Läden"). False when the document could not
// be written.
bool PrintAddressList(PageCanvas& canvas, const std::string& title, const std::vector<ClAddress>& addresses);

// The supplier's deliveries as order lines, unit names read from db.
std::vector<AddressOrderLine> OrderLinesOf(Database& db, const ClAddress& supplier);

// sender may be null (no default address). dateText is printed under the heading.
bool PrintOrder(PageCanvas& canvas, const ClAddress& supplier, const ClAddress* sender,
                const std::vector<AddressOrderLine>& lines, const std::string& dateText);

} // namespace pf
