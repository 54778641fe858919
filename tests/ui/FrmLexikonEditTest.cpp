// The lexicon window over the shipped lexicon: browsing an area's tree to an entry, a search over
// all areas whose hits open with their keywords, facts and explanation, and editing entries; the
// maintenance window that deletes entries in bulk.

#include "ui/FrmLexikonEdit.h"
#include "ui/FrmSpecialLexDel.h"

#include "lexicon/LexiconFoodLinks.h"
#include "lexicon/clTool.h"

#include "tests/ui/UiTestSupport.h"

#include <algorithm>

namespace pf::test {
namespace {

class FrmLexikonEditTest : public UiDbTest
{
protected:
    FrmLexikonEditTest() : UiDbTest(WorkData::BaseData) {}

    // The item whose path of captions from the top is path.
    static QTreeWidgetItem* Find(QTreeWidget& tree, const QStringList& path)
    {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < tree.topLevelItemCount() && !found; ++i)
            if (tree.topLevelItem(i)->text(0) == path.front())
                found = tree.topLevelItem(i);
        for (int step = 1; found && step < path.size(); ++step) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < found->childCount() && !next; ++i)
                if (found->child(i)->text(0) == path[step])
                    next = found->child(i);
            found = next;
        }
        return found;
    }
};

TEST_F(FrmLexikonEditTest, SearchListsHitsByAreaAndShowsTheirFacts)
{
    FrmLexikonEdit window;
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    Child<QLineEdit>(window, "txtSuchen")->setText("zitronens");
    Click(window, "cmdSuchen");
    ASSERT_EQ(TopLevelTexts(tree), QStringList{"Zusatzstoffe (1)"});
    // The first hit is shown at once, without a further click.
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0)->child(0));
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "Zitronensäure");
    EXPECT_TRUE(Child<QLabel>(window, "lblAngaben")->text().contains("E-Nummer: E 330"));
}

TEST_F(FrmLexikonEditTest, OutputCommandsTakeTheEntryItsGroupOrTheRestOfTheList)
{
    FrmLexikonEdit window;
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    EXPECT_EQ(Child<QComboBox>(window, "cboBereich")->currentText(), "Fachbegriffe");
    EXPECT_TRUE(Find(*tree, {"Saucen und Bindungen", "Mehlschwitze"}));
    Choose(window, "cboBereich", "Kochtechnik");
    // Sub-nodes hang under their prefix parent.
    QTreeWidgetItem* poach = Find(*tree, {"Garen mit feuchter Hitze", "In Flüssigkeit", "Pochieren"});
    ASSERT_TRUE(poach);
    tree->setCurrentItem(poach);
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "Pochieren");
    EXPECT_TRUE(Child<QLabel>(window, "lblStichworte")->text().contains("poach [EN(UK)]"));
    EXPECT_TRUE(Child<QTextBrowser>(window, "txtErklaerung")->toPlainText().contains("unter dem Siedepunkt"));
    const LexiconEntryKey key{poach->data(0, Qt::UserRole).toLongLong(),
                              poach->data(0, Qt::UserRole + 1).toLongLong()};

    const std::vector<LexiconEntryKey> one = window.EntriesFor("HideLexikonPrintEinzeln");
    const std::vector<LexiconEntryKey> group = window.EntriesFor("HideLexikonPrintFollowing");
    const std::vector<LexiconEntryKey> rest = window.EntriesFor("HideLexikonPrintEnd");
    EXPECT_EQ(one, std::vector<LexiconEntryKey>{key});
    ASSERT_FALSE(group.empty());
    EXPECT_EQ(group.front(), key);
    EXPECT_LE(static_cast<int>(group.size()), poach->parent()->childCount());
    // The rest of the list runs on through the following groups: it holds the group and more.
    ASSERT_GT(rest.size(), group.size());
    EXPECT_TRUE(std::equal(group.begin(), group.end(), rest.begin()));
    std::unique_ptr<QMenu> menu(window.MakeContextMenu());
    EXPECT_EQ(menu->actions().size(), 5);
    for (QAction* action : menu->actions())
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();

    window.RunCommand("HideLexikonPrintClipboard");
    EXPECT_TRUE(m_ui.clipboard.starts_with("Pochieren\n")) << m_ui.clipboard;

    const std::string page = m_dir.File("pochieren.html");
    m_ui.ChoosingFiles({page});
    Click(window, "cmdExportieren");
    EXPECT_NE(test::ReadFile(page).find("<h2>Pochieren</h2>"), std::string::npos);
    EXPECT_TRUE(m_ui.AllAnswersUsed());

    // A node shows nothing on the right and alone prints nothing; its group prints its entries.
    tree->setCurrentItem(poach->parent());
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "");
    EXPECT_TRUE(window.EntriesFor("HideLexikonPrintEinzeln").empty());
    EXPECT_EQ(window.EntriesFor("HideLexikonPrintFollowing").front(),
              window.EntriesFor("HideLexikonPrintEnd").front());
}

