#include "ui/FrmMMImportDupe.h"

#include "core/Decimal4.h"
#include "db/DatabaseChoice.h"
#include "model/ClRecipe.h"
#include "model/RecipeText.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

std::string SourceText(long source)
{
    switch (source) {
    case 1:
        return "Eingabe";
    case 2:
        return "Meal-Master";
    case 6:
        return "Mensax";
    default:
        return std::to_string(source);
    }
}

// The record being imported as readable text, the way the recipe text shows a stored one.
std::string RecordText(const ImportRecipe& recipe)
{
    std::string text =
        recipe.Title + "\n" + std::to_string(recipe.Servings) + " " + recipe.YieldUnitText + "\n\n";
    for (const ImportIngredient& line : recipe.Lines) {
        if (line.IsTrenner) {
            text += "--- " + line.Text + " ---\n";
            continue;
        }
        std::string amount = line.Amount == Decimal4() ? std::string() : line.AmountText;
        text += amount + (amount.empty() ? "" : " ") + line.UnitText + (line.UnitText.empty() ? "" : " ") +
                line.Text;
        if (!line.Verarbeitung.empty())
            text += ", " + line.Verarbeitung;
        text += "\n";
    }
    return text + "\n" + recipe.Zubereitung + "\n";
}

QGroupBox* Side(const QString& caption, const std::string& title, DateSerial date, long source,
                const std::string& fingerprint, const std::string& body, const QString& prefix,
                QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    auto* grid = new QGridLayout(box);
    auto add = [&](int row, const QString& label, const std::string& value, const char* name) {
        grid->addWidget(new QLabel(label, box), row, 0);
        auto* field = new QLabel(Q(value), box);
        field->setObjectName(prefix + name);
        field->setWordWrap(true);
        grid->addWidget(field, row, 1);
    };
    add(0, "Titel:", title, "Title");
    add(1, "Importiert am:", date.Days == 0 ? std::string() : DateTimeText(date), "Date");
    add(2, "Herkunft:", SourceText(source), "Source");
    add(3, "Fingerprint:", fingerprint, "Fingerprint");
    auto* text = new QPlainTextEdit(Q(body), box);
    text->setObjectName(prefix + "Text");
    text->setReadOnly(true);
    grid->addWidget(text, 4, 0, 1, 2);
    return box;
}

} // namespace

FrmMMImportDupe::FrmMMImportDupe(const DupeQuestion& question, Database* db, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmMMImportDupe");
    setWindowTitle("Doppeltes Rezept");
    auto* layout = new QVBoxLayout(this);
    auto* sides = new QHBoxLayout;
    sides->addWidget(Side("Zu importierendes Rezept", question.ImportTitle, question.ImportDate,
                          question.ImportSource, question.ImportFingerprint,
                          question.Recipe ? RecordText(*question.Recipe) : std::string(), "lblImport", this));
    std::string existing;
    {
        ClRecipe recipe;
        recipe.SetDB(db ? db : &WorkDb());
        recipe.SetNocache(true);
        if (recipe.LoadByID(question.ExistingID, 2, true))
            existing = RecipeAsText(recipe);
    }
    sides->addWidget(Side("Vorhandenes Rezept", question.ExistingTitle, question.ExistingImportDate,
                          question.ExistingImportSource, question.ExistingFingerprint, existing,
                          "lblExisting", this));
    layout->addLayout(sides);
    auto* books = new QLabel(Q(question.Books), this);
    books->setObjectName("lblBooks");
    layout->addWidget(books);
    auto* recommendation = new QLabel("Empfehlung: " + Q(question.Recommendation), this);
    recommendation->setObjectName("lblEmpfehlung");
    recommendation->setWordWrap(true);
    layout->addWidget(recommendation);
    m_noMore = new QCheckBox("&Nicht mehr nachfragen (Voreinstellung verwenden)", this);
    m_noMore->setObjectName("chkNoMoreQuestions");
    layout->addWidget(m_noMore);
    auto* buttons = new QHBoxLayout;
    const struct
    {
        const char* name;
        const char* text;
        int decision;
    } answers[] = {{"cmdIgnore", "&Ignorieren", dupe::kIgnore},
                   {"cmdReplace", "&Ersetzen", dupe::kReplace},
                   {"cmdDupeBook", "&Als Duplikat", dupe::kDupeBook},
                   {"cmdImportieren", "I&mportieren", dupe::kImport},
                   {"cmdAbort", "Abbrechen", dupe::kSkip}};
    for (const auto& answer : answers) {
        auto* button = new QPushButton(answer.text, this);
        button->setObjectName(answer.name);
        button->setAutoDefault(false);
        const int decision = answer.decision;
        connect(button, &QPushButton::clicked, this, [this, decision] { Answer(decision); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    resize(900, 560);
}

bool FrmMMImportDupe::NoMoreQuestions() const
{
    return m_noMore->isChecked();
}

void FrmMMImportDupe::Answer(int decision)
{
    m_decision = decision;
    accept();
}

void FrmMMImportDupe::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Answer(dupe::kSkip);
        return;
    }
    QDialog::keyPressEvent(event);
}

int QtDupeDecider::Decide(const DupeQuestion& question, bool& noMoreQuestions)
{
    FrmMMImportDupe dialog(question, m_db, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return dupe::kSkip;
    noMoreQuestions = dialog.NoMoreQuestions();
    return dialog.Decision();
}

} // namespace pf
