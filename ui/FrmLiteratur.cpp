#include "ui/FrmLiteratur.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmLiteraturInhaltsverzeichnis.h"
#include "ui/UiSupport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

const char* const kCaption = "Literaturquellen";

void SelectData(QComboBox* box, long id)
{
    const int index = box->findData(QVariant::fromValue<qlonglong>(id));
    box->setCurrentIndex(index >= 0 ? index : 0);
}

long DataOf(const QComboBox* box)
{
    return static_cast<long>(box->currentData().toLongLong());
}

} // namespace

FrmLiteratur::FrmLiteratur(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmLiteratur");
    CloseOnEscape(this);
    setWindowTitle(kCaption);

    auto* layout = new QHBoxLayout(this);
    m_list = Named(new QTreeWidget(this), "lstSources");
    m_list->setHeaderLabels({"Literaturquelle"});
    m_list->setRootIsDecorated(false);
    FitHeaderTexts(m_list->header());
    layout->addWidget(m_list, 1);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    m_title = Named(new QLineEdit(this), "txtTitle");
    m_title->setMaxLength(64);
    form->addRow("Titel:", m_title);
    m_year = Named(new QSpinBox(this), "txtJahrgang");
    m_year->setRange(0, 999999);
    m_year->setSpecialValueText(" ");
    form->addRow("Jahrgang:", m_year);
    m_issue = Named(new QLineEdit(this), "txtAusgabe");
    m_issue->setMaxLength(10);
    form->addRow("Ausgabe:", m_issue);
    m_publisher = Named(new QComboBox(this), "cboVerlag");
    form->addRow("Verlag:", m_publisher);
    m_author = Named(new QComboBox(this), "cboAutor");
    form->addRow("Autor:", m_author);
    m_storage = Named(new QLineEdit(this), "txtLagerort");
    m_storage->setMaxLength(16);
    form->addRow("Lagerort:", m_storage);
    m_borrowed = Named(new QLineEdit(this), "txtVerliehen");
    m_borrowed->setMaxLength(32);
    form->addRow("Verliehen an:", m_borrowed);
    m_rating = Named(new QSpinBox(this), "txtBewertung");
    m_rating->setRange(0, 10);
    form->addRow("Bewertung:", m_rating);
    m_notes = Named(new QPlainTextEdit(this), "txtNotiz");
    form->addRow("Notizen:", m_notes);
    m_recipes = Named(new QLabel(this), "lblRezepte");
    form->addRow("Rezepte:", m_recipes);
    right->addLayout(form, 1);

    auto* edit = new QHBoxLayout;
    auto* add = MakeButton("cmdNew", "Neu", this);
    auto* save = MakeButton("cmdSave", "Speichern", this);
    m_delete = MakeButton("cmdDelete", "Löschen", this);
    auto* contents = MakeButton("cmdInhalt", "Inhaltsverzeichnis", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    edit->addWidget(add);
    edit->addWidget(save);
    edit->addWidget(m_delete);
    edit->addWidget(contents);
    edit->addStretch(1);
    edit->addWidget(close);
    right->addLayout(edit);
    layout->addLayout(right, 2);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { ShowSelected(); }); });
    connect(add, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdNew_Click(); }); });
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelete_Click(); }); });
    connect(contents, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdInhalt_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    RunTrapped([this] {
        FillAddresses();
        RefreshList(0);
    });
}

void FrmLiteratur::FillAddresses()
{
    const auto addresses = m_source.AddressList();
    for (QComboBox* box : {m_publisher, m_author}) {
        box->clear();
        box->addItem("(keiner)", QVariant::fromValue<qlonglong>(0));
        for (const auto& address : addresses)
            box->addItem(Q(address.Text), QVariant::fromValue<qlonglong>(address.id));
    }
}

void FrmLiteratur::RefreshList(long sourceId)
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        QTreeWidgetItem* chosen = nullptr;
        for (const auto& entry : m_source.FillLiteraturlist()) {
            auto* item = new QTreeWidgetItem(m_list, {Q(entry.Text)});
            item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(entry.id));
            if (!chosen || entry.id == sourceId)
                chosen = item;
        }
        m_list->setCurrentItem(chosen);
    }
    ShowSelected();
}

long FrmLiteratur::SelectedId() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? static_cast<long>(item->data(0, Qt::UserRole).toLongLong()) : 0;
}

void FrmLiteratur::ShowSelected()
{
    const long id = SelectedId();
    if (id == 0 || !m_source.Loadr(id))
        m_source.Void();
    m_title->setText(Q(m_source.Title()));
    m_year->setValue(static_cast<int>(m_source.Jahrgang()));
    m_issue->setText(Q(m_source.Ausgabe()));
    SelectData(m_publisher, m_source.VerlagID());
    SelectData(m_author, m_source.AutorID());
    m_storage->setText(Q(m_source.Storage()));
    m_borrowed->setText(Q(m_source.Borrowed()));
    m_rating->setValue(static_cast<int>(m_source.Rating()));
    m_notes->setPlainText(Q(m_source.Bemerkungen()));
    m_recipes->setText(m_source.id() != 0 ? QString::number(m_source.RecipeCount()) : QString());
    m_delete->setEnabled(m_source.id() != 0);
}

void FrmLiteratur::cmdNew_Click()
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
    ShowSelected();
    m_title->setFocus();
}

void FrmLiteratur::cmdSave_Click()
{
    m_source.SetTitle(S(m_title->text()));
    m_source.SetJahrgang(m_year->value());
    m_source.SetAusgabe(S(m_issue->text()));
    m_source.SetVerlagID(DataOf(m_publisher));
    m_source.SetAutorID(DataOf(m_author));
    m_source.SetStorage(S(m_storage->text()));
    m_source.SetBorrowed(S(m_borrowed->text()));
    m_source.SetRating(m_rating->value());
    m_source.SetBemerkungen(S(m_notes->toPlainText()));
    if (!m_source.Save()) {
        UI().Inform(m_source.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    RefreshList(m_source.id());
}

void FrmLiteratur::cmdDelete_Click()
{
    if (m_source.id() == 0)
        return;
    const long id = m_source.id();
    RefreshList(m_source.AskDelete() ? 0 : id);
}

void FrmLiteratur::cmdInhalt_Click()
{
    ShowBeside(this, new FrmLiteraturInhaltsverzeichnis(SelectedId()));
}

} // namespace pf
