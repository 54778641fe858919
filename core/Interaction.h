#pragma once
// The one way logic talks to a person: questions, messages, choices, progress and cancel.
// The desktop program implements it with Qt dialogs, the command-line program with options and
// defaults, tests with a scripted replay. Nothing below ui/ knows which one it talks to.

#include <optional>
#include <string>
#include <vector>

namespace pf {

enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct FileRequest
{
    std::string Caption;
    std::string Filter; // "Beschreibung|*.mm;*.txt|Alle Dateien|*.*"
    std::string InitialPath;
    std::string Purpose; // the dialog starts in the folder last used for the same purpose
    bool Save = false;
    bool Multiple = false;
};

class Interaction
{
public:
    virtual ~Interaction() = default;

    // A question with the given buttons; the default answer is what Enter (or a batch run) gives.
    virtual Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                       const std::string& caption) = 0;
    // The same question offering a "Nicht mehr fragen" box; dontAskAgain tells whether the user
    // ticked it. Without such a box the question is asked plainly.
    virtual Answer AskOfferingSilence(const std::string& text, Buttons buttons, Answer defaultAnswer,
                                      MsgIcon icon, const std::string& caption, bool& dontAskAgain)
    {
        dontAskAgain = false;
        return Ask(text, buttons, defaultAnswer, icon, caption);
    }
    // A message that only needs acknowledging.
    virtual void Inform(const std::string& text, MsgIcon icon, const std::string& caption) = 0;
    // One or more files; empty when the user cancelled.
    virtual std::vector<std::string> ChooseFiles(const FileRequest& request) = 0;
    // One entry of a list; nullopt when the user cancelled.
    virtual std::optional<int> ChooseItem(const std::string& prompt, const std::vector<std::string>& items,
                                          const std::string& caption) = 0;

    // Status display. The splash shows only a text; the main window shows a text and a percentage
    // (percent < 0 shows none). An empty text with percent < 0 clears it.
    virtual bool SplashVisible() const { return false; }
    virtual void SetSplashStatus(const std::string& /*text*/) {}
    virtual bool MainWindowLoaded() const { return false; }
    virtual void SetStatus(const std::string& /*text*/, int /*percent*/) {}
    virtual std::string StatusText() const { return {}; }
    virtual int StatusPercent() const { return -1; }
    // Name of the window that has the focus, for the error log ("Mainform", "FrmMenuData", ...).
    virtual std::string ActiveWindowName() const { return {}; }
    // Closes the active window (after the error report offered it).
    virtual void UnloadActiveWindow() {}

    // Lets pending window events run during long work.
    virtual void ProcessEvents() {}
    // True once the user asked to stop the running operation; reset by ResetCancel.
    virtual bool CancelRequested() { return false; }
    virtual void ResetCancel() {}
    // Hourglass pointer on or off.
    virtual void SetBusy(bool /*busy*/) {}

    // Puts a text on the desktop's clipboard (exports to the clipboard).
    virtual void SetClipboardText(const std::string& /*text*/) {}
    // Opens a file with the desktop's default application for its type (an exported RTF file in
    // the word processor); false when none could be started.
    virtual bool OpenWithDefaultApplication(const std::string& /*path*/) { return false; }
};

} // namespace pf
