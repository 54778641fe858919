#include "ui/QtInteraction.h"
#include "ui/UiSupport.h"

#include "core/AppContext.h"
#include "ui/FrmSplash.h"
#include "ui/Mainform.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace pf {

namespace {

QString ToQt(const std::string& text)
{
    // Texts of the message table break lines with CR LF.
    QString result = QString::fromStdString(text);
    result.replace("\r\n", "\n");
    return result;
}

// Every box is titled with the program's name, so a user always sees who asks; a caption the
// logic gives names the subject after it.
QString CaptionOrDefault(const std::string& caption)
{
    const AppContext& app = AppContext::Current();
    if (caption.empty() || caption == app.AppCaption || caption == app.AppTitle)
        return ToQt(app.AppTitle);
    return ToQt(app.AppTitle + " – " + caption);
}

QMessageBox::Icon ToQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonDef
{
    Answer answer;
    QMessageBox::StandardButton button;
    const char* text;
};

// Each answer on its own standard button, so Esc and the platform's button order work as usual.
const ButtonDef kButtonDefs[] = {
    {Answer::Ok, QMessageBox::Ok, "OK"},
    {Answer::Yes, QMessageBox::Yes, "Ja"},
    {Answer::No, QMessageBox::No, "Nein"},
    {Answer::Retry, QMessageBox::Retry, "Wiederholen"},
    {Answer::Abort, QMessageBox::Abort, "Abbrechen"},
    {Answer::Ignore, QMessageBox::Ignore, "Ignorieren"},
    {Answer::Cancel, QMessageBox::Cancel, "Abbrechen"},
};

std::vector<Answer> AnswersOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return {Answer::Ok};
    case Buttons::OkCancel:
        return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel:
        return {Answer::Retry, Answer::Cancel};
    case Buttons::AbortRetryIgnore:
        return {Answer::Abort, Answer::Retry, Answer::Ignore};
    }
    return {Answer::Ok};
}

const ButtonDef& DefOf(Answer answer)
{
    for (const ButtonDef& def : kButtonDefs)
        if (def.answer == answer)
            return def;
    return kButtonDefs[0];
}

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// "*.mm;*.txt" to "*.mm *.txt"; "*.*" matches every file name, also those without a dot.
QString QtPatterns(const QString& patterns)
{
    QStringList result;
    for (const QString& pattern : patterns.split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        result << (trimmed == "*.*" ? QString("*") : trimmed);
    }
    return result.join(' ');
}

} // namespace

