#pragma once
// The scaling dialog: the user enters a new yield and sees the original quantities beside the
// scaled ones. A permanent scaling changes the caller's recipe in memory (the caller saves it);
// a temporary one only shows the result, computed on a copy.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace pf {

class ClRecipe;

class FrmSkalierungAnzahl : public QDialog
{
    Q_OBJECT
public:
    // recipe must outlive the dialog.
    explicit FrmSkalierungAnzahl(ClRecipe& recipe, QWidget* parent = nullptr);

    // In decimal mode a yield with decimals is accepted (and cut to its whole number).
    void SetDecimalMode(bool decimalMode) { m_decimalMode = decimalMode; }
    void SetTemporary(bool temporary);
    bool Temporary() const;
    void SetNewYieldText(const QString& text);

    // The command button: checks the entry, asks before a permanent change, scales. A permanent
    // scaling closes the dialog accepted; a temporary one only refreshes the new quantities.
    void cmdOK_Click();
    // True once the recipe itself was scaled.
    bool Scaled() const { return m_scaled; }

private:
    // The yield entered, or 0 when the entry is no number above 0; whole is false for decimals.
    double ParsedYield(bool& whole) const;
    void ShowPreview(long newYield);
    void FillList(QListWidget* list, ClRecipe& recipe);

    ClRecipe& m_recipe;
    bool m_decimalMode = false;
    bool m_scaled = false;
    QLineEdit* m_newYield = nullptr;
    QCheckBox* m_temporary = nullptr;
    QLabel* m_originalCaption = nullptr;
    QLabel* m_newCaption = nullptr;
    QListWidget* m_original = nullptr;
    QListWidget* m_new = nullptr;
};

} // namespace pf
