#include "ui/frmOptions1.h"

#include "core/AppContext.h"
#include "core/RememberedAnswers.h"
#include "core/Settings.h"
#include "core/UserSettings.h"
#include "db/DatabaseChoice.h"
#include "db/WorkDatabase.h"
#include "model/ClIngredient.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

UserSettings& Options()
{
    return AppContext::Current().Options;
}

void Store(const char* key, long value)
{
    WriteSetting("", key, std::to_string(value), false);
}

// The unit systems of the display, by their EditMasse value.
const struct
{
    long Value;
    const char* Text;
} kUnitSystems[] = {{0, "Metrisch (g, ml)"}, {1, "Britisch"}, {2, "Amerikanisch"}};

} // namespace

OptionsNotifier& OptionsNotifier::Instance()
{
    static OptionsNotifier notifier;
    return notifier;
}

frmOptions1::frmOptions1(QWidget* parent) : QWidget(parent)
{
    setObjectName("frmOptions1");
    setWindowTitle("Einstellungen");
    auto* layout = new QVBoxLayout(this);
    auto* tabs = Named(new QTabWidget(this), "tabOptions");
    tabs->addTab(BuildDisplay(), "Anzei&ge");
    tabs->addTab(BuildExchange(), "Im&port und Export");
    tabs->addTab(BuildQuestions(), "F&ragen");
    tabs->addTab(BuildDatabase(), "Daten&bank");
    layout->addWidget(tabs, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel("Jede Änderung gilt sofort.", this), 1);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    CloseOnEscape(this);
}

QCheckBox* frmOptions1::OptionCheck(const char* name, const QString& text, const char* key, bool on,
                                    std::function<void(bool)> apply, QWidget* parent)
{
    auto* box = MakeCheck(name, text, parent);
    box->setChecked(on);
    connect(box, &QCheckBox::toggled, this, [key, apply = std::move(apply)](bool checked) {
        Store(key, checked ? 1 : 0);
        apply(checked);
    });
    return box;
}

QWidget* frmOptions1::BuildDisplay()
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    m_unitSystem = Named(new QComboBox(page), "cboUnitSystem");
    for (const auto& system : kUnitSystems) {
        m_unitSystem->addItem(QString::fromUtf8(system.Text), QVariant::fromValue<qlonglong>(system.Value));
        if (system.Value == Options().EditMasse)
            m_unitSystem->setCurrentIndex(m_unitSystem->count() - 1);
    }
    form->addRow("&Maßsystem der Anzeige:", m_unitSystem);
    connect(m_unitSystem, &QComboBox::currentIndexChanged, this, [this](int index) {
        const long value = static_cast<long>(m_unitSystem->itemData(index).toLongLong());
        Options().EditMasse = value;
        AppContext::Current().UnitDisplayFactor = UnitDisplayFactor(value);
        Store("EditMasse", value);
        emit OptionsNotifier::Instance().optionsChanged();
    });

    auto* amounts = new QWidget(page);
    auto* amountLayout = new QHBoxLayout(amounts);
    amountLayout->setContentsMargins(0, 0, 0, 0);
    m_fractions = Named(new QRadioButton("Brü&che (1 1/2)", amounts), "optFractions");
    m_decimals = Named(new QRadioButton("D&ezimalzahlen (1,5)", amounts), "optDecimals");
    amountLayout->addWidget(m_fractions);
    amountLayout->addWidget(m_decimals);
    amountLayout->addStretch(1);
    const bool decimal = (Options().EditFlags & kEditFlagDecimalMode) != 0;
    (decimal ? m_decimals : m_fractions)->setChecked(true);
    form->addRow("Mengen als:", amounts);
    connect(m_decimals, &QRadioButton::toggled, this, [](bool on) {
        long& flags = Options().EditFlags;
        flags = on ? (flags | kEditFlagDecimalMode) : (flags & ~kEditFlagDecimalMode);
        Store("EditFlags", flags);
        emit OptionsNotifier::Instance().optionsChanged();
    });
    return page;
}

