#pragma once
// The database selection window: a database file (typed, browsed or taken from the last-used list)
// or an ODBC data source with its logon. OK hands the choice to the selection commit, which stores
// it; the caller then reopens the work database. A file that does not exist yet is created on OK
// after one question, before anything is committed; "Neu anlegen" makes a new database on the
// server and commits it the same way.

#include "db/DatabaseChoice.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace pf {

class FrmDBOpen : public QDialog
{
    Q_OBJECT
public:
    // Shows the current connection and the last-used list of the settings.
    explicit FrmDBOpen(QWidget* parent = nullptr);

    // The choice as the controls hold it now.
    DatabaseSelection Selection() const;
    // Replaces the commit (CommitDatabaseSelection) for tests.
    void SetCommit(std::function<void(const DatabaseSelection&)> commit);

    QRadioButton* FileOption() const { return m_optFile; }
    QRadioButton* OdbcOption() const { return m_optOdbc; }
    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browse; }
    QListWidget* LastUsedList() const { return m_lastUsed; }
    QLineEdit* DsnEdit() const { return m_dsn; }
    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QRadioButton* LogonOption(int logonType) const;
    QDialogButtonBox* Buttons() const { return m_buttons; }

    // OK: checks the entry, commits it and closes; an incomplete entry keeps the window open.
    void accept() override;

private:
    void Browse();
    bool CreateIfMissing(const std::string& path);
    void UpdateControls();
    // Whether the server page names a data source; when not, says so and puts the cursor there.
    bool DataSourceGiven(const DatabaseSelection& choice);
    // Opens the server database of the fields once and says whether that worked.
    void TestConnection();
    // Makes a new database from the base data on the server of the fields and opens it.
    void NewServerDatabase();
    QGroupBox* BuildKindBox();
    QWidget* BuildFilePage();
    QWidget* BuildOdbcPage();
    QGroupBox* BuildLogonBox(QWidget* page);
    void ShowCurrentConnection();

    QRadioButton* m_optFile = nullptr;
    QRadioButton* m_optOdbc = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QListWidget* m_lastUsed = nullptr;
    QLineEdit* m_dsn = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_testConnection = nullptr;
    QPushButton* m_newServerDb = nullptr;
    QRadioButton* m_logon[3] = {nullptr, nullptr, nullptr};
    QDialogButtonBox* m_buttons = nullptr;
    std::function<void(const DatabaseSelection&)> m_commit;
};

} // namespace pf
