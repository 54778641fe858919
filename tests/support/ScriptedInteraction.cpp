#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace pf::test {

Answer ScriptedInteraction::Ask(const std::string& text, Buttons, Answer defaultAnswer, MsgIcon icon,
                                const std::string& caption)
{
    shown.push_back({text, caption, icon, true, defaultAnswer});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return defaultAnswer;
    }
    Answer answer = m_answers.front();
    m_answers.pop_front();
    if (!m_forGood.empty())
        m_forGood.pop_front();
    return answer;
}

Answer ScriptedInteraction::AskOfferingSilence(const std::string& text, Buttons buttons, Answer defaultAnswer,
                                               MsgIcon icon, const std::string& caption, bool& dontAskAgain)
{
    dontAskAgain = !m_forGood.empty() && m_forGood.front();
    return Ask(text, buttons, defaultAnswer, icon, caption);
}

void ScriptedInteraction::Inform(const std::string& text, MsgIcon icon, const std::string& caption)
{
    shown.push_back({text, caption, icon, false});
}

std::vector<std::string> ScriptedInteraction::ChooseFiles(const FileRequest& request)
{
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected file choice: " << request.Caption;
        return {};
    }
    auto files = m_files.front();
    m_files.pop_front();
    return files;
}

std::optional<int> ScriptedInteraction::ChooseItem(const std::string& prompt,
                                                   const std::vector<std::string>& items, const std::string&)
{
    offered.push_back({prompt, items});
    if (m_items.empty()) {
        ADD_FAILURE() << "unexpected item choice: " << prompt;
        return std::nullopt;
    }
    auto item = m_items.front();
    m_items.pop_front();
    return item;
}

} // namespace pf::test
