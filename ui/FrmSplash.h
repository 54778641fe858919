#pragma once
// The window shown while the program starts: title, version, the installation's greeting and a
// status line that the start sequence updates. Frameless and above all other windows.

#include <QElapsedTimer>
#include <QWidget>

#include <string>

class QLabel;

namespace pf {

class FrmSplash : public QWidget
{
    Q_OBJECT
public:
    // Reads the version from the current AppContext and the machine-wide Greetings setting.
    explicit FrmSplash(QWidget* parent = nullptr);

    void SetStatus(const std::string& text);
    QString Status() const;
    QString Greeting() const;
    // Time since the window was first shown; 0 before that.
    qint64 ShownMilliseconds() const;
    // Gives up (or takes back) the place above all windows, so a dialog opened meanwhile is seen.
    void SetOnTop(bool onTop);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_greeting = nullptr;
    QLabel* m_status = nullptr;
    QElapsedTimer m_shown;
};

} // namespace pf
