#include "core/RememberedAnswers.h"

#include "core/AppContext.h"
#include "core/Settings.h"

namespace pf {

namespace {

constexpr const char* kSection = "Fragen";

// The answers as they are written to the settings.
const struct
{
    Answer Value;
    const char* Text;
} kAnswerTexts[] = {{Answer::Ok, "OK"},           {Answer::Yes, "Ja"},
                    {Answer::No, "Nein"},         {Answer::Retry, "Wiederholen"},
                    {Answer::Abort, "Abbrechen"}, {Answer::Ignore, "Ignorieren"}};

bool KeptAnswer(const std::string& key, Answer& answer)
{
    const std::string text = ReadSetting(kSection, key, "", false);
    for (const auto& known : kAnswerTexts)
        if (text == known.Text) {
            answer = known.Value;
            return true;
        }
    return false;
}

} // namespace

const std::vector<SilenceableQuestion>& SilenceableQuestions()
{
    static const std::vector<SilenceableQuestion> questions = {
        {"SaveOnlyBaseBook", "Beim Speichern: Rezept gehört nur zum Basiskochbuch"},
        {"SaveNoOrigin", "Beim Speichern: Rezept ohne Herkunftsangabe"},
        {"ScalePermanent", "Skalieren: Mengenangaben dauerhaft ändern"},
    };
    return questions;
}

Answer AskRemembered(const std::string& key, const std::string& text, Buttons buttons, Answer defaultAnswer,
                     MsgIcon icon, const std::string& caption)
{
    Answer answer = defaultAnswer;
    if (KeptAnswer(key, answer))
        return answer;
    bool silence = false;
    answer = UI().AskOfferingSilence(text, buttons, defaultAnswer, icon, caption, silence);
    if (silence && answer != Answer::Cancel)
        for (const auto& known : kAnswerTexts)
            if (known.Value == answer)
                WriteSetting(kSection, key, known.Text, false);
    return answer;
}

bool HasRememberedAnswer(const std::string& key)
{
    Answer ignored = Answer::Ok;
    return KeptAnswer(key, ignored);
}

void ForgetRememberedAnswers()
{
    for (const SilenceableQuestion& question : SilenceableQuestions())
        if (HasRememberedAnswer(question.Key))
            WriteSetting(kSection, question.Key, "", false);
}

} // namespace pf
