#include "ui/FrmShops.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "nutrition/Nutrition.h"
#include "planning/AddressPrint.h"
#include "planning/AddressVCard.h"
#include "search/AddressSearch.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/FrmSearchandDisplay.h"
#include "ui/QtPageCanvas.h"
#include "ui/UiSupport.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace pf {

namespace {

const char* const kCaption = "Geschäfte und Adressen";
const char* const kFilterKey = "ADRESSFILTER";

long DataOf(const QComboBox* box)
{
    return static_cast<long>(box->currentData().toLongLong());
}

void SelectData(QComboBox* box, long id)
{
    const int index = box->findData(QVariant::fromValue<qlonglong>(id));
    box->setCurrentIndex(index >= 0 ? index : 0);
}

// Shows a printout in the print preview, from where it goes to a printer or a PDF file.
void PreviewPrintout(QWidget* owner, const std::function<bool(PageCanvas&)>& layout)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName("FrmShopsPreview");
    preview.setWindowTitle("Druckvorschau");
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, owner, [&](QPrinter* device) {
        QtPageCanvas canvas(*device);
        if (!canvas.Active()) {
            UI().Inform("Der Drucker ist nicht bereit!", MsgIcon::Warning, kCaption);
            return;
        }
        RunTrapped([&] { layout(canvas); });
    });
    preview.exec();
}

} // namespace

FrmShops::FrmShops(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmShops");
    CloseOnEscape(this);
    setWindowTitle(kCaption);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_filter = Named(new QComboBox(this), "cboFilter");
    m_filter->addItem("Alle Einträge", QVariant::fromValue<qlonglong>(-1));
    const auto& kinds = AddressKindNames();
    for (std::size_t i = 1; i < kinds.size(); ++i)
        m_filter->addItem(Q(kinds[i]), QVariant::fromValue<qlonglong>(static_cast<long>(i)));
    SelectData(m_filter, SettingToLong(ReadSetting(kSettingsName, kFilterKey, "-1", false)));
    left->addWidget(m_filter);
    m_tree = Named(new QTreeWidget(this), "tvwAdressen");
    m_tree->setHeaderLabels({"Adressen"});
    FitHeaderTexts(m_tree->header());
    left->addWidget(m_tree, 1);
    auto* vcard = new QHBoxLayout;
    vcard->addWidget(Button("cmdVCardImport", "&vCard-Import …", this, &FrmShops::cmdVCardImport_Click));
    vcard->addWidget(Button("cmdVCardExport", "v&Card-Export …", this, &FrmShops::cmdVCardExport_Click));
    left->addLayout(vcard);
    layout->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    m_pages = Named(new QTabWidget(this), "tabPages");
    // The address form scrolls, so that the window fits the room a small screen leaves with its
    // buttons in view.
    m_pages->addTab(ScrollsDown(BuildAddressPage()), "Adr&esse");
    m_pages->addTab(BuildShopPage(), "&Geschäft");
    m_pages->addTab(BuildDeliveryPage(), "S&pezialitäten");
    right->addWidget(m_pages, 1);

    auto* edit = new QHBoxLayout;
    edit->addWidget(Button("cmdNew", "&Neu", this, &FrmShops::cmdNew_Click));
    edit->addWidget(Button("cmdSave", "&Speichern", this, &FrmShops::cmdSave_Click));
    m_delete = Button("cmdDelete", "&Löschen", this, &FrmShops::cmdDelete_Click);
    edit->addWidget(m_delete);
    edit->addWidget(Button("cmdDefault", "Als S&tandard-Adresse", this, &FrmShops::cmdDefault_Click));
    edit->addWidget(Button("cmdPrint", "Druc&ken …", this, &FrmShops::cmdPrintList_Click));
    m_recipes = Button("cmdRezepte", "Rezepte s&uchen", this, &FrmShops::cmdRezepte_Click);
    m_recipes->setToolTip("Rezepte aus den Literaturquellen, deren Verlag oder Autor diese Adresse ist");
    edit->addWidget(m_recipes);
    edit->addStretch(1);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    edit->addWidget(close);
    right->addLayout(edit);
    layout->addLayout(right, 3);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { ShowSelected(); }); });
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this] {
        RunTrapped([this] {
            WriteSetting(kSettingsName, kFilterKey, std::to_string(DataOf(m_filter)), false);
            RefreshTree(m_address.id());
        });
    });

    RunTrapped([this] {
        // The main food groups come from the food class tree; without it the order stays empty.
        if (Nutrition* nutrition = NutritionOf(WorkDb()))
            m_groups = MainFoodGroups(nutrition->Tables.FoodClassList());
        RefreshTree(0);
    });
}

