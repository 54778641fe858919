#pragma once
// The food matching of recipes, one recipe at a time: every ingredient line with the food it is
// matched to; lines without food are matched automatically when the recipe is loaded. The user
// picks, clears or re-analyses foods and adds a line's text as a synonym; "Rezept [OK]" stores the
// recipe's foods in one transaction and moves on, "Abbruch" moves on without storing.

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QTableWidget;

namespace pf {

class Database;
class FoodAssignment;
class FoodMatcher;
class FoodTables;

class FrmBLSAbgleich : public QDialog
{
    Q_OBJECT
public:
    enum Column { ColZutat = 0, ColZuordnung, ColCount };

    FrmBLSAbgleich(Database& db, const FoodTables& tables, FoodMatcher& matcher, QWidget* parent = nullptr);
    ~FrmBLSAbgleich() override;

    // The recipes to work through; loads the first. False when none of them exists.
    bool SetRecipes(std::vector<long> ids);

    // Picks a food for a line (0 for none); the selection dialog unless replaced.
    using Chooser = std::function<long(const std::string& text, long currentFood)>;
    void SetFoodChooser(Chooser chooser) { m_choose = std::move(chooser); }

    void cmdProdukt_Click();
    void cmdAufheben_Click();
    void cmdAllesAufheben_Click();
    void cmdAnalyse_Click();
    void cmdSynonym_Click();
    // "Rezept [OK]": stores and loads the next recipe; closes after the last.
    void cmdRezeptOK_Click();
    // "Abbruch": the next recipe without storing this one.
    void cmdAbbruch_Click();

    FoodAssignment& Assignment() { return *m_assignment; }

    // From a recipe list: the matching of the recipes, modally.
    static void ShowForRecipes(const std::vector<long>& ids, QWidget* parent);

private:
    void Next();
    void FillLines();
    int CurrentLine() const;

    Database& m_db;
    const FoodTables& m_tables;
    FoodMatcher& m_matcher;
    std::unique_ptr<FoodAssignment> m_assignment;
    Chooser m_choose;
    QLabel* m_heading = nullptr;
    QTableWidget* m_lines = nullptr;
    QLabel* m_hint = nullptr;
};

} // namespace pf
