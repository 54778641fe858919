// The lexicon window over the shipped lexicon: browsing an area's tree to an entry, and a search
// over all areas whose hits open with their keywords, facts and explanation.

#include "ui/FrmLexikonEdit.h"

#include "db/DatabaseChoice.h"
#include "model/ProgramUnits.h"
#include "tests/support/BaseDataDb.h"
#include "tests/ui/UiTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTreeWidget>

namespace pf::test {
namespace {

class FrmLexikonEditTest : public UiTest
{
protected:
    FrmLexikonEditTest()
    {
        Connection() = ConnectionState{};
        Connection().WorkDb = MakeBaseDataDatabase(m_dir, "Pfannola.MDB");
        ResetProgramData();
    }
    ~FrmLexikonEditTest() override { CloseWorkDatabase(); }

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

TEST_F(FrmLexikonEditTest, BrowsesAnAreaTreeToAnEntry)
{
    FrmLexikonEdit window;
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    EXPECT_EQ(Child<QComboBox>(window, "cboBereich")->currentText(), "Fachbegriffe");
    EXPECT_TRUE(Find(*tree, {"Saucen und Bindungen", "Mehlschwitze"}));

    auto* area = Child<QComboBox>(window, "cboBereich");
    area->setCurrentIndex(area->findText("Kochtechnik"));
    // Sub-nodes hang under their prefix parent.
    QTreeWidgetItem* poach = Find(*tree, {"Garen mit feuchter Hitze", "In Flüssigkeit", "Pochieren"});
    ASSERT_TRUE(poach);
    tree->setCurrentItem(poach);
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "Pochieren");
    EXPECT_TRUE(Child<QLabel>(window, "lblStichworte")->text().contains("poach [EN(UK)]"));
    EXPECT_TRUE(Child<QTextBrowser>(window, "txtErklaerung")->toPlainText().contains("unter dem Siedepunkt"));

    // A node shows nothing on the right.
    tree->setCurrentItem(Find(*tree, {"Garen mit feuchter Hitze"}));
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "");
}

TEST_F(FrmLexikonEditTest, SearchListsHitsByAreaAndShowsTheirFacts)
{
    FrmLexikonEdit window;
    auto* tree = Child<QTreeWidget>(window, "treLexikon");
    Child<QLineEdit>(window, "txtSuchen")->setText("zitronens");
    Click(window, "cmdSuchen");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Zusatzstoffe (1)");
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(Child<QLabel>(window, "lblTitel")->text(), "Zitronensäure");
    EXPECT_TRUE(Child<QLabel>(window, "lblStichworte")->text().contains("Citronensäure [DE(D)]"));
    EXPECT_TRUE(Child<QLabel>(window, "lblAngaben")->text().contains("E-Nummer: E 330"));
    EXPECT_TRUE(
        Child<QLabel>(window, "lblStichworte")->text().startsWith("Zusatzstoffe – Antioxidationsmittel"));
}

} // namespace
} // namespace pf::test
