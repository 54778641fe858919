#include "ui/frmOptions1.h"

#include "core/AppContext.h"
#include "core/ExternalTools.h"
#include "core/RememberedAnswers.h"
#include "core/Settings.h"
#include "core/UserSettings.h"
#include "db/DatabaseChoice.h"
#include "db/WorkDatabase.h"
#include "model/ClIngredient.h"
#include "output/clsRecipePrint.h"
#include "ui/ErrorTrap.h"
#include "ui/ExternalToolRun.h"
#include "ui/Mainform.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
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

// The sections a printed recipe may show besides title, ingredients and instructions, by their
// bit of PrintSimple.
const struct
{
    long Bit;
    const char* Text;
} kPrintSections[] = {
    {clsRecipePrint::kSource, "Quelle"},
    {clsRecipePrint::kOrigin, "Herkunft"},
    {clsRecipePrint::kKeeping, "Haltbarkeitsangaben"},
    {clsRecipePrint::kUtensils, "Utensilien"},
    {clsRecipePrint::kCategories, "Kategorien"},
    {clsRecipePrint::kTimes, "Vorbereitungs- und Zubereitungszeit"},
    {clsRecipePrint::kNotes, "Notizen"},
    {clsRecipePrint::kHeaderPicture, "Erstes Bild oben neben dem Titel"},
    {clsRecipePrint::kPicturesAfter, "Bilder nach dem Text"},
    {clsRecipePrint::kMenuCardTitle, "Titel der Menükarte"},
    {clsRecipePrint::kGuests, "Gäste, denen das Rezept serviert wurde"},
    {clsRecipePrint::kWine, "Weinempfehlung"},
};

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
    tabs->addTab(BuildDisplay(), "Anzei&ge und Ausdruck");
    tabs->addTab(BuildExchange(), "Im&port und Export");
    tabs->addTab(BuildRecipes(), "Rezepte und &Suche");
    tabs->addTab(BuildQuestions(), "F&ragen");
    tabs->addTab(BuildDatabase(), "Daten&bank");
    tabs->addTab(BuildTools(), "&Externe Programme");
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
        if (key)
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
    m_decimals = Named(new QRadioButton("Dezima&lzahlen (1,5)", amounts), "optDecimals");
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
    form->addRow(BuildPrint(page));
    return page;
}

QWidget* frmOptions1::BuildPrint(QWidget* page)
{
    auto* group = new QGroupBox("Ausdruck", page);
    // The group keeps its own height; room the page has to spare stays below it.
    group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(group);
    auto* sections = Named(new QListWidget(group), "lstPrintSections");
    for (const auto& section : kPrintSections) {
        auto* item = new QListWidgetItem(QString::fromUtf8(section.Text), sections);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(section.Bit));
        item->setCheckState((Options().PrintSimple & section.Bit) ? Qt::Checked : Qt::Unchecked);
    }
    // Just tall enough for every section without scrolling.
    sections->setFixedHeight(sections->sizeHintForRow(0) * sections->count() + 2 * sections->frameWidth() + 4);
    auto* label = new QLabel("&Weitere Angaben im Ausdruck:", group);
    label->setBuddy(sections);
    layout->addWidget(label);
    layout->addWidget(sections);
    // Bits without an entry here stay as they are.
    connect(sections, &QListWidget::itemChanged, this, [](QListWidgetItem* item) {
        const long bit = static_cast<long>(item->data(Qt::UserRole).toLongLong());
        long& flags = Options().PrintSimple;
        flags = item->checkState() == Qt::Checked ? (flags | bit) : (flags & ~bit);
        Store("PrintSimple", flags);
    });
    layout->addWidget(OptionCheck(
        "chkPrintStandardMode", "&Zutaten zweiteilig: die Zutat fett, dahinter Verarbeitung und Zubereitung",
        "PrintStandardMode", Options().PrintStandardMode != 0,
        [](bool on) { Options().PrintStandardMode = on ? 1 : 0; }, group));
    return group;
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
        {"chkExportNoBLS", "Ohne Lebensmittelschl&üssel", "ExportNoBLS", &UserSettings::ExportNoBLS},
        {"chkExportTitelIndex", "Titel&verzeichnis", "ExportTitelIndex", &UserSettings::ExportTitelIndex},
        {"chkExportUmlautAnsi", "Umlaute im DOS-Zeichensa&tz (Codepage 850) schreiben", "ExportUmlautAnsi",
         &UserSettings::ExportUmlautAnsi},
        {"chkExportAbhaengigkeiten", "Verwendete Rezepte mitexp&ortieren", "ExportAbhaengigkeiten",
         &UserSettings::ExportAbhaengigkeiten},
        {"chkExportHTMLBild", "HTML: Bilder nicht als Datei spei&chern", "ExportHTMLBild",
         &UserSettings::ExportHTMLBild},
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
    // Two bits of ExportFingerprint: the fingerprint line and the food keys of Meal-Master files.
    const struct
    {
        const char* Name;
        const char* Text;
        long Bit;
    } fingerprintBits[] = {
        {"chkExportFingerprint", "Fingerabdruck in Meal-&Master-Dateien schreiben", 1},
        {"chkExportFoodKeys", "Lebensmittelschlüssel für &jede Zutat in Meal-Master-Dateien", 16}};
    for (const auto& bit : fingerprintBits) {
        const long mask = bit.Bit;
        exportLayout->addWidget(OptionCheck(
            bit.Name, QString::fromUtf8(bit.Text), nullptr, (Options().ExportFingerprint & mask) != 0,
            [mask](bool on) {
                long& flags = Options().ExportFingerprint;
                flags = on ? (flags | mask) : (flags & ~mask);
                Store("ExportFingerprint", flags);
            },
            exportBox));
    }
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

