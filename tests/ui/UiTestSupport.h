#pragma once
// What every window test needs: one QApplication for the whole run (offscreen platform), a fresh
// settings store and application context per test, the widgets the windows are made of, and the
// small steps a user takes in them.

#include "core/AppContext.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/Value.h"
#include "model/ProgramUnits.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/Each.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace pf::test {

// The application object lives in the test program's main, so that it goes away before the
// library's own objects at exit.
inline QApplication& TestApp()
{
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

// A PNG picture of one colour, as a file or a database row holds it.
inline Blob PngPicture(int width, int height, Qt::GlobalColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Blob(png.begin(), png.end());
}

// The texts of a tree's top-level items in one column, in the order shown.
inline QStringList TopLevelTexts(const QTreeWidget* tree, int column = 0)
{
    QStringList texts;
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(column);
    return texts;
}

// The texts of a list's entries in order, the hidden ones left out when asked.
inline QStringList ItemTexts(const QListWidget* list, bool shownOnly = false)
{
    QStringList texts;
    for (int i = 0; list && i < list->count(); ++i)
        if (!shownOnly || !list->item(i)->isHidden())
            texts << list->item(i)->text();
    return texts;
}

// The texts of a table's column, top to bottom.
inline QStringList ColumnTexts(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int row = 0; table && row < table->rowCount(); ++row)
        texts << table->item(row, column)->text();
    return texts;
}

// The visible top-level window of a type, nullptr when none is open.
template <typename T> T* OpenWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<T*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

// Runs step on the modal window of type T once it is up (the code under test opens it modally and
// waits). Another window, or none, fails the test and is closed, so that nothing waits for ever.
template <typename T = QWidget, typename Step> void OnModal(Step step)
{
    QTimer::singleShot(0, [step] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* window = qobject_cast<T*>(modal);
        if (!window) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
            if (modal)
                modal->close();
            return;
        }
        step(*window);
    });
}

// Every shown entry of the menu and of each of its submenus has an Alt key of its own there.
inline void ExpectOwnAltKeys(const QMenu& menu)
{
    SCOPED_TRACE((menu.objectName() + " " + menu.title()).toStdString());
    QMap<QChar, QString> keys;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        if (action->menu())
            ExpectOwnAltKeys(*action->menu());
        const QString text = action->text();
        const qsizetype amp = text.indexOf(QRegularExpression("&[^&]"));
        if (amp < 0) {
            ADD_FAILURE() << "no Alt key: " << text.toStdString();
            continue;
        }
        const QChar key = text[amp + 1].toLower();
        EXPECT_FALSE(keys.contains(key)) << text.toStdString() << " and " << keys.value(key).toStdString();
        keys.insert(key, text);
    }
}

class UiTest : public ::testing::Test
{
protected:
    UiTest()
    {
        TestApp();
        m_context.IniFile = m_dir.File("pfannola.INI");
        m_context.UserStoreFile = m_dir.File("config/Kelm/Pfannola.ini");
        m_context.WinUser = "koch";
        m_context.ProgramDir = m_dir.Dir();
        m_context.DataDir = m_dir.Dir() + "data/";
        m_context.UI = &m_ui;
    }

    // A named control of a window; a missing one fails the test.
    template <typename T> static T* Child(QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void Click(QWidget& window, const char* button)
    {
        QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
    }
    // Presses a button that asks a question first, with the answer given.
    void Click(QWidget& window, const char* button, Answer answer)
    {
        m_ui.Answering(answer);
        Click(window, button);
    }
    // Chooses the entry of a combo box by its text; a missing entry fails the test.
    static void Choose(QWidget& window, const char* combo, const QString& text)
    {
        auto* box = Child<QComboBox>(window, combo);
        ASSERT_NE(box, nullptr);
        const int index = box->findText(text);
        EXPECT_GE(index, 0) << combo << ": " << text.toStdString();
        box->setCurrentIndex(index);
    }
    // Makes the top-level entry of a tree with the text the current one; none or several fail the test.
    static void Select(QTreeWidget* tree, const QString& text)
    {
        const auto found = tree->findItems(text, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        tree->setCurrentItem(found.front());
    }

    // The texts of every message and question shown so far, oldest first.
    std::vector<std::string> Messages() const { return Each(m_ui.shown, &ScriptedInteraction::Shown::Text); }
    // The text of the last message or question, "" when none was shown.
    std::string LastMessage() const { return m_ui.shown.empty() ? "" : m_ui.shown.back().Text; }

    // The temporary folder of the program, inside the test folder.
    void UseTempFolder()
    {
        m_context.TempDir = m_dir.Dir() + "tmp/";
        std::filesystem::create_directories(m_context.TempDir);
    }
    // What making a new database needs: the INIT.ZIP beside the program, and the temporary folder.
    void UseInitZip()
    {
        std::filesystem::copy_file(PF_INIT_ZIP, m_dir.File("INIT.ZIP"));
        UseTempFolder();
    }

    TempDir m_dir;
    AppContext m_context;
    ScriptedInteraction m_ui;
    ScopedAppContext m_scope{m_context};
};

// What the work database of a window test holds: the program's empty tables, or the base data
// without or with the food table.
enum class WorkData { Tables, BaseData, BaseDataWithFoods };

// A window test on its own work database "Pfannola.MDB" in the test folder. The program's cached
// lists are dropped before and after, so that nothing read from another test's database remains.
class UiDbTest : public UiTest
{
protected:
    explicit UiDbTest(WorkData data = WorkData::Tables)
    {
        Connection() = ConnectionState{};
        const std::string path = m_dir.File("Pfannola.MDB");
        Connection().WorkDb = data == WorkData::Tables
                                  ? NewSchemaDatabase(path)
                                  : MakeBaseDataDatabase(m_dir, "Pfannola.MDB",
                                                         data == WorkData::BaseDataWithFoods ? Foods::With
                                                                                              : Foods::Without);
        ResetProgramData();
    }
    ~UiDbTest() override
    {
        ResetProgramData();
        CloseWorkDatabase();
    }

    // The single number a query gives, such as a count.
    static long Scalar(const std::string& sql, const std::vector<Value>& params = {})
    {
        return static_cast<long>(WorkDb().Scalar(sql, params).AsLong());
    }
    // The text a query gives.
    static std::string Text(const std::string& sql, const std::vector<Value>& params = {})
    {
        return WorkDb().Scalar(sql, params).AsText();
    }
};

} // namespace pf::test
