#pragma once
// The interaction of the command-line program: messages go to standard error, questions are
// answered with a fixed choice (the --ja/--nein option) or with their default, nothing waits for
// a person.

#include "core/Interaction.h"

#include <optional>

namespace pf {

class ConsoleInteraction : public Interaction
{
public:
    // Answer every yes/no question with this instead of its default.
    void SetFixedAnswer(std::optional<Answer> answer) { m_fixed = answer; }
    void SetVerbose(bool verbose) { m_verbose = verbose; }

    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
               const std::string& caption) override;
    void Inform(const std::string& text, MsgIcon icon, const std::string& caption) override;
    std::vector<std::string> ChooseFiles(const FileRequest& request) override;
    std::optional<int> ChooseItem(const std::string& prompt, const std::vector<std::string>& items,
                                  const std::string& caption) override;
    void SetStatus(const std::string& text, int percent) override;

private:
    std::optional<Answer> m_fixed;
    bool m_verbose = false;
};

} // namespace pf
