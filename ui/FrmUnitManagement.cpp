#include "ui/FrmUnitManagement.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "db/Value.h"
#include "model/ClUnit.h"
#include "model/UnitManagement.h"
#include "model/clsRecipeUnit.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// Columns of the unit table.
enum Column {
    kColId,
    kColLongD,
    kColShortD,
    kColLongE,
    kColShortE,
    kColLongUS,
    kColShortUS,
    kColUK2D,
    kColUS2D,
    kColUnscaled,
    kColNoFraction,
    kColAutoScaleUnit,
    kColAutoScaleValue,
    kColNaehrUnit,
    kColNaehrValue,
    kColumnCount
};

// Factors are shown with the German decimal comma; either separator reads back.
QString DecimalText(Decimal4 value)
{
    return Q(value.ToString()).replace('.', ',');
}

std::optional<Decimal4> ParseDecimal(const QString& text)
{
    const std::string trimmed = text.trimmed().toStdString();
    if (trimmed.empty())
        return Decimal4();
    bool found = false;
    LeadingNumber(trimmed, &found);
    if (!found)
        return std::nullopt;
    return Decimal4::Parse(trimmed);
}

void Inform(const std::string& text, MsgIcon icon = MsgIcon::Information)
{
    UI().Inform(text, icon, AppContext::Current().AppCaption);
}

} // namespace

FrmUnitManagement::FrmUnitManagement(ClUnit& units, clsRecipeUnit& recipeUnits, QWidget* parent)
    : QWidget(parent), m_units(units), m_recipeUnits(recipeUnits)
{
    setObjectName("FrmUnitManagement");
    CloseOnEscape(this);
    setWindowTitle("Einheiten verwalten");
    m_wasWritable = m_units.IsRW();
    m_units.SetRW(true);

    auto* layout = new QVBoxLayout(this);

    auto* unitBox = new QGroupBox("Masseinheiten", this);
    auto* unitLayout = new QVBoxLayout(unitBox);
    m_table = new QTableWidget(0, kColumnCount, unitBox);
    m_table->setObjectName("tblUnits");
    m_table->setHorizontalHeaderLabels({"ID", "Bezeichnung D", "Kurz D", "Bezeichnung UK", "Kurz UK",
                                        "Bezeichnung US", "Kurz US", "Faktor UK", "Faktor US", "Unskaliert",
                                        "Ohne Bruch", "Skalieren in", "ab Menge", "Nährwert-Einheit",
                                        "Nährwert-Menge"});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setVisible(false);
    unitLayout->addWidget(m_table, 1);
    auto* unitButtons = new QHBoxLayout;
    auto* newUnit = MakeButton("cmdNewUnit", "Ne&ue Einheit", unitBox);
    auto* delUnit = MakeButton("cmdDelUnit", "Einheit &löschen", unitBox);
    unitButtons->addWidget(newUnit);
    unitButtons->addWidget(delUnit);
    unitButtons->addStretch(1);
    unitLayout->addLayout(unitButtons);
    layout->addWidget(unitBox, 3);

    auto* recipeBox = new QGroupBox("Rezept-Einheiten", this);
    auto* recipeLayout = new QHBoxLayout(recipeBox);
    m_recipeList = new QTreeWidget(recipeBox);
    m_recipeList->setObjectName("lstRecipeUnits");
    m_recipeList->setHeaderLabels({"Rezept-Einheit", "Rezepte"});
    m_recipeList->setRootIsDecorated(false);
    m_recipeList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    recipeLayout->addWidget(m_recipeList, 1);
    auto* recipeButtons = new QVBoxLayout;
    auto* newRecipeUnit = MakeButton("cmdNewRecipeUnit", "&Neu", recipeBox);
    auto* delRecipeUnit = MakeButton("cmdDelRecipeUnit", "Lö&schen", recipeBox);
    auto* renameRecipeUnit = MakeButton("cmdRenameRecipeUnit", "U&mbenennen", recipeBox);
    auto* mergeRecipeUnit = MakeButton("cmdMergeRecipeUnit", "&Zusammenführen", recipeBox);
    auto* removeDuplicates = MakeButton("cmdRemoveDuplicates", "Doppelte &entfernen", recipeBox);
    for (QPushButton* button :
         {newRecipeUnit, delRecipeUnit, renameRecipeUnit, mergeRecipeUnit, removeDuplicates})
        recipeButtons->addWidget(button);
    recipeButtons->addStretch(1);
    recipeLayout->addLayout(recipeButtons);
    layout->addWidget(recipeBox, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(newUnit, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdNewUnit_Click(); }); });
    connect(delUnit, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelUnit_Click(); }); });
    connect(newRecipeUnit, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdNewRecipeUnit_Click(); }); });
    connect(delRecipeUnit, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdDelRecipeUnit_Click(); }); });
    connect(renameRecipeUnit, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdRenameRecipeUnit_Click(); }); });
    connect(mergeRecipeUnit, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdMergeRecipeUnit_Click(); }); });
    connect(removeDuplicates, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdRemoveDuplicates_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_table, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!m_filling)
            RunTrapped([this, row, column] { UnitCellChanged(row, column); });
    });

    FillUnits();
    FillRecipeUnits();
    const std::string& title = AppContext::Current().AppTitle;
    UI().Inform(UnitCompatibilityWarning(title), MsgIcon::Warning, "Kompatibilitätswarnung");
}

