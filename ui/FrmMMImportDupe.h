#pragma once
// The duplicate question of the import: the recipe being imported and the one already stored side
// by side (title, import date and source, fingerprint, cookbooks, ingredients and preparation) with
// the recommendation, and the five answers. Escape means Abort. QtDupeDecider asks it for every
// duplicate the import run meets.

#include "exchange/RecipeImport.h"

#include <QDialog>

class QCheckBox;

namespace pf {

class Database;

class FrmMMImportDupe : public QDialog
{
    Q_OBJECT
public:
    // db: where the existing recipe is read (null: the work database).
    FrmMMImportDupe(const DupeQuestion& question, Database* db = nullptr, QWidget* parent = nullptr);

    // The decision code (dupe::kIgnore, kReplace, kDupeBook, kSkip for "abort", kImport).
    int Decision() const { return m_decision; }
    bool NoMoreQuestions() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Answer(int decision);

    int m_decision = dupe::kSkip;
    QCheckBox* m_noMore = nullptr;
};

// Asks FrmMMImportDupe for each duplicate.
class QtDupeDecider : public DupeDecider
{
public:
    QtDupeDecider(Database* db, QWidget* parent) : m_db(db), m_parent(parent) {}
    int Decide(const DupeQuestion& question, bool& noMoreQuestions) override;

private:
    Database* m_db;
    QWidget* m_parent;
};

} // namespace pf
