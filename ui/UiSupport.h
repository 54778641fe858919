#pragma once
// Small helpers every window uses to build its widgets and show its texts. They hold no state and
// never touch the database.

#include "db/Value.h"

#include <QString>

#include <optional>
#include <string>

class QAbstractItemView;
class QCheckBox;
class QDialog;
class QLayout;
class QHeaderView;
class QMdiArea;
class QMdiSubWindow;
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
// The OK (default, "cmdOK") and Abbrechen ("cmdCancel", rejects) buttons at the foot of a dialog's
// layout; OK is returned for the caller to connect its check to.
QPushButton* AddOkCancel(QDialog* dialog, QLayout* layout);

// Shows a new window in the window area, in the size it chose within the room the area has; it
// is deleted when closed.
QMdiSubWindow* AddSubWindow(QMdiArea& area, QWidget* window);
// Shows a new window in the same window area as from (the main window's), or on its own when from
// sits in none; it is deleted when closed.
void ShowBeside(QWidget* from, QWidget* window);

// Closes the window a user sees: inside the main window's area that is the frame around the widget.
void CloseWindow(QWidget* window);

// Columns never narrower than their header text: a stretched column stops shrinking there, and the
// view keeps the width all headers need.
void FitHeaderTexts(QHeaderView* header);

// A tall page inside a frame that scrolls up and down, so that its window fits a small screen with
// its buttons in view; the frame keeps the page's full width.
QWidget* ScrollsDown(QWidget* page);

// A window whose wrapped texts need more height at its smallest width keeps that height.
void KeepWrappedTextsWhole(QWidget* window);

// List and tree rows a little taller than the font, so that the dots of capital umlauts ("Öle")
// are not cut off by the row above.
void RoomyRows(QAbstractItemView* view);

// Reads a picture file for storing it (asking first about a large one). nullopt, with the reason
// shown under caption, when the cook declined, the file could not be read or holds no picture that
// can be shown.
std::optional<Blob> LoadShownPicture(const std::string& file, const std::string& caption);

// Gives a window of its own the size it prefers within nine tenths of the screen and puts it
// centred over its owner, inside the screen.
void PlaceOver(QWidget* window, QWidget* owner);

// Escape closes the window (through its close event, so unsaved work is still asked about).
void CloseOnEscape(QWidget* window);

// "28.12.2018 14:30" for a list cell; empty for a date never set (serial 0).
QString DateTimeCell(DateSerial date);

// Where a file dialog for a purpose ("Import", "Backup" …) starts: the given absolute path when its
// folder exists outside the program folder, else the folder last used for that purpose, else the
// user's home (a file name not yet written is kept). The program folder holds the program's own
// files, never the user's, so a dialog never starts there.
QString StartFolder(const std::string& purpose, const QString& wanted = {});
// Remembers the folder of a chosen file (or the chosen folder itself) for the next dialog.
void RememberFolder(const std::string& purpose, const QString& chosen);

} // namespace pf
