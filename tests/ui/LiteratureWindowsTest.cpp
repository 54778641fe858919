// The literature windows: a source created in the register, a recipe linked to it at a page, the
// table of contents listing it by page and opening it, and a source in use that cannot be deleted.

#include "ui/FrmLiteratur.h"
#include "ui/FrmLiteraturInhaltsverzeichnis.h"

#include "db/DatabaseChoice.h"
#include "db/Schema.h"
#include "tests/support/NewDatabase.h"
#include "tests/ui/UiTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace pf::test {
namespace {

class LiteratureWindowsTest : public UiTest
{
protected:
    LiteratureWindowsTest()
    {
        Connection() = ConnectionState{};
        Connection().WorkDb = test::NewDatabase(m_dir.File("Pfannola.MDB"));
        CreateTables(WorkDb(), SchemaTables());
        WorkDb().Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (3,'Verlag Süd')");
        WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template) VALUES (1,'Suppe',0,0)");
        WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template) VALUES (2,'Salat',0,0)");
    }
    ~LiteratureWindowsTest() override { CloseWorkDatabase(); }

    static QStringList Lines(const QTreeWidgetItem* parent)
    {
        QStringList lines;
        for (int i = 0; i < parent->childCount(); ++i)
            lines << parent->child(i)->text(0);
        return lines;
    }
};

TEST_F(LiteratureWindowsTest, NewSourceListsItsRecipesByPage)
{
    FrmLiteratur window;
    Click(window, "cmdNew");
    Child<QLineEdit>(window, "txtTitle")->setText("Kochzeit");
    Child<QSpinBox>(window, "txtJahrgang")->setValue(2004);
    Child<QLineEdit>(window, "txtAusgabe")->setText("12");
    auto* publisher = Child<QComboBox>(window, "cboVerlag");
    publisher->setCurrentIndex(publisher->findText("Verlag Süd"));
    Click(window, "cmdSave");
    auto* list = Child<QTreeWidget>(window, "lstSources");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Kochzeit (Verlag Süd), 2004/12");
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));

    // The recipes name the source at their pages.
    const long id = static_cast<long>(WorkDb().Scalar("SELECT QuelleID FROM T_LITERATUR").AsLong());
    WorkDb().Execute("UPDATE T_REZ_KOPF SET RezQuelleID=?, RezQuellePage=? WHERE ID=1",
                     {Value(id), Value("35")});
    WorkDb().Execute("UPDATE T_REZ_KOPF SET RezQuelleID=?, RezQuellePage=? WHERE ID=2",
                     {Value(id), Value("7")});

    std::vector<long> opened;
    FrmLiteraturInhaltsverzeichnis contents(id, [&](long recipe) { opened.push_back(recipe); });
    auto* tree = Child<QTreeWidget>(contents, "tvwInhalt");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    const QTreeWidgetItem* group = tree->topLevelItem(0);
    EXPECT_EQ(group->text(0), "Verlag Süd");
    ASSERT_EQ(group->childCount(), 1);
    EXPECT_EQ(Lines(group->child(0)), (QStringList{"    7 - Salat", "   35 - Suppe"}));
    tree->setCurrentItem(group->child(0)->child(1));
    Click(contents, "cmdOpen");
    tree->setCurrentItem(group->child(0)); // a source line opens nothing
    Click(contents, "cmdOpen");
    EXPECT_EQ(opened, std::vector<long>{1});

    // A source that recipes name stays, with the reason shown.
    m_ui.Answering(Answer::Yes);
    Click(window, "cmdDelete");
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_LITERATUR").AsLong(), 1);
    ASSERT_FALSE(m_ui.shown.empty());
    EXPECT_NE(m_ui.shown.back().Text.find("2 Rezepten"), std::string::npos);
    EXPECT_EQ(Child<QLabel>(window, "lblRezepte")->text(), "2");
}

TEST_F(LiteratureWindowsTest, BadInputIsRefusedWithAMessage)
{
    FrmLiteratur window;
    Click(window, "cmdNew");
    Click(window, "cmdSave");
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_LITERATUR").AsLong(), 0);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown.back().Text, "Eine Literaturquelle braucht einen Titel.");
}

} // namespace
} // namespace pf::test
