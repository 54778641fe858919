#pragma once
// The user manager: the list of users, and for the chosen one the name, description, password
// and rights. Saving the first user switches the login on from the next start and makes settings
// user-specific; the last administrator cannot be deleted. Works on its own ClsUser of the work
// database; every save and delete is written at once.

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace pf {

class ClsUser;

class FrmUsermanager : public QDialog
{
    Q_OBJECT
public:
    explicit FrmUsermanager(QWidget* parent = nullptr);
    ~FrmUsermanager() override;

    void cmdNew_Click();
    bool cmdSave_Click();
    void cmdDelete_Click();
    // The user whose data the form shows (index into ClsUser), 0 for none.
    int CurrentIndex() const { return m_current; }

private:
    void FillList(int select);
    void ShowUser(int index);
    long CheckedFlags() const;
    void AdminToggled();

    std::unique_ptr<ClsUser> m_users;
    int m_current = 0;
    QListWidget* m_list = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_desc = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_repeat = nullptr;
    QCheckBox* m_admin = nullptr;
    std::vector<std::pair<QCheckBox*, long>> m_rights;
};

} // namespace pf
