#pragma once
// The information page of one food: names, what its code says, product text, season, the units it
// is weighed by, mean portion and price, and its values per 100 g. A food of the user's own can be
// changed (one transaction) or deleted here; a food of the base data is shown read-only. The links
// to lexicon entries that explain the food can be changed for every food.

#include "nutrition/FoodRecord.h"

#include <QDialog>

#include "ui/FoodWidgets.h"

#include <functional>
#include <string>

class QAbstractItemView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace pf {

class Database;
class FoodTables;

class FrmNaehrdataInfo : public QDialog
{
    Q_OBJECT
public:
    FrmNaehrdataInfo(Database& db, const FoodTables& tables, QWidget* parent = nullptr);

    // Shows the food with that code; false when there is none.
    bool ShowCode(const std::string& code);
    bool ShowFood(long id);

    // "Speichern": stores the changes of an own food.
    bool cmdSpeichern_Click();
    // "Löschen": deletes an own food after asking; closes the page when it is gone.
    void cmdLoeschen_Click();
    // "Inhalt": the nutrient table of 100 g of the food.
    void cmdInhalt_Click();

    // The page "Lexikon": the entries the food is linked to. "Verknüpfen" searches the lexicon for
    // the text in the field beside it and links the hit the cook chooses; "Lösen" removes the
    // chosen link; "Bevorzugt" makes it the food's preferred one. Each change is stored at once.
    void cmdLexVerknuepfen_Click();
    void cmdLexLoesen_Click();
    void cmdLexBevorzugt_Click();

    bool Deleted() const { return m_deleted; }
    const FoodRecord& Food() const { return m_food; }

private:
    void Fill();
    void FillLinks();
    void Gather();
    QWidget* BuildLinkPage(QWidget* parent);

    Database& m_db;
    const FoodTables& m_tables;
    FoodRecord m_food;
    bool m_deleted = false;
    QLabel* m_state = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_nameE = nullptr;
    QLineEdit* m_nameF = nullptr;
    QLabel* m_description = nullptr;
    QPlainTextEdit* m_info = nullptr;
    QCheckBox* m_main = nullptr;
    MonthBoxes m_months{};
    QComboBox* m_stdUnit = nullptr;
    QLineEdit* m_stdGrams = nullptr;
    QComboBox* m_altUnit = nullptr;
    QLineEdit* m_altGrams = nullptr;
    QLineEdit* m_portion = nullptr;
    QLineEdit* m_price = nullptr;
    QTableWidget* m_values = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QTreeWidget* m_links = nullptr;
    QLineEdit* m_linkSearch = nullptr;
    QWidget* m_linkButtons = nullptr;
};

// The information page of the food a food key names (a food's ID as text, or its code), modally;
// tells the user when there is nothing to show. Every list that shows an ingredient's food offers
// it.
void ShowFoodInfo(const std::string& key, QWidget* parent);
// Gives a list of ingredient lines the food information: a context menu entry
// "Lebensmittel-Information …" and Shift+F4 open the page of the food that keyOfRow names for the
// row ("" when the row has none).
void OfferFoodInfo(QAbstractItemView* list, std::function<std::string(int row)> keyOfRow);

} // namespace pf
