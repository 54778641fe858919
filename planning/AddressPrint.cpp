#include "planning/AddressPrint.h"

#include "core/Utf8.h"
#include "db/Database.h"
#include "output/PageFooter.h"
#include "output/TextFlow.h"

#include <algorithm>
#include <cstdint>

namespace pf {

namespace {

// The lines of a text with line breaks.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// The lines that describe one address: name first, then street, town and the numbers.
std::vector<std::string> AddressLines(const ClAddress& a, bool withContacts)
{
    std::vector<std::string> lines{a.NameFriend()};
    for (const std::string& street : Lines(a.Address()))
        lines.push_back(street);
    const std::string town = a.Plz().empty() ? a.City() : a.Plz() + " " + a.City();
    if (!town.empty())
        lines.push_back(town);
    if (withContacts) {
        if (!a.Telefon().empty())
            lines.push_back("Telefon: " + a.Telefon());
        if (!a.Telefax().empty())
            lines.push_back("Fax: " + a.Telefax());
        if (!a.email().empty())
            lines.push_back("EMail: " + a.email());
    }
    return lines;
}

// Two decimals with a comma, as prices are read here: "3,20 EUR".
std::string Money(Decimal4 value, const std::string& currency)
{
    const std::int64_t ticks = value.Ticks();
    const std::int64_t abs = ticks < 0 ? -ticks : ticks;
    const std::int64_t cents = (abs + 50) / 100;
    std::string text = (ticks < 0 && cents != 0 ? "-" : "") + std::to_string(cents / 100) + ",";
    text += std::to_string(cents % 100 / 10) + std::to_string(cents % 10);
    return currency.empty() ? text : text + " " + currency;
}

class Pages
{
public:
    Pages(PageCanvas& canvas, std::string label)
        : m_canvas(canvas), m_footer{std::move(label)}, m_bottom(canvas.Height() - PageFooterReserve(canvas))
    {
    }
    // Starts a new page unless height fits above the footer; true when it did.
    bool Need(double height)
    {
        if (m_y + height <= m_bottom || m_y == 0)
            return false;
        PrintPageFooter(m_canvas, m_footer, false);
        m_y = 0;
        return true;
    }
    double& Y() { return m_y; }
    bool Finish()
    {
        PrintPageFooter(m_canvas, m_footer, true);
        return m_canvas.Finish();
    }

private:
    PageCanvas& m_canvas;
    PageFooter m_footer;
    double m_bottom;
    double m_y = 0;
};

} // namespace

bool PrintAddressList(PageCanvas& canvas, const std::string& title, const std::vector<ClAddress>& addresses)
{
    Pages page(canvas, "Adressliste");
    const double width = canvas.Width();
    canvas.SetFont(Arial(14, true));
    canvas.DrawText(0, 0, FittedText(canvas, "Ausdruck der " + title, width));
    page.Y() = canvas.TextHeight() + 120;
    canvas.DrawLine(0, page.Y(), width, page.Y());
    page.Y() += 180;
    for (const ClAddress& a : addresses) {
        const std::vector<std::string> lines = AddressLines(a, true);
        canvas.SetFont(Arial(10));
        const double height = canvas.TextHeight();
        // An address stays together on one page.
        page.Need(height * static_cast<double>(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            canvas.SetFont(Arial(10, i == 0));
            canvas.DrawText(0, page.Y(), FittedText(canvas, lines[i], width));
            page.Y() += height;
        }
        page.Y() += height / 2;
    }
    return page.Finish();
}

std::vector<AddressOrderLine> OrderLinesOf(Database& db, const ClAddress& supplier)
{
    std::vector<AddressOrderLine> lines;
    for (int i = 0; i < supplier.GetSpezCount(); ++i) {
        const AddressDelivery& d = supplier.GetSpez(i);
        AddressOrderLine line;
        line.Menge = d.Menge == Decimal4() ? std::string() : d.Menge.ToString();
        std::replace(line.Menge.begin(), line.Menge.end(), '.', ',');
        if (d.Einheit > 0) {
            const Value unit = db.Scalar("SELECT UnitNameD FROM T_UNIT WHERE ID=?", {Value(d.Einheit)});
            line.Einheit = unit.IsNull() ? std::string() : unit.AsText();
        }
        line.Name = d.Name.empty() ? d.FoodName : d.Name;
        line.Preis = d.Preis;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool PrintOrder(PageCanvas& canvas, const ClAddress& supplier, const ClAddress* sender,
                const std::vector<AddressOrderLine>& lines, const std::string& dateText)
{
    Pages page(canvas, "Bestellung");
    const double width = canvas.Width();
    canvas.SetFont(Arial(9));
    const double small = canvas.TextHeight();
    if (sender) {
        // The sender at the top right, one line per part.
        for (const std::string& line : AddressLines(*sender, true)) {
            const std::string text = FittedText(canvas, line, width / 2);
            canvas.DrawText(width - canvas.TextWidth(text), page.Y(), text);
            page.Y() += small;
        }
        page.Y() += small;
    }
    canvas.SetFont(Arial(11));
    const double normal = canvas.TextHeight();
    for (const std::string& line : AddressLines(supplier, false)) {
        canvas.DrawText(0, page.Y(), FittedText(canvas, line, width / 2));
        page.Y() += normal;
    }
    page.Y() += 2 * normal;
    canvas.SetFont(Arial(14, true));
    canvas.DrawText(0, page.Y(), "Bestellung");
    page.Y() += canvas.TextHeight();
    canvas.SetFont(Arial(10));
    const double row = canvas.TextHeight();
    std::string sub = dateText;
    if (!supplier.Kundennummer().empty())
        sub += (sub.empty() ? "" : "    ") + std::string("Kundennummer: ") + supplier.Kundennummer();
    if (!sub.empty()) {
        canvas.DrawText(0, page.Y(), sub);
        page.Y() += row;
    }
    page.Y() += row;

    // Columns: quantity right-aligned, unit, product, price right-aligned at the edge.
    const double quantityRight = 1200;
    const double unitLeft = 1350;
    const double nameLeft = 3000;
    const double priceRight = width;
    const double nameWidth = priceRight - 1500 - nameLeft;
    auto header = [&] {
        canvas.SetFont(Arial(10, true));
        canvas.DrawText(quantityRight - canvas.TextWidth("Menge"), page.Y(), "Menge");
        canvas.DrawText(unitLeft, page.Y(), "Einheit");
        canvas.DrawText(nameLeft, page.Y(), "Artikel");
        canvas.DrawText(priceRight - canvas.TextWidth("Preis"), page.Y(), "Preis");
        page.Y() += row;
        canvas.DrawLine(0, page.Y(), width, page.Y());
        page.Y() += 60;
        canvas.SetFont(Arial(10));
    };
    header();
    Decimal4 sum;
    for (const AddressOrderLine& line : lines) {
        if (page.Need(row))
            header();
        canvas.DrawText(quantityRight - canvas.TextWidth(line.Menge), page.Y(), line.Menge);
        canvas.DrawText(unitLeft, page.Y(), FittedText(canvas, line.Einheit, nameLeft - unitLeft - 100));
        canvas.DrawText(nameLeft, page.Y(), FittedText(canvas, line.Name, nameWidth));
        if (line.Preis != Decimal4()) {
            const std::string price = Money(line.Preis, supplier.Waehrung());
            canvas.DrawText(priceRight - canvas.TextWidth(price), page.Y(), price);
        }
        sum = sum + line.Preis;
        page.Y() += row;
    }
    page.Need(3 * row);
    canvas.DrawLine(0, page.Y(), width, page.Y());
    page.Y() += 60;
    canvas.SetFont(Arial(10, true));
    const std::string total = Money(sum, supplier.Waehrung());
    canvas.DrawText(nameLeft, page.Y(), "Summe");
    canvas.DrawText(priceRight - canvas.TextWidth(total), page.Y(), total);
    page.Y() += row;
    if (supplier.MinBestellwert() != Decimal4()) {
        canvas.SetFont(Arial(9));
        const std::string minimum =
            "Mindestbestellwert: " + Money(supplier.MinBestellwert(), supplier.Waehrung());
        canvas.DrawText(nameLeft, page.Y(), minimum);
        page.Y() += small;
    }
    return page.Finish();
}

} // namespace pf