FrmUnitManagement::~FrmUnitManagement()
{
    m_units.SetRW(m_wasWritable);
}

Database& FrmUnitManagement::Db()
{
    return m_db ? *m_db : WorkDb();
}

void FrmUnitManagement::FillUnits()
{
    m_filling = true;
    const QSignalBlocker blocker(m_table);
    const int selected = m_table->currentRow();
    const int n = m_units.Count();
    // Removing the rows also removes their list boxes.
    m_table->setRowCount(0);
    m_table->setRowCount(n);

    // Scale and nutrient units are chosen from the table by name; the item data is the unit's ID.
    QStringList names{""};
    QList<long> ids{0};
    for (int i = 1; i <= n; ++i) {
        names << Q(m_units.UnitLongD(i));
        ids << m_units.id(i);
    }

    for (int row = 0; row < n; ++row) {
        auto* idItem = new QTableWidgetItem;
        idItem->setFlags(idItem->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, kColId, idItem);
        for (int column : {kColLongD, kColShortD, kColLongE, kColShortE, kColLongUS, kColShortUS})
            m_table->setItem(row, column, new QTableWidgetItem);
        for (int column : {kColUK2D, kColUS2D, kColAutoScaleValue, kColNaehrValue}) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        for (int column : {kColUnscaled, kColNoFraction}) {
            auto* item = new QTableWidgetItem;
            item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
            m_table->setItem(row, column, item);
        }
        for (int column : {kColAutoScaleUnit, kColNaehrUnit}) {
            auto* combo = new QComboBox(m_table);
            combo->setObjectName(QString("cboUnit_%1_%2").arg(row).arg(column));
            for (qsizetype k = 0; k < names.size(); ++k)
                combo->addItem(names[k], QVariant::fromValue(static_cast<qlonglong>(ids[k])));
            connect(combo, &QComboBox::activated, this, [this, combo, row, column](int) {
                RunTrapped([&] {
                    ScaleUnitChosen(row, column, static_cast<long>(combo->currentData().toLongLong()));
                });
            });
            m_table->setCellWidget(row, column, combo);
        }
        ShowUnitRow(row);
    }
    m_table->resizeColumnsToContents();
    if (selected >= 0 && selected < n)
        m_table->selectRow(selected);
    m_filling = false;
}