TEST_F(FrmLexikonEditTest, FoodsLinkedToAnEntryAreShownAndUnlinkedInTheForm)
{
    WorkDb().Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (1,'Q100000','Butter'), (2,'M130000','Milch')");
    const long id = Scalar("SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=5 AND [KEY]='Pochieren'");
    ASSERT_TRUE(AddFoodLink(WorkDb(), 1, 5, id));
    ASSERT_TRUE(AddFoodLink(WorkDb(), 2, 5, id));
    FrmLexikonEdit window;
    Choose(window, "cboBereich", "Kochtechnik");
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    tree->setCurrentItem(Find(*tree, {"Garen mit feuchter Hitze", "In Flüssigkeit", "Pochieren"}));
    EXPECT_TRUE(Child<QLabel>(window, "lblAngaben")->text().contains("Lebensmittel: Butter, Milch"));

    window.SetEditing(true);
    auto* foods = Child<QListWidget>(window, "lstLebensmittel");
    ASSERT_EQ(foods->count(), 2);
    foods->setCurrentRow(0);
    Click(window, "cmdLebensmittelLoesen");
    ASSERT_EQ(foods->count(), 1);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BLS_INFO"), 1);
    EXPECT_FALSE(window.FormChanged()); // links are stored at once, the entry is unchanged
}

