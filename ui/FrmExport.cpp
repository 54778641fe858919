#include "ui/FrmExport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "exchange/ExportRun.h"
#include "exchange/clsRecipeExport.h"
#include "planning/ClMenu.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

namespace {

constexpr int kToolsItem = -99;
constexpr int kPlanRole = Qt::UserRole + 1; // a weekly plan in the menu list

std::string Setting(const char* key, const char* defaultValue)
{
    return ReadSetting("", key, defaultValue, false);
}

} // namespace

FrmExport::FrmExport(std::vector<long> ids, std::vector<long> servings, Database* db, QWidget* parent)
    : QWidget(parent), m_ids(std::move(ids)), m_servings(std::move(servings)), m_db(db)
{
    setObjectName("FrmExport");
    CloseOnEscape(this);
    setWindowTitle("Rezepte exportieren");
    auto* layout = new QVBoxLayout(this);

    auto* grid = new QGridLayout;
    auto* modeLabel = new QLabel("For&mat:", this);
    grid->addWidget(modeLabel, 0, 0);
    m_mode = new QComboBox(this);
    modeLabel->setBuddy(m_mode);
    m_mode->setObjectName("cboMode");
    grid->addWidget(m_mode, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Ziel:", this), 1, 0);
    auto* targets = new QHBoxLayout;
    m_toFile = new QRadioButton("Da&tei", this);
    m_toFile->setObjectName("optFile");
    m_toClipboard = new QRadioButton("&Zwischenablage", this);
    m_toClipboard->setObjectName("optClipboard");
    m_toWord = new QRadioButton("Text&verarbeitung", this);
    m_toWord->setObjectName("optWord");
    targets->addWidget(m_toFile);
    targets->addWidget(m_toClipboard);
    targets->addWidget(m_toWord);
    targets->addStretch(1);
    grid->addLayout(targets, 1, 1, 1, 2);
    auto* fileLabel = new QLabel("Dat&ei:", this);
    grid->addWidget(fileLabel, 2, 0);
    m_file = new QLineEdit(QString::fromStdString(Setting("LASTEXPORTPATH", "")), this);
    fileLabel->setBuddy(m_file);
    m_file->setObjectName("tbFile");
    grid->addWidget(m_file, 2, 1);
    auto* browse = MakeButton("cmdBrowse", "…", this);
    grid->addWidget(browse, 2, 2);
    layout->addLayout(grid);

    m_append = MakeCheck("chkAppend", "A&n vorhandene Datei anhängen", this);
    m_subRecipes = MakeCheck("chkSubRecipes", "&Unterrezepte mit exportieren", this);
    m_subRecipes->setChecked(AppContext::Current().Options.ExportAbhaengigkeiten != 0);
    m_parents = MakeCheck("chkParents", "&Basisrezepte mit exportieren", this);
    layout->addWidget(m_append);
    layout->addWidget(m_subRecipes);
    layout->addWidget(m_parents);

    m_options = new QGroupBox(this);
    m_options->setObjectName("fraOptions");
    auto* options = new QGridLayout(m_options);
    auto* styleLabel = new QLabel("Sti&l:", m_options);
    options->addWidget(styleLabel, 0, 0);
    m_htmlType = new QComboBox(m_options);
    styleLabel->setBuddy(m_htmlType);
    m_htmlType->setObjectName("cboHTMLType");
    m_htmlType->addItems(
        {"Verweis auf pfannola.css", "Stylesheet einbetten", "Nur Rezeptblöcke (zum Einbetten)"});
    m_htmlType->setCurrentIndex(
        std::clamp(static_cast<int>(SettingToLong(Setting("LASTEXPORTHTMLTYPE", "0"))), 0, 2));
    options->addWidget(m_htmlType, 0, 1);
    m_utf8 = MakeCheck("chkUTF8", "UTF-&8", m_options);
    m_utf8->setChecked(SettingToBool(Setting("LASTEXPORTHTMLUTF8", "1")));
    options->addWidget(m_utf8, 1, 0, 1, 2);
    m_download = MakeCheck("chkHTMLDownloadSection", "Do&wnloadbereich anfügen", m_options);
    m_download->setChecked(SettingToBool(Setting("LASTEXPORTHTMLDOWNLOAD", "1")));
    options->addWidget(m_download, 2, 0, 1, 2);
    m_picturePathOn = MakeCheck("chkPicturePath", "Bildverzei&chnis:", m_options);
    m_picturePathOn->setChecked(!SettingToBool(Setting("LASTEXPORTPICRELATIV", "1")));
    options->addWidget(m_picturePathOn, 3, 0);
    m_picturePath = new QLineEdit(QString::fromStdString(Setting("LASTEXPORTPICTUREPATH", "")), m_options);
    m_picturePath->setObjectName("tbPicturePath");
    options->addWidget(m_picturePath, 3, 1);
    layout->addWidget(m_options);

    auto* separator = new QHBoxLayout;
    m_separatorLabel = new QLabel("T&rennzeichen:", this);
    m_separator = Named(new QComboBox(this), "cboSeparator");
    m_separatorLabel->setBuddy(m_separator);
    // Semicolons for German spreadsheets, commas for English ones.
    m_separator->addItem("Semikolon ( ; )", QVariant::fromValue<int>(';'));
    m_separator->addItem("Komma ( , )", QVariant::fromValue<int>(','));
    separator->addWidget(m_separatorLabel);
    separator->addWidget(m_separator);
    separator->addStretch(1);
    layout->addLayout(separator);

    m_menuBox = new QGroupBox("Menüs mit ex&portieren", this);
    m_menuBox->setObjectName("fraMenus");
    auto* menus = new QVBoxLayout(m_menuBox);
    m_menus = Named(new QListWidget(m_menuBox), "lstMenus");
    RoomyRows(m_menus);
    // Wide enough for a weekly plan's entry with its number and mark.
    m_menus->setMinimumWidth(
        m_menus->fontMetrics().horizontalAdvance("Wochenplan Woche 52 - 28.12.2026 (#99) !") + 32);
    menus->addWidget(m_menus, 1);
    layout->addWidget(m_menuBox, 1);
    FillMenuList();

    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* start = MakeButton("cmdStart", "Exp&ortieren", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(start);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    FillModeList();
    const long last = SettingToLong(Setting("LASTEXPORTMODE", "21"));
    const int index = m_mode->findData(static_cast<int>(last / 10 * 10));
    m_mode->setCurrentIndex(index >= 0 ? index : 0);
    (clsRecipeExport::isFileBasedExport(static_cast<int>(last)) ? m_toFile : m_toClipboard)->setChecked(true);
    cboMode_Click();

    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] { cboMode_Click(); });
    for (QRadioButton* option : {m_toFile, m_toClipboard, m_toWord})
        connect(option, &QRadioButton::toggled, this, [this] { cboMode_Click(); });
    connect(browse, &QPushButton::clicked, this, [this] { BrowseFile(); });
    connect(start, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
}

void FrmExport::FillModeList()
{
    // Each type once, with the first number that names it; then the external tools.
    std::string previous;
    for (int i = 0; i < 100; ++i) {
        const std::string name = clsRecipeExport::ModeTypeName(i);
        if (!name.empty() && name != previous)
            m_mode->addItem(QString::fromStdString(name), i);
        previous = name;
    }
    m_mode->addItem("--- Werkzeuge ---", kToolsItem);
    const auto& tools = AppContext::Current().ToolTable;
    for (std::size_t i = 0; i < tools.size(); ++i)
        m_mode->addItem(QString::fromStdString(tools[i].Name), -static_cast<int>(i + 1));
}

void FrmExport::FillMenuList()
{
    ClMenu menu;
    menu.SetDB(m_db);
    for (const ClMenu::Choice& choice : menu.MenuChoices()) {
        auto* item = new QListWidgetItem(Q(choice.Text), m_menus);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(choice.id));
        item->setCheckState(Qt::Unchecked);
    }
    // Weekly plans only in CSV, as rows of their dishes; newest first like the menus.
    std::vector<ClMenu::WPListEntry> plans = menu.RefreshWPList();
    std::reverse(plans.begin(), plans.end());
    for (const ClMenu::WPListEntry& plan : plans) {
        auto* item = new QListWidgetItem(Q("Wochenplan " + plan.Title), m_menus);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(plan.id));
        item->setData(kPlanRole, true);
        item->setCheckState(Qt::Unchecked);
    }
}

