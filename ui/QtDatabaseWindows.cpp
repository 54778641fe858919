#include "ui/QtDatabaseWindows.h"

#include "core/AppContext.h"
#include "ui/FrmDBOpen.h"
#include "ui/FrmInitSystem.h"
#include "ui/FrmSplash.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace pf {

namespace {

// Takes the splash off the top for the lifetime of a dialog and puts it back afterwards.
class SplashDown
{
public:
    explicit SplashDown(FrmSplash* splash) : m_splash(splash)
    {
        if (m_splash && m_splash->isVisible())
            m_splash->SetOnTop(false);
        else
            m_splash = nullptr;
    }
    ~SplashDown()
    {
        if (m_splash)
            m_splash->SetOnTop(true);
    }
    SplashDown(const SplashDown&) = delete;
    SplashDown& operator=(const SplashDown&) = delete;

private:
    QPointer<FrmSplash> m_splash;
};

} // namespace

QtDatabaseWindows::QtDatabaseWindows(QWidget* parent, FrmSplash* splash) : m_parent(parent), m_splash(splash)
{
}

void QtDatabaseWindows::SetSplash(FrmSplash* splash)
{
    m_splash = splash;
}

FirstStartResult QtDatabaseWindows::ShowFirstStart(const std::vector<FirstStartItem>& items,
                                                   const std::string& newPath)
{
    SplashDown down(m_splash);
    FrmInitSystem window(items, newPath, m_parent);
    if (window.exec() != QDialog::Accepted)
        return {};
    return window.Result();
}

bool QtDatabaseWindows::ShowSelection()
{
    SplashDown down(m_splash);
    FrmDBOpen window(m_parent);
    return window.exec() == QDialog::Accepted;
}

void QtDatabaseWindows::ShowOptions()
{
    SplashDown down(m_splash);
    QMessageBox box(QMessageBox::Information, QString::fromStdString(AppContext::Current().AppCaption),
                    QString::fromUtf8("Der Einstellungsdialog ist noch nicht verfügbar."), QMessageBox::Ok,
                    m_parent);
    box.button(QMessageBox::Ok)->setText("OK");
    box.exec();
}

void QtDatabaseWindows::UnloadSplash()
{
    if (m_splash)
        m_splash->close();
}

} // namespace pf
