#include "ui/FrmInitSystem.h"

#include "core/AppContext.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pf {

FrmInitSystem::FrmInitSystem(const std::vector<FirstStartItem>& items, const std::string& newPath,
                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmInitSystem");
    setWindowTitle(QString::fromStdString(AppContext::Current().AppCaption) +
                   QString::fromUtf8(" - Erster Start"));

    auto* intro = new QLabel(QString::fromUtf8("<b>Willkommen bei Pfannola!</b><br>"
                                               "Es ist noch keine Rezeptdatenbank eingerichtet. "
                                               "Womit möchten Sie beginnen?"),
                             this);
    intro->setWordWrap(true);

    m_optNew = new QRadioButton(QString::fromUtf8("Eine &neue Datenbank mit den Grunddaten anlegen"), this);
    m_optNew->setObjectName("optNew");
    auto* newPathLabel =
        new QLabel(QString::fromUtf8("Sie wird hier angelegt: ") +
                       QString::fromStdString(newPath).toHtmlEscaped().prepend("<i>").append("</i>"),
                   this);
    newPathLabel->setObjectName("lblNewPath");
    newPathLabel->setWordWrap(true);
    newPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_optExisting = new QRadioButton(QString::fromUtf8("Eine &vorhandene Datenbank verwenden:"), this);
    m_optExisting->setObjectName("optExisting");
    m_list = new QListWidget(this);
    m_list->setObjectName("lstDatabases");
    for (const FirstStartItem& item : items) {
        auto* entry = new QListWidgetItem(QString::fromStdString(item.Text), m_list);
        entry->setToolTip(item.InDataDir ? QString::fromUtf8("im Datenordner") : QString());
    }

    m_optSelect = new QRadioButton(QString::fromUtf8("Die Datenbank im &Auswahldialog bestimmen "
                                                     "(andere Datei oder ODBC-Datenquelle)"),
                                   this);
    m_optSelect->setObjectName("optSelect");

    auto* group = new QButtonGroup(this);
    group->addButton(m_optNew, 0);
    group->addButton(m_optExisting, 1);
    group->addButton(m_optSelect, 2);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText("OK");
    m_buttons->button(QDialogButtonBox::Cancel)->setText("Abbrechen");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addWidget(m_optNew);
    auto* indentNew = new QHBoxLayout;
    indentNew->addSpacing(24);
    indentNew->addWidget(newPathLabel, 1);
    layout->addLayout(indentNew);
    layout->addSpacing(6);
    layout->addWidget(m_optExisting);
    auto* indentList = new QHBoxLayout;
    indentList->addSpacing(24);
    indentList->addWidget(m_list, 1);
    layout->addLayout(indentList, 1);
    layout->addSpacing(6);
    layout->addWidget(m_optSelect);
    layout->addSpacing(8);
    layout->addWidget(m_buttons);

    m_optExisting->setEnabled(!items.empty());
    m_list->setEnabled(!items.empty());
    m_optNew->setChecked(true);

    connect(group, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            m_optExisting->setChecked(true);
        UpdateControls();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &FrmInitSystem::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FrmInitSystem::reject);

    resize(520, 420);
    UpdateControls();
}

void FrmInitSystem::UpdateControls()
{
    // An existing file needs a chosen entry before OK means anything.
    const bool ready = !m_optExisting->isChecked() || m_list->currentRow() >= 0;
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(ready);
}

void FrmInitSystem::accept()
{
    FirstStartResult result;
    if (m_optNew->isChecked()) {
        result.Mode = 0;
    } else if (m_optExisting->isChecked()) {
        if (m_list->currentRow() < 0)
            return;
        result.Mode = 1;
        result.Item = m_list->currentRow();
    } else if (m_optSelect->isChecked()) {
        result.Mode = 2;
    }
    m_result = result;
    QDialog::accept();
}

FirstStartResult FrmInitSystem::Result() const
{
    return m_result;
}

} // namespace pf
