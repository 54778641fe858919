#pragma once
// The user manual (hilfe/ among the shipped files) and which of its pages explains which window,
// so F1 opens the page of the window the user works in. Pages open in the desktop's browser; tests
// replace the opener.

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace pf {

// The manual page of a window, by the window's object name ("FrmBackup" → "sicherung.html");
// empty for a window the manual has no page of.
QString HelpPageOf(const QString& windowName);
// The page of the nearest window around widget (itself or a parent) that has one, else empty.
QString HelpPageFor(const QWidget* widget);
// Every window name the table knows, with its page (for checking that each page exists).
std::vector<std::pair<QString, QString>> HelpPageTable();

// The address of a manual page in the shipped help folder ("" gives the contents page).
QUrl HelpUrl(const QString& page);
// Opens a manual page in the desktop's browser.
void OpenHelpPage(const QString& page);
// Replaces how pages are opened (tests); an empty function restores the browser.
void SetHelpOpener(std::function<void(const QUrl&)> opener);

// The newest README file (a name starting with "README" or "LIESMICH", any case) in folder, by
// modification time; empty when there is none.
QString NewestReadme(const QString& folder);

// Turns F1 in any window of the program, dialogs included, into its manual page. Installed on the
// application by the main window, which handles F1 in its own frame through its Help command.
class HelpKeyFilter : public QObject
{
public:
    // mainWindow's own F1 is left to its menu shortcut.
    explicit HelpKeyFilter(QWidget* mainWindow);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
};

} // namespace pf