TEST_F(FrmLexikonEditTest, CreatesChangesAndDeletesAnEntryFoundBySearch)
{
    FrmLexikonEdit window;
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    auto* keywords = Child<QTableWidget>(window, "tblStichworte");
    auto* text = Child<QPlainTextEdit>(window, "txtText");
    Click(window, "cmdBearbeiten");
    ASSERT_TRUE(window.Editing());
    Choose(window, "cboBereich", "Utensilien");
    tree->setCurrentItem(Find(*tree, {"Reiben, Pressen und Passieren"}));

    // New: the entry goes under the node chosen on the left, with a German and an English keyword.
    Click(window, "cmdNeu");
    EXPECT_EQ(Child<QComboBox>(window, "cboGruppe")->currentText(), "Reiben, Pressen und Passieren");
    keywords->item(0, 0)->setText("Zwiebelhalter");
    Click(window, "cmdStichwortNeu");
    keywords->item(1, 0)->setText("onion holder");
    auto* language = qobject_cast<QComboBox*>(keywords->cellWidget(1, 1));
    language->setCurrentIndex(language->findText("Englisch (USA)"));
    text->setPlainText("Gabel mit langen Zinken, die die Zwiebel beim Schneiden hält.");
    Click(window, "cmdSpeichern", Answer::Yes);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Eintrag \"Zwiebelhalter\" Speichern"});
    ASSERT_TRUE(tree->currentItem());
    EXPECT_EQ(tree->currentItem()->text(0), "Zwiebelhalter");
    EXPECT_EQ(tree->currentItem()->parent()->text(0), "Reiben, Pressen und Passieren");
    EXPECT_FALSE(window.FormChanged());

    // The search finds it by its English keyword; the change is saved to the same entry.
    Child<QLineEdit>(window, "txtSuchen")->setText("onion hold");
    Click(window, "cmdSuchen");
    ASSERT_EQ(TopLevelTexts(tree), QStringList{"Utensilien (1)"});
    EXPECT_EQ(text->toPlainText(), "Gabel mit langen Zinken, die die Zwiebel beim Schneiden hält.");
    text->setPlainText("Schneidhilfe mit Zinken.");
    // Leaving unsaved changes asks; Cancel keeps the form and the choice.
    m_ui.Answering(Answer::Cancel);
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0)->child(0));
    EXPECT_EQ(text->toPlainText(), "Schneidhilfe mit Zinken.");
    Click(window, "cmdSpeichern", Answer::Yes);
    EXPECT_EQ(Text("SELECT GerMerkmalD FROM T_GERAET WHERE ID=(SELECT ID FROM T_INFO_KEY WHERE [KEY]='onion holder')"),
              "Schneidhilfe mit Zinken.");

    // Delete after the question; the search then finds nothing but asks to widen (declined).
    m_ui.Answering(Answer::Yes).Answering(Answer::No);
    Click(window, "cmdLoeschen");
    EXPECT_EQ(LastMessage(), "Soll der Eintrag \"Zwiebelhalter\" gelöscht werden?");
    Click(window, "cmdSuchen");
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(FrmLexikonEditTest, BadInputIsRefusedWithAMessageAndNothingWritten)
{
    FrmLexikonEdit window;
    Click(window, "cmdBearbeiten");
    Choose(window, "cboBereich", "Wein");
    Click(window, "cmdNeu");
    Child<QTableWidget>(window, "tblStichworte")->item(0, 0)->setText("Grauburgunder");
    Child<QLineEdit>(window, "txtPreis")->setText("zwölf Euro");
    Click(window, "cmdSpeichern");
    Child<QLineEdit>(window, "txtPreis")->setText("12,50");
    Child<QTableWidget>(window, "tblStichworte")->item(0, 0)->setText(" ");
    Click(window, "cmdSpeichern");
    // A picture that is none.
    Choose(window, "cboEintragBereich", "Utensilien");
    WriteFile(m_dir.File("notiz.txt"), "kein Bild");
    m_ui.ChoosingFiles({m_dir.File("notiz.txt")});
    Click(window, "cmdBildLaden");
    ASSERT_EQ(m_ui.shown.size(), 3u);
    EXPECT_EQ(m_ui.shown[0].Text, "Der Preis \"zwölf Euro\" ist keine Zahl. Bitte eine Zahl wie 12,50 eingeben.");
    EXPECT_EQ(m_ui.shown[1].Text, "Der Eintrag braucht mindestens ein Stichwort.");
    EXPECT_NE(m_ui.shown[2].Text.find("ist kein Bild"), std::string::npos);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_WEIN"), 0);
    EXPECT_TRUE(window.FormChanged());
}

TEST_F(FrmLexikonEditTest, SpecialDeletionRemovesMarkedEntriesWithoutDescription)
{
    Database& db = WorkDb();
    std::vector<long> bare;
    for (const char* name : {"Apfelausstecher", "Eierpiekser"}) {
        clTool tool;
        tool.SetDB(db);
        tool.SynonymAdd(name, 1);
        ASSERT_TRUE(tool.Save());
        bare.push_back(tool.id());
    }
    db.Execute("INSERT INTO T_REZ_GERAET (RezID, GeraetID) VALUES (7, ?)", {bare[0]});
    const long utensils = db.Scalar("SELECT COUNT(*) FROM T_GERAET").AsLong();

    FrmSpecialLexDel window;
    Choose(window, "cboBereich", "Utensilien");
    auto* list = Child<QTreeWidget>(window, "lstEintraege");
    EXPECT_EQ(list->topLevelItemCount(), utensils);
    Child<QCheckBox>(window, "chkOhneBeschreibung")->setChecked(true);
    ASSERT_EQ(TopLevelTexts(list), (QStringList{"Apfelausstecher", "Eierpiekser"}));
    EXPECT_EQ(list->topLevelItem(0)->text(2), "fehlt");
    EXPECT_FALSE(Child<QPushButton>(window, "cmdLoeschen")->isEnabled());
    Click(window, "cmdAlle");
    EXPECT_EQ(Child<QLabel>(window, "lblAnzahl")->text(), "2 Einträge, 2 markiert");

    Click(window, "cmdLoeschen", Answer::Yes);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Sollen die 2 markierten Einträge aus dem Bereich \"Utensilien\" "
                                                   "endgültig gelöscht werden?\n\nDie Geräte sind in einem "
                                                   "Rezept eingetragen und werden dort entfernt."});
    EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM T_GERAET").AsLong(), utensils - 2);
}

} // namespace
} // namespace pf::test
