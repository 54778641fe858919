#pragma once
// The windows the database open sequence asks the user with: the first-start window and the
// selection window, shown modally over the given parent. While one is up, the splash gives up its
// place above all windows so the dialog is not hidden behind it.

#include "db/DatabaseChoice.h"

#include <QPointer>

class QWidget;

namespace pf {

class FrmSplash;

class QtDatabaseWindows : public DatabaseWindows
{
public:
    explicit QtDatabaseWindows(QWidget* parent = nullptr, FrmSplash* splash = nullptr);

    void SetSplash(FrmSplash* splash);

    FirstStartResult ShowFirstStart(const std::vector<FirstStartItem>& items,
                                    const std::string& newPath) override;
    bool ShowSelection() override;
    // The options window does not exist yet: says so.
    void ShowOptions() override;
    void UnloadSplash() override;

private:
    QPointer<QWidget> m_parent;
    QPointer<FrmSplash> m_splash;
};

} // namespace pf
