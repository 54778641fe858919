#include "ui/FrmExportLexikon.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/BaseData.h"
#include "db/WorkDatabase.h"
#include "lexicon/LexiconAreas.h"
#include "ui/FrmBaseDataProgress.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Lexikon exportieren";

// The lexicon areas of the export mask, by bit.
const struct
{
    long Bit;
    long Area;
} kLexiconBits[] = {{8, 0}, {16, 1}, {32, 5}, {64, 2}, {128, 3}, {256, 6}};

const struct
{
    long Bit;
    const char* Text;
} kOtherBits[] = {{basedata::kCategories, "Kategorien"},
                  {basedata::kUnits, "Maßeinheiten"},
                  {basedata::kNutrition, "Lebensmittel und Nährwerte"}};

} // namespace

FrmExportLexikon::FrmExportLexikon(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmExportLexikon");
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel("Die gewählten Teile werden als Grunddaten-Datei geschrieben, mit der eine neue "
                            "Datenbank gefüllt wird („INIT.CSV“).",
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* lexicon = new QGroupBox("Lexikon", this);
    auto* lexiconLayout = new QVBoxLayout(lexicon);
    for (const auto& entry : kLexiconBits) {
        auto* box = new QCheckBox(Q(LexiconAreaName(entry.Area)), lexicon);
        box->setObjectName(QString("chkBit%1").arg(entry.Bit));
        box->setChecked(true);
        lexiconLayout->addWidget(box);
        m_choices.push_back({entry.Bit, box});
    }
    layout->addWidget(lexicon);
    auto* others = new QGroupBox("Weitere Grunddaten", this);
    auto* othersLayout = new QVBoxLayout(others);
    for (const auto& entry : kOtherBits) {
        auto* box = new QCheckBox(QString::fromUtf8(entry.Text), others);
        box->setObjectName(QString("chkBit%1").arg(entry.Bit));
        othersLayout->addWidget(box);
        m_choices.push_back({entry.Bit, box});
    }
    layout->addWidget(others);

    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel("Da&tei:", this);
    m_file = Named(new QLineEdit(this), "txtFile");
    m_file->setText(StartFolder("BaseData", "INIT.CSV"));
    fileLabel->setBuddy(m_file);
    auto* choose = MakeButton("cmdChoose", "&Wählen …", this);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(choose);
    layout->addLayout(fileRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* start = MakeButton("cmdExport", "Exp&ortieren", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(start);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, kCaption, m_file->text(),
                                                          "Grunddaten (*.csv);;Alle Dateien (*)");
        if (!file.isEmpty()) {
            m_file->setText(file);
            RememberFolder("BaseData", file);
        }
    });
    connect(start, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    CloseOnEscape(this);
    KeepWrappedTextsWhole(this);
}

long FrmExportLexikon::Mask() const
{
    long mask = 0;
    for (const Choice& choice : m_choices)
        if (choice.Box->isChecked())
            mask |= choice.Bit;
    return mask;
}

bool FrmExportLexikon::cmdExport_Click()
{
    const std::string file = S(m_file->text().trimmed());
    if (Mask() == 0) {
        UI().Inform("Bitte mindestens einen Teil zum Exportieren ankreuzen.", MsgIcon::Information, kCaption);
        return false;
    }
    if (file.empty()) {
        UI().Inform("Bitte den Namen der Exportdatei angeben.", MsgIcon::Information, kCaption);
        return false;
    }
    FrmBaseDataProgress progress(this);
    progress.show();
    const bool ok = ExportBaseData(WorkDb(), file, Mask(), &progress);
    progress.close();
    if (ok)
        UI().Inform("Die Grunddaten wurden nach „" + file + "“ exportiert.", MsgIcon::Information, kCaption);
    return ok;
}

} // namespace pf