QPushButton* FrmShops::Button(const char* name, const QString& text, QWidget* parent,
                              void (FrmShops::*handler)())
{
    QPushButton* button = MakeButton(name, text, parent);
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunTrapped([this, handler] { (this->*handler)(); }); });
    return button;
}

QWidget* FrmShops::BuildAddressPage()
{
    auto* page = Named(new QWidget, "pagAdresse");
    auto* form = new QFormLayout(page);
    auto line = [page, form](const char* name, const char* label, int maxLength) {
        auto* edit = Named(new QLineEdit(page), name);
        if (maxLength > 0)
            edit->setMaxLength(maxLength);
        form->addRow(label, edit);
        return edit;
    };
    m_family = line("txtName", "Na&me / Firma:", 0);
    m_given = line("txtVorname", "V&orname:", 0);
    m_kind = Named(new QComboBox(page), "cboArt");
    const auto& kinds = AddressKindNames();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        m_kind->addItem(Q(kinds[i]), QVariant::fromValue<qlonglong>(static_cast<long>(i)));
    form->addRow("Art:", m_kind);
    m_group = Named(new QComboBox(page), "cboUnterordnung");
    form->addRow("Unterordnung:", m_group);
    m_street = line("txtAdresse", "Straße:", 100);
    auto* town = new QHBoxLayout;
    m_plz = Named(new QLineEdit(page), "txtPlz");
    m_plz->setMaxLength(10);
    m_plz->setMaximumWidth(90);
    m_city = Named(new QLineEdit(page), "txtOrt");
    m_city->setMaxLength(50);
    town->addWidget(m_plz);
    town->addWidget(m_city, 1);
    form->addRow("PLZ, Ort:", town);
    m_phone = line("txtTelefon", "Telefon:", 30);
    m_fax = line("txtFax", "Fax:", 30);
    m_mail = line("txtEMail", "E-Mail:", 100);
    m_web = line("txtHomepage", "Homepage:", 255);
    m_contact1 = line("txtAnsprechpartner1", "Ansprechpartner:", 0);
    m_contact2 = line("txtAnsprechpartner2", "2. Ansprechpartner:", 0);
    m_notes = Named(new QPlainTextEdit(page), "txtBemerkung");
    form->addRow("&Bemerkung:", m_notes);
    auto* aliasRow = new QHBoxLayout;
    m_aliases = Named(new QListWidget(page), "lstAlias");
    m_aliases->setMaximumHeight(70);
    auto* aliasButtons = new QVBoxLayout;
    aliasButtons->addWidget(Button("cmdAddAlias", "Hin&zufügen …", page, &FrmShops::cmdAddAlias_Click));
    aliasButtons->addWidget(Button("cmdRemoveAlias", "Entfe&rnen", page, &FrmShops::cmdRemoveAlias_Click));
    aliasRow->addWidget(m_aliases, 1);
    aliasRow->addLayout(aliasButtons);
    form->addRow("Auch gelistet unter:", aliasRow);
    m_default = Named(new QLabel(page), "lblStandard");
    form->addRow("", m_default);
    return page;
}

