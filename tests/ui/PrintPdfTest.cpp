// Printouts written as real PDF files by the command-line program: recipes in each print mode and
// menus in their layouts, checked page by page with the poppler tools.

#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/ui/PdfTools.h"
#include "ui/QtPageCanvas.h"

namespace pf {
namespace {

class PrintPdf : public test::CliFixture
{
protected:
    void SetUp() override
    {
        InstallQtPdfOutput();
        db = dir.File("rezepte.db");
        ASSERT_EQ(Run({"--db", db, "init"}), 0) << err.str();
        const std::string data = PF_TEST_DATA_DIR;
        ASSERT_EQ(Run({"--db", db, "import", data + "/mm/german-utf8.mm", data + "/mm/mixed-endings.mm"}), 0)
            << err.str();
    }
    std::string db;
};

TEST_F(PrintPdf, WritesEachModeAsARealPdfWithItsPagesAndTexts)
{
    {
        auto database = Database::OpenSqlite(db);
        database->Execute("INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuDatum,MenuYield,MenuTree) VALUES "
                          "(1,'Silvester',?,8,0)",
                          {DateSerial::FromParts(2026, 12, 31)});
        database->Execute(
            "INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,Yield,TitelAlternativ,GangDesc) VALUES "
            "(1,1,1,8,'','mit Röstzwiebeln'),(1,2,0,0,'Berliner','')");
    }
    // The command's words; the PDF file's name follows them.
    struct Case
    {
        std::vector<std::string> Words;
        int Pages;
        std::vector<std::vector<std::string>> TextsPerPage;
        std::vector<std::string> Absent = {};
    } cases[] = {
        {{"print", "--ids", "1,2", "--pdf"},
         2,
         {{"Würzige Käsespätzle", "Zutaten:", "Rezept #1 gedruckt von Pfannola"},
          {"Gemischte Zeilen", "Rezept #2 gedruckt von Pfannola", "v2.00.126"}}},
        {{"print", "--ids", "1", "--mode", "1", "--servings", "8", "--pdf"},
         1,
         {{"Zutaten (8 Portionen)", "800", "Bergkäse"}}},
        {{"print", "--ids", "2,1", "--mode", "10", "--pdf"},
         1,
         {{"Rezeptliste", "Gemischte Zeilen", "Würzige Käsespätzle"}}},
        // The menu card carries no version and nothing for the kitchen.
        {{"menu", "print", "1", "--layout", "0", "--out"},
         1,
         {{"Silvester", "Donnerstag, 31. Dezember 2026", "Würzige Käsespätzle", "mit Röstzwiebeln",
           "Berliner", "Menükarte gedruckt von Pfannola"}},
         {"v2.00.126", "Rezept #1"}},
        {{"menu", "print", "1", "--layout", "2", "--out"},
         2,
         {{"Silvester", "Personen:", "8 Portionen, Rezept #1", "Berliner", "Menükarte gedruckt von Pfannola"},
          {"Würzige Käsespätzle", "800", "Bergkäse", "Rezept #1 gedruckt von Pfannola", "v2.00.126"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        const std::string pdf = dir.File("druck.pdf");
        ASSERT_EQ(RunOn(db, c.Words, {pdf}), 0) << err.str();
        EXPECT_NE(out.str().find("gedruckt: "), std::string::npos);
        EXPECT_EQ(test::ReadFile(pdf).substr(0, 5), "%PDF-");
        EXPECT_EQ(PageCount(pdf), c.Pages);
        for (std::size_t page = 0; page < c.TextsPerPage.size(); ++page)
            for (const std::string& text : c.TextsPerPage[page])
                EXPECT_NE(PageText(pdf, static_cast<int>(page) + 1).find(text), std::string::npos)
                    << "page " << page + 1 << ": " << text;
        for (const std::string& text : c.Absent)
            EXPECT_EQ(PageText(pdf, 1).find(text), std::string::npos) << text;
    }
}

TEST_F(PrintPdf, RefusesBadCallsWithAGermanReasonAndLeavesNoFileBehind)
{
    struct Case
    {
        std::vector<std::string> Args;
        int Code;
        const char* Message;
    } cases[] = {
        {{"--ids", "1", "--mode", "3"}, 2, "Nach --mode muss 0"},
        {{"--ids", "x"}, 2, "Nach --ids muss eine Liste"},
        {{"--ids", "77"}, 1, "Ein Rezept mit der Nummer 77 gibt es nicht."},
        {{"--ids", "1", "--servings", "0"}, 2, "Nach --servings muss eine ganze Zahl"},
    };
    const std::string pdf = dir.File("fehler.pdf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        std::vector<std::string> args = c.Args;
        args.insert(args.end(), {"--pdf", pdf});
        EXPECT_EQ(RunOn(db, {"print"}, args), c.Code);
        EXPECT_NE(err.str().find(c.Message), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
    EXPECT_EQ(Run({"--db", db, "print", "--ids", "1", "--pdf", dir.Dir()}), 1);
    EXPECT_NE(err.str().find("ist ein Ordner"), std::string::npos) << err.str();
}

} // namespace
} // namespace pf
