#pragma once
// The address book window: the tree of groups and addresses on the left (filtered by kind, the
// filter kept in the setting "ADRESSFILTER"), on the right the address page, the shop page with the
// order of food groups along the shop, and the deliveries of a supplier. Commands: new, save,
// delete, default address, vCard import and export, address list and order printouts, and the search for the
// recipes of the sources the address published or wrote. The rules, questions' answers and refusals live in
// ClAddress and its helpers; this window shows them.

#include "planning/ClAddress.h"
#include "planning/StoreOrder.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class FrmShops : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char* kSettingsName = "Shops";

    explicit FrmShops(QWidget* parent = nullptr);
    ~FrmShops() override;

    // Reads the tree again and selects id (nothing when it is not listed).
    void RefreshTree(long id);

    void cmdNew_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdDefault_Click();
    void cmdAddGroup_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdInit_Click();
    void cmdAddSpez_Click();
    void cmdDelSpez_Click();
    void cmdAddAlias_Click();
    void cmdRemoveAlias_Click();
    void cmdVCardImport_Click();
    void cmdVCardExport_Click();
    void cmdPrintList_Click();
    void cmdPrintOrder_Click();
    // Opens the recipe search for the recipes of the sources this address published or wrote.
    void cmdRezepte_Click();

    const ClAddress& Current() const { return m_address; }

private:
    QWidget* BuildAddressPage();
    QWidget* BuildShopPage();
    QWidget* BuildDeliveryPage();
    // A button that runs handler, with its faults trapped.
    QPushButton* Button(const char* name, const QString& text, QWidget* parent, void (FrmShops::*handler)());
    void ShowSelected();
    void ShowAddress();
    void ShowStoreOrder();
    void ShowDeliveries();
    void ShowAliases();
    void TakeInput();
    void FillGroups();
    void AddTreeRows(QTreeWidgetItem* parent, const std::vector<AddressListRow>& rows, long select,
                     QTreeWidgetItem*& chosen);
    long SelectedId() const;
    std::vector<ClAddress> AddressesOfSelection();

    ClAddress m_address;
    std::vector<StoreGroup> m_groups;
    std::vector<StoreGroup> m_order;

    QComboBox* m_filter = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTabWidget* m_pages = nullptr;
    QLineEdit* m_family = nullptr;
    QLineEdit* m_given = nullptr;
    QComboBox* m_kind = nullptr;
    QComboBox* m_group = nullptr;
    QLineEdit* m_street = nullptr;
    QLineEdit* m_plz = nullptr;
    QLineEdit* m_city = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_fax = nullptr;
    QLineEdit* m_mail = nullptr;
    QLineEdit* m_web = nullptr;
    QLineEdit* m_contact1 = nullptr;
    QLineEdit* m_contact2 = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLabel* m_default = nullptr;
    QListWidget* m_aliases = nullptr;
    QLineEdit* m_customer = nullptr;
    QLineEdit* m_minimum = nullptr;
    QLineEdit* m_currency = nullptr;
    QListWidget* m_storeOrder = nullptr;
    QTableWidget* m_deliveries = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_recipes = nullptr;
};

} // namespace pf
