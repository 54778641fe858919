#pragma once
// One fuzz input as a settings file, as the umlaut exception list and as a command line. The
// settings file must give the same values before and after one key is written, except for that
// key, which must read back as written; the umlaut list and the command-line overrides must read
// without fault whatever they hold.

#include "core/AppContext.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "core/TextConv.h"
#include "tests/support/TempDir.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pf::fuzz {

class SettingsFuzz
{
public:
    std::string Run(std::string_view bytes)
    {
        std::string problem = CheckIniFile(bytes);
        if (problem.empty())
            CheckUmlautList(bytes);
        if (problem.empty())
            CheckCommandLine(bytes);
        return problem;
    }

private:
    // Names the dictionary also holds, so that the fuzzer finds their sections and keys.
    static constexpr std::array<std::string_view, 4> kSections{"Pfannola", "Optionen", "a",
                                                               "\xC3\x84nderung"};
    static constexpr std::array<std::string_view, 4> kKeys{"Database", "DbType", "k", "\xC3\xA4pfel"};

    std::string CheckIniFile(std::string_view bytes)
    {
        const std::string path = m_dir.File("Pfannola.ini");
        test::WriteFile(path, std::string(bytes));
        const IniFile ini(path);
        std::array<std::optional<std::string>, kSections.size() * kKeys.size()> before;
        for (std::size_t s = 0; s < kSections.size(); ++s)
            for (std::size_t k = 0; k < kKeys.size(); ++k) {
                before[s * kKeys.size() + k] = ini.Find(kSections[s], kKeys[k]);
                ini.ReadString(kSections[s], kKeys[k], "Vorgabe");
            }

        // The section and key written are chosen by the input's length, the value is fixed.
        const std::size_t section = bytes.size() % kSections.size();
        const std::size_t key = bytes.size() / kSections.size() % kKeys.size();
        const std::string value = "Wert \xC3\xBC 1";
        if (!ini.WriteString(kSections[section], kKeys[key], value))
            return "der Schlüssel lässt sich nicht schreiben";
        for (std::size_t s = 0; s < kSections.size(); ++s)
            for (std::size_t k = 0; k < kKeys.size(); ++k) {
                const std::optional<std::string> after = ini.Find(kSections[s], kKeys[k]);
                const bool written = s == section && k == key;
                if (written && after != value)
                    return "der geschriebene Wert liest sich als \"" + after.value_or("(fehlt)") + "\"";
                if (!written && after != before[s * kKeys.size() + k])
                    return "das Schreiben von [" + std::string(kSections[section]) + "] " +
                           std::string(kKeys[key]) + " ändert [" + std::string(kSections[s]) + "] " +
                           std::string(kKeys[k]);
            }
        return {};
    }

    void CheckUmlautList(std::string_view bytes)
    {
        AppContext& ctx = AppContext::Current();
        ctx.ExeName = "pfannola";
        ctx.DataDir = m_dir.Dir();
        test::WriteFile(m_dir.File("pfannola.UML"), std::string(bytes));
        LoadUmlautExceptions();
        RegenerateUmlaute("Mauer Feuer Kuehlschrank Strasse Quelle Poet", true, false);
        RegenerateUmlaute(ctx.UmlautExceptions, true, true);
    }

    void CheckCommandLine(std::string_view bytes)
    {
        AppContext& ctx = AppContext::Current();
        ctx.CommandLine = std::string(bytes);
        for (std::string_view key : kKeys)
            if (const std::optional<std::string> value = CommandLineOverride(key)) {
                SettingToBool(*value);
                SettingToLong(*value);
            }
        ctx.CommandLine.clear();
    }

    test::TempDir m_dir;
};

} // namespace pf::fuzz
