#include "output/PageFooter.h"

#include "core/AppContext.h"
#include "core/Utf8.h"

namespace pf {

namespace {

constexpr double kFooterSize = 6;
constexpr double kEdge = 256;
// The program named in the footer.
constexpr const char* kPrintedBy = " gedruckt von Pfannola";

PageFont FooterFont()
{
    PageFont font;
    font.Size = kFooterSize;
    return font;
}

} // namespace

double PageFooterReserve(PageCanvas& canvas)
{
    canvas.SetFont(FooterFont());
    return 3 * canvas.TextHeight();
}

void PrintPageFooter(PageCanvas& canvas, const PageFooter& footer, bool last)
{
    canvas.SetFont(FooterFont());
    const double y = canvas.Height() - 2 * canvas.TextHeight();
    double limit = canvas.Width() / 2 - kEdge;
    if (!footer.MenuCard) {
        const std::string& version = AppContext::Current().VersionText;
        limit = canvas.Width() - kEdge - canvas.TextWidth(version);
        canvas.DrawText(limit, y, version);
    }
    std::string text = footer.Label + kPrintedBy;
    text.erase(0, text.find_first_not_of(' '));
    // Character by character while they start left of the limit; the rest is dropped.
    const std::u32string chars = ToCodePoints(text);
    std::size_t count = 0;
    double x = kEdge;
    while (count < chars.size() && x < limit) {
        x += canvas.TextWidth(FromCodePoints(chars.substr(count, 1)));
        ++count;
    }
    canvas.DrawText(kEdge, y, FromCodePoints(chars.substr(0, count)));
    if (!last)
        canvas.NewPage();
}

} // namespace pf
