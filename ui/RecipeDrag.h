#pragma once
// Recipes dragged from one window to another: the drag data carries the recipe IDs in a format
// of the program's own and as plain text, so that a list of numbers copied from elsewhere drops
// as well. Every window that takes recipes by drop reads them through DroppedRecipeIds.

#include <QTreeWidget>

#include <vector>

class QMimeData;

namespace pf {

// Drag data for recipes; the caller owns it.
QMimeData* RecipeDragData(const std::vector<long>& ids);
// The recipe IDs a drop carries, separated by commas, semicolons or white space; empty when it
// carries none or anything that is not a recipe ID.
std::vector<long> DroppedRecipeIds(const QMimeData* data);

// A tree whose rows can be dragged as the recipes whose IDs they hold in column 0 under idRole.
class RecipeDragTree : public QTreeWidget
{
    Q_OBJECT
public:
    RecipeDragTree(int idRole, QWidget* parent = nullptr);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;

private:
    int m_idRole;
};

} // namespace pf
