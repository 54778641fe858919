#include "ui/FrmNaehrNew.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "nutrition/FoodCode.h"
#include "nutrition/FoodRecord.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

FrmNaehrNew::FrmNaehrNew(Database& db, const std::string& templateCode, const std::string& templateName,
                         QWidget* parent)
    : QDialog(parent), m_db(db), m_template(templateCode)
{
    setObjectName("FrmNaehrNew");
    setWindowTitle("Neues Nahrungsmittel anlegen");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* templateLabel = Named(new QLabel(Q(templateName + " (" + templateCode + ")"), this), "lblVorlage");
    form->addRow("Vorlage Nahrungsmittel:", templateLabel);
    m_code = Named(new QLineEdit(Q(templateCode), this), "txtCode");
    m_code->setMaxLength(7);
    m_code->setToolTip("Stellen 1-2, 5-7 wie die Vorlage (0 und 1 gelten als gleich); Stellen 3-4 frei");
    form->addRow("BLS-C&ode:", m_code);
    m_name = Named(new QLineEdit(this), "txtBezeichnung");
    m_name->setMaxLength(128);
    form->addRow("&Bezeichnung:", m_name);
    layout->addLayout(form);
    auto* describe =
        Named(new QLabel(Q(DescribeFoodCode(templateCode)).replace("\r\n", "\n"), this), "lblBeschreibung");
    describe->setWordWrap(true);
    layout->addWidget(describe);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* next = MakeButton("cmdFortfahren", "&Fortfahren", this);
    next->setDefault(true);
    QPushButton* cancel = MakeButton("cmdAbbrechen", "Abbre&chen", this);
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdFortfahren_Click(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_name->setFocus();
    resize(460, 220);
}

std::string FrmNaehrNew::Code() const
{
    return S(m_code->text().trimmed().toUpper());
}

std::string FrmNaehrNew::Name() const
{
    return S(m_name->text().trimmed());
}

void FrmNaehrNew::cmdFortfahren_Click()
{
    NewFoodCodeCheck check = CheckNewFoodCode(m_db, m_template, Code());
    if (!check.Problem.empty()) {
        // The characters that broke a rule are put back from the template and selected.
        m_code->setText(Q(check.Code));
        m_code->setSelection(check.SelStart, check.SelLength);
        m_code->setFocus();
        if (UI().Ask("Die Prüfung hat folgendes Problem ergeben:\r\n" + check.Problem, Buttons::OkCancel,
                     Answer::Cancel, MsgIcon::Warning, S(windowTitle())) != Answer::Ok)
            return;
        // OK takes the corrected code; a code still in use cannot be taken.
        check = CheckNewFoodCode(m_db, m_template, Code());
        if (!check.Problem.empty()) {
            UI().Inform(check.Problem, MsgIcon::Warning, S(windowTitle()));
            return;
        }
    }
    if (Name().empty()) {
        UI().Inform("Es muss eine Bezeichnung eingegeben sein !", MsgIcon::Warning, S(windowTitle()));
        m_name->setFocus();
        return;
    }
    accept();
}

} // namespace pf
