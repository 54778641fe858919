#pragma once
// The options window: how quantities are shown (unit system, fractions or decimals), the import
// and export options, the questions silenced with "Nicht mehr fragen", the database and the
// backup reminder. Every change is written to the settings and into the running program's
// options at once, and OptionsNotifier tells the open windows to show their recipes again.

#include <QObject>
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
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
    QWidget* BuildExchange();
    QWidget* BuildQuestions();
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
};

} // namespace pf
