#pragma once
// Small helpers every window uses to build its widgets and show its texts. They hold no state and
// never touch the database.

#include "db/Value.h"

#include <QString>

#include <string>

class QCheckBox;
class QPushButton;
class QWidget;

namespace pf {

// Our texts are UTF-8 in std::string; Qt wants QString.
QString Q(const std::string& text);
std::string S(const QString& text);

// Gives a widget the name tests and the settings find it by, and returns it.
template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent);
QCheckBox* MakeCheck(const QString& name, const QString& text, QWidget* parent);

// Closes the window a user sees: inside the main window's area that is the frame around the widget.
void CloseWindow(QWidget* window);

// "28.12.2018 14:30" for a list cell; empty for a date never set (serial 0).
QString DateTimeCell(DateSerial date);

} // namespace pf
