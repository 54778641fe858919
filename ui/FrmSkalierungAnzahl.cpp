#include "ui/FrmSkalierungAnzahl.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/RememberedAnswers.h"
#include "core/TextConv.h"
#include "model/ClRecipe.h"
#include "ui/ErrorTrap.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace pf {

namespace {

QString YieldText(ClRecipe& recipe)
{
    return QString::fromStdString(CountText(recipe.Yield(), recipe.YieldUnitText()));
}

// A line as a cook reads it: quantity, unit, ingredient and processing.
QString LineText(const ClIngredient& line)
{
    if (line.IsTrenner())
        return QString::fromStdString(line.Trennzeile());
    const char separator = QLocale().decimalPoint().front().toLatin1();
    QStringList parts;
    const std::string quantity =
        FormatQuantity(line.Menge(), AppContext::Current().Options.EditFlags, separator ? separator : ',');
    if (!quantity.empty())
        parts << QString::fromStdString(quantity);
    const std::string unit = line.DisplayUnitText();
    if (!unit.empty())
        parts << QString::fromStdString(unit);
    parts << QString::fromStdString(line.ZutatVerarbeitung());
    return parts.join(' ');
}

} // namespace

FrmSkalierungAnzahl::FrmSkalierungAnzahl(ClRecipe& recipe, QWidget* parent)
    : QDialog(parent), m_recipe(recipe)
{
    setObjectName("FrmSkalierungAnzahl");
    setWindowTitle("Rezept skalieren");

    auto* layout = new QVBoxLayout(this);
    auto* entryRow = new QHBoxLayout;
    auto* label = new QLabel("&Neue Menge:", this);
    m_newYield = new QLineEdit(this);
    m_newYield->setObjectName("txtNewYield");
    m_newYield->setText(QString::number(recipe.Yield()));
    m_newYield->setMaximumWidth(80);
    label->setBuddy(m_newYield);
    entryRow->addWidget(label);
    entryRow->addWidget(m_newYield);
    const std::string unit = recipe.YieldUnitText();
    entryRow->addWidget(new QLabel(QString::fromStdString(unit), this));
    entryRow->addSpacing(20);
    m_temporary = new QCheckBox("Angaben nur &temporär", this);
    m_temporary->setObjectName("chkTemporary");
    entryRow->addWidget(m_temporary);
    entryRow->addStretch(1);
    layout->addLayout(entryRow);

    auto* lists = new QGridLayout;
    m_originalCaption = new QLabel("Original-Angaben:", this);
    m_newCaption = new QLabel("Neue Mengenangaben:", this);
    m_original = new QListWidget(this);
    m_original->setObjectName("lstOriginal");
    m_new = new QListWidget(this);
    m_new->setObjectName("lstNew");
    for (QListWidget* list : {m_original, m_new}) {
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setFocusPolicy(Qt::NoFocus);
        list->setMinimumWidth(260);
    }
    lists->addWidget(m_originalCaption, 0, 0);
    lists->addWidget(m_newCaption, 0, 1);
    lists->addWidget(m_original, 1, 0);
    lists->addWidget(m_new, 1, 1);
    layout->addLayout(lists, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton("&Skalieren", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* close = new QPushButton("Schl&ießen", this);
    close->setObjectName("cmdClose");
    buttons->addWidget(ok);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    FillList(m_original, m_recipe);
    ShowPreview(recipe.Yield());

    connect(ok, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOK_Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // The new quantities follow the entry as it is typed; messages wait for the button.
    connect(m_newYield, &QLineEdit::textChanged, this, [this] {
        bool whole = true;
        const double yield = ParsedYield(whole);
        if (yield > 0 && (whole || m_decimalMode))
            ShowPreview(static_cast<long>(yield));
    });
    resize(620, 380);
}

void FrmSkalierungAnzahl::SetTemporary(bool temporary)
{
    m_temporary->setChecked(temporary);
}

bool FrmSkalierungAnzahl::Temporary() const
{
    return m_temporary->isChecked();
}

void FrmSkalierungAnzahl::SetNewYieldText(const QString& text)
{
    m_newYield->setText(text);
}

double FrmSkalierungAnzahl::ParsedYield(bool& whole) const
{
    QString text = m_newYield->text().trimmed();
    text.replace(',', '.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value > 0) || !std::isfinite(value) || value > 1e9)
        return 0;
    whole = value == std::floor(value);
    return value;
}

void FrmSkalierungAnzahl::cmdOK_Click()
{
    const std::string caption = AppContext::Current().AppCaption;
    bool whole = true;
    const double value = ParsedYield(whole);
    if (value <= 0) {
        UI().Inform("Es muss eine gültige Menge angeben sein !", MsgIcon::Warning, caption);
        m_newYield->setFocus();
        return;
    }
    if (!whole && !m_decimalMode) {
        UI().Inform("In diesem Zusammenhang sind leider nur ganze Zahlen zur Skalierung zugelassen !",
                    MsgIcon::Warning, caption);
        m_newYield->setFocus();
        return;
    }
    const long newYield = static_cast<long>(value);
    if (Temporary()) {
        ShowPreview(newYield);
        return;
    }
    // A permanent change rewrites the stored quantities: Enter keeps them ("Nein" is preselected).
    if (AskRemembered("ScalePermanent",
                      "Sollen wirklich die Mengenangaben in den Rezept-Daten permanent geändert werden ?",
                      Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
        return;
    m_recipe.ScaleRecipe(newYield);
    m_scaled = true;
    accept();
}

void FrmSkalierungAnzahl::ShowPreview(long newYield)
{
    ClRecipe copy = m_recipe;
    copy.SetTempOnly();
    copy.ScaleRecipe(newYield);
    FillList(m_new, copy);
}

void FrmSkalierungAnzahl::FillList(QListWidget* list, ClRecipe& recipe)
{
    list->clear();
    auto* head = new QListWidgetItem("für " + YieldText(recipe), list);
    QFont bold = list->font();
    bold.setBold(true);
    head->setFont(bold);
    for (int i = 1; i <= recipe.IngredCount(); ++i) {
        const ClIngredient& line = recipe.Ingredient(i);
        auto* item = new QListWidgetItem(LineText(line), list);
        if (line.IsTrenner()) {
            QFont italic = list->font();
            italic.setItalic(true);
            item->setFont(italic);
        }
    }
}

} // namespace pf
