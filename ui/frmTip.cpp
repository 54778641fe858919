#include "ui/frmTip.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

const char* const kTips[] = {
    "Mit Strg+F öffnen Sie die Rezeptsuche. Ein Doppelklick auf ein gefundenes Rezept öffnet es im "
    "Rezept-Editor.",
    "Ein Rechtsklick auf markierte Rezepte einer Liste bietet an, sie in ein Kochbuch aufzunehmen, "
    "Kategorien zuzuordnen, sie auf die Einkaufsliste zu setzen oder zu löschen.",
    "Gelöschte Rezepte landen zuerst im Papierkorb („Daten – Papierkorb anzeigen“) und lassen sich "
    "von dort zurückholen.",
    "Rezepte aus Meal-Master- und Mensax-Dateien holt „Import – Rezeptdateien“ in das aktive "
    "Kochbuch; Dubletten werden dabei erkannt.",
    "Sichern Sie Ihre Rezepte regelmäßig mit „Extras – Sichern und Wiederherstellen“.",
    "Aus einem Menü oder Wochenplan wird mit einem Klick eine Einkaufsliste.",
    "Floskeln („Daten – Floskeln“) sind Textbausteine für Sätze, die Sie immer wieder schreiben.",
    "In den Einstellungen wählen Sie, ob Mengen als Brüche oder Dezimalzahlen erscheinen und in "
    "welchem Maßsystem.",
};

struct QuickStart
{
    const char* Name;
    const char* Text;
    const char* Command;
};

const QuickStart kQuickStart[] = {
    {"cmdSearch", "Rezepte &suchen", "Mnu01Suchen"},
    {"cmdNewRecipe", "Neues &Rezept", "Mnu01NeuBlanko"},
    {"cmdImport", "Rezepte im&portieren", "MnuExtraImportMealMaster"},
    {"cmdOptions", "&Einstellungen", "Mnu01Einstellungen"},
};

} // namespace

int frmTip::TipCount()
{
    return static_cast<int>(std::size(kTips));
}

frmTip::frmTip(std::function<void(const std::string&)> runCommand, QWidget* parent)
    : QWidget(parent), m_runCommand(std::move(runCommand))
{
    setObjectName("frmTip");
    setWindowTitle("Tipps und Schnellstart");
    auto* layout = new QVBoxLayout(this);

    auto* tipBox = new QGroupBox("Wussten Sie schon?", this);
    auto* tipLayout = new QVBoxLayout(tipBox);
    m_tip = Named(new QLabel(tipBox), "lblTip");
    m_tip->setWordWrap(true);
    m_tip->setMinimumSize(380, 80);
    m_tip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    tipLayout->addWidget(m_tip, 1);
    auto* tipButtons = new QHBoxLayout;
    m_number = Named(new QLabel(tipBox), "lblTipNumber");
    tipButtons->addWidget(m_number, 1);
    auto* next = MakeButton("cmdNext", "&Nächster Tipp", tipBox);
    tipButtons->addWidget(next);
    tipLayout->addLayout(tipButtons);
    layout->addWidget(tipBox, 1);

    auto* quickBox = new QGroupBox("Schnellstart", this);
    auto* quickLayout = new QGridLayout(quickBox);
    int i = 0;
    for (const QuickStart& entry : kQuickStart) {
        auto* button = MakeButton(entry.Name, QString::fromUtf8(entry.Text), quickBox);
        quickLayout->addWidget(button, i / 2, i % 2);
        ++i;
        const std::string command = entry.Command;
        connect(button, &QPushButton::clicked, this, [this, command] {
            if (m_runCommand)
                m_runCommand(command);
        });
    }
    layout->addWidget(quickBox);

    auto* foot = new QHBoxLayout;
    auto* show = MakeCheck("chkShowTips", "Tipps beim S&tart zeigen", this);
    show->setChecked(AppContext::Current().Options.ShowTips);
    foot->addWidget(show, 1);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    foot->addWidget(close);
    layout->addLayout(foot);

    connect(next, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(show, &QCheckBox::toggled, this, [](bool on) {
        AppContext::Current().Options.ShowTips = on;
        WriteSetting("", "ShowTips", on ? "1" : "0", false);
    });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    CloseOnEscape(this);
    ShowTip();
}

void frmTip::cmdNext_Click()
{
    m_index = (m_index + 1) % TipCount();
    ShowTip();
}

void frmTip::ShowTip()
{
    m_tip->setText(QString::fromUtf8(kTips[m_index]));
    m_number->setText(QString("Tipp %1 von %2").arg(m_index + 1).arg(TipCount()));
}

} // namespace pf