void FrmUnitManagement::ShowUnitRow(int row)
{
    const bool filling = m_filling;
    m_filling = true;
    const QSignalBlocker blocker(m_table);
    const UnitEntry e = m_units.GetData(row + 1);
    m_table->item(row, kColId)->setText(e.id < 0 ? QString("neu") : QString::number(e.id));
    const std::pair<int, const std::string*> texts[] = {
        {kColLongD, &e.UnitLongD},  {kColShortD, &e.UnitNameD},  {kColLongE, &e.UnitLongE},
        {kColShortE, &e.UnitNameE}, {kColLongUS, &e.UnitLongUS}, {kColShortUS, &e.UnitNameUS}};
    for (const auto& [column, text] : texts)
        m_table->item(row, column)->setText(Q(*text));
    const std::pair<int, Decimal4> numbers[] = {{kColUK2D, e.UK2DFactor},
                                                {kColUS2D, e.US2DFactor},
                                                {kColAutoScaleValue, e.AutoScaleValue},
                                                {kColNaehrValue, e.NaehrScaleValue}};
    for (const auto& [column, value] : numbers)
        m_table->item(row, column)->setText(DecimalText(value));
    m_table->item(row, kColUnscaled)->setCheckState(e.Unscaled ? Qt::Checked : Qt::Unchecked);
    m_table->item(row, kColNoFraction)->setCheckState(e.NoFractionOnScale ? Qt::Checked : Qt::Unchecked);
    const std::pair<int, long> scaleUnits[] = {{kColAutoScaleUnit, e.AutoScaleIndex},
                                               {kColNaehrUnit, e.NaehrScaleIndex}};
    for (const auto& [column, unitId] : scaleUnits) {
        auto* combo = qobject_cast<QComboBox*>(m_table->cellWidget(row, column));
        if (!combo)
            continue;
        const QVariant wanted = QVariant::fromValue(static_cast<qlonglong>(unitId));
        int pos = combo->findData(wanted);
        if (pos < 0) {
            // A unit that is no longer in the table stays visible rather than being lost.
            combo->addItem(QString("#%1").arg(unitId), wanted);
            pos = combo->count() - 1;
        }
        combo->setCurrentIndex(pos);
    }
    m_filling = filling;
}

void FrmUnitManagement::FillRecipeUnits()
{
    const int selected = SelectedRecipeUnit();
    m_recipeList->clear();
    for (int i = 1; i <= m_recipeUnits.Count(); ++i) {
        if (m_recipeUnits.IsDeleted(i))
            continue;
        auto* item = new QTreeWidgetItem(m_recipeList);
        item->setText(0, Q(m_recipeUnits.UnitNameD(i)));
        item->setText(1, QString::number(m_recipeUnits.UnitUsenum(i)));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, i);
    }
    SelectRecipeUnit(selected);
}

void FrmUnitManagement::UnitCellChanged(int row, int column)
{
    const int index = row + 1;
    QTableWidgetItem* item = m_table->item(row, column);
    if (!item || index > m_units.Count())
        return;
    UnitEntry e = m_units.GetData(index);
    const std::string text = item->text().trimmed().toStdString();
    switch (column) {
    case kColLongD:
        e.UnitLongD = text;
        break;
    case kColShortD:
        e.UnitNameD = text;
        break;
    case kColLongE:
        e.UnitLongE = text;
        break;
    case kColShortE:
        e.UnitNameE = text;
        break;
    case kColLongUS:
        e.UnitLongUS = text;
        break;
    case kColShortUS:
        e.UnitNameUS = text;
        break;
    case kColUnscaled:
        e.Unscaled = item->checkState() == Qt::Checked;
        break;
    case kColNoFraction:
        e.NoFractionOnScale = item->checkState() == Qt::Checked;
        break;
    case kColUK2D:
    case kColUS2D:
    case kColAutoScaleValue:
    case kColNaehrValue: {
        const std::optional<Decimal4> value = ParseDecimal(item->text());
        if (!value) {
            Inform("Bitte eine gültige Zahl angeben.", MsgIcon::Warning);
            ShowUnitRow(row);
            return;
        }
        Decimal4& target = column == kColUK2D             ? e.UK2DFactor
                           : column == kColUS2D           ? e.US2DFactor
                           : column == kColAutoScaleValue ? e.AutoScaleValue
                                                          : e.NaehrScaleValue;
        target = *value;
        break;
    }
    default:
        return;
    }
    m_units.StoreData(index, e);
    // Short names are kept in capitals, factors in their stored form: show what was stored.
    ShowUnitRow(row);
}

void FrmUnitManagement::ScaleUnitChosen(int row, int column, long unitId)
{
    const int index = row + 1;
    if (index > m_units.Count())
        return;
    UnitEntry e = m_units.GetData(index);
    if (column == kColAutoScaleUnit)
        e.AutoScaleIndex = unitId;
    else
        e.NaehrScaleIndex = unitId;
    m_units.StoreData(index, e);
}

int FrmUnitManagement::SelectedUnit() const
{
    const int row = m_table->currentRow();
    return row < 0 ? 0 : row + 1;
}

