#pragma once
// A window's size kept between sessions under a settings name.

#include <QSize>

#include <string_view>

class QWidget;

namespace pf {

// Sizes a window to the size stored under the settings name, else to the default size, never
// below the smallest size.
void RestoreSize(QWidget* window, std::string_view settingsName, QSize defaultSize, QSize smallest);

} // namespace pf
