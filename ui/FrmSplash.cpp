#include "ui/FrmSplash.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "ui/AppIcon.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 300;
constexpr int kBandHeight = 150;

} // namespace

FrmSplash::FrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmSplash");
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QString::fromStdString(AppContext::Current().AppCaption));

    auto* title = new QLabel("Pfannola", this);
    title->setObjectName("lblTitle");
    QFont titleFont("DejaVu Serif");
    titleFont.setPixelSize(52);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet("color: #FFF7EA; background: transparent;");

    auto* subtitle = new QLabel(QString::fromUtf8("Rezepte sammeln, planen und kochen"), this);
    subtitle->setStyleSheet("color: #FCE3CC; background: transparent;");
    QFont subtitleFont = subtitle->font();
    subtitleFont.setPixelSize(15);
    subtitleFont.setItalic(true);
    subtitle->setFont(subtitleFont);

    std::string versionText = AppContext::Current().VersionText;
    if (!versionText.empty() && versionText.front() == 'v')
        versionText.erase(0, 1);
    auto* version = new QLabel(QString::fromStdString("Version " + versionText), this);
    version->setObjectName("lblVersion");
    version->setStyleSheet("color: #5A3A26; background: transparent;");

    m_greeting = new QLabel(this);
    m_greeting->setObjectName("lblGreetings");
    m_greeting->setWordWrap(true);
    m_greeting->setStyleSheet("color: #8A3A1C; background: transparent;");
    QFont greetingFont = m_greeting->font();
    greetingFont.setBold(true);
    greetingFont.setPixelSize(15);
    m_greeting->setFont(greetingFont);
    const std::string greeting = ReadSetting("", "Greetings", "", true);
    m_greeting->setText(QString::fromStdString(greeting));
    m_greeting->setVisible(!greeting.empty());

    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    m_status->setStyleSheet("color: #6B5544; background: transparent;");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 26, 28, 16);
    layout->setSpacing(4);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(kBandHeight - 26 - title->sizeHint().height() - subtitle->sizeHint().height() + 8);
    layout->addWidget(version);
    layout->addWidget(m_greeting);
    layout->addStretch(1);
    layout->addWidget(m_status);
}

void FrmSplash::SetStatus(const std::string& text)
{
    m_status->setText(QString::fromStdString(text));
    // Shown during start before the event loop runs: paint now.
    m_status->repaint();
}

QString FrmSplash::Status() const
{
    return m_status->text();
}

QString FrmSplash::Greeting() const
{
    return m_greeting->text();
}

qint64 FrmSplash::ShownMilliseconds() const
{
    return m_shown.isValid() ? m_shown.elapsed() : 0;
}

void FrmSplash::SetOnTop(bool onTop)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing window flags hides the window.
    if (visible)
        show();
}

void FrmSplash::showEvent(QShowEvent* event)
{
    if (!m_shown.isValid())
        m_shown.start();
    QWidget::showEvent(event);
}

void FrmSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xFB, 0xF3, 0xE4));

    QLinearGradient band(0, 0, width(), kBandHeight);
    band.setColorAt(0.0, QColor(0xA8, 0x3F, 0x1F));
    band.setColorAt(1.0, QColor(0xE0, 0x7B, 0x39));
    painter.fillRect(QRect(0, 0, width(), kBandHeight), band);
    painter.fillRect(QRect(0, kBandHeight, width(), 4), QColor(0xF2, 0xA9, 0x1E));

    DrawPan(painter, QRectF(width() - 170, 18, 140, 140));

    painter.setPen(QColor(0xC9, 0xB2, 0x94));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace pf
