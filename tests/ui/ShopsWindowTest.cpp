// The address book window: a group and a shop entered as a user does, the shop listed under the
// group in the tree, the questions before deleting and before making an address the default, and
// the food-group order that has nothing to offer without a food class tree, and the recipe search
// a publisher starts.

#include "ui/FrmSearchandDisplay.h"
#include "ui/FrmShops.h"

#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

class ShopsWindowTest : public UiDbTest
{
protected:

    static void Enter(FrmShops& window, const char* family, long kind, const QString& group = {})
    {
        Click(window, "cmdNew");
        Child<QLineEdit>(window, "txtName")->setText(family);
        auto* kinds = Child<QComboBox>(window, "cboArt");
        kinds->setCurrentIndex(kinds->findData(QVariant::fromValue<qlonglong>(kind)));
        if (!group.isEmpty()) {
            Choose(window, "cboUnterordnung", group);
        }
        Click(window, "cmdSave");
    }
};

TEST_F(ShopsWindowTest, EntersAShopUnderAGroupAndAsksBeforeDeleting)
{
    FrmShops window;
    Enter(window, "Läden", 0);
    Enter(window, "Hofladen Berg", 2, "Läden");
    Child<QLineEdit>(window, "txtOrt")->setText("Au");
    Click(window, "cmdSave");
    auto* tree = Child<QTreeWidget>(window, "tvwAdressen");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(tree->currentItem()->text(0), "Hofladen Berg, Au");

    // Nothing to add to the shop order without food classes.
    Click(window, "cmdAddGroup");
    EXPECT_EQ(LastMessage(), "Es gibt keine Kategorien, die hinzugefügt werden können. Alle bekannten "
                             "Kategorien sind bereits hinzugefügt.");

    Click(window, "cmdDefault", Answer::Yes);
    EXPECT_EQ(LastMessage(), "Soll diese Adresse wirklich zur Standard-Adresse gemacht werden ?");
    EXPECT_EQ(ClAddress::DefaultID(WorkDb()), window.Current().id());

    // The group still holds the shop: asked, refused, kept.
    tree->setCurrentItem(tree->topLevelItem(0));
    Click(window, "cmdDelete", Answer::Yes);
    EXPECT_NE(LastMessage().find("hat noch untergeordnete Einträge"), std::string::npos);

    // The shop: No keeps it, Yes deletes it.
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    Click(window, "cmdDelete", Answer::No);
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_ADRESSE").AsLong(), 2);
    Click(window, "cmdDelete", Answer::Yes);
    EXPECT_EQ(LastMessage(), "Soll diese Adresse wirklich gelöscht werden ?");
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_ADRESSE").AsLong(), 1);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(ShopsWindowTest, APublisherSearchesTheRecipesOfItsSources)
{
    FrmShops window;
    Enter(window, "Verlag Süd", 4);
    const long publisher = window.Current().id();
    // Before it published anything there is nothing to search.
    Click(window, "cmdRezepte");
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_NE(LastMessage().find("weder Verlag noch Autor"), std::string::npos);

    WorkDb().Execute("INSERT INTO T_LITERATUR (QuelleID,Title,Jahrgang,VerlagID,AutorID,Rating) VALUES "
                     "(1,'Kochzeit',2004,?,0,0),(2,'Anderes',0,0,0,0)",
                     {Value(publisher)});
    WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template,RezQuelleID) VALUES "
                     "(1,'Suppe',0,0,1),(2,'Salat',0,0,2),(3,'Brot',0,0,0)");
    Click(window, "cmdRezepte");
    std::unique_ptr<FrmSearchandDisplay> search(OpenWindow<FrmSearchandDisplay>());
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->ResultCount(), 1);
}

} // namespace
} // namespace pf::test
