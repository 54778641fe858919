#include "app/ConsoleInteraction.h"

#include <iostream>

namespace pf {

namespace {

// Line breaks of message texts are CR LF; a terminal wants LF only.
std::string ForTerminal(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

bool Offers(Buttons buttons, Answer answer)
{
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    default:
        return false;
    }
}

} // namespace

Answer ConsoleInteraction::Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon,
                               const std::string&)
{
    Answer answer = m_fixed && Offers(buttons, *m_fixed) ? *m_fixed : defaultAnswer;
    std::cerr << ForTerminal(text) << " -> "
              << (answer == Answer::Yes  ? "Ja"
                  : answer == Answer::No ? "Nein"
                  : answer == Answer::Ok ? "OK"
                                         : "Abbrechen")
              << '\n';
    return answer;
}

void ConsoleInteraction::Inform(const std::string& text, MsgIcon, const std::string&)
{
    std::cerr << ForTerminal(text) << '\n';
}

std::vector<std::string> ConsoleInteraction::ChooseFiles(const FileRequest&)
{
    return {};
}

std::optional<int> ConsoleInteraction::ChooseItem(const std::string&, const std::vector<std::string>&,
                                                  const std::string&)
{
    return std::nullopt;
}

void ConsoleInteraction::SetStatus(const std::string& text, int percent)
{
    if (!m_verbose || text.empty())
        return;
    std::cerr << ForTerminal(text);
    if (percent >= 0)
        std::cerr << " [" << percent << "%]";
    std::cerr << '\n';
}

} // namespace pf
