#include "ui/FrmGastGeschichte.h"

#include "planning/ClAddress.h"
#include "planning/ClMenu.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmMenuDetail.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

enum Column { ColDate, ColMenu, ColCourse, ColNote };
constexpr int kMenuRole = Qt::UserRole + 1;

} // namespace

FrmGastGeschichte::FrmGastGeschichte(long addressId, QWidget* parent) : QWidget(parent), m_address(addressId)
{
    setObjectName("FrmGastGeschichte");
    CloseOnEscape(this);
    auto* layout = new QVBoxLayout(this);
    m_name = Named(new QLabel(this), "lblGast");
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    layout->addWidget(m_name);
    m_list = Named(new QTreeWidget(this), "lstGeschichte");
    m_list->setHeaderLabels({"Datum", "Menü", "Gang", "Notiz"});
    m_list->setRootIsDecorated(false);
    m_list->header()->setStretchLastSection(true);
    FitHeaderTexts(m_list->header());
    RoomyRows(m_list);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const long menu = static_cast<long>(item->data(ColDate, kMenuRole).toLongLong());
        RunTrapped([this, menu] { ShowBeside(this, new FrmMenuDetail(menu, [this](long) { Refresh(); })); });
    });
    resize(720, 420);
    RunTrapped([this] { Refresh(); });
}

void FrmGastGeschichte::Refresh()
{
    ClAddress guest;
    const std::string name =
        guest.GetID(m_address) ? guest.NameFriend() : "Adresse #" + std::to_string(m_address);
    setWindowTitle(Q("Gastgeschichte - " + name));
    ClMenu menu;
    const std::vector<GuestHistoryEntry> history = menu.GuestHistory(m_address);
    m_name->setText(Q(name + (history.empty() ? " war noch bei keinem Menü zu Gast." : "")));
    m_list->clear();
    for (const GuestHistoryEntry& entry : history) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(ColDate, entry.MenuDatum.Days >= 2 ? Q(ShortDateText(entry.MenuDatum)) : QString());
        item->setData(ColDate, kMenuRole, QVariant::fromValue<qlonglong>(entry.MenuID));
        item->setText(ColMenu, Q(entry.MenuTitle));
        item->setText(ColCourse, Q(entry.CourseTitle));
        item->setText(ColNote, Q(entry.Notiz));
    }
    for (int column = ColDate; column < ColNote; ++column)
        m_list->resizeColumnToContents(column);
}

} // namespace pf
