#include "ui/FrmLiteraturGallery.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "literature/clLiteratur.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmLiteratur.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pf {

namespace {

const char* const kCaption = "Literatur-Galerie";
const QSize kCoverSize(120, 160);

// A cover scaled into the tile, centred; a frame with a note where the source has no readable one.
QPixmap Tile(const Blob& picture)
{
    QPixmap tile(kCoverSize);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    QPixmap cover;
    if (!picture.empty() && cover.loadFromData(picture.data(), static_cast<uint>(picture.size()))) {
        const QPixmap scaled = cover.scaled(kCoverSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap((kCoverSize.width() - scaled.width()) / 2,
                           (kCoverSize.height() - scaled.height()) / 2, scaled);
    } else {
        painter.setPen(Qt::gray);
        painter.drawRect(QRect(QPoint(0, 0), kCoverSize - QSize(1, 1)));
        painter.drawText(QRect(QPoint(0, 0), kCoverSize), Qt::AlignCenter | Qt::TextWordWrap,
                         picture.empty() ? "Kein Deckblatt" : "Bild nicht lesbar");
    }
    return tile;
}

} // namespace

FrmLiteraturGallery::FrmLiteraturGallery(std::function<bool(long)> openSource, QWidget* parent)
    : QWidget(parent), m_openSource(std::move(openSource))
{
    setObjectName("FrmLiteraturGallery");
    CloseOnEscape(this);
    setWindowTitle(kCaption);

    auto* layout = new QVBoxLayout(this);
    m_covers = Named(new QListWidget(this), "lstDeckblaetter");
    m_covers->setViewMode(QListView::IconMode);
    m_covers->setIconSize(kCoverSize);
    m_covers->setGridSize(kCoverSize + QSize(60, 60));
    m_covers->setResizeMode(QListView::Adjust);
    m_covers->setMovement(QListView::Static);
    m_covers->setWordWrap(true);
    m_covers->setUniformItemSizes(true);
    m_covers->setMinimumSize(kCoverSize.width() * 3 + 240, kCoverSize.height() + 90);
    layout->addWidget(m_covers, 1);
    auto* buttons = new QHBoxLayout;
    auto* open = MakeButton("cmdOpen", "&Quelle öffnen", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(open);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    // A click opens the source; where the style already activates an item on a single click, the
    // activation alone does, so that one click never opens it twice.
    if (!m_covers->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, m_covers))
        connect(m_covers, &QListWidget::itemClicked, this,
                [this](QListWidgetItem* item) { RunTrapped([&] { Open(item); }); });
    connect(m_covers, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { RunTrapped([&] { Open(item); }); });
    connect(open, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOpen_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    RunTrapped([this] { Refresh(); });
}

void FrmLiteraturGallery::Refresh()
{
    m_covers->clear();
    clLiteratur literature;
    for (const clLiteratur::CoverItem& source : literature.CoverList()) {
        auto* item = new QListWidgetItem(QIcon(Tile(source.Picture)), Q(source.Text), m_covers);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(source.id));
        item->setToolTip(Q(source.Text));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (literature.LastError() != 0)
        UI().Inform(literature.LastErrorText(), MsgIcon::Critical, kCaption);
    if (m_covers->count() > 0)
        m_covers->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

QSize FrmLiteraturGallery::sizeHint() const
{
    const QSize grid = m_covers->gridSize();
    return {grid.width() * 4 + 60, grid.height() * 2 + 90};
}

int FrmLiteraturGallery::CoverCount() const
{
    return m_covers->count();
}

void FrmLiteraturGallery::cmdOpen_Click()
{
    Open(m_covers->currentItem());
}

void FrmLiteraturGallery::Open(const QListWidgetItem* item)
{
    if (!item)
        return;
    const long id = static_cast<long>(item->data(Qt::UserRole).toLongLong());
    if (m_openSource && m_openSource(id))
        return;
    auto* window = new FrmLiteratur;
    window->OpenSource(id);
    ShowBeside(this, window);
}

} // namespace pf
