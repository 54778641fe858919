#include "ui/FrmMMImportFList.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

FrmMMImportFList::FrmMMImportFList(const std::vector<std::string>& files, QWidget* parent) : QDialog(parent)
{
    setObjectName("FrmMMImportFList");
    setWindowTitle("Dateiliste");
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("lstFiles");
    for (const std::string& file : files)
        m_list->addItem(QString::fromStdString(file));
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    auto* del = new QPushButton("&Entfernen", this);
    del->setObjectName("cmdDel");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    buttons->addWidget(del);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(del, &QPushButton::clicked, this, &FrmMMImportFList::cmdDel_Click);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 360);
}

std::vector<std::string> FrmMMImportFList::Files() const
{
    std::vector<std::string> files;
    for (int i = 0; i < m_list->count(); ++i)
        files.push_back(m_list->item(i)->text().toStdString());
    return files;
}

void FrmMMImportFList::cmdDel_Click()
{
    delete m_list->takeItem(m_list->currentRow());
}

} // namespace pf
