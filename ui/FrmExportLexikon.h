#pragma once
// Exports the lexicon (and on request the other base data) of the open database as a base-data
// file, the form in which a new database is filled ("INIT.CSV"). The areas to write are chosen by
// check boxes; the file by a save dialog.

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;

namespace pf {

class FrmExportLexikon : public QWidget
{
    Q_OBJECT
public:
    explicit FrmExportLexikon(QWidget* parent = nullptr);

    // The export mask of the ticked boxes.
    long Mask() const;
    // Writes the file named in the window; false (after a message) when nothing was written.
    bool cmdExport_Click();

private:
    struct Choice
    {
        long Bit;
        QCheckBox* Box;
    };
    std::vector<Choice> m_choices;
    QLineEdit* m_file = nullptr;
};

} // namespace pf
