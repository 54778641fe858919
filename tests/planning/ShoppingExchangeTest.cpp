#include "planning/ShoppingExchange.h"

#include "tests/planning/ShoppingDb.h"

#include <sstream>

namespace pf {
namespace {

using test::kGramm;
using test::kStueck;
using Strings = std::vector<std::string>;

// What mail does to a text: lines broken at the last blank before the width, then every line
// quoted, LF line ends, a greeting before and a signature after.
std::string Mailed(const std::string& text, const std::string& lineEnd, bool wrapAfterQuoting)
{
    const auto wrap = [](std::string line, std::size_t width) {
        std::vector<std::string> out;
        while (line.size() > width) {
            const std::size_t blank = line.rfind(' ', width);
            if (blank == std::string::npos || blank == 0)
                break;
            out.push_back(line.substr(0, blank));
            line = line.substr(blank + 1);
        }
        out.push_back(line);
        return out;
    };
    std::string mailed = "Hallo Anna," + lineEnd + "hier die Liste:" + lineEnd;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A reply quoted first and wrapped afterwards: continuation lines lose the prefix.
        for (const std::string& part : wrap(wrapAfterQuoting ? "> " + line : line, 72))
            mailed += (wrapAfterQuoting ? "" : "> ") + part + lineEnd;
    }
    return mailed + lineEnd + "Gruß, Bernd" + lineEnd + "-- " + lineEnd;
}

class ShoppingExchange : public test::ShoppingDb
{
protected:
    void Fill(ClShoppingList& l)
    {
        ClIngredient manual = Line("2", kStueck,
                                   "sehr große, unbehandelte \"Bio\"-Zitronen aus dem Garten von "
                                   "Tante Erna, frisch gepflückt und gewaschen");
        l.IngredAdd(manual);
        l.RecipeAdd(pfannkuchen, 8);
        ClIngredient separator;
        separator.SetTrennzeile("Drogerie und Haushalt, bitte nicht vergessen");
        l.IngredAdd(separator);
    }