QWidget* frmOptions1::BuildRecipes()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* recipes = new QGroupBox("Rezepte", page);
    auto* recipesLayout = new QVBoxLayout(recipes);
    recipesLayout->addWidget(OptionCheck(
        "chkEditSaveDel", "Gelöschte Rezepte in den Papierkorb &legen (sonst endgültig löschen)",
        "EditSaveDel", Options().EditSaveDel, [](bool on) { Options().EditSaveDel = on; }, recipes));
    recipesLayout->addWidget(OptionCheck(
        "chkEditNoBLSXY", "Bei der Lebensmittelsuche &zusammengesetzte Lebensmittel weglassen", "EditNoBLSXY",
        Options().EditNoBLSXY, [](bool on) { Options().EditNoBLSXY = on; }, recipes));
    auto* sortRow = new QHBoxLayout;
    auto* sort = Named(new QComboBox(recipes), "cboEditSortModus");
    sort->addItems({"nach Titel", "neueste zuerst"});
    sort->setCurrentIndex(Options().EditSortModus == 1 ? 1 : 0);
    auto* sortLabel = new QLabel("S&ortierung der Suchtreffer:", recipes);
    sortLabel->setBuddy(sort);
    sortRow->addWidget(sortLabel);
    sortRow->addWidget(sort);
    sortRow->addStretch(1);
    recipesLayout->addLayout(sortRow);
    connect(sort, &QComboBox::currentIndexChanged, this, [](int index) {
        Options().EditSortModus = index;
        Store("EditSortModus", index);
    });
    layout->addWidget(recipes);

    auto* mainBox = new QGroupBox("Hauptfenster", page);
    auto* windowLayout = new QVBoxLayout(mainBox);
    windowLayout->addWidget(OptionCheck(
        "chkShowTips", "Tipps beim S&tart zeigen", "ShowTips", Options().ShowTips,
        [](bool on) { Options().ShowTips = on; }, mainBox));
    const bool toolbar = SettingToBool(ReadSetting("", "Toolbar", "True", false));
    windowLayout->addWidget(OptionCheck(
        "chkToolbar", "Symbolleiste a&nzeigen", nullptr, toolbar,
        [this](bool on) {
            WriteSetting("", "Toolbar", on ? "True" : "False", false);
            if (auto* main = qobject_cast<Mainform*>(window()))
                main->findChild<QToolBar*>("Toolbar")->setVisible(on);
        },
        mainBox));
    const bool iconText = SettingToBool(ReadSetting("", "ShowIcons", "FALSE", false));
    windowLayout->addWidget(OptionCheck(
        "chkShowIcons", "Beschriftung unter den Sy&mbolen", nullptr, iconText,
        [this](bool on) {
            WriteSetting("", "ShowIcons", on ? "True" : "False", false);
            if (auto* main = qobject_cast<Mainform*>(window()))
                main->SetIconTextShown(on);
        },
        mainBox));
    layout->addWidget(mainBox);
    layout->addStretch(1);
    return page;
}