// Ordering data and the order of food groups along the shop.
QWidget* FrmShops::BuildShopPage()
{
    auto* page = new QWidget;
    auto* shop = new QVBoxLayout(page);
    auto* shopForm = new QFormLayout;
    m_customer = Named(new QLineEdit(page), "txtKundennummer");
    m_customer->setMaxLength(50);
    shopForm->addRow("Kundennu&mmer:", m_customer);
    m_minimum = Named(new QLineEdit(page), "txtMinBestellwert");
    shopForm->addRow("Mindest&bestellwert:", m_minimum);
    m_currency = Named(new QLineEdit(page), "txtWaehrung");
    m_currency->setMaxLength(10);
    shopForm->addRow("&Währung:", m_currency);
    shop->addLayout(shopForm);
    shop->addWidget(new QLabel("Reihenfolge der Warengruppen im Geschäft:", page));
    auto* orderRow = new QHBoxLayout;
    m_storeOrder = Named(new QListWidget(page), "lstStoreLocations");
    orderRow->addWidget(m_storeOrder, 1);
    auto* orderButtons = new QVBoxLayout;
    orderButtons->addWidget(Button("cmdAddGroup", "Hin&zufügen …", page, &FrmShops::cmdAddGroup_Click));
    orderButtons->addWidget(Button("cmdUp", "Nach oben", page, &FrmShops::cmdUp_Click));
    orderButtons->addWidget(Button("cmdDown", "Nach unten", page, &FrmShops::cmdDown_Click));
    orderButtons->addWidget(Button("cmdInit", "Init", page, &FrmShops::cmdInit_Click));
    orderButtons->addStretch(1);
    orderRow->addLayout(orderButtons);
    shop->addLayout(orderRow, 1);
    return page;
}

// The deliveries of a supplier.
QWidget* FrmShops::BuildDeliveryPage()
{
    auto* page = new QWidget;
    auto* spez = new QVBoxLayout(page);
    m_deliveries = Named(new QTableWidget(0, 6, page), "grdSpezialitaeten");
    m_deliveries->setHorizontalHeaderLabels(
        {"Nahrungsmittel", "Artikel", "Menge", "Preis", "Währung", "Bemerkung"});
    m_deliveries->horizontalHeader()->setStretchLastSection(true);
    FitHeaderTexts(m_deliveries->horizontalHeader());
    spez->addWidget(m_deliveries, 1);
    auto* spezButtons = new QHBoxLayout;
    spezButtons->addWidget(Button("cmdAddSpez", "Lieferung hin&zufügen …", page, &FrmShops::cmdAddSpez_Click));
    spezButtons->addWidget(Button("cmdDelSpez", "Lieferung entfe&rnen", page, &FrmShops::cmdDelSpez_Click));
    spezButtons->addStretch(1);
    spezButtons->addWidget(
        Button("cmdPrintOrder", "&Bestellung drucken …", page, &FrmShops::cmdPrintOrder_Click));
    spez->addLayout(spezButtons);
    return page;
}

FrmShops::~FrmShops() = default;

void FrmShops::FillGroups()
{
    const QSignalBlocker blocker(m_group);
    m_group->clear();
    for (const AddressListRow& row : m_address.FillAdresslist())
        if (row.id == 0 || row.id != m_address.id())
            m_group->addItem(Q(row.Text), QVariant::fromValue<qlonglong>(row.id));
}

void FrmShops::AddTreeRows(QTreeWidgetItem* parent, const std::vector<AddressListRow>& rows, long select,
                           QTreeWidgetItem*& chosen)
{
    for (const AddressListRow& row : rows) {
        auto* item =
            parent ? new QTreeWidgetItem(parent, {Q(row.Text)}) : new QTreeWidgetItem(m_tree, {Q(row.Text)});
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(row.id));
        QFont font = item->font(0);
        font.setBold(row.StdAdresse);
        font.setItalic(row.AliasID > 0 || row.AdrType < 0);
        item->setFont(0, font);
        if (row.id == select && row.AliasID == 0)
            chosen = item;
        AddTreeRows(item, row.Children, select, chosen);
    }
}

