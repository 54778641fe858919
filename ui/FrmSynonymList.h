#pragma once
// Every food that has synonyms, with its synonyms beside it; from here a food's synonyms or its
// information page are opened. It only lists; the windows it opens store the changes.

#include <QDialog>

class QTreeWidget;

namespace pf {

class Database;
class FoodTables;

class FrmSynonymList : public QDialog
{
    Q_OBJECT
public:
    FrmSynonymList(Database& db, const FoodTables& tables, QWidget* parent = nullptr);

    void Fill();
    // "Bearbeiten": the synonyms of the chosen food.
    void cmdBearbeiten_Click();
    // "Eigenschaften": the information page of the chosen food.
    void cmdEigenschaften_Click();

private:
    long CurrentFood() const;

    Database& m_db;
    const FoodTables& m_tables;
    QTreeWidget* m_list = nullptr;
};

} // namespace pf
