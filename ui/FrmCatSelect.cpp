#include "ui/FrmCatSelect.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "model/ClCategory.h"
#include "ui/UiSupport.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole;

} // namespace

FrmCatSelect::FrmCatSelect(Mode mode, std::vector<long> current, QWidget* parent)
    : QDialog(parent), m_mode(mode)
{
    setObjectName("FrmCatSelect");
    const bool categories = mode == Mode::Categories;
    setWindowTitle(categories ? "Kategorien auswählen" : "Herkunft auswählen");

    auto* layout = new QVBoxLayout(this);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel("&Suchen:", this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName("txtFilter");
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    layout->addLayout(filterRow);

    auto* lists = new QHBoxLayout;
    m_list = new QListWidget(this);
    RoomyRows(m_list);
    m_list->setObjectName("lstCategories");
    lists->addWidget(m_list, 3);

    CategoryListFilter filter;
    filter.EditOnly = true;
    filter.Country = !categories;
    ClCategory reader;
    if (!categories) {
        auto* none = new QListWidgetItem("(keine Herkunft)", m_list);
        none->setData(kIdRole, 0);
    }
    m_filling = true;
    for (const CategoryItem& entry : reader.FillListbox(filter)) {
        // In origin mode every entry is a country; the mark would only repeat that.
        auto* item = new QListWidgetItem(Q(categories ? entry.Text : entry.Name), m_list);
        item->setData(kIdRole, static_cast<qlonglong>(entry.ID));
        if (categories)
            item->setCheckState(Qt::Unchecked);
    }
    m_filling = false;

    if (categories) {
        // Chosen IDs the list does not offer (no longer open for assignment) stay chosen.
        for (long id : current)
            if (id > 0 && std::find(m_chosen.begin(), m_chosen.end(), id) == m_chosen.end() &&
                m_chosen.size() < kMaxCategories)
                m_chosen.push_back(id);
        auto* right = new QVBoxLayout;
        m_count = new QLabel(this);
        m_count->setObjectName("lblChosen");
        right->addWidget(m_count);
        m_chosenList = new QListWidget(this);
        RoomyRows(m_chosenList);
        m_chosenList->setObjectName("lstChosen");
        right->addWidget(m_chosenList, 1);
        auto* primary = new QPushButton("Als &Hauptkategorie", this);
        primary->setObjectName("cmdPrimary");
        auto* remove = new QPushButton("&Entfernen", this);
        remove->setObjectName("cmdRemove");
        right->addWidget(primary);
        right->addWidget(remove);
        lists->addLayout(right, 2);
        connect(primary, &QPushButton::clicked, this, [this] { MakePrimary(m_chosenList->currentRow()); });
        connect(remove, &QPushButton::clicked, this, [this] { RemoveChosen(m_chosenList->currentRow()); });
        connect(m_list, &QListWidget::itemChanged, this,
                [this](QListWidgetItem* item) { ItemChanged(item); });
        RefreshChosen();
    } else {
        const long origin = current.empty() ? 0 : current.front();
        m_chosen = {origin};
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->item(i)->data(kIdRole).toLongLong() == origin)
                m_list->setCurrentRow(i);
        connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
            if (item)
                m_chosen = {static_cast<long>(item->data(kIdRole).toLongLong())};
        });
        connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    }
    layout->addLayout(lists, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_filter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    // Enter in the filter goes to the first entry shown instead of closing the dialog.
    connect(m_filter, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < m_list->count(); ++i) {
            if (!m_list->item(i)->isHidden()) {
                m_list->setCurrentRow(i);
                break;
            }
        }
        m_list->setFocus();
    });
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    m_filter->setFocus();
    resize(640, 480);
}

QString FrmCatSelect::NameOf(long id) const
{
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->data(kIdRole).toLongLong() == id)
            return m_list->item(i)->text();
    ClCategory category;
    return category.LoadByID(id) ? Q(category.Description()) : QString("#%1").arg(id);
}

void FrmCatSelect::ApplyFilter()
{
    const QString text = m_filter->text().trimmed();
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setHidden(!text.isEmpty() && !item->text().contains(text, Qt::CaseInsensitive));
    }
}

void FrmCatSelect::ItemChanged(QListWidgetItem* item)
{
    if (m_filling || !item)
        return;
    const long id = static_cast<long>(item->data(kIdRole).toLongLong());
    const auto at = std::find(m_chosen.begin(), m_chosen.end(), id);
    if (item->checkState() == Qt::Checked) {
        if (at != m_chosen.end())
            return;
        if (m_chosen.size() >= kMaxCategories) {
            m_filling = true;
            item->setCheckState(Qt::Unchecked);
            m_filling = false;
            UI().Inform("Ein Rezept kann höchstens 16 Kategorien erhalten.", MsgIcon::Information,
                        AppContext::Current().AppCaption);
            return;
        }
        m_chosen.push_back(id);
    } else if (at != m_chosen.end()) {
        m_chosen.erase(at);
    }
    RefreshChosen();
}

void FrmCatSelect::RefreshChosen()
{
    if (!m_chosenList)
        return;
    m_filling = true;
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        const long id = static_cast<long>(item->data(kIdRole).toLongLong());
        const bool chosen = std::find(m_chosen.begin(), m_chosen.end(), id) != m_chosen.end();
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
    const int row = m_chosenList->currentRow();
    m_chosenList->clear();
    for (std::size_t i = 0; i < m_chosen.size(); ++i) {
        QString text = NameOf(m_chosen[i]);
        if (i == 0)
            text += " (Hauptkategorie)";
        auto* item = new QListWidgetItem(text, m_chosenList);
        item->setData(kIdRole, static_cast<qlonglong>(m_chosen[i]));
    }
    if (row >= 0 && row < m_chosenList->count())
        m_chosenList->setCurrentRow(row);
    m_count->setText(QString("&Gewählt (%1 von %2):").arg(m_chosen.size()).arg(kMaxCategories));
    m_count->setBuddy(m_chosenList);
    m_filling = false;
}

void FrmCatSelect::MakePrimary(int index)
{
    if (index <= 0 || index >= static_cast<int>(m_chosen.size()))
        return;
    std::rotate(m_chosen.begin(), m_chosen.begin() + index, m_chosen.begin() + index + 1);
    RefreshChosen();
    m_chosenList->setCurrentRow(0);
}

void FrmCatSelect::RemoveChosen(int index)
{
    if (index < 0 || index >= static_cast<int>(m_chosen.size()))
        return;
    m_chosen.erase(m_chosen.begin() + index);
    RefreshChosen();
}

std::optional<std::vector<long>> FrmCatSelect::ChooseCategories(QWidget* parent, std::vector<long> current)
{
    FrmCatSelect dialog(Mode::Categories, std::move(current), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Chosen();
}

std::optional<long> FrmCatSelect::ChooseOrigin(QWidget* parent, long current)
{
    FrmCatSelect dialog(Mode::Origin, {current}, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::vector<long> chosen = dialog.Chosen();
    return chosen.empty() ? 0 : chosen.front();
}

} // namespace pf
