#pragma once
// The stock phrases: ten short texts a cook uses again and again (in instructions and notes),
// kept per user as Floskel0 … Floskel9. Saving writes the settings and the running program's list.

#include <QWidget>

#include <vector>

class QLineEdit;

namespace pf {

class FrmFloskelInfo : public QWidget
{
    Q_OBJECT
public:
    explicit FrmFloskelInfo(QWidget* parent = nullptr);

    // Writes every phrase; an empty field clears its phrase.
    void cmdSave_Click();

private:
    std::vector<QLineEdit*> m_phrases;
};

} // namespace pf
