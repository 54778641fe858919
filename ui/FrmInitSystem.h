#pragma once
// The first-start window: asked when no database is set up yet. The user creates a new database at
// the default place, picks an existing file from a list, or goes on to the selection window. It only
// returns the choice; the open sequence carries it out.

#include "db/DatabaseChoice.h"

#include <QDialog>

#include <string>
#include <vector>

class QDialogButtonBox;
class QListWidget;
class QRadioButton;

namespace pf {

class FrmInitSystem : public QDialog
{
    Q_OBJECT
public:
    FrmInitSystem(const std::vector<FirstStartItem>& items, const std::string& newPath,
                  QWidget* parent = nullptr);

    // Mode -1 until the user confirmed with OK.
    FirstStartResult Result() const;

    QRadioButton* NewOption() const { return m_optNew; }
    QRadioButton* ExistingOption() const { return m_optExisting; }
    QRadioButton* SelectOption() const { return m_optSelect; }
    QListWidget* ExistingList() const { return m_list; }

    void accept() override;

private:
    void UpdateControls();

    QRadioButton* m_optNew = nullptr;
    QRadioButton* m_optExisting = nullptr;
    QRadioButton* m_optSelect = nullptr;
    QListWidget* m_list = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    FirstStartResult m_result;
};

} // namespace pf
