// The literature windows: a source created in the register, a recipe linked to it at a page, the
// table of contents listing it by page and opening it, a source in use that cannot be deleted, the
// question about unsaved changes, the view of one category, and the gallery of covers opening a
// source.

#include "ui/FrmLiteratur.h"
#include "ui/FrmLiteraturGallery.h"
#include "ui/FrmLiteraturInhaltsverzeichnis.h"

#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

class LiteratureWindowsTest : public UiDbTest
{
protected:
    LiteratureWindowsTest()
    {
        WorkDb().Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (3,'Verlag Süd')");
        WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template) VALUES (1,'Suppe',0,0),"
                         "(2,'Salat',0,0)");
    }
    static std::string Stored(const std::string& column, long id)
    {
        return Text("SELECT " + column + " FROM T_LITERATUR WHERE QuelleID=?", {Value(id)});
    }
    static void AddSource(long id, const std::string& title)
    {
        WorkDb().Execute("INSERT INTO T_LITERATUR (QuelleID,Title,Jahrgang,Rating,Notiz) VALUES (?,?,0,0,?)",
                         {Value(id), Value(title), Value("Erste Zeile\r\nZweite Zeile")});
    }

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
    // Without a title nothing is stored.
    Click(window, "cmdSave");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Eine Literaturquelle braucht einen Titel."});
    Child<QLineEdit>(window, "txtTitle")->setText("Kochzeit");
    Child<QSpinBox>(window, "txtJahrgang")->setValue(2004);
    Child<QLineEdit>(window, "txtAusgabe")->setText("12");
    Choose(window, "cboVerlag", "Verlag Süd");
    Click(window, "cmdSave");
    auto* list = Child<QTreeWidget>(window, "lstSources");
    ASSERT_EQ(TopLevelTexts(list), QStringList{"Kochzeit (Verlag Süd), 2004/12"});
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));

    // The recipes name the source at their pages.
    const long id = Scalar("SELECT QuelleID FROM T_LITERATUR");
    WorkDb().Execute("UPDATE T_REZ_KOPF SET RezQuelleID=?, RezQuellePage=? WHERE ID=1", {Value(id), Value("35")});
    WorkDb().Execute("UPDATE T_REZ_KOPF SET RezQuelleID=?, RezQuellePage=? WHERE ID=2", {Value(id), Value("7")});

    std::vector<long> opened;
    FrmLiteraturInhaltsverzeichnis contents(id, [&](long recipe) { opened.push_back(recipe); });
    auto* tree = Child<QTreeWidget>(contents, "tvwInhalt");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    const QTreeWidgetItem* group = tree->topLevelItem(0);
    EXPECT_EQ(Lines(group->child(0)), (QStringList{"    7 - Salat", "   35 - Suppe"}));
    tree->setCurrentItem(group->child(0)->child(1));
    Click(contents, "cmdOpen");
    tree->setCurrentItem(group->child(0)); // a source line opens nothing
    Click(contents, "cmdOpen");
    EXPECT_EQ(opened, std::vector<long>{1});

    // A source that recipes name stays, with the reason shown.
    Click(window, "cmdDelete", Answer::Yes);
    EXPECT_NE(LastMessage().find("2 Rezepten"), std::string::npos);
    EXPECT_EQ(Child<QLabel>(window, "lblRezepte")->text(), "2");
}

TEST_F(LiteratureWindowsTest, LeavingAChangedSourceAsksWhetherToSave)
{
    AddSource(1, "Apfelbuch");
    AddSource(2, "Birnenbuch");
    FrmLiteratur window;
    auto* list = Child<QTreeWidget>(window, "lstSources");
    auto* title = Child<QLineEdit>(window, "txtTitle");
    ASSERT_EQ(title->text(), "Apfelbuch");
    // Moving on without a change asks nothing (stored CR LF notes included): an unexpected
    // question fails the test.
    Select(list, "Birnenbuch");
    Select(list, "Apfelbuch");
    EXPECT_TRUE(m_ui.shown.empty());

    title->setText("Apfelbuch neu");
    Child<QLineEdit>(window, "txtEAN")->setText("978-3-16-148410-0");
    m_ui.Answering(Answer::Cancel);
    Select(list, "Birnenbuch");
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(LastMessage(), "Sollen die Änderungen an der Literaturquelle \"Apfelbuch neu\" gespeichert werden?");
    EXPECT_EQ(list->currentItem()->text(0), "Apfelbuch");
    EXPECT_EQ(title->text(), "Apfelbuch neu");

    m_ui.Answering(Answer::No);
    Select(list, "Birnenbuch");
    EXPECT_EQ(title->text(), "Birnenbuch");
    EXPECT_EQ(Stored("Title", 1), "Apfelbuch");

    // Yes saves before the next source is shown; a refused save keeps the changed one on screen.
    title->setText("Birnenbuch 2");
    Click(window, "cmdNew", Answer::Yes);
    EXPECT_EQ(Stored("Title", 2), "Birnenbuch 2");
    EXPECT_EQ(title->text(), "");
    title->setText("Apfelbuch");
    m_ui.Answering(Answer::Yes);
    Select(list, "Birnenbuch 2");
    EXPECT_NE(LastMessage().find("bereits vorhanden"), std::string::npos);
    EXPECT_EQ(title->text(), "Apfelbuch");

    // Closing asks too; Yes stores a new source with its EAN.
    title->setText("Kirschbuch");
    Child<QLineEdit>(window, "txtEAN")->setText("978-3-16-148410-0");
    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Text("SELECT EAN FROM T_LITERATUR WHERE Title='Kirschbuch'"), "9783161484100");
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

