#pragma once
// The table of contents of the literature register: publishers, under each its sources, under
// each source its recipes by page ("    7 - Titel"). A recipe opens in the recipe window on
// double-click or with "Rezept öffnen".

#include <QWidget>

#include <functional>

class QTreeWidget;

namespace pf {

class FrmLiteraturInhaltsverzeichnis : public QWidget
{
    Q_OBJECT
public:
    // source 0 lists every source. openRecipe replaces opening the recipe window (tests).
    explicit FrmLiteraturInhaltsverzeichnis(long source = 0, std::function<void(long)> openRecipe = {},
                                            QWidget* parent = nullptr);

    // Reads the table of contents again.
    void Refresh();
    // Opens the selected recipe; nothing when no recipe line is selected.
    void cmdOpen_Click();

private:
    long m_source = 0;
    std::function<void(long)> m_openRecipe;
    QTreeWidget* m_tree = nullptr;
};

} // namespace pf
