#pragma once
// Tips and quick start: one tip at a time with "Nächster Tipp", buttons for the first steps (search,
// new recipe, import, settings) that run the main window's commands, and the ShowTips option that
// decides whether the window opens at start.

#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;

namespace pf {

class frmTip : public QWidget
{
    Q_OBJECT
public:
    // runCommand receives the command of a quick-start button ("Mnu01Suchen" …).
    explicit frmTip(std::function<void(const std::string&)> runCommand = {}, QWidget* parent = nullptr);

    // Shows the next tip (after the last one the first again).
    void cmdNext_Click();
    int TipIndex() const { return m_index; }
    static int TipCount();

private:
    void ShowTip();

    std::function<void(const std::string&)> m_runCommand;
    QLabel* m_tip = nullptr;
    QLabel* m_number = nullptr;
    int m_index = 0;
};

} // namespace pf