QWidget* frmOptions1::BuildTools()
{
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    m_tools = Named(new QListWidget(page), "lstTools");
    m_tools->setMinimumWidth(160);
    left->addWidget(m_tools, 1);
    auto* listButtons = new QHBoxLayout;
    auto* add = MakeButton("cmdToolNew", "Ne&u", page);
    auto* remove = MakeButton("cmdToolDelete", "Lös&chen", page);
    listButtons->addWidget(add);
    listButtons->addWidget(remove);
    left->addLayout(listButtons);
    layout->addLayout(left);

    auto* form = new QFormLayout;
    m_toolName = Named(new QLineEdit(page), "txtToolName");
    m_toolCommand = Named(new QLineEdit(page), "txtToolCommand");
    m_toolDir = Named(new QLineEdit(page), "txtToolDir");
    m_toolFile = Named(new QLineEdit(page), "txtToolFile");
    m_toolFormat = Named(new QComboBox(page), "cboToolFormat");
    m_toolFormat->addItem("Meal-Master", QVariant::fromValue<qlonglong>(tooltype::kMealMaster));
    m_toolFormat->addItem("Rezkonv", QVariant::fromValue<qlonglong>(tooltype::kRezkonv));
    m_toolFormat->addItem("Mensax", QVariant::fromValue<qlonglong>(tooltype::kMensax));
    const auto row = [&form, page](const char* text, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(text), page);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("&Name:", m_toolName);
    row("Befehls&zeile:", m_toolCommand);
    row("Arbeits&ordner:", m_toolDir);
    row("A&ktionsdatei:", m_toolFile);
    row("For&mat:", m_toolFormat);
    const struct
    {
        const char* Name;
        const char* Text;
        long Bit;
    } bits[] = {
        {"chkToolExport", "Ge&wählte Rezepte vorher exportieren", toolaction::kExportBefore},
        {"chkToolImport", "Ergebnis danach impor&tieren", toolaction::kImportAfter},
        {"chkToolEdit", "Importdaten bearbeiten vor dem eigent&lichen Import", toolaction::kEditImport},
        {"chkToolClipboard", "Über die Zwischenablage statt &über die Datei", toolaction::kClipboard},
        {"chkToolShow", "Befehlszeile &vor dem Start zeigen", toolaction::kShowCommand},
    };
    for (const auto& bit : bits) {
        auto* box = MakeCheck(bit.Name, QString::fromUtf8(bit.Text), page);
        form->addRow("", box);
        m_toolBits.push_back({bit.Bit, box});
        connect(box, &QCheckBox::toggled, this, [this] { StoreTool(); });
    }
    QString placeholders = "Platzhalter in Befehlszeile und Aktionsdatei: ";
    for (const ToolPlaceholder& placeholder : ToolPlaceholders())
        placeholders +=
            QString::fromUtf8(placeholder.Name) + " (" + QString::fromUtf8(placeholder.Description) + "), ";
    placeholders += "dazu Umgebungsvariablen als %NAME%. Das Programm wird ohne Shell gestartet.";
    auto* hint = new QLabel(placeholders, page);
    hint->setWordWrap(true);
    form->addRow("", hint);
    auto* test = MakeButton("cmdToolTest", "&Jetzt testen", page);
    form->addRow("", test);
    layout->addLayout(form, 1);

    for (QLineEdit* edit : {m_toolName, m_toolCommand, m_toolDir, m_toolFile})
        connect(edit, &QLineEdit::textEdited, this, [this] { StoreTool(); });
    connect(m_toolFormat, &QComboBox::activated, this, [this] { StoreTool(); });
    connect(m_tools, &QListWidget::currentRowChanged, this, [this] { ShowTool(); });
    connect(add, &QPushButton::clicked, this, [this] {
        ExternalTool tool;
        tool.Name = "Neues Programm";
        tool.Action = 0;
        AppContext::Current().ToolTable.push_back(tool);
        WriteToolTable(AppContext::Current().ToolTable);
        FillTools(static_cast<int>(AppContext::Current().ToolTable.size()) - 1);
        m_toolName->setFocus();
        m_toolName->selectAll();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int slot = CurrentToolSlot();
        if (slot < 0)
            return;
        std::vector<ExternalTool>& tools = AppContext::Current().ToolTable;
        tools.erase(tools.begin() + slot);
        WriteToolTable(tools);
        FillTools(std::min(slot, static_cast<int>(tools.size()) - 1));
    });
    connect(test, &QPushButton::clicked, this, [this] {
        const int slot = CurrentToolSlot();
        if (slot < 0)
            return;
        // The test shows the command line as it will run, whatever the tool's own choice.
        ExternalTool tool = AppContext::Current().ToolTable[static_cast<std::size_t>(slot)];
        tool.Action |= toolaction::kShowCommand;
        RunTrapped([&] { RunExternalTool(tool, {}, this); });
    });
    FillTools(0);
    return page;
}

