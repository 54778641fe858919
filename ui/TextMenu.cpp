#include "ui/TextMenu.h"

#include "core/AppContext.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmLexikonEdit.h"
#include "ui/UiSupport.h"

#include <QAction>
#include <QColorDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

#include <memory>

namespace pf {

namespace {

bool IsFormat(const std::string& command)
{
    return command != "HideRTFCopy" && command != "HideRTFPaste" && command != "HideRTFLexikon";
}

QString SelectedText(QWidget* box)
{
    if (auto* rich = qobject_cast<QTextEdit*>(box))
        return rich->textCursor().selectedText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        return plain->textCursor().selectedText();
    return {};
}

// The word to look up: the selection, else the word at the cursor.
QString LookupWord(QWidget* box)
{
    QString word = SelectedText(box).trimmed();
    if (!word.isEmpty())
        return word;
    QTextCursor cursor;
    if (auto* rich = qobject_cast<QTextEdit*>(box))
        cursor = rich->textCursor();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        cursor = plain->textCursor();
    cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText().trimmed();
}

void ToggleFormat(QTextEdit* box, const std::string& command)
{
    const QTextCharFormat current = box->currentCharFormat();
    QTextCharFormat change;
    if (command == "HideRTFBold")
        change.setFontWeight(current.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
    else if (command == "HideRTFKursiv")
        change.setFontItalic(!current.fontItalic());
    else if (command == "HideRTFUnderline")
        change.setFontUnderline(!current.fontUnderline());
    else
        change.setFontStrikeOut(!current.fontStrikeOut());
    box->mergeCurrentCharFormat(change);
}

// The user's stock phrases, each inserted at the cursor of an editable box.
void AddPhraseMenu(QMenu* menu, QWidget* box)
{
    QMenu* phrases = menu->addMenu("Floskel einfü&gen");
    phrases->setObjectName("mnuPhrases");
    const bool editable = TextCommandApplies(box, "HideRTFPaste");
    int number = 0;
    for (const std::string& phrase : AppContext::Current().Phrases) {
        const int index = number++;
        if (phrase.empty())
            continue;
        QAction* action = phrases->addAction(QString("&%1 ").arg(index) + Q(phrase).replace('&', "&&"));
        const QString text = Q(phrase);
        QObject::connect(action, &QAction::triggered, box, [box, text] {
            if (auto* rich = qobject_cast<QTextEdit*>(box))
                rich->insertPlainText(text);
            else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
                plain->insertPlainText(text);
        });
    }
    phrases->setEnabled(editable && !phrases->isEmpty());
}

} // namespace

const std::vector<TextMenuEntry>& TextMenuEntries()
{
    static const std::vector<TextMenuEntry> entries = {
        {"HideRTFBold", "&Fett", false},
        {"HideRTFKursiv", "&Kursiv", false},
        {"HideRTFUnderline", "&Unterstrichen", false},
        {"HideRTFStrikeThru", "&Durchgestrichen", false},
        {"HideRTFBullet", "&Aufzählung", false},
        {"HideRTFFont", "&Schriftart …", true},
        {"HideRTFColor", "Fa&rbe …", false},
        {"HideRTFCopy", "K&opieren", true},
        {"HideRTFPaste", "&Einfügen", false},
        {"HideRTFLexikon", "Im &Lexikon nachschlagen", true},
    };
    return entries;
}

bool TextCommandApplies(const QWidget* box, const std::string& command)
{
    const auto* rich = qobject_cast<const QTextEdit*>(box);
    const auto* plain = qobject_cast<const QPlainTextEdit*>(box);
    if (!rich && !plain)
        return false;
    if (IsFormat(command))
        return rich && rich->acceptRichText() && !rich->isReadOnly();
    if (command == "HideRTFPaste")
        return rich ? !rich->isReadOnly() : !plain->isReadOnly();
    return true;
}

bool RunTextCommand(QWidget* box, const std::string& command)
{
    if (!TextCommandApplies(box, command))
        return false;
    auto* rich = qobject_cast<QTextEdit*>(box);
    auto* plain = qobject_cast<QPlainTextEdit*>(box);
    if (command == "HideRTFCopy") {
        rich ? rich->copy() : plain->copy();
    } else if (command == "HideRTFPaste") {
        rich ? rich->paste() : plain->paste();
    } else if (command == "HideRTFLexikon") {
        const QString word = LookupWord(box);
        auto* lexicon = new FrmLexikonEdit;
        if (!word.isEmpty()) {
            lexicon->findChild<QLineEdit*>("txtSuchen")->setText(word);
            lexicon->cmdSuchen_Click();
        }
        ShowBeside(box, lexicon);
    } else if (command == "HideRTFBullet") {
        QTextCursor cursor = rich->textCursor();
        if (QTextList* list = cursor.currentList()) {
            // A second time ends the list for this paragraph.
            list->remove(cursor.block());
            QTextBlockFormat block = cursor.blockFormat();
            block.setIndent(0);
            cursor.setBlockFormat(block);
        } else {
            cursor.createList(QTextListFormat::ListDisc);
        }
    } else if (command == "HideRTFFont") {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, rich->currentFont(), rich, "Schriftart");
        if (ok) {
            QTextCharFormat change;
            change.setFont(font);
            rich->mergeCurrentCharFormat(change);
        }
    } else if (command == "HideRTFColor") {
        const QColor color = QColorDialog::getColor(rich->textColor(), rich, "Farbe");
        if (color.isValid())
            rich->setTextColor(color);
    } else {
        ToggleFormat(rich, command);
    }
    return true;
}

QMenu* MakeTextMenu(QWidget* box)
{
    auto* menu = new QMenu(box);
    menu->setObjectName("HideRTF");
    for (const TextMenuEntry& entry : TextMenuEntries()) {
        if (entry.SeparatorBefore)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromUtf8(entry.Caption));
        action->setObjectName(entry.Command);
        action->setEnabled(TextCommandApplies(box, entry.Command));
        const std::string command = entry.Command;
        QObject::connect(action, &QAction::triggered, box,
                         [box, command] { RunTrapped([box, command] { RunTextCommand(box, command); }); });
        if (command == "HideRTFPaste")
            AddPhraseMenu(menu, box);
    }
    return menu;
}

void InstallTextMenu(QWidget* box)
{
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(box, &QWidget::customContextMenuRequested, box, [box](const QPoint& pos) {
        std::unique_ptr<QMenu> menu(MakeTextMenu(box));
        menu->exec(box->mapToGlobal(pos));
    });
}

} // namespace pf
