#pragma once
// What every window test needs: one QApplication for the whole run (offscreen platform) and a
// fresh settings store and application context per test.

#include "core/AppContext.h"
#include "db/DatabaseChoice.h"
#include "model/ProgramUnits.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include "db/Value.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

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

// The visible top-level window of a type, nullptr when none is open.
template <typename T> T* OpenWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<T*>(w); window && window->isVisible())
            return window;
    return nullptr;
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
    static long Scalar(const std::string& sql) { return static_cast<long>(WorkDb().Scalar(sql).AsLong()); }
};

} // namespace pf::test
