#include "ui/FrmBaseDataProgress.h"

#include "db/InitFiles.h"
#include "ui/AppIcon.h"

#include <QApplication>

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace pf {

namespace {
constexpr auto kRefreshInterval = std::chrono::milliseconds(200);
}

FrmBaseDataProgress::FrmBaseDataProgress(QWidget* parent) : QDialog(parent)
{
    setObjectName("FrmBaseDataProgress");
    setWindowTitle(QString::fromUtf8("Basis-Daten"));
    m_label = new QLabel(this);
    m_label->setObjectName("Label");
    m_label->setMinimumWidth(320);
    m_percent = new QProgressBar(this);
    m_percent->setObjectName("Percent");
    m_percent->setRange(0, 100);
    m_percent->setValue(0);
    m_counter = new QLabel(QStringLiteral("0"), this);
    m_counter->setObjectName("Counter");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_percent);
    layout->addWidget(m_counter);
    show();
    Refresh(true);
}

void FrmBaseDataProgress::SetPercent(int percent)
{
    m_percent->setValue(std::clamp(percent, 0, 100));
    Refresh(false);
}

void FrmBaseDataProgress::SetCounter(long counter)
{
    m_counter->setText(QString::number(counter));
    Refresh(false);
}

void FrmBaseDataProgress::SetLabel(const std::string& text)
{
    m_label->setText(QString::fromStdString(text));
    Refresh(true);
}

void FrmBaseDataProgress::Refresh(bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastRefresh < kRefreshInterval)
        return;
    m_lastRefresh = now;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrmBaseDataProgress::Install()
{
    SetBaseDataProgressFactory([]() -> std::unique_ptr<BaseDataProgress> {
        auto window = std::make_unique<FrmBaseDataProgress>(QApplication::activeWindow());
        window->setWindowIcon(AppIcon());
        return window;
    });
}

} // namespace pf