void FrmExport::CheckMenus(const std::vector<long>& menuIds)
{
    bool ticked = false;
    bool plan = false;
    for (int i = 0; i < m_menus->count(); ++i) {
        QListWidgetItem* item = m_menus->item(i);
        const long id = static_cast<long>(item->data(Qt::UserRole).toLongLong());
        if (std::find(menuIds.begin(), menuIds.end(), id) != menuIds.end()) {
            item->setCheckState(Qt::Checked);
            ticked = true;
            plan = plan || item->data(kPlanRole).toBool();
        }
    }
    // A ticked menu goes out with Mensax or CSV, a weekly plan only with CSV: a chosen type that
    // would leave them out gives way to one that carries them.
    const int type = SelectedType();
    if (!ticked || type == 9 || (type == 6 && !plan))
        return;
    const int wanted = plan ? 9 : 6;
    for (int i = 0; i < m_mode->count(); ++i) {
        const int item = m_mode->itemData(i).toInt();
        if (item >= 0 && clsRecipeExport::GetModeType(item) == wanted) {
            m_mode->setCurrentIndex(i);
            return;
        }
    }
}

std::vector<long> FrmExport::CheckedMenus() const
{
    std::vector<long> ids;
    if (m_menuBox->isHidden())
        return ids;
    for (int i = 0; i < m_menus->count(); ++i) {
        const QListWidgetItem* item = m_menus->item(i);
        if (!item->isHidden() && item->checkState() == Qt::Checked)
            ids.push_back(static_cast<long>(item->data(Qt::UserRole).toLongLong()));
    }
    return ids;
}

int FrmExport::SelectedType() const
{
    const int item = m_mode->currentData().toInt();
    return item < 0 ? -1 : clsRecipeExport::GetModeType(item);
}

