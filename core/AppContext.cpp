#include "core/AppContext.h"

#include "core/Interaction.h"

#include <cstdio>

namespace pf {

namespace {

AppContext g_default;
AppContext* g_current = nullptr;

// Answers every question with its default and shows nothing; used before a real one is installed.
class SilentInteraction : public Interaction
{
public:
    Answer Ask(const std::string&, Buttons, Answer defaultAnswer, MsgIcon, const std::string&) override
    {
        return defaultAnswer;
    }
    void Inform(const std::string&, MsgIcon, const std::string&) override {}
    std::vector<std::string> ChooseFiles(const FileRequest&) override { return {}; }
    std::optional<int> ChooseItem(const std::string&, const std::vector<std::string>&,
                                  const std::string&) override
    {
        return std::nullopt;
    }
};

SilentInteraction g_silent;

} // namespace

void AppContext::ComputeVersion()
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "v%d.%02d.%03d", kVersionMajor, kVersionMinor, kVersionRevision);
    VersionText = buffer;
    AppCaption = AppTitle + " " + VersionText;
}

std::string AppContext::ShippedFile(const std::string& name) const
{
    return (ShareDir.empty() ? ProgramDir : ShareDir) + name;
}

AppContext& AppContext::Current()
{
    if (!g_current) {
        g_default.ComputeVersion();
        g_current = &g_default;
    }
    return *g_current;
}

void AppContext::Install(AppContext* context)
{
    g_current = context;
}

ScopedAppContext::ScopedAppContext(AppContext& context) : m_previous(g_current)
{
    if (context.VersionText.empty())
        context.ComputeVersion();
    g_current = &context;
}

ScopedAppContext::~ScopedAppContext()
{
    g_current = m_previous;
}

Interaction& UI()
{
    Interaction* ui = AppContext::Current().UI;
    return ui ? *ui : g_silent;
}

} // namespace pf
