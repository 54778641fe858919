#pragma once
// The fingerprint window: gives the rows of one table (recipes, foods, utensils, gifts or one kind
// of lexicon entries) the fingerprint of a chosen creator and date, for the rows without one, the
// rows older than a date or the rows of a creator range, and repairs serials that several rows
// share. The work is ClFingerprint's; the window gathers the choice and shows the result.

#include "db/Value.h"

#include <QWidget>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace pf {

class FrmSetFingerprint : public QWidget
{
    Q_OBJECT
public:
    explicit FrmSetFingerprint(QWidget* parent = nullptr);

    // German date text "TT.MM.JJJJ" with an optional time "HH:MM"; nullopt when it is none.
    static std::optional<DateSerial> ParseDate(const QString& text);

    void cmdCreator_Click();
    void cmdDate_Click();
    void cmdOK_Click();
    void cmdDupeKill_Click();

private:
    std::string Table() const;
    long LexikonType() const;
    // The date of a field; shows "Ungültiges Datum..." and gives nullopt when it is none.
    std::optional<DateSerial> FieldDate(QLineEdit* field);

    QComboBox* m_table = nullptr;
    QSpinBox* m_lexikonType = nullptr;
    QLineEdit* m_creator = nullptr;
    QLineEdit* m_date = nullptr;
    QRadioButton* m_missing = nullptr;
    QRadioButton* m_olderThan = nullptr;
    QRadioButton* m_creatorRange = nullptr;
    QLineEdit* m_olderThanDate = nullptr;
    QSpinBox* m_creatorFrom = nullptr;
    QSpinBox* m_creatorTo = nullptr;
    QCheckBox* m_newSerial = nullptr;
};

} // namespace pf
