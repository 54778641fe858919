#include "ui/FrmFloskelInfo.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {
constexpr int kPhraseCount = 10;
// Longer phrases would not fit the places they are inserted into.
constexpr int kPhraseLength = 250;
} // namespace

FrmFloskelInfo::FrmFloskelInfo(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmFloskelInfo");
    setWindowTitle("Floskeln");
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel("Floskeln sind Textbausteine, die in Zubereitungen und Notizen immer wieder "
                            "vorkommen (zum Beispiel „Mit Salz und Pfeffer abschmecken.“).",
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* form = new QFormLayout;
    const std::vector<std::string>& phrases = AppContext::Current().Phrases;
    for (int i = 0; i < kPhraseCount; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("txtFloskel%1").arg(i));
        edit->setMaxLength(kPhraseLength);
        edit->setPlaceholderText("<unbenutzt>");
        edit->setMinimumWidth(360);
        if (static_cast<std::size_t>(i) < phrases.size())
            edit->setText(Q(phrases[static_cast<std::size_t>(i)]));
        auto* label = new QLabel(QString("Floskel &%1:").arg(i), this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        m_phrases.push_back(edit);
    }
    layout->addLayout(form);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* save = MakeButton("cmdSave", "&Speichern", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] {
        cmdSave_Click();
        CloseWindow(this);
    });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    CloseOnEscape(this);
    KeepWrappedTextsWhole(this);
}

void FrmFloskelInfo::cmdSave_Click()
{
    std::vector<std::string>& phrases = AppContext::Current().Phrases;
    phrases.resize(kPhraseCount);
    for (int i = 0; i < kPhraseCount; ++i) {
        const std::string text = S(m_phrases[static_cast<std::size_t>(i)]->text().trimmed());
        phrases[static_cast<std::size_t>(i)] = text;
        WriteSetting("", "Floskel" + std::to_string(i), text, false);
    }
}

} // namespace pf
