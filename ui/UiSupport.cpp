#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QMdiSubWindow>
#include <QPushButton>

namespace pf {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string S(const QString& text)
{
    return text.toStdString();
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QCheckBox* MakeCheck(const QString& name, const QString& text, QWidget* parent)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    return check;
}

void CloseWindow(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

QString DateTimeCell(DateSerial date)
{
    if (date.Days == 0)
        return {};
    return Q(DateTimeText(date));
}

} // namespace pf
