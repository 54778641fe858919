#include "ui/FrmSpecialLexDel.h"

#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconEntry.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole;

} // namespace

FrmSpecialLexDel::FrmSpecialLexDel(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmSpecialLexDel");
    CloseOnEscape(this);
    setWindowTitle("Lexikoneinträge löschen");

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* areaLabel = new QLabel("&Bereich:", this);
    m_area = Named(new QComboBox(this), "cboBereich");
    for (long area : LexiconAreas())
        if (area != area::kFoods && area != area::kRecipes)
            m_area->addItem(Q(LexiconAreaName(area)), static_cast<qlonglong>(area));
    areaLabel->setBuddy(m_area);
    m_withoutText = MakeCheck("chkOhneBeschreibung", "Nur Einträge &ohne Beschreibung", this);
    top->addWidget(areaLabel);
    top->addWidget(m_area);
    top->addSpacing(12);
    top->addWidget(m_withoutText);
    top->addStretch(1);
    layout->addLayout(top);

    m_list = Named(new QTreeWidget(this), "lstEintraege");
    RoomyRows(m_list);
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({"Stichwort", "Nr.", "Beschreibung"});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    layout->addWidget(m_list, 1);

    m_count = Named(new QLabel(this), "lblAnzahl");
    layout->addWidget(m_count);

    auto* buttons = new QHBoxLayout;
    auto* all = MakeButton("cmdAlle", "A&lle markieren", this);
    auto* none = MakeButton("cmdKeine", "&Keine markieren", this);
    m_delete = MakeButton("cmdLoeschen", "&Markierte löschen", this);
    auto* close = MakeButton("cmdClose", "&Schließen", this);
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    buttons->addWidget(m_delete);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_area, &QComboBox::currentIndexChanged, this, [this] { RunTrapped([this] { LoadList(); }); });
    connect(m_withoutText, &QCheckBox::toggled, this, [this] { RunTrapped([this] { LoadList(); }); });
    connect(m_list, &QTreeWidget::itemChanged, this, [this] { ShowCount(); });
    connect(all, &QPushButton::clicked, this, [this] { MarkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { MarkAll(false); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdLoeschen_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    if (!WorkDb().IsUpdatable())
        m_delete->setToolTip("Die Datenbank ist schreibgeschützt.");
    resize(560, 480);
    LoadList();
}

void FrmSpecialLexDel::LoadList()
{
    const long area = m_area->currentData().toLongLong();
    const bool withoutText = m_withoutText->isChecked();
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        for (const LexiconEntryRow& row : LexiconDeleteList(WorkDb(), area)) {
            if (withoutText && row.HasDescription)
                continue;
            auto* item = new QTreeWidgetItem(QStringList{Q(row.Keyword), QString::number(row.Id),
                                                         row.HasDescription ? "vorhanden" : "fehlt"});
            item->setData(0, kIdRole, static_cast<qlonglong>(row.Id));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            m_list->addTopLevelItem(item);
        }
    }
    ShowCount();
}

void FrmSpecialLexDel::MarkAll(bool marked)
{
    {
        const QSignalBlocker block(m_list);
        for (int i = 0; i < m_list->topLevelItemCount(); ++i)
            m_list->topLevelItem(i)->setCheckState(0, marked ? Qt::Checked : Qt::Unchecked);
    }
    ShowCount();
}

std::vector<long> FrmSpecialLexDel::MarkedIds() const
{
    std::vector<long> ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            ids.push_back(static_cast<long>(m_list->topLevelItem(i)->data(0, kIdRole).toLongLong()));
    return ids;
}

void FrmSpecialLexDel::cmdLoeschen_Click()
{
    const std::vector<long> ids = MarkedIds();
    if (ids.empty() || !WorkDb().IsUpdatable())
        return;
    const long deleted = DeleteLexiconEntries(WorkDb(), m_area->currentData().toLongLong(), ids, true);
    if (deleted > 0)
        LoadList();
}

void FrmSpecialLexDel::ShowCount()
{
    const int listed = m_list->topLevelItemCount();
    const auto marked = static_cast<int>(MarkedIds().size());
    m_count->setText(QString("%1 %2, %3 markiert")
                         .arg(listed)
                         .arg(listed == 1 ? QString("Eintrag") : QString("Einträge"))
                         .arg(marked));
    m_delete->setEnabled(marked > 0 && WorkDb().IsUpdatable());
}

} // namespace pf
