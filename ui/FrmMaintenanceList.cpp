#include "ui/FrmMaintenanceList.h"

#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

FrmMaintenanceList::FrmMaintenanceList(const QString& name, const QString& caption,
                                       const MaintenanceList& list, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_table = Named(
        new QTableWidget(static_cast<int>(list.Rows.size()), static_cast<int>(list.Headers.size()), this),
        "tblList");
    QStringList headers;
    for (const std::string& header : list.Headers)
        headers << Q(header);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (std::size_t r = 0; r < list.Rows.size(); ++r)
        for (std::size_t c = 0; c < list.Rows[r].size() && c < list.Headers.size(); ++c)
            m_table->setItem(static_cast<int>(r), static_cast<int>(c),
                             new QTableWidgetItem(Q(list.Rows[r][c])));
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    FitHeaderTexts(m_table->horizontalHeader());
    RoomyRows(m_table);
    layout->addWidget(m_table, 1);
    auto* foot = new QHBoxLayout;
    foot->addWidget(Named(new QLabel(list.Rows.empty() ? QString("Keine Einträge gefunden.")
                                                       : QString("%1 Einträge").arg(list.Rows.size()),
                                     this),
                          "lblCount"),
                    1);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    foot->addWidget(close);
    layout->addLayout(foot);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    CloseOnEscape(this);
    resize(560, 420);
}

} // namespace pf
