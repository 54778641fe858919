#include "ui/FrmExport.h"

#include "tests/ui/UiTestSupport.h"

#include <QGroupBox>
#include <QPointer>

namespace pf {
namespace {

class FrmExportTest : public test::UiTest
{
protected:
    FrmExportTest()
    {
        db = test::MakeBaseDataDatabase(m_dir);
        db->Execute(
            "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,Fingerprint1,Fingerprint2) VALUES "
            "(7,'Pfannkuchen',4,1,5,6), (8,'Apfelmus',2,1,7,8)");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
            "(7,1,0,'Mehl',250,31,0,NULL), (7,2,0,'Apfelmus',0,0,-1,8), (8,1,0,'Äpfel',500,31,0,NULL)");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Ausbacken.'), (8,1,'Kochen.')");
    }

    std::unique_ptr<Database> db;
};

TEST_F(FrmExportTest, ListsEachTypeOnceThenTheToolsAndShowsTheOptionsOfHtml)
{
    m_context.ToolTable.push_back({"Mein Werkzeug", "tool", "", -1, 0, ""});
    FrmExport window({7}, {}, db.get());
    auto* mode = Child<QComboBox>(window, "cboMode");
    QStringList names;
    for (int i = 0; i < mode->count(); ++i)
        names << mode->itemText(i);
    EXPECT_EQ(names, (QStringList{"Meal Master", "Pfannola Datenbank", "HTML", "RTF (Richtext)", "Rezkonv",
                                  "Mensax", "Rezeptstruktur", "CSV", "--- Werkzeuge ---", "Mein Werkzeug"}));
    EXPECT_EQ(mode->itemData(2).toInt(), 30);
    EXPECT_EQ(mode->itemData(9).toInt(), -1);

    Choose(window, "cboMode", "HTML");
    Child<QRadioButton>(window, "optFile")->setChecked(true);
    EXPECT_EQ(window.SelectedMode(), 31);
    EXPECT_FALSE(Child<QGroupBox>(window, "fraOptions")->isHidden());
    EXPECT_EQ(Child<QGroupBox>(window, "fraOptions")->title(), "HTML Export Optionen");
    EXPECT_FALSE(Child<QCheckBox>(window, "chkAppend")->isEnabled());

    Choose(window, "cboMode", "RTF (Richtext)");
    Child<QRadioButton>(window, "optWord")->setChecked(true);
    EXPECT_EQ(window.SelectedMode(), 42);
    Choose(window, "cboMode", "Rezkonv");
    EXPECT_EQ(window.SelectedMode(), 51);
    EXPECT_TRUE(Child<QCheckBox>(window, "chkAppend")->isEnabled());
}

TEST_F(FrmExportTest, StartWritesTheFileWithSubRecipesAndRemembersTheChoice)
{
    const std::string file = m_dir.File("rezepte.mm");
    {
        FrmExport window({7}, {}, db.get());
        Choose(window, "cboMode", "Meal Master");
        Child<QRadioButton>(window, "optFile")->setChecked(true);
        Child<QLineEdit>(window, "tbFile")->setText(QString::fromStdString(file));
        Child<QCheckBox>(window, "chkSubRecipes")->setChecked(true);
        Click(window, "cmdStart");
    }
    EXPECT_EQ(LastMessage(), "Export \"Meal Master\" abgeschlossen.");
    const std::string text = test::ReadFile(file);
    EXPECT_LT(text.find("Title: Apfelmus"), text.find("Title: Pfannkuchen"));
    EXPECT_EQ(ReadSetting("", "LASTEXPORTMODE", "", false), "1");
    EXPECT_EQ(ReadSetting("", "LASTEXPORTPATH", "", false), file);

    // The next window starts with the remembered choice; the tools heading is no export type.
    FrmExport again({7}, {}, db.get());
    EXPECT_EQ(again.SelectedMode(), 1);
    EXPECT_EQ(Child<QLineEdit>(again, "tbFile")->text().toStdString(), file);
    Choose(again, "cboMode", "--- Werkzeuge ---");
    Click(again, "cmdStart");
    EXPECT_EQ(LastMessage(), "Diese Exportart ist noch nicht verfügbar.");
}

TEST_F(FrmExportTest, MensaxAndCsvOfferTheMenusAndCsvAlsoPlansAndItsSeparator)
{
    db->Execute("INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuTree,MenuDatum,MenuZeitVorher) VALUES "
                "(3,'Erntedank',0,?,0),(4,'',-3,?,0)",
                {DateSerial::FromParts(2026, 10, 4), DateSerial::FromParts(2026, 12, 7)});
    db->Execute("INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,GangDesc,WeinID,WPDay,WPLevel) VALUES "
                "(3,1,8,'warm, mit Zimt',0,0,0),(4,1,7,'',0,1,1)");
    const std::string file = m_dir.File("menues.csv");
    FrmExport window({7}, {}, db.get());
    auto* menus = Child<QListWidget>(window, "lstMenus");
    ASSERT_EQ(menus->count(), 2);
    EXPECT_EQ(menus->item(0)->text(), "Erntedank - 04.10.2026");
    EXPECT_TRUE(menus->item(1)->text().startsWith("Wochenplan Woche 50 - 07.12.2026"));
    const struct
    {
        const char* Type;
        bool MenusShown, PlanShown, SeparatorShown;
    } cases[] = {{"HTML", false, false, false}, {"Mensax", true, false, false}, {"CSV", true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Type);
        Choose(window, "cboMode", c.Type);
        EXPECT_EQ(!Child<QGroupBox>(window, "fraMenus")->isHidden(), c.MenusShown);
        EXPECT_EQ(!menus->item(1)->isHidden(), c.PlanShown);
        EXPECT_EQ(!Child<QComboBox>(window, "cboSeparator")->isHidden(), c.SeparatorShown);
    }
    window.CheckMenus({3, 4});
    EXPECT_EQ(window.CheckedMenus(), (std::vector<long>{3, 4}));
    Choose(window, "cboSeparator", "Komma ( , )");
    Child<QRadioButton>(window, "optFile")->setChecked(true);
    Child<QLineEdit>(window, "tbFile")->setText(QString::fromStdString(file));
    Click(window, "cmdStart");
    EXPECT_EQ(LastMessage(), "Export \"CSV\" abgeschlossen.");
    // The separator and the ticked menus and plan reach the file.
    const std::string text = test::ReadFile(file);
    EXPECT_NE(text.find("04.10.2026,Erntedank,Apfelmus,"), std::string::npos) << text;
    EXPECT_NE(text.find("Pfannkuchen"), text.rfind("Pfannkuchen")) << "the recipe and the plan's dish";

    // Mensax leaves the plan out of the ticked list.
    Choose(window, "cboMode", "Mensax");
    EXPECT_EQ(window.CheckedMenus(), (std::vector<long>{3}));
}

TEST_F(FrmExportTest, CloseTakesTheWholeFrameInTheMainWindowArea)
{
    QMdiArea area;
    auto* window = new FrmExport({7}, {}, db.get());
    QMdiSubWindow* frame = area.addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    frame->show();
    QPointer<QMdiSubWindow> watch(frame);
    Click(*window, "cmdClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

} // namespace
} // namespace pf
