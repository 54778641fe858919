#pragma once
// The footer every printout of the program puts on its pages: in small print the kind of
// printout and the program on the left, the program version on the right. It ends the page:
// unless the page is the job's last, a new page is started.

#include "output/PageCanvas.h"

#include <string>

namespace pf {

struct PageFooter
{
    // "Rezept #12", "Lexikon", "Produktinformation", "Menükarte", "Einkaufsliste",
    // "Literaturliste"; empty for any other printout.
    std::string Label;
    // Menu cards carry no version; their left text stops in the middle of the page.
    bool MenuCard = false;
};

// Prints the footer at the bottom of the current page; starts a new page unless last is set.
void PrintPageFooter(PageCanvas& canvas, const PageFooter& footer, bool last);
// The space the footer takes at the bottom of a page, with a gap above it: text that ends above
// Height() minus this never touches the footer.
double PageFooterReserve(PageCanvas& canvas);

} // namespace pf