int FrmExport::SelectedMode() const
{
    const int type = SelectedType();
    if (type < 0)
        return -1;
    if (type == 4) {
        if (m_toWord->isChecked())
            return clsRecipeExport::kRtfWord;
        return m_toFile->isChecked() ? clsRecipeExport::kRtfFile : clsRecipeExport::kRtfControl;
    }
    if (type == 8) // the structure is a text for the clipboard only
        return clsRecipeExport::kStructureClipboard;
    return type * 10 + (m_toFile->isChecked() ? 1 : 0);
}

void FrmExport::cboMode_Click()
{
    const int type = SelectedType();
    m_toWord->setVisible(type == 4);
    // A database copy is always a file.
    m_toClipboard->setEnabled(type != 2);
    if (type == 2 && m_toClipboard->isChecked())
        m_toFile->setChecked(true);
    if (type != 4 && m_toWord->isChecked())
        m_toFile->setChecked(true);
    m_options->setVisible(type == 3);
    m_menuBox->setVisible((type == 6 || type == 9) && m_menus->count() > 0);
    m_separatorLabel->setVisible(type == 9);
    m_separator->setVisible(type == 9);
    for (int i = 0; i < m_menus->count(); ++i)
        m_menus->item(i)->setHidden(type != 9 && m_menus->item(i)->data(kPlanRole).toBool());
    m_options->setTitle(m_mode->currentText() + " Export Optionen");
    const int mode = SelectedMode();
    const bool toFile = mode >= 0 && clsRecipeExport::isFileBasedExport(mode);
    m_file->setEnabled(toFile);
    clsRecipeExport probe;
    m_append->setEnabled(toFile && probe.IsAppendPossible(mode));
    UpdateStatus();
}

void FrmExport::UpdateStatus()
{
    const int mode = SelectedMode();
    if (mode < 0) {
        m_status->clear();
        return;
    }
    m_status->setText(QString::fromStdString(
        clsRecipeExport::ModeTypeName(mode) + " via " +
        (mode == clsRecipeExport::kRtfWord ? std::string("Textverarbeitung") : ExportTargetName(mode))));
}

void FrmExport::BrowseFile()
{
    FileRequest request;
    request.Caption = "Exportdatei";
    request.Filter = clsRecipeExport::FileFilter(std::max(SelectedMode(), 0));
    request.InitialPath = m_file->text().toStdString();
    request.Purpose = "Export";
    request.Save = true;
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (!files.empty())
        m_file->setText(QString::fromStdString(files.front()));
}

void FrmExport::SaveChoices()
{
    WriteSetting("", "LASTEXPORTMODE", std::to_string(SelectedMode()), false);
    WriteSetting("", "LASTEXPORTPATH", m_file->text().toStdString(), false);
    WriteSetting("", "LASTEXPORTPICTUREPATH", m_picturePath->text().toStdString(), false);
    WriteSetting("", "LASTEXPORTHTMLUTF8", m_utf8->isChecked() ? "1" : "0", false);
    WriteSetting("", "LASTEXPORTHTMLTYPE", std::to_string(m_htmlType->currentIndex()), false);
    WriteSetting("", "LASTEXPORTHTMLDOWNLOAD", m_download->isChecked() ? "1" : "0", false);
    WriteSetting("", "LASTEXPORTPICRELATIV", m_picturePathOn->isChecked() ? "0" : "1", false);
}

void FrmExport::cmdStart_Click()
{
    const int mode = SelectedMode();
    const std::string caption = m_mode->currentText().toStdString();
    if (mode < 0 || !clsRecipeExport::IsSupportedMode(mode)) {
        UI().Inform("Diese Exportart ist noch nicht verfügbar.", MsgIcon::Information, caption);
        return;
    }
    const std::string file = m_file->text().trimmed().toStdString();
    if (clsRecipeExport::isFileBasedExport(mode) && file.empty()) {
        UI().Inform("Bitte eine Zieldatei angeben.", MsgIcon::Information, caption);
        return;
    }
    SaveChoices();
    ExportRequest request;
    request.Mode = mode;
    request.Ids = m_ids;
    request.Servings = m_servings;
    request.FileName = file;
    request.Append = m_append->isEnabled() && m_append->isChecked();
    request.SubRecipes = m_subRecipes->isChecked();
    request.Parents = m_parents->isChecked();
    request.HtmlFlags = m_htmlType->currentIndex() | (m_utf8->isChecked() ? htmlflags::kUtf8 : 0) |
                        (m_picturePathOn->isChecked() ? htmlflags::kPicturePathPrefix : 0);
    request.PicturePath = m_picturePath->text().toStdString();
    request.HtmlDownload = m_download->isChecked();
    request.MenuIds = CheckedMenus();
    request.CsvSeparator = static_cast<char>(m_separator->currentData().toInt());
    const ExportOutcome outcome = RunExport(request, m_db);
    if (outcome.Cancelled && outcome.Ok)
        return;
    UI().Inform(outcome.Message, outcome.Ok ? MsgIcon::Information : MsgIcon::Critical, caption);
}

} // namespace pf
