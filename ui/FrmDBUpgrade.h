#pragma once
// The upgrade window: asked once when the work database is older than the program. It shows both
// versions and the database's history, offers a safety copy and a compaction afterwards, and
// returns the user's answer; the upgrade itself runs in the database layer. QtUpgradeWindow is the
// window as the database layer asks for it (installed with SetUpgradeWindow at start).

#include "db/SchemaVersion.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace pf {

class FrmDBUpgrade : public QDialog
{
    Q_OBJECT
public:
    explicit FrmDBUpgrade(const UpgradeQuestion& question, QWidget* parent = nullptr);

    // Result -1 until the user chose to upgrade or to go on without.
    UpgradeChoice Choice() const { return m_choice; }
    // Fills the history list from the question's T_VERSION rows and shows it.
    void ViewVersion();

    QCheckBox* BackupOption() const { return m_chkBackup; }
    QCheckBox* OptimiseOption() const { return m_chkOptimise; }
    QPushButton* UpgradeButton() const { return m_cmdUpgrade; }
    QPushButton* ContinueButton() const { return m_cmdContinue; }
    QPushButton* CancelButton() const { return m_cmdCancel; }
    QPushButton* ViewVersionButton() const { return m_cmdViewVersion; }
    QTreeWidget* VersionList() const { return m_lstVersion; }
    QLabel* DatabaseVersionLabel() const { return m_lblDatabaseVersion; }
    QLabel* ProgramVersionLabel() const { return m_lblProgramVersion; }

private:
    void Upgrade();
    void ContinueWithout();

    UpgradeQuestion m_question;
    UpgradeChoice m_choice;
    QLabel* m_lblDatabaseVersion = nullptr;
    QLabel* m_lblProgramVersion = nullptr;
    QCheckBox* m_chkBackup = nullptr;
    QCheckBox* m_chkOptimise = nullptr;
    QPushButton* m_cmdUpgrade = nullptr;
    QPushButton* m_cmdContinue = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdViewVersion = nullptr;
    QTreeWidget* m_lstVersion = nullptr;
};

// Shows FrmDBUpgrade modally; while it is up the splash gives up its place above all windows.
class QtUpgradeWindow : public UpgradeWindow
{
public:
    UpgradeChoice UpdateQuestion(const UpgradeQuestion& question) override;
};

} // namespace pf
