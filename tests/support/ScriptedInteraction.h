#pragma once
// An interaction for tests: replays prepared answers in order and records every question and
// message. A question with no prepared answer fails the running test.

#include "core/Interaction.h"

#include <deque>
#include <string>
#include <vector>

namespace pf::test {

class ScriptedInteraction : public Interaction
{
public:
    struct Shown
    {
        std::string Text;
        std::string Caption;
        MsgIcon Icon = MsgIcon::None;
        bool Question = false;
        Answer Default = Answer::Ok; // what Enter gives
    };

    // Queue an answer for the next question.
    ScriptedInteraction& Answering(Answer answer)
    {
        m_answers.push_back(answer);
        m_forGood.push_back(false);
        return *this;
    }
    // Queue an answer given with "Nicht mehr fragen" ticked.
    ScriptedInteraction& AnsweringForGood(Answer answer)
    {
        m_answers.push_back(answer);
        m_forGood.push_back(true);
        return *this;
    }
    ScriptedInteraction& ChoosingFiles(std::vector<std::string> files)
    {
        m_files.push_back(std::move(files));
        return *this;
    }
    ScriptedInteraction& ChoosingItem(std::optional<int> item)
    {
        m_items.push_back(item);
        return *this;
    }

    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
               const std::string& caption) override;
    Answer AskOfferingSilence(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
                              const std::string& caption, bool& dontAskAgain) override;
    void Inform(const std::string& text, MsgIcon icon, const std::string& caption) override;
    std::vector<std::string> ChooseFiles(const FileRequest& request) override;
    std::optional<int> ChooseItem(const std::string& prompt, const std::vector<std::string>& items,
                                  const std::string& caption) override;

    bool SplashVisible() const override { return splashVisible; }
    void SetSplashStatus(const std::string& text) override { splashStatus = text; }
    bool MainWindowLoaded() const override { return mainWindowLoaded; }
    void SetStatus(const std::string& text, int percent) override
    {
        statusText = text;
        statusPercent = percent;
        ++statusCalls;
        statusTexts.push_back(text);
    }
    std::string StatusText() const override { return statusText; }
    int StatusPercent() const override { return statusPercent; }
    std::string ActiveWindowName() const override { return activeWindow; }
    void UnloadActiveWindow() override { ++unloadCalls; }
    void ProcessEvents() override { ++processEventsCalls; }
    bool CancelRequested() override { return cancel; }
    void ResetCancel() override { cancel = false; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }

    // Everything shown so far, oldest first.
    std::vector<Shown> shown;
    // Every list offered for a choice, oldest first.
    struct Offered
    {
        std::string Prompt;
        std::vector<std::string> Items;
    };
    std::vector<Offered> offered;
    bool AllAnswersUsed() const { return m_answers.empty() && m_files.empty() && m_items.empty(); }

    bool splashVisible = false;
    std::string splashStatus;
    bool mainWindowLoaded = false;
    std::string statusText;
    int statusPercent = -1;
    int statusCalls = 0;
    std::vector<std::string> statusTexts; // every text set, in order
    std::string activeWindow;
    int unloadCalls = 0;
    int processEventsCalls = 0;
    bool cancel = false;
    std::string clipboard; // the last text put on the clipboard

private:
    std::deque<Answer> m_answers;
    std::deque<bool> m_forGood; // beside m_answers: given with "Nicht mehr fragen"
    std::deque<std::vector<std::string>> m_files;
    std::deque<std::optional<int>> m_items;
};

} // namespace pf::test
