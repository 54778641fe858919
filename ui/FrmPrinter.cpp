#include "ui/FrmPrinter.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "ui/UiSupport.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

FrmPrinter::FrmPrinter(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmPrinter");
    CloseOnEscape(this);
    setWindowTitle("Druckereinrichtung");
    auto* layout = new QVBoxLayout(this);
    const QStringList names = QPrinterInfo::availablePrinterNames();
    auto* label = new QLabel(names.isEmpty() ? QString::fromUtf8("Es ist kein Drucker eingerichtet. Ausdrucke "
                                                                 "können als PDF-Datei gespeichert werden.")
                                             : QString("&Standarddrucker:"),
                             this);
    layout->addWidget(label);
    m_printers = new QComboBox(this);
    m_printers->setObjectName("cboPrinter");
    m_printers->addItems(names);
    const int current = m_printers->findText(Q(AppContext::Current().StdPrinter), Qt::MatchFixedString);
    m_printers->setCurrentIndex(current >= 0 ? current
                                             : m_printers->findText(QPrinterInfo::defaultPrinterName()));
    label->setBuddy(m_printers);
    layout->addWidget(m_printers);
    // Without a printer an empty list would only look broken.
    m_printers->setVisible(!names.isEmpty());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = MakeButton("cmdOK", "OK", this);
    ok->setEnabled(!names.isEmpty());
    QPushButton* cancel = MakeButton("cmdCancel", "Abbrechen", this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void FrmPrinter::cmdOK_Click()
{
    const std::string name = S(m_printers->currentText());
    AppContext::Current().StdPrinter = name;
    WriteSetting("", "StdPrinter", name, false);
    close();
}

} // namespace pf
