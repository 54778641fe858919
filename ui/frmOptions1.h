#pragma once
// The options window: how quantities are shown (unit system, fractions or decimals), what a
// printout shows, the import and export options, recipes and the main window, the questions
// silenced with "Nicht mehr fragen", the database and the backup reminder, and the external tools
// with a test run. Every change is written to the settings and into the running program's options
// at once, and OptionsNotifier tells the open windows to show their recipes again.

#include <QObject>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pf {

// Tells open windows that a display option changed.
class OptionsNotifier : public QObject
{
    Q_OBJECT
public:
    static OptionsNotifier& Instance();
signals:
    void optionsChanged();
};

class frmOptions1 : public QWidget
{
    Q_OBJECT
public:
    explicit frmOptions1(QWidget* parent = nullptr);

private:
    QWidget* BuildDisplay();
    // What a printed recipe shows, and its ingredient layout; a group on the display page.
    QWidget* BuildPrint(QWidget* page);
    QWidget* BuildExchange();
    QWidget* BuildRecipes();
    QWidget* BuildQuestions();
    QWidget* BuildTools();
    // The tool list shows the used slots of the tool table; slot is the table index to select.
    void FillTools(int slot);
    void ShowTool();
    // Writes the fields into the selected tool and the table into the settings.
    void StoreTool();
    int CurrentToolSlot() const;
    QWidget* BuildDatabase();
    // A per-user option shown as a check box: written and applied when ticked or cleared.
    QCheckBox* OptionCheck(const char* name, const QString& text, const char* key, bool on,
                           std::function<void(bool)> apply, QWidget* parent);
    void FillQuestions();
    // Stores the folder of the databases (the default one as no setting) and shows it.
    void SetDbFolder(const std::string& folder);
    void ShowDbFolder();

    QComboBox* m_unitSystem = nullptr;
    QRadioButton* m_fractions = nullptr;
    QRadioButton* m_decimals = nullptr;
    QListWidget* m_questions = nullptr;
    QLabel* m_dbFolder = nullptr;
    QPushButton* m_dbFolderDefault = nullptr;
    QListWidget* m_tools = nullptr;
    QLineEdit* m_toolName = nullptr;
    QLineEdit* m_toolCommand = nullptr;
    QLineEdit* m_toolDir = nullptr;
    QLineEdit* m_toolFile = nullptr;
    QComboBox* m_toolFormat = nullptr;
    struct ToolBit
    {
        long Bit;
        QCheckBox* Box;
    };
    std::vector<ToolBit> m_toolBits;
    bool m_filling = false;
};

} // namespace pf
