#include "ui/WindowSize.h"

#include "core/Settings.h"

#include <QWidget>

#include <algorithm>

namespace pf {

void RestoreSize(QWidget* window, std::string_view settingsName, QSize defaultSize, QSize smallest)
{
    WindowPlacement placement;
    placement.Width = defaultSize.width();
    placement.Height = defaultSize.height();
    RestoreWindow(placement, settingsName);
    window->resize(std::max(placement.Width, smallest.width()), std::max(placement.Height, smallest.height()));
}

} // namespace pf