void FrmShops::RefreshTree(long id)
{
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->clear();
        QTreeWidgetItem* chosen = nullptr;
        AddTreeRows(nullptr, m_address.FillAdressTree(DataOf(m_filter)), id, chosen);
        m_tree->expandAll();
        m_tree->setCurrentItem(chosen);
    }
    ShowSelected();
}

long FrmShops::SelectedId() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? static_cast<long>(item->data(0, Qt::UserRole).toLongLong()) : 0;
}

void FrmShops::ShowSelected()
{
    const long id = SelectedId();
    if (id == 0 || !m_address.GetID(id))
        m_address.Void();
    ShowAddress();
}

void FrmShops::ShowAddress()
{
    FillGroups();
    const ClAddress& a = m_address;
    m_family->setText(Q(a.NameFamily()));
    m_given->setText(Q(a.NameGiven()));
    SelectData(m_kind, a.Status());
    SelectData(m_group, a.ParentID());
    m_street->setText(Q(a.Address()));
    m_plz->setText(Q(a.Plz()));
    m_city->setText(Q(a.City()));
    m_phone->setText(Q(a.Telefon()));
    m_fax->setText(Q(a.Telefax()));
    m_mail->setText(Q(a.email()));
    m_web->setText(Q(a.WebSite()));
    m_contact1->setText(Q(a.Ansprechpartner1()));
    m_contact2->setText(Q(a.Ansprechpartner2()));
    m_notes->setPlainText(Q(a.Notices()));
    m_customer->setText(Q(a.Kundennummer()));
    m_minimum->setText(QString::number(a.MinBestellwert().ToDouble(), 'f', 2));
    m_currency->setText(Q(a.Waehrung()));
    m_default->setText(a.StdAdresse() ? "Dies ist die Standard-Adresse." : QString());
    m_delete->setEnabled(a.id() != 0);
    m_recipes->setEnabled(a.id() != 0);
    m_order = StoreOrderEntries(a.StoreLocations(), m_groups);
    ShowStoreOrder();
    ShowDeliveries();
    ShowAliases();
}

void FrmShops::ShowStoreOrder()
{
    const int row = m_storeOrder->currentRow();
    m_storeOrder->clear();
    for (const StoreGroup& g : m_order)
        m_storeOrder->addItem(Q(g.Text));
    if (row >= 0 && row < m_storeOrder->count())
        m_storeOrder->setCurrentRow(row);
}

void FrmShops::ShowDeliveries()
{
    m_deliveries->setRowCount(m_address.GetSpezCount());
    for (int i = 0; i < m_address.GetSpezCount(); ++i) {
        const AddressDelivery& d = m_address.GetSpez(i);
        auto* food = new QTableWidgetItem(Q(d.FoodName));
        food->setFlags(food->flags() & ~Qt::ItemIsEditable);
        m_deliveries->setItem(i, 0, food);
        m_deliveries->setItem(i, 1, new QTableWidgetItem(Q(d.Name)));
        m_deliveries->setItem(
            i, 2, new QTableWidgetItem(d.Menge == Decimal4() ? QString() : Q(d.Menge.ToString())));
        m_deliveries->setItem(
            i, 3, new QTableWidgetItem(d.Preis == Decimal4() ? QString() : Q(d.Preis.ToString())));
        m_deliveries->setItem(i, 4, new QTableWidgetItem(Q(d.Waehrung)));
        m_deliveries->setItem(i, 5, new QTableWidgetItem(Q(d.Bemerkung)));
    }
}

void FrmShops::ShowAliases()
{
    m_aliases->clear();
    for (long group : m_address.AliasList()) {
        AddressListRow row;
        auto* item =
            new QListWidgetItem(m_address.ReloadTreeEntry(group, row) ? Q(row.Text) : QString::number(group));
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(group));
        m_aliases->addItem(item);
    }
}

