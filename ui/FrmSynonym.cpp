#include "ui/FrmSynonym.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "nutrition/FoodRecord.h"
#include "nutrition/FoodSynonyms.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr int kLanguageRole = Qt::UserRole + 1;

} // namespace

FrmSynonym::FrmSynonym(Database& db, long foodId, const std::string& text, QWidget* parent)
    : QDialog(parent), m_db(db), m_food(foodId)
{
    setObjectName("FrmSynonym");
    setWindowTitle("Synonyme");
    auto* layout = new QVBoxLayout(this);
    m_name = Named(new QLabel(this), "lblNahrungsmittel");
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    layout->addWidget(m_name);
    auto* listLabel = new QLabel("&Vorhandene Synonyme:", this);
    m_list = Named(new QListWidget(this), "lstSynonyme");
    listLabel->setBuddy(m_list);
    RoomyRows(m_list);
    m_list->setMinimumHeight(120);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);

    auto* edit = new QGridLayout;
    auto* textLabel = new QLabel("&Synonym:", this);
    m_text = Named(new QLineEdit(Q(text), this), "txtSynonym");
    m_text->setMaxLength(128);
    textLabel->setBuddy(m_text);
    auto* languageLabel = new QLabel("Sp&rache:", this);
    m_language = Named(new QComboBox(this), "cboSprache");
    for (long code = 0; code < kLanguageCount; ++code)
        m_language->addItem(Q(LanguageName(code)), static_cast<qlonglong>(code));
    languageLabel->setBuddy(m_language);
    edit->addWidget(textLabel, 0, 0);
    edit->addWidget(m_text, 0, 1);
    edit->addWidget(languageLabel, 1, 0);
    edit->addWidget(m_language, 1, 1);
    layout->addLayout(edit);

    auto* buttons = new QHBoxLayout;
    QPushButton* save = MakeButton("cmdSpeichern", "S&peichern", this);
    save->setDefault(true);
    QPushButton* remove = MakeButton("cmdLoeschen", "&Löschen", this);
    QPushButton* close = MakeButton("cmdSchliessen", "Schlie&ßen", this);
    buttons->addWidget(save);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item)
            return;
        m_text->setText(item->text());
        m_language->setCurrentIndex(m_language->findData(item->data(kLanguageRole)));
    });
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSpeichern_Click(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdLoeschen_Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    m_name->setText(Q(FoodNameOf(db, foodId)));
    const QString preset = m_text->text();
    Fill();
    m_text->setText(preset);
    m_text->setFocus();
    resize(420, 400);
}

void FrmSynonym::Fill()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const FoodSynonym& synonym : SynonymsOf(m_db, m_food)) {
        auto* item = new QListWidgetItem(Q(synonym.Text), m_list);
        item->setData(kLanguageRole, static_cast<qlonglong>(synonym.Language));
    }
}

void FrmSynonym::cmdSpeichern_Click()
{
    const std::string text = S(m_text->text().simplified());
    if (text.empty()) {
        UI().Inform("Bitte geben Sie ein Synonym ein.", MsgIcon::Information, "Synonyme");
        m_text->setFocus();
        return;
    }
    SaveSynonym(m_db, m_food, {text, "", static_cast<long>(m_language->currentData().toLongLong())});
    Fill();
    const QList<QListWidgetItem*> saved = m_list->findItems(Q(text), Qt::MatchFixedString);
    if (!saved.isEmpty())
        m_list->setCurrentItem(saved.front());
}

void FrmSynonym::cmdLoeschen_Click()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    DeleteSynonym(m_db, m_food, S(item->text()));
    Fill();
    m_text->clear();
}

} // namespace pf
