#pragma once
// The interaction of the desktop program: questions and messages as message boxes with German
// buttons, file and item choices as dialogs, status texts on the splash or the main window's status
// bar, Esc as the cancel request of long operations and the hourglass pointer.

#include "core/Interaction.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace pf {

class FrmSplash;
class Mainform;

// Qt filter text for a filter in the pipe form "Beschreibung|*.mm;*.txt|Alle Dateien|*.*".
QString QtFileFilter(const std::string& pipeFilter);

class QtInteraction : public QObject, public Interaction
{
    Q_OBJECT
public:
    // Installs itself as the application's event filter (for Esc); needs a QApplication.
    explicit QtInteraction(QObject* parent = nullptr);
    ~QtInteraction() override;

    // The windows status texts go to; either may be null or go away at any time.
    void SetSplash(FrmSplash* splash);
    void SetMainWindow(Mainform* mainWindow);

    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
               const std::string& caption) override;
    Answer AskOfferingSilence(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                              const std::string& caption, bool& dontAskAgain) override;
    void Inform(const std::string& text, MsgIcon icon, const std::string& caption) override;
    std::vector<std::string> ChooseFiles(const FileRequest& request) override;
    std::optional<int> ChooseItem(const std::string& prompt, const std::vector<std::string>& items,
                                  const std::string& caption) override;

    bool SplashVisible() const override;
    void SetSplashStatus(const std::string& text) override;
    bool MainWindowLoaded() const override;
    void SetStatus(const std::string& text, int percent) override;
    std::string StatusText() const override;
    int StatusPercent() const override;
    std::string ActiveWindowName() const override;
    void UnloadActiveWindow() override;

    void ProcessEvents() override;
    bool CancelRequested() override;
    void ResetCancel() override;
    void SetBusy(bool busy) override;
    void SetClipboardText(const std::string& text) override;
    bool OpenWithDefaultApplication(const std::string& path) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The message box of a question; with dontAskAgain it carries the "Nicht mehr fragen" box.
    Answer AskBox(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                  const std::string& caption, bool* dontAskAgain);
    QPointer<FrmSplash> m_splash;
    QPointer<Mainform> m_mainWindow;
    std::string m_statusText;
    int m_statusPercent = -1;
    bool m_cancel = false;
    int m_busyDepth = 0;
};

} // namespace pf