void FrmShops::TakeInput()
{
    ClAddress& a = m_address;
    a.SetNameFamily(S(m_family->text()));
    a.SetNameGiven(S(m_given->text()));
    a.SetStatus(DataOf(m_kind));
    a.ParentIDUnconditional(DataOf(m_group));
    a.SetAddress(S(m_street->text()));
    a.SetPlz(S(m_plz->text()));
    a.SetCity(S(m_city->text()));
    a.SetTelefon(S(m_phone->text()));
    a.SetTelefax(S(m_fax->text()));
    a.Setemail(S(m_mail->text()));
    a.SetWebSite(S(m_web->text()));
    a.SetAnsprechpartner1(S(m_contact1->text()));
    a.SetAnsprechpartner2(S(m_contact2->text()));
    a.SetNotices(S(m_notes->toPlainText()));
    a.SetKundennummer(S(m_customer->text()));
    a.SetMinBestellwert(Decimal4::Parse(S(m_minimum->text())));
    a.SetWaehrung(S(m_currency->text()));
    a.SetStoreLocations(StoreLocationsOf(m_order));
    for (int i = 0; i < a.GetSpezCount() && i < m_deliveries->rowCount(); ++i) {
        AddressDelivery d = a.GetSpez(i);
        auto cell = [&](int column) {
            const QTableWidgetItem* item = m_deliveries->item(i, column);
            return item ? S(item->text()) : std::string();
        };
        d.Name = cell(1);
        d.Menge = Decimal4::Parse(cell(2));
        d.Preis = Decimal4::Parse(cell(3));
        d.Waehrung = cell(4);
        d.Bemerkung = cell(5);
        a.SetSpez(i, d);
    }
}

void FrmShops::cmdNew_Click()
{
    const long group = m_address.id() != 0 && m_address.Status() == static_cast<long>(AddressKind::Gruppe)
                           ? m_address.id()
                           : m_address.ParentID();
    m_address.Void();
    m_address.ParentIDUnconditional(group);
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->setCurrentItem(nullptr);
    }
    ShowAddress();
    m_pages->setCurrentIndex(0);
    m_family->setFocus();
}

