#pragma once
// Questions a cook answers the same way every time offer "Nicht mehr fragen". The answer given
// with the box ticked is kept per user in the settings (section "Fragen", one key per question)
// and given from then on without asking, until the options window resets it.

#include "core/Interaction.h"

#include <string>
#include <vector>

namespace pf {

// A question that may be silenced: its settings key and what the options window calls it.
struct SilenceableQuestion
{
    const char* Key;
    const char* Description;
};
const std::vector<SilenceableQuestion>& SilenceableQuestions();

// Asks through UI() offering the box, unless an answer is kept under key; a ticked box keeps the
// answer. Cancel is never kept.
Answer AskRemembered(const std::string& key, const std::string& text, Buttons buttons, Answer defaultAnswer,
                     MsgIcon icon, const std::string& caption);

// Whether an answer is kept under key.
bool HasRememberedAnswer(const std::string& key);
// Forgets every kept answer: each question is asked again.
void ForgetRememberedAnswers();

} // namespace pf
