#include "ui/RecipeDrag.h"

#include <QMimeData>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace pf {

namespace {

constexpr const char* kRecipeIdsMime = "application/x-pfannola-recipe-ids";

} // namespace

QMimeData* RecipeDragData(const std::vector<long>& ids)
{
    QStringList parts;
    for (long id : ids)
        parts << QString::number(id);
    auto* data = new QMimeData;
    data->setData(kRecipeIdsMime, parts.join(',').toUtf8());
    data->setText(parts.join(','));
    return data;
}

std::vector<long> DroppedRecipeIds(const QMimeData* data)
{
    if (!data)
        return {};
    QString text;
    if (data->hasFormat(kRecipeIdsMime))
        text = QString::fromUtf8(data->data(kRecipeIdsMime));
    else if (data->hasText())
        text = data->text();
    std::vector<long> ids;
    static const QRegularExpression separators("[,;\\s]+");
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const long id = part.toLong(&ok);
        if (!ok || id <= 0)
            return {};
        ids.push_back(id);
    }
    return ids;
}

RecipeDragTree::RecipeDragTree(int idRole, QWidget* parent) : QTreeWidget(parent), m_idRole(idRole)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

QStringList RecipeDragTree::mimeTypes() const
{
    return {kRecipeIdsMime, "text/plain"};
}

QMimeData* RecipeDragTree::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    // The model hands the items over in no particular order; a drop onto a plan fills days in
    // the order of the list, so the rows are put back in it: by their path of positions.
    std::vector<std::pair<std::vector<int>, long>> rows;
    for (const QTreeWidgetItem* item : items) {
        const long id = static_cast<long>(item->data(0, m_idRole).toLongLong());
        if (id <= 0)
            continue;
        std::vector<int> path;
        for (const QTreeWidgetItem* at = item; at; at = at->parent())
            path.insert(path.begin(), at->parent()
                                          ? at->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(at))
                                          : indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(at)));
        rows.emplace_back(std::move(path), id);
    }
    if (rows.empty())
        return nullptr;
    std::sort(rows.begin(), rows.end());
    std::vector<long> ids;
    for (const auto& row : rows)
        ids.push_back(row.second);
    return RecipeDragData(ids);
}

} // namespace pf