    std::vector<ShoppingLine> Shown(ClShoppingList& l)
    {
        ShoppingViewOptions options;
        options.Merge = false;
        return BuildShoppingView(l, options);
    }
};

TEST_F(ShoppingExchange, ExportWritesTheRecordsOfTheShownLines)
{
    list.RecipeAdd(brot, 2);
    list.IngredAdd(Line("2", kStueck, "Zitronen \"Bio\""));
    const std::string b = std::to_string(brot);
    const std::string text = ShoppingExchangeText(list, Shown(list), "v2.00.126");
    EXPECT_EQ(text,
              "\r\n----- Pfannola Shoppinglist Exchange Data ---- v2.00.126\r\n"
              "R," +
                  b +
                  ",\"Brot\",2,\"Portionen\"\r\n"
                  "Z,32,2,\"Mehl\",C123000\r\n"
                  "Z,6,2,\"Salz\",R100000\r\n"
                  "R,0,\"\",0,\"\"\r\n"
                  "Z,1,2,\"Zitronen \"\"Bio\"\"\",\r\n"
                  "-----\r\n\r\n");
    // Read into the same list: the recipe already on it is not added twice, its lines are.
    ASSERT_EQ(ReadShoppingExchange(text, list), ExchangeRead::Ok);
    EXPECT_EQ(list.RecipeCount(), 1);
    EXPECT_EQ(list.IngredCount(), 6);
}

TEST_F(ShoppingExchange, MailedTextReadsBackAsTheSameList)
{
    Fill(list);
    const std::string text = ShoppingExchangeText(list, Shown(list), "v2.00.126");
    struct Case
    {
        const char* Name;
        std::string Text;
    };
    const Case cases[] = {
        {"as copied", text},
        {"quoted, wrapped, LF", Mailed(text, "\n", false)},
        {"quoted, wrapped, CR LF", Mailed(text, "\r\n", false)},
        {"wrapped after quoting", Mailed(text, "\n", true)},
        {"quoted twice", Mailed(Mailed(text, "\n", false), "\n", false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ClShoppingList copy;
        copy.SetDB(db.get());
        ASSERT_EQ(ReadShoppingExchange(c.Text, copy), ExchangeRead::Ok) << c.Text;
        EXPECT_EQ(Lines(copy), Lines(list));
        EXPECT_EQ(Slots(copy), Slots(list));
        EXPECT_TRUE(copy.IsChanged());
    }
    EXPECT_EQ(Slots(list), (Strings{std::to_string(pfannkuchen) + " Pfannkuchen 8 Portionen",
                                    std::to_string(apfelmus) + " Apfelmus (Pfannkuchen) 2 Portionen"}));
}

TEST_F(ShoppingExchange, DamagedTextIsRefusedAndChangesNothing)
{
    Fill(list);
    const std::string text = ShoppingExchangeText(list, Shown(list), "v2.00.126");
    const std::string noEnd = text.substr(0, text.find("-----\r\n\r\n"));
    const std::string noMarker = text.substr(text.find("R,"));
    struct Case
    {
        std::string Text;
        ExchangeRead Expected;
    };
    const Case cases[] = {
        {noMarker, ExchangeRead::NoMarker},
        {"", ExchangeRead::NoMarker},
        {noEnd, ExchangeRead::NoEnd},
        // A quoted text left open runs to the end: the end record is never seen.
        {std::string(kShoppingExchangeMarker) + "\nZ,1,2,\"offen\n-----\n", ExchangeRead::NoEnd},
        // The marker is found in any case, after other text on its line.
        {"Weitergeleitet: " + std::string("----- PFANNOLA shoppinglist exchange data ---- x\n-----\n"),
         ExchangeRead::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(CheckShoppingExchange(c.Text), c.Expected);
        ClShoppingList other;
        other.SetDB(db.get());
        other.IngredAdd(Line("1", kStueck, "Zitrone"));
        EXPECT_EQ(ReadShoppingExchange(c.Text, other), c.Expected);
        EXPECT_EQ(other.IngredCount(), 1);
    }
    EXPECT_NE(ExchangeNoMarkerText().find("OK drücken, wenn die Information kopiert worden ist"),
              std::string::npos);
}

TEST_F(ShoppingExchange, SpreadsheetRowsByteForByte)
{
    list.RecipeAdd(brot, 0);
    list.IngredAdd(Line("2", kStueck, "Zitronen; Schale"));
    list.IngredAdd(Line("0", 0, "-fein gerieben"));
    list.IngredAdd(Line("500", kGramm, "Mehl", 1));
    const std::vector<std::string> classes = LoadFoodClasses(*db);
    ASSERT_FALSE(classes.empty());
    ShoppingViewOptions options;
    const std::vector<ShoppingLine> shown = BuildShoppingView(list, options);
    const std::string rows = ShoppingSpreadsheetRows(list, shown, "RCM", classes);
    EXPECT_EQ(rows, "Menge\tEinheit\tZutat\tLadenposition\tKategorie (Detail)\tKategorie (Haupt)\tRezept\r\n"
                    "1,5\tkg\tMehl\t2\tMehle\tGetreide\tBrot\r\n"
                    "1\tTL\tSalz\t1\t\t\tBrot\r\n"
                    "2\tStk.\tZitronen -fein gerieben\t\t\t\t\r\n");
    EXPECT_EQ(ShoppingCsv(list, shown, "", classes),
              "\xEF\xBB\xBFMenge;Einheit;Zutat;Ladenposition;Kategorie (Detail);Kategorie (Haupt);Rezept\r\n"
              "1,5;kg;Mehl;;Mehle;Getreide;Brot\r\n"
              "1;TL;Salz;;;;Brot\r\n"
              "2;Stk.;Zitronen -fein gerieben;;;;\r\n");
}

} // namespace
} // namespace pf
