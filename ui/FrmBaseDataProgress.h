#pragma once
// The window a base-data load or export shows while it runs: the table being worked on, a
// percentage ("Percent") and a row counter ("Counter"). It lives as long as the run that made it;
// Install makes every new database creation show one.

#include "db/BaseData.h"

#include <QDialog>

#include <chrono>

class QLabel;
class QProgressBar;

namespace pf {

class FrmBaseDataProgress : public QDialog, public BaseDataProgress
{
    Q_OBJECT
public:
    explicit FrmBaseDataProgress(QWidget* parent = nullptr);

    void SetPercent(int percent) override;
    void SetCounter(long counter) override;
    void SetLabel(const std::string& text) override;

    QLabel* Label() const { return m_label; }
    QProgressBar* Percent() const { return m_percent; }
    QLabel* Counter() const { return m_counter; }

    // Shows this window for the base-data load of every database created from INIT.ZIP.
    static void Install();

private:
    // Lets the window repaint, at most a few times per second.
    void Refresh(bool force);

    QLabel* m_label = nullptr;
    QProgressBar* m_percent = nullptr;
    QLabel* m_counter = nullptr;
    std::chrono::steady_clock::time_point m_lastRefresh{};
};

} // namespace pf