int frmOptions1::CurrentToolSlot() const
{
    QListWidgetItem* item = m_tools->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void frmOptions1::FillTools(int slot)
{
    m_filling = true;
    m_tools->clear();
    const std::vector<ExternalTool>& tools = AppContext::Current().ToolTable;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (!ToolUsed(tools[i]))
            continue;
        auto* item = new QListWidgetItem(Q(tools[i].Name), m_tools);
        item->setData(Qt::UserRole, static_cast<int>(i));
        if (static_cast<int>(i) == slot)
            m_tools->setCurrentItem(item);
    }
    if (!m_tools->currentItem() && m_tools->count() > 0)
        m_tools->setCurrentRow(0);
    m_filling = false;
    ShowTool();
}

void frmOptions1::ShowTool()
{
    m_filling = true;
    const int slot = CurrentToolSlot();
    const ExternalTool none;
    const ExternalTool& tool =
        slot < 0 ? none : AppContext::Current().ToolTable[static_cast<std::size_t>(slot)];
    for (QLineEdit* edit : {m_toolName, m_toolCommand, m_toolDir, m_toolFile})
        edit->setEnabled(slot >= 0);
    m_toolFormat->setEnabled(slot >= 0);
    m_toolName->setText(Q(tool.Name));
    m_toolCommand->setText(Q(tool.Command));
    m_toolDir->setText(Q(tool.Workingdir));
    m_toolFile->setText(Q(tool.ActionFilename));
    m_toolFormat->setCurrentIndex(
        std::max(0, m_toolFormat->findData(QVariant::fromValue<qlonglong>(tool.ActionType))));
    for (const ToolBit& bit : m_toolBits) {
        bit.Box->setEnabled(slot >= 0);
        bit.Box->setChecked(slot >= 0 && (tool.Action & bit.Bit) != 0);
    }
    m_filling = false;
}

void frmOptions1::StoreTool()
{
    const int slot = CurrentToolSlot();
    if (m_filling || slot < 0)
        return;
    ExternalTool& tool = AppContext::Current().ToolTable[static_cast<std::size_t>(slot)];
    // A tool keeps a name, so that its slot is not read as unused.
    const QString name = m_toolName->text().trimmed();
    tool.Name = name.isEmpty() ? std::string("Programm") : S(name);
    tool.Command = S(m_toolCommand->text().trimmed());
    tool.Workingdir = S(m_toolDir->text().trimmed());
    tool.ActionFilename = S(m_toolFile->text().trimmed());
    tool.ActionType = static_cast<long>(m_toolFormat->currentData().toLongLong());
    tool.Action = 0;
    for (const ToolBit& bit : m_toolBits)
        if (bit.Box->isChecked())
            tool.Action |= bit.Bit;
    WriteToolTable(AppContext::Current().ToolTable);
    m_tools->currentItem()->setText(Q(tool.Name));
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