int FrmUnitManagement::SelectedRecipeUnit() const
{
    const QTreeWidgetItem* item = m_recipeList->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

void FrmUnitManagement::SelectRecipeUnit(int index)
{
    for (int i = 0; i < m_recipeList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_recipeList->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == index) {
            m_recipeList->setCurrentItem(item);
            return;
        }
    }
}

std::optional<std::string> FrmUnitManagement::Prompt(const std::string& text, const std::string& title,
                                                     const std::string& initial)
{
    std::optional<std::string> answer;
    if (m_prompt) {
        answer = m_prompt(text, title, initial);
    } else {
        QInputDialog dialog(this);
        dialog.setWindowTitle(Q(title));
        dialog.setLabelText(Q(text));
        dialog.setTextValue(Q(initial));
        dialog.setOkButtonText("OK");
        dialog.setCancelButtonText("Abbrechen");
        if (dialog.exec() == QDialog::Accepted)
            answer = dialog.textValue().toStdString();
    }
    if (answer) {
        const QString trimmed = Q(*answer).trimmed();
        if (trimmed.isEmpty())
            return std::nullopt;
        answer = trimmed.toStdString();
    }
    return answer;
}

void FrmUnitManagement::cmdNewUnit_Click()
{
    const std::string& caption = AppContext::Current().AppCaption;
    if (UI().Ask("Soll wirklich eine neue Einheit erfasst werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, caption) != Answer::Yes)
        return;
    const std::optional<std::string> name = Prompt("Bezeichnung fuer die neue Einheit", "Neue Masseinheit");
    if (!name)
        return;
    if (m_units.SearchforName(*name) > 0) {
        Inform("Eine Einheit mit der Bezeichnung \"" + *name + "\" gibt es bereits.", MsgIcon::Warning);
        return;
    }
    const int index = m_units.Add();
    if (index == 0) {
        Inform("Die Einheiten-Tabelle ist voll: es sind höchstens " + std::to_string(ClUnit::kMaxUnits) +
                   " Einheiten möglich.",
               MsgIcon::Warning);
        return;
    }
    UnitEntry e = m_units.GetData(index);
    // The British and American names start as the German one, so the unit shows in every system.
    e.UnitLongD = *name;
    e.UnitLongE = *name;
    e.UnitLongUS = *name;
    m_units.StoreData(index, e);
    FillUnits();
    m_table->setCurrentCell(index - 1, kColShortD);
}

void FrmUnitManagement::cmdDelUnit_Click()
{
    const int index = SelectedUnit();
    if (index < 1)
        return;
    const std::string name = m_units.UnitLongD(index);
    const long unitId = m_units.id(index);
    if (unitId > 0) {
        const long lines = UnitLineCount(Db(), unitId);
        if (lines > 0) {
            Inform("Die Einheit \"" + name + "\" wird in " + std::to_string(lines) +
                       " Zutatenzeilen verwendet und kann daher nicht gelöscht werden.",
                   MsgIcon::Warning);
            return;
        }
    }
    if (UI().Ask("Soll die Einheit \"" + name + "\" wirklich gelöscht werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, AppContext::Current().AppCaption) != Answer::Yes)
        return;
    if (!m_units.Del(index)) {
        Inform(m_units.LastErrorText(), MsgIcon::Critical);
        return;
    }
    FillUnits();
}

bool FrmUnitManagement::WriteRecipeUnits()
{
    const bool written = m_recipeUnits.RefreshDB();
    if (!written)
        Inform(m_recipeUnits.LastErrorText(), MsgIcon::Critical);
    FillRecipeUnits();
    return written;
}

void FrmUnitManagement::cmdNewRecipeUnit_Click()
{
    const std::optional<std::string> name =
        Prompt("Bitte die Bezeichnung der neuen Rezept-Einheit eingeben", "Neue Rezept-Einheit");
    if (!name)
        return;
    const int existing = m_recipeUnits.SearchName(*name);
    if (existing > 0) {
        Inform("Die Rezept-Einheit \"" + *name + "\" gibt es bereits.", MsgIcon::Warning);
        SelectRecipeUnit(existing);
        return;
    }
    m_recipeUnits.NewEntry(*name, "", "");
    if (WriteRecipeUnits())
        SelectRecipeUnit(m_recipeUnits.SearchName(*name));
}

void FrmUnitManagement::cmdDelRecipeUnit_Click()
{
    const int index = SelectedRecipeUnit();
    if (index < 1)
        return;
    if (UI().Ask("Soll dieses Rezept-Einheit wirklich gelöscht werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, AppContext::Current().AppCaption) != Answer::Yes)
        return;
    // Recipes counted in it are left without a yield unit.
    m_recipeUnits.Deleteentry(index, 0);
    WriteRecipeUnits();
}

void FrmUnitManagement::cmdRenameRecipeUnit_Click()
{
    const int index = SelectedRecipeUnit();
    if (index < 1)
        return;
    const std::string oldName = m_recipeUnits.UnitNameD(index);
    const std::optional<std::string> name =
        Prompt("Bitte die korrigierte Bezeichnung für die Rezept-Einheit angeben", "Umbenennen", oldName);
    if (!name || *name == oldName)
        return;
    const int existing = m_recipeUnits.SearchName(*name);
    if (existing > 0 && existing != index) {
        Inform("Die Rezept-Einheit \"" + *name +
                   "\" gibt es bereits. Bitte die beiden Einheiten stattdessen zusammenführen.",
               MsgIcon::Warning);
        return;
    }
    // British and French names that only repeated the German one follow the new name.
    const std::string nameE = m_recipeUnits.UnitNameE(index);
    const std::string nameF = m_recipeUnits.UnitNameF(index);
    m_recipeUnits.SetNames(index, *name, nameE == oldName ? std::string() : nameE,
                           nameF == oldName ? std::string() : nameF);
    WriteRecipeUnits();
    SelectRecipeUnit(m_recipeUnits.SearchName(*name));
}

void FrmUnitManagement::cmdMergeRecipeUnit_Click()
{
    const int index = SelectedRecipeUnit();
    if (index < 1)
        return;
    std::vector<std::string> names;
    std::vector<int> indexes;
    for (int i = 1; i <= m_recipeUnits.Count(); ++i) {
        if (i == index || m_recipeUnits.IsDeleted(i))
            continue;
        names.push_back(m_recipeUnits.UnitNameD(i));
        indexes.push_back(i);
    }
    if (names.empty())
        return;
    const std::optional<int> choice = UI().ChooseItem("Rezept-Einheit, die an die Stelle von \"" +
                                                          m_recipeUnits.UnitNameD(index) + "\" treten soll:",
                                                      names, "Rezepteinheiten zusammenführen");
    if (!choice || *choice < 0 || *choice >= static_cast<int>(indexes.size()))
        return;
    const std::string target = names[static_cast<std::size_t>(*choice)];
    if (MergeRecipeUnit(m_recipeUnits, index, indexes[static_cast<std::size_t>(*choice)])) {
        FillRecipeUnits();
        SelectRecipeUnit(m_recipeUnits.SearchName(target));
    }
}

void FrmUnitManagement::cmdRemoveDuplicates_Click()
{
    if (RemoveDuplicateRecipeUnits(m_recipeUnits) >= 0)
        FillRecipeUnits();
}

bool FrmUnitManagement::ConfirmLeave()
{
    if (!HasUnitChanges(m_units))
        return true;
    const Answer answer = UI().Ask(UnitTableSaveQuestion(), Buttons::YesNo, Answer::Yes, MsgIcon::Question,
                                   "Speichern der neuen Einheitentabelle");
    if (answer == Answer::Yes) {
        if (!m_units.Save()) {
            // The window stays open, so that the changes are not lost.
            Inform(m_units.LastErrorText(), MsgIcon::Critical);
            return false;
        }
        return true;
    }
    // Discarded changes must not linger in the program's table: read it again.
    ClUnit stored;
    stored.SetDB(m_db);
    m_units.LoadDefault(stored);
    return true;
}

void FrmUnitManagement::closeEvent(QCloseEvent* event)
{
    if (m_left) {
        event->accept();
        return;
    }
    bool leave = true;
    RunTrapped([&] { leave = ConfirmLeave(); });
    if (!leave) {
        event->ignore();
        return;
    }
    m_left = true;
    m_units.SetRW(m_wasWritable);
    event->accept();
}

} // namespace pf