// The view of one category groups the issues of a magazine under its title, which is no source to
// choose itself.
TEST_F(LiteratureWindowsTest, CategoryViewGroupsTheIssuesOfATitle)
{
    WorkDb().Execute("INSERT INTO T_CAT (ID,CatNameD,LaenderCode) VALUES (9,'Backen',0)");
    AddSource(1, "Apfelbuch");
    AddSource(2, "Zeitschrift");
    AddSource(3, "Zeitschrift");
    for (const long id : {2L, 3L})
        WorkDb().Execute("UPDATE T_LITERATUR SET Jahrgang=2004, AusgabeNr=? WHERE QuelleID=?",
                         {Value(std::to_string(id - 1)), Value(id)});
    WorkDb().Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (2,9,-1),(3,9,0)");
    FrmLiteratur window;
    auto* list = Child<QTreeWidget>(window, "lstSources");
    EXPECT_EQ(list->topLevelItemCount(), 3);
    auto* view = Child<QComboBox>(window, "cboQuellen");
    view->setCurrentIndex(view->findText("Kategorie Backen"));
    emit view->activated(view->currentIndex());
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_FALSE(list->topLevelItem(0)->flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0)->child(0));
    EXPECT_EQ(Child<QLineEdit>(window, "txtAusgabe")->text(), "1");
}

TEST_F(LiteratureWindowsTest, GalleryShowsCoversAndOpensTheClickedSource)
{
    AddSource(1, "Apfelbuch");
    AddSource(2, "Birnenbuch");
    AddSource(3, "Quittenbuch");
    WorkDb().Execute("INSERT INTO T_BLOB (ID,IDType,IDReference,IDNum,Property,Blob) VALUES (1,?,2,1,0,?)",
                     {Value(kBlobOwnerLiterature), Value(PngPicture(40, 60, Qt::darkGreen))});
    // A cover that is no picture shows a note instead of breaking the gallery.
    WorkDb().Execute("INSERT INTO T_BLOB (ID,IDType,IDReference,IDNum,Property,Blob) VALUES (2,?,3,1,0,?)",
                     {Value(kBlobOwnerLiterature), Value(Blob{'k', 'e', 'i', 'n'})});

    FrmLiteratur window;
    ASSERT_EQ(Child<QLabel>(window, "lblDeckblatt")->text(), "Kein Bild");
    FrmLiteraturGallery gallery([&](long id) { return window.OpenSource(id); });
    auto* covers = Child<QListWidget>(gallery, "lstDeckblaetter");
    ASSERT_EQ(covers->count(), 3);
    EXPECT_EQ(covers->item(1)->text(), "Birnenbuch");
    const QPixmap tile = covers->item(1)->icon().pixmap(covers->iconSize());
    EXPECT_EQ(tile.toImage().pixelColor(tile.width() / 2, tile.height() / 2), QColor(Qt::darkGreen));

    gallery.show();
    covers->doItemsLayout();
    const QRect place = covers->visualItemRect(covers->item(1));
    QTest::mouseClick(covers->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(Child<QTreeWidget>(window, "lstSources")->currentItem()->text(0), "Birnenbuch");
    EXPECT_TRUE(Child<QLabel>(window, "lblDeckblatt")->text().isEmpty()); // the picture is shown

    // Opening another source from the gallery asks about a changed one first.
    Child<QLineEdit>(window, "txtTitle")->setText("Birnen");
    m_ui.Answering(Answer::Cancel);
    covers->setCurrentRow(2);
    Click(gallery, "cmdOpen");
    EXPECT_EQ(Child<QTreeWidget>(window, "lstSources")->currentItem()->text(0), "Birnenbuch");
    Click(gallery, "cmdOpen", Answer::No);
    EXPECT_EQ(Child<QLineEdit>(window, "txtTitle")->text(), "Quittenbuch");
    EXPECT_EQ(Child<QLabel>(window, "lblDeckblatt")->text(), "Bild nicht lesbar");
}

} // namespace
} // namespace pf::test