QWidget* frmOptions1::BuildExchange()
{
    // The on/off options of import and export that are kept as numbers.
    struct NumberOption
    {
        const char* Name;
        const char* Text;
        const char* Key;
        int UserSettings::*Member;
    };
    const NumberOption importOptions[] = {
        {"chkImportUmlaute", "&Umlaute reparieren (ae → ä)", "ImportUmlaute", &UserSettings::ImportUmlaute},
        {"chkImportNoUmlaute", "Umlaute &nicht umwandeln", "ImportNoUmlaute", &UserSettings::ImportNoUmlaute},
    };
    const NumberOption exportOptions[] = {
        {"chkExportUmlautConvert", "Umlaute &konvertieren (ä → ae)", "ExportUmlautConvert",
         &UserSettings::ExportUmlautConvert},
        {"chkExportNoPictures", "Bilder &weglassen", "ExportNoPictures", &UserSettings::ExportNoPictures},
        {"chkExportNoBLS", "&Ohne Lebensmittelschlüssel", "ExportNoBLS", &UserSettings::ExportNoBLS},
        {"chkExportTitelIndex", "Titel&verzeichnis", "ExportTitelIndex", &UserSettings::ExportTitelIndex},
    };
    const auto addChecks = [this](QGroupBox* group, QVBoxLayout* layout, const auto& options) {
        for (const NumberOption& option : options) {
            const auto member = option.Member;
            layout->addWidget(OptionCheck(
                option.Name, QString::fromUtf8(option.Text), option.Key, Options().*member != 0,
                [member](bool on) { Options().*member = on ? 1 : 0; }, group));
        }
    };

    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* import = new QGroupBox("Import", page);
    auto* importLayout = new QVBoxLayout(import);
    addChecks(import, importLayout, importOptions);
    importLayout->addWidget(OptionCheck(
        "chkImportBLSStrong", "&Lebensmittelschlüssel nur bei sicherer Zuordnung", "ImportBLSStrong",
        Options().ImportBLSStrong, [](bool on) { Options().ImportBLSStrong = on; }, import));
    layout->addWidget(import);

    auto* exportBox = new QGroupBox("Export", page);
    auto* exportLayout = new QVBoxLayout(exportBox);
    addChecks(exportBox, exportLayout, exportOptions);
    auto* breakRow = new QHBoxLayout;
    auto* width = Named(new QSpinBox(exportBox), "spnExportBreak");
    width->setRange(40, 250);
    width->setValue(Options().ExportBreak);
    auto* widthLabel = new QLabel("&Zeilenbreite der Textformate:", exportBox);
    widthLabel->setBuddy(width);
    breakRow->addWidget(widthLabel);
    breakRow->addWidget(width);
    breakRow->addStretch(1);
    exportLayout->addLayout(breakRow);
    connect(width, &QSpinBox::valueChanged, this, [](int value) {
        Options().ExportBreak = value;
        Store("ExportBreak", value);
    });
    layout->addWidget(exportBox);
    layout->addStretch(1);
    return page;
}

QWidget* frmOptions1::BuildQuestions()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Fragen, bei denen „Nicht mehr fragen“ angekreuzt wurde:", page));
    m_questions = Named(new QListWidget(page), "lstQuestions");
    layout->addWidget(m_questions, 1);
    auto* reset = MakeButton("cmdAskAgain", "&Jede Frage wieder stellen", page);
    layout->addWidget(reset, 0, Qt::AlignLeft);
    connect(reset, &QPushButton::clicked, this, [this] {
        ForgetRememberedAnswers();
        FillQuestions();
    });
    FillQuestions();
    return page;
}

void frmOptions1::FillQuestions()
{
    m_questions->clear();
    for (const SilenceableQuestion& question : SilenceableQuestions())
        m_questions->addItem(
            QString::fromUtf8(question.Description) + ": " +
            (HasRememberedAnswer(question.Key) ? "wird nicht mehr gefragt" : "wird gefragt"));
}

QWidget* frmOptions1::BuildDatabase()
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    m_dbFolder = Named(new QLabel(page), "lblDbFolder");
    m_dbFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_dbFolder->setWordWrap(true);
    auto* choose = MakeButton("cmdDbFolder", "Ordner &wählen …", page);
    m_dbFolderDefault = MakeButton("cmdDbFolderDefault", "&Zurück zum Standard", page);
    auto* folderButtons = new QHBoxLayout;
    folderButtons->addWidget(choose);
    folderButtons->addWidget(m_dbFolderDefault);
    folderButtons->addStretch(1);
    form->addRow("Ordner der Datenbanken:", m_dbFolder);
    form->addRow("", folderButtons);
    const auto hint = [page](const char* text) {
        auto* label = new QLabel(QString::fromUtf8(text), page);
        label->setWordWrap(true);
        return label;
    };
    form->addRow("", hint("Dort beginnt die Dateiauswahl für Datenbanken, und dort wird eine neue "
                          "Datenbank angelegt."));
    auto* current =
        Named(new QLabel(Q(Connection().DbPath.empty() ? std::string("-") : Connection().DbPath), page),
              "lblDbCurrent");
    current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    current->setWordWrap(true);
    form->addRow("Geöffnete Datenbank:", current);
    form->addRow("", hint("Eine andere Datenbank wählt „Datenbank öffnen“ im Menü „Datei“."));
    form->addRow("", OptionCheck(
                         "chkBackupReminder", "An die Da&tensicherung erinnern", "BackupReminder",
                         Options().BackupReminder, [](bool on) { Options().BackupReminder = on; }, page));
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, "Ordner der Datenbanken wählen", Q(DatabaseFolder()));
        if (!folder.isEmpty())
            SetDbFolder(S(folder));
    });
    connect(m_dbFolderDefault, &QPushButton::clicked, this, [this] { SetDbFolder(""); });
    ShowDbFolder();
    return page;
}

void frmOptions1::SetDbFolder(const std::string& folder)
{
    SetDatabaseFolder(folder == DefaultDatabaseFolder() ? std::string() : folder);
    ShowDbFolder();
}

void frmOptions1::ShowDbFolder()
{
    const std::string folder = DatabaseFolder();
    const bool standard = folder == DefaultDatabaseFolder();
    m_dbFolder->setText(Q(folder) + (standard ? " (Standard)" : ""));
    m_dbFolderDefault->setEnabled(!standard);
}

} // namespace pf