void FrmShops::cmdSave_Click()
{
    TakeInput();
    if (!m_address.Save()) {
        UI().Inform(m_address.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    RefreshTree(m_address.id());
}

void FrmShops::cmdDelete_Click()
{
    if (m_address.id() == 0)
        return;
    if (UI().Ask("Soll diese Adresse wirklich gelöscht werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    const long parent = m_address.ParentID();
    if (!m_address.Delete()) {
        UI().Inform(m_address.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    RefreshTree(parent);
}

void FrmShops::cmdDefault_Click()
{
    if (m_address.id() == 0 || m_address.StdAdresse())
        return;
    if (UI().Ask("Soll diese Adresse wirklich zur Standard-Adresse gemacht werden ?", Buttons::YesNo,
                 Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    if (!m_address.SetDefault()) {
        UI().Inform(m_address.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    RefreshTree(m_address.id());
}

void FrmShops::cmdAddGroup_Click()
{
    const std::vector<StoreGroup> addable = AddableStoreGroups(StoreLocationsOf(m_order), m_groups);
    if (addable.empty()) {
        UI().Inform(
            "Es gibt keine Kategorien, die hinzugefügt werden können. Alle bekannten Kategorien sind bereits "
            "hinzugefügt.",
            MsgIcon::Information, kCaption);
        return;
    }
    std::vector<std::string> texts;
    for (const StoreGroup& g : addable)
        texts.push_back(g.Text);
    const std::optional<int> chosen = UI().ChooseItem("Warengruppe hinzufügen:", texts, kCaption);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(addable.size()))
        return;
    m_order.push_back(addable[static_cast<std::size_t>(*chosen)]);
    ShowStoreOrder();
    m_storeOrder->setCurrentRow(m_storeOrder->count() - 1);
}

void FrmShops::cmdUp_Click()
{
    const int row = m_storeOrder->currentRow();
    if (row <= 0 || row >= static_cast<int>(m_order.size()))
        return;
    std::swap(m_order[static_cast<std::size_t>(row)], m_order[static_cast<std::size_t>(row - 1)]);
    ShowStoreOrder();
    m_storeOrder->setCurrentRow(row - 1);
}

void FrmShops::cmdDown_Click()
{
    const int row = m_storeOrder->currentRow();
    if (row < 0 || row + 1 >= static_cast<int>(m_order.size()))
        return;
    std::swap(m_order[static_cast<std::size_t>(row)], m_order[static_cast<std::size_t>(row + 1)]);
    ShowStoreOrder();
    m_storeOrder->setCurrentRow(row + 1);
}

void FrmShops::cmdInit_Click()
{
    if (UI().Ask(
            "Fortfahren bedeutet, dass die Definitionen für die Reihenfolge gelöscht wird.\r\nSoll jetzt "
            "wirklich fortgefahren werden ?",
            Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    m_order.clear();
    ShowStoreOrder();
}

void FrmShops::cmdAddSpez_Click()
{
    TakeInput();
    AddressDelivery d;
    if (Nutrition* nutrition = NutritionOf(WorkDb())) {
        d.Nahrungsmittel = FrmNaehrSuche::Choose(WorkDb(), nutrition->Tables, "", "", this);
        if (d.Nahrungsmittel > 0) {
            auto rs =
                WorkDb().OpenRecordset("SELECT SBLS,ST FROM T_BLS_KEY WHERE ID=?", {Value(d.Nahrungsmittel)});
            if (!rs->Eof()) {
                d.SBLS = rs->Field("SBLS").AsText();
                d.FoodName = rs->Field("ST").AsText();
                d.Name = d.FoodName;
            }
        }
    }
    if (d.Name.empty())
        d.Name = "Neuer Artikel";
    d.Waehrung = m_address.Waehrung();
    m_address.SetSpez(m_address.GetSpezCount(), d);
    ShowDeliveries();
    m_pages->setCurrentIndex(2);
    m_deliveries->setCurrentCell(m_address.GetSpezCount() - 1, 1);
}

void FrmShops::cmdDelSpez_Click()
{
    const int row = m_deliveries->currentRow();
    if (row < 0)
        return;
    TakeInput();
    m_address.DelSpez(row);
    ShowDeliveries();
}

void FrmShops::cmdAddAlias_Click()
{
    std::vector<AddressListRow> rows = m_address.FillAdresslist();
    rows.erase(rows.begin()); // "no group" is no place to list an address under
    std::vector<std::string> texts;
    for (const AddressListRow& row : rows)
        texts.push_back(row.Text);
    const std::optional<int> chosen = UI().ChooseItem("Zusätzlich gelistet unter:", texts, kCaption);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(rows.size()))
        return;
    TakeInput();
    if (!m_address.AddAlias(rows[static_cast<std::size_t>(*chosen)].id)) {
        UI().Inform("Die Adresse kann dort nicht zusätzlich gelistet werden.", MsgIcon::Information,
                    kCaption);
        return;
    }
    ShowAliases();
}

void FrmShops::cmdRemoveAlias_Click()
{
    const QListWidgetItem* item = m_aliases->currentItem();
    if (!item)
        return;
    m_address.RemoveAlias(static_cast<long>(item->data(Qt::UserRole).toLongLong()));
    ShowAliases();
}

void FrmShops::cmdVCardImport_Click()
{
    FileRequest request;
    request.Caption = "vCard-Datei importieren";
    request.Filter = "vCard|*.vcf|*.*|*.*";
    request.Purpose = "vcard";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    AddressVCard vcard;
    VCardImportCounts counts;
    const long group = m_address.Status() == static_cast<long>(AddressKind::Gruppe) ? m_address.id() : 0;
    if (!vcard.ImportFile(files.front(), counts, group)) {
        UI().Inform(vcard.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    UI().Inform("vCard-Import: " + AddressVCard::Summary(counts), MsgIcon::Information, kCaption);
    RefreshTree(m_address.id());
}

void FrmShops::cmdVCardExport_Click()
{
    FileRequest request;
    request.Caption = "Adressen als vCard-Datei speichern";
    request.Filter = "vCard|*.vcf|*.*|*.*";
    request.InitialPath = "Adressen.vcf";
    request.Purpose = "vcard";
    request.Save = true;
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    std::string path = files.front();
    if (path.find('.', path.find_last_of('/') + 1) == std::string::npos)
        path += ".vcf";
    std::vector<long> ids;
    for (const ClAddress& a : AddressesOfSelection())
        ids.push_back(a.id());
    AddressVCard vcard;
    long count = 0;
    if (!vcard.ExportFile(path, ids, count)) {
        UI().Inform(vcard.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    UI().Inform(std::to_string(count) + (count == 1 ? " Adresse wurde" : " Adressen wurden") + " exportiert.",
                MsgIcon::Information, kCaption);
}

std::vector<ClAddress> FrmShops::AddressesOfSelection()
{
    // A group stands for the addresses below it, a single address for itself, nothing for all.
    std::vector<ClAddress> addresses;
    std::function<void(long)> collect = [&](long id) {
        ClAddress a;
        if (!a.GetID(id))
            return;
        if (a.Status() != static_cast<long>(AddressKind::Gruppe))
            addresses.push_back(a);
        for (long child : a.GetChildrenID())
            collect(child);
    };
    if (m_address.id() != 0)
        collect(m_address.id());
    return addresses;
}

void FrmShops::cmdPrintList_Click()
{
    std::vector<ClAddress> addresses = AddressesOfSelection();
    std::string title = m_address.id() != 0 && m_address.Status() == static_cast<long>(AddressKind::Gruppe)
                            ? "Gruppe " + m_address.NameClassic()
                            : "Adresse " + m_address.NameClassic();
    if (m_address.id() == 0) {
        title = "Adressen";
        std::function<void(const std::vector<AddressListRow>&)> walk =
            [&](const std::vector<AddressListRow>& rows) {
                for (const AddressListRow& row : rows) {
                    ClAddress a;
                    if (row.AliasID == 0 &&
                        ClAddress::KindOf(row.AdrType) != static_cast<long>(AddressKind::Gruppe) &&
                        a.GetID(row.id))
                        addresses.push_back(a);
                    walk(row.Children);
                }
            };
        walk(m_address.FillAdressTree(DataOf(m_filter)));
    }
    PreviewPrintout(this, [&](PageCanvas& canvas) { return PrintAddressList(canvas, title, addresses); });
}

void FrmShops::cmdPrintOrder_Click()
{
    if (m_address.id() == 0)
        return;
    TakeInput();
    const long senderId = ClAddress::DefaultID(WorkDb());
    ClAddress sender;
    const bool hasSender = senderId > 0 && sender.GetID(senderId);
    const std::vector<AddressOrderLine> lines = OrderLinesOf(WorkDb(), m_address);
    const std::string date = S(QDate::currentDate().toString("dd.MM.yyyy"));
    PreviewPrintout(this, [&](PageCanvas& canvas) {
        return PrintOrder(canvas, m_address, hasSender ? &sender : nullptr, lines, date);
    });
}

void FrmShops::cmdRezepte_Click()
{
    const std::string searchData = AddressSearchData(WorkDb(), m_address.id());
    if (searchData.empty()) {
        UI().Inform("Diese Adresse ist weder Verlag noch Autor einer Literaturquelle. Es gibt daher keine "
                    "Rezepte, die nach ihr gesucht werden könnten.",
                    MsgIcon::Information, kCaption);
        return;
    }
    auto* window = new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Search);
    window->ApplySearchData(searchData);
    window->cmdSearch_Click();
    ShowBeside(this, window);
}

} // namespace pf
