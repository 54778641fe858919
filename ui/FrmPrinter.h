#pragma once
// Choosing this user's standard printer (setting StdPrinter): the print window offers it first.
// Lists the installed printers; without any it says so.

#include <QWidget>

class QComboBox;

namespace pf {

class FrmPrinter : public QWidget
{
    Q_OBJECT
public:
    explicit FrmPrinter(QWidget* parent = nullptr);
    void cmdOK_Click();

private:
    QComboBox* m_printers = nullptr;
};

} // namespace pf
