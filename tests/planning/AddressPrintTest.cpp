// Address printouts on the recording canvas: the list keeps each address on one page and carries
// the footer on every page; the order right-aligns quantities and prices and sums them. And the
// shop's order of food groups as its page edits it.

#include "planning/AddressPrint.h"
#include "output/PageFooter.h"
#include "planning/StoreOrder.h"
#include "tests/output/RecordingCanvas.h"

#include <map>

namespace pf {
namespace {

using test::DrawnItem;
using test::FindText;
using test::RecordingCanvas;

ClAddress Sample(int i)
{
    ClAddress a;
    a.SetNameClassic("Kunde" + std::to_string(i) + ", Anna");
    a.SetAddress("Weg " + std::to_string(i));
    a.SetPlz("80331");
    a.SetCity("München");
    a.SetTelefon("089 " + std::to_string(i));
    if (i % 2 == 0)
        a.Setemail("k" + std::to_string(i) + "@example.de");
    return a;
}

TEST(AddressPrint, ListKeepsAddressesTogetherAboveTheFooter)
{
    std::vector<ClAddress> addresses;
    for (int i = 1; i <= 60; ++i)
        addresses.push_back(Sample(i));
    RecordingCanvas canvas;
    ASSERT_TRUE(PrintAddressList(canvas, "Adressen", addresses));
    ASSERT_GE(canvas.PageNumber(), 2);
    EXPECT_EQ(canvas.Items.front().Content, "Ausdruck der Adressen");
    EXPECT_EQ(canvas.Items.front().Font.Name, "Arial");
    std::map<int, int> footers;
    std::map<std::string, int> pageOfName;
    const double footerTop = canvas.Height() - PageFooterReserve(canvas);
    for (const DrawnItem& item : canvas.Items) {
        if (item.What != DrawnItem::Text)
            continue;
        if (item.Content.find("Adressliste") != std::string::npos) {
            ++footers[item.Page];
            continue;
        }
        if (item.Y >= footerTop)
            continue;
        EXPECT_LE(item.Y + item.H, footerTop + 1) << item.Content;
        if (item.Content.rfind("Anna Kunde", 0) == 0)
            pageOfName[item.Content.substr(10)] = item.Page;
        // Each address's lines are on the page of its name.
        if (item.Content.rfind("Telefon: 089 ", 0) == 0) {
            EXPECT_EQ(item.Page, pageOfName[item.Content.substr(13)]) << item.Content;
        }
    }
    EXPECT_EQ(static_cast<int>(footers.size()), canvas.PageNumber());
    EXPECT_EQ(pageOfName.size(), 60u);
    EXPECT_TRUE(FindText(canvas, "EMail: k2@example.de") != nullptr);
    EXPECT_FALSE(FindText(canvas, "EMail: k1@example.de") != nullptr);
}

TEST(AddressPrint, OrderAlignsQuantitiesAndPricesAndSums)
{
    ClAddress supplier = Sample(1);
    supplier.SetKundennummer("K-17");
    supplier.SetWaehrung("EUR");
    supplier.SetMinBestellwert(Decimal4::FromLong(50));
    ClAddress sender = Sample(2);
    const std::vector<AddressOrderLine> lines{{"2", "kg", "Weizenmehl Type 550", Decimal4::Parse("3.2")},
                                              {"12,5", "Stück", "Eier", Decimal4::Parse("4.005")},
                                              {"", "", "Hefe", Decimal4()}};
    RecordingCanvas canvas;
    ASSERT_TRUE(PrintOrder(canvas, supplier, &sender, lines, "06.12.2026"));
    const DrawnItem* two = FindText(canvas, "2");
    const DrawnItem* twelve = FindText(canvas, "12,5");
    ASSERT_TRUE(two && twelve);
    EXPECT_NEAR(two->X + two->W, twelve->X + twelve->W, 0.5);
    const DrawnItem* price = FindText(canvas, "3,20 EUR");
    const DrawnItem* price2 = FindText(canvas, "4,01 EUR");
    const DrawnItem* total = FindText(canvas, "7,21 EUR");
    ASSERT_TRUE(price && price2 && total);
    EXPECT_NEAR(price->X + price->W, canvas.Width(), 0.5);
    EXPECT_NEAR(total->X + total->W, canvas.Width(), 0.5);
    EXPECT_TRUE(FindText(canvas, "06.12.2026    Kundennummer: K-17") != nullptr);
    EXPECT_TRUE(FindText(canvas, "Mindestbestellwert: 50,00 EUR") != nullptr);
    // The sender stands right-aligned above the recipient.
    const DrawnItem* from = FindText(canvas, "Anna Kunde2");
    const DrawnItem* to = FindText(canvas, "Anna Kunde1");
    ASSERT_TRUE(from && to);
    EXPECT_NEAR(from->X + from->W, canvas.Width(), 0.5);
    EXPECT_LT(from->Y, to->Y);
}

TEST(StoreOrder, EntriesFollowTheStoredLetters)
{
    const std::vector<std::string> classes{"B         Brot und Backwaren", "B1        Brot",
                                           "G         Gemüse", "F         Obst", " M        Milch"};
    const std::vector<StoreGroup> groups = MainFoodGroups(classes);
    ASSERT_EQ(groups.size(), 4u); // older lists pad the key in front
    EXPECT_EQ(groups[0].Text, "B Brot und Backwaren");
    const std::vector<StoreGroup> shown = StoreOrderEntries("GXBG", groups);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Text, "G Gemüse");
    EXPECT_EQ(StoreLocationsOf(shown), "GB");
    const std::vector<StoreGroup> addable = AddableStoreGroups("GB", groups);
    ASSERT_EQ(addable.size(), 2u);
    EXPECT_EQ(addable[0].Letter, 'F');
    EXPECT_EQ(addable[1].Text, "M Milch");
    EXPECT_TRUE(AddableStoreGroups("BFGM", groups).empty());
}

} // namespace
} // namespace pf