QString QtFileFilter(const std::string& pipeFilter)
{
    const QStringList parts = QString::fromStdString(pipeFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QString("%1 (%2)").arg(parts[i].trimmed(), QtPatterns(parts[i + 1]));
    return filters.join(";;");
}

QtInteraction::QtInteraction(QObject* parent) : QObject(parent)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

QtInteraction::~QtInteraction()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    while (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void QtInteraction::SetSplash(FrmSplash* splash)
{
    m_splash = splash;
}

void QtInteraction::SetMainWindow(Mainform* mainWindow)
{
    m_mainWindow = mainWindow;
}

Answer QtInteraction::Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                          const std::string& caption)
{
    return AskBox(text, buttons, defaultAnswer, icon, caption, nullptr);
}

Answer QtInteraction::AskOfferingSilence(const std::string& text, Buttons buttons, Answer defaultAnswer,
                                         MsgIcon icon, const std::string& caption, bool& dontAskAgain)
{
    const Answer answer = AskBox(text, buttons, defaultAnswer, icon, caption, &dontAskAgain);
    return answer;
}

Answer QtInteraction::AskBox(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                             const std::string& caption, bool* dontAskAgain)
{
    QMessageBox box(ToQt(icon), CaptionOrDefault(caption), ToQt(text), QMessageBox::NoButton, DialogParent());
    box.setObjectName("QuestionBox");
    QCheckBox* silence = nullptr;
    if (dontAskAgain) {
        *dontAskAgain = false;
        silence = new QCheckBox("&Nicht mehr fragen", &box);
        silence->setObjectName("chkDontAskAgain");
        box.setCheckBox(silence);
    }
    const std::vector<Answer> answers = AnswersOf(buttons);
    for (Answer answer : answers) {
        const ButtonDef& def = DefOf(answer);
        box.addButton(def.button)->setText(QString::fromUtf8(def.text));
    }
    if (std::find(answers.begin(), answers.end(), defaultAnswer) != answers.end())
        box.setDefaultButton(DefOf(defaultAnswer).button);
    // A question must not be answered by the wait pointer of the work that asks it.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int clicked = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    if (silence)
        *dontAskAgain = silence->isChecked();
    for (const ButtonDef& def : kButtonDefs)
        if (def.button == clicked && std::find(answers.begin(), answers.end(), def.answer) != answers.end())
            return def.answer;
    // Closed by the window's close button: the escape answer, else the default.
    if (std::find(answers.begin(), answers.end(), Answer::Cancel) != answers.end())
        return Answer::Cancel;
    return defaultAnswer;
}

void QtInteraction::Inform(const std::string& text, MsgIcon icon, const std::string& caption)
{
    QMessageBox box(ToQt(icon), CaptionOrDefault(caption), ToQt(text), QMessageBox::Ok, DialogParent());
    box.button(QMessageBox::Ok)->setText("OK");
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
}

std::vector<std::string> QtInteraction::ChooseFiles(const FileRequest& request)
{
    const QString caption = ToQt(request.Caption);
    const std::string purpose = request.Purpose.empty() ? request.Caption : request.Purpose;
    const QString start = StartFolder(purpose, ToQt(request.InitialPath));
    const QString filter = QtFileFilter(request.Filter);
    QStringList files;
    if (request.Save) {
        const QString file = QFileDialog::getSaveFileName(DialogParent(), caption, start, filter);
        if (!file.isEmpty())
            files << file;
    } else if (request.Multiple) {
        files = QFileDialog::getOpenFileNames(DialogParent(), caption, start, filter);
    } else {
        const QString file = QFileDialog::getOpenFileName(DialogParent(), caption, start, filter);
        if (!file.isEmpty())
            files << file;
    }
    if (!files.isEmpty())
        RememberFolder(purpose, files.front());
    std::vector<std::string> result;
    for (const QString& file : files)
        result.push_back(file.toStdString());
    return result;
}

std::optional<int> QtInteraction::ChooseItem(const std::string& prompt, const std::vector<std::string>& items,
                                             const std::string& caption)
{
    if (items.empty())
        return std::nullopt;
    QStringList texts;
    for (const std::string& item : items)
        texts << ToQt(item);
    QInputDialog dialog(DialogParent());
    dialog.setWindowTitle(CaptionOrDefault(caption));
    dialog.setLabelText(ToQt(prompt));
    dialog.setComboBoxItems(texts);
    dialog.setComboBoxEditable(false);
    dialog.setOkButtonText("OK");
    dialog.setCancelButtonText("Abbrechen");
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const qsizetype index = texts.indexOf(dialog.textValue());
    if (index < 0)
        return std::nullopt;
    return static_cast<int>(index);
}

bool QtInteraction::SplashVisible() const
{
    return m_splash && m_splash->isVisible();
}

void QtInteraction::SetSplashStatus(const std::string& text)
{
    if (m_splash)
        m_splash->SetStatus(text);
}

bool QtInteraction::MainWindowLoaded() const
{
    return m_mainWindow && m_mainWindow->isVisible();
}

void QtInteraction::SetStatus(const std::string& text, int percent)
{
    m_statusText = text;
    m_statusPercent = percent < 0 ? -1 : std::min(percent, 100);
    if (m_mainWindow)
        m_mainWindow->ShowStatus(text, m_statusPercent);
}

std::string QtInteraction::StatusText() const
{
    return m_statusText;
}

int QtInteraction::StatusPercent() const
{
    return m_statusPercent;
}

std::string QtInteraction::ActiveWindowName() const
{
    QWidget* active = QApplication::activeModalWidget();
    if (!active)
        active = QApplication::activeWindow();
    if (!active)
        return {};
    // Inside the frame window the active child window is what the user works in.
    if (m_mainWindow && active == m_mainWindow.data()) {
        if (QMdiSubWindow* sub = m_mainWindow->MdiArea()->activeSubWindow())
            if (QWidget* child = sub->widget())
                return child->objectName().toStdString();
    }
    return active->objectName().toStdString();
}

void QtInteraction::UnloadActiveWindow()
{
    QWidget* active = QApplication::activeModalWidget();
    if (!active)
        active = QApplication::activeWindow();
    if (m_mainWindow && active == m_mainWindow.data()) {
        // The frame itself stays; its active child goes.
        if (QMdiSubWindow* sub = m_mainWindow->MdiArea()->activeSubWindow())
            sub->close();
        return;
    }
    if (active)
        active->close();
}

void QtInteraction::ProcessEvents()
{
    QCoreApplication::processEvents();
}

bool QtInteraction::CancelRequested()
{
    return m_cancel;
}

void QtInteraction::ResetCancel()
{
    m_cancel = false;
}

void QtInteraction::SetBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void QtInteraction::SetClipboardText(const std::string& text)
{
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

bool QtInteraction::OpenWithDefaultApplication(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtInteraction::eventFilter(QObject* watched, QEvent* event)
{
    // Esc asks the running operation to stop; the key still reaches its window.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_cancel = true;
    return QObject::eventFilter(watched, event);
}

} // namespace pf
